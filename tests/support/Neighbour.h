#pragma once
// Another local user, for the tests that check what a hostile neighbour on the
// same machine can do. A test run as root forks a child that gives up root for
// an unprivileged user and group of its own (kNeighbourId, in no group and
// named nowhere), runs the attack there, and tells the parent when its trap is
// set. Without root no such user can be made, and those tests are skipped.
#include <gtest/gtest.h>

#include <functional>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace corvane::test {

inline constexpr uid_t kNeighbourId = 64123;

inline bool canBecomeNeighbour() { return ::geteuid() == 0; }

#define SKIP_WITHOUT_NEIGHBOUR()                                                                                       \
    if (!corvane::test::canBecomeNeighbour())                                                                          \
    GTEST_SKIP() << "only root can act as another user"

class Neighbour {
public:
    // Runs `body` in a child process as the neighbour. `body` calls ready()
    // once its trap is set (or returns, which counts as ready), and returns
    // the child's exit status. The constructor returns when it is ready.
    explicit Neighbour(const std::function<int(Neighbour&)>& body)
    {
        int pipe[2];
        if (::pipe2(pipe, O_CLOEXEC) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(pipe[0]);
            readyFd_ = pipe[1];
            const gid_t group = kNeighbourId;
            if (::setgroups(0, nullptr) != 0 || ::setresgid(group, group, group) != 0
                || ::setresuid(kNeighbourId, kNeighbourId, kNeighbourId) != 0)
                ::_exit(120);
            ::_exit(body(*this));
        }
        ::close(pipe[1]);
        char byte;
        while (pid_ > 0 && ::read(pipe[0], &byte, 1) < 0 && errno == EINTR) {
        }
        ::close(pipe[0]);
    }
    ~Neighbour()
    {
        if (pid_ > 0 && status_ < 0) {
            ::kill(pid_, SIGKILL);
            wait();
        }
    }
    Neighbour(const Neighbour&) = delete;
    Neighbour& operator=(const Neighbour&) = delete;

    // In the child: the trap is set.
    void ready()
    {
        if (readyFd_ >= 0) {
            (void)!::write(readyFd_, "r", 1);
            ::close(readyFd_);
            readyFd_ = -1;
        }
    }
    // In the parent: the child's exit status once it has ended; 255 when a signal ended it.
    int wait()
    {
        int raw = 0;
        if (status_ >= 0 || pid_ <= 0)
            return status_;
        while (::waitpid(pid_, &raw, 0) < 0 && errno == EINTR) {
        }
        status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 255;
        return status_;
    }
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    int readyFd_ = -1;
    int status_ = -1;
};

} // namespace corvane::test
