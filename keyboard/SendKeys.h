#pragma once
// Send-keys text, the syntax key mappings are written in, read into the key
// strokes that type it. Nothing is sent here: the strokes go to the key output.
//
//   a plain character     types itself (any Unicode character)
//   + ^ %                 hold Shift, Ctrl, Alt over the next key or group
//   ~                     the Enter key
//   ( ... )               a group of keys under one set of held modifiers
//   {NAME} {NAME n}       a named key, pressed once or n times
//   {x} {x n}             the character x, typed once or n times; this is how
//                         + ^ % ~ ( ) { } are typed: {+}, {{}, {}} ...
#include <QList>
#include <QString>
#include <QStringView>

namespace corvane {

struct SendKeysStroke {
    enum class Kind { KeyDown, KeyUp, Character };
    Kind kind = Kind::Character;
    int virtualKey = 0;     // KeyDown / KeyUp: a Windows virtual-key code
    char32_t character = 0; // Character: typed as the keyboard layout gives it
    bool operator==(const SendKeysStroke&) const = default;
};

// The most strokes one text may give.
inline constexpr qsizetype kMaxSendKeysStrokes = 65536;

// The strokes that type `text`. A text the syntax refuses (an unbalanced group
// or brace, an unknown name, a bad count, a modifier with nothing to hold, a
// lone surrogate, more than kMaxSendKeysStrokes strokes) throws
// invalidCallFault() and gives nothing, so none of it is ever sent.
QList<SendKeysStroke> parseSendKeys(QStringView text);

// The strokes as readable text: "down 160, type a, up 160".
QString describeStrokes(const QList<SendKeysStroke>& strokes);

} // namespace corvane
