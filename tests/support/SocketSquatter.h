#pragma once
// A neighbour (Neighbour.h) who takes the name of a user's local socket
// first: it either answers "shown" to whoever connects, or never accepts,
// with its queue full, so that a connect that waits would wait for ever.
#include "tests/support/Neighbour.h"

#include <string>

#include <cstddef>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>

namespace corvane::test {

enum class Squat { AnswersShown, NeverAccepts };

// Binds `address` (a path, or an abstract name that starts with a zero byte)
// as the neighbour and acts as `how` says until it is killed.
inline int squatSocket(Neighbour& self, const std::string& address, Squat how)
{
    sockaddr_un where{};
    where.sun_family = AF_UNIX;
    std::memcpy(where.sun_path, address.data(), address.size());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + address.size()
                                               + (address.front() == '\0' ? 0 : 1));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&where), length) != 0 || ::listen(fd, 0) != 0)
        return 1;
    if (how == Squat::NeverAccepts) {
        for (int i = 0; i < 4; ++i)
            ::connect(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0), reinterpret_cast<const sockaddr*>(&where),
                      length);
        self.ready();
        for (;;)
            ::pause();
    }
    self.ready();
    for (;;) {
        const int peer = ::accept(fd, nullptr, nullptr);
        if (peer >= 0) {
            (void)!::write(peer, "shown\n", 6);
            ::close(peer);
        }
    }
}

} // namespace corvane::test
