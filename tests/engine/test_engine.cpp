// The engine's start-up, main loop, start/stop toggle and shutdown, driven
// through Engine::Main with a fake clock and stopped by closing the window.
#include "ui/HelpForm.h"

#include <gtest/gtest.h>

#include "tests/support/EngineFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>

namespace corvane {
namespace {

using testing::readFile;

class EngineRun : public ::testing::Test, public testing::EngineRig {
protected:
    QByteArray read(const QString& name) const { return readFile(path(name)); }
    void write(const QString& name, const QByteArray& bytes) { testing::writeFile(path(name), bytes); }
    // Runs Main until the main window is closed at `closeAtMs` (or start-up fails).
    int runUntilClosedAt(qint64 closeAtMs)
    {
        atMs(closeAtMs, [this] { form().close(); });
        return engine.Main();
    }
    void atMs(qint64 ms, std::function<void()> action) { fakes.clock().at(ms, std::move(action)); }
    QList<int> sleeps() { return fakes.clock().sleeps(); }
};

TEST_F(EngineRun, FirstStartWritesTheDefaultsAndShowsDefaultMouseEmulation)
{
    write(kProfilesFileName, {}); // an empty file holds nothing to keep
    bool shown = false;
    atMs(0, [&] { shown = form().isVisible(); });
    EXPECT_EQ(runUntilClosedAt(50), 0);

    EXPECT_EQ(fakes.log.lines().value(0), QStringLiteral("raise priority"));
    EXPECT_TRUE(shown);
    EXPECT_EQ(read(kProfilesFileName), testing::defaultsFileBytes());
    EXPECT_EQ(read(kLastProfileFileName), QByteArray("\"Default Mouse Emulation\"\r\n"));
    EXPECT_EQ(form().Profile_Combo->items(),
              QStringList({"Default Euler Angle", "Default Flight Simulator", "Default Mouse Emulation"}));
    EXPECT_EQ(form().Profile_Combo->text(), kDefaultMouseEmulation);
    EXPECT_EQ(engine.app().store.table.currentIndex, 3);
    EXPECT_EQ(form().LeftRightSpeed->box()->text(), QStringLiteral("17"));
    EXPECT_TRUE(fakes.dialogs().boxes.isEmpty()) << fakes.log.joined().toStdString();
}

TEST_F(EngineRun, ANormalStartAppliesTheLastProfileWithoutRewritingItsFile)
{
    const QByteArray last = "\"Default Mouse Emulation\"\r\n\"Default Euler Angle\"\r\n"; // the last name wins
    write(kProfilesFileName, testing::defaultsFileBytes());
    write(kLastProfileFileName, last);
    EXPECT_EQ(runUntilClosedAt(50), 0);

    EXPECT_EQ(read(kLastProfileFileName), last);
    EXPECT_EQ(read(kProfilesFileName), testing::defaultsFileBytes());
    EXPECT_EQ(form().Profile_Combo->text(), kDefaultEulerAngle);
    EXPECT_EQ(engine.app().store.table.currentIndex, 2);
    EXPECT_EQ(form().Mode_Combo->text(), QStringLiteral("Euler Angle"));
    EXPECT_EQ(form().LeftRightSmooth->box()->text(), QStringLiteral("12"));
}

TEST(EngineStartUp, AFaultIsReportedAndNeitherShowsTheWindowNorRunsTheLoop)
{
    const struct { const char* label; QByteArray profiles, last; /* empty: no file */ } cases[] = {
        {"last profile not in the list", testing::defaultsFileBytes(), "\"Gone\"\r\n"},
        {"damaged profiles file", "\x01\x02 not a profile \xff,\"", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        testing::EngineRig rig;
        testing::writeFile(rig.path(kProfilesFileName), c.profiles);
        if (!c.last.isEmpty())
            testing::writeFile(rig.path(kLastProfileFileName), c.last);
        rig.fakes.clock().at(1000, [&] { rig.form().close(); }); // only if start-up wrongly succeeds

        EXPECT_EQ(rig.engine.Main(), 1);
        const auto& boxes = rig.fakes.dialogs().boxes;
        ASSERT_EQ(boxes.size(), 1) << rig.fakes.log.joined().toStdString();
        EXPECT_TRUE(boxes[0].text.startsWith(testing::errorReport(380, {}))) << boxes[0].text.toStdString();
        EXPECT_FALSE(rig.form().isVisible());
        EXPECT_TRUE(rig.fakes.clock().sleeps().isEmpty());
        EXPECT_EQ(readFile(rig.path(kProfilesFileName)), c.profiles) << "nothing is lost";
        EXPECT_EQ(readFile(rig.path(kLastProfileFileName)), c.last.isEmpty() ? QByteArray("<missing>") : c.last);
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
    EXPECT_EQ(read(kProfilesFileName), testing::defaultsFileBytes());
    ASSERT_EQ(fakes.dialogs().boxes.size(), 1);
    EXPECT_TRUE(fakes.dialogs().boxes[0].text.contains(kept[0])) << fakes.dialogs().boxes[0].text.toStdString();
    EXPECT_EQ(form().Profile_Combo->text(), kDefaultMouseEmulation);
}

TEST_F(EngineRun, EachCycleSleepsTheCurrentProfilesDelayOr100MsWithoutProfiles)
{
    write(kProfilesFileName, profileLine(defaultFlightSimulator())); // one profile is enough
    write(kLastProfileFileName, "\"Default Flight Simulator\"\r\n");
    atMs(10, [this] { form().DelayMillisecs->box()->setText(QStringLiteral("35")); });
    atMs(200, [this] { form().DelayMillisecs->box()->setText(QStringLiteral("60")); });
    atMs(300, [this] {
        write(kProfilesFileName, {});
        form().Cancel_Command->click(); // reloads an empty file: no profiles remain
    });
    EXPECT_EQ(runUntilClosedAt(500), 0);
    // The first cycle also sleeps for the link: 100 ms after opening, 20 ms in
    // each of the drain, the wait for the reply and the second drain.
    EXPECT_EQ(sleeps(), QList<int>({20, 100, 20, 20, 20, 35, 60, 60, 100, 100}));
    EXPECT_EQ(engine.app().store.table.count(), 0);
    ASSERT_EQ(fakes.dialogs().boxes.size(), 2) << fakes.log.joined().toStdString();
    EXPECT_TRUE(fakes.dialogs().boxes[1].text.startsWith(testing::errorReport(380, {})));
}

TEST_F(EngineRun, AFaultEndsTheLoopWhileTheWindowsServeEventsUntilClosed)
{
    write(kProfilesFileName, testing::defaultsFileBytes());
    atMs(190, [&] { // in the second cycle, the tracker set up
        engine.app().store.table.currentIndex = 99; // the next cycle's delay lookup fails
        QTimer::singleShot(50, [&] { form().close(); });
    });
    EXPECT_EQ(engine.Main(), 0);
    ASSERT_EQ(fakes.dialogs().boxes.size(), 1) << fakes.log.joined().toStdString();
    EXPECT_EQ(fakes.dialogs().boxes[0].text, testing::errorReport(9, QStringLiteral("Subscript out of range")));
    EXPECT_EQ(sleeps().size(), 6) << "no cycle after the fault";
}

TEST(EventPump, RunsEventsAndDeferredDeletionsAndUnwindsOnceTheProgramHasEnded)
{
    platform::fakes::FakePlatform fakes;
    EventPump pump(fakes.process());
    for (const bool wait : {false, true}) {
        QPointer<QObject> doomed = new QObject;
        doomed->deleteLater();
        QTimer::singleShot(0, [] {});
        wait ? pump.waitAndProcess() : pump.process();
        EXPECT_TRUE(doomed.isNull()) << wait;
    }
    // A handler that ends the program unwinds the pump at once; later events never run.
    bool ranAfterTheEnd = false;
    for (const bool wait : {true, false}) {
        QTimer::singleShot(0, [&] { fakes.process().endProgram(0); });
        EXPECT_THROW(wait ? pump.waitAndProcess() : pump.process(), ProgramEnded) << wait;
        QTimer::singleShot(0, [&] { ranAfterTheEnd = true; });
    }
    EXPECT_THROW(pump.waitAndProcess(), ProgramEnded);
    EXPECT_FALSE(ranAfterTheEnd);
}

TEST_F(EngineRun, WithoutAPointerToMoveItSaysSoOnce)
{
    fakes.platform.pointerUnavailable = QStringLiteral("No X display to move the pointer on.");
    engine.MoveMouse(1, 1);
    engine.MoveMouse(2, 2);
    EXPECT_EQ(fakes.log.matching(QStringLiteral("message")).size(), 1);
    EXPECT_TRUE(fakes.log.matching(QStringLiteral("move")).isEmpty());
}

TEST_F(EngineRun, TheToggleIgnoresASecondClickWithinTheNextWholeSecond)
{
    // The caption after each click, and "focus moved" when the focus went to the hidden button.
    const std::pair<qint64, const char*> clicks[] = {
        // Clicks run at the end of the 20 ms sleep they fall in: keep them on cycle boundaries.
        {900, "Stop focus moved"}, // the first toggle is always accepted
        {1980, "Stop"},            // in the next whole second: ignored
        {2000, "Start"},           // two whole seconds later, though only 1.1 s
        {3980, "Start"},
        {4000, "Stop focus moved"},
    };
    QStringList seen, expected;
    for (const auto& [at, outcome] : clicks) {
        expected << QString::fromLatin1(outcome);
        atMs(at, [&, this] {
            form().Help_Command->setFocus();
            clickStart();
            const bool moved = form().focusWidget() == form().Dummy_Command;
            seen << form().Start_Command->text() + (moved ? QStringLiteral(" focus moved") : QString());
        });
    }
    write(kProfilesFileName, testing::defaultsFileBytes());
    EXPECT_EQ(runUntilClosedAt(4100), 0);
    EXPECT_EQ(seen, expected);
}

TEST_F(EngineRun, ClosingTheMainWindowDuringASleepEndsTheProgramAtOnce)
{
    write(kProfilesFileName, testing::defaultsFileBytes());
    atMs(10, [this] { form().Help_Command->click(); });
    EXPECT_EQ(runUntilClosedAt(70), 0);
    // The close arrives inside the link's first wait: the tracker is stopped
    // and reset, the port closed, and nothing runs after it.
    EXPECT_EQ(fakes.log.matching(QStringLiteral("end")), QStringList(QStringLiteral("end 0")));
    EXPECT_EQ(lastLines(4), testing::kShutdownLines);
    EXPECT_EQ(sleeps(), QList<int>({20, 100}));
    EXPECT_FALSE(form().isVisible());
    EXPECT_FALSE(engine.help().isVisible());
}

} // namespace
} // namespace corvane
