// The engine's start-up, main loop, start/stop toggle and shutdown, driven
// through Engine::Main with a fake clock and stopped by closing the window.
#include "engine/Main.h"
#include "platform/fakes/Fakes.h"
#include "ui/HelpForm.h"
#include "ui/MainForm.h"
#include "ui/PickList.h"
#include "ui/SettingPair.h"

#include <gtest/gtest.h>

#include "tests/support/QtTestApp.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>
#include <ostream>

void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
void PrintTo(const QByteArray& bytes, std::ostream* os) { *os << '"' << bytes.toStdString() << '"'; }

namespace corvane {
namespace {

// The application lives from the first test to the last and is gone before
// the process exits, ahead of Qt's own global state.
// The profiles file that the first start writes.
const QByteArray kDefaultsFile =
    "\"Default Flight Simulator\",\"Ambrel\",\"COM 1\",\"19200 Kbps\",\"Mouse Emulation\",3,2,4,\"Mouse Event\","
    "9,9,0,6,6,0,\"Emulate Keys\",\"D160D190U190U160\",\"D160D188U188U160\",\"D162D188U188U162\","
    "\"D162D191U191U162\",\"\",\"\",\"D162D164D083U083U164U162\",\"D162D164D083U083U164U162\",20\r\n"
    "\"Default Euler Angle\",\"Ambrel\",\"COM 1\",\"19200 Kbps\",\"Euler Angle\",3,2,4,\"Mouse Event\","
    "12,12,0,7,5,0,\"Disabled\",\"\",\"\",\"\",\"\",\"\",\"\",\"D162D164D083U083U164U162\","
    "\"D162D164D083U083U164U162\",20\r\n"
    "\"Default Mouse Emulation\",\"Ambrel\",\"COM 1\",\"19200 Kbps\",\"Mouse Emulation\",2,3,4,\"Mouse Event\","
    "9,7,0,17,16,0,\"Disabled\",\"\",\"\",\"\",\"\",\"\",\"\",\"D162D163D083U083U163U162\","
    "\"D162D163D083U083U163U162\",20\r\n";

const QString kErrorReport = QStringLiteral("Corvane has encountered the following error:\r\n\r\n");

QByteArray readIn(const QTemporaryDir& folder, const QString& name)
{
    QFile file(folder.filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeIn(const QTemporaryDir& folder, const QString& name, const QByteArray& bytes)
{
    QFile file(folder.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

class EngineRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        // A tracker on COM 1 at 19200 that acknowledges its set-up. The first
        // cycle then also sleeps for the link: 100 ms after opening, 20 ms in
        // each of the drain, the wait for the reply and the second drain.
        fakes.serial().openOnly(1, QStringLiteral("19200,n,8,1"));
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    QByteArray read(const QString& name) const { return readIn(dir, name); }
    void write(const QString& name, const QByteArray& bytes) { writeIn(dir, name, bytes); }

    // Runs Main until the main window is closed at `closeAtMs` (or start-up fails).
    int runUntilClosedAt(qint64 closeAtMs)
    {
        clock().at(closeAtMs, [this] { engine.form().close(); });
        return engine.Main();
    }
    void atMs(qint64 ms, std::function<void()> action) { clock().at(ms, std::move(action)); }
    platform::fakes::FakeClock& clock() { return fakes.clock(); }
    MainForm& form() { return engine.form(); }

    QTemporaryDir dir;
    platform::fakes::FakePlatform fakes;
    Engine engine{fakes.platform, dir.path()};
};

TEST_F(EngineRun, FirstStartWritesTheDefaultsAndShowsDefaultMouseEmulation)
{
    bool shown = false;
    atMs(0, [&] { shown = form().isVisible(); });
    EXPECT_EQ(runUntilClosedAt(50), 0);

    EXPECT_EQ(fakes.log.lines().value(0), QStringLiteral("raise priority"));
    EXPECT_TRUE(shown);
    EXPECT_EQ(read(kProfilesFileName), kDefaultsFile);
    EXPECT_EQ(read(kLastProfileFileName), QByteArray("\"Default Mouse Emulation\"\r\n"));
    EXPECT_EQ(form().Profile_Combo->items(),
              QStringList({"Default Euler Angle", "Default Flight Simulator", "Default Mouse Emulation"}));
    EXPECT_EQ(form().Profile_Combo->text(), kDefaultMouseEmulation);
    EXPECT_EQ(engine.app().store.table.currentIndex, 3);
    EXPECT_EQ(form().LeftRightSpeed->box()->text(), QStringLiteral("17"));
    EXPECT_EQ(form().Start_Command->text(), QStringLiteral("Start"));
    EXPECT_TRUE(fakes.dialogs().boxes.isEmpty()) << fakes.log.joined().toStdString();
}

TEST_F(EngineRun, ANormalStartAppliesTheLastProfileWithoutRewritingItsFile)
{
    const QByteArray last = "\"Default Mouse Emulation\"\r\n\"Default Euler Angle\"\r\n"; // the last name wins
    write(kProfilesFileName, kDefaultsFile);
    write(kLastProfileFileName, last);
    EXPECT_EQ(runUntilClosedAt(50), 0);

    EXPECT_EQ(read(kLastProfileFileName), last);
    EXPECT_EQ(read(kProfilesFileName), kDefaultsFile);
    EXPECT_EQ(form().Profile_Combo->text(), kDefaultEulerAngle);
    EXPECT_EQ(engine.app().store.table.currentIndex, 2);
    EXPECT_EQ(form().Mode_Combo->text(), QStringLiteral("Euler Angle"));
    EXPECT_EQ(form().LeftRightSmooth->box()->text(), QStringLiteral("12"));
}

TEST_F(EngineRun, AStartUpFaultIsReportedAndNeitherShowsTheWindowNorRunsTheLoop)
{
    const struct {
        const char* label;
        QByteArray profiles;
        QByteArray last; // empty: no file
    } cases[] = {
        {"last profile not in the list", kDefaultsFile, "\"Gone\"\r\n"},
        {"damaged profiles file", "\x01\x02 not a profile \xff,\"", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        QTemporaryDir folder;
        platform::fakes::FakePlatform platform;
        Engine failing(platform.platform, folder.path());
        writeIn(folder, kProfilesFileName, c.profiles);
        if (!c.last.isEmpty())
            writeIn(folder, kLastProfileFileName, c.last);
        platform.clock().at(1000, [&] { failing.form().close(); }); // only if start-up wrongly succeeds

        EXPECT_EQ(failing.Main(), 1);
        ASSERT_EQ(platform.dialogs().boxes.size(), 1) << platform.log.joined().toStdString();
        EXPECT_TRUE(platform.dialogs().boxes[0].text.startsWith(kErrorReport + QStringLiteral("380 : ")))
            << platform.dialogs().boxes[0].text.toStdString();
        EXPECT_FALSE(failing.form().isVisible());
        EXPECT_TRUE(platform.clock().sleeps().isEmpty());
        EXPECT_EQ(readIn(folder, kProfilesFileName), c.profiles) << "nothing is lost";
        EXPECT_EQ(readIn(folder, kLastProfileFileName), c.last.isEmpty() ? QByteArray("<missing>") : c.last);
    }
}

TEST_F(EngineRun, AProfilesFileThatCannotBeReadIsKeptAsideBeforeTheDefaultsAreWritten)
{
    constexpr qint64 kOversized = qint64{65} * 1024 * 1024;
    {
        QFile file(path(kProfilesFileName));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(kOversized));
    }
    EXPECT_EQ(runUntilClosedAt(50), 0);

    const QStringList kept = QDir(dir.path()).entryList({kProfilesFileName + QStringLiteral(".*")}, QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(QFileInfo(path(kept[0])).size(), kOversized);
    EXPECT_EQ(read(kProfilesFileName), kDefaultsFile);
    ASSERT_EQ(fakes.dialogs().boxes.size(), 1);
    EXPECT_TRUE(fakes.dialogs().boxes[0].text.contains(kept[0])) << fakes.dialogs().boxes[0].text.toStdString();
    EXPECT_EQ(form().Profile_Combo->text(), kDefaultMouseEmulation);
}

TEST_F(EngineRun, EachCycleSleepsTheCurrentProfilesDelay)
{
    write(kProfilesFileName, kDefaultsFile);
    write(kLastProfileFileName, "\"Default Flight Simulator\"\r\n");
    atMs(10, [this] { form().DelayMillisecs->box()->setText(QStringLiteral("35")); });
    atMs(200, [this] { form().DelayMillisecs->box()->setText(QStringLiteral("60")); });
    EXPECT_EQ(runUntilClosedAt(300), 0);
    EXPECT_EQ(clock().sleeps(), QList<int>({20, 100, 20, 20, 20, 35, 60, 60}));
}

TEST_F(EngineRun, WithNoProfilesEachCycleSleeps100Milliseconds)
{
    write(kProfilesFileName, kDefaultsFile);
    atMs(30, [this] {
        write(kProfilesFileName, {});
        form().Cancel_Command->click(); // reloads an empty file: no profiles remain
    });
    EXPECT_EQ(runUntilClosedAt(300), 0);
    EXPECT_EQ(engine.app().store.table.count(), 0);
    EXPECT_EQ(clock().sleeps(), QList<int>({20, 100, 20, 20, 20, 100, 100}));
    ASSERT_EQ(fakes.dialogs().boxes.size(), 2) << fakes.log.joined().toStdString();
    EXPECT_TRUE(fakes.dialogs().boxes[1].text.startsWith(kErrorReport + QStringLiteral("380 : ")));
}

TEST_F(EngineRun, TheToggleIgnoresASecondClickWithinTheNextWholeSecond)
{
    const struct {
        qint64 atMs;
        const char* caption;
        bool focusMoved;
    } clicks[] = {
        // Clicks run at the end of the 20 ms sleep they fall in: keep them on cycle boundaries.
        {900, "Stop", true},    // the first toggle is always accepted
        {1980, "Stop", false},  // in the next whole second: ignored
        {2000, "Start", false}, // two whole seconds later, though only 1.1 s
        {3980, "Start", false},
        {4000, "Stop", true},
    };
    QStringList captions, expected;
    QList<bool> moved, expectedMoved;
    for (const auto& c : clicks) {
        expected.append(QString::fromLatin1(c.caption));
        expectedMoved.append(c.focusMoved);
        atMs(c.atMs, [&, this] {
            form().Help_Command->setFocus();
            form().Start_Command->click();
            captions.append(form().Start_Command->text());
            moved.append(form().focusWidget() == form().Dummy_Command);
        });
    }
    write(kProfilesFileName, kDefaultsFile);
    EXPECT_EQ(runUntilClosedAt(4100), 0);
    EXPECT_EQ(captions, expected);
    EXPECT_EQ(moved, expectedMoved);
}

TEST_F(EngineRun, ClosingTheMainWindowDuringASleepEndsTheProgramAtOnce)
{
    write(kProfilesFileName, kDefaultsFile);
    atMs(10, [this] { form().Help_Command->click(); });
    EXPECT_EQ(runUntilClosedAt(70), 0);
    EXPECT_EQ(fakes.log.matching(QStringLiteral("end")), QStringList(QStringLiteral("end 0")));
    // The close arrives inside the link's first wait: the tracker is stopped
    // and reset, the port closed, and nothing runs after it.
    const QStringList log = fakes.log.lines();
    EXPECT_EQ(log.mid(log.size() - 4), QStringList({"write !", "write !R<CR>", "close", "end 0"}));
    EXPECT_EQ(clock().sleeps(), QList<int>({20, 100}));
    EXPECT_FALSE(form().isVisible());
    EXPECT_FALSE(engine.help().isVisible());
}

} // namespace
} // namespace corvane
