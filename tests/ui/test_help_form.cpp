// The help window: its fixed text with the ten sections, the read-only text
// box, the smallest size it snaps back to, and closing that only hides it.
#include "ui/HelpForm.h"
#include "ui/HelpText.h"
#include "ui/Twips.h"

#include <gtest/gtest.h>

#include "tests/support/QtTestApp.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>

#include <ostream>
#include <vector>

void PrintTo(const QSize& size, std::ostream* os) { *os << size.width() << "x" << size.height(); }
void PrintTo(const QRect& r, std::ostream* os)
{
    *os << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
}

namespace corvane {
namespace {

TEST(HelpText, HasTheTenSectionsInOrderBetweenRuleLines)
{
    const QStringList titles = {"A. CONTENTS",         "B. INSTALLATION",   "C. Starting the Tracker",
                                "D. Changing the Settings", "E. Tracker Settings", "F. Mouse Settings",
                                "G. Keyboard Settings", "H. Other Settings", "I. UNINSTALLING",
                                "J. RELEASE NOTES"};
    const QStringList lines = helpText().split(QStringLiteral("\r\n"));
    std::vector<qsizetype> ruleAt;
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines[i] == QString(80, u'='))
            ruleAt.push_back(i);
    ASSERT_EQ(ruleAt.size(), std::size_t(titles.size()));
    for (std::size_t s = 0; s < ruleAt.size(); ++s) {
        ASSERT_LT(ruleAt[s] + 2, lines.size());
        EXPECT_EQ(lines[ruleAt[s] + 1], titles[qsizetype(s)]);
        EXPECT_EQ(lines[ruleAt[s] + 2], QString(80, u'-')) << titles[qsizetype(s)].toStdString();
    }
}

TEST(HelpForm, SnapsBackToTheSmallestSizeBoxFollowsAndClosingOnlyHides)
{
    HelpForm form;
    auto* box = form.findChild<QPlainTextEdit*>(QStringLiteral("TextBox"));
    ASSERT_NE(box, nullptr);
    const int minW = twipsX(7995, form);
    const int minH = twipsY(5460, form);
    const auto showAndSettle = [&] {
        form.showHelp();
        QApplication::processEvents();
    };
    form.resize(900, 700);
    showAndSettle();
    // Requested outer size (as by dragging the border), then the outer size expected; the
    // text box follows with margins of 120.
    const struct { const char* what; QSize requested, expected; } cases[] = {
        {"first showing", {}, {minW, minH}},
        {"narrower", {minW - 100, minH + 40}, {minW, minH + 40}},
        {"lower", {minW + 60, minH - 1}, {minW + 60, minH}},
        {"both smaller", {200, 150}, {minW, minH}},
        {"larger", {minW + 300, minH + 200}, {minW + 300, minH + 200}},
        {"smallest width, taller", {minW, minH + 100}, {minW, minH + 100}},
    };
    for (const auto& c : cases) {
        if (c.requested.isValid()) {
            form.resize(c.requested - (form.frameGeometry().size() - form.size()));
            QApplication::processEvents();
        }
        const QSize outer = c.expected;
        EXPECT_EQ(form.frameGeometry().size(), outer) << c.what;
        EXPECT_EQ(box->geometry(), QRect(twipsX(120, form), twipsY(120, form), outer.width() - twipsX(360, form),
                                         outer.height() - twipsY(750, form)))
            << c.what;
    }

    // Typing into the box changes nothing.
    const QString shown = box->toPlainText();
    box->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(box, &press);
    EXPECT_EQ(box->toPlainText(), shown);

    box->verticalScrollBar()->setValue(37);
    box->horizontalScrollBar()->setValue(5);
    ASSERT_EQ(box->horizontalScrollBar()->value(), 5) << "the text is wider than the box";
    const QSize size = form.size();
    QPointer<HelpForm> alive(&form);
    EXPECT_FALSE(form.close());
    QApplication::processEvents();
    ASSERT_TRUE(alive);
    EXPECT_FALSE(form.isVisible());
    for (const char* showing : {"shown again", "shown while visible"}) {
        showAndSettle();
        EXPECT_TRUE(form.isVisible()) << showing;
        EXPECT_EQ(form.size(), size) << showing << ": the first size is taken only once";
        EXPECT_EQ(box->verticalScrollBar()->value(), 37) << showing;
        EXPECT_EQ(box->horizontalScrollBar()->value(), 5) << showing;
    }
}

} // namespace
} // namespace corvane
