// The main window for the keyboard alone and for screen readers: its Alt
// shortcuts, the pick lists' and the off-window button's accessibility, and
// the key labels' colours against light and dark palettes.
#include <gtest/gtest.h>

#include "tests/support/FormFixture.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QStyle>
#include <QTabBar>
#include <QTextBlock>
#include <QTranslator>

namespace corvane {
namespace {

using WindowAccess = test::FormTest;

// The letter after a caption's "&", or nothing.
QChar mnemonic(const QString& caption)
{
    const auto at = caption.indexOf(u'&');
    return at >= 0 && at + 1 < caption.size() ? caption.at(at + 1).toUpper() : QChar();
}

// The languages the window is checked in: a compiled translation (empty for English).
class Mnemonics : public ::testing::TestWithParam<const char*> {};

TEST_P(Mnemonics, EachShownControlHasAnAltLetterOfItsOwnOnEveryTab)
{
    QTranslator translator;
    if (*GetParam()) {
        ASSERT_TRUE(translator.load(QString::fromLatin1(GetParam())));
        QCoreApplication::installTranslator(&translator);
    }
    test::LoadedForm loaded;
    MainForm& form = loaded.form;
    const test::FormControls& ui = loaded.ui;
    form.show();
    ui.ShowSettings_Command->click();
    for (const bool started : {false, true})
        for (int tab = 0; tab < ui.TabStrip->count(); ++tab) {
            SCOPED_TRACE(testing::Message() << "tab " << tab << (started ? ", started" : ""));
            form.setTrackingStarted(started);
            ui.TabStrip->setCurrentIndex(tab);
            QStringList captions;
            for (int t = 0; t < ui.TabStrip->count(); ++t)
                captions << ui.TabStrip->tabText(t);
            for (const QLabel* label : form.findChildren<QLabel*>())
                if (label->isVisible() && label->buddy())
                    captions << label->text();
            for (const QAbstractButton* button : form.findChildren<QAbstractButton*>())
                if (button->isVisible()
                    && form.rect().intersects(QRect(button->mapTo(&form, QPoint()), button->size())))
                    captions << button->text();
            QHash<QChar, QString> taken;
            for (const QString& caption : captions) {
                const QChar letter = mnemonic(caption);
                EXPECT_FALSE(letter.isNull()) << caption.toStdString() << " has no Alt letter";
                EXPECT_FALSE(taken.contains(letter))
                    << caption.toStdString() << " takes " << letter.toLatin1() << " of " << taken[letter].toStdString();
                taken.insert(letter, caption);
            }
        }
    QCoreApplication::removeTranslator(&translator);
}

INSTANTIATE_TEST_SUITE_P(Languages, Mnemonics, ::testing::Values("", ":/i18n/corvane_window_de.qm"));

TEST_F(WindowAccess, PickListsAreNamedByTheirLabelTellTheirItemAndTheDummyButtonIsHidden)
{
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(ui.Location_Combo);
    ASSERT_NE(list, nullptr);
    ASSERT_NE(list->textInterface(), nullptr);
    // The item chosen, as value and as text.
    const auto told = [&] {
        return std::tuple(list->role(), list->text(QAccessible::Name), list->text(QAccessible::Value),
                          list->textInterface()->text(0, list->textInterface()->characterCount()));
    };
    EXPECT_EQ(told(), std::tuple(QAccessible::ComboBox, QStringLiteral("Location"), QStringLiteral("COM 1"),
                                 QStringLiteral("COM 1")));
    EXPECT_EQ(list->textInterface()->text(2, 4), QStringLiteral("M "));
    ui.Location_Combo->setCurrentIndex(2);
    EXPECT_EQ(told(), std::tuple(QAccessible::ComboBox, QStringLiteral("Location"), QStringLiteral("COM 3"),
                                 QStringLiteral("COM 3")));
    ASSERT_EQ(list->childCount(), 1);
    EXPECT_EQ(list->child(0)->object(), ui.Location_Combo->view());
    EXPECT_EQ(list->indexOfChild(list->child(0)), 0);
    list->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
    EXPECT_TRUE(ui.Location_Combo->view()->isVisible());
    ui.Location_Combo->hidePopup();
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&form);
    QStringList children;
    for (int i = 0; i < window->childCount(); ++i)
        children << window->child(i)->object()->objectName();
    EXPECT_FALSE(children.contains(QStringLiteral("Dummy_Command")));
    EXPECT_EQ(window->indexOfChild(QAccessible::queryAccessibleInterface(ui.Cancel_Command)),
              children.indexOf(QStringLiteral("Cancel_Command")));
    EXPECT_TRUE(children.contains(QStringLiteral("Cancel_Command")));
}

TEST_F(WindowAccess, ControlsAreNamedFromTheirLabelsAndLabelsLeadToThem)
{
    const auto spoken = [](QObject* o) {
        const QAccessibleInterface* a = QAccessible::queryAccessibleInterface(o);
        return (a->text(QAccessible::Name) + u'|' + a->text(QAccessible::Description)).toStdString();
    };
    EXPECT_EQ(spoken(ui.UpDownSpeed->slider()), "Up-down speed|");
    EXPECT_EQ(spoken(ui.Jitter->box()), "Jitter filter value|");
    EXPECT_EQ(spoken(ui.LRMon_Text), "Output monitor: turn|TL / TR: turn left and right");
    EXPECT_EQ(spoken(ui.TabStrip->widget(0)), "Tracker|");
    EXPECT_EQ(ui.Tilt->label()->buddy(), ui.Tilt->slider());
}

TEST_F(WindowAccess, KeyLabelsAreMarkedBesidesColourAndReadableOnLightAndDarkBases)
{
    const QPalette light = QApplication::style()->standardPalette();
    EXPECT_EQ(labelColour(LabelColour::Green, light), QColor(0, 128, 0));
    EXPECT_EQ(labelColour(LabelColour::Red, light), QColor(192, 0, 0));
    for (const QColor base : {light.color(QPalette::Base), QColor(0x2b2b2b), QColor(0x1e1e1e)}) {
        QPalette palette = light;
        palette.setColor(QPalette::Base, base);
        for (const LabelColour colour : {LabelColour::Green, LabelColour::Red})
            EXPECT_GE(contrastRatio(labelColour(colour, palette), base), 4.5) << base.name().toStdString();
    }
    EXPECT_DOUBLE_EQ(contrastRatio(Qt::black, Qt::white), 21.0);

    KeyBox& box = *ui.keyBoxes[0];
    box.appendLabel(QStringLiteral("A"), LabelColour::Green);
    box.appendLabel(QStringLiteral("a"), LabelColour::Red);
    QPalette dark = box.palette();
    dark.setColor(QPalette::Base, QColor(0x1e1e1e));
    box.setPalette(dark);
    QStringList marks;
    for (auto it = box.document()->begin().begin(); !it.atEnd(); ++it) {
        const QTextCharFormat f = it.fragment().charFormat();
        marks << it.fragment().text() + f.foreground().color().name() + (f.fontWeight() == QFont::Bold ? "b" : "")
                     + (f.fontItalic() ? "i" : "");
    }
    EXPECT_EQ(marks, QStringList({"A" + labelColour(LabelColour::Green, dark).name() + "b",
                                  "a" + labelColour(LabelColour::Red, dark).name() + "i"}));
    EXPECT_EQ(box.toPlainText(), QStringLiteral("Aa"));
}

} // namespace
} // namespace corvane
