#pragma once
// Waits until what was written to a serial device has left the wire, so that
// closing it (which restores the line settings it had before) cannot cut the
// last bytes short.
#include <QtGlobal>

namespace corvane::platform {

void drainOutput(qintptr handle);

} // namespace corvane::platform
