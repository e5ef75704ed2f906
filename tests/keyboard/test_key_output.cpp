// The keyboard stage: each key mode's events as the key output receives them,
// the monitor, the yields between events, and the release of what is held.
#include "engine/EventPump.h"
#include "keyboard/SendMappedKeys.h"

#include <gtest/gtest.h>

#include "tests/support/FormFixture.h"

#include <QTimer>

namespace corvane {
namespace {

struct KeyOutput : testing::FormTest {
    void SetUp() override
    {
        FormTest::SetUp();
        addCurrent(defaultMouseEmulation()).jitter = 3;
    }
    // One stage with the left-right value -5 turning left into `turnLeft`;
    // the events, the monitor and what is left for the pointer.
    QString send(const char* mode, const char* turnLeft)
    {
        current().turnLeftKey = QString::fromLatin1(turnLeft);
        MovementValues values{-5, 4, 0};
        QString cycle;
        fakes.log.clear();
        form.KeyMon_Text->setText(QStringLiteral("before"));
        output.SendMappedKeys(values, cycle, QString::fromLatin1(mode), *form.KeyMon_Text);
        return QStringLiteral("%1 | %2 | %3,%4").arg(fakes.log.joined(), form.KeyMon_Text->text())
            .arg(values.leftRight).arg(values.upDown);
    }

    EventPump pump{fakes.process()};
    KeyboardOutput output{app, pump};
};

TEST_F(KeyOutput, EachModeSendsTheCycleSequenceItsOwnWay)
{
    const struct { const char* mode; const char* turnLeft; const char* result; } rows[] = {
        {"Emulate Keys", "D162D164D083U083U164U162",
         "down 162, down 164, down 83, up 83, up 164, up 162 | D162D164D083U083U164U162 | 0,4"},
        {"Emulate Keys", "D001U001D004U002", // the mouse buttons
         "button down left, button up left, button down middle, button up right | D001U001D004U002 | 0,4"},
        {"Keyboard Event", "D001U001", "down 1, up 1 | D001U001 | 0,4"},
        {"Send Keys", "D160D065U065U160", "down 160, up 160, type A | {LSHIFT}A | 0,4"},
        {"Send Keys", "", " |  | -5,4"},
        {"Send Keys", "D-12", "message \"Corvane\" [OK]: Corvane has encountered the following error:|"
                              "|9 : Subscript out of range -> OK |  | 0,4"},
        {"Bogus", "D065", " | before | 0,4"}, // mapped directions are taken all the same
        {"Disabled", "D065", " | before | -5,4"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(send(row.mode, row.turnLeft), QString::fromUtf8(row.result)) << row.mode << ' ' << row.turnLeft;

    app.recordingActive = true;
    EXPECT_EQ(send("Emulate Keys", "D065"), " | before | 0,0");
}

TEST_F(KeyOutput, TheWindowRunsBetweenKeysAndWhatStaysHeldIsReleasedAtTheEnd)
{
    QTimer::singleShot(0, [this] { fakes.log.add(QStringLiteral("handler")); });
    EXPECT_EQ(send("Emulate Keys", "D065U065"), "down 65, handler, up 65 | D065U065 | 0,4");

    // A byte is all the key event takes: the sequence stops at the code that does not fit.
    EXPECT_EQ(testing::faultOf([this] { send("Keyboard Event", "D066D256"); }), kFaultOverflow);
    EXPECT_EQ(send("Emulate Keys", "D160D001D065U065"), "down 160, button down left, down 65, up 65 | D160D001D065U065 | 0,4");
    EXPECT_EQ(output.held(), "D066D160D001");
    fakes.log.clear();
    output.releaseHeld();
    EXPECT_EQ(fakes.log.joined(), "button up left, up 160, up 66");
    EXPECT_EQ(output.held(), "");
}

} // namespace
} // namespace corvane
