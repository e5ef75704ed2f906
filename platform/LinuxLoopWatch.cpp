#include "platform/LoopWatch.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include <glib.h>
#include <poll.h>
#include <sys/epoll.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <vector>

namespace corvane::platform {

namespace {

// The descriptors and events of the main loop's last poll. Only the main
// thread polls the default context, so only it touches them.
//
// They are looked at through an epoll set, which answers in one step
// however many descriptors it holds. The set is brought up to date at the
// first look after each pass of the loop: a descriptor the loop no longer
// polls leaves it, and each one it polls is added again. A descriptor the
// loop closed has left the set by itself, and adding one that is still in it
// only says so, so a number closed and opened again since is in it too.
struct Polled {
    std::vector<pollfd> fds;
    bool known = false;
    bool setStale = true;
    int set = -1; // the epoll set, or -1
    std::map<int, uint32_t> inSet; // what the set was last asked to hold
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
    state.setStale = true;
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

namespace {

// Brings the epoll set up to the loop's descriptors. Where one of them
// cannot be in a set, there is none until the loop's next pass, and the
// descriptors are polled as they are.
void updateSet(Polled& state)
{
    state.setStale = false;
    // Two sources may poll one descriptor, each for its own events.
    std::map<int, uint32_t> wanted;
    for (const pollfd& fd : state.fds)
        if (fd.fd >= 0)
            wanted[fd.fd] |= (fd.events & POLLIN ? EPOLLIN : 0u) | (fd.events & POLLOUT ? EPOLLOUT : 0u)
                           | (fd.events & POLLPRI ? EPOLLPRI : 0u);
    if (state.set < 0) {
        state.set = ::epoll_create1(EPOLL_CLOEXEC);
        state.inSet.clear();
        if (state.set < 0)
            return;
    }
    for (const auto& [fd, events] : state.inSet)
        if (!wanted.contains(fd))
            ::epoll_ctl(state.set, EPOLL_CTL_DEL, fd, nullptr); // gone already if it was closed
    for (const auto& [fd, events] : wanted) {
        epoll_event event{};
        event.events = events;
        event.data.fd = fd;
        if (::epoll_ctl(state.set, EPOLL_CTL_ADD, fd, &event) == 0)
            continue;
        // Still in the set: with other events, they are changed.
        const auto had = state.inSet.find(fd);
        if (errno != EEXIST
            || (had != state.inSet.end() && had->second != events
                && ::epoll_ctl(state.set, EPOLL_CTL_MOD, fd, &event) != 0)) {
            ::close(state.set);
            state.set = -1;
            return;
        }
    }
    state.inSet = std::move(wanted);
}

} // namespace

bool LoopWatch::ready() const
{
    Polled& state = polled();
    if (state.setStale)
        updateSet(state);
    if (state.set < 0)
        return ::poll(state.fds.data(), static_cast<nfds_t>(state.fds.size()), 0) != 0;
    epoll_event event{};
    return ::epoll_wait(state.set, &event, 1, 0) != 0;
}

} // namespace corvane::platform
