#pragma once
// Run-time faults: every handler and routine traps them and reports them
// through the common error report (number and description).
#include <QString>

namespace corvane {

struct Fault {
    int number = 0;
    QString description;
};

// Fault numbers used across the program.
inline constexpr int kFaultInvalidCall = 5;
inline constexpr int kFaultOverflow = 6;
inline constexpr int kFaultOutOfMemory = 7;
inline constexpr int kFaultSubscript = 9;
inline constexpr int kFaultTypeMismatch = 13;
inline constexpr int kFaultFileAccess = 75;
inline constexpr int kFaultInvalidValue = 380;
inline constexpr int kFaultUnexpected = 51;

Fault invalidCallFault();
Fault overflowFault();
Fault subscriptFault();
Fault typeMismatchFault();

// The fault of the exception being handled: a thrown Fault as it is,
// std::bad_alloc as out of memory, anything else as an unexpected fault.
// Call only inside a catch block.
Fault currentFault();

// Why a step that was passed over failed, in a line of its own: the fault's
// description, or its number when it has none ("fault 8002").
QString faultReason(const Fault& fault);

// The text of the common error report:
// "Corvane has encountered the following error:" CRLF CRLF number " : " description.
QString errorReportText(const Fault& fault);

} // namespace corvane

namespace corvane {

// Thrown by the main loop's event-processing point once the program has been
// ended (the main window was closed): it unwinds the engine to its entry routine.
// Never caught by the handlers' fault traps.
struct ProgramEnded {
    int status = 0;
};

} // namespace corvane
