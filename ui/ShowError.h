#pragma once
#include "core/Fault.h"
#include "ui/AppContext.h"

#include <utility>

namespace corvane {

// The common error report: a modal box with OK, no icon, titled "Corvane".
void showError(AppContext& app, const Fault& fault);

// Runs a handler's body and reports any fault it raises; the handler then ends,
// keeping what it changed before the fault. The end of the program passes through.
template <class Body>
bool trapFaults(AppContext& app, Body&& body)
{
    try {
        std::forward<Body>(body)();
        return true;
    } catch (const ProgramEnded&) {
        throw;
    } catch (...) {
        showError(app, currentFault());
        return false;
    }
}

} // namespace corvane
