#pragma once
// An open file descriptor, closed with its holder unless it was handed on.
#include <unistd.h>
#include <utility>

namespace corvane::platform {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&&) = delete;
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { reset(); }

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    void reset()
    {
        if (fd_ >= 0)
            ::close(std::exchange(fd_, -1));
    }
    // Closes now; the result of close(2), which can report a failed write.
    int close() { return ::close(std::exchange(fd_, -1)); }

private:
    int fd_;
};

} // namespace corvane::platform
