// The help window: its fixed text with the ten sections, in English and
// translated, the read-only text box, the smallest size it snaps back to, and
// closing that only hides it.
#include "ui/HelpText.h"

#include <gtest/gtest.h>

#include "tests/support/FormFixture.h"

#include <QPlainTextEdit>
#include <QTranslator>

namespace corvane {
namespace {

const char* const kTitles[] = {
    "A. CONTENTS",         "B. INSTALLATION",   "C. Starting the Tracker", "D. Changing the Settings",
    "E. Tracker Settings", "F. Mouse Settings", "G. Keyboard Settings",    "H. Other Settings",
    "I. UNINSTALLING",     "J. RELEASE NOTES"};

// The product's name first, then each title between its rule lines and
// blank lines, in this order, and the contents section listing them all.
void expectLayout(const QStringList& lines, const QStringList& titles)
{
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
    const qsizetype contents = lines.indexOf(titles.value(0)) + 3;
    for (qsizetype k = 0; k < titles.size(); ++k)
        EXPECT_EQ(lines.value(contents + k).trimmed(), titles[k]);
}

TEST(HelpText, OpensWithTheProductAndHasTheTenSectionsBetweenRuleLines)
{
    QStringList titles;
    for (const char* title : kTitles)
        titles << QString::fromLatin1(title);
    expectLayout(helpText().split(QStringLiteral("\r\n")), titles);
}

// A translation of the help: the same layout with every title translated, no
// header or body left in English, and lines of at most 80 characters, apart
// from the commands that stay exactly as in English.
void expectTranslatedHelp(QTranslator& translator)
{
    const QString english = helpText();
    QCoreApplication::installTranslator(&translator);
    const QString text = helpText();
    QCoreApplication::removeTranslator(&translator);

    QStringList titles;
    for (const char* title : kTitles) {
        titles << translator.translate("corvane::HelpText", title);
        EXPECT_FALSE(titles.last().isEmpty()) << title;
    }
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    expectLayout(lines, titles);
    const QStringList englishLines = english.split(QStringLiteral("\r\n"));
    for (const QString& line : lines) {
        EXPECT_FALSE(line.contains(u'\r') || line.contains(u'\n')) << line.toStdString();
        EXPECT_TRUE(line.size() <= 80 || englishLines.contains(line)) << line.toStdString();
    }
    // The header, then each body after its title's lower rule.
    const QString rule(80, u'=');
    const QStringList parts = text.split(rule), englishParts = english.split(rule);
    ASSERT_EQ(parts.size(), englishParts.size());
    for (qsizetype k = 0; k < parts.size(); ++k)
        EXPECT_NE(parts[k].section(QString(80, u'-'), -1), englishParts[k].section(QString(80, u'-'), -1))
            << "part " << k << " is still English";
}

TEST(HelpText, GermanKeepsTheLayoutAndTranslatesEveryPiece)
{
    QTranslator german;
    ASSERT_TRUE(german.load(QStringLiteral(":/i18n/corvane_help_de.qm")));
    expectTranslatedHelp(german);
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
