#include "core/Fault.h"
#include "keyboard/KeyNames.h"
#include "keyboard/KeySequence.h"
#include "keyboard/SendKeys.h"

#include <gtest/gtest.h>

#include "tests/support/TestData.h"

using namespace corvane;

namespace {

QString described(QStringView text) { return describeStrokes(parseSendKeys(text)); }

} // namespace

TEST(SendKeys, TypesAcceptedTexts)
{
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
    for (const auto& [text, strokes] : cases)
        EXPECT_EQ(described(text), QString::fromUtf16(strokes)) << QString::fromUtf16(text).toStdString();
    EXPECT_EQ(parseSendKeys(u"+{a 9}{a 65525}").size(), kMaxSendKeysStrokes);
}

TEST(SendKeys, RefusesBadTexts)
{
    const char16_t* const cases[] = {
        u"+", u"a^", u"%)", u"(+^)", u"(", u"a)", u"(()", u")(",                           // modifiers, groups
        u"{", u"}", u"{}", u"{a", u"a}", u"{a}}", u"+}",                                   // braces
        u"{ab}", u"{NOPE}", u"{F17}", u"{ſhift}",                                          // names
        u"{LEFT  3}", u"{LEFT -1}", u"{LEFT +1}", u"{LEFT }", u"{LEFT 3x}", u"{LEFT ３}",   // counts
        u"{a 65537}", u"{LEFT 32769}", u"+{a 65535}", u"{a 99999999999999999999}",         // stroke limit
        u"\xD800", u"a\xDC00", u"{\xD83D 2}",                                              // lone surrogates
    };
    for (const char16_t* text : cases)
        EXPECT_EQ(corvane::test::faultOf([&] { (void)parseSendKeys(text); }), kFaultInvalidCall)
            << QString::fromUtf16(text).toStdString();
}

TEST(SendKeys, ReadsEveryKeyNameAndSequence)
{
    // Whatever a key sequence is written as reads back; every name presses its
    // own code, in any case.
    std::vector<std::pair<QString, int>> names = {
        {"BACKSPACE", 8}, {"bs", 8}, {"BKSP", 8}, {"BREAK", 3}, {"DEL", 46}, {"ENTER", 13}, {"INS", 45}, {"PGDN", 34},
        {"PGUP", 33}, {"PRTSC", 44}, {"ScrollLock", 145}, {"ADD", 107}, {"SUBTRACT", 109}, {"MULTIPLY", 106},
        {"DIVIDE", 111}};
    for (int code = 0; code <= 255; ++code) {
        const QString sequence = QStringLiteral("D%1").arg(code, 3, 10, QChar(u'0'));
        EXPECT_NO_THROW((void)parseSendKeys(keySequenceToSendKeys(sequence))) << code;
        if (const QString& name = keyNameTable()[static_cast<std::size_t>(code)]; name.size() > 1)
            names.emplace_back(name.toLower(), code);
    }
    for (const auto& [name, code] : names)
        EXPECT_EQ(described(u'{' + name + u'}'), QStringLiteral("down %1, up %1").arg(code)) << name.toStdString();
}
