// Arbitrary bytes, read as Latin-1 and as UTF-8, as send-keys text. It is
// either refused with the invalid-call fault or gives at most the stroke limit
// of strokes whose key downs and ups pair up, nesting properly, with nothing
// left down at the end. Any other fault, a crash or a hang is a failure.
#include "core/Fault.h"
#include "fuzz/Require.h"
#include "fuzz/TextFuzzTarget.h"
#include "keyboard/SendKeys.h"

void exerciseText(const QString& text)
{
    using namespace corvane;
    QList<int> down;
    bool ok = true;
    try {
        const QList<SendKeysStroke> strokes = parseSendKeys(text);
        ok = strokes.size() <= kMaxSendKeysStrokes;
        for (const SendKeysStroke& s : strokes) {
            if (s.kind == SendKeysStroke::Kind::KeyDown)
                down.append(s.virtualKey);
            else if (s.kind == SendKeysStroke::Kind::KeyUp)
                ok = ok && !down.isEmpty() && down.takeLast() == s.virtualKey;
        }
    } catch (const Fault& f) {
        ok = f.number == kFaultInvalidCall;
    }
    require(ok && down.isEmpty());
}
