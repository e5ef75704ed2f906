#include "platform/X11KeyOutput.h"

#include "platform/X11KeyTable.h"
#include "platform/X11Keyboard.h"
#include "platform/X11Requests.h"

#include <QLoggingCategory>
#include <QTimer>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>

namespace corvane::platform {

namespace {

Q_LOGGING_CATEGORY(lcKeys, "corvane.keys")

QString noXKey(int virtualKey)
{
    return QStringLiteral("virtual-key code %1 has no X key; passed over").arg(virtualKey);
}

// XTest's button numbers for left, right and middle.
constexpr unsigned kButtonNumber[] = {1, 3, 2};

// How long a spare keycode keeps its keysym after its last key went up.
constexpr qint64 kSpareKeepMs = 200;

} // namespace

X11KeyOutput::X11KeyOutput(std::shared_ptr<X11Keyboard> keyboard, QString whyNot)
    : keyboard_(std::move(keyboard)), reason_(std::move(whyNot))
{
    clock_.start();
}

X11KeyOutput::~X11KeyOutput() { finish(); }

void X11KeyOutput::finish()
{
    // A display that has gone took its keys and keymap with it.
    if (!keyboard_ || keyboard_->lost())
        return;
    // Nothing this output pressed stays down or bound after it.
    for (const auto& [virtualKey, keycode] : held_) {
        sendKey(keycode, false);
        releaseSpare(keycode);
    }
    held_.clear();
    unbindIdleSpares(true);
}

bool X11KeyOutput::ready()
{
    // The display has gone: the keys it held went with it.
    if (keyboard_ && keyboard_->lost())
        return false;
    if (keyboard_) {
        keyboard_->readEvents(true);
        unbindIdleSpares(false);
        return true;
    }
    if (!reasonTold_) {
        reasonTold_ = true;
        qCWarning(lcKeys, "%s", qPrintable(reason_));
    }
    return false;
}

void X11KeyOutput::noteOnce(const QString& problem)
{
    // Said once per run: a mapping that meets it does so every cycle.
    if (!noted_.contains(problem)) {
        noted_.insert(problem);
        qCWarning(lcKeys, "%s", qPrintable(problem));
    }
}

int X11KeyOutput::keycodeToPress(int virtualKey)
{
    if (const int keycode = keyboard_->keycodeFor(virtualKey))
        return keycode;
    // A key the keymap lacks (F13 to F24 on many keymaps, Select, Clear):
    // bound to a spare keycode by its keysym.
    const X11KeySym keysym = keysymForVirtualKey(virtualKey);
    if (keysym == NoSymbol) {
        noteOnce(noXKey(virtualKey));
        return 0;
    }
    const int spare = takeSpare(keysym);
    if (spare == 0)
        noteOnce(QStringLiteral("no spare X keycode left for virtual-key code %1; passed over").arg(virtualKey));
    return spare;
}

void X11KeyOutput::keyDown(int virtualKey)
{
    if (!ready())
        return;
    auto it = held_.find(virtualKey);
    if (it == held_.end()) {
        const int keycode = keycodeToPress(virtualKey);
        if (keycode == 0)
            return;
        it = held_.emplace(virtualKey, keycode).first;
    }
    sendKey(it->second, true);
}

void X11KeyOutput::keyUp(int virtualKey)
{
    if (!ready())
        return;
    const auto it = held_.find(virtualKey);
    if (it == held_.end()) {
        // Not pressed here: release the key at its place, if the keymap has it.
        if (const int keycode = keyboard_->keycodeFor(virtualKey))
            sendKey(keycode, false);
        else if (keysymForVirtualKey(virtualKey) == NoSymbol)
            noteOnce(noXKey(virtualKey));
        return;
    }
    const int keycode = it->second;
    held_.erase(it);
    sendKey(keycode, false);
    releaseSpare(keycode);
}

void X11KeyOutput::buttonDown(MouseButton button)
{
    if (!ready())
        return;
    XTestFakeButtonEvent(keyboard_->qtDisplay(), kButtonNumber[static_cast<int>(button)], True, CurrentTime);
    sendRequests(keyboard_->qtDisplay());
}

void X11KeyOutput::buttonUp(MouseButton button)
{
    if (!ready())
        return;
    XTestFakeButtonEvent(keyboard_->qtDisplay(), kButtonNumber[static_cast<int>(button)], False, CurrentTime);
    sendRequests(keyboard_->qtDisplay());
}

void X11KeyOutput::typeCharacter(char32_t character)
{
    if (!ready())
        return;
    const X11KeySym keysym = keysymForCharacter(character);
    const QString code = QStringLiteral("U+%1").arg(static_cast<unsigned>(character), 4, 16, QChar(u'0')).toUpper();
    if (keysym == NoSymbol) {
        noteOnce(QStringLiteral("no X key types the character %1; passed over").arg(code));
        return;
    }
    // The group and the modifiers held, once the keys sent before are in.
    XSync(keyboard_->qtDisplay(), False);
    XkbStateRec state{};
    XkbGetState(keyboard_->display(), XkbUseCoreKbd, &state);

    // The key of the current group at the lowest level that gives the
    // character by either keysym. Level 1 is reached with Shift, level 2 with
    // AltGr, level 3 with both.
    std::optional<X11Keyboard::Place> place;
    if (!onSpare(keysym)) {
        for (const X11KeySym either : {keysym, unicodeKeysymForCharacter(character)}) {
            const auto found = keyboard_->find(either, state.group, false);
            if (found && (!place || found->level < place->level))
                place = found;
        }
    }
    int shiftKey = 0, levelThreeKey = 0;
    if (place && (place->level & 1) && !(state.mods & ShiftMask)) {
        shiftKey = keycodeGiving(XK_Shift_L);
        if (shiftKey == 0)
            place.reset();
    }
    const unsigned levelThree = keyboard_->modifiersOf(XK_ISO_Level3_Shift);
    if (place && (place->level & 2) && !(levelThree != 0 && (state.mods & levelThree) == levelThree)) {
        levelThreeKey = keycodeGiving(XK_ISO_Level3_Shift);
        if (levelThreeKey == 0)
            place.reset();
    }
    if (place && place->level > 3)
        place.reset();

    if (!place) {
        const int spare = takeSpare(keysym);
        if (spare == 0) {
            noteOnce(QStringLiteral("no spare X keycode left to type %1; passed over").arg(code));
            return;
        }
        sendKey(spare, true);
        sendKey(spare, false);
        releaseSpare(spare);
        return;
    }
    for (const int modifier : {shiftKey, levelThreeKey}) {
        if (modifier != 0)
            sendKey(modifier, true);
    }
    sendKey(place->keycode, true);
    sendKey(place->keycode, false);
    for (const int modifier : {levelThreeKey, shiftKey}) {
        if (modifier != 0)
            sendKey(modifier, false);
    }
}

int X11KeyOutput::keycodeGiving(unsigned long keysym)
{
    const auto place = keyboard_->find(keysym, keyboard_->group(), true);
    return place ? place->keycode : 0;
}

bool X11KeyOutput::onSpare(unsigned long keysym) const
{
    for (const Spare& spare : spares_) {
        if (spare.keysym == keysym)
            return true;
    }
    return false;
}

int X11KeyOutput::takeSpare(unsigned long keysym)
{
    for (Spare& spare : spares_) {
        if (spare.keysym == keysym) {
            ++spare.holders;
            return spare.keycode;
        }
    }
    Display* display = keyboard_->qtDisplay();
    int first = 0, last = 0;
    XDisplayKeycodes(display, &first, &last);
    int perKey = 0;
    KeySym* mapping = XGetKeyboardMapping(display, static_cast<KeyCode>(first), last - first + 1, &perKey);
    if (!mapping)
        return 0;
    // From the top down: the highest keycodes are the least likely to have a
    // key on a real keyboard.
    int empty = 0;
    for (int keycode = last; keycode >= first && empty == 0 && perKey > 0; --keycode) {
        const KeySym* syms = mapping + static_cast<std::ptrdiff_t>(keycode - first) * perKey;
        if (std::all_of(syms, syms + perKey, [](KeySym sym) { return sym == NoSymbol; }))
            empty = keycode;
    }
    XFree(mapping);

    Spare* spare = nullptr;
    if (empty != 0) {
        spare = &spares_.emplace_back();
        spare->keycode = empty;
    } else {
        for (Spare& idle : spares_) {
            if (idle.holders == 0 && (!spare || idle.idleSinceMs < spare->idleSinceMs))
                spare = &idle;
        }
        if (!spare)
            return 0;
    }
    spare->keysym = keysym;
    spare->perKey = perKey;
    spare->holders = 1;
    // The keysym at both levels, so a held Shift does not change it.
    std::vector<KeySym> bound(static_cast<std::size_t>(perKey), NoSymbol);
    bound[0] = keysym;
    if (perKey > 1)
        bound[1] = keysym;
    XChangeKeyboardMapping(display, spare->keycode, perKey, bound.data(), 1);
    // The keyboard's own connection fetches the keymap again; the change must
    // be in by then.
    XSync(display, False);
    keyboard_->keymapChanged();
    return spare->keycode;
}

void X11KeyOutput::releaseSpare(int keycode)
{
    for (Spare& spare : spares_) {
        if (spare.keycode == keycode && spare.holders > 0 && --spare.holders == 0) {
            spare.idleSinceMs = clock_.elapsed();
            QTimer::singleShot(std::chrono::milliseconds(kSpareKeepMs + 20), Qt::PreciseTimer, &timers_,
                               [this] { unbindIdleSpares(false); });
        }
    }
}

void X11KeyOutput::unbindIdleSpares(bool all)
{
    Display* display = keyboard_->qtDisplay();
    bool changed = false;
    for (auto it = spares_.begin(); it != spares_.end();) {
        if (it->holders == 0 && (all || clock_.elapsed() - it->idleSinceMs >= kSpareKeepMs)) {
            std::vector<KeySym> none(static_cast<std::size_t>(it->perKey), NoSymbol);
            XChangeKeyboardMapping(display, it->keycode, it->perKey, none.data(), 1);
            it = spares_.erase(it);
            changed = true;
        } else {
            ++it;
        }
    }
    if (changed) {
        XSync(display, False);
        keyboard_->keymapChanged();
    }
}

void X11KeyOutput::sendKey(int keycode, bool down)
{
    XTestFakeKeyEvent(keyboard_->qtDisplay(), static_cast<unsigned>(keycode), down ? True : False, CurrentTime);
    sendRequests(keyboard_->qtDisplay());
}

} // namespace corvane::platform
