#include "engine/StartUpBoxes.h"

#include "platform/Files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace corvane {

namespace {

// The texts of this file, translated in the context "corvane::StartUpBoxes".
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(corvane::StartUpBoxes)
};

const QString kBreak = QStringLiteral("\r\n");

// "1 byte", "2 bytes": the one and the many are whole texts, as languages
// form them differently.
QString bytesCounted(qint64 n) { return (n == 1 ? Texts::tr("%1 byte") : Texts::tr("%1 bytes")).arg(n); }

QString profilesCounted(qint64 n)
{
    return (n == 1 ? Texts::tr("%1 complete profile") : Texts::tr("%1 complete profiles")).arg(n);
}

} // namespace

QString startUpTitle() { return Texts::tr("Corvane Start-up"); }
QString keepAsideChoice() { return Texts::tr("Keep Aside and Start"); }
QString keepCopyChoice() { return Texts::tr("Keep a Copy and Start"); }
QString quitChoice() { return Texts::tr("Quit"); }

QString recoveryText(const ProfileStore& store, bool startProfileMissing, const QList<FileMove>& moves)
{
    const ProfilesFileFound& found = store.found;
    const QString bytes = bytesCounted(found.size);
    QString profiles;
    if (const QString what = platform::describeNonFile(store.profilesPath()); !what.isEmpty())
        profiles = Texts::tr("It is %1, not a file, so Corvane cannot read it.").arg(what);
    else if (found.size < 0)
        profiles = Texts::tr("It does not exist, so Corvane would create the default profiles.");
    else if (found.size == 0)
        profiles = Texts::tr("It is empty, so Corvane would create the default profiles.");
    else if (!found.read)
        profiles = Texts::tr("It holds %1 but cannot be read.").arg(bytes);
    else if (found.wholeProfiles == 0)
        profiles = Texts::tr("It holds %1 but no complete profile.").arg(bytes);
    else
        profiles = Texts::tr("It holds %1.").arg(profilesCounted(found.wholeProfiles));
    const std::optional<QString> last = store.lastProfileInFile();
    QString used = last ? Texts::tr("It names the profile \"%1\"").arg(*last)
                        : Texts::tr("It does not exist, so the profile to start with is \"%1\"")
                              .arg(kDefaultMouseEmulation);
    used += startProfileMissing ? Texts::tr(", which is not one of them.") : QStringLiteral(".");
    QString renames;
    for (const auto& [path, keptPath] : moves)
        renames += QFileInfo(path).fileName() + Texts::tr(" to ") + QFileInfo(keptPath).fileName() + kBreak;
    return Texts::tr("Corvane cannot start with its profiles as they are.") + kBreak + kBreak
         + Texts::tr("Profiles file: ") + QDir::toNativeSeparators(store.profilesPath()) + kBreak + profiles + kBreak
         + kBreak + Texts::tr("Last-profile file: ") + QDir::toNativeSeparators(store.lastProfilePath()) + kBreak + used
         + kBreak + kBreak + keepAsideChoice() + Texts::tr(": Corvane renames, leaving their contents as they are,")
         + kBreak + renames
         + (moves.size() == 1 && moves[0].first == store.lastProfilePath()
                ? Texts::tr("and starts with the profile \"%1\" of the profiles file.").arg(kDefaultMouseEmulation)
                : Texts::tr("and starts with the default profiles, as on a first start."))
         + kBreak + kBreak + quitChoice() + Texts::tr(": Corvane ends and changes no file.");
}

QString cutProfileText(const ProfileStore& store, const QString& keptName)
{
    const ProfilesFileFound& found = store.found;
    return Texts::tr("Corvane cannot start with its profiles as they are.") + kBreak + kBreak
         + Texts::tr("Profiles file: ") + QDir::toNativeSeparators(store.profilesPath()) + kBreak
         + Texts::tr("It holds %1, then the profile \"%2\" cut short: the file ends in the middle of it.")
               .arg(profilesCounted(found.wholeProfiles), found.cutProfile)
         + kBreak + kBreak + keepCopyChoice() + Texts::tr(": Corvane copies the file as it is to ") + keptName
         + Texts::tr(", writes it again with the complete profiles only and starts with them.") + kBreak + kBreak
         + quitChoice() + Texts::tr(": Corvane ends and changes no file.");
}

QString carriedOverText(const SettingsFolder& settings, const CarriedOver& result)
{
    const QString from = QDir::toNativeSeparators(settings.programFolder);
    QString text = Texts::tr("Corvane may not write its own folder, %1, so it keeps its settings in %2 from now on.")
                       .arg(from, QDir::toNativeSeparators(settings.path));
    if (!result.carried.isEmpty())
        text += kBreak + kBreak
              + Texts::tr("It has copied %1 there from %2, which stays as it was.")
                    .arg(result.carried.join(QStringLiteral(", ")), from);
    if (!result.left.isEmpty())
        text += kBreak + kBreak
              + Texts::tr("It has not copied these from %1, which could have been put there by another user "
                          "or are not Corvane's own:")
                    .arg(from)
              + kBreak + result.left.join(kBreak);
    return text;
}

} // namespace corvane
