#include "core/Fault.h"
#include "keyboard/KeyNames.h"
#include "keyboard/KeySequence.h"
#include "keyboard/MappedKeys.h"

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

} // namespace

TEST(KeyNames, LabelsByCode)
{
    const std::pair<qint64, const char*> cases[] = {
        {14, "[CAPITOL]"}, {15, "[KANA]"},   {17, "[CONTRAL]"}, {20, "[CAPSLOCK]"}, {21, "[021]"},
        {0, "[000]"},      {57, "[9]"},      {90, "[Z]"},       {105, "[PAD9]"},    {112, "[F1]"},
        {127, "[F16]"},    {128, "[128]"},   {187, "[=]"},      {192, "[`]"},       {220, "[\\]"},
        {222, "[']"},      {300, "[300]"},   {1300, "[300]"},  {93, "[APPS]"},     {94, "[094]"},
        {48, "[0]"},       {96, "[PAD0]"},   {65, "[A]"},      {160, "[LSHIFT]"},  {165, "[RALT]"},
    };
    for (const auto& [code, label] : cases)
        EXPECT_EQ(keyLabel(code), QString::fromLatin1(label)) << code;
    EXPECT_THROW(keyLabel(-1), Fault);
}

TEST(KeySequence, ReadsTokens)
{
    const std::tuple<const char*, bool, qint64> cases[] = {
        {"U083", false, 83}, {"d162", false, 162}, {"D2.5", true, 2},  {"D3.5", true, 4},
        {"D-12", true, -12}, {"Dabc", true, 0},    {"D 12", true, 12}, {"D&HF", true, 15},
    };
    for (const auto& [text, down, code] : cases) {
        const KeyToken t = readKeyToken(QString::fromLatin1(text));
        EXPECT_EQ(std::pair(t.down, t.code), std::pair(down, code)) << text;
    }
}

TEST(KeySequence, RendersAndConvertsToSendKeys)
{
    // Sequence, rendered labels, send-keys text.
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
    for (const auto& [sequence, labels, sendKeys] : cases) {
        const QString text = QString::fromLatin1(sequence);
        const RenderedKeys r = renderKeySequence(text);
        EXPECT_EQ(std::tuple(r.fault.has_value(), coloured(r), keySequenceToSendKeys(text)),
                  std::tuple(false, QString::fromLatin1(labels), QString::fromLatin1(sendKeys))) << sequence;
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
    const struct { MovementValues in; const char* set; const char* sequence; double lr, ud; } rows[] = {
        {{-5, 7, -9}, "TL TR LU LD LL LR", "TLLDLL", 0, 0},
        {{3.5, -3.01, 4}, "TL TR LU LD LL LR", "TRLULR", 0, 0},
        {{-3, 3, 3}, "TL TR LU LD LL LR", "", 0, 0}, // at the threshold: nothing, but taken
        {{-5, 0, -9}, "- TR LU LD - LR", "", -5, 0},
        {{0.5, 0.5, 0}, "TL - - LD LL LR", "", 0.5, 0}, // a small turn right, unmapped, stays
    };
    for (const auto& row : rows) {
        const QStringList set = QString::fromLatin1(row.set).split(u' ');
        for (int i = 0; i < 6; ++i)
            p.*kMappingFields[i] = set[i] == u"-" ? QString() : set[i];
        MovementValues v = row.in;
        EXPECT_EQ(buildCycleKeySequence(v, p), QString::fromLatin1(row.sequence)) << row.set;
        EXPECT_EQ(std::tuple(v.leftRight, v.upDown, v.sideSide), std::tuple(row.lr, row.ud, row.in.sideSide)) << row.set;
    }
}
