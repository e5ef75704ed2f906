#pragma once
// What gives Corvane the devices it needs, in the exact commands to run, as
// they differ between the Debian package and a build from source: the package
// brings the udev rule for /dev/uinput and applies it when it is installed; a
// build from source needs the rule put in place by hand.
#include <QString>

namespace corvane::platform {

// Where the udev rule that opens /dev/uinput to the user at the seat stands,
// as seen from the running program.
enum class Installation {
    Package,        // /usr/bin/corvane beside the package's rule
    SourceWithRule, // another program file; a rule is in place (the package's or a hand-made one)
    Source,         // another program file, and no rule yet
};

// The places udev reads the rule from: the package's and the administrator's.
inline constexpr char kPackageRulePath[] = "/usr/lib/udev/rules.d/70-corvane-uinput.rules";
inline constexpr char kLocalRulePath[] = "/etc/udev/rules.d/70-corvane-uinput.rules";

// The installation of the program file `program` (its canonical path), with
// the package's and the administrator's rule present or not.
Installation installationOf(const QString& program, bool packageRule, bool localRule);
// The installation of the running program.
Installation currentInstallation();

// The udev rule that gives the user at the seat write access to /dev/uinput.
QString uinputRule();

// Without write access to /dev/uinput: what gives it, and the commands that
// give it at once, each on a line of its own, indented by two spaces.
QString uinputAccessFix(Installation installation);

// The command that makes the user a member of the input group (from the
// next login on).
inline constexpr char kJoinInputGroup[] = "sudo usermod -aG input $USER";

// Without a readable keyboard event device: what membership of the input
// group costs and the command that gives it.
QString keyboardsAccessFix();

} // namespace corvane::platform
