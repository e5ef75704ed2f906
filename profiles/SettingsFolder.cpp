#include "profiles/SettingsFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace corvane {

SettingsFolder chooseSettingsFolder(const QString& programFolder, bool programFolderWritable,
                                    const QString& configFolder)
{
    if (programFolderWritable)
        return {programFolder, true};
    return {configFolder, false};
}

bool folderWritable(const QString& folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

QString userConfigFolder()
{
    // No organization name is set, so this is <config>/Corvane.
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

SettingsFolder settingsFolderFor(const QString& programFolder)
{
    return chooseSettingsFolder(programFolder, folderWritable(programFolder), userConfigFolder());
}

QString describeSettingsFolder(const SettingsFolder& folder)
{
    const QString path = QDir::toNativeSeparators(folder.path);
    if (folder.besideProgram)
        return QStringLiteral("Settings folder: %1 (the program's folder, which you may write)").arg(path);
    return QStringLiteral("Settings folder: %1 (your configuration folder, as you may not write the "
                          "program's folder)")
        .arg(path);
}

} // namespace corvane
