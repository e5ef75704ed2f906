#pragma once
// Number reading and rounding shared by the setting controls, the key
// sequences, the profile files and the motion stage.
#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

namespace corvane {

// The lenient numeric value of a text: its leading numeral, 0 when there is none.
// Spaces, tabs and line feeds are skipped wherever they stand ("1 2" is 12).
// A numeral is an optional sign, digits with at most one "." and an optional
// exponent (E or D, optional sign, digits); reading stops at the first character
// that does not fit ("5a" is 5, "2.5.1" is 2.5). "&H" + hex digits and
// "&O" + octal digits give that integer. The decimal point is always ".".
double numberFromText(QStringView text);

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
// NaN and infinities are returned unchanged.
double roundHalfEven(double value);

// Rounds half to even and converts; a result outside the type's range
// (or NaN) throws the overflow Fault.
std::int16_t toInt16(double value);
std::int32_t toInt32(double value);

// The plain numeral at the start of a text, as the profile files keep whole
// numbers: spaces and tabs, an optional sign, then digits with at most one "."
// ("5." and ".5" too), the same in every locale. Unlike numberFromText it takes
// no blank after the sign or among the digits, no exponent and no "&H" or "&O".
struct LeadingInteger {
    qsizetype end = 0;      // the first character not read
    bool hasDigits = false; // without digits the value is 0
    // Rounded half to even from the digits as written, not through a double
    // (so "2.50000000000000000001" is 3); nothing outside the 32-bit range.
    std::optional<std::int32_t> value;
};
LeadingInteger leadingInteger(QStringView text);
LeadingInteger leadingInteger(QLatin1StringView text); // file bytes

// Strict conversion of a whole text to a 16-bit integer: blanks around one
// leadingInteger numeral with digits, and nothing else. Its value is the one
// numberFromText reads, rounded half to even: a long fraction rounds as its
// nearest double does ("2.50000000000000000001" gives 2).
// Anything else (the empty text, "5a", "1-") throws the type-mismatch Fault;
// a number outside -32768..32767 throws the overflow Fault.
std::int16_t strictToInt16(QStringView text);

} // namespace corvane
