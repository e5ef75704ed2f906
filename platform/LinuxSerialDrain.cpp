#include "platform/SerialDrain.h"

#include <termios.h>

namespace corvane::platform {

void drainOutput(qintptr handle)
{
    if (handle >= 0)
        (void)::tcdrain(static_cast<int>(handle));
}

} // namespace corvane::platform
