// The tracker link as the engine's cycle drives it: the bytes it writes, the
// set-up and its acknowledgement, the port and speed search, reopening after a
// change of selection and recovery from a device that went away.
#include <gtest/gtest.h>

#include "tests/support/EngineFixture.h"
#include "ui/StatusStrip.h"

#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>

namespace corvane {
namespace {

const QString kMouseCommand = QStringLiteral("!M3,0,A,2,4,1,3");
const QString kEulerCommand = QStringLiteral("!M2,C,B,2,4");

// A started-up engine whose log shows the sleeps between the port lines.
struct Rig : test::EngineRig {
    Rig() { startUp(/*logSleeps=*/true); }
};

QString writeCommand(const QString& command) { return QStringLiteral("write ") + command + QStringLiteral("<CR>"); }

TEST(TrackerLink, OpeningAndReopeningAfterANewPortOrSpeedWriteExactlyTheseBytes)
{
    const auto setUp = [](const char* opened) {
        return QStringList({opened, "sleep 100", "write !", "write !", "sleep 20", writeCommand(kMouseCommand),
                            "sleep 20", "sleep 20", "write !"});
    };
    Rig rig;
    EXPECT_EQ(rig.cycle(), QStringList("sleep 20") + setUp("open COM1 19200,n,8,1"));
    EXPECT_EQ(rig.accepted(), kMouseCommand);
    EXPECT_EQ(rig.cycle(), QStringList("sleep 20")) << "set up: nothing more is written";

    // A new port, then a new speed: the port is closed and opened anew.
    const QStringList reopen = {"sleep 20", "close", "sleep 100"};
    rig.serial().openOnly(2, QStringLiteral("19200,n,8,1"));
    rig.ui().Location_Combo->setText(QStringLiteral("COM 2"));
    EXPECT_EQ(rig.cycle(), reopen + setUp("open COM2 19200,n,8,1"));
    rig.serial().openOnly(2, QStringLiteral("4800,n,8,1"));
    rig.ui().Speed_Combo->setText(QStringLiteral("4800 Kbps"));
    EXPECT_EQ(rig.cycle(), reopen + setUp("open COM2 4800,n,8,1"));
    EXPECT_EQ(rig.accepted(), kMouseCommand);
}

TEST(TrackerLink, OnlyAReplyStartingWithOWithin2000MsConfiguresTheTracker)
{
    // Waits of 20 ms in the cycle: its own, the drains before and after the
    // command and the wait for the reply, which gives up after 101, or when
    // the port is left for another device.
    const struct {
        const char* label;
        QByteArray reply, stale, late;
        qint64 lateAfterMs;
        bool configured;
        int waits;
        bool leaves = false;
    } cases[] = {
        {"a lone O", "O", {}, {}, 0, true, 4},
        {"refused", "NO\r", {}, {}, 0, false, 4},
        {"no answer", {}, {}, {}, 0, false, 104},
        {"an old OK is drained before the command", {}, "OK\r", {}, 0, false, 105},
        {"the first non-empty read is the reply", "N", {}, "OK\r", 20, false, 5},
        {"a late answer within the time", {}, {}, "OK\r", 1000, true, 54},
        {"an answer after 2000 ms", {}, {}, "OK\r", 2100, false, 104},
        {"the port left during the wait", {}, {}, {}, 100, false, 9, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Rig rig;
        rig.serial().ackReply = c.reply;
        rig.serial().receive(c.stale);
        rig.serial().onWrite = [&](const QByteArray& bytes) {
            if ((!c.late.isEmpty() || c.leaves) && bytes.startsWith("!M"))
                rig.clock().at(rig.clock().nowMs() + c.lateAfterMs, [&] {
                    c.leaves ? rig.serial().leave(QStringLiteral("another device")) : rig.serial().receive(c.late);
                });
        };
        EXPECT_EQ(rig.cycle().count(QStringLiteral("sleep 20")), c.waits);
        EXPECT_EQ(rig.accepted(), c.configured ? kMouseCommand : QString());

        // Unconfigured, the set-up is repeated in the next cycle, on the port
        // opened again if it was left; configured, nothing is sent.
        rig.serial().onWrite = nullptr;
        rig.serial().ackReply = "OK\r";
        rig.cycle();
        EXPECT_EQ(rig.writes().contains(writeCommand(kMouseCommand)), !c.configured);
        EXPECT_EQ(rig.accepted(), kMouseCommand);
    }
}

TEST(TrackerLink, AChangedCommandSetsTheTrackerUpAgainInTheNextCycle)
{
    // The tracker mode set up first, then the edits: an item of the mode list
    // (-2: none) and the Magnetic, Tilt and Jitter texts. After them: the
    // command sent (empty: nothing is sent) and the mode that the profile and
    // the mode list show once the tracker has acknowledged it.
    const struct {
        const char* label;
        bool euler;
        int mode;
        const char *magnetic, *tilt, *jitter;
        QString command;
        const char* shown;
    } cases[] = {
        {"Magnetic, Tilt and Jitter", false, -2, "5", "6", "7", "!M3,0,A,5,6,1,7", "Mouse Emulation"},
        {"to Euler Angle", false, 1, "2", "4", "3", kEulerCommand, "Euler Angle"},
        {"no tracker mode chosen", false, -1, "2", "4", "3", kEulerCommand, "Euler Angle"},
        {"Jitter in Euler Angle", true, -2, "2", "4", "7", {}, "Euler Angle"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Rig rig;
        test::FormControls& f = rig.ui();
        if (c.euler)
            f.Mode_Combo->setText(QStringLiteral("Euler Angle"));
        rig.cycle();
        ASSERT_FALSE(rig.accepted().isEmpty());
        rig.clickStart();
        if (c.mode > -2)
            f.Mode_Combo->setCurrentIndex(c.mode);
        for (const auto& [pair, text] : {std::pair{f.Magnetic, c.magnetic}, {f.Tilt, c.tilt}, {f.Jitter, c.jitter}})
            pair->box()->setText(QString::fromLatin1(text));
        rig.cycle();
        EXPECT_EQ(rig.writes(),
                  c.command.isEmpty() ? QStringList() : QStringList({"write !", writeCommand(c.command), "write S"}));
        EXPECT_EQ(std::tuple(rig.accepted(), rig.profile().mode, f.Mode_Combo->text()),
                  std::tuple(rig.engine.link().setupCommand(), c.shown, c.shown))
            << "configured, the mode shown";
    }
}

TEST(TrackerLink, ADeviceGoneIsSearchedForDownTheSpeedsAndOnToTheNextPort)
{
    Rig rig;
    rig.clickStart();
    // Gone in the middle of the set-up: the rest of it neither writes nor reads.
    rig.serial().onWrite = [&](const QByteArray& bytes) {
        if (bytes.startsWith("!M"))
            rig.serial().vanish();
    };
    rig.cycle();
    EXPECT_TRUE(rig.accepted().isEmpty());
    rig.ui().Location_Combo->setText(QStringLiteral("COM 3"));
    rig.ui().Speed_Combo->setText(QStringLiteral("9600 Kbps"));
    const auto attempts = [](int port, const QList<int>& bauds) {
        QStringList out;
        for (const int baud : bauds)
            out << QStringLiteral("open COM%1 %2,n,8,1 failed").arg(port).arg(baud) << QStringLiteral("sleep 100");
        return out;
    };
    const QList<int> speeds = {19200, 9600, 4800, 2400, 1200};

    // A click during the first attempt's wait runs right after the next open.
    rig.clock().at(rig.clock().nowMs() + 50, [&] { rig.fakes.log.add(QStringLiteral("click")); });
    QStringList expected = QStringList("sleep 20") + attempts(3, speeds.mid(1)) + attempts(4, speeds);
    expected.insert(4, QStringLiteral("click"));
    EXPECT_EQ(rig.cycle(), expected);
    EXPECT_TRUE(rig.fakes.dialogs().boxes.isEmpty()) << rig.fakes.log.joined().toStdString();

    // The next pass starts on port 1 at 19200 and stops where a port opens.
    rig.serial().onWrite = nullptr;
    rig.serial().openOnly(2, QStringLiteral("4800,n,8,1"));
    const QStringList log = rig.cycle();
    EXPECT_EQ(log.mid(0, 15), QStringList("sleep 20") + attempts(1, speeds) + attempts(2, speeds.mid(0, 2)));
    EXPECT_EQ(log.mid(15, 3), QStringList({"open COM2 4800,n,8,1", "sleep 100", "write !"}));
    EXPECT_EQ(rig.writes(), QStringList({"write !", "write !", writeCommand(kMouseCommand), "write S"}));
    EXPECT_EQ(std::tuple(rig.accepted(), rig.profile().location, rig.profile().speed),
              std::tuple(kMouseCommand, "COM 2", "4800 Kbps"));
}

// The status line, and the port list's tooltip with each device and why it refused.
TEST(TrackerLink, TheStatusLineAndTheTooltipSayWhereTheLinkStandsAndWhatIsInTheWay)
{
    Rig rig;
    rig.serial().ports = 3;
    rig.serial().openOnly(0, {});
    rig.serial().refusal = QStringLiteral("permission denied; join the dialout group");
    StatusStrip& line = *rig.form().findChild<StatusStrip*>(QStringLiteral("Status_Line"));
    const QString refused = QStringLiteral("COM %1 cannot be opened: permission denied; join the dialout group");
    const QString none = QStringLiteral("COM 4: no device (the system lists 3 serial port(s))");
    const QString searching = QStringLiteral("Searching the ports for the tracker.");
    const auto tooltip = [&] { return describeLink(rig.engine.app()).split(u'\n'); };
    const auto status = [&] {
        rig.cycle();
        return std::pair(line.status().kind, line.toolTip());
    };
    // Every port with a device refuses: the first one's reason, with its fix.
    EXPECT_EQ(status(), std::pair(StatusKind::Problem, refused.arg(1)));
    EXPECT_EQ(tooltip(), QStringList({refused.arg(1), refused.arg(2), refused.arg(3), none, searching}));
    // Ports without a device are only searched.
    rig.serial().ports = 0;
    rig.engine.app().link.refusals.clear();
    EXPECT_EQ(status(),
              std::pair(StatusKind::Searching, QStringLiteral("Searching for the tracker: COM 1 at 19200 bps…")));
    // The refusal of a port goes once it opens; the tracker does not answer, then does.
    rig.serial().ports = 3;
    rig.serial().openOnly(2, QStringLiteral("4800,n,8,1"));
    rig.serial().ackReply.clear();
    EXPECT_EQ(status(), std::pair(StatusKind::Problem, QStringLiteral("COM 2 (/dev/ttyFAKE2) is open at 4800 bps, but "
                                                                      "no tracker answers there; asking again…")));
    EXPECT_EQ(tooltip(), QStringList({refused.arg(1), "COM 2: /dev/ttyFAKE2", refused.arg(3), none,
                                      "COM 2 is open at 4800,n,8,1, waiting for the tracker's answer."}));
    rig.serial().ackReply = "OK\r";
    rig.cycle();
    EXPECT_EQ(status(),
              std::pair(StatusKind::Stopped, QStringLiteral("Tracker on COM 2 (/dev/ttyFAKE2), 4800 bps, stopped")));
    EXPECT_EQ(tooltip().last(), QStringLiteral("The tracker on COM 2 is set up, at 4800,n,8,1."));
    // A click on the line shows the whole diagnosis, which Copy puts on the clipboard.
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&line, &click);
    auto* details = rig.form().findChild<StatusDetails*>();
    ASSERT_TRUE(details && details->isVisible());
    for (const char* part : {"Tracker on COM 2 (/dev/ttyFAKE2), 4800 bps, stopped\n\nThe ports and the link:\nCOM 1",
                             "COM 2: /dev/ttyFAKE2", "The tracker on COM 2 is set up, at 4800,n,8,1.",
                             "Settings folder: ", "Input, as a start now would choose"})
        EXPECT_TRUE(details->text().contains(QLatin1String(part))) << part << " in " << details->text().toStdString();
    details->findChild<QPushButton*>(QStringLiteral("Copy_Command"))->click();
    EXPECT_EQ(QApplication::clipboard()->text(), details->text());
    rig.clickStart();
    EXPECT_EQ(line.status(),
              (Status{StatusKind::Tracking, "Tracking: pointer and keys through the kernel's input devices"}))
        << "at once, not a cycle later";
    // Recording keys that other programs' keys cannot reach says so.
    rig.fakes.platform.input.keys = platform::KeyStateBackend::X11;
    rig.ui().ShowSettings_Command->click();
    rig.ui().keyChecks[0]->setEnabled(true);
    rig.ui().keyChecks[0]->click();
    EXPECT_EQ(status().first, StatusKind::Problem);
    EXPECT_TRUE(line.toolTip().startsWith(QStringLiteral("Keys typed in other programs are not seen")))
        << line.toolTip().toStdString();
    rig.ui().keyChecks[0]->click();

    rig.serial().vanish();
    rig.cycle();
    EXPECT_EQ(tooltip().mid(1, 2) + tooltip().mid(4), QStringList({refused.arg(2), refused.arg(3), searching}));
    EXPECT_EQ(status(),
              std::pair(StatusKind::Problem, QStringLiteral("The tracker was lost (COM 2 has closed: the device "
                                                            "has gone). Searching for the tracker: COM 1 at "
                                                            "19200 bps…")));
    // Nothing can move the pointer: that comes first, with its fix.
    platform::InputChoice input;
    input.nothingMoves = QStringLiteral("Corvane cannot move the pointer.");
    input.uinputFix = QStringLiteral("Why.\n  echo rule | sudo tee file\n  sudo udevadm trigger");
    EXPECT_EQ(statusFor({}, {}, input), (Status{StatusKind::Problem, "The pointer cannot be moved: run echo rule | "
                                                                     "sudo tee file; then sudo udevadm trigger"}));
}

TEST(TrackerLink, WhatChangesWhileTheWindowIsOutOfSightIsNotifiedOnce)
{
    Rig rig;
    const auto notified = [&](int cycles) {
        QStringList lines;
        for (int i = 0; i < cycles; ++i)
            lines += rig.cycle().filter(QRegularExpression(QStringLiteral("^notify ")));
        return lines;
    };
    // While the window can be seen, its status line says it all.
    rig.clickStart();
    EXPECT_EQ(notified(3), QStringList());

    rig.form().hide();
    rig.serial().vanish();
    const QString lost = QStringLiteral("notify Tracker lost: The tracker was lost (COM 1 has closed: the device has "
                                        "gone). Searching for the tracker: COM 1 at 19200 bps… [problem]");
    EXPECT_EQ(notified(3), QStringList(lost)) << "once, though the search goes on";
    rig.serial().openOnly(1, QStringLiteral("19200,n,8,1"));
    EXPECT_EQ(notified(5), QStringList("notify Tracker found again: Tracking: pointer and keys through the kernel's "
                                       "input devices"));
    rig.clock().advance(3000);
    rig.clickStart();
    EXPECT_EQ(rig.fakes.log.matching(QStringLiteral("notify ")).value(0),
              QStringLiteral("notify Tracking stopped: Tracker on COM 1 (/dev/ttyFAKE1), 19200 bps, stopped"));

    // Nothing can move the pointer: said at the next change, once.
    rig.fakes.platform.input.nothingMoves = QStringLiteral("Corvane cannot move the pointer.");
    rig.fakes.platform.input.uinputFix = QStringLiteral("Why.\n  sudo modprobe uinput");
    rig.serial().vanish();
    EXPECT_EQ(notified(3), QStringList("notify Corvane cannot move the pointer: The pointer cannot be moved: run sudo "
                                       "modprobe uinput [problem]"));
}

} // namespace
} // namespace corvane
