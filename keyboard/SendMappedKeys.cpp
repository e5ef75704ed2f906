#include "keyboard/SendMappedKeys.h"

#include "core/Fault.h"
#include "core/Numbers.h"
#include "engine/EventPump.h"
#include "keyboard/KeySequence.h"
#include "keyboard/MappedKeys.h"
#include "keyboard/SendKeys.h"
#include "ui/ShowError.h"

#include <QLineEdit>

namespace corvane {

namespace {

// Codes 1, 2 and 4 are the left, right and middle mouse buttons.
std::optional<platform::MouseButton> mouseButtonOf(int code)
{
    switch (code) {
    case 1: return platform::MouseButton::Left;
    case 2: return platform::MouseButton::Right;
    case 4: return platform::MouseButton::Middle;
    default: return std::nullopt;
    }
}

} // namespace

KeyboardOutput::~KeyboardOutput()
{
    releaseHeld();
}

void KeyboardOutput::SendMappedKeys(MovementValues& values, QString& cycleKeySequence, const QString& keyMode,
                                    QLineEdit& monitor)
{
    if (keyMode == kDisabled)
        return;
    if (app_.recordingActive) {
        values.leftRight = 0;
        values.upDown = 0;
        return;
    }
    const Profile& profile = app_.store.table.current();
    cycleKeySequence += buildCycleKeySequence(values, profile);
    if (keyMode == kSendKeys) {
        QString text;
        try {
            text = keySequenceToSendKeys(cycleKeySequence);
        } catch (const Fault& fault) {
            showError(app_, fault); // reported here; nothing is sent
        }
        monitor.setText(text);
        if (!text.isEmpty()) {
            SendKeys(text);
            pump_.process();
        }
    } else if (keyMode == kEmulateKeys || keyMode == kKeyboardEvent) {
        monitor.setText(cycleKeySequence);
        // The whole sequence is sent even if a handler run by a yield stops
        // the tracker or changes the profile.
        const QList<KeyToken> tokens = keyTokens(cycleKeySequence);
        for (const KeyToken& token : tokens) {
            if (keyMode == kKeyboardEvent) {
                // The key event takes the code as one byte.
                if (token.code < 0 || token.code > 255)
                    throw overflowFault();
                keybdEvent(static_cast<int>(token.code), !token.down);
            } else {
                // A key-down or key-up takes it as a 16-bit integer.
                const int code = toInt16(static_cast<double>(token.code));
                token.down ? SendKeyDown(code) : SendKeyUp(code);
            }
            pump_.process();
        }
    }
}

void KeyboardOutput::SendKeyDown(int code)
{
    if (const auto button = mouseButtonOf(code)) {
        app_.platform.keys->buttonDown(*button);
        held_.append(code);
        return;
    }
    down(code);
}

void KeyboardOutput::SendKeyUp(int code)
{
    if (const auto button = mouseButtonOf(code)) {
        app_.platform.keys->buttonUp(*button);
        held_.removeAll(code);
        return;
    }
    up(code);
}

void KeyboardOutput::keybdEvent(int code, bool up) { up ? this->up(code) : down(code); }

void KeyboardOutput::SendKeys(const QString& text)
{
    const QList<SendKeysStroke> strokes = parseSendKeys(text);
    for (const SendKeysStroke& stroke : strokes) {
        switch (stroke.kind) {
        case SendKeysStroke::Kind::KeyDown: down(stroke.virtualKey); break;
        case SendKeysStroke::Kind::KeyUp: up(stroke.virtualKey); break;
        case SendKeysStroke::Kind::Character: app_.platform.keys->typeCharacter(stroke.character); break;
        }
    }
}

void KeyboardOutput::down(int code)
{
    app_.platform.keys->keyDown(code);
    held_.append(code);
}

void KeyboardOutput::up(int code)
{
    app_.platform.keys->keyUp(code);
    held_.removeAll(code);
}

void KeyboardOutput::releaseHeld()
{
    while (!held_.isEmpty()) {
        const int code = held_.takeLast();
        held_.removeAll(code);
        if (const auto button = mouseButtonOf(code))
            app_.platform.keys->buttonUp(*button);
        else
            app_.platform.keys->keyUp(code);
    }
}

QString KeyboardOutput::held() const
{
    QString text;
    for (const int code : held_)
        text += downToken(code);
    return text;
}

} // namespace corvane
