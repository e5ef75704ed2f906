#pragma once
// Key strokes and mouse buttons through the X server's test extension (XTest),
// on the connection Qt and the pointer use, so that keys, buttons and pointer
// motion reach the server in the order they were asked for. Each event is
// flushed at once.
//
// A key goes to the keycode at its place (X11Keyboard::keycodeFor), with no
// Shift added or taken away: it is the key the user recorded. A key the
// keymap lacks (F13..F24 on many keymaps, Select, Clear), or a character
// that no key of the layout types, is bound by its keysym (X11KeyTable) to a
// spare keycode, one without keysyms, so every named key can be sent on any
// layout. The spare keeps the keysym while
// a key is down on it and for a moment after its release: the application
// that gets the key fetches the changed keymap only when it comes to the
// change in its events, and would find the keycode empty again if it were
// unbound at once. Then it is unbound, by a timer of Qt's event loop or at
// the next call, whichever comes first.
//
// Without X (or without XTEST or XKB) nothing is sent; the first call says
// why on standard error.
#include "platform/KeyOutput.h"
#include "platform/X11KeyTable.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QString>

#include <map>
#include <memory>
#include <vector>

namespace corvane::platform {

class X11Keyboard;

class X11KeyOutput final : public KeyOutput {
public:
    // `keyboard` null: unavailable, for `whyNot`.
    X11KeyOutput(std::shared_ptr<X11Keyboard> keyboard, QString whyNot);
    ~X11KeyOutput() override;
    void keyDown(int virtualKey) override;
    void keyUp(int virtualKey) override;
    void buttonDown(MouseButton button) override;
    void buttonUp(MouseButton button) override;
    void typeCharacter(char32_t character) override;

    // Releases what this output holds and gives the spare keycodes back, so
    // the keymap is as it found it; the program's end calls it, as it runs
    // no destructor.
    void finish();

    bool available() const { return keyboard_ != nullptr; }
    QString unavailableReason() const { return reason_; }

private:
    struct Spare {
        int keycode = 0;
        unsigned long keysym = 0;
        int perKey = 0;  // keysyms per keycode, to clear them all again
        int holders = 0; // keys down on it
        qint64 idleSinceMs = 0;
    };
    bool ready();
    // Warns of a problem the first time it is met in this run.
    void noteOnce(const QString& problem);
    // The keycode to press for the code: the one at its place, else a spare
    // bound to its keysym; 0 (after a note) when there is neither.
    int keycodeToPress(int virtualKey);
    // A keycode of the keymap giving the keysym (in the current group when one
    // does), 0 when none.
    int keycodeGiving(unsigned long keysym);
    bool onSpare(unsigned long keysym) const;
    // A spare keycode giving the keysym, bound before or now; 0 when none is
    // left. When no keycode is empty, the spare idle longest is taken over.
    int takeSpare(unsigned long keysym);
    // A key on the keycode went up; nothing when it is no spare.
    void releaseSpare(int keycode);
    // Unbinds the spares idle for long enough, or all idle ones.
    void unbindIdleSpares(bool all);
    void sendKey(int keycode, bool down);

    std::shared_ptr<X11Keyboard> keyboard_;
    QString reason_;
    bool reasonTold_ = false;
    // The keycodes of the keys this output holds down, by virtual-key code,
    // so a key goes up on the keycode it went down on.
    std::map<int, int> held_;
    std::vector<Spare> spares_;
    // The problems warned of so far.
    QSet<QString> noted_;
    QElapsedTimer clock_;
    // The context of the unbinding timers: they end with it.
    QObject timers_;
};

} // namespace corvane::platform
