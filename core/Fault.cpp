#include "core/Fault.h"

#include <QCoreApplication>
#include <exception>
#include <new>

namespace corvane {

namespace {

// The texts of this file, translated in the context "corvane::Fault".
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(corvane::Fault)
};

} // namespace

Fault invalidCallFault() { return {kFaultInvalidCall, Texts::tr("Invalid procedure call or argument")}; }
Fault overflowFault() { return {kFaultOverflow, Texts::tr("Overflow")}; }
Fault subscriptFault() { return {kFaultSubscript, Texts::tr("Subscript out of range")}; }
Fault typeMismatchFault() { return {kFaultTypeMismatch, Texts::tr("Type mismatch")}; }

Fault currentFault()
{
    try {
        throw;
    } catch (const Fault& f) {
        return f;
    } catch (const std::bad_alloc&) {
        return {kFaultOutOfMemory, Texts::tr("Out of memory")};
    } catch (const std::exception& e) {
        return {kFaultUnexpected, QString::fromLocal8Bit(e.what())};
    } catch (...) {
        return {kFaultUnexpected, Texts::tr("Unexpected internal failure")};
    }
}

QString faultReason(const Fault& fault)
{
    return fault.description.isEmpty() ? Texts::tr("fault %1").arg(fault.number) : fault.description;
}

QString errorReportText(const Fault& fault)
{
    return Texts::tr("Corvane has encountered the following error:") + QStringLiteral("\r\n\r\n")
         + QString::number(fault.number) + QStringLiteral(" : ") + fault.description;
}

} // namespace corvane
