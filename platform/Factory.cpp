// The one place that picks the backends for the system being built for.
#include "platform/DbusNotifier.h"
#include "platform/Platform.h"
#include "platform/QtDesktop.h"

#if defined(Q_OS_LINUX)
#include "platform/EvdevKeyState.h"
#include "platform/LinuxProcess.h"
#include "platform/LinuxSerialPort.h"
#include "platform/UinputOutput.h"
#include "platform/WindowKeyState.h"
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

// What the session and /dev/uinput offer; the rest is probed by the caller.
InputProbes probeSession()
{
    InputProbes p;
    p.waylandSession = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
                    || qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland");
    p.uinputError = probeUinput();
    p.installation = currentInstallation();
    return p;
}

} // namespace

InputChoice predictInput(const InputRequest& request)
{
    InputProbes p = probeSession();
    p.readableKeyboards = countReadableKeyboards(kInputFolder, &p.keyboardsError);
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
    p->notifier = std::make_unique<DbusNotifier>();
    // Devices the system does not list as serial ports, such as
    // pseudo-terminals, can stand in for its list: CORVANE_SERIAL_PORTS holds
    // their paths, separated by colons.
    p->serial = std::make_unique<LinuxSerialPort>(
        settingsFolder, qEnvironmentVariable("CORVANE_SERIAL_PORTS").split(QLatin1Char(':'), Qt::SkipEmptyParts));

    auto xPointer = std::make_unique<X11Pointer>();
    QString keysUnavailable;
    auto keyboard = X11Keyboard::open(&keysUnavailable);
    auto evdev = std::make_unique<EvdevKeyState>(kInputFolder);

    InputProbes probes = probeSession();
    probes.onX = QGuiApplication::platformName() == QLatin1String("xcb");
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
    // The kernel's devices, and the program's own windows where nothing else
    // tells the keyboard's state, know keys by place only: the user's layout
    // tells which codes they are.
    std::shared_ptr<XkbLayout> layout;
    KeyPlaces places;
    if (devices.pointer || p->input.keys != KeyStateBackend::X11) {
        QString source;
        layout = XkbLayout::forUser(&source);
        places = layout->places();
        qCInfo(lcInput, "keys follow %s", qPrintable(source));
    }
    if (p->input.keys == KeyStateBackend::Evdev) {
        evdev->setPlaces(places);
        p->keyState = std::move(evdev);
    } else if (p->input.keys == KeyStateBackend::X11) {
        p->keyState = std::make_unique<X11KeyState>(keyboard);
    } else {
        p->keyState = std::make_unique<WindowKeyState>(places);
    }
    // The X key output, when it is the one chosen, gives back the keycodes it
    // bound as the program ends.
    X11KeyOutput* xKeys = nullptr;
    if (devices.pointer) {
        p->pointer = std::make_unique<UinputPointer>(devices.pointer);
        p->keys = std::make_unique<UinputKeyOutput>(devices.keyboard, devices.pointer, layout, places);
        // Unless the key state reads it, the keyboard's own X connection
        // would only pile up the key presses it hears.
        if (p->input.keys == KeyStateBackend::Evdev)
            keyboard.reset();
    } else {
        auto keys = std::make_unique<X11KeyOutput>(keyboard, keysUnavailable);
        xKeys = keys.get();
        p->pointer = std::move(xPointer);
        p->keys = std::move(keys);
    }
    p->joystick = std::make_unique<UinputJoystick>();
    p->process = std::make_unique<LinuxProcess>([keyboard] { return keyboard ? keyboard->lost() : qtConnectionLost(); },
                                                [xKeys] {
                                                    if (xKeys)
                                                        xKeys->finish();
                                                });
    if (p->input.output == OutputBackend::None) {
        p->pointerUnavailable = p->input.nothingMoves;
        qCWarning(lcInput, "%s", qPrintable(p->input.nothingMoves));
    }

    qCInfo(lcInput, "output: %s (%s)", qPrintable(nameOf(p->input.output)), qPrintable(p->input.outputWhy));
    qCInfo(lcInput, "key state: %s (%s)", qPrintable(nameOf(p->input.keys)), qPrintable(p->input.keysWhy));
    return p;
}
#endif

} // namespace corvane::platform
