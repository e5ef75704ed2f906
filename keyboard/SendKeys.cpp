#include "keyboard/SendKeys.h"

#include "core/Fault.h"
#include "keyboard/KeyNames.h"

#include <QHash>
#include <QStringList>

#include <algorithm>
#include <array>

namespace corvane {

namespace {

using Kind = SendKeysStroke::Kind;

constexpr int kVkEnter = 13;

// The virtual key a modifier sign holds (left Shift, Ctrl, Alt), or 0.
int modifierKey(QChar sign)
{
    switch (sign.unicode()) {
    case u'+':
        return 160;
    case u'^':
        return 162;
    case u'%':
        return 164;
    default:
        return 0;
    }
}

// Upper case for ASCII letters only: every key name is ASCII, and folding the
// rest ("ı" to "I", "ſ" to "S") would let odd spellings through as names.
QString asciiUpper(QStringView name)
{
    QString upper;
    upper.reserve(name.size());
    for (QChar c : name)
        upper += (c >= u'a' && c <= u'z') ? QChar(c.unicode() - (u'a' - u'A')) : c;
    return upper;
}

// Every key name of more than one character, in upper case: those of the
// key-name table (what keySequenceToSendKeys writes), and the usual send-keys
// names the table does not already hold. The table is filled on first use,
// so this needs no earlier loadKeyNames().
const QHash<QString, int>& namedKeys()
{
    static const QHash<QString, int> names = [] {
        QHash<QString, int> h;
        struct Named {
            const char* name;
            int code;
        };
        static constexpr Named kUsual[] = {
            {"BACKSPACE", 8},    {"BS", 8},    {"BKSP", 8},       {"BREAK", 3},      {"DEL", 46},
            {"ENTER", 13},       {"INS", 45},  {"PGDN", 34},      {"PGUP", 33},      {"PRTSC", 44},
            {"SCROLLLOCK", 145}, {"ADD", 107}, {"SUBTRACT", 109}, {"MULTIPLY", 106}, {"DIVIDE", 111},
        };
        for (const Named& n : kUsual)
            h.insert(QString::fromLatin1(n.name), n.code);
        const KeyNameTable& table = keyNameTable();
        for (std::size_t code = 0; code < table.size(); ++code)
            if (table[code].size() > 1)
                h.insert(table[code], static_cast<int>(code));
        return h;
    }();
    return names;
}

struct Character {
    char32_t code;
    qsizetype length; // in UTF-16 units
};

// The character starting at `at`. A lone surrogate is no character and is
// refused.
Character readCharacter(QStringView text, qsizetype at)
{
    const QChar c = text[at];
    if (!c.isSurrogate())
        return {c.unicode(), 1};
    if (c.isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate())
        return {QChar::surrogateToUcs4(c, text[at + 1]), 2};
    throw invalidCallFault();
}

// The count of "{NAME n}": ASCII digits only, at least one. Values past the
// stroke limit are kept at one past it; the limit refuses them anyway.
qsizetype readCount(QStringView digits)
{
    if (digits.isEmpty())
        throw invalidCallFault();
    qsizetype count = 0;
    for (QChar d : digits) {
        if (d < u'0' || d > u'9')
            throw invalidCallFault();
        count = std::min<qsizetype>(count * 10 + (d.unicode() - u'0'), kMaxSendKeysStrokes + 1);
    }
    return count;
}

class StrokeList {
public:
    void down(int key) { add({.kind = Kind::KeyDown, .virtualKey = key}); }
    void up(int key) { add({.kind = Kind::KeyUp, .virtualKey = key}); }
    void press(int key)
    {
        down(key);
        up(key);
    }
    void type(char32_t character) { add({.kind = Kind::Character, .character = character}); }

    QList<SendKeysStroke> strokes;

private:
    void add(const SendKeysStroke& stroke)
    {
        if (strokes.size() >= kMaxSendKeysStrokes)
            throw invalidCallFault();
        strokes.append(stroke);
    }
};

// "{...}" with `open` at its "{"; gives the position after its "}". The first
// character always belongs to the name, so "{}}" types "}" and "{{}" types "{".
qsizetype braces(QStringView text, qsizetype open, StrokeList& out)
{
    const qsizetype start = open + 1;
    if (start >= text.size())
        throw invalidCallFault();
    const Character first = readCharacter(text, start);
    const qsizetype close = text.indexOf(u'}', start + first.length);
    if (close == -1)
        throw invalidCallFault();

    const QStringView inside = text.sliced(start, close - start);
    const qsizetype space = inside.indexOf(u' ', first.length);
    const QStringView name = space == -1 ? inside : inside.first(space);
    const qsizetype count = space == -1 ? 1 : readCount(inside.sliced(space + 1));
    if (name.size() == first.length) {
        for (qsizetype i = 0; i < count; ++i)
            out.type(first.code);
    } else {
        const auto key = namedKeys().constFind(asciiUpper(name));
        if (key == namedKeys().constEnd())
            throw invalidCallFault();
        for (qsizetype i = 0; i < count; ++i)
            out.press(*key);
    }
    return close + 1;
}

// One key at `at`: Enter, a braced key or a plain character. Gives the
// position after it.
qsizetype oneKey(QStringView text, qsizetype at, StrokeList& out)
{
    const QChar c = text[at];
    if (c == u'~') {
        out.press(kVkEnter);
        return at + 1;
    }
    if (c == u'{')
        return braces(text, at, out);
    if (c == u'}')
        throw invalidCallFault();
    const Character character = readCharacter(text, at);
    out.type(character.code);
    return at + character.length;
}

} // namespace

QList<SendKeysStroke> parseSendKeys(QStringView text)
{
    StrokeList out;
    // The keys the open groups hold, each group's after a 0 that opens it;
    // a flat list keeps deep nesting down to a few bytes a level.
    QList<int> groups;
    qsizetype at = 0;
    while (at < text.size()) {
        if (text[at] == u')') {
            if (groups.isEmpty())
                throw invalidCallFault();
            for (int key = groups.takeLast(); key != 0; key = groups.takeLast())
                out.up(key);
            ++at;
            continue;
        }

        // The modifier prefix, each key held once, in the order first given.
        std::array<int, 3> held{};
        std::size_t heldCount = 0;
        for (int key; at < text.size() && (key = modifierKey(text[at])) != 0; ++at) {
            if (std::find(held.begin(), held.begin() + heldCount, key) == held.begin() + heldCount)
                held[heldCount++] = key;
        }
        // Only a modifier prefix can have run to the end or to a ")".
        if (at == text.size() || text[at] == u')')
            throw invalidCallFault();
        for (std::size_t i = 0; i < heldCount; ++i)
            out.down(held[i]);

        if (text[at] == u'(') {
            groups.append(0);
            groups.append(QList<int>(held.begin(), held.begin() + heldCount));
            ++at;
            continue;
        }
        at = oneKey(text, at, out);
        while (heldCount > 0)
            out.up(held[--heldCount]);
    }
    if (!groups.isEmpty())
        throw invalidCallFault();
    return out.strokes;
}

QString describeStrokes(const QList<SendKeysStroke>& strokes)
{
    QStringList parts;
    for (const SendKeysStroke& s : strokes) {
        switch (s.kind) {
        case Kind::KeyDown:
            parts.append(QStringLiteral("down %1").arg(s.virtualKey));
            break;
        case Kind::KeyUp:
            parts.append(QStringLiteral("up %1").arg(s.virtualKey));
            break;
        case Kind::Character:
            parts.append(QStringLiteral("type ") + QString::fromUcs4(&s.character, 1));
            break;
        }
    }
    return parts.join(QStringLiteral(", "));
}

} // namespace corvane
