#pragma once
// The keyboard poll of every cycle: the whole keyboard's state, the recorder
// that writes key strokes into the mapping whose button is pressed in, and the
// global start and stop keys.
#include "keyboard/KeySequence.h"
#include "keyboard/KeyboardView.h"
#include "platform/Platform.h"
#include "profiles/Profile.h"

#include <QString>
#include <functional>
#include <optional>

namespace corvane {

class EventPump;

class KeyboardPoll {
public:
    // `startClick` is the start/stop toggle, called as a click on Start would;
    // the recorder writes into the current profile of `table`.
    KeyboardPoll(platform::Platform& platform, ProfileTable& table, KeyboardView& view, EventPump& pump,
                 std::function<void()> startClick);

    // One poll: yields to the window before each of the 255 codes, then records
    // new presses and releases while a mapping records, or fires the global key
    // of the tracker's present state.
    void PollKeyboard();

    // Whether the poll looks at a code: not the mouse buttons (1, 2, 4, 5, 6)
    // nor the generic Shift, Ctrl and Alt (16, 17, 18), whose sides it sees.
    static bool looksAt(int code);

private:
    void record(const KeyToken& token, bool down);
    void fireGlobalKeys();

    platform::Platform& platform_;
    ProfileTable& table_;
    KeyboardView& view_;
    EventPump& pump_;
    std::function<void()> startClick_;
    // "D" tokens of the keys found down by the latest poll and the one before, in code order.
    QString keysDownNow_;
    QString keysDownBefore_;
    // The box that receives the recorder's labels: set when the recorder finds
    // a pressed-in button, never cleared.
    std::optional<int> recordTarget_;
};

} // namespace corvane
