// The one place that picks the backends for the system being built for.
#include "platform/Platform.h"
#include "platform/QtDesktop.h"

#if defined(Q_OS_LINUX)
#include "platform/LinuxProcess.h"
#include "platform/LinuxSerialPort.h"
#include "platform/X11KeyOutput.h"
#include "platform/X11KeyState.h"
#include "platform/X11Keyboard.h"
#include "platform/X11Pointer.h"
#include "platform/X11Requests.h"
#else
#error "Corvane has no platform backends for this system yet"
#endif

namespace corvane::platform {

std::unique_ptr<Platform> createPlatform(const QString& settingsFolder)
{
    auto p = std::make_unique<Platform>();
    p->clock = std::make_unique<QtClock>();
    p->dialogs = std::make_unique<QtDialogs>();
    p->shell = std::make_unique<QtShell>();
#if defined(Q_OS_LINUX)
    // Devices the system does not list as serial ports, such as
    // pseudo-terminals, can stand in for its list: CORVANE_SERIAL_PORTS holds
    // their paths, separated by colons.
    p->serial = std::make_unique<LinuxSerialPort>(
        settingsFolder, qEnvironmentVariable("CORVANE_SERIAL_PORTS").split(QLatin1Char(':'), Qt::SkipEmptyParts));
    auto pointer = std::make_unique<X11Pointer>();
    p->pointerUnavailable = pointer->unavailableReason();
    p->pointer = std::move(pointer);
    QString keysUnavailable;
    auto keyboard = X11Keyboard::open(&keysUnavailable);
    p->process =
        std::make_unique<LinuxProcess>([keyboard] { return keyboard ? keyboard->lost() : qtConnectionLost(); });
    p->keys = std::make_unique<X11KeyOutput>(keyboard, keysUnavailable);
    p->keyState = std::make_unique<X11KeyState>(keyboard);
#endif
    return p;
}

} // namespace corvane::platform
