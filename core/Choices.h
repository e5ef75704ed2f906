#pragma once
// The items of the settings' pick lists, as the profile files store them and
// the stages branch on them, so each has one definition here. The window
// shows them translated, in the context kChoicesContext; what is stored and
// compared stays this English.
#include <QString>
#include <QStringList>

namespace corvane {

inline constexpr char kChoicesContext[] = "corvane::Choices";

// The tracker model (the Model list's only item).
inline const QString kAmbrel = QStringLiteral(QT_TRANSLATE_NOOP("corvane::Choices", "Ambrel"));

// Tracker modes (the Mode list): each picks a set-up command and a packet format.
inline const QString kMouseEmulation = QStringLiteral(QT_TRANSLATE_NOOP("corvane::Choices", "Mouse Emulation"));
inline const QString kEulerAngle = QStringLiteral(QT_TRANSLATE_NOOP("corvane::Choices", "Euler Angle"));

// The first item of the mouse-mode and key-mode lists: that stage does nothing.
inline const QString kDisabled = QStringLiteral(QT_TRANSLATE_NOOP("corvane::Choices", "Disabled"));
// Mouse modes beside "Disabled": the pointer, or a virtual joystick whose
// axes follow the head.
inline const QString kMouseEvent = QStringLiteral(QT_TRANSLATE_NOOP("corvane::Choices", "Mouse Event"));
inline const QString kJoystick = QStringLiteral(QT_TRANSLATE_NOOP("corvane::Choices", "Joystick"));
// Key modes beside "Disabled".
inline const QString kSendKeys = QStringLiteral(QT_TRANSLATE_NOOP("corvane::Choices", "Send Keys"));
inline const QString kEmulateKeys = QStringLiteral(QT_TRANSLATE_NOOP("corvane::Choices", "Emulate Keys"));
inline const QString kKeyboardEvent = QStringLiteral(QT_TRANSLATE_NOOP("corvane::Choices", "Keyboard Event"));

inline const QStringList kModelItems = {kAmbrel};
// The Location list: COM 1 to COM 4, in the order the link searches them.
inline const QStringList kLocationItems = {QStringLiteral(QT_TRANSLATE_NOOP("corvane::Choices", "COM 1")),
                                           QStringLiteral(QT_TRANSLATE_NOOP("corvane::Choices", "COM 2")),
                                           QStringLiteral(QT_TRANSLATE_NOOP("corvane::Choices", "COM 3")),
                                           QStringLiteral(QT_TRANSLATE_NOOP("corvane::Choices", "COM 4"))};
// The Speed list, fastest first: the order the link tries them in.
inline const QStringList kSpeedItems = {QStringLiteral(QT_TRANSLATE_NOOP("corvane::Choices", "19200 Kbps")),
                                        QStringLiteral(QT_TRANSLATE_NOOP("corvane::Choices", "9600 Kbps")),
                                        QStringLiteral(QT_TRANSLATE_NOOP("corvane::Choices", "4800 Kbps")),
                                        QStringLiteral(QT_TRANSLATE_NOOP("corvane::Choices", "2400 Kbps")),
                                        QStringLiteral(QT_TRANSLATE_NOOP("corvane::Choices", "1200 Kbps"))};
inline const QStringList kModeItems = {kMouseEmulation, kEulerAngle};
inline const QStringList kMouseModeItems = {kDisabled, kMouseEvent, kJoystick};
inline const QStringList kKeyModeItems = {kDisabled, kSendKeys, kEmulateKeys, kKeyboardEvent};

// The line settings of a Speed item: "9600 Kbps" gives "9600,n,8,1".
inline QString portSettingsOf(const QString& speedItem)
{
    return speedItem.section(QLatin1Char(' '), 0, 0) + QStringLiteral(",n,8,1");
}

} // namespace corvane
