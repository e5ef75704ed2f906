#include "platform/AccessFix.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace corvane::platform {

namespace {

// The texts of this file, translated in the context "corvane::platform::AccessFix".
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(corvane::platform::AccessFix)
};

// Loads the module, so that the device is there for udev to see, and has
// udev apply its rules to it as at boot: the access rights follow at once,
// with no new login.
const QString kApplyRule = QStringLiteral(
    "sudo modprobe uinput && sudo udevadm trigger --action=add --subsystem-match=misc --sysname-match=uinput");

// Made when asked, in the language of the moment.
QString noNewLogin() { return Texts::tr("To give it now, without a restart or a new login, run:") + QLatin1Char('\n'); }

} // namespace

Installation installationOf(const QString& program, bool packageRule, bool localRule)
{
    if (packageRule && program == QLatin1String("/usr/bin/corvane"))
        return Installation::Package;
    return packageRule || localRule ? Installation::SourceWithRule : Installation::Source;
}

Installation currentInstallation()
{
    return installationOf(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath(),
                          QFileInfo::exists(QLatin1String(kPackageRulePath)),
                          QFileInfo::exists(QLatin1String(kLocalRulePath)));
}

QString uinputRule()
{
    return QStringLiteral(R"(KERNEL=="uinput", SUBSYSTEM=="misc", TAG+="uaccess", OPTIONS+="static_node=uinput")");
}

QString uinputAccessFix(Installation installation)
{
    switch (installation) {
    case Installation::Package:
        return Texts::tr("The package's udev rule (%1) gives the user at the seat write access to "
                         "/dev/uinput, and installing the package applied it where udev ran. ")
                   .arg(QLatin1String(kPackageRulePath))
             + noNewLogin() + QStringLiteral("  ") + kApplyRule;
    case Installation::SourceWithRule:
        return Texts::tr("The udev rule 70-corvane-uinput.rules gives the user at the seat write access to "
                         "/dev/uinput. ")
             + noNewLogin() + QStringLiteral("  ") + kApplyRule;
    case Installation::Source:
        break;
    }
    return Texts::tr("Built from source, Corvane needs a udev rule that gives the user at the seat write "
                     "access to /dev/uinput. ")
         + noNewLogin()
         + QStringLiteral("  echo '%1' | sudo tee %2\n  sudo udevadm control --reload\n  ")
               .arg(uinputRule(), QLatin1String(kLocalRulePath))
         + kApplyRule;
}

QString keyboardsAccessFix()
{
    return Texts::tr(
               "Reading the keyboards (the global keys and the recorder in every program) needs membership of the "
               "input group. Be aware that every program you run may then read every key you type, passwords "
               "included; Corvane only reads them and never keeps or writes a key. To join the group, run:\n"
               "  %1\n"
               "then log out and in again: a new group counts from the next login on.")
        .arg(QLatin1String(kJoinInputGroup));
}

} // namespace corvane::platform
