#include "platform/LoopWatch.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include <glib.h>
#include <poll.h>

#include <vector>

namespace corvane::platform {

namespace {

// The descriptors and events of the main loop's last poll. Only the main
// thread polls the default context, so only it touches them.
struct Polled {
    std::vector<pollfd> fds;
    bool known = false;
    GPollFunc chained = nullptr;
};

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

bool LoopWatch::ready() const
{
    std::vector<pollfd>& fds = polled().fds;
    return ::poll(fds.data(), static_cast<nfds_t>(fds.size()), 0) != 0;
}

} // namespace corvane::platform
