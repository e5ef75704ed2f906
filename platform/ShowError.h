#pragma once
// The common error report, and the handlers' way of ending on a fault.
#include "core/Fault.h"
#include "platform/Platform.h"

#include <utility>

namespace corvane {

// The common error report: a modal box with OK, no icon, titled "Corvane".
void showError(platform::Platform& platform, const Fault& fault);

// Runs a handler's body and reports any fault it raises; the handler then ends,
// keeping what it changed before the fault. The end of the program passes through.
template <class Body>
bool trapFaults(platform::Platform& platform, Body&& body)
{
    try {
        std::forward<Body>(body)();
        return true;
    } catch (const ProgramEnded&) {
        throw;
    } catch (...) {
        showError(platform, currentFault());
        return false;
    }
}

} // namespace corvane
