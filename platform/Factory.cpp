// The one place that picks the backends for the system being built for.
#include "platform/Platform.h"
#include "platform/QtDesktop.h"

#if defined(Q_OS_LINUX)
#include "platform/EvdevKeyState.h"
#include "platform/LinuxProcess.h"
#include "platform/LinuxSerialPort.h"
#include "platform/UinputOutput.h"
#include "platform/X11KeyOutput.h"
#include "platform/X11KeyState.h"
#include "platform/X11Keyboard.h"
#include "platform/X11Pointer.h"
#include "platform/X11Requests.h"
#include "platform/XkbLayout.h"

#include <QGuiApplication>
#else
#error "Corvane has no platform backends for this system yet"
#endif

namespace corvane::platform {

#if defined(Q_OS_LINUX)
namespace {

const QString kInputFolder = QStringLiteral("/dev/input");

bool waylandSession()
{
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland");
}

InputProbes probeCommon()
{
    InputProbes p;
    p.waylandSession = waylandSession();
    p.uinputError = probeUinput();
    p.readableKeyboards = countReadableKeyboards(kInputFolder, &p.keyboardsError);
    return p;
}

} // namespace

InputChoice predictInput(const InputRequest& request)
{
    InputProbes p = probeCommon();
    p.x11Error = predictX11Error();
    p.onX = p.x11Error.isEmpty();
    p.x11KeysError = p.x11Error;
    return chooseInput(p, request);
}

std::unique_ptr<Platform> createPlatform(const QString& settingsFolder, const InputRequest& request)
{
    auto p = std::make_unique<Platform>();
    p->clock = std::make_unique<QtClock>();
    p->dialogs = std::make_unique<QtDialogs>();
    p->shell = std::make_unique<QtShell>();
    // Devices the system does not list as serial ports, such as
    // pseudo-terminals, can stand in for its list: CORVANE_SERIAL_PORTS holds
    // their paths, separated by colons.
    p->serial = std::make_unique<LinuxSerialPort>(
        settingsFolder, qEnvironmentVariable("CORVANE_SERIAL_PORTS").split(QLatin1Char(':'), Qt::SkipEmptyParts));

    auto xPointer = std::make_unique<X11Pointer>();
    QString keysUnavailable;
    auto keyboard = X11Keyboard::open(&keysUnavailable);
    // The X key output, when it is the one chosen, gives back the keycodes it
    // bound as the program ends.
    auto xKeys = std::make_unique<X11KeyOutput>(keyboard, keysUnavailable);
    p->process = std::make_unique<LinuxProcess>(
        [keyboard] { return keyboard ? keyboard->lost() : qtConnectionLost(); },
        [platform = p.get(), chosen = xKeys.get()] {
            if (platform->keys.get() == chosen)
                chosen->finish();
        });
    auto evdev = std::make_unique<EvdevKeyState>(kInputFolder);

    InputProbes probes;
    probes.waylandSession = waylandSession();
    probes.onX = QGuiApplication::platformName() == QLatin1String("xcb");
    probes.uinputError = probeUinput();
    probes.x11Error = xPointer->unavailableReason();
    if (probes.x11Error.isEmpty() && !keyboard)
        probes.x11Error = keysUnavailable;
    probes.x11KeysError = keysUnavailable;
    probes.readableKeyboards = evdev->keyboardsOpen();
    probes.keyboardsError = evdev->whyNone();
    p->input = chooseInput(probes, request);

    UinputDevices devices;
    if (p->input.output == OutputBackend::Uinput && p->input.refusal.isEmpty()) {
        QString whyNot;
        devices = createUinputDevices(&whyNot);
        if (!devices.pointer) {
            // It opened a moment ago: say what the kernel said now.
            probes.uinputError = whyNot;
            p->input = chooseInput(probes, request);
        }
    }
    if (devices.pointer) {
        QString source;
        auto layout = XkbLayout::forUser(&source);
        qCInfo(lcInput, "characters are typed in %s", qPrintable(source));
        p->pointer = std::make_unique<UinputPointer>(devices.pointer);
        p->keys = std::make_unique<UinputKeyOutput>(devices.keyboard, devices.pointer, std::move(layout));
    } else {
        p->pointer = std::move(xPointer);
        p->keys = std::move(xKeys);
    }
    if (p->input.output == OutputBackend::None) {
        p->pointerUnavailable = p->input.nothingMoves;
        qCWarning(lcInput, "%s", qPrintable(p->input.nothingMoves));
    }
    if (p->input.keys == KeyStateBackend::Evdev)
        p->keyState = std::move(evdev);
    else
        p->keyState = std::make_unique<X11KeyState>(keyboard);

    qCInfo(lcInput, "output: %s (%s)", qPrintable(nameOf(p->input.output)), qPrintable(p->input.outputWhy));
    qCInfo(lcInput, "key state: %s (%s)", qPrintable(nameOf(p->input.keys)), qPrintable(p->input.keysWhy));
    return p;
}
#endif

} // namespace corvane::platform
