#pragma once
// Where Corvane keeps its profile files and looks for its comN entries (the
// settings folder): beside the executable when the program may write there
// (a build folder, a copy in the user's own folder), so that files written
// there before carry over unchanged; otherwise, as for a program installed in
// /usr/bin, in the user's configuration folder (normally ~/.config/Corvane).
#include <QString>

namespace corvane {

struct SettingsFolder {
    QString path;
    bool besideProgram = false; // false: the user's configuration folder
};

// The rule itself, on given answers: the program's folder when it is
// writable, else the configuration folder.
SettingsFolder chooseSettingsFolder(const QString& programFolder, bool programFolderWritable,
                                    const QString& configFolder);

// Whether the current user may create files in the folder, as the system
// answers it (access(2)): a folder of another user or on a read-only or
// immutable file system is not writable; for root, nearly any folder is.
bool folderWritable(const QString& folder);

// The user's configuration folder for Corvane (QStandardPaths; normally
// ~/.config/Corvane). It is created when a file is first written there.
QString userConfigFolder();

// The settings folder for a program in `programFolder`, by the rule above.
SettingsFolder settingsFolderFor(const QString& programFolder);

// One line that says which folder is used and why, for the command line help.
QString describeSettingsFolder(const SettingsFolder& folder);

} // namespace corvane
