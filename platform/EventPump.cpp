#include "platform/EventPump.h"

#include "core/Fault.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>

namespace corvane {

void EventPump::checkEnded() const
{
    if (process_.ended())
        throw ProgramEnded{0};
}

void EventPump::process()
{
    checkEnded();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // Outside QCoreApplication::exec deferred deletions are not run by
    // processEvents; run them here so deleteLater works as usual.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    checkEnded();
}

void EventPump::waitAndProcess()
{
    checkEnded();
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    checkEnded();
}

} // namespace corvane
