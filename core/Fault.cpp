#include "core/Fault.h"

#include <exception>
#include <new>

namespace corvane {

Fault invalidCallFault() { return {kFaultInvalidCall, QStringLiteral("Invalid procedure call or argument")}; }
Fault overflowFault() { return {kFaultOverflow, QStringLiteral("Overflow")}; }
Fault subscriptFault() { return {kFaultSubscript, QStringLiteral("Subscript out of range")}; }
Fault typeMismatchFault() { return {kFaultTypeMismatch, QStringLiteral("Type mismatch")}; }

Fault currentFault()
{
    try {
        throw;
    } catch (const Fault& f) {
        return f;
    } catch (const std::bad_alloc&) {
        return {kFaultOutOfMemory, QStringLiteral("Out of memory")};
    } catch (const std::exception& e) {
        return {kFaultUnexpected, QString::fromLocal8Bit(e.what())};
    } catch (...) {
        return {kFaultUnexpected, QStringLiteral("Unexpected internal failure")};
    }
}

QString faultReason(const Fault& fault)
{
    return fault.description.isEmpty() ? QStringLiteral("fault %1").arg(fault.number) : fault.description;
}

QString errorReportText(const Fault& fault)
{
    return QStringLiteral("Corvane has encountered the following error:\r\n\r\n") + QString::number(fault.number)
         + QStringLiteral(" : ") + fault.description;
}

} // namespace corvane
