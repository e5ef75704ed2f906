#include "engine/StatusLine.h"

#include "engine/TrackerLink.h"
#include "engine/WindowView.h"
#include "platform/AccessFix.h"

#include <QCoreApplication>
#include <utility>

namespace corvane {

namespace {

// The texts of this file, translated in the context "corvane::StatusLine".
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(corvane::StatusLine)
};

} // namespace

Q_LOGGING_CATEGORY(lcStatus, "corvane.status", QtWarningMsg)

namespace {

using platform::KeyStateBackend;
using platform::OutputBackend;

// "19200,n,8,1" -> "19200 bps".
QString speedOf(const QString& portSettings)
{
    return Texts::tr("%1 bps").arg(portSettings.section(QLatin1Char(','), 0, 0));
}

QString portAndDevice(int port, const QString& device)
{
    return device.isEmpty() ? Texts::tr("COM %1").arg(port) : Texts::tr("COM %1 (%2)").arg(port).arg(device);
}

QString searching(const StatusFacts& f)
{
    if (f.port == 0)
        return Texts::tr("Searching for the tracker…");
    return Texts::tr("Searching for the tracker: COM %1 at %2…").arg(f.port).arg(speedOf(f.portSettings));
}

QString through(OutputBackend output)
{
    return output == OutputBackend::Uinput ? Texts::tr("the kernel's input devices") : Texts::tr("the X server");
}

// The commands that give access to /dev/uinput: the lines of its fix
// indented as commands, joined; empty when there is no such fix.
QString uinputCommands(const platform::InputChoice& input)
{
    QStringList commands;
    for (const QString& line : input.uinputFix.split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("  ")))
            commands << line.trimmed();
    return commands.join(Texts::tr("; then "));
}

// The pointer and keys reach nothing: the commands that fix it, the rest in
// the details.
QString nothingMoves(const platform::InputChoice& input)
{
    const QString commands = uinputCommands(input);
    if (commands.isEmpty())
        return Texts::tr("The pointer cannot be moved: ") + input.nothingMoves;
    return Texts::tr("The pointer cannot be moved: run ") + commands;
}

QString noJoystick(const QString& why, const platform::InputChoice& input)
{
    const QString commands = uinputCommands(input);
    if (commands.isEmpty())
        return Texts::tr("The joystick cannot be made: ") + why;
    return Texts::tr("The joystick needs write access to /dev/uinput: run ") + commands;
}

QString keysUnseen()
{
    return Texts::tr("Keys typed in other programs are not seen: the global keys and recording from other "
                     "programs need the input group (%1, then log in again), which lets every program of "
                     "yours read every key typed.")
        .arg(QLatin1String(platform::kJoinInputGroup));
}

} // namespace

Status statusFor(const StatusFacts& f, const QString& device, const platform::InputChoice& input)
{
    // What keeps everything from working comes first, then what keeps the
    // tracker from being found, then where the link stands.
    if (!input.nothingMoves.isEmpty())
        return {StatusKind::Problem, nothingMoves(input)};
    if (f.joystick && !f.joystickRefusal.isEmpty())
        return {StatusKind::Problem, noJoystick(f.joystickRefusal, input)};
    if (f.recording && input.keys != KeyStateBackend::Evdev)
        return {StatusKind::Problem, keysUnseen()};
    switch (f.phase) {
    case LinkPhase::Closed:
    case LinkPhase::Searching:
        if (!f.lost.isEmpty())
            return {StatusKind::Problem, Texts::tr("The tracker was lost (%1). %2").arg(f.lost, searching(f))};
        if (!f.refusal.isEmpty())
            return {StatusKind::Problem, f.refusal};
        return {StatusKind::Searching, searching(f)};
    case LinkPhase::Waiting:
        if (f.unanswered)
            return {StatusKind::Problem, Texts::tr("%1 is open at %2, but no tracker answers there; asking again…")
                                             .arg(portAndDevice(f.port, device), speedOf(f.portSettings))};
        return {StatusKind::Searching, Texts::tr("Setting up the tracker on %1 at %2…")
                                           .arg(portAndDevice(f.port, device), speedOf(f.portSettings))};
    case LinkPhase::SetUp:
        break;
    }
    if (f.started && f.joystick)
        return {StatusKind::Tracking, Texts::tr("Tracking: the head moves the joystick \"Corvane head\"; keys "
                                                "through %1")
                                          .arg(through(input.output))};
    if (f.started)
        return {StatusKind::Tracking, Texts::tr("Tracking: pointer and keys through %1").arg(through(input.output))};
    return {StatusKind::Stopped,
            Texts::tr("Tracker on %1, %2, stopped").arg(portAndDevice(f.port, device), speedOf(f.portSettings))};
}

QString joystickRefusalText(const QString& why, const platform::InputChoice& input)
{
    QString text = Texts::tr("Mouse mode \"Joystick\" makes the joystick \"Corvane head\" through /dev/uinput, "
                             "but %1.")
                       .arg(why);
    if (!input.uinputFix.isEmpty())
        text += QStringLiteral("\n\n") + input.uinputFix;
    return text;
}

StatusReport::StatusReport(AppContext& app, WindowView& view) : app_(app), view_(view) {}

void StatusReport::update()
{
    const TrackerLinkState& link = app_.link;
    StatusFacts facts{.phase = link.phase,
                      .port = link.portNumber,
                      .portSettings = link.portSettings,
                      .refusal = {},
                      .lost = link.lost,
                      .unanswered = link.unanswered,
                      .started = view_.trackingStarted(),
                      .recording = view_.recording(),
                      .joystick = app_.joystickChosen(),
                      .joystickRefusal = app_.joystickRefusal};
    // The first port that stands for a device and refuses: the tracker is
    // most likely there.
    for (auto it = link.refusals.cbegin(); it != link.refusals.cend(); ++it) {
        if (link.refusedDevices.contains(it.key())) {
            facts.refusal = it.value();
            break;
        }
    }
    if (facts_ && *facts_ == facts)
        return;
    const std::optional<StatusFacts> before = std::exchange(facts_, facts);
    const bool portOpen = facts.phase == LinkPhase::Waiting || facts.phase == LinkPhase::SetUp;
    const QString device = portOpen ? app_.platform.serial->describe(facts.port).device : QString();
    if (Status status = statusFor(facts, device, app_.platform.input); status != status_) {
        status_ = std::move(status);
        qCInfo(lcStatus).noquote() << status_.text;
        view_.showStatus(status_);
    }
    if (before)
        notifyChange(*before, facts);
}

void StatusReport::notifyChange(const StatusFacts& before, const StatusFacts& now)
{
    platform::Notifier* notifier = app_.platform.notifier.get();
    // While the window can be seen, its status line says it all.
    if (!notifier || !view_.inBackground())
        return;
    const auto notify = [&](const QString& summary, bool problem) { notifier->notify(summary, status_.text, problem); };
    if (!app_.platform.input.nothingMoves.isEmpty() && !nothingMovesNotified_) {
        // Said once, for the first change out of sight; the changes after it
        // are told as they come.
        notify(Texts::tr("Corvane cannot move the pointer"), true);
        nothingMovesNotified_ = true;
    } else if (before.lost.isEmpty() && !now.lost.isEmpty()) {
        notify(Texts::tr("Tracker lost"), true);
    } else if (!before.lost.isEmpty() && now.phase == LinkPhase::SetUp) {
        notify(Texts::tr("Tracker found again"), false);
    } else if (before.started != now.started) {
        notify(now.started ? Texts::tr("Tracking started") : Texts::tr("Tracking stopped"), false);
    }
}

QString diagnosis(const AppContext& app, const SettingsFolder& settings, const Status& status)
{
    return status.text + QStringLiteral("\n\n") + Texts::tr("The ports and the link:") + QLatin1Char('\n')
         + describeLink(app) + QStringLiteral("\n\n") + describeSettingsFolder(settings) + QStringLiteral("\n\n")
         + platform::describeInput(app.platform.input);
}

} // namespace corvane
