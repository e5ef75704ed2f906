#pragma once
// Where Corvane keeps its profile files and looks for its comN entries (the
// settings folder): beside the executable when that is a copy of the user's
// own, outside the system's folders, in a folder the program may write (a
// build folder, a copy in the user's home), so that files written there before
// carry over unchanged; otherwise, as for a program installed in /usr/bin (even
// when run by the administrator, who may write there), in the user's
// configuration folder (normally ~/.config/Corvane).
#include "profiles/ProfileFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace corvane {

struct SettingsFolder {
    QString path;
    bool besideProgram = false; // false: the user's configuration folder
    QString programFolder;      // the folder of the executable
};

// Whether a folder is one of the system's, where installed programs live and
// a program never writes its settings: /usr and everything below it, /bin,
// /sbin, /lib*, /opt, /etc, /var (but /var/tmp), /boot, /snap, /nix, /gnu and /app.
bool isSystemFolder(const QString& folder);

// The rule itself, on given answers: the program's folder when it is
// writable and not a system folder, else the configuration folder.
SettingsFolder chooseSettingsFolder(const QString& programFolder, bool programFolderWritable,
                                    const QString& configFolder);

// Whether the current user may create files in the folder, as the system
// answers it (access(2)): a folder of another user or on a read-only or
// immutable file system is not writable; for root, nearly any folder is.
bool folderWritable(const QString& folder);

// The user's configuration folder for Corvane (QStandardPaths; normally
// ~/.config/Corvane). It is created when a file is first written there.
QString userConfigFolder();

// The settings folder for a program in `programFolder`, by the rule above
// (symbolic links resolved: /bin is /usr/bin).
SettingsFolder settingsFolderFor(const QString& programFolder);

// One line that says which folder is used and why, for the command line help.
QString describeSettingsFolder(const SettingsFolder& folder);

// What the carry-over below needs of the machine; platform/Files.h has the
// machine's own (readOwnFile, readDeviceLink, replaceFileWhole).
struct CarryOverAccess {
    std::function<QString(const QString& path, qint64 limit, QByteArray& bytes)> readOwnFile;
    std::function<QString(const QString& path, QString& target)> readDeviceLink;
    FileWriter write;
};

// What a carry-over did: the names it carried, and, for each file it left
// behind, its name and why ("Profiles1.2.dat: it belongs to another user").
struct CarriedOver {
    QStringList carried;
    QStringList left;
};

// The files that follow the user from the program's folder into the
// configuration folder, once: nothing is carried when the settings are beside
// the program, when the configuration folder already holds a profile file, or
// when the program's folder holds no profiles file. Another user may have
// made that folder, so only what could be the user's own is carried: a
// profile file that is a regular file of the user's or root's, no larger than
// a profiles file can be, that holdsProfiles (or holdsLastProfile) takes, is
// copied as a new file; without such a profiles file nothing is. A comN entry
// is carried only as a link that the user or root owns to a character
// device, and becomes a link to the same device. A link in a profile file's
// place is never followed or copied. The program's folder is left as it is.
// When a copy fails, throws the file access Fault (what was carried before
// stays; each file is whole or not there).
CarriedOver carryOverSettings(const SettingsFolder& folder, const CarryOverAccess& access);

} // namespace corvane
