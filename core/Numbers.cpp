#include "core/Numbers.h"

#include "core/Fault.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace corvane {

namespace {

// Exponents are accumulated with saturation; anything beyond this is far
// outside the range of a double either way.
constexpr std::int64_t kExponentLimit = 1'000'000'000;

// Walks a text for the lenient reader: spaces, tabs and line feeds are
// invisible wherever they stand.
class NumeralCursor {
public:
    explicit NumeralCursor(QStringView text) : text_(text) {}

    // The next visible character, or a null QChar at the end.
    QChar peek()
    {
        skipBlanks();
        return pos_ < text_.size() ? text_[pos_] : QChar();
    }

    void advance()
    {
        skipBlanks();
        if (pos_ < text_.size())
            ++pos_;
    }

private:
    void skipBlanks()
    {
        while (pos_ < text_.size()) {
            const char16_t c = text_[pos_].unicode();
            if (c != u' ' && c != u'\t' && c != u'\n')
                break;
            ++pos_;
        }
    }

    QStringView text_;
    qsizetype pos_ = 0;
};

bool isDecimalDigit(QChar c) { return c.unicode() >= u'0' && c.unicode() <= u'9'; }

bool isStrictBlank(QChar c) { return c == u' ' || c == u'\t'; }

int digitValue(QChar c, int radix)
{
    const char16_t u = c.unicode();
    int v = -1;
    if (u >= u'0' && u <= u'9')
        v = u - u'0';
    else if (u >= u'a' && u <= u'f')
        v = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        v = u - u'A' + 10;
    return v < radix ? v : -1;
}

bool isLetter(QChar c, char16_t upper) { return c.unicode() == upper || c.unicode() == upper + (u'a' - u'A'); }

// "&H..." or "&O...": the cursor stands after the letter. Values beyond the
// double range end up as infinity.
double readRadixDigits(NumeralCursor& cur, int radix)
{
    double value = 0.0;
    for (int d = digitValue(cur.peek(), radix); d >= 0; d = digitValue(cur.peek(), radix)) {
        value = value * radix + d;
        cur.advance();
    }
    return value;
}

std::int64_t saturatingAdd(std::int64_t a, std::int64_t b)
{
    const std::int64_t sum = a + b; // cannot overflow: both operands stay far below 2^62
    if (sum > kExponentLimit)
        return kExponentLimit;
    if (sum < -kExponentLimit)
        return -kExponentLimit;
    return sum;
}

// Magnitude of digits * 10^exponent, where digits is a non-empty run of decimal
// digits without leading zeros. Overflow gives infinity, underflow zero.
double scaleDecimal(const std::string& digits, std::int64_t exponent)
{
    // The value lies in [10^magnitude, 10^(magnitude + 1)).
    const std::int64_t magnitude = saturatingAdd(exponent, static_cast<std::int64_t>(digits.size()) - 1);
    if (magnitude > 310)
        return std::numeric_limits<double>::infinity();
    if (magnitude < -330)
        return 0.0;

    std::string literal = digits;
    literal += 'e';
    literal += std::to_string(exponent);
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(literal.data(), literal.data() + literal.size(), value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range)
        return magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    if (ec != std::errc())
        return 0.0;
    return value;
}

// An optional sign, digits with at most one ".", an optional exponent.
double readDecimal(NumeralCursor& cur)
{
    bool negative = false;
    if (cur.peek() == u'+' || cur.peek() == u'-') {
        negative = cur.peek() == u'-';
        cur.advance();
    }

    std::string digits;        // significant digits, leading zeros dropped
    std::int64_t exponent = 0; // power of ten applied to `digits`
    bool sawDigit = false;
    bool sawPoint = false;
    for (;;) {
        const QChar c = cur.peek();
        if (isDecimalDigit(c)) {
            sawDigit = true;
            if (!digits.empty() || c != u'0')
                digits += static_cast<char>(c.unicode());
            if (sawPoint)
                exponent = saturatingAdd(exponent, -1);
        } else if (c == u'.' && !sawPoint) {
            sawPoint = true;
        } else {
            break;
        }
        cur.advance();
    }
    if (!sawDigit)
        return 0.0;

    // The exponent counts only when its letter is followed by at least one digit
    // (after an optional sign); otherwise reading stops before the letter.
    // The letter check comes first, so the cursor never moves past a character
    // that turns out not to belong to the numeral.
    if (isLetter(cur.peek(), u'E') || isLetter(cur.peek(), u'D')) {
        NumeralCursor probe = cur;
        probe.advance();
        bool expNegative = false;
        if (probe.peek() == u'+' || probe.peek() == u'-') {
            expNegative = probe.peek() == u'-';
            probe.advance();
        }
        if (isDecimalDigit(probe.peek())) {
            std::int64_t written = 0;
            while (isDecimalDigit(probe.peek())) {
                written = std::min<std::int64_t>(written * 10 + (probe.peek().unicode() - u'0'), kExponentLimit);
                probe.advance();
            }
            exponent = saturatingAdd(exponent, expNegative ? -written : written);
            cur = probe;
        }
    }

    if (digits.empty())
        return 0.0;
    const double magnitude = scaleDecimal(digits, exponent);
    return negative ? -magnitude : magnitude;
}

template <typename Int>
Int toInteger(double value)
{
    const double r = roundHalfEven(value);
    // NaN fails both comparisons, so it is rejected too.
    if (!(r >= static_cast<double>(std::numeric_limits<Int>::min())
          && r <= static_cast<double>(std::numeric_limits<Int>::max())))
        throw overflowFault();
    return static_cast<Int>(r);
}

// leadingInteger over either kind of text.
template <typename Text>
LeadingInteger readLeadingInteger(Text text)
{
    // One past 2^31, the largest magnitude of a 32-bit integer (-2^31): larger
    // magnitudes stop there, as they only need to show the overflow.
    constexpr std::int64_t kTooLarge = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 2;
    const auto at = [text](qsizetype i) { return i < text.size() ? QChar(text[i]) : QChar(); };

    LeadingInteger numeral;
    qsizetype i = 0;
    while (isStrictBlank(at(i)))
        ++i;
    const bool negative = at(i) == u'-';
    if (negative || at(i) == u'+')
        ++i;
    std::int64_t magnitude = 0;
    for (; isDecimalDigit(at(i)); ++i) {
        numeral.hasDigits = true;
        magnitude = std::min(magnitude * 10 + (at(i).unicode() - u'0'), kTooLarge);
    }
    if (at(i) == u'.') {
        ++i;
        if (isDecimalDigit(at(i))) {
            numeral.hasDigits = true;
            const char16_t first = at(i++).unicode();
            bool restNonZero = false;
            for (; isDecimalDigit(at(i)); ++i)
                restNonZero = restNonZero || at(i) != u'0';
            // Up past a half; from a half exactly, to the even neighbour.
            if (first > u'5' || (first == u'5' && (restNonZero || magnitude % 2 != 0)))
                ++magnitude;
        }
    }
    numeral.end = i;
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max())
        numeral.value = static_cast<std::int32_t>(value);
    return numeral;
}

} // namespace

double numberFromText(QStringView text)
{
    NumeralCursor cur(text);
    if (cur.peek() == u'&') {
        NumeralCursor probe = cur;
        probe.advance();
        if (isLetter(probe.peek(), u'H')) {
            probe.advance();
            return readRadixDigits(probe, 16);
        }
        if (isLetter(probe.peek(), u'O')) {
            probe.advance();
            return readRadixDigits(probe, 8);
        }
        return 0.0;
    }
    const double value = readDecimal(cur);
    return value == 0.0 ? 0.0 : value; // no negative zero
}

double roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return value;
    double r = std::round(value); // halves away from zero
    // value - r is exact here, so a true half is recognised as such.
    if (std::fabs(value - r) == 0.5)
        r = 2.0 * std::round(value / 2.0);
    return r;
}

std::int16_t toInt16(double value) { return toInteger<std::int16_t>(value); }

std::int32_t toInt32(double value) { return toInteger<std::int32_t>(value); }

LeadingInteger leadingInteger(QStringView text) { return readLeadingInteger(text); }

LeadingInteger leadingInteger(QLatin1StringView text) { return readLeadingInteger(text); }

std::int16_t strictToInt16(QStringView text)
{
    const LeadingInteger numeral = leadingInteger(text);
    if (!numeral.hasDigits || !std::all_of(text.begin() + numeral.end, text.end(), isStrictBlank))
        throw typeMismatchFault();
    return toInt16(numberFromText(text));
}

} // namespace corvane
