// Arbitrary bytes, read as Latin-1 and as UTF-8, as send-keys text. The text
// is either refused with the invalid-call fault or gives at most the stroke
// limit of strokes whose key downs and ups pair up, nesting properly, with
// nothing left down at the end. A text without the syntax's special signs
// types its characters as they are.
#include "core/Fault.h"
#include "keyboard/SendKeys.h"

#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void exercise(const QString& text)
{
    using namespace corvane;
    using Kind = SendKeysStroke::Kind;

    QList<SendKeysStroke> strokes;
    try {
        strokes = parseSendKeys(text);
    } catch (const Fault& f) {
        check(f.number == kFaultInvalidCall);
        return;
    }
    check(strokes.size() <= kMaxSendKeysStrokes);
    QList<int> down;
    for (const SendKeysStroke& s : strokes) {
        if (s.kind == Kind::KeyDown)
            down.append(s.virtualKey);
        else if (s.kind == Kind::KeyUp)
            check(!down.isEmpty() && down.takeLast() == s.virtualKey);
    }
    check(down.isEmpty());

    static const QString kSpecial = QStringLiteral("+^%~(){}");
    for (QChar c : text)
        if (kSpecial.contains(c))
            return;
    const QList<uint> characters = text.toUcs4();
    check(strokes.size() == characters.size());
    for (qsizetype i = 0; i < strokes.size(); ++i)
        check(strokes[i].kind == Kind::Character && strokes[i].character == characters[i]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto* bytes = reinterpret_cast<const char*>(data);
    const auto length = static_cast<qsizetype>(size);
    exercise(QString::fromLatin1(bytes, length));
    exercise(QString::fromUtf8(bytes, length));
    return 0;
}
