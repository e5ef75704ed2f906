#pragma once
// Key stroke sequences: tokens "D" (down) or "U" (up) followed by a three-digit
// virtual-key code, such as "D162D164D083U083U164U162".
#include "core/Fault.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

namespace corvane {

struct KeyToken {
    bool down = false; // exactly "D" as the first character
    qint64 code = 0;   // numeric value of characters 2 to 4, rounded half to even
    QString text;      // the token's characters (four, or fewer at the end)
};

// Reads the first token of a non-empty sequence. A remainder shorter than four
// characters is read as one token by the same rules.
KeyToken readKeyToken(QStringView sequence);

// All tokens of a sequence, front to back.
QList<KeyToken> keyTokens(QStringView sequence);

// The down token of a key code: "D" and the code in three digits ("D083").
QString downToken(int code);

enum class LabelColour { Green, Red };
inline constexpr int kGreenRgb[3] = {0, 128, 0};
inline constexpr int kRedRgb[3] = {192, 0, 0};

struct KeyLabelSpan {
    QString label;
    LabelColour colour;
};

// What a mapping box shows for a sequence: the labels in order, down tokens in
// green, up tokens in red, and the keys still down at the end once more in red.
// When a token's label fails (a negative code), `spans` holds the labels before it
// and `fault` says why. A box shows at most kMaxShownLabels labels: only a
// damaged file holds a longer sequence, and its labels would take memory out
// of all proportion (the sequence itself is kept whole). `cut` says so.
inline constexpr qsizetype kMaxShownLabels = 1000;
struct RenderedKeys {
    QList<KeyLabelSpan> spans;
    std::optional<Fault> fault;
    bool cut = false;
};

RenderedKeys renderKeySequence(QStringView sequence);

// The send-keys text of a whole sequence ("D162D164D083U083U164U162" gives
// "{LCTRL}{LALT}S"). A negative code throws the subscript Fault.
QString keySequenceToSendKeys(QStringView sequence);

} // namespace corvane
