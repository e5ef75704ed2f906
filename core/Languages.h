#pragma once
// Which languages the user asks the program to speak, read as gettext reads
// them: LC_ALL, else LC_MESSAGES, else LANG names the locale; the C (or POSIX)
// locale, or none, means the program's own English whatever LANGUAGE says;
// otherwise LANGUAGE's colon-separated list comes first, then the locale's
// language.
#include <QString>
#include <QStringList>

namespace corvane {

struct LocaleEnvironment {
    QString language;   // LANGUAGE
    QString lcAll;      // LC_ALL
    QString lcMessages; // LC_MESSAGES
    QString lang;       // LANG
};

// The variables of this process.
LocaleEnvironment localeEnvironment();

// The languages to try, most wanted first, each followed by its language
// alone: "de_AT.UTF-8@euro" gives "de_AT", "de". Empty for English.
QStringList messageLanguages(const LocaleEnvironment& environment);

} // namespace corvane
