#include "platform/ShowError.h"

namespace corvane {

void showError(platform::Platform& platform, const Fault& fault)
{
    platform.dialogs->message(errorReportText(fault), QStringLiteral("Corvane"), platform::Buttons::Ok);
}

} // namespace corvane
