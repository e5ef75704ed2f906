// The profile commands against real files in a scratch program folder:
// applying a profile to the window, and Save, Save As, Cancel and Delete.
#include "keyboard/KeyNames.h"
#include "profiles/ProfileCommands.h"
#include "ui/KeyBox.h"
#include "ui/PickList.h"
#include "ui/SettingPair.h"

#include <gtest/gtest.h>

#include "tests/support/FormFixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include <tuple>

namespace corvane {
namespace {

using platform::Answer;
using platform::Buttons;
using testing::readFile;
using testing::records;

const QString kRacing = QStringLiteral("Racing");

Profile racing()
{
    Profile p = defaultFlightSimulator();
    p.name = kRacing;
    p.magnetic = 5;
    p.leftRightSpeed = 12;
    p.leanLeftKey = QStringLiteral("D081U081");
    return p;
}

class Commands : public testing::FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        loadKeyNames();
        writeFiles({defaultFlightSimulator(), defaultEulerAngle(), defaultMouseEmulation(), racing()}, kRacing);
    }

    void writeFiles(const std::vector<Profile>& profiles, const QString& last)
    {
        ProfileTable written;
        for (const Profile& p : profiles)
            written.at(written.grow()) = p;
        testing::writeFile(app.store.profilesPath(), profilesFileBytes(written));
        testing::writeFile(app.store.lastProfilePath(), lastProfileBytes(last));
    }

    // The profile steps of start-up.
    void start()
    {
        commands().ReadProfiles();
        app.store.readLastProfile();
        if (!app.store.lastProfileName.isEmpty())
            form.Profile_Combo->setText(app.store.lastProfileName);
        commands().ApplyProfile(form.Profile_Combo->text());
    }

    ProfileCommands& commands() { return form.commands(); }
    QByteArray profilesFile() const { return readFile(app.store.profilesPath()); }
    QByteArray lastFile() const { return readFile(app.store.lastProfilePath()); }
    std::vector<Profile> inFile() const
    {
        ProfileTable read;
        readProfilesBytes(profilesFile(), read, {});
        return records(read);
    }
    // Files, records, current index, list and selection, last profile name.
    auto snapshot()
    {
        return std::tuple{profilesFile(),           lastFile(),
                          records(table()),         table().currentIndex,
                          form.Profile_Combo->items(), form.Profile_Combo->text(),
                          app.store.lastProfileName};
    }
};

TEST_F(Commands, ApplyProfileShowsEveryFieldInItsControlInOrder)
{
    Profile custom{QStringLiteral("Custom"), QStringLiteral("Ambrel"), QStringLiteral("COM 3"),
                   QStringLiteral("4800 Kbps"), QStringLiteral("Euler Angle"), 5, 6, 1,
                   QStringLiteral("Disabled"), 21, 22, 23, 31, 32, 33,
                   QStringLiteral("Keyboard Event"), QStringLiteral("D065U065"), QStringLiteral("D066"),
                   QStringLiteral("D037U037"), QStringLiteral("D040U040"), QStringLiteral("D186U186"),
                   QStringLiteral("D219U219"), QStringLiteral("D162D083U083U162"), QStringLiteral("D112U112"), 70};
    writeFiles({defaultMouseEmulation(), custom}, {});
    commands().ReadProfiles();

    // Record the first change of each control while the profile is applied.
    QStringList order;
    auto note = [&order](QObject* control) {
        if (!order.contains(control->objectName()))
            order.append(control->objectName());
    };
    for (PickList* list : form.findChildren<PickList*>())
        QObject::connect(list, &PickList::clicked, list, [=] { note(list); });
    for (QLineEdit* box : form.findChildren<QLineEdit*>())
        QObject::connect(box, &QLineEdit::textChanged, box, [=] { note(box); });
    for (KeyBox* box : form.keyBoxes)
        QObject::connect(box, &QTextEdit::textChanged, box, [=] { note(box); });

    commands().ApplyProfile(QStringLiteral("Custom"));
    const std::pair<const char*, const char*> shown[] = {
        {"Model_Combo", "Ambrel"}, {"Location_Combo", "COM 3"}, {"Speed_Combo", "4800 Kbps"},
        {"Mode_Combo", "Euler Angle"}, {"Magnetic_Text", "5"}, {"Jitter_Text", "6"}, {"Tilt_Text", "1"},
        {"MouseMode_Combo", "Disabled"}, {"LeftRightSmooth_Text", "21"}, {"UpDownSmooth_Text", "22"},
        {"SideSideSmooth_Text", "23"}, {"LeftRightSpeed_Text", "31"}, {"UpDownSpeed_Text", "32"},
        {"SideSideSpeed_Text", "33"}, {"KeyMode_Combo", "Keyboard Event"}, {"TurnLeftKey_RichText", "[A][A]"},
        {"TurnRightKey_RichText", "[B][B]"}, {"LookUpKey_RichText", "[LEFT][LEFT]"},
        {"LookDownKey_RichText", "[DOWN][DOWN]"}, {"LeanLeftKey_RichText", "[;][;]"},
        {"LeanRightKey_RichText", "[[][[]"}, {"StartKey_RichText", "[LCTRL][S][S][LCTRL]"},
        {"StopKey_RichText", "[F1][F1]"}, {"DelayMillisecs_Text", "70"}};
    QStringList expectedOrder, expectedTexts, texts;
    for (const auto& [name, text] : shown) {
        expectedOrder << QString::fromLatin1(name);
        expectedTexts << QString::fromLatin1(text);
        const QWidget* control = form.findChild<QWidget*>(QString::fromLatin1(name));
        if (const auto* list = qobject_cast<const PickList*>(control))
            texts << list->text();
        else if (const auto* keys = qobject_cast<const KeyBox*>(control))
            texts << keys->toPlainText();
        else
            texts << control->property("text").toString();
    }
    EXPECT_EQ(order, expectedOrder);
    EXPECT_EQ(texts, expectedTexts);
    EXPECT_EQ(QStringList(app.renderedBoxText.begin(), app.renderedBoxText.end()), expectedTexts.mid(15, 8));
    for (const SettingPair* pair : {form.Magnetic, form.Jitter, form.Tilt, form.LeftRightSmooth, form.UpDownSmooth,
                                    form.SideSideSmooth, form.LeftRightSpeed, form.UpDownSpeed, form.SideSideSpeed,
                                    form.DelayMillisecs})
        EXPECT_EQ(QString::number(pair->slider()->value()), pair->box()->text())
            << pair->box()->objectName().toStdString();
    EXPECT_EQ(table().currentIndex, 2);
    EXPECT_EQ(table().at(2), custom) << "applying changes nothing in the profile";

    // Applying another profile stores nothing into the one shown before.
    commands().ApplyProfile(kDefaultMouseEmulation);
    EXPECT_EQ(records(table()), (std::vector<Profile>{defaultMouseEmulation(), custom}));
    EXPECT_EQ(form.LeftRightSpeed->box()->text(), QStringLiteral("17"));
    EXPECT_EQ(form.keyBoxes[0]->toPlainText(), QString());
    EXPECT_EQ(form.keyBoxes[6]->toPlainText(), QStringLiteral("[LCTRL][RCTRL][S][S][RCTRL][LCTRL]"));
    EXPECT_TRUE(fakes.dialogs().boxes.isEmpty()) << fakes.log.joined().toStdString();
}

TEST_F(Commands, ApplyProfileWithAnEmptyOrUnknownNameFallsBackToDefaultMouseEmulation)
{
    start();
    const int mouseEmulation = table().find(kDefaultMouseEmulation);
    commands().ApplyProfile({});
    EXPECT_EQ(table().currentIndex, mouseEmulation);
    EXPECT_EQ(form.LeftRightSpeed->box()->text(), QStringLiteral("17"));

    commands().ApplyProfile(kRacing);
    commands().ApplyProfile(QStringLiteral("Nobody"));
    EXPECT_EQ(form.Profile_Combo->text(), kDefaultMouseEmulation);
    EXPECT_EQ(table().currentIndex, mouseEmulation);
    EXPECT_EQ(table().count(), 4);
    EXPECT_EQ(lastFile(), QByteArray("\"Default Mouse Emulation\"\r\n"));
}

TEST_F(Commands, AnUnknownNameBeforeAnyProfileIsCurrentAppendsAnUnsavedDefault)
{
    commands().ReadProfiles();
    const QByteArray before = profilesFile();
    commands().ApplyProfile(QStringLiteral("Nobody"));
    EXPECT_EQ(form.Profile_Combo->text(), kDefaultMouseEmulation);
    ASSERT_EQ(table().count(), 5);
    EXPECT_EQ(table().currentIndex, 5);
    EXPECT_EQ(table().at(5), defaultMouseEmulation());
    EXPECT_EQ(profilesFile(), before);

    writeFiles({racing()}, kRacing);
    start();
    commands().ApplyProfile(kDefaultMouseEmulation);
    EXPECT_EQ(table().currentIndex, 0) << "no such profile: none is current";
}

// A command answered with No, or a Save As name refused: one row each.
struct Declined {
    const char* label;
    const char* select; // chosen in the list first; nullptr keeps "Racing"
    QPushButton* MainForm::*button;
    const char* typed; // answer of the Save As input box
    const char* title; // of the one message box; "" when none is expected
    const char* text;  // exact text of a Yes/No box; nullptr: an OK box that names the refused answer
};

void PrintTo(const Declined& row, std::ostream* os) { *os << row.label; }

class DeclinedCommand : public Commands, public ::testing::WithParamInterface<Declined> {};

TEST_P(DeclinedCommand, ChangesNoFileTableOrSelection)
{
    const Declined& d = GetParam();
    start();
    if (d.select)
        form.Profile_Combo->setText(QString::fromLatin1(d.select));
    form.Magnetic->slider()->setValue(7); // an unsaved edit that a reload would drop
    const auto before = snapshot();
    fakes.dialogs().boxes.clear();
    fakes.dialogs().answer(Answer::No);
    if (d.typed)
        fakes.dialogs().type(QString::fromUtf8(d.typed));

    (form.*d.button)->click();

    const auto& boxes = fakes.dialogs().boxes;
    ASSERT_EQ(boxes.size(), *d.title ? 1 : 0) << fakes.log.joined().toStdString();
    if (*d.title) {
        EXPECT_EQ(boxes[0].title, QString::fromLatin1(d.title));
        EXPECT_EQ(boxes[0].buttons, d.text ? Buttons::YesNo : Buttons::Ok);
        if (d.text)
            EXPECT_EQ(boxes[0].text, QString::fromLatin1(d.text));
        else
            EXPECT_TRUE(boxes[0].text.contains(QString::fromUtf8(d.typed))) << boxes[0].text.toStdString();
    }
    EXPECT_EQ(snapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(
    AllCommands, DeclinedCommand,
    ::testing::Values(
        Declined{"Save", nullptr, &MainForm::Save_Command, nullptr, "Corvane Save Confirmation",
                 "This will update the settings file - any changes you made to this profile will be permenant."
                 "\r\n\r\nDo you want to save?"},
        Declined{"Cancel", nullptr, &MainForm::Cancel_Command, nullptr, "Corvane Cancel Confirmation",
                 "This will reload the settings file - any changes you made to this profile will be lost."
                 "\r\n\r\nDo you want to cancel?"},
        Declined{"DeleteUser", nullptr, &MainForm::Delete_Command, nullptr, "Corvane Delete Confirmation",
                 "This will update the settings file - this profile will be permenantly removed from the file."
                 "\r\n\r\nDo you want to delete?"},
        Declined{"DeleteDefault", "Default Euler Angle", &MainForm::Delete_Command, nullptr,
                 "Corvane Delete Confirmation",
                 "This will restore the default profile to its original settings.\r\n\r\nDo you want to delete?"},
        Declined{"SaveAsExisting", nullptr, &MainForm::SaveAs_Command, "Racing", "Corvane Save As Confirmation",
                 "There is already a profile with this name - any changes you made to this profile will be "
                 "permenant.\r\n\r\nDo you want to save?"},
        Declined{"SaveAsCancelled", nullptr, &MainForm::SaveAs_Command, "", "", nullptr},
        Declined{"SaveAsQuote", nullptr, &MainForm::SaveAs_Command, "Fast \"Racing\"", "Corvane Save As", nullptr},
        Declined{"SaveAsNotLatin1", nullptr, &MainForm::SaveAs_Command, "Rennwagen \xce\xa9", "Corvane Save As",
                 nullptr}),
    [](const ::testing::TestParamInfo<Declined>& row) { return std::string(row.param.label); });

// Unsaved edits: Tilt 1 in "Default Euler Angle", then Magnetic 7 in "Racing", which stays selected.
class Edited : public Commands {
protected:
    void SetUp() override
    {
        Commands::SetUp();
        start();
        form.Profile_Combo->setText(kDefaultEulerAngle);
        form.Tilt->box()->setText(QStringLiteral("1"));
        form.Profile_Combo->setText(kRacing);
        form.Magnetic->slider()->setValue(7);
    }
    static Profile racingEdited()
    {
        Profile p = racing();
        p.magnetic = 7;
        return p;
    }
};

TEST_F(Edited, SaveWritesTheUnsavedEditsOfEveryProfile)
{
    form.Profile_Combo->setText(kDefaultEulerAngle);
    form.Profile_Combo->setText(kRacing);
    EXPECT_EQ(form.Magnetic->box()->text(), QStringLiteral("7")) << "edits stay with their profile";

    form.Save_Command->click();
    EXPECT_EQ(inFile(), records(table()));
    EXPECT_EQ(inFile().at(3), racingEdited());
    EXPECT_EQ(inFile().at(1).tilt, 1);
}

TEST_F(Edited, SaveAsANewNameAppendsTheEditedProfileAndDropsOtherEdits)
{
    const QString name = QStringLiteral("Racing Caf\u00e9");
    fakes.dialogs().type(name);
    fakes.log.clear();

    form.SaveAs_Command->click();

    EXPECT_EQ(fakes.log.matching(QStringLiteral("input")),
              QStringList(QStringLiteral("input \"Corvane Save As\" [Racing 4]: This will update the settings file - "
                                         "a new profile will be created with any changes have you made.||Please "
                                         "enter the name of the new profile. -> \"")
                          + name + QLatin1Char('"')));
    EXPECT_TRUE(fakes.log.matching(QStringLiteral("message")).isEmpty());
    Profile saved = racingEdited();
    saved.name = name;
    const std::vector<Profile> expected = {defaultFlightSimulator(), defaultEulerAngle(), defaultMouseEmulation(),
                                           racing(), saved};
    EXPECT_EQ(inFile(), expected) << "the original keeps its saved values";
    EXPECT_EQ(records(table()), expected) << "other profiles' edits are dropped";
    EXPECT_EQ(table().currentIndex, 5);
    EXPECT_EQ(form.Profile_Combo->text(), name);
    EXPECT_EQ(form.Profile_Combo->items(), QStringList({"Default Euler Angle", "Default Flight Simulator",
                                                        "Default Mouse Emulation", "Racing", name}));
    EXPECT_EQ(lastFile(), QByteArray("\"Racing Caf\xe9\"\r\n"));
    EXPECT_EQ(form.Magnetic->box()->text(), QStringLiteral("7"));
}

TEST_F(Edited, SaveAsAnExistingNameOverwritesItInPlace)
{
    const QStringList items = form.Profile_Combo->items();
    fakes.dialogs().type(kRacing);
    fakes.dialogs().answer(Answer::Yes);

    form.SaveAs_Command->click();

    const std::vector<Profile> file = inFile();
    ASSERT_EQ(file.size(), 4u);
    EXPECT_EQ(file[3], racingEdited());
    EXPECT_EQ(file[1], defaultEulerAngle());
    EXPECT_EQ(table().currentIndex, 4);
    EXPECT_EQ(form.Profile_Combo->items(), items);
    EXPECT_EQ(form.Profile_Combo->text(), kRacing);
}

TEST_F(Commands, SaveAsWithNoProfilesCreatesTheFirst)
{
    testing::writeFile(app.store.profilesPath(), {});
    commands().ReadProfiles();
    ASSERT_EQ(table().count(), 0);
    fakes.dialogs().type(kRacing);
    form.SaveAs_Command->click();
    ASSERT_EQ(inFile().size(), 1u);
    EXPECT_EQ(inFile()[0].name, kRacing);
    EXPECT_EQ(form.Profile_Combo->text(), kRacing);
    EXPECT_TRUE(fakes.log.matching(QStringLiteral("message")).isEmpty()) << fakes.log.joined().toStdString();
}

TEST_F(Commands, DeleteOfAUserProfileRemovesItAndSelectsDefaultMouseEmulation)
{
    start();
    form.Delete_Command->click();
    const std::vector<Profile> expected = {defaultFlightSimulator(), defaultEulerAngle(), defaultMouseEmulation()};
    EXPECT_EQ(inFile(), expected);
    EXPECT_EQ(form.Profile_Combo->items(),
              QStringList({"Default Euler Angle", "Default Flight Simulator", "Default Mouse Emulation"}));
    EXPECT_EQ(form.Profile_Combo->text(), kDefaultMouseEmulation);
    EXPECT_EQ(table().currentIndex, 3);
    EXPECT_EQ(form.LeftRightSpeed->box()->text(), QStringLiteral("17"));
    EXPECT_EQ(lastFile(), QByteArray("\"Default Mouse Emulation\"\r\n"));
}

TEST_F(Commands, DeleteOfADefaultRestoresItInPlaceAndLeavesNoSelection)
{
    start();
    form.Profile_Combo->setText(kDefaultEulerAngle);
    form.Magnetic->slider()->setValue(7);
    form.Save_Command->click();
    form.Tilt->slider()->setValue(1);
    ASSERT_EQ(inFile().at(1).magnetic, 7);

    form.Delete_Command->click();

    EXPECT_EQ(table().currentIndex, 2);
    const std::vector<Profile> expected = {defaultFlightSimulator(), defaultEulerAngle(), defaultMouseEmulation(),
                                           racing()};
    EXPECT_EQ(inFile(), expected);
    EXPECT_EQ(records(table()), expected);
    EXPECT_EQ(form.Profile_Combo->currentIndex(), -1);
    EXPECT_EQ(form.Profile_Combo->text(), QString());
    EXPECT_EQ(form.Profile_Combo->count(), 4);
    EXPECT_EQ(form.Magnetic->box()->text(), QStringLiteral("7")) << "the window keeps the values shown before";
}

TEST_F(Edited, CancelReloadsEveryProfileAndReappliesTheLastOne)
{
    testing::writeFile(app.store.lastProfilePath(), "\"Racing\"");

    form.Cancel_Command->click();

    EXPECT_EQ(records(table()), inFile());
    EXPECT_EQ(table().at(4), racing());
    EXPECT_EQ(table().at(2), defaultEulerAngle());
    EXPECT_EQ(form.Profile_Combo->text(), kRacing);
    EXPECT_EQ(form.Magnetic->box()->text(), QStringLiteral("5"));
    EXPECT_EQ(lastFile(), QByteArray("\"Racing\"\r\n")) << "the selection rewrites the last-profile file";
}

} // namespace
} // namespace corvane
