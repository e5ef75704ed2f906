// Arbitrary bytes, read as Latin-1 and as UTF-8, through the number reader and
// the key sequence routines that share it. Faults are expected results; a
// crash, a hang or a broken invariant is not.
#include "core/Fault.h"
#include "core/Numbers.h"
#include "keyboard/KeySequence.h"

#include <QString>

#include <cmath>
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

    const double value = numberFromText(text);
    check(!std::isnan(value));

    try {
        // A text the strict reader accepts reads the same leniently.
        check(strictToInt16(text) == roundHalfEven(value));
    } catch (const Fault& f) {
        check(f.number == kFaultTypeMismatch || f.number == kFaultOverflow);
    }

    const RenderedKeys rendered = renderKeySequence(text);
    check(!rendered.fault || rendered.fault->number == kFaultSubscript);

    try {
        (void)keySequenceToSendKeys(text);
    } catch (const Fault& f) {
        check(f.number == kFaultSubscript);
    }
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
