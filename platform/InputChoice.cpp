#include "platform/InputChoice.h"

#include <QCoreApplication>
#include <utility>

namespace corvane::platform {

namespace {

// The texts of this file, translated in the context "corvane::platform::InputChoice".
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(corvane::platform::InputChoice)
};

} // namespace

Q_LOGGING_CATEGORY(lcInput, "corvane.input", QtWarningMsg)

namespace {

QString refused(const QString& option, const QString& why) { return Texts::tr("%1 cannot work: %2").arg(option, why); }

// The reason without the full stops it may end in, to go on after it.
QString withoutFullStops(QString reason)
{
    while (reason.endsWith(QLatin1Char('.')))
        reason.chop(1);
    return reason;
}

// The reason as a sentence of its own: capital first, one full stop.
QString sentence(QString reason)
{
    reason = withoutFullStops(std::move(reason));
    if (!reason.isEmpty())
        reason[0] = reason[0].toUpper();
    return reason + QLatin1Char('.');
}

QString nothingMoves(const InputProbes& probes, const QString& uinputFix)
{
    return Texts::tr("Corvane cannot move the pointer or send keys. %1 %2 %3\nOr start Corvane in an X11 "
                     "session.")
        .arg(sentence(probes.uinputError), sentence(probes.x11Error), uinputFix);
}

void chooseOutput(const InputProbes& p, const InputRequest& request, InputChoice& c)
{
    const bool uinput = p.uinputError.isEmpty();
    const bool x11 = p.x11Error.isEmpty();
    if (request.output == OutputBackend::Uinput) {
        if (!uinput)
            c.refusal = refused(QStringLiteral("--output uinput"), p.uinputError) + QLatin1Char('\n') + c.uinputFix;
        c.output = OutputBackend::Uinput;
        c.outputWhy = Texts::tr("chosen with --output uinput");
        return;
    }
    if (request.output == OutputBackend::X11) {
        if (!x11)
            c.refusal = refused(QStringLiteral("--output x11"), p.x11Error);
        c.output = OutputBackend::X11;
        c.outputWhy = Texts::tr("chosen with --output x11");
        return;
    }
    const bool x11Session = p.onX && !p.waylandSession;
    if (uinput && x11 && x11Session) {
        // XTest motion reaches every X program as the profile's speeds say;
        // the kernel's devices go through the desktop's pointer acceleration.
        c.output = OutputBackend::X11;
        c.outputWhy = Texts::tr("this is an X11 session, where X test events move the pointer exactly as far "
                                "as the profile says, while the kernel's input devices go through the "
                                "desktop's pointer acceleration (--output uinput reaches games that read "
                                "/dev/input)");
    } else if (uinput) {
        c.output = OutputBackend::Uinput;
        c.outputWhy = p.waylandSession ? Texts::tr("/dev/uinput opens for writing, and this is a Wayland session, "
                                                   "whose programs see no X events")
                                       : Texts::tr("/dev/uinput opens for writing");
    } else if (x11) {
        c.output = OutputBackend::X11;
        c.outputWhy = p.uinputError;
        if (p.waylandSession)
            c.outputWhy += Texts::tr("; the X display takes the events, but in this Wayland session only X11 "
                                     "(XWayland) programs see them");
    } else {
        c.output = OutputBackend::None;
        c.nothingMoves = nothingMoves(p, c.uinputFix);
        c.outputWhy = p.uinputError + QStringLiteral("; ") + p.x11Error;
    }
}

void chooseKeyState(const InputProbes& p, const InputRequest& request, InputChoice& c)
{
    const bool evdev = p.keyboardsError.isEmpty();
    const bool x11 = p.x11KeysError.isEmpty();
    if (request.keys == KeyStateBackend::Evdev) {
        if (!evdev && c.refusal.isEmpty())
            c.refusal = refused(QStringLiteral("--keys evdev"), p.keyboardsError) + QLatin1Char('\n') + c.keyboardsFix;
        c.keys = KeyStateBackend::Evdev;
        c.keysWhy = Texts::tr("chosen with --keys evdev");
        return;
    }
    if (request.keys == KeyStateBackend::X11) {
        if (!x11 && c.refusal.isEmpty())
            c.refusal = refused(QStringLiteral("--keys x11"), p.x11KeysError);
        c.keys = KeyStateBackend::X11;
        c.keysWhy = Texts::tr("chosen with --keys x11");
        return;
    }
    if (evdev) {
        c.keys = KeyStateBackend::Evdev;
        c.keysWhy = (p.readableKeyboards == 1 ? Texts::tr("%1 keyboard event device can be read, so the global keys "
                                                          "and the recorder see keys typed into any program")
                                              : Texts::tr("%1 keyboard event devices can be read, so the global keys "
                                                          "and the recorder see keys typed into any program"))
                        .arg(p.readableKeyboards);
    } else if (x11) {
        c.keys = KeyStateBackend::X11;
        c.keysWhy = p.keyboardsError
                  + Texts::tr("; the global keys and the recorder see only keys typed while an X11 program has the "
                              "focus");
    } else {
        c.keys = KeyStateBackend::None;
        // The X keyboard's reason is a sentence of its own.
        c.keysWhy = p.keyboardsError
                  + Texts::tr("; %1; so the global keys and the recorder see only keys typed while "
                              "Corvane's own window has the focus")
                        .arg(withoutFullStops(p.x11KeysError));
    }
}

} // namespace

InputChoice chooseInput(const InputProbes& probes, const InputRequest& request)
{
    InputChoice choice;
    if (!probes.uinputError.isEmpty())
        choice.uinputFix = uinputAccessFix(probes.installation);
    if (!probes.keyboardsError.isEmpty())
        choice.keyboardsFix = keyboardsAccessFix();
    chooseOutput(probes, request, choice);
    chooseKeyState(probes, request, choice);
    return choice;
}

QString nameOf(OutputBackend backend)
{
    switch (backend) {
    case OutputBackend::Uinput:
        return QStringLiteral("uinput");
    case OutputBackend::X11:
        return QStringLiteral("x11");
    case OutputBackend::None:
        break;
    }
    return QStringLiteral("none");
}

QString nameOf(KeyStateBackend backend)
{
    switch (backend) {
    case KeyStateBackend::Evdev:
        return QStringLiteral("evdev");
    case KeyStateBackend::X11:
        return QStringLiteral("x11");
    case KeyStateBackend::None:
        break;
    }
    return QStringLiteral("none");
}

std::optional<OutputBackend> outputBackendNamed(const QString& name)
{
    if (name == QLatin1String("uinput"))
        return OutputBackend::Uinput;
    if (name == QLatin1String("x11"))
        return OutputBackend::X11;
    return std::nullopt;
}

std::optional<KeyStateBackend> keyStateBackendNamed(const QString& name)
{
    if (name == QLatin1String("evdev"))
        return KeyStateBackend::Evdev;
    if (name == QLatin1String("x11"))
        return KeyStateBackend::X11;
    return std::nullopt;
}

QString describeInput(const InputChoice& choice)
{
    QString text = Texts::tr("Input, as a start now would choose (--output and --keys change it):\n"
                             "  pointer and keys: %1 (%2)\n  key state: %3 (%4)\n")
                       .arg(nameOf(choice.output), choice.outputWhy, nameOf(choice.keys), choice.keysWhy);
    if (!choice.refusal.isEmpty())
        text += QStringLiteral("  %1\n").arg(choice.refusal);
    for (const QString& fix : {choice.uinputFix, choice.keyboardsFix}) {
        if (!fix.isEmpty() && !choice.refusal.endsWith(fix)) // a refusal gives its fix already
            text += QLatin1Char('\n') + fix + QLatin1Char('\n');
    }
    return text;
}

} // namespace corvane::platform
