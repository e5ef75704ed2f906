#pragma once
// Number reading and rounding shared by the setting controls, the key
// sequences, the profile files and the motion stage.
#include <QString>
#include <QStringView>
#include <cstdint>

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

// Strict conversion of a whole text to a 16-bit integer: blanks around it are
// allowed, the rest must be one number (optional sign, digits, a point and a
// fraction, the same in every locale); a fraction is rounded half to even.
// Anything else (the empty text, "5a", "1-") throws the type-mismatch Fault;
// a number outside -32768..32767 throws the overflow Fault.
std::int16_t strictToInt16(QStringView text);

} // namespace corvane
