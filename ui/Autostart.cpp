#include "ui/Autostart.h"

#include "platform/Files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace corvane {

namespace {

// The texts of this file, translated in the context "corvane::Autostart".
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(corvane::Autostart)
};

// The line that marks the entry as Corvane's own.
constexpr char kOwnMark[] = "X-Corvane-Autostart=true";

// An argument of Exec: quoted, with the characters that quoting leaves
// special escaped by a backslash; then, as in every value of a desktop entry,
// each backslash doubled and each percent sign, a field code, doubled.
QString execArgument(const QString& argument)
{
    QString quoted;
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    quoted = u'"' + quoted + u'"';
    return quoted.replace(u'\\', QStringLiteral("\\\\")).replace(u'%', QStringLiteral("%%"));
}

bool isOwnEntry(const QByteArray& bytes) { return bytes.contains(kOwnMark); }

} // namespace

QString autostartPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
         + QStringLiteral("/autostart/example.tollan.Corvane.desktop");
}

QByteArray autostartEntry(const QString& program)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Corvane\n"
                          "Comment=Steers the pointer and presses keys with a head tracker; started hidden at login\n"
                          "Exec=%1 --minimized\n"
                          "Icon=example.tollan.Corvane\n"
                          "Terminal=false\n"
                          "%2\n")
        .arg(execArgument(program), QLatin1String(kOwnMark))
        .toUtf8();
}

bool autostartEnabled(const QString& path)
{
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) && isOwnEntry(file.read(64 * 1024));
}

QString setAutostart(const QString& path, const QString& program, bool enabled)
{
    const QFileInfo at(path);
    const bool found = at.exists() || at.isSymLink();
    // Somebody else's entry of the same name stays.
    if (found && !autostartEnabled(path))
        return Texts::tr("%1 is not Corvane's entry, so it was left as it is").arg(QDir::toNativeSeparators(path));
    if (enabled) {
        if (!QDir().mkpath(QFileInfo(path).path()))
            return Texts::tr("the folder %1 cannot be made").arg(QDir::toNativeSeparators(QFileInfo(path).path()));
        return platform::replaceFileWhole(path, autostartEntry(program), isOwnEntry);
    }
    if (!found)
        return {};
    QFile file(path);
    return file.remove() ? QString() : file.errorString();
}

} // namespace corvane
