#pragma once
// The keyboard stage of a started cycle and the key output beneath it: the
// mapped key sequences sent in the key mode of the list, every key and button
// pressed and not yet released kept track of, so that none stays held when the
// program ends.
#include "core/Movement.h"
#include "keyboard/KeyboardView.h"
#include "platform/Platform.h"
#include "profiles/Profile.h"

#include <QList>
#include <QString>

namespace corvane {

class EventPump;

class KeyboardOutput {
public:
    // The mapped sequences come from the current profile of `table`.
    KeyboardOutput(platform::Platform& platform, const ProfileTable& table, EventPump& pump)
        : platform_(platform), table_(table), pump_(pump)
    {
    }
    // Releases what is still held.
    ~KeyboardOutput();

    // The stage: builds the cycle's key sequence from the movement values
    // (taking mapped directions from the pointer), sends it in the window's
    // key mode and shows it in the output monitor. Nothing happens in
    // "Disabled"; while a mapping records, nothing is sent and neither turn
    // nor look moves the pointer.
    // Faults (a refused send-keys text, a code that does not fit a byte in
    // "Keyboard Event") are faults of the main loop.
    void SendMappedKeys(MovementValues& values, QString& cycleKeySequence, KeyboardView& view);

    // One key or, for codes 1, 2 and 4, mouse button down or up.
    void SendKeyDown(int code);
    void SendKeyUp(int code);
    // One key event by code, without the mouse-button rule.
    void keybdEvent(int code, bool up);
    // Types a text in the send-keys syntax; a refused text sends nothing.
    void SendKeys(const QString& text);

    // Releases every key and button pressed and not released, last pressed first.
    void releaseHeld();
    // What is held, as "down" tokens in the order pressed ("D162D083"; mouse
    // buttons as their codes 1, 2, 4).
    QString held() const;

private:
    void down(int code);
    void up(int code);

    platform::Platform& platform_;
    const ProfileTable& table_;
    EventPump& pump_;
    QList<int> held_; // codes pressed and not released, in the order pressed
};

} // namespace corvane
