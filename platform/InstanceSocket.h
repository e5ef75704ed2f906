#pragma once
// The local socket through which a later start on a settings folder asks the
// Corvane that holds it to bring its window to the front.
//
// The socket stands where only the user can make names: in $XDG_RUNTIME_DIR
// when that is a folder of the user's that no one else may write, and
// otherwise under an abstract name (no file) made of the user's id and the
// folder's identity. Another user can take an abstract name first, so
// neither side believes a peer of another user: the listener drops such a
// peer unanswered, and the asker does not believe it. Every step of the
// asker has a deadline; the listener keeps only a few connections, each for
// a second at most, for its line.
#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

#include <sys/types.h>

class QWidget;

namespace corvane::platform {

// How long the listener waits for a connection's line, and how many
// connections it keeps at once: a further one drops the one that has waited
// longest.
inline constexpr int kAskerSilenceMs = 1000;
inline constexpr int kMostAskers = 8;

// The socket's address for the folder with this device and inode: a path, or
// an abstract name, which starts with a zero byte.
QByteArray instanceAddress(dev_t device, ino_t inode);
// The same for the folder at `folder`; empty when there is none.
QByteArray instanceAddress(const QString& folder);

// The listening end, in the running Corvane. It answers "show" lines, one per
// connection, at event-processing points.
class ShowRequests {
public:
    // Listens at `address`; when it cannot (another process took the name),
    // it says why in the log and answers nothing.
    explicit ShowRequests(QByteArray address);
    ~ShowRequests();
    ShowRequests(const ShowRequests&) = delete;
    ShowRequests& operator=(const ShowRequests&) = delete;

    // `window` gives the window to bring to the front, or null while there is none.
    void whenAsked(std::function<QWidget*()> window);
    // Stops listening and drops every connection; the socket's file, when
    // it still is the one made here, is removed.
    void close();

private:
    class Listener;
    std::unique_ptr<Listener> listener_;
};

// Asks the Corvane that listens for `folder` to bring its window to the
// front: whether a listener of this user answered that it did, all within
// `timeoutMs`.
bool askHolderToShow(const QString& folder, int timeoutMs);

} // namespace corvane::platform
