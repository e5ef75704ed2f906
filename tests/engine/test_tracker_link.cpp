// The tracker link as the engine's cycle drives it: the bytes it writes, the
// set-up and its acknowledgement, the port and speed search, reopening after a
// change of selection and recovery from a device that went away.
#include <gtest/gtest.h>

#include "tests/support/EngineFixture.h"

#include <algorithm>
#include <functional>

namespace corvane {
namespace {

using testing::k19200;

const QString kMouseCommand = QStringLiteral("!M3,0,A,2,4,1,3");
const QString kEulerCommand = QStringLiteral("!M2,C,B,2,4");

// A started-up engine (first run: "Default Mouse Emulation", whose Magnetic,
// Tilt and Jitter are 2, 4 and 3). Sleeps are logged between the port lines.
struct Rig : testing::EngineRig {
    Rig()
    {
        fakes.clock().setLogSleeps(true);
        EXPECT_TRUE(engine.startUp());
        fakes.log.clear();
    }
    QStringList cycle()
    {
        fakes.log.clear();
        engine.cycle();
        return fakes.log.lines();
    }
    QStringList writes() const { return fakes.log.matching(QStringLiteral("write ")); }
    platform::fakes::FakeSerialPort& serial() { return fakes.serial(); }
    platform::fakes::FakeClock& clock() { return fakes.clock(); }
};

QString write(const QString& text) { return QStringLiteral("write ") + text; }
QString writeCommand(const QString& command) { return write(command + QStringLiteral("<CR>")); }

// The "sleep 20" lines right before the set-up command (the drain) and right
// after it (the reply wait and the second drain).
std::pair<int, int> waitsAroundCommand(const QStringList& log)
{
    const auto at = std::find_if(log.begin(), log.end(), [](const QString& l) { return l.startsWith("write !M"); });
    if (at == log.end())
        return {-1, -1};
    const auto notSleep = [](const QString& l) { return l != "sleep 20"; };
    const auto before = std::find_if(std::make_reverse_iterator(at), log.rend(), notSleep);
    return {static_cast<int>(before - std::make_reverse_iterator(at)),
            static_cast<int>(std::find_if(at + 1, log.end(), notSleep) - at - 1)};
}

TEST(TrackerLink, OpeningAndTheFirstSetUpWriteExactlyTheseBytes)
{
    Rig rig;
    EXPECT_EQ(rig.cycle(), QStringList({"sleep 20", "open COM1 19200,n,8,1", "sleep 100", "write !", "write !",
                                        "sleep 20", writeCommand(kMouseCommand), "sleep 20", "sleep 20", "write !"}));
    EXPECT_EQ(rig.accepted(), kMouseCommand);
    EXPECT_TRUE(rig.fakes.dialogs().boxes.isEmpty());
}

TEST(TrackerLink, OnlyAReplyStartingWithOWithin2000MsConfiguresTheTracker)
{
    // Waits: of the drain before the command; after it, of the reply wait and the second drain (-1: not counted).
    const struct { const char* label; QByteArray reply, stale, late; qint64 lateAfterMs; bool configured;
                   int drainWaits, waits; } cases[] = {
        {"OK", "OK\r", {}, {}, 0, true, 1, 2}, {"a lone O", "O", {}, {}, 0, true, 1, 2},
        {"refused", "NO\r", {}, {}, 0, false, 1, 2},
        {"no answer: 101 waits of 20 ms, then the drain", {}, {}, {}, 0, false, 1, 102},
        {"an old OK is drained before the command", {}, "OK\r", {}, 0, false, 2, 102},
        {"the first non-empty read is the reply", "N", {}, "OK\r", 20, false, 1, -1},
        {"a late answer within the time", {}, {}, "OK\r", 1000, true, 1, -1},
        {"an answer after 2000 ms", {}, {}, "OK\r", 2100, false, 1, 102},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Rig rig;
        rig.serial().ackReply = c.reply;
        rig.serial().receive(c.stale);
        bool scheduled = false;
        rig.serial().onWrite = [&](const QByteArray& bytes) {
            if (!c.late.isEmpty() && bytes.startsWith("!M") && !scheduled) {
                scheduled = true;
                rig.clock().at(rig.clock().nowMs() + c.lateAfterMs, [&] { rig.serial().receive(c.late); });
            }
        };
        const QStringList log = rig.cycle();
        EXPECT_EQ(rig.accepted(), c.configured ? kMouseCommand : QString());
        const auto [drainWaits, waits] = waitsAroundCommand(log);
        EXPECT_EQ(drainWaits, c.drainWaits);
        if (c.waits >= 0) {
            EXPECT_EQ(waits, c.waits);
        }

        // Unconfigured, the set-up is repeated in the next cycle; configured, nothing is sent.
        rig.cycle();
        EXPECT_EQ(rig.writes().mid(0, 2),
                  c.configured ? QStringList() : QStringList({"write !", writeCommand(kMouseCommand)}));
    }
}

TEST(TrackerLink, AChangedCommandSetsTheTrackerUpAgainInTheNextCycle)
{
    const auto box = [](SettingPair* MainForm::*pair, const char* text) {
        return [=](MainForm& f) { (f.*pair)->box()->setText(QString::fromLatin1(text)); };
    };
    const auto mode = [](const char* text) {
        return [=](MainForm& f) { f.Mode_Combo->setText(QString::fromLatin1(text)); };
    };
    // The command sent after the edit; empty: nothing is sent.
    const struct { const char* label; bool euler; std::function<void(MainForm&)> edit; QString command; } cases[] = {
        {"nothing changed", false, [](MainForm&) {}, {}},
        {"Magnetic", false, box(&MainForm::Magnetic, "5"), "!M3,0,A,5,4,1,3"},
        {"Tilt", false, box(&MainForm::Tilt, "6"), "!M3,0,A,2,6,1,3"},
        {"Jitter in Mouse Emulation", false, box(&MainForm::Jitter, "7"), "!M3,0,A,2,4,1,7"},
        {"to Euler Angle", false, mode("Euler Angle"), kEulerCommand},
        {"Jitter in Euler Angle", true, box(&MainForm::Jitter, "7"), {}},
        {"Tilt in Euler Angle", true, box(&MainForm::Tilt, "0"), "!M2,C,B,2,0"},
        {"to Mouse Emulation", true, mode("Mouse Emulation"), kMouseCommand},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Rig rig;
        if (c.euler)
            rig.form().Mode_Combo->setText(QStringLiteral("Euler Angle"));
        rig.cycle();
        ASSERT_FALSE(rig.accepted().isEmpty());
        rig.clickStart();
        c.edit(rig.form());
        rig.cycle();
        if (c.command.isEmpty()) {
            EXPECT_TRUE(rig.writes().isEmpty()) << rig.fakes.log.joined().toStdString();
        } else {
            EXPECT_EQ(rig.writes(), QStringList({"write !", writeCommand(c.command), "write S"}));
            EXPECT_EQ(rig.accepted(), c.command);
        }
    }
}

TEST(TrackerLink, TheAcknowledgedModeIsStoredInTheProfileAndShownInTheList)
{
    // The mode list's item before the set-up (-1: none selected), the reply, and then the profile's mode and the list.
    const struct { const char* label; int modeIndex; QByteArray reply; QString profileMode, comboText; } cases[] = {
        {"nothing selected, acknowledged", -1, "OK\r", "Euler Angle", "Euler Angle"},
        {"nothing selected, refused", -1, "NO\r", "Mouse Emulation", ""},
        {"Euler Angle, acknowledged", 1, "OK\r", "Euler Angle", "Euler Angle"},
        {"Euler Angle, refused", 1, "NO\r", "Mouse Emulation", "Euler Angle"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Rig rig;
        rig.serial().ackReply = c.reply;
        rig.form().Mode_Combo->setCurrentIndex(c.modeIndex);
        EXPECT_EQ(rig.profile().mode, QStringLiteral("Mouse Emulation")) << "choosing alone stores nothing";
        rig.cycle();
        EXPECT_EQ(rig.writes().value(2), writeCommand(kEulerCommand));
        EXPECT_EQ(rig.profile().mode, c.profileMode);
        EXPECT_EQ(rig.form().Mode_Combo->text(), c.comboText);
    }
}

TEST(TrackerLink, TheSearchStepsDownTheSpeedsAndOnToTheNextPort)
{
    Rig rig;
    rig.serial().openOnly(0, {}); // nothing opens
    rig.form().Location_Combo->setText(QStringLiteral("COM 3"));
    rig.form().Speed_Combo->setText(QStringLiteral("9600 Kbps"));

    const auto attempts = [](const QList<std::pair<int, int>>& tries) {
        QStringList out;
        for (const auto& [port, baud] : tries)
            out << QStringLiteral("open COM%1 %2,n,8,1 failed").arg(port).arg(baud) << QStringLiteral("sleep 100");
        return out;
    };
    const QList<int> speeds = {19200, 9600, 4800, 2400, 1200};
    QList<std::pair<int, int>> firstPass = {{3, 9600}, {3, 4800}, {3, 2400}, {3, 1200}};
    for (int baud : speeds)
        firstPass.append({4, baud});
    // A click during the first attempt's wait runs right after the next open.
    rig.clock().at(rig.clock().nowMs() + 50, [&] { rig.fakes.log.add(QStringLiteral("click")); });
    QStringList expected = QStringList("sleep 20") + attempts(firstPass);
    expected.insert(4, QStringLiteral("click"));
    EXPECT_EQ(rig.cycle(), expected);
    EXPECT_EQ(rig.form().Location_Combo->text(), QStringLiteral("COM 1"));
    EXPECT_EQ(rig.form().Speed_Combo->text(), QStringLiteral("19200 Kbps"));
    EXPECT_EQ(rig.profile().location, QStringLiteral("COM 1"));
    EXPECT_EQ(rig.profile().speed, QStringLiteral("19200 Kbps"));
    EXPECT_TRUE(rig.fakes.dialogs().boxes.isEmpty());

    // The next pass starts on port 1 at 19200 and stops where a port opens.
    rig.serial().openOnly(2, QStringLiteral("4800,n,8,1"));
    QList<std::pair<int, int>> secondPass;
    for (int baud : speeds)
        secondPass.append({1, baud});
    secondPass << std::pair{2, 19200} << std::pair{2, 9600};
    const QStringList log = rig.cycle();
    EXPECT_EQ(log.mid(0, 15), QStringList("sleep 20") + attempts(secondPass));
    EXPECT_EQ(log.mid(15, 3), QStringList({"open COM2 4800,n,8,1", "sleep 100", "write !"}));
    EXPECT_EQ(rig.accepted(), kMouseCommand);
    EXPECT_EQ(rig.profile().location, QStringLiteral("COM 2"));
    EXPECT_EQ(rig.profile().speed, QStringLiteral("4800 Kbps"));
}

TEST(TrackerLink, ANewPortOrSpeedClosesAndReopensInTheNextCycle)
{
    // What is opened after the change; empty: the port stays as it is.
    const struct { const char* location; const char* speed; const char* opened; } cases[] = {
        {"COM 2", "19200 Kbps", "open COM2 19200,n,8,1"}, {"COM 1", "4800 Kbps", "open COM1 4800,n,8,1"},
        {"COM 4", "1200 Kbps", "open COM4 1200,n,8,1"},   {"COM 1", "19200 Kbps", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.location) + " " + c.speed);
        Rig rig;
        rig.cycle();
        ASSERT_FALSE(rig.accepted().isEmpty());
        const QString settings = QString::fromLatin1(c.speed).section(' ', 0, 0) + QStringLiteral(",n,8,1");
        rig.serial().openOnly(QString::fromLatin1(c.location).back().digitValue(), settings);
        rig.form().Location_Combo->setText(QString::fromLatin1(c.location));
        rig.form().Speed_Combo->setText(QString::fromLatin1(c.speed));
        const QStringList log = rig.cycle();
        if (*c.opened == '\0') {
            EXPECT_EQ(log, QStringList("sleep 20"));
            continue;
        }
        EXPECT_EQ(log, QStringList({"sleep 20", "close", "sleep 100", c.opened, "sleep 100", "write !", "write !",
                                    "sleep 20", writeCommand(kMouseCommand), "sleep 20", "sleep 20", "write !"}));
        EXPECT_EQ(rig.accepted(), kMouseCommand);
    }
}

TEST(TrackerLink, AVanishedDeviceIsSearchedForSilentlyAndSetUpWhenItReturns)
{
    for (const bool duringSetUp : {false, true}) {
        SCOPED_TRACE(duringSetUp ? "gone during the set-up" : "gone between cycles");
        Rig rig;
        rig.clickStart();
        if (duringSetUp) {
            rig.serial().onWrite = [&](const QByteArray& bytes) {
                if (bytes.startsWith("!M"))
                    rig.serial().vanish();
            };
        } else {
            rig.cycle();
            ASSERT_EQ(rig.accepted(), kMouseCommand);
            rig.serial().vanish();
        }
        rig.cycle();
        EXPECT_TRUE(rig.accepted().isEmpty());
        rig.serial().onWrite = nullptr;

        // Still gone: one silent pass over every port and speed.
        const QStringList log = rig.cycle();
        EXPECT_EQ(rig.fakes.log.matching(QStringLiteral("open ")).size(), 20);
        EXPECT_EQ(log.filter(QStringLiteral("failed")).size(), 20);
        EXPECT_TRUE(rig.writes().isEmpty());
        EXPECT_TRUE(rig.fakes.dialogs().boxes.isEmpty()) << rig.fakes.log.joined().toStdString();

        rig.serial().openOnly(1, k19200);
        rig.cycle();
        EXPECT_EQ(rig.writes(), QStringList({"write !", "write !", writeCommand(kMouseCommand), "write S"}));
        EXPECT_EQ(rig.accepted(), kMouseCommand);
    }
}

} // namespace
} // namespace corvane
