// The help window: its fixed text with the ten sections, the read-only text
// box, the smallest size it snaps back to, and closing that only hides it.
#include "ui/HelpText.h"

#include <gtest/gtest.h>

#include "tests/support/FormFixture.h"

#include <QPlainTextEdit>

namespace corvane {
namespace {

TEST(HelpText, OpensWithTheProductAndHasTheTenSectionsBetweenRuleLines)
{
    const QStringList titles = {
        "A. CONTENTS",         "B. INSTALLATION",   "C. Starting the Tracker", "D. Changing the Settings",
        "E. Tracker Settings", "F. Mouse Settings", "G. Keyboard Settings",    "H. Other Settings",
        "I. UNINSTALLING",     "J. RELEASE NOTES"};
    const QStringList lines = helpText().split(QStringLiteral("\r\n"));
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("Tollan Corvane "))) << lines.first().toStdString();
    QStringList found;
    for (qsizetype i = 2; i + 4 < lines.size(); ++i) {
        if (lines[i] != QString(80, u'='))
            continue;
        found << lines[i + 1];
        // One blank line, the rules around the title, one blank line, text.
        EXPECT_EQ(lines.mid(i - 1, 5), QStringList({{}, lines[i], lines[i + 1], QString(80, u'-'), {}}));
        EXPECT_FALSE(lines[i - 2].isEmpty() || lines[i + 4].isEmpty()) << lines[i + 1].toStdString();
    }
    EXPECT_EQ(found, titles);
    // The contents section lists them all.
    const qsizetype contents = lines.indexOf(titles[0]) + 3;
    for (qsizetype k = 0; k < titles.size(); ++k)
        EXPECT_EQ(lines.value(contents + k).trimmed(), titles[k]);
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
    // clang-format off
    const struct { const char* what; QSize requested, expected; } cases[] = {
        {"first showing", {}, {minW, minH}},
        {"narrower", {minW - 100, minH + 40}, {minW, minH + 40}},
        {"lower", {minW + 60, minH - 1}, {minW + 60, minH}},
        {"both smaller", {200, 150}, {minW, minH}},
        {"larger", {minW + 300, minH + 200}, {minW + 300, minH + 200}},
    };
    // clang-format on
    for (const auto& c : cases) {
        if (c.requested.isValid()) {
            form.resize(c.requested - (form.frameGeometry().size() - form.size()));
            QApplication::processEvents();
        }
        EXPECT_EQ(form.frameGeometry().size(), c.expected) << c.what;
        EXPECT_EQ(box->geometry(), QRect(twipsX(120, form), twipsY(120, form), c.expected.width() - twipsX(360, form),
                                         c.expected.height() - twipsY(750, form)))
            << c.what;
    }

    const QSize size = form.size();
    EXPECT_FALSE(form.close());
    QApplication::processEvents();
    EXPECT_FALSE(form.isVisible());
    for (const char* showing : {"shown again", "shown while visible"}) {
        showAndSettle();
        EXPECT_TRUE(form.isVisible()) << showing;
        EXPECT_EQ(form.size(), size) << showing << ": the first size is taken only once";
    }
}

} // namespace
} // namespace corvane
