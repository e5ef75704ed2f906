#pragma once
// The keyboard stage of a started cycle and the key output beneath it: the
// mapped key sequences sent in the key mode of the list, every key and button
// pressed and not yet released kept track of, so that none stays held when the
// program ends.
#include "engine/Decoding.h"
#include "ui/AppContext.h"

#include <QList>
#include <QString>

class QLineEdit;

namespace corvane {

class EventPump;

class KeyboardOutput {
public:
    KeyboardOutput(AppContext& app, EventPump& pump) : app_(app), pump_(pump) {}
    // Releases what is still held.
    ~KeyboardOutput();

    // The stage: builds the cycle's key sequence from the movement values
    // (taking mapped directions from the pointer), sends it in `keyMode` and
    // shows it in `monitor`. Nothing happens in "Disabled"; while a mapping
    // records, nothing is sent and neither turn nor look moves the pointer.
    // Faults (a refused send-keys text, a code that does not fit a byte in
    // "Keyboard Event") are faults of the main loop.
    void SendMappedKeys(MovementValues& values, QString& cycleKeySequence, const QString& keyMode,
                        QLineEdit& monitor);

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

    AppContext& app_;
    EventPump& pump_;
    QList<int> held_; // codes pressed and not released, in the order pressed
};

} // namespace corvane
