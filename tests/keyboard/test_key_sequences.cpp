#include "core/Fault.h"
#include "keyboard/KeyNames.h"
#include "keyboard/KeySequence.h"
#include "keyboard/MappedKeys.h"
#include "keyboard/SendKeys.h"

#include <gtest/gtest.h>

#include "tests/support/TestData.h"

using namespace corvane;

namespace {

// "G[A]R[A]": each label prefixed with its colour.
QString coloured(const RenderedKeys& r)
{
    QString out;
    for (const KeyLabelSpan& s : r.spans)
        out += QChar(s.colour == LabelColour::Green ? u'G' : u'R') + s.label;
    return out;
}

QString described(QStringView text) { return describeStrokes(parseSendKeys(text)); }

} // namespace

TEST(KeyNames, LabelsByCode)
{
    // clang-format off
    const std::pair<qint64, const char*> cases[] = {
        {14, "[CAPITOL]"}, {15, "[KANA]"},   {17, "[CONTRAL]"}, {20, "[CAPSLOCK]"}, {21, "[021]"},
        {0, "[000]"},      {57, "[9]"},      {90, "[Z]"},       {105, "[PAD9]"},    {112, "[F1]"},
        {127, "[F16]"},    {128, "[128]"},   {187, "[=]"},      {192, "[`]"},       {220, "[\\]"},
        {222, "[']"},      {300, "[300]"},   {1300, "[300]"},  {93, "[APPS]"},     {94, "[094]"},
        {48, "[0]"},       {96, "[PAD0]"},   {65, "[A]"},      {160, "[LSHIFT]"},  {165, "[RALT]"},
    };
    // clang-format on
    for (const auto& [code, label] : cases)
        EXPECT_EQ(keyLabel(code), QString::fromLatin1(label)) << code;
    EXPECT_THROW(keyLabel(-1), Fault);
}

TEST(KeySequence, ReadsTokens)
{
    // clang-format off
    const std::tuple<const char*, bool, qint64> cases[] = {
        {"U083", false, 83}, {"d162", false, 162}, {"D2.5", true, 2},  {"D3.5", true, 4},
        {"D-12", true, -12}, {"Dabc", true, 0},    {"D 12", true, 12}, {"D&HF", true, 15},
    };
    // clang-format on
    for (const auto& [text, down, code] : cases) {
        const KeyToken t = readKeyToken(QString::fromLatin1(text));
        EXPECT_EQ(std::pair(t.down, t.code), std::pair(down, code)) << text;
    }
}

TEST(KeySequence, RendersAndConvertsToSendKeys)
{
    // Sequence, rendered labels, send-keys text.
    // clang-format off
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"", "", ""},
        {"D162D164D083U083U164U162", "G[LCTRL]G[LALT]G[S]R[S]R[LALT]R[LCTRL]", "{LCTRL}{LALT}S"},
        {"D065", "G[A]R[A]", "A"},
        {"D065D065U065", "G[A]G[A]R[A]", "AA"},
        {"D300U300", "G[300]R[300]", ""},
        {"D007", "G[007]R[007]", ""},
        {"D112D127", "G[F1]G[F16]R[F1]R[F16]", "{F1}{F16}"},
        {"D016D065U065U016", "G[SHIFT]G[A]R[A]R[SHIFT]", "X{SHIFT}XA"},
        {"D016D255", "G[SHIFT]G[255]R[SHIFT]R[255]", "X{SHIFT}X"}, // 255 is sent, without a name
        {"D017D018D065", "G[CONTRAL]G[ALT]G[A]R[CONTRAL]R[ALT]R[A]", "Y{CONTRAL}YZ{ALT}YZA"},
        {"D186D219D220", "G[;]G[[]G[\\]R[;]R[[]R[\\]", ";[\\"},
        // A short last token is still a token; the closing pass releases it too.
        {"D065D0", "G[A]G[000]R[A]R[000]", "A"},
        // Never released by its own up token: the closing pass runs once and stops.
        {"DDDD", "G[000]R[000]", ""},
        // A lone "U" strips every "D" from the held list; its digits are replayed.
        {"D065U", "G[A]R[000]R[A]", "A"},
        // An up token releases every copy of its key, and only its key.
        {"D016D016U016D065", "G[SHIFT]G[SHIFT]R[SHIFT]G[A]R[A]", "X{SHIFT}X{SHIFT}A"},
        {"D016D065U016D066", "G[SHIFT]G[A]R[SHIFT]G[B]R[A]R[B]", "X{SHIFT}XAB"},
        // The held list is text: "UD17" takes "DD17" out of "DD17D017" and leaves Ctrl down.
        {"DD17D017UD17D065", "G[000]G[CONTRAL]R[000]G[A]R[CONTRAL]R[A]", "Y{CONTRAL}YA"},
        // Once "D065" has gone, "D0D1" no longer holds "D1D0": nothing to release.
        {"D0D1D065U065U1D0", "G[000]G[A]R[A]R[LBUTTON]R[000]", "A"},
    };
    // clang-format on
    for (const auto& [sequence, labels, sendKeys] : cases) {
        const QString text = QString::fromLatin1(sequence);
        const RenderedKeys r = renderKeySequence(text);
        EXPECT_EQ(std::tuple(r.fault.has_value(), coloured(r), keySequenceToSendKeys(text)),
                  std::tuple(false, QString::fromLatin1(labels), QString::fromLatin1(sendKeys)))
            << sequence;
    }
}

// A negative code stops the rendering with error 9 (the box it leaves is the
// profile commands' to check, the report the key stages'), but up tokens never
// look up a name when sending.
TEST(KeySequence, UpTokensAreSentWithoutANameAndTooManyLabelsAreCut)
{
    EXPECT_TRUE(renderKeySequence(u"U-12D065").fault.has_value());
    EXPECT_EQ(keySequenceToSendKeys(u"U-12D065"), QStringLiteral("A"));
    // A box shows no more than so many labels; a longer sequence is cut.
    const RenderedKeys many = renderKeySequence(QStringLiteral("D065").repeated(kMaxShownLabels));
    EXPECT_EQ(std::pair(many.spans.size(), many.cut), std::pair(kMaxShownLabels, true));
}

TEST(MappedKeys, EachAxisFiresItsDirectionsMappingPastTheJitterAndTurnAndLookLeaveThePointer)
{
    Profile p;
    p.jitter = 3;
    // The values, which mappings are set ("TL TR LU LD LL LR", "-" for empty),
    // then the cycle's sequence and the left-right and up-down values after it.
    // clang-format off
    const struct { MovementValues in; const char* set; const char* sequence; double lr, ud; } rows[] = {
        {{-5, 7, -9}, "TL TR LU LD LL LR", "TLLDLL", 0, 0},
        {{3.5, -3.01, 4}, "TL TR LU LD LL LR", "TRLULR", 0, 0},
        {{-3, 3, 3}, "TL TR LU LD LL LR", "", 0, 0}, // at the threshold: nothing, but taken
        {{-5, 0, -9}, "- TR LU LD - LR", "", -5, 0},
        {{0.5, 0.5, 0}, "TL - - LD LL LR", "", 0.5, 0}, // a small turn right, unmapped, stays
    };
    // clang-format on
    for (const auto& row : rows) {
        const QStringList set = QString::fromLatin1(row.set).split(u' ');
        for (int i = 0; i < 6; ++i)
            p.*kMappingFields[i] = set[i] == u"-" ? QString() : set[i];
        MovementValues v = row.in;
        EXPECT_EQ(buildCycleKeySequence(v, p), QString::fromLatin1(row.sequence)) << row.set;
        EXPECT_EQ(std::tuple(v.leftRight, v.upDown, v.sideSide), std::tuple(row.lr, row.ud, row.in.sideSide))
            << row.set;
    }
}

TEST(SendKeys, TypesAcceptedTexts)
{
    // clang-format off
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"", u""},
        {u"a[]\\;'`é😀", u"type a, type [, type ], type \\, type ;, type ', type `, type é, type 😀"},
        {u"%+^%x", u"down 164, down 160, down 162, type x, up 162, up 160, up 164"},
        {u"+ab~", u"down 160, type a, up 160, type b, down 13, up 13"},
        {u"^~+{TAB 2}", u"down 162, down 13, up 13, up 162, down 160, down 9, up 9, down 9, up 9, up 160"},
        {u"^(+(a)%b)()c", u"down 162, down 160, type a, up 160, down 164, type b, up 164, up 162, type c"},
        {u"{left 2}{Pad+}{pad.}", u"down 37, up 37, down 37, up 37, down 107, up 107, down 110, up 110"},
        {u"{}}{{}{+ 2}{( 0}{  1}{😀 02}", u"type }, type {, type +, type +, type  , type 😀, type 😀"},
        {u"(+{~})%{LEFT 0}", u"down 160, type ~, up 160, down 164, up 164"},
    };
    // clang-format on
    for (const auto& [text, strokes] : cases)
        EXPECT_EQ(described(text), QString::fromUtf16(strokes)) << QString::fromUtf16(text).toStdString();
    EXPECT_EQ(parseSendKeys(u"+{a 9}{a 65525}").size(), kMaxSendKeysStrokes);
}

TEST(SendKeys, RefusesBadTexts)
{
    // clang-format off
    const char16_t* const cases[] = {
        u"+", u"a^", u"%)", u"(+^)", u"(", u"a)", u"(()", u")(",                           // modifiers, groups
        u"{", u"}", u"{}", u"{a", u"a}", u"{a}}", u"+}",                                   // braces
        u"{ab}", u"{NOPE}", u"{F17}", u"{ſhift}",                                          // names
        u"{LEFT  3}", u"{LEFT -1}", u"{LEFT +1}", u"{LEFT }", u"{LEFT 3x}", u"{LEFT ３}",   // counts
        u"{a 65537}", u"{LEFT 32769}", u"+{a 65535}", u"{a 99999999999999999999}",         // stroke limit
        u"\xD800", u"a\xDC00", u"{\xD83D 2}",                                              // lone surrogates
    };
    // clang-format on
    for (const char16_t* text : cases)
        EXPECT_EQ(corvane::test::faultOf([&] { (void)parseSendKeys(text); }), kFaultInvalidCall)
            << QString::fromUtf16(text).toStdString();
}

TEST(SendKeys, ReadsEveryKeyNameAndSequence)
{
    // Whatever a key sequence is written as reads back; every name presses its
    // own code, in any case.
    std::vector<std::pair<QString, int>> names = {
        {"BACKSPACE", 8},    {"bs", 8},    {"BKSP", 8},       {"BREAK", 3},      {"DEL", 46},
        {"ENTER", 13},       {"INS", 45},  {"PGDN", 34},      {"PGUP", 33},      {"PRTSC", 44},
        {"ScrollLock", 145}, {"ADD", 107}, {"SUBTRACT", 109}, {"MULTIPLY", 106}, {"DIVIDE", 111}};
    for (int code = 0; code <= 255; ++code) {
        const QString sequence = QStringLiteral("D%1").arg(code, 3, 10, QChar(u'0'));
        EXPECT_NO_THROW((void)parseSendKeys(keySequenceToSendKeys(sequence))) << code;
        if (const QString& name = keyNameTable()[static_cast<std::size_t>(code)]; name.size() > 1)
            names.emplace_back(name.toLower(), code);
    }
    for (const auto& [name, code] : names)
        EXPECT_EQ(described(u'{' + name + u'}'), QStringLiteral("down %1, up %1").arg(code)) << name.toStdString();
}
