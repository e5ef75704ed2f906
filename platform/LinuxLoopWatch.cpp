#include "platform/LoopWatch.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include <glib.h>
#include <poll.h>
#include <time.h>

#include <vector>

namespace corvane::platform {

namespace {

// The descriptors and events of the main loop's last poll. Only the main
// thread polls the default context, so only it touches them.
struct Polled {
    std::vector<pollfd> fds;
    bool known = false;
    qint64 timerDueNs = -1; // when the next timer is due; -1 for none
    qint64 polledAtNs = 0;  // when the loop last polled
    GPollFunc chained = nullptr;
};

qint64 monotonicNs()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

Polled& polled()
{
    static Polled state;
    return state;
}

gint recordAndPoll(GPollFD* fds, guint count, gint timeout)
{
    Polled& state = polled();
    state.fds.resize(count);
    for (guint i = 0; i < count; ++i)
        state.fds[i] = {fds[i].fd, static_cast<short>(fds[i].events), 0};
    state.known = true;
    // The loop has just prepared its sources: its own timeout until the next
    // timer (the one it polls with is 0 when it is not to wait).
    gint untilTimer = -1;
    g_main_context_query(g_main_context_default(), G_MAXINT, &untilTimer, nullptr, 0);
    state.polledAtNs = monotonicNs();
    state.timerDueNs = untilTimer < 0 ? -1 : state.polledAtNs + qint64(untilTimer) * 1'000'000;
    return state.chained(fds, count, timeout);
}

// Qt's main thread runs glib's default context when Qt is built with glib
// (the usual case on Linux); its poll function can be chained.
bool watchDefaultContext()
{
    static const bool watching = [] {
        const QAbstractEventDispatcher* dispatcher = QCoreApplication::eventDispatcher();
        if (dispatcher == nullptr || !dispatcher->inherits("QEventDispatcherGlib"))
            return false;
        GMainContext* context = g_main_context_default();
        polled().chained = g_main_context_get_poll_func(context);
        if (polled().chained == nullptr)
            return false;
        g_main_context_set_poll_func(context, recordAndPoll);
        return true;
    }();
    return watching;
}

} // namespace

LoopWatch::LoopWatch() { watchDefaultContext(); }

bool LoopWatch::known() const { return polled().known; }

bool LoopWatch::timerDue() const
{
    const Polled& state = polled();
    const qint64 now = monotonicNs();
    return (state.timerDueNs >= 0 && now >= state.timerDueNs) || now - state.polledAtNs >= kQuietNs;
}

bool LoopWatch::ready() const
{
    std::vector<pollfd>& fds = polled().fds;
    return ::poll(fds.data(), static_cast<nfds_t>(fds.size()), 0) != 0;
}

} // namespace corvane::platform
