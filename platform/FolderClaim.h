#pragma once
// One running Corvane per settings folder. The first start locks the folder
// with a lock file in it, "Corvane.lock": the kernel's lock on the open file
// (flock) is the lock, so it goes with the process however that ends, and
// the file names the process only for the message of a later start. A file
// there that Corvane could not have written (a link, a pipe, a device, a
// directory, a socket, another user's file, a second name of another file)
// is never opened: the folder is refused, saying what stands there.
//
// The claim holds the folder open, so that it can tell whether the folder's
// path still leads to it, and removes only its own lock file at the end. A
// later start finds the lock held and asks the running Corvane, through a
// local socket (InstanceSocket.h), to bring its window to the front.
#include "platform/Platform.h"

#include <QString>
#include <memory>

namespace corvane::platform {

struct FolderClaimAttempt {
    enum class Result {
        Claimed,       // this Corvane holds the folder
        HeldByAnother, // a running Corvane holds it
        Refused,       // something that is no lock file of Corvane's stands in the lock file's place
        Unlockable,    // the lock cannot be made (a read-only folder, a full disk)
    };
    Result result = Result::Unlockable;
    std::unique_ptr<FolderClaim> claim; // when claimed
    qint64 holder = 0;                  // held by another: its process id, 0 when unknown
    QString why;                        // refused or unlockable: why, for the user
};

// The lock file's path in a settings folder.
QString lockFilePath(const QString& folder);

// Tries to take the folder, creating it when it is missing.
FolderClaimAttempt claimSettingsFolder(const QString& folder);

} // namespace corvane::platform
