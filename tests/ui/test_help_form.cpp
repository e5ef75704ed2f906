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
#include <QRegularExpression>
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

TEST(HelpText, OpensWithNameAndHasTheTenSectionsInOrder)
{
    const QStringList titles = {"A. CONTENTS",         "B. INSTALLATION",   "C. Starting the Tracker",
                                "D. Changing the Settings", "E. Tracker Settings", "F. Mouse Settings",
                                "G. Keyboard Settings", "H. Other Settings", "I. UNINSTALLING",
                                "J. RELEASE NOTES"};
    const QString text = helpText();
    EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("\r(?!\n)|(?<!\r)\n"))))
        << "every line break is carriage return plus line feed";
    EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("[^\\x20-\\x7e\r\n]")))) << "plain ASCII only";
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("Tollan Corvane 1.2"))) << lines.first().toStdString();

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
    // The contents section lists every section by its title.
    QStringList contents;
    for (qsizetype i = ruleAt[0] + 3; i < ruleAt[1]; ++i)
        if (!lines[i].trimmed().isEmpty())
            contents << lines[i].trimmed();
    EXPECT_EQ(contents, titles);
}

class HelpFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        box = form.findChild<QPlainTextEdit*>(QStringLiteral("TextBox"));
        ASSERT_NE(box, nullptr);
    }
    void showAndSettle()
    {
        form.showHelp();
        QApplication::processEvents();
    }
    // Resizes as the user does by dragging the border: the outer size.
    void resizeOuter(QSize outer)
    {
        form.resize(outer - (form.frameGeometry().size() - form.size()));
        QApplication::processEvents();
    }
    // The outer size expected, and the text box following it with margins of 120.
    void expectOuter(QSize outer, const char* what)
    {
        EXPECT_EQ(form.frameGeometry().size(), outer) << what;
        EXPECT_EQ(box->geometry(), QRect(twipsX(120, form), twipsY(120, form), outer.width() - twipsX(360, form),
                                         outer.height() - twipsY(750, form)))
            << what;
    }

    HelpForm form;
    QPlainTextEdit* box = nullptr;
    const int minW = twipsX(7995, form);
    const int minH = twipsY(5460, form);
};

TEST_F(HelpFormTest, TextBoxIsTheOnlyControlAndCannotBeEdited)
{
    EXPECT_EQ(form.objectName(), QStringLiteral("Corvane_HelpForm"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Corvane Information"));
    EXPECT_TRUE(form.isWindow());
    EXPECT_EQ(form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), 1);
    EXPECT_EQ(box->palette().color(QPalette::Base), form.palette().color(QPalette::Button));

    const QString shown = helpText().replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_EQ(box->toPlainText(), shown);
    showAndSettle();
    box->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(box, &press);
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(box, &del);
    EXPECT_EQ(box->toPlainText(), shown);
}

TEST_F(HelpFormTest, FirstShowingTakesTheSmallestSizeThenTheWindowSnapsBackOrTheBoxFollows)
{
    form.resize(900, 700);
    showAndSettle();
    expectOuter({minW, minH}, "first showing");
    const struct { const char* what; QSize requested, expected; } cases[] = {
        {"narrower", {minW - 100, minH + 40}, {minW, minH + 40}},
        {"lower", {minW + 60, minH - 1}, {minW + 60, minH}},
        {"both smaller", {200, 150}, {minW, minH}},
        {"larger", {minW + 300, minH + 200}, {minW + 300, minH + 200}},
        {"back to the smallest", {minW, minH}, {minW, minH}},
    };
    for (const auto& c : cases) {
        resizeOuter(c.requested);
        expectOuter(c.expected, c.what);
    }
}

TEST_F(HelpFormTest, MinimizedWindowLeavesTheBoxAlone)
{
    showAndSettle();
    const QRect before = box->geometry();
    form.setWindowState(Qt::WindowMinimized);
    QApplication::processEvents();
    form.resize(120, 90);
    QApplication::processEvents();
    EXPECT_EQ(box->geometry(), before);
    EXPECT_EQ(form.size(), QSize(120, 90)) << "no snap-back while minimized";
}

TEST_F(HelpFormTest, ClosingOnlyHidesAndKeepsSizeAndScrollPosition)
{
    showAndSettle();
    resizeOuter({minW, minH + 100});
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
