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
#include <QTextDocument>

#include <ostream>
#include <vector>

void PrintTo(const QSize& size, std::ostream* os)
{
    *os << size.width() << "x" << size.height();
}

void PrintTo(const QRect& rect, std::ostream* os)
{
    *os << rect.x() << "," << rect.y() << " " << rect.width() << "x" << rect.height();
}

namespace corvane {
namespace {

const char* const kTitles[] = {
    "A. CONTENTS",       "B. INSTALLATION",  "C. Starting the Tracker", "D. Changing the Settings",
    "E. Tracker Settings", "F. Mouse Settings", "G. Keyboard Settings", "H. Other Settings",
    "I. UNINSTALLING",   "J. RELEASE NOTES",
};

TEST(HelpText, OpensWithNameAndHasTheTenSectionsInOrder)
{
    const QString text = helpText();
    EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("\r(?!\n)|(?<!\r)\n"))))
        << "every line break is carriage return plus line feed";
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("Tollan Corvane 1.2"))) << lines.first().toStdString();

    const QString doubleRule(80, QLatin1Char('='));
    const QString singleRule(80, QLatin1Char('-'));
    std::vector<qsizetype> ruleAt;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        EXPECT_LE(lines[i].size(), 80) << "line " << i + 1;
        for (const QChar c : lines[i])
            EXPECT_TRUE(c.unicode() >= 0x20 && c.unicode() < 0x7f) << "line " << i + 1 << " is not plain ASCII";
        if (lines[i] == doubleRule)
            ruleAt.push_back(i);
    }

    ASSERT_EQ(ruleAt.size(), std::size(kTitles));
    for (std::size_t s = 0; s < ruleAt.size(); ++s) {
        const qsizetype at = ruleAt[s];
        ASSERT_LT(at + 2, lines.size());
        EXPECT_EQ(lines[at + 1], QLatin1String(kTitles[s]));
        EXPECT_EQ(lines[at + 2], singleRule) << kTitles[s];
    }

    // The contents section lists every section by its title.
    QStringList contents;
    for (qsizetype i = ruleAt[0] + 3; i < ruleAt[1]; ++i)
        if (!lines[i].trimmed().isEmpty())
            contents << lines[i].trimmed();
    QStringList titles;
    for (const char* title : kTitles)
        titles << QLatin1String(title);
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

    int px(int twips) const { return twipsY(twips, form); }
    int pxX(int twips) const { return twipsX(twips, form); }

    HelpForm form;
    QPlainTextEdit* box = nullptr;
};

TEST_F(HelpFormTest, TextBoxIsTheOnlyControlAndCannotBeEdited)
{
    EXPECT_EQ(form.objectName(), QStringLiteral("Corvane_HelpForm"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Corvane Information"));
    EXPECT_TRUE(form.isWindow());
    EXPECT_EQ(form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), 1);

    EXPECT_EQ(box->toPlainText(), helpText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    EXPECT_EQ(box->document()->blockCount(), helpText().split(QStringLiteral("\r\n")).size());
    EXPECT_EQ(box->palette().color(QPalette::Base), form.palette().color(QPalette::Button));

    showAndSettle();
    box->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(box, &press);
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(box, &del);
    EXPECT_EQ(box->toPlainText(), helpText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

TEST_F(HelpFormTest, FirstShowingTakesTheSmallestSize)
{
    form.resize(900, 700);
    showAndSettle();
    EXPECT_EQ(form.frameGeometry().size(), QSize(pxX(7995), px(5460)));
    EXPECT_EQ(box->geometry(), QRect(pxX(120), px(120), pxX(7995) - pxX(360), px(5460) - px(750)));
}

TEST_F(HelpFormTest, WindowSnapsBackOrBoxFollows)
{
    showAndSettle();
    const int minW = pxX(7995);
    const int minH = px(5460);
    struct Case {
        const char* what;
        QSize requested;
        QSize expected;
    };
    const Case cases[] = {
        {"narrower", {minW - 100, minH + 40}, {minW, minH + 40}},
        {"lower", {minW + 60, minH - 1}, {minW + 60, minH}},
        {"both smaller", {200, 150}, {minW, minH}},
        {"larger", {minW + 300, minH + 200}, {minW + 300, minH + 200}},
        {"back to the smallest", {minW, minH}, {minW, minH}},
    };
    for (const Case& c : cases) {
        resizeOuter(c.requested);
        EXPECT_EQ(form.frameGeometry().size(), c.expected) << c.what;
        EXPECT_EQ(box->geometry(),
                  QRect(pxX(120), px(120), c.expected.width() - pxX(360), c.expected.height() - px(750)))
            << c.what;
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
    resizeOuter({pxX(7995), px(5460) + 100});
    box->verticalScrollBar()->setValue(37);
    box->horizontalScrollBar()->setValue(5);
    ASSERT_EQ(box->horizontalScrollBar()->value(), 5) << "the text is wider than the box";
    const QSize size = form.size();

    QPointer<HelpForm> alive(&form);
    EXPECT_FALSE(form.close());
    QApplication::processEvents();
    ASSERT_TRUE(alive);
    EXPECT_FALSE(form.isVisible());

    form.showHelp();
    QApplication::processEvents();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.size(), size) << "the first size is taken only once";
    EXPECT_EQ(box->verticalScrollBar()->value(), 37);
    EXPECT_EQ(box->horizontalScrollBar()->value(), 5);

    form.showHelp();
    QApplication::processEvents();
    EXPECT_EQ(form.size(), size);
    EXPECT_EQ(box->verticalScrollBar()->value(), 37);
}

} // namespace
} // namespace corvane
