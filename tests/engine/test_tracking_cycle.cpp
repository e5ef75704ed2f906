// The started cycle end to end: tracker data fed into the fake port comes out
// as Output Monitor texts and pointer moves; stopped or unconfigured cycles do
// nothing; an overflowing value ends the loop; the toggle and the shutdown
// talk to the tracker only through an open port.
#include "core/Fault.h"

#include <gtest/gtest.h>

#include "tests/support/EngineFixture.h"

#include <QGroupBox>
#include <QScrollBar>
#include <QTabWidget>

namespace corvane {
namespace {

struct Rig : testing::EngineRig {
    // One cycle sets the tracker up (in Euler Angle mode when asked), then tracking starts.
    void configureAndStart(bool euler = false)
    {
        ASSERT_TRUE(engine.startUp());
        if (euler)
            form().Mode_Combo->setText(QStringLiteral("Euler Angle"));
        engine.cycle();
        ASSERT_FALSE(accepted().isEmpty());
        clickStart();
        ASSERT_EQ(form().Start_Command->text(), QStringLiteral("Stop"));
    }
    // Smoothing and speed per axis, typed into the number boxes.
    void tune(const char* lrSmooth, const char* lrSpeed, const char* udSmooth, const char* udSpeed,
              const char* ssSmooth = "0", const char* ssSpeed = "10")
    {
        MainForm& f = form();
        const std::pair<SettingPair*, const char*> boxes[] = {
            {f.LeftRightSmooth, lrSmooth}, {f.LeftRightSpeed, lrSpeed}, {f.UpDownSmooth, udSmooth},
            {f.UpDownSpeed, udSpeed},      {f.SideSideSmooth, ssSmooth}, {f.SideSideSpeed, ssSpeed}};
        for (const auto& [pair, text] : boxes)
            pair->box()->setText(QString::fromLatin1(text));
    }
    void showMonitor()
    {
        form().ShowSettings_Command->click();
        form().TabStrip->setCurrentIndex(3);
        ASSERT_TRUE(form().Monitor_Frame->isVisible());
    }
    // Feeds bytes to the port and runs one cycle; returns the moves it made.
    QStringList feed(const QByteArray& bytes)
    {
        fakes.serial().receive(bytes);
        fakes.log.clear();
        engine.cycle();
        return fakes.log.matching(QStringLiteral("move "));
    }
    QStringList monitor() { return {form().LRMon_Text->text(), form().UDMon_Text->text(), form().SSMon_Text->text()}; }
};

// An "Euler Angle" packet of three angles, each centred on 16384.
QByteArray eulerPacket(int leftRight, int upDown, int sideSide)
{
    return testing::eulerPacket(leftRight + 16384, upDown + 16384, sideSide + 16384);
}

struct CycleRow {
    QByteArray bytes;
    QStringList monitor; // LR, UD, SS
    QString move;        // empty: the pointer stays
};

void runCycles(Rig& rig, const std::vector<CycleRow>& rows)
{
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(::testing::Message() << "cycle " << i + 1);
        const QStringList moves = rig.feed(rows[i].bytes);
        EXPECT_EQ(rig.monitor(), rows[i].monitor);
        EXPECT_EQ(moves, rows[i].move.isEmpty() ? QStringList() : QStringList(rows[i].move));
    }
}

TEST(TrackingCycle, MouseEmulationMovesByTheSmoothedScaledSumOfThePackets)
{
    Rig rig;
    rig.configureAndStart();
    rig.tune("0", "20", "1", "5"); // left-right doubled; up-down averaged over two cycles and halved
    rig.showMonitor();
    runCycles(rig, {
        {"C0 02 01 ", {"40", "-2", "0"}, "move 40,-2"}, // 20 and (-10 + 0) / 2 / 2 = -2.5, to even
        {"", {"0", "-2", "0"}, "move 0,-2"},            // the last reading still in the average
        {"", {"0", "0", "0"}, ""},
        {"C3 3F 00 C2 00 00 ", {"2540", "0", "0"}, "move 2540,0"}, // -10 + 1280, doubled
        {"C0 01 0", {"0", "0", "0"}, ""},                          // incomplete: kept for the next cycle
        {"1 ", {"20", "-2", "0"}, "move 20,-2"},
    });
    EXPECT_TRUE(rig.engine.receiveBuffer().isEmpty());
}

TEST(TrackingCycle, EulerAngleMovesByTheChangeOfAngleBeyondTheJitterThreshold)
{
    QByteArray damaged = eulerPacket(90, -40, 10);
    damaged[6] = static_cast<char>(damaged[6] + 1);

    Rig rig;
    rig.configureAndStart(/*euler=*/true);
    ASSERT_EQ(rig.form().Jitter->slider()->value(), 3); // threshold 10 * 3 / 8 = 3.75 on both axes
    rig.tune("0", "10", "0", "10", "0", "20");
    rig.showMonitor();
    runCycles(rig, {
        {eulerPacket(100, -50, 7), {"-100", "50", "-14"}, "move -100,50"}, // measured from position 0
        {eulerPacket(98, -50, 7), {"2", "0", "0"}, ""},                    // within the threshold
        {"", {"0", "0", "0"}, ""},                                         // no packet: position kept
        {eulerPacket(90, -40, 10), {"8", "-10", "-6"}, "move 8,-10"},
        {damaged, {"0", "0", "0"}, ""},
        {eulerPacket(50, 0, 1) + eulerPacket(86, -40, 10), {"4", "0", "0"}, "move 4,0"}, // newest packet only
    });
    EXPECT_TRUE(rig.engine.receiveBuffer().isEmpty());
}

TEST(TrackingCycle, StoppedCyclesKeepTheBufferAndReadNothing)
{
    Rig rig;
    rig.configureAndStart();
    rig.tune("0", "10", "0", "10");
    EXPECT_TRUE(rig.feed("C0 02").isEmpty());
    EXPECT_EQ(rig.engine.receiveBuffer(), QByteArray("C0 02"));
    const int index = rig.engine.motion().historyIndex();

    rig.toggleLater();
    ASSERT_EQ(rig.form().Start_Command->text(), QStringLiteral("Start"));
    EXPECT_TRUE(rig.feed(" 01 ").isEmpty());
    EXPECT_EQ(rig.engine.receiveBuffer(), QByteArray("C0 02"));
    EXPECT_EQ(rig.engine.motion().historyIndex(), index);

    rig.toggleLater();
    EXPECT_EQ(rig.feed({}), QStringList("move 20,-10"));
    EXPECT_TRUE(rig.engine.receiveBuffer().isEmpty());
}

TEST(TrackingCycle, AnUnconfiguredTrackerIsNotReadEvenWhenStarted)
{
    Rig rig;
    rig.fakes.serial().ackReply.clear();
    ASSERT_TRUE(rig.engine.startUp());
    rig.clickStart();
    // Data that arrives after the set-up gave up waits in the port.
    rig.fakes.serial().onWrite = [&](const QByteArray& bytes) {
        if (bytes == "S")
            rig.fakes.serial().receive("C0 02 01 ");
    };
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(rig.feed({}).isEmpty());
    EXPECT_TRUE(rig.accepted().isEmpty());
    EXPECT_TRUE(rig.engine.receiveBuffer().isEmpty());
    EXPECT_EQ(rig.engine.motion().historyIndex(), 0);
}

// Each stage that rounds a value runs only when it is on: the monitor while its
// frame is visible, the mouse while its mode is not "Disabled".
TEST(TrackingCycle, AValueBeyond16BitsEndsTheLoopWithAnOverflowReport)
{
    const struct { const char* label; bool monitorShown; const char* mouseMode; bool fault; } cases[] = {
        {"monitor and mouse", true, "Mouse Event", true}, {"monitor only", true, "Disabled", true},
        {"mouse only", false, "Mouse Event", true},       {"neither rounds the value", false, "Disabled", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Rig rig;
        rig.configureAndStart();
        rig.tune("0", "40", "0", "10"); // seven packets of 1280 at speed 40: 35840
        if (c.monitorShown)
            rig.showMonitor();
        rig.form().MouseMode_Combo->setText(QString::fromLatin1(c.mouseMode));
        rig.fakes.serial().receive(QByteArray("C2 00 00 ").repeated(7));
        rig.fakes.clock().at(rig.fakes.clock().nowMs() + 200, [&] { rig.form().close(); });
        rig.fakes.log.clear();

        if (c.fault) {
            rig.engine.runLoop(); // returns only when a fault ended the loop
            ASSERT_EQ(rig.fakes.dialogs().boxes.size(), 1);
            EXPECT_EQ(rig.fakes.dialogs().boxes[0].text, testing::errorReport(6, QStringLiteral("Overflow")));
            EXPECT_TRUE(rig.form().isVisible());
            EXPECT_TRUE(rig.fakes.log.matching(QStringLiteral("move")).isEmpty());
            rig.form().close();
        } else {
            EXPECT_THROW(rig.engine.runLoop(), ProgramEnded);
            EXPECT_TRUE(rig.fakes.dialogs().boxes.isEmpty());
        }
        EXPECT_EQ(rig.lastLines(4), testing::kShutdownLines);
    }
}

TEST(TrackingCycle, TheToggleAndTheShutdownWriteOnlyToAnOpenPort)
{
    for (const bool open : {true, false}) {
        SCOPED_TRACE(open ? "port open" : "port closed");
        Rig rig;
        ASSERT_TRUE(rig.engine.startUp());
        if (open) {
            rig.engine.cycle();
            ASSERT_TRUE(rig.engine.link().portOpen());
        }
        rig.fakes.log.clear();
        rig.clickStart();
        EXPECT_EQ(rig.form().Start_Command->text(), QStringLiteral("Stop"));
        rig.toggleLater();
        EXPECT_EQ(rig.form().Start_Command->text(), QStringLiteral("Start"));
        rig.form().close();
        EXPECT_EQ(rig.fakes.log.lines(), open ? QStringList({"write S", "write !"}) + testing::kShutdownLines
                                              : QStringList("end 0"));
        EXPECT_FALSE(rig.form().isVisible());
    }
}

} // namespace
} // namespace corvane
