#pragma once
// One running Corvane per settings folder. The first start locks the folder
// with a lock file in it ("Corvane.lock", which names its process) and
// listens on a local socket named after the folder; a later start finds the
// lock held and asks the running Corvane, through that socket, to bring its
// window to the front. A lock whose process is gone (killed, crashed, the
// power cut) is taken over.
#include "platform/Platform.h"

#include <QString>
#include <memory>

namespace corvane::platform {

struct FolderClaimAttempt {
    enum class Result {
        Claimed,       // this Corvane holds the folder
        HeldByAnother, // a running Corvane holds it
        Unlockable,    // the lock cannot be made (a read-only folder, a full disk)
    };
    Result result = Result::Unlockable;
    std::unique_ptr<FolderClaim> claim; // when claimed
    qint64 holder = 0;                  // held by another: its process id, 0 when unknown
    QString why;                        // unlockable: why, for the user
};

// The lock file's path in a settings folder.
QString lockFilePath(const QString& folder);

// Tries to take the folder, creating it when it is missing.
FolderClaimAttempt claimSettingsFolder(const QString& folder);

// Asks the Corvane that holds the folder to bring its window to the front;
// whether it answered that it did within `timeoutMs`.
bool askHolderToShow(const QString& folder, int timeoutMs);

} // namespace corvane::platform
