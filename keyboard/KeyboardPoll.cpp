#include "keyboard/KeyboardPoll.h"

#include "keyboard/KeyNames.h"
#include "keyboard/KeySequence.h"
#include "platform/EventPump.h"

namespace corvane {

KeyboardPoll::KeyboardPoll(platform::Platform& platform, ProfileTable& table, KeyboardView& view, EventPump& pump,
                           std::function<void()> startClick)
    : platform_(platform), table_(table), view_(view), pump_(pump), startClick_(std::move(startClick))
{
}

bool KeyboardPoll::looksAt(int code)
{
    // clang-format off
    switch (code) {
    case 1: case 2: case 4: case 5: case 6: case 16: case 17: case 18:
        return false;
    default:
        return true;
    }
    // clang-format on
}

void KeyboardPoll::PollKeyboard()
{
    keysDownBefore_ = keysDownNow_;
    keysDownNow_.clear();
    platform::KeyState& keys = *platform_.keyState;
    keys.snapshot();
    const EventPump::Scan scan(pump_);
    for (int code = 1; code <= 255; ++code) {
        pump_.process();
        if (looksAt(code) && keys.isDown(code))
            keysDownNow_ += downToken(code);
    }
    if (!keysDownNow_.isEmpty() && view_.recording()) {
        for (const KeyToken& token : keyTokens(keysDownNow_))
            if (!keysDownBefore_.contains(token.text))
                record(token, true);
    }
    if (!keysDownNow_.isEmpty() && !view_.recording())
        fireGlobalKeys();
    if (!keysDownBefore_.isEmpty() && view_.recording()) {
        for (const KeyToken& token : keyTokens(keysDownBefore_))
            if (!keysDownNow_.contains(token.text))
                record(token, false);
    }
}

// A key newly down (`down`) or no longer down, into the first pressed-in
// mapping and, as a label, into the box that receives the recording.
void KeyboardPoll::record(const KeyToken& token, bool down)
{
    if (const std::optional<int> i = view_.pressedInMapping()) {
        recordTarget_ = *i;
        table_.current().*kMappingFields[*i] += down ? token.text : QStringLiteral("U") + token.text.mid(1);
    }
    if (recordTarget_)
        view_.appendKeyLabel(*recordTarget_, keyLabel(token.code), down ? LabelColour::Green : LabelColour::Red);
}

// The sequence of the tracker's present state (start while stopped, stop while
// started) fires when every key it presses is down now.
void KeyboardPoll::fireGlobalKeys()
{
    const Profile& profile = table_.current();
    const QString& sequence = view_.trackingStarted() ? profile.stopKey : profile.startKey;
    if (sequence.isEmpty())
        return;
    for (const KeyToken& token : keyTokens(sequence))
        if (token.down && !keysDownNow_.contains(token.text))
            return;
    startClick_();
}

} // namespace corvane
