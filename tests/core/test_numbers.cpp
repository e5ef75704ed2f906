#include "core/Fault.h"
#include "core/Numbers.h"

#include <gtest/gtest.h>

#include "tests/support/TestData.h"

#include <cmath>
#include <limits>
#include <optional>
#include <tuple>

using namespace corvane;
using corvane::test::faultOf;

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();
} // namespace

TEST(NumberFromText, ReadsTheLeadingNumeral)
{
    const QString zeros(5000, u'0');
    // clang-format off
    const std::pair<QString, double> cases[] = {
        {"", 0},         {"abc", 0},        {"-", 0},            {".", 0},         {"--5", 0},
        {"1 2", 12},     {" \t\n-3", -3},   {"- 4 . 5", -4.5},   {"5a", 5},        {"2.5.1", 2.5},
        {".5", 0.5},     {"+7", 7},         {"1,5", 1},          {"\r5", 0},       {"-0", 0},
        {"1D3", 1000},   {"2.5E-1", 0.25},  {"1d+2", 100},       {"1e+", 1},       {"3.e1", 30},
        {"&h1f", 31},    {"&HFFFF", 65535}, {"&O178", 15},       {"&O8", 0},       {"&17", 0},
        {"& H 1 0", 16}, {"-1e400", -kInf}, {"1e-400", 0},       {"0e99999999999999999999", 0},
        {"1" + zeros + "e-5000", 1},        {"0." + zeros + "25e5002", 25},
        {"1" + zeros, kInf},                {"&H" + QString(400, u'F'), kInf},
    };
    // clang-format on
    for (const auto& [text, expected] : cases) {
        const double got = numberFromText(text);
        EXPECT_EQ(got, expected) << text.left(40).toStdString();
        EXPECT_FALSE(got == 0.0 && std::signbit(got)) << "negative zero: " << text.toStdString();
    }
}

TEST(Rounding, HalvesGoToTheEvenNeighbourAndRangesAreChecked)
{
    // clang-format off
    const double cases[][2] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {0.5, 0}, {-0.4, 0}, {2.6, 3},
                               {0.49999999999999994, 0}, {4503599627370497.0, 4503599627370497.0}};
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(roundHalfEven(c[0]), c[1]) << c[0];
    EXPECT_TRUE(std::isnan(roundHalfEven(std::nan(""))));

    EXPECT_EQ(toInt16(-32768.5), -32768);
    EXPECT_EQ(toInt32(-2147483648.5), std::numeric_limits<std::int32_t>::min());
    for (double bad : {32767.5, -32768.6, kInf, std::nan("")})
        EXPECT_EQ(faultOf([bad] { toInt16(bad); }), kFaultOverflow) << bad;
    for (double bad : {2147483647.5, -kInf, std::nan("")})
        EXPECT_EQ(faultOf([bad] { toInt32(bad); }), kFaultOverflow) << bad;
}

// Each case read from the same characters as a text and as Latin-1 bytes.
TEST(LeadingInteger, ReadsThePlainNumeralAndRoundsItsDigitsExactly)
{
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    // clang-format off
    const struct {
        const char* text;
        qsizetype end;
        bool hasDigits;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"", 0, false, 0},       {" \t-12x", 5, true, -12},  {"+7", 2, true, 7},     {"- 5", 1, false, 0},
        {"\n5", 0, false, 0},    {"1 2", 1, true, 1},        {"1e3", 1, true, 1},    {"&H10", 0, false, 0},
        {".", 1, false, 0},      {"5.", 2, true, 5},         {".5", 2, true, 0},     {"2.5.1", 3, true, 2},
        {"3.5", 3, true, 4},     {"-2.5", 4, true, -2},      {"-2.51", 5, true, -3},
        {"2.50000000000000000001", 22, true, 3},            {"1.49999999999999999999", 22, true, 1},
        {"2147483647", 10, true, kMax},                     {"-2147483648.5", 13, true, kMin},
        {"000000000000000000002147483647", 30, true, kMax}, {"2147483647.5", 12, true, std::nullopt},
        {"-2147483649", 11, true, std::nullopt},            {"99999999999999999999", 20, true, std::nullopt},
    };
    // clang-format on
    for (const auto& c : cases) {
        const auto expected = std::tuple(c.end, c.hasDigits, c.value);
        const LeadingInteger fromText = leadingInteger(QString::fromLatin1(c.text));
        const LeadingInteger fromBytes = leadingInteger(QLatin1StringView(c.text));
        EXPECT_EQ(std::tuple(fromText.end, fromText.hasDigits, fromText.value), expected) << c.text;
        EXPECT_EQ(std::tuple(fromBytes.end, fromBytes.hasDigits, fromBytes.value), expected) << c.text;
    }
}

// The same numerals, the whole text; a long fraction rounds as its double does.
TEST(StrictConversion, WholeTextMustBeOneNumber)
{
    // clang-format off
    const std::pair<const char*, int> good[] = {{"07", 7},  {"7.6", 8}, {" 12\t", 12}, {"-3", -3},
                                                {"+4", 4},  {"6.5", 6}, {"5.", 5},     {".5", 0},
                                                {"-32768", -32768},     {"2.50000000000000000001", 2}};
    // clang-format on
    for (const auto& [text, value] : good)
        EXPECT_EQ(strictToInt16(QString::fromLatin1(text)), value) << text;

    // clang-format off
    const std::pair<QString, int> bad[] = {
        {"", kFaultTypeMismatch},     {"  ", kFaultTypeMismatch},   {"5a", kFaultTypeMismatch},
        {"1-", kFaultTypeMismatch},   {".", kFaultTypeMismatch},    {"1e3", kFaultTypeMismatch},
        {"&H10", kFaultTypeMismatch}, {"1 2", kFaultTypeMismatch},  {"- 5", kFaultTypeMismatch},
        {"1.2.3", kFaultTypeMismatch}, {"32768", kFaultOverflow},   {"32767.5", kFaultOverflow},
        {"1" + QString(3000, u'0'), kFaultOverflow},
    };
    // clang-format on
    for (const auto& [text, fault] : bad)
        EXPECT_EQ(faultOf([&text] { strictToInt16(text); }), fault) << text.left(40).toStdString();
}
