// Arbitrary bytes, read as Latin-1 and as UTF-8, through the number reader and
// the key sequence routines that share it. Faults are expected results; a
// crash, a hang or a broken invariant is not.
#include "core/Fault.h"
#include "core/Numbers.h"
#include "fuzz/Require.h"
#include "fuzz/TextFuzzTarget.h"
#include "keyboard/KeySequence.h"

#include <cmath>

void exerciseText(const QString& text)
{
    using namespace corvane;

    const double value = numberFromText(text);
    require(!std::isnan(value));

    try {
        // A text the strict reader accepts reads the same leniently.
        require(strictToInt16(text) == roundHalfEven(value));
    } catch (const Fault& f) {
        require(f.number == kFaultTypeMismatch || f.number == kFaultOverflow);
    }

    const RenderedKeys rendered = renderKeySequence(text);
    require(!rendered.fault || rendered.fault->number == kFaultSubscript);

    try {
        (void)keySequenceToSendKeys(text);
    } catch (const Fault& f) {
        require(f.number == kFaultSubscript);
    }
}
