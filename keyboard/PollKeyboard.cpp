#include "keyboard/PollKeyboard.h"

#include "engine/EventPump.h"
#include "keyboard/KeyNames.h"
#include "keyboard/KeySequence.h"
#include "ui/KeyBox.h"
#include "ui/MainForm.h"

#include <QPushButton>

namespace corvane {

KeyboardPoll::KeyboardPoll(AppContext& app, MainForm& form, EventPump& pump, std::function<void()> startClick)
    : app_(app), form_(form), pump_(pump), startClick_(std::move(startClick))
{
}

bool KeyboardPoll::looksAt(int code)
{
    switch (code) {
    case 1: case 2: case 4: case 5: case 6: case 16: case 17: case 18:
        return false;
    default:
        return true;
    }
}

void KeyboardPoll::PollKeyboard()
{
    keysDownBefore_ = keysDownNow_;
    keysDownNow_.clear();
    platform::KeyState& keys = *app_.platform.keyState;
    keys.snapshot();
    for (int code = 1; code <= 255; ++code) {
        pump_.process();
        if (looksAt(code) && keys.isDown(code))
            keysDownNow_ += downToken(code);
    }
    if (!keysDownNow_.isEmpty() && app_.recordingActive) {
        for (const KeyToken& token : keyTokens(keysDownNow_))
            if (!keysDownBefore_.contains(token.text))
                record(token, true);
    }
    if (!keysDownNow_.isEmpty() && !app_.recordingActive)
        fireGlobalKeys();
    if (!keysDownBefore_.isEmpty() && app_.recordingActive) {
        for (const KeyToken& token : keyTokens(keysDownBefore_))
            if (!keysDownNow_.contains(token.text))
                record(token, false);
    }
}

// A key newly down (`down`) or no longer down, into the first pressed-in
// mapping and, as a label, into the box that receives the recording.
void KeyboardPoll::record(const KeyToken& token, bool down)
{
    for (int i = 0; i < kMappingCount; ++i) {
        if (form_.keyChecks[i]->isChecked()) {
            recordTarget_ = i;
            app_.store.table.current().*kMappingFields[i] += down ? token.text : QStringLiteral("U") + token.text.mid(1);
            break;
        }
    }
    if (recordTarget_) {
        form_.keyBoxes[*recordTarget_]->appendLabel(keyLabel(token.code),
                                                     down ? LabelColour::Green : LabelColour::Red);
    }
}

// The sequence of the tracker's present state (start while stopped, stop while
// started) fires when every key it presses is down now.
void KeyboardPoll::fireGlobalKeys()
{
    const Profile& profile = app_.store.table.current();
    const QString& sequence = form_.Start_Command->text() == QLatin1String("Start") ? profile.startKey : profile.stopKey;
    if (sequence.isEmpty())
        return;
    for (const KeyToken& token : keyTokens(sequence))
        if (token.down && !keysDownNow_.contains(token.text))
            return;
    startClick_();
}

} // namespace corvane
