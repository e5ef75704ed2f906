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

bool EventPump::pending()
{
    if (!watch_.known())
        return true;
    if (scanPoints_ >= 0 && scanPoints_++ % kLookEvery != 0)
        return false;
    return watch_.timerDue() || watch_.ready();
}

void EventPump::run(bool wait)
{
    QCoreApplication::processEvents(wait ? QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents
                                         : QEventLoop::AllEvents);
    // Outside QCoreApplication::exec deferred deletions are not run by
    // processEvents; run them here so deleteLater works as usual.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void EventPump::process()
{
    checkEnded();
    if (!pending())
        return;
    run(false);
    checkEnded();
}

void EventPump::waitAndProcess()
{
    checkEnded();
    run(true);
    checkEnded();
}

} // namespace corvane
