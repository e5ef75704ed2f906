// "Start when I log in": the autostart entry as the desktop reads it, and
// what turning it on and off does to the files found at its place.
#include <gtest/gtest.h>

#include "ui/Autostart.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace corvane {
namespace {

QByteArray execLine(const QByteArray& entry)
{
    for (const QByteArray& line : entry.split('\n'))
        if (line.startsWith("Exec="))
            return line.mid(5);
    return {};
}

TEST(Autostart, TheEntryQuotesTheProgramAsTheDesktopReadsItAndValidates)
{
    // The program's path as the desktop's Exec holds it: quoted, `"` `$` `\`
    // and backquote escaped inside the quotes, then every backslash doubled
    // and every % doubled for the file.
    const struct {
        const char* program;
        const char* exec;
    } cases[] = {
        {"/usr/bin/corvane", R"("/usr/bin/corvane" --minimized)"},
        {"/home/a b/corvane", R"("/home/a b/corvane" --minimized)"},
        {R"(/x/"q"$v`c\d/corvane)", R"("/x/\\"q\\"\\$v\\`c\\\\d/corvane" --minimized)"},
        {"/x/100%/corvane", R"("/x/100%%/corvane" --minimized)"},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        const QByteArray entry = autostartEntry(QString::fromUtf8(c.program));
        EXPECT_EQ(execLine(entry), QByteArray(c.exec)) << c.program;
        const QString path = dir.filePath(QStringLiteral("example.tollan.Corvane.desktop"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(entry);
        file.close();
        QProcess validate;
        validate.start(QStringLiteral("desktop-file-validate"), {path});
        ASSERT_TRUE(validate.waitForFinished(10000)) << "desktop-file-validate did not run";
        EXPECT_EQ(validate.exitCode(), 0) << c.program << ": " << validate.readAllStandardOutput().toStdString();
    }
}

TEST(Autostart, OnlyCorvanesOwnEntryIsWrittenOverOrRemoved)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("autostart/example.tollan.Corvane.desktop"));
    const QString program = QStringLiteral("/usr/bin/corvane");
    EXPECT_FALSE(autostartEnabled(path));
    EXPECT_EQ(setAutostart(path, program, false), QString()) << "nothing there to remove";
    EXPECT_EQ(setAutostart(path, program, true), QString());
    EXPECT_TRUE(autostartEnabled(path));
    EXPECT_EQ(setAutostart(path, program, true), QString()) << "its own entry is written again";
    EXPECT_EQ(setAutostart(path, program, false), QString());
    EXPECT_FALSE(QFile::exists(path));

    // Another program's entry of the same name, and a link to a file of the
    // user's that is not an entry, stay as they are, and it says so.
    const QByteArray foreign = "[Desktop Entry]\nType=Application\nName=Other\nExec=other\n";
    for (const bool link : {false, true}) {
        const QString target = link ? dir.filePath(QStringLiteral("notes.txt")) : path;
        QFile file(target);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(foreign);
        file.close();
        if (link) {
            ASSERT_TRUE(QFile::remove(path) && QFile::link(target, path));
        }
        EXPECT_FALSE(autostartEnabled(path));
        EXPECT_FALSE(setAutostart(path, program, true).isEmpty()) << "link " << link;
        EXPECT_FALSE(setAutostart(path, program, false).isEmpty()) << "link " << link;
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), foreign) << "link " << link;
        file.close();
    }
}

} // namespace
} // namespace corvane
