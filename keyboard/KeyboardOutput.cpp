#include "keyboard/KeyboardOutput.h"

#include "core/Choices.h"
#include "core/Fault.h"
#include "core/Numbers.h"
#include "keyboard/KeySequence.h"
#include "keyboard/MappedKeys.h"
#include "keyboard/SendKeys.h"
#include "platform/EventPump.h"
#include "platform/ShowError.h"

namespace corvane {

namespace {

// Codes 1, 2 and 4 are the left, right and middle mouse buttons.
std::optional<platform::MouseButton> mouseButtonOf(int code)
{
    switch (code) {
    case 1:
        return platform::MouseButton::Left;
    case 2:
        return platform::MouseButton::Right;
    case 4:
        return platform::MouseButton::Middle;
    default:
        return std::nullopt;
    }
}

} // namespace

KeyboardOutput::~KeyboardOutput() { releaseHeld(); }

void KeyboardOutput::SendMappedKeys(MovementValues& values, QString& cycleKeySequence, KeyboardView& view)
{
    const QString keyMode = view.keyMode();
    if (keyMode == kDisabled)
        return;
    if (view.recording()) {
        values.leftRight = 0;
        values.upDown = 0;
        return;
    }
    const Profile& profile = table_.current();
    cycleKeySequence += buildCycleKeySequence(values, profile);
    if (keyMode == kSendKeys) {
        QString text;
        try {
            text = keySequenceToSendKeys(cycleKeySequence);
        } catch (const Fault& fault) {
            showError(platform_, fault); // reported here; nothing is sent
        }
        view.showKeys(text);
        if (!text.isEmpty()) {
            SendKeys(text);
            pump_.process();
        }
    } else if (keyMode == kEmulateKeys || keyMode == kKeyboardEvent) {
        view.showKeys(cycleKeySequence);
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
        platform_.keys->buttonDown(*button);
        held_.append(code);
        return;
    }
    down(code);
}

void KeyboardOutput::SendKeyUp(int code)
{
    if (const auto button = mouseButtonOf(code)) {
        platform_.keys->buttonUp(*button);
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
        case SendKeysStroke::Kind::KeyDown:
            down(stroke.virtualKey);
            break;
        case SendKeysStroke::Kind::KeyUp:
            up(stroke.virtualKey);
            break;
        case SendKeysStroke::Kind::Character:
            platform_.keys->typeCharacter(stroke.character);
            break;
        }
    }
}

void KeyboardOutput::down(int code)
{
    platform_.keys->keyDown(code);
    held_.append(code);
}

void KeyboardOutput::up(int code)
{
    platform_.keys->keyUp(code);
    held_.removeAll(code);
}

void KeyboardOutput::releaseHeld()
{
    while (!held_.isEmpty()) {
        const int code = held_.takeLast();
        held_.removeAll(code);
        if (const auto button = mouseButtonOf(code))
            platform_.keys->buttonUp(*button);
        else
            platform_.keys->keyUp(code);
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
