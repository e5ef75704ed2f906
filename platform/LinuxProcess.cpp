#include "platform/LinuxProcess.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QString>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <utility>

namespace corvane::platform {

void LinuxProcess::raisePriority()
{
    // The highest priority the user may take: a lower nice value for the process
    // (needs privilege beyond 0) and the top of the thread's scheduling range.
    // Refusals leave the defaults in place.
    (void)setpriority(PRIO_PROCESS, 0, -10);
    sched_param param{};
    int policy = SCHED_OTHER;
    if (pthread_getschedparam(pthread_self(), &policy, &param) == 0) {
        param.sched_priority = sched_get_priority_max(policy);
        (void)pthread_setschedparam(pthread_self(), policy, &param);
    }
}

bool LinuxProcess::haveFreeFileHandle()
{
    const int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno != EMFILE && errno != ENFILE;
    ::close(fd);
    return true;
}

namespace {

// The signal handler only writes a byte into this pipe; the notifier on its
// other end runs the handler in the event loop.
int endRequestPipe[2] = {-1, -1};

void onEndSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(endRequestPipe[1], &byte, 1);
}

} // namespace

void LinuxProcess::whenAskedToEnd(std::function<void()> handler)
{
    if (endRequestPipe[0] < 0 && ::pipe2(endRequestPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier = new QSocketNotifier(endRequestPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [handler = std::move(handler)] {
        char bytes[16];
        while (::read(endRequestPipe[0], bytes, sizeof bytes) > 0) {
        }
        handler();
    });
    struct sigaction action {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

namespace {

// What runs when exit() is called while the engine runs; set and cleared by
// whenEndedAbruptly.
std::function<void()> abruptEnd;

// Why the program ends, when the window system's library said so before it
// ends the program; empty otherwise.
QString lostDisplay;

void onExit()
{
    // Only on the thread that owns the windows and the port; another thread's
    // exit leaves them as they are.
    if (!qApp || QThread::currentThread() != qApp->thread())
        return;
    // Taken out first: whatever the handler does, it runs once.
    const std::function<void()> handler = std::exchange(abruptEnd, nullptr);
    if (!handler)
        return;
    // The display's socket may be closed at the other end by now: a write to
    // it must fail with an error rather than end the program by a signal.
    std::signal(SIGPIPE, SIG_IGN);
    handler();
}

// Qt's Wayland client ends the program with _exit() when the connection to
// the compositor breaks, which runs no exit handler; the warning it gives
// just before is the last chance to end as after exit().
QtMessageHandler nextHandler = nullptr;

void onMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (nextHandler)
        nextHandler(type, context, text);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
    if (type != QtWarningMsg || !text.startsWith(QLatin1String("The Wayland connection")) || !qApp)
        return;
    lostDisplay = QStringLiteral("The connection to the Wayland display %1 broke: the compositor ended, or the link "
                                 "to it failed")
                      .arg(qEnvironmentVariable("WAYLAND_DISPLAY"));
    if (QThread::currentThread() == qApp->thread()) {
        onExit();
        return;
    }
    // Qt's thread that reads the display found it: the end runs on the
    // thread of the windows and the port at its next event-processing point,
    // and ends the program there. Should that not come within two seconds,
    // Qt ends the program as it would have.
    QMetaObject::invokeMethod(qApp, &onExit, Qt::QueuedConnection);
    std::this_thread::sleep_for(std::chrono::seconds(2));
}

} // namespace

void LinuxProcess::whenEndedAbruptly(std::function<void(const QString& why)> handler)
{
    if (!handler) {
        abruptEnd = nullptr;
        return;
    }
    // Registered at the first arming, late in the start-up, so that it runs
    // before the exit handlers of what was set up before it: they go in the
    // reverse order of their registration.
    static const bool registered = std::atexit(onExit) == 0;
    if (!registered)
        return;
    static const bool watching = [] {
        nextHandler = qInstallMessageHandler(onMessage);
        return true;
    }();
    (void)watching;
    abruptEnd = [this, handler = std::move(handler)] {
        const QString display = qEnvironmentVariable("DISPLAY");
        handler(!lostDisplay.isEmpty() ? lostDisplay
                : displayLost_ && displayLost_()
                    ? QStringLiteral("The connection to the X display %1 broke: the X server ended, or the link "
                                     "to it failed")
                          .arg(display.isEmpty() ? QStringLiteral("(unnamed)") : display)
                    : QStringLiteral("A library that Corvane uses ended the program"));
        endProgram(1);
    };
}

void LinuxProcess::endProgram(int status)
{
    if (beforeEnd_)
        std::exchange(beforeEnd_, nullptr)();
    std::fflush(nullptr);
    std::_Exit(status);
}

} // namespace corvane::platform
