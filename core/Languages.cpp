#include "core/Languages.h"

#include <QRegularExpression>

namespace corvane {

namespace {

// "de_AT.UTF-8@euro" -> "de_AT": the codeset and the modifier name no language.
QString withoutCodeset(const QString& name)
{
    const qsizetype cut = name.indexOf(QRegularExpression(QStringLiteral("[.@]")));
    return cut < 0 ? name : name.left(cut);
}

bool isPlainC(const QString& locale)
{
    const QString name = withoutCodeset(locale);
    return name.isEmpty() || name == QLatin1String("C") || name == QLatin1String("POSIX");
}

} // namespace

LocaleEnvironment localeEnvironment()
{
    return {qEnvironmentVariable("LANGUAGE"), qEnvironmentVariable("LC_ALL"), qEnvironmentVariable("LC_MESSAGES"),
            qEnvironmentVariable("LANG")};
}

QStringList messageLanguages(const LocaleEnvironment& environment)
{
    QString locale = environment.lcAll;
    if (locale.isEmpty())
        locale = environment.lcMessages;
    if (locale.isEmpty())
        locale = environment.lang;
    if (isPlainC(locale))
        return {};
    QStringList wanted = environment.language.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    wanted << locale;
    QStringList languages;
    for (const QString& entry : std::as_const(wanted)) {
        const QString name = withoutCodeset(entry);
        for (const QString& language : {name, name.section(QLatin1Char('_'), 0, 0)}) {
            if (!language.isEmpty() && !languages.contains(language))
                languages << language;
        }
    }
    return languages;
}

} // namespace corvane
