#include "engine/StartUpBoxes.h"

#include "platform/Files.h"

#include <QDir>
#include <QFileInfo>

namespace corvane {

namespace {

const QString kBreak = QStringLiteral("\r\n");

QString counted(qint64 n, const QString& what)
{
    return QStringLiteral("%1 %2%3").arg(n).arg(what, n == 1 ? QString() : QStringLiteral("s"));
}

} // namespace

QString recoveryText(const ProfileStore& store, bool startProfileMissing, const QList<FileMove>& moves)
{
    const ProfilesFileFound& found = store.found;
    const QString bytes = counted(found.size, QStringLiteral("byte"));
    QString profiles;
    if (const QString what = platform::describeNonFile(store.profilesPath()); !what.isEmpty())
        profiles = QStringLiteral("It is %1, not a file, so Corvane cannot read it.").arg(what);
    else if (found.size < 0)
        profiles = QStringLiteral("It does not exist, so Corvane would create the default profiles.");
    else if (found.size == 0)
        profiles = QStringLiteral("It is empty, so Corvane would create the default profiles.");
    else if (!found.read)
        profiles = QStringLiteral("It holds %1 but cannot be read.").arg(bytes);
    else if (found.wholeProfiles == 0)
        profiles = QStringLiteral("It holds %1 but no complete profile.").arg(bytes);
    else
        profiles = QStringLiteral("It holds %1.").arg(counted(found.wholeProfiles, QStringLiteral("complete profile")));
    const std::optional<QString> last = store.lastProfileInFile();
    QString used = last ? QStringLiteral("It names the profile \"%1\"").arg(*last)
                        : QStringLiteral("It does not exist, so the profile to start with is \"%1\"")
                              .arg(kDefaultMouseEmulation);
    used += startProfileMissing ? QStringLiteral(", which is not one of them.") : QStringLiteral(".");
    QString renames;
    for (const auto& [path, keptPath] : moves)
        renames += QFileInfo(path).fileName() + QStringLiteral(" to ") + QFileInfo(keptPath).fileName() + kBreak;
    return QStringLiteral("Corvane cannot start with its profiles as they are.") + kBreak + kBreak
         + QStringLiteral("Profiles file: ") + QDir::toNativeSeparators(store.profilesPath()) + kBreak + profiles
         + kBreak + kBreak + QStringLiteral("Last-profile file: ") + QDir::toNativeSeparators(store.lastProfilePath())
         + kBreak + used + kBreak + kBreak + kKeepAside
         + QStringLiteral(": Corvane renames, leaving their contents as they are,") + kBreak + renames
         + (moves.size() == 1 && moves[0].first == store.lastProfilePath()
                ? QStringLiteral("and starts with the profile \"%1\" of the profiles file.").arg(kDefaultMouseEmulation)
                : QStringLiteral("and starts with the default profiles, as on a first start."))
         + kBreak + kBreak + kQuit + QStringLiteral(": Corvane ends and changes no file.");
}

QString cutProfileText(const ProfileStore& store, const QString& keptName)
{
    const ProfilesFileFound& found = store.found;
    return QStringLiteral("Corvane cannot start with its profiles as they are.") + kBreak + kBreak
         + QStringLiteral("Profiles file: ") + QDir::toNativeSeparators(store.profilesPath()) + kBreak
         + QStringLiteral("It holds %1, then the profile \"%2\" cut short: the file ends in the middle of it.")
               .arg(counted(found.wholeProfiles, QStringLiteral("complete profile")), found.cutProfile)
         + kBreak + kBreak + kKeepCopy + QStringLiteral(": Corvane copies the file as it is to ") + keptName
         + QStringLiteral(", writes it again with the complete profiles only and starts with them.") + kBreak + kBreak
         + kQuit + QStringLiteral(": Corvane ends and changes no file.");
}

QString carriedOverText(const SettingsFolder& settings, const CarriedOver& result)
{
    const QString from = QDir::toNativeSeparators(settings.programFolder);
    QString text = QStringLiteral(
                       "Corvane may not write its own folder, %1, so it keeps its settings in %2 from now on.")
                       .arg(from, QDir::toNativeSeparators(settings.path));
    if (!result.carried.isEmpty())
        text += kBreak + kBreak
              + QStringLiteral("It has copied %1 there from %2, which stays as it was.")
                    .arg(result.carried.join(QStringLiteral(", ")), from);
    if (!result.left.isEmpty())
        text += kBreak + kBreak
              + QStringLiteral("It has not copied these from %1, which could have been put there by another user "
                               "or are not Corvane's own:")
                    .arg(from)
              + kBreak + result.left.join(kBreak);
    return text;
}

} // namespace corvane
