#include "platform/LinuxProcess.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

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

void LinuxProcess::endProgram(int status)
{
    std::fflush(nullptr);
    std::_Exit(status);
}

} // namespace corvane::platform
