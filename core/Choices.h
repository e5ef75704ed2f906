#pragma once
// The items of the settings' pick lists, as the window lists them and the
// profile files store them. The stages branch on these texts, so each has one
// definition here.
#include <QString>
#include <QStringList>

namespace corvane {

// The tracker model (the Model list's only item).
inline const QString kAmbrel = QStringLiteral("Ambrel");

// Tracker modes (the Mode list): each picks a set-up command and a packet format.
inline const QString kMouseEmulation = QStringLiteral("Mouse Emulation");
inline const QString kEulerAngle = QStringLiteral("Euler Angle");

// The first item of the mouse-mode and key-mode lists: that stage does nothing.
inline const QString kDisabled = QStringLiteral("Disabled");
// Mouse modes beside "Disabled": the pointer, or a virtual joystick whose
// axes follow the head.
inline const QString kMouseEvent = QStringLiteral("Mouse Event");
inline const QString kJoystick = QStringLiteral("Joystick");
// Key modes beside "Disabled".
inline const QString kSendKeys = QStringLiteral("Send Keys");
inline const QString kEmulateKeys = QStringLiteral("Emulate Keys");
inline const QString kKeyboardEvent = QStringLiteral("Keyboard Event");

inline const QStringList kModelItems = {kAmbrel};
// The Location list: COM 1 to COM 4, in the order the link searches them.
inline const QStringList kLocationItems = {QStringLiteral("COM 1"), QStringLiteral("COM 2"), QStringLiteral("COM 3"),
                                           QStringLiteral("COM 4")};
// The Speed list, fastest first: the order the link tries them in.
inline const QStringList kSpeedItems = {QStringLiteral("19200 Kbps"), QStringLiteral("9600 Kbps"),
                                        QStringLiteral("4800 Kbps"), QStringLiteral("2400 Kbps"),
                                        QStringLiteral("1200 Kbps")};
inline const QStringList kModeItems = {kMouseEmulation, kEulerAngle};
inline const QStringList kMouseModeItems = {kDisabled, kMouseEvent, kJoystick};
inline const QStringList kKeyModeItems = {kDisabled, kSendKeys, kEmulateKeys, kKeyboardEvent};

// The line settings of a Speed item: "9600 Kbps" gives "9600,n,8,1".
inline QString portSettingsOf(const QString& speedItem)
{
    return speedItem.section(QLatin1Char(' '), 0, 0) + QStringLiteral(",n,8,1");
}

} // namespace corvane
