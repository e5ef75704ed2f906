// Arbitrary bytes, read as Latin-1 and as UTF-8, through the number reader and
// the key sequence routines that share it. Faults are expected results; a
// crash, a hang or a broken invariant is not.
#include "core/Fault.h"
#include "core/Numbers.h"
#include "fuzz/TextFuzzTarget.h"
#include "keyboard/KeySequence.h"

#include <cmath>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

void exerciseText(const QString& text)
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
