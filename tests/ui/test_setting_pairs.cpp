// The slider and number-box pairs: how an edit of either side moves the other
// and reaches the current profile.
#include "profiles/ProfileCommands.h"
#include "ui/SettingPair.h"

#include <gtest/gtest.h>

#include "tests/support/FormFixture.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>

#include <utility>

namespace corvane {
namespace {

using Pair = SettingPair* MainForm::*;
using Field = qint32 Profile::*;

// The profile field that each pair edits.
Field fieldOf(Pair pair)
{
    const std::pair<Pair, Field> fields[] = {
        {&MainForm::Magnetic, &Profile::magnetic},           {&MainForm::Jitter, &Profile::jitter},
        {&MainForm::Tilt, &Profile::tilt},                   {&MainForm::LeftRightSmooth, &Profile::leftRightSmooth},
        {&MainForm::UpDownSmooth, &Profile::upDownSmooth},   {&MainForm::SideSideSmooth, &Profile::sideSideSmooth},
        {&MainForm::LeftRightSpeed, &Profile::leftRightSpeed}, {&MainForm::UpDownSpeed, &Profile::upDownSpeed},
        {&MainForm::SideSideSpeed, &Profile::sideSideSpeed}, {&MainForm::DelayMillisecs, &Profile::delayMillisecs},
    };
    for (const auto& [p, f] : fields)
        if (p == pair)
            return f;
    ADD_FAILURE() << "unknown pair";
    return &Profile::magnetic;
}

class SettingPairs : public testing::FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        addCurrent(defaultMouseEmulation());
    }

    qint32 stored(Pair pair) { return current().*fieldOf(pair); }

    // The slider stands at `value`, the box shows it and the profile holds it.
    void standAt(Pair pair, int value)
    {
        (form.*pair)->slider()->setValue(value);
        (form.*pair)->box()->setText(QString::number(value));
        current().*fieldOf(pair) = value;
    }

    // One edit of the box: its whole content replaced, as by a paste.
    static void paste(SettingPair& pair, const QString& text)
    {
        pair.box()->selectAll();
        pair.box()->insert(text);
    }
};

TEST_F(SettingPairs, AnEditOfTheBoxMovesTheSliderWithinItsBoundsAndTheProfileFollows)
{
    // The slider's value is also what the profile holds afterwards. A speed text
    // that is not one whole number is a mismatch: error 13, and nothing changes.
    const struct {
        Pair pair;
        int start;
        const char* typed;
        int slider;
        const char* box;
        bool mismatch = false;
    } edits[] = {
        {&MainForm::LeftRightSmooth, 18, "12", 12, "12"},
        {&MainForm::UpDownSmooth, 20, "55", 40, "40"},
        {&MainForm::UpDownSmooth, 40, "56", 40, "56"}, // slider already at the bound
        {&MainForm::Magnetic, 2, "-3", 0, "0"},
        {&MainForm::Jitter, 3, "abc", 0, "abc"}, // number 0 equals the slider: text stays
        {&MainForm::Jitter, 3, "5a", 5, "5a"},
        {&MainForm::Magnetic, 2, "1 2", 7, "7"},
        {&MainForm::DelayMillisecs, 20, "", 10, "10"},
        {&MainForm::DelayMillisecs, 20, "250", 100, "100"},
        {&MainForm::Tilt, 4, "2.5", 2, "2"},
        {&MainForm::Tilt, 2, "3.5", 4, "4"},
        {&MainForm::SideSideSmooth, 10, "&H10", 16, "&H10"}, // its number equals the slider
        {&MainForm::LeftRightSpeed, 6, "07", 7, "7"},
        {&MainForm::LeftRightSpeed, 6, "7.6", 8, "8"},
        {&MainForm::UpDownSpeed, 5, "55", 40, "40"},
        {&MainForm::UpDownSpeed, 5, "40.0", 40, "40"}, // at the bound: still made whole
        {&MainForm::SideSideSpeed, 5, "-3", 0, "0"},
        {&MainForm::SideSideSpeed, 5, " 12 ", 12, "12"},
        {&MainForm::LeftRightSpeed, 6, "", 6, "", true},
        {&MainForm::UpDownSpeed, 8, "5a", 8, "5a", true},
        {&MainForm::SideSideSpeed, 5, "1-", 5, "1-", true},
    };
    for (const auto& e : edits) {
        SettingPair& pair = *(form.*e.pair);
        standAt(e.pair, e.start);
        fakes.dialogs().boxes.clear();
        paste(pair, QString::fromLatin1(e.typed));
        SCOPED_TRACE(pair.box()->objectName().toStdString() + " <- \"" + e.typed + "\"");
        EXPECT_EQ(pair.slider()->value(), e.slider);
        EXPECT_EQ(pair.box()->text(), QString::fromLatin1(e.box));
        EXPECT_EQ(stored(e.pair), e.slider);
        const auto& boxes = fakes.dialogs().boxes;
        ASSERT_EQ(boxes.size(), e.mismatch ? 1 : 0) << fakes.log.joined().toStdString();
        if (e.mismatch) {
            EXPECT_EQ(boxes[0].text, testing::errorReport(13, QStringLiteral("Type mismatch")));
            EXPECT_EQ(boxes[0].buttons, platform::Buttons::Ok);
        }
    }
}

TEST_F(SettingPairs, TypingKeyByKeyRunsTheRuleAfterEveryKeystroke)
{
    standAt(&MainForm::Magnetic, 2);
    form.Magnetic->box()->selectAll();
    const std::pair<Qt::Key, const char*> keys[] = {{Qt::Key_Minus, "-"}, {Qt::Key_3, "3"}};
    QString typed;
    for (const auto& [key, text] : keys) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString::fromLatin1(text));
        QCoreApplication::sendEvent(form.Magnetic->box(), &press);
        typed += QString::fromLatin1(text);
        EXPECT_EQ(form.Magnetic->box()->text(), typed);
        EXPECT_EQ(form.Magnetic->slider()->value(), 0) << typed.toStdString();
        EXPECT_EQ(current().magnetic, 0) << typed.toStdString();
    }
}

TEST_F(SettingPairs, ArrowAndTrackClicksMoveTheSliderAndTheBoxAndProfileFollow)
{
    using A = QAbstractSlider::SliderAction;
    const struct { Pair pair; int start; A action; int value; } clicks[] = {
        {&MainForm::Magnetic, 2, A::SliderSingleStepAdd, 3},    {&MainForm::Tilt, 4, A::SliderPageStepSub, 3},
        {&MainForm::LeftRightSmooth, 18, A::SliderPageStepAdd, 23},
        {&MainForm::UpDownSmooth, 38, A::SliderPageStepAdd, 40},
        {&MainForm::LeftRightSpeed, 6, A::SliderPageStepAdd, 16},
        {&MainForm::DelayMillisecs, 20, A::SliderPageStepSub, 10},
        {&MainForm::DelayMillisecs, 95, A::SliderSingleStepAdd, 96},
    };
    for (const auto& c : clicks) {
        SettingPair& pair = *(form.*c.pair);
        standAt(c.pair, c.start);
        pair.slider()->triggerAction(c.action);
        SCOPED_TRACE(pair.slider()->objectName().toStdString());
        EXPECT_EQ(pair.slider()->value(), c.value);
        EXPECT_EQ(pair.box()->text(), QString::number(c.value));
        EXPECT_EQ(stored(c.pair), c.value);
    }
}

TEST_F(SettingPairs, ADraggedThumbChangesNothingUntilReleased)
{
    QScrollBar& slider = *form.LeftRightSmooth->slider();
    standAt(&MainForm::LeftRightSmooth, 18);
    slider.setSliderDown(true);
    slider.setSliderPosition(30);
    EXPECT_EQ(form.LeftRightSmooth->box()->text(), QStringLiteral("18"));
    EXPECT_EQ(current().leftRightSmooth, 18);
    slider.setSliderDown(false);
    EXPECT_EQ(form.LeftRightSmooth->box()->text(), QStringLiteral("30"));
    EXPECT_EQ(current().leftRightSmooth, 30);
}

TEST_F(SettingPairs, WithNoCurrentProfileTheValueLandsInRecordZero)
{
    const Profile before = table().at(1);
    table().currentIndex = 0;
    paste(*form.Magnetic, QStringLiteral("5"));
    EXPECT_EQ(form.Magnetic->slider()->value(), 5);
    EXPECT_EQ(table().at(0).magnetic, 5);
    EXPECT_EQ(table().at(1), before);
    EXPECT_EQ(table().count(), 1);
}

TEST_F(SettingPairs, ApplyingADelayBelowTheMinimumDependsOnWhereTheSliderStands)
{
    Profile slow = defaultMouseEmulation();
    slow.name = QStringLiteral("Slow");
    slow.delayMillisecs = 5;
    ProfileTable& table = app.store.table;
    table.at(table.grow()) = slow;

    const struct { int sliderBefore; const char* box; int stored; } cases[] = {{10, "5", 5}, {40, "10", 10}};
    for (const auto& c : cases) {
        table.currentIndex = 1;
        standAt(&MainForm::DelayMillisecs, c.sliderBefore);
        table.at(2).delayMillisecs = 5;
        form.commands().ApplyProfile(QStringLiteral("Slow"));
        SCOPED_TRACE(c.sliderBefore);
        EXPECT_EQ(table.currentIndex, 2);
        EXPECT_EQ(form.DelayMillisecs->box()->text(), QString::fromLatin1(c.box));
        EXPECT_EQ(form.DelayMillisecs->slider()->value(), 10);
        EXPECT_EQ(table.at(2).delayMillisecs, c.stored);
        EXPECT_EQ(table.at(1).delayMillisecs, c.sliderBefore) << "the profile shown before keeps its value";
    }
}

} // namespace
} // namespace corvane
