#include "ui/ShowError.h"

namespace corvane {

void showError(AppContext& app, const Fault& fault)
{
    app.platform.dialogs->message(errorReportText(fault), QStringLiteral("Corvane"), platform::Buttons::Ok);
}

} // namespace corvane
