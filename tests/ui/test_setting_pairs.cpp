// The slider and number-box pairs: how an edit of either side moves the other
// and reaches the current profile.
#include <gtest/gtest.h>

#include "tests/support/FormFixture.h"

#include <QApplication>

#include <tuple>

namespace corvane {
namespace {

using Pair = SettingPair* test::FormControls::*;
using Field = qint32 Profile::*;

using SettingPairs = test::FormTest;

// The slider stands at `value`, the box shows it and the current profile holds it.
SettingPair& standAt(test::FormControls& form, Profile& current, Pair pair, Field field, int value)
{
    (form.*pair)->slider()->setValue(value);
    (form.*pair)->box()->setText(QString::number(value));
    current.*field = value;
    return *(form.*pair);
}

TEST_F(SettingPairs, AnEditOfTheBoxMovesTheSliderWithinItsBoundsAndTheProfileFollows)
{
    // One edit replaces the box's whole content, as a paste does, or types it
    // character by character, which runs the rule after each character. The
    // slider's value is also what the profile holds afterwards. A speed text
    // that is not one whole number is a mismatch: error 13, and nothing changes.
    addCurrent(defaultMouseEmulation());
    // clang-format off
    const struct {
        Pair pair; Field field; int start; const char* typed; int slider; const char* box;
        bool keys = false, mismatch = false;
    } edits[] = {
        {&test::FormControls::LeftRightSmooth, &Profile::leftRightSmooth, 18, "12", 12, "12"},
        {&test::FormControls::UpDownSmooth, &Profile::upDownSmooth, 20, "55", 40, "40"},
        {&test::FormControls::UpDownSmooth, &Profile::upDownSmooth, 40, "56", 40, "56"}, // slider already at the bound
        {&test::FormControls::Magnetic, &Profile::magnetic, 2, "-3", 0, "0"},
        {&test::FormControls::Magnetic, &Profile::magnetic, 2, "-3", 0, "-3", true}, // "-" alone moves the slider to 0
        {&test::FormControls::Jitter, &Profile::jitter, 3, "abc", 0, "abc"}, // number 0 equals the slider: text stays
        {&test::FormControls::DelayMillisecs, &Profile::delayMillisecs, 20, "", 10, "10"},
        {&test::FormControls::Tilt, &Profile::tilt, 4, "2.5", 2, "2"},
        {&test::FormControls::SideSideSmooth, &Profile::sideSideSmooth, 10, "&H10", 16, "&H10"},
        {&test::FormControls::UpDownSpeed, &Profile::upDownSpeed, 5, "7.6", 8, "8"},
        {&test::FormControls::SideSideSpeed, &Profile::sideSideSpeed, 5, "40.0", 40, "40"}, // at the bound: still made whole
        {&test::FormControls::LeftRightSpeed, &Profile::leftRightSpeed, 6, "", 6, "", false, true},
        {&test::FormControls::UpDownSpeed, &Profile::upDownSpeed, 8, "5a", 8, "5a", false, true},
    };
    // clang-format on
    for (const auto& e : edits) {
        SettingPair& pair = standAt(ui, current(), e.pair, e.field, e.start);
        fakes.dialogs().boxes.clear();
        pair.box()->selectAll();
        const QString typed = QString::fromLatin1(e.typed);
        for (const QString& edit : e.keys ? typed.split(QString(), Qt::SkipEmptyParts) : QStringList(typed))
            pair.box()->insert(edit);
        // The slider, the box, the profile and the error reports.
        const auto& boxes = fakes.dialogs().boxes;
        EXPECT_EQ(std::tuple(pair.slider()->value(), pair.box()->text(), current().*e.field, boxes.size()),
                  std::tuple(e.slider, QString::fromLatin1(e.box), e.slider, e.mismatch ? 1 : 0))
            << pair.box()->objectName().toStdString() << " <- \"" << e.typed << '"';
        for (const auto& box : boxes)
            EXPECT_EQ(box.text, test::errorReport(13, QStringLiteral("Type mismatch")));
    }
}

TEST_F(SettingPairs, ArrowAndTrackClicksStepTheSliderAndADraggedThumbCountsOnlyWhenReleased)
{
    addCurrent(defaultMouseEmulation());
    using A = QAbstractSlider::SliderAction;
    // clang-format off
    const struct { Pair pair; Field field; int start; A action; int value; } clicks[] = {
        {&test::FormControls::Magnetic, &Profile::magnetic, 2, A::SliderSingleStepAdd, 3},
        {&test::FormControls::LeftRightSmooth, &Profile::leftRightSmooth, 18, A::SliderPageStepAdd, 23},
        {&test::FormControls::LeftRightSpeed, &Profile::leftRightSpeed, 6, A::SliderPageStepAdd, 16},
        {&test::FormControls::DelayMillisecs, &Profile::delayMillisecs, 30, A::SliderPageStepSub, 20},
    };
    // clang-format on
    for (const auto& c : clicks) {
        SettingPair& pair = standAt(ui, current(), c.pair, c.field, c.start);
        pair.slider()->triggerAction(c.action);
        EXPECT_EQ(std::tuple(pair.slider()->value(), pair.box()->text(), current().*c.field),
                  std::tuple(c.value, QString::number(c.value), c.value))
            << pair.slider()->objectName().toStdString();
    }

    QScrollBar& slider = *standAt(ui, current(), &test::FormControls::UpDownSmooth, &Profile::upDownSmooth, 18)
                              .slider();
    slider.setSliderDown(true);
    slider.setSliderPosition(30);
    const auto boxAndProfile = [this] { return std::tuple(ui.UpDownSmooth->box()->text(), current().upDownSmooth); };
    EXPECT_EQ(boxAndProfile(), std::tuple(QStringLiteral("18"), 18));
    slider.setSliderDown(false);
    EXPECT_EQ(boxAndProfile(), std::tuple(QStringLiteral("30"), 30));
}

TEST_F(SettingPairs, ATextRewrittenWhileTheUserTypesIsSelectedSoTheNextKeyReplacesIt)
{
    addCurrent(defaultMouseEmulation());
    form.show();
    ui.ShowSettings_Command->click();
    form.activateWindow();
    QApplication::processEvents();
    QLineEdit& box = *ui.Magnetic->box();
    box.setFocus();
    box.selectAll();
    box.insert(QStringLiteral("9")); // over the range 0..7: the box is rewritten "7"
    box.insert(QStringLiteral("5"));
    EXPECT_EQ(std::tuple(box.text(), ui.Magnetic->slider()->value()), std::tuple(QStringLiteral("5"), 5));
    // A speed box rewritten with the same whole number is left as typed.
    ui.TabStrip->setCurrentIndex(1);
    QLineEdit& speed = *ui.LeftRightSpeed->box();
    speed.setFocus();
    speed.selectAll();
    QStringList shown;
    for (const QString key : {"1", "7", ".", "6"}) {
        speed.insert(key);
        shown << speed.text();
    }
    // The point is removed and what is left selected, so the 6 replaces it.
    EXPECT_EQ(shown, QStringList({"1", "17", "17", "6"}));
}

} // namespace
} // namespace corvane
