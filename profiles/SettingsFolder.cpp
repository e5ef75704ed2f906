#include "profiles/SettingsFolder.h"

#include "core/Fault.h"
#include "profiles/ProfileFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace corvane {

namespace {

// The texts of this file, translated in the context "corvane::SettingsFolder".
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(corvane::SettingsFolder)
};

} // namespace

bool isSystemFolder(const QString& folder)
{
    // Under one of the system's top folders: /usr, /bin, /sbin, /lib*, /opt,
    // /etc, /var (but not /var/tmp), /boot, /snap, /nix, /gnu, /app. Read by
    // its parts, as this runs at every start.
    static const QStringList kTops = {QStringLiteral("usr"),  QStringLiteral("bin"), QStringLiteral("sbin"),
                                      QStringLiteral("opt"),  QStringLiteral("etc"), QStringLiteral("boot"),
                                      QStringLiteral("snap"), QStringLiteral("nix"), QStringLiteral("gnu"),
                                      QStringLiteral("app")};
    const QString path = QDir::cleanPath(folder);
    if (path == QLatin1String("/"))
        return true;
    if (!path.startsWith(QLatin1Char('/')))
        return false;
    const QStringView rest = QStringView(path).mid(1);
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    const QStringView top = slash < 0 ? rest : rest.left(slash);
    if (top == QLatin1String("var")) {
        const QStringView below = slash < 0 ? QStringView() : rest.mid(slash + 1);
        return below.left(below.indexOf(QLatin1Char('/'))) != QLatin1String("tmp");
    }
    return top.startsWith(QLatin1String("lib")) || kTops.contains(top);
}

SettingsFolder chooseSettingsFolder(const QString& programFolder, bool programFolderWritable,
                                    const QString& configFolder)
{
    if (programFolderWritable && !isSystemFolder(programFolder))
        return {programFolder, true, programFolder};
    return {configFolder, false, programFolder};
}

bool folderWritable(const QString& folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

QString userConfigFolder()
{
    // No organization name is set, so this is <config>/Corvane.
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

SettingsFolder settingsFolderFor(const QString& programFolder)
{
    const QString real = QFileInfo(programFolder).canonicalFilePath();
    const QString folder = real.isEmpty() ? programFolder : real;
    return chooseSettingsFolder(folder, folderWritable(folder), userConfigFolder());
}

QString describeSettingsFolder(const SettingsFolder& folder)
{
    const QString path = QDir::toNativeSeparators(folder.path);
    if (folder.besideProgram)
        return Texts::tr("Settings folder: %1 (the program's folder, which you may write)").arg(path);
    if (isSystemFolder(folder.programFolder))
        return Texts::tr("Settings folder: %1 (your configuration folder, as the program is installed in a "
                         "system folder)")
            .arg(path);
    return Texts::tr("Settings folder: %1 (your configuration folder, as you may not write the "
                     "program's folder)")
        .arg(path);
}

namespace {

// Something stands at the path: a file, a folder, a device, a link (even one
// that leads nowhere).
bool present(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

Fault copyFault(const QString& from, const QString& to, const QString& reason)
{
    return {kFaultFileAccess, Texts::tr("Path/File access error: cannot copy \"%1\" to \"%2\" (%3)")
                                  .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to), reason)};
}

} // namespace

CarriedOver carryOverSettings(const SettingsFolder& folder, const CarryOverAccess& access)
{
    if (folder.besideProgram || folder.programFolder.isEmpty())
        return {};
    const QDir from(folder.programFolder);
    const QDir to(folder.path);
    if (from.absolutePath() == to.absolutePath() || !present(from.filePath(kProfilesFileName))
        || present(to.filePath(kProfilesFileName)) || present(to.filePath(kLastProfileFileName)))
        return {};
    CarriedOver result;
    const auto leave = [&result](const QString& name, const QString& why) {
        result.left.append(name + QStringLiteral(": ") + why);
    };
    QList<std::pair<QString, QByteArray>> files;
    for (const auto& [name, holds] :
         {std::pair(kProfilesFileName, &holdsProfiles), std::pair(kLastProfileFileName, &holdsLastProfile)}) {
        if (!present(from.filePath(name)))
            continue;
        QByteArray bytes;
        QString why = access.readOwnFile(from.filePath(name), kMaxProfileFileBytes, bytes);
        if (why.isEmpty() && !holds(bytes))
            why = Texts::tr("it does not hold Corvane's settings as Corvane writes them");
        if (why.isEmpty()) {
            files.append({name, bytes});
            continue;
        }
        leave(name, why);
        // The rest goes with the profiles or not at all.
        if (name == kProfilesFileName)
            return result;
    }
    QList<std::pair<QString, QString>> links;
    static const QRegularExpression kComEntry(QStringLiteral("^com[1-9][0-9]*$"));
    for (const QString& name : from.entryList({QStringLiteral("com*")}, QDir::AllEntries | QDir::System)) {
        if (!kComEntry.match(name).hasMatch() || present(to.filePath(name)))
            continue;
        QString target;
        if (const QString why = access.readDeviceLink(from.filePath(name), target); !why.isEmpty())
            leave(name, why);
        else
            links.append({name, target});
    }
    if (!QDir().mkpath(to.absolutePath()))
        throw Fault{kFaultFileAccess, Texts::tr("Path/File access error: cannot create the settings folder \"%1\"")
                                          .arg(QDir::toNativeSeparators(to.absolutePath()))};
    for (const auto& [name, bytes] : files) {
        if (const QString why = access.write(to.filePath(name), bytes, {}); !why.isEmpty())
            throw copyFault(from.filePath(name), to.filePath(name), why);
        result.carried.append(name);
    }
    for (const auto& [name, target] : links) {
        if (!QFile::link(target, to.filePath(name)))
            throw copyFault(from.filePath(name), to.filePath(name), Texts::tr("the link cannot be made"));
        result.carried.append(name);
    }
    return result;
}

} // namespace corvane
