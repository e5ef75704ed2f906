#pragma once
// The settings files on the machine: replacing one whole or not at all, and
// telling what stands at a path where a file should be.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

#include <sys/types.h>

namespace corvane::platform {

// Tells whether bytes found at a link's target are Corvane's own file.
using OwnFileTest = std::function<bool(const QByteArray& bytes)>;

// Replaces the file at `path` with `bytes`, whole or not at all: the bytes go
// to a new file beside it ("<name>.saving-XXXXXX"), every write and the flush
// to the disk are checked, and only then does it take the file's place. Any
// failure leaves the old file byte for byte as it was and removes the new one.
//
// Only a regular file is replaced, or created where nothing is. A link is
// written through only when it leads to a regular file whose bytes `ownFile`
// recognises (a dotfile manager's link to the user's own copy); a link to
// anything else, a directory, a device, a pipe or a socket is refused.
// Returns why the file could not be written, in words for the user ("the disk
// is full"); empty text when it was.
QString replaceFileWhole(const QString& path, const QByteArray& bytes, const OwnFileTest& ownFile);

// What a settings file of another folder may give, for a one-time copy of it:
// the bytes of the regular file at `path` itself (a link there is not
// followed, and nothing else is opened, so a pipe cannot block), read whole
// and never beyond `limit` bytes, when the user or root owns it. Returns why
// it gives nothing, in words for the user ("it belongs to another user");
// empty text when `bytes` holds it.
QString readOwnFile(const QString& path, qint64 limit, QByteArray& bytes);

// The device a comN entry of another folder leads to, to make a link to the
// same device: the entry must be a link that the user or root owns, and it
// must lead to a character device. `target` is the link's own text, made
// absolute against the entry's folder. Returns why not, as readOwnFile.
QString readDeviceLink(const QString& path, QString& target);

// The kind of file a mode tells, as "a directory" or "a named pipe (FIFO)".
QString kindOf(mode_t mode);

// What stands at `path` when it is neither a regular file nor missing, as
// "a directory", "a named pipe (FIFO)" or "a link to /dev/null, a character
// device"; empty text for a regular file (or a link to one) and for nothing.
QString describeNonFile(const QString& path);

// Removes the new files that a replace of one of `names` left in `folder`
// when the program was killed in the middle of it; returns the names removed.
QStringList removeSaveLeftovers(const QString& folder, const QStringList& names);

// When HOME is unset or empty, sets it to the home folder the user database
// gives, as a login does, so that the user's configuration folder is found
// there and not at the root of the file system.
void settleHomeFolder();

} // namespace corvane::platform
