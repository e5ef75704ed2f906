// The engine's start-up, main loop, start/stop toggle and shutdown, driven
// through Engine::Main with a fake clock and stopped by closing the window.
#include "platform/LoopWatch.h"
#include "ui/HelpForm.h"

#include <gtest/gtest.h>

#include "tests/support/EngineFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <sys/socket.h>
#include <unistd.h>

namespace corvane {
namespace {

using test::readFile;

struct EngineRun : ::testing::Test, test::EngineRig {};
struct EventPumpTest : ::testing::Test {
    platform::fakes::FakePlatform fakes;
    EventPump pump{fakes.process()};
};

// Start-up applies the profile used last, or creates, writes and applies the
// defaults when the profiles file gave none. Closing the window inside the
// link's first wait stops and resets the tracker if its port is open, closes
// the port and ends the program at once.
TEST(EngineStartUp, AppliesTheLastProfileOrTheDefaultsAndClosingInAWaitEndsAtOnce)
{
    const QByteArray euler = "\"Default Euler Angle\"\r\n";
    // The bytes of the profiles file, all zero (an empty file holds nothing to
    // keep; one too large to read is kept aside), or -1 for the defaults and a
    // last-profile file naming "Default Euler Angle".
    // clang-format off
    const struct { const char* label; qint64 junk; bool opens; } cases[] = {
        {"an empty profiles file, no port opens", 0, false},
        {"a profiles file too large to read", qint64{65} * 1024 * 1024, true},
        {"the profile used last", -1, true},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        test::EngineRig rig;
        if (!c.opens)
            rig.serial().openOnly(0, {});
        if (c.junk < 0) {
            test::writeFile(rig.path(kProfilesFileName), test::defaultsFileBytes());
            test::writeFile(rig.path(kLastProfileFileName), euler);
        } else {
            QFile file(rig.path(kProfilesFileName));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(c.junk));
        }
        rig.clock().at(10, [&] { rig.ui().Help_Command->click(); });
        EXPECT_EQ(rig.runUntilClosedAt(70), 0);

        EXPECT_EQ(rig.fakes.log.lines().value(0), QStringLiteral("raise priority"));
        EXPECT_EQ(readFile(rig.path(kProfilesFileName)), test::defaultsFileBytes());
        EXPECT_EQ(readFile(rig.path(kLastProfileFileName)), lastProfileBytes(rig.ui().Profile_Combo->text()));
        EXPECT_EQ(rig.ui().Profile_Combo->text(), c.junk < 0 ? kDefaultEulerAngle : kDefaultMouseEmulation);
        EXPECT_EQ(rig.ui().Profile_Combo->count(), 3);
        const QStringList kept = QDir(rig.dir.path()).entryList({kProfilesFileName + ".*"}, QDir::Files);
        ASSERT_EQ(kept.size(), c.junk > 0 ? 1 : 0);
        ASSERT_EQ(rig.fakes.dialogs().boxes.size(), kept.size()) << rig.fakes.log.joined().toStdString();
        if (c.junk > 0) {
            EXPECT_EQ(QFileInfo(rig.path(kept[0])).size(), c.junk);
            EXPECT_TRUE(rig.fakes.dialogs().boxes[0].text.contains(kept[0]));
        }
        const QStringList closing = c.opens ? test::kShutdownLines
                                            : QStringList({"open COM1 9600,n,8,1 failed", "end 0"});
        EXPECT_EQ(rig.lastLines(closing.size()), closing);
        EXPECT_EQ(rig.clock().sleeps(), QList<int>({20, 100}));
        EXPECT_FALSE(rig.form().help().isVisible());
    }
}

// Damaged profile files (each damaged seed of the fuzzer, a profile cut short)
// or a last profile the list lacks bring up one box before anything is
// written: Keep Aside (or Keep a Copy) and Start keeps every byte the user
// wrote and starts afresh; Quit ends with status 1.
TEST(EngineStartUp, DamagedProfileFilesAreKeptAsideCopiedOrLeftAsTheyAre)
{
    const QByteArray gone = "\"Gone\"\r\n";
    const QByteArray cut = test::defaultsFileBytes() + "\"Mine\",\"Ambrel\",\"COM 1\",\"19200 Kbps\",\"Mouse Em";
    // The bytes of each file (null: no file), what the box says of the profiles
    // file and whether it offers to keep a copy of it.
    struct Case {
        QString label;
        QByteArray profiles, last;
        QString says;
        bool copy = false;
    };
    QList<Case> cases = {
        {"profile used last not held", test::defaultsFileBytes(), gone, "It holds 3 complete profiles."},
        {"no profiles file", {}, gone, "It does not exist, so"},
        {"an empty one", "", gone, "It is empty, so"},
        {"a profile cut short", cut, {}, "It holds 3 complete profiles, then the profile \"Mine\" cut short", true}};
    // The one-byte seeds come without a last-profile file, the others with one.
    for (const QFileInfo& seed : QDir(CORVANE_PROFILE_SEEDS).entryInfoList(QDir::Files))
        cases.append(
            {seed.fileName(), readFile(seed.filePath()), seed.size() > 1 ? gone : QByteArray(),
             seed.size() > 1 ? QString("It holds %1 bytes but no").arg(seed.size()) : "It holds 1 byte but no"});
    ASSERT_GE(cases.size(), 11);
    for (const auto& c : cases)
        for (const bool quit : {false, true}) {
            SCOPED_TRACE(c.label.toStdString() + (quit ? ", quit" : ", kept"));
            test::EngineRig rig;
            for (const auto& [name, bytes] : {std::pair(kProfilesFileName, c.profiles), {kLastProfileFileName, c.last}})
                if (!bytes.isNull())
                    test::writeFile(rig.path(name), bytes);
            rig.fakes.dialogs().pick(quit ? 1 : 0);
            rig.clock().at(10, [&] { rig.ui().Save_Command->click(); });
            EXPECT_EQ(rig.runUntilClosedAt(70), quit ? 1 : 0);
            // A whole profiles file stays when only the profile used last is missing.
            const bool whole = c.says == "It holds 3 complete profiles.";
            const auto& boxes = rig.fakes.dialogs().boxes;
            ASSERT_EQ(boxes.size(), quit ? 1 : 2) << rig.fakes.log.joined().toStdString();
            const char* keep = c.copy ? "Keep a Copy and Start*" : "Keep Aside and Start*";
            EXPECT_EQ(boxes[0].choices, QStringList({keep, "Quit"}));
            EXPECT_TRUE(boxes[0].text.contains(c.says)) << boxes[0].text.toStdString();
            const bool lastMovedAlone = !c.last.isNull() && (whole || c.profiles.isNull());
            EXPECT_EQ(boxes[0].text.contains("starts with the profile \"Default Mouse Emulation\""), lastMovedAlone);
            EXPECT_EQ(boxes[0].over + "|" + boxes.back().over, quit ? "|" : "|Tollan Corvane");
            const QStringList files = QDir(rig.dir.path()).entryList(QDir::Files);
            // Kept aside, both files are written afresh; kept as a copy, the profiles file is written in place.
            EXPECT_EQ(files.size(), (c.copy ? 1 : 2) * !quit * !whole + !c.profiles.isNull() + !c.last.isNull())
                << files.join(' ').toStdString();
            for (const auto& [name, bytes] :
                 {std::pair(kProfilesFileName, c.profiles), {kLastProfileFileName, c.last}}) {
                const QStringList kept = files.filter(name + ".kept-");
                ASSERT_EQ(kept.size(), !quit && !bytes.isNull() && !(whole && name == kProfilesFileName) ? 1 : 0);
                EXPECT_TRUE(boxes[0].text.contains(rig.path(name)) || (c.copy && bytes.isNull()));
                const QString move = (c.copy ? "copies the file as it is to " : name + " to ") + kept.value(0);
                EXPECT_TRUE(kept.isEmpty() || boxes[0].text.contains(move)) << move.toStdString();
                EXPECT_TRUE(bytes.isNull() || readFile(rig.path(quit || kept.isEmpty() ? name : kept[0])) == bytes);
            }
            EXPECT_TRUE(quit || readFile(rig.path(kProfilesFileName)) == test::defaultsFileBytes());
            EXPECT_TRUE(quit || rig.ui().Profile_Combo->count() == 3);
        }
    test::EngineRig rig;
    ASSERT_TRUE(QDir(rig.dir.path()).mkdir(kProfilesFileName));
    rig.fakes.dialogs().pick(1);
    EXPECT_EQ(rig.runUntilClosedAt(70), 1);
    ASSERT_EQ(rig.fakes.dialogs().boxes.size(), 1u);
    EXPECT_TRUE(
        rig.fakes.dialogs().boxes[0].text.contains("It is a directory, not a file, so Corvane cannot read it."));
}

TEST_F(EngineRun, EachCycleSleepsTheCurrentProfilesDelayOr100MsWithoutProfiles)
{
    test::writeFile(path(kProfilesFileName), profileLine(defaultFlightSimulator())); // one profile is enough
    test::writeFile(path(kLastProfileFileName), "\"Default Flight Simulator\"\r\n");
    clock().at(10, [this] { ui().DelayMillisecs->box()->setText(QStringLiteral("35")); });
    clock().at(200, [this] { ui().DelayMillisecs->box()->setText(QStringLiteral("60")); });
    clock().at(300, [this] {
        test::writeFile(path(kProfilesFileName), {});
        ui().Cancel_Command->click(); // reloads an empty file: no profiles remain
    });
    EXPECT_EQ(runUntilClosedAt(500), 0);
    // The first cycle also sleeps for the link: 100 ms after opening, 20 ms in
    // each of the drain, the wait for the reply and the second drain.
    EXPECT_EQ(clock().sleeps(), QList<int>({20, 100, 20, 20, 20, 35, 60, 60, 100, 100}));
}

TEST_F(EventPumpTest, RunsEventsAndDeferredDeletionsAndUnwindsOnceTheProgramHasEnded)
{
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
    QCoreApplication::removePostedEvents(nullptr); // what never ran refers to this test's fakes
}

TEST_F(EventPumpTest, RunsATimerOnceItIsDueThoughNothingElseIsPending)
{
    bool fired = false;
    QTimer::singleShot(std::chrono::milliseconds(5), [&] { fired = true; });
    pump.process(); // the loop learns when its timer is due
    QThread::msleep(10);
    pump.process();
    EXPECT_TRUE(fired);
}

// A descriptor the loop starts watching after the pump has looked at the
// loop's others (a window's new socket, say) is looked at too.
TEST_F(EventPumpTest, RunsAHandlerOfADescriptorTheLoopBeganWatchingSinceItsLastLook)
{
    QCoreApplication::processEvents(); // the pump learns the loop's descriptors
    pump.process();                    // and looks at them
    int ends[2] = {-1, -1};
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends), 0);
    bool heard = false;
    {
        QSocketNotifier notifier(ends[0], QSocketNotifier::Read);
        QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
            char byte = 0;
            heard = ::read(ends[0], &byte, 1) == 1;
        });
        QCoreApplication::processEvents(); // the loop takes the new descriptor in
        ASSERT_EQ(::write(ends[1], "x", 1), 1);
        pump.process();
    }
    ::close(ends[0]);
    ::close(ends[1]);
    EXPECT_TRUE(heard);
}

// A descriptor the loop stopped watching (its notifier turned off with a byte
// left unread) no longer counts as work for the loop; one closed and opened
// again under the same number does, once the loop watches it.
TEST(EventPump, LooksOnlyAtTheDescriptorsTheLoopWatchesNow)
{
    const platform::LoopWatch watch;
    for (const bool stopWatching : {false, true}) {
        int ends[2] = {-1, -1};
        ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends), 0);
        QSocketNotifier notifier(ends[0], QSocketNotifier::Read);
        QCoreApplication::processEvents();
        ASSERT_EQ(::write(ends[1], "x", 1), 1);
        EXPECT_TRUE(watch.ready());
        notifier.setEnabled(!stopWatching);
        QCoreApplication::processEvents();
        EXPECT_EQ(watch.ready(), !stopWatching);
        ::close(ends[0]);
        ::close(ends[1]);
    }
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
    // The caption after each click, what the click wrote to the tracker, and
    // "focus moved" when the focus went to the hidden button.
    // clang-format off
    const std::pair<qint64, const char*> clicks[] = {
        // Clicks run at the end of the 20 ms sleep they fall in: keep them on cycle boundaries.
        {900, "Stop write S focus moved"}, // the first toggle is always accepted
        {1980, "Stop"},                    // in the next whole second: ignored
        {2000, "Start write !"},           // two whole seconds later, though only 1.1 s
        {3980, "Start"},
        {4000, "Stop write S focus moved"},
    };
    // clang-format on
    QStringList seen, expected;
    for (const auto& [at, outcome] : clicks) {
        expected << QString::fromLatin1(outcome);
        clock().at(at, [&, this] {
            ui().Help_Command->setFocus();
            fakes.log.clear();
            clickStart();
            const bool moved = form().focusWidget() == ui().Dummy_Command;
            seen << (QStringList(ui().Start_Command->text().remove(u'&')) + writes()).join(' ')
                        + (moved ? QStringLiteral(" focus moved") : QString());
        });
    }
    test::writeFile(path(kProfilesFileName), test::defaultsFileBytes());
    EXPECT_EQ(runUntilClosedAt(4100), 0);
    EXPECT_EQ(seen, expected);
}

} // namespace
} // namespace corvane
