// The profile commands against real files in a scratch program folder:
// applying a profile to the window, and Save, Save As, Cancel and Delete.
#include "keyboard/KeyNames.h"
#include "platform/fakes/Fakes.h"
#include "profiles/ProfileCommands.h"
#include "profiles/ProfileFile.h"
#include "ui/KeyBox.h"
#include "ui/MainForm.h"
#include "ui/PickList.h"
#include "ui/SettingPair.h"

#include <gtest/gtest.h>

#include "tests/support/QtTestApp.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>

#include <memory>
#include <ostream>
#include <vector>

void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
void PrintTo(const QByteArray& bytes, std::ostream* os) { *os << '"' << bytes.toStdString() << '"'; }

namespace corvane {

void PrintTo(const Profile& profile, std::ostream* os) { *os << profileLine(profile).toStdString(); }

namespace {

// The application lives from the first test to the last and is gone before
// the process exits, ahead of Qt's own global state.
using platform::Answer;
using platform::Buttons;

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

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

class Commands : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        loadKeyNames();
        form.Form_Load();
        writeFiles({defaultFlightSimulator(), defaultEulerAngle(), defaultMouseEmulation(), racing()}, kRacing);
    }

    void writeFiles(const std::vector<Profile>& profiles, const QString& last)
    {
        ProfileTable table;
        for (const Profile& p : profiles)
            table.at(table.grow()) = p;
        writeBytes(app.store.profilesPath(), profilesFileBytes(table));
        writeBytes(app.store.lastProfilePath(), lastProfileBytes(last));
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
    ProfileTable& table() { return app.store.table; }
    QByteArray profilesFile() const { return fileBytes(app.store.profilesPath()); }
    QByteArray lastFile() const { return fileBytes(app.store.lastProfilePath()); }

    std::vector<Profile> inFile() const
    {
        ProfileTable read;
        readProfilesBytes(profilesFile(), read, {});
        std::vector<Profile> out;
        for (int i = 1; i <= read.count(); ++i)
            out.push_back(read.at(i));
        return out;
    }
    std::vector<Profile> inMemory()
    {
        std::vector<Profile> out;
        for (int i = 1; i <= table().count(); ++i)
            out.push_back(table().at(i));
        return out;
    }

    struct Snapshot {
        QByteArray profiles, last;
        std::vector<Profile> records;
        int current;
        QStringList items;
        QString shown, lastName;
    };
    Snapshot snapshot()
    {
        return {profilesFile(),         lastFile(), inMemory(), table().currentIndex, form.Profile_Combo->items(),
                form.Profile_Combo->text(), app.store.lastProfileName};
    }
    void expectUnchanged(const Snapshot& before)
    {
        const Snapshot now = snapshot();
        EXPECT_EQ(now.profiles, before.profiles);
        EXPECT_EQ(now.last, before.last);
        EXPECT_EQ(now.records, before.records);
        EXPECT_EQ(now.current, before.current);
        EXPECT_EQ(now.items, before.items);
        EXPECT_EQ(now.shown, before.shown);
        EXPECT_EQ(now.lastName, before.lastName);
    }

    QTemporaryDir dir;
    platform::fakes::FakePlatform fakes;
    AppContext app{fakes.platform, dir.path()};
    MainForm form{app};
};

TEST_F(Commands, ApplyProfileShowsEveryFieldInItsControlInOrder)
{
    Profile custom{QStringLiteral("Custom"), QStringLiteral("Ambrel"), QStringLiteral("COM 3"), QStringLiteral("4800 Kbps"),
                   QStringLiteral("Euler Angle"), 5, 6, 1, QStringLiteral("Disabled"), 21, 22, 23, 31, 32, 33,
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
    for (PickList* list : {form.Model_Combo, form.Location_Combo, form.Speed_Combo, form.Mode_Combo,
                           form.MouseMode_Combo, form.KeyMode_Combo})
        QObject::connect(list, &PickList::clicked, list, [=] { note(list); });
    for (QLineEdit* box : form.findChildren<QLineEdit*>())
        QObject::connect(box, &QLineEdit::textChanged, box, [=] { note(box); });
    for (KeyBox* box : form.keyBoxes)
        QObject::connect(box, &QTextEdit::textChanged, box, [=] { note(box); });

    commands().ApplyProfile(QStringLiteral("Custom"));
    EXPECT_EQ(order, QStringList({"Model_Combo", "Location_Combo", "Speed_Combo", "Mode_Combo", "Magnetic_Text",
                                  "Jitter_Text", "Tilt_Text", "MouseMode_Combo", "LeftRightSmooth_Text",
                                  "UpDownSmooth_Text", "SideSideSmooth_Text", "LeftRightSpeed_Text",
                                  "UpDownSpeed_Text", "SideSideSpeed_Text", "KeyMode_Combo", "TurnLeftKey_RichText",
                                  "TurnRightKey_RichText", "LookUpKey_RichText", "LookDownKey_RichText",
                                  "LeanLeftKey_RichText", "LeanRightKey_RichText", "StartKey_RichText",
                                  "StopKey_RichText", "DelayMillisecs_Text"}));

    EXPECT_EQ(table().currentIndex, 2);
    EXPECT_EQ(table().at(2), custom) << "applying changes nothing in the profile";
    EXPECT_EQ(form.Location_Combo->text(), QStringLiteral("COM 3"));
    EXPECT_EQ(form.Speed_Combo->text(), QStringLiteral("4800 Kbps"));
    EXPECT_EQ(form.Mode_Combo->text(), QStringLiteral("Euler Angle"));
    EXPECT_EQ(form.MouseMode_Combo->text(), QStringLiteral("Disabled"));
    EXPECT_EQ(form.KeyMode_Combo->text(), QStringLiteral("Keyboard Event"));
    EXPECT_EQ(app.link.portNumber, 3);
    EXPECT_EQ(app.link.portSettings, QStringLiteral("4800,n,8,1"));
    const struct {
        SettingPair* pair;
        int value;
    } numbers[] = {{form.Magnetic, 5},        {form.Jitter, 6},        {form.Tilt, 1},
                   {form.LeftRightSmooth, 21}, {form.UpDownSmooth, 22}, {form.SideSideSmooth, 23},
                   {form.LeftRightSpeed, 31},  {form.UpDownSpeed, 32},  {form.SideSideSpeed, 33},
                   {form.DelayMillisecs, 70}};
    for (const auto& n : numbers) {
        EXPECT_EQ(n.pair->box()->text(), QString::number(n.value)) << n.pair->box()->objectName().toStdString();
        EXPECT_EQ(n.pair->slider()->value(), n.value) << n.pair->box()->objectName().toStdString();
    }
    const char* const shown[kMappingCount] = {"[A][A]",   "[B][B]",   "[LEFT][LEFT]", "[DOWN][DOWN]",
                                              "[;][;]",   "[[][[]",   "[LCTRL][S][S][LCTRL]", "[F1][F1]"};
    for (int k = 0; k < kMappingCount; ++k) {
        EXPECT_EQ(form.keyBoxes[k]->toPlainText(), QString::fromLatin1(shown[k])) << k;
        EXPECT_EQ(app.renderedBoxText[k], QString::fromLatin1(shown[k])) << k;
    }

    // Applying another profile stores nothing into the one shown before.
    commands().ApplyProfile(kDefaultMouseEmulation);
    EXPECT_EQ(table().at(2), custom);
    EXPECT_EQ(table().at(1), defaultMouseEmulation());
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

struct Declined {
    const char* label;
    const char* select;   // chosen in the list first; nullptr keeps "Racing"
    QPushButton* MainForm::*button;
    const char* typed;    // answer of the Save As input box
    const char* title;    // of the one message box; "" when none is expected
    const char* text;     // exact text; nullptr: the text names the refused answer
    Buttons buttons;
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
    const Snapshot before = snapshot();
    fakes.dialogs().boxes.clear();
    fakes.dialogs().answer(Answer::No);
    if (d.typed)
        fakes.dialogs().type(QString::fromUtf8(d.typed));

    (form.*d.button)->click();

    const auto& boxes = fakes.dialogs().boxes;
    if (*d.title == '\0') {
        EXPECT_TRUE(boxes.isEmpty()) << fakes.log.joined().toStdString();
    } else {
        ASSERT_EQ(boxes.size(), 1) << fakes.log.joined().toStdString();
        EXPECT_EQ(boxes[0].title, QString::fromLatin1(d.title));
        EXPECT_EQ(boxes[0].buttons, d.buttons);
        if (d.text) {
            EXPECT_EQ(boxes[0].text, QString::fromLatin1(d.text));
        } else {
            EXPECT_TRUE(boxes[0].text.contains(QString::fromUtf8(d.typed))) << boxes[0].text.toStdString();
        }
    }
    expectUnchanged(before);
}

INSTANTIATE_TEST_SUITE_P(
    AllCommands, DeclinedCommand,
    ::testing::Values(
        Declined{"Save", nullptr, &MainForm::Save_Command, nullptr, "Corvane Save Confirmation",
                 "This will update the settings file - any changes you made to this profile will be permenant."
                 "\r\n\r\nDo you want to save?",
                 Buttons::YesNo},
        Declined{"Cancel", nullptr, &MainForm::Cancel_Command, nullptr, "Corvane Cancel Confirmation",
                 "This will reload the settings file - any changes you made to this profile will be lost."
                 "\r\n\r\nDo you want to cancel?",
                 Buttons::YesNo},
        Declined{"DeleteUser", nullptr, &MainForm::Delete_Command, nullptr, "Corvane Delete Confirmation",
                 "This will update the settings file - this profile will be permenantly removed from the file."
                 "\r\n\r\nDo you want to delete?",
                 Buttons::YesNo},
        Declined{"DeleteDefault", "Default Euler Angle", &MainForm::Delete_Command, nullptr,
                 "Corvane Delete Confirmation",
                 "This will restore the default profile to its original settings.\r\n\r\nDo you want to delete?",
                 Buttons::YesNo},
        Declined{"SaveAsExisting", nullptr, &MainForm::SaveAs_Command, "Racing", "Corvane Save As Confirmation",
                 "There is already a profile with this name - any changes you made to this profile will be "
                 "permenant.\r\n\r\nDo you want to save?",
                 Buttons::YesNo},
        Declined{"SaveAsCancelled", nullptr, &MainForm::SaveAs_Command, "", "", nullptr, Buttons::Ok},
        Declined{"SaveAsQuote", nullptr, &MainForm::SaveAs_Command, "Fast \"Racing\"", "Corvane Save As", nullptr,
                 Buttons::Ok},
        Declined{"SaveAsNotLatin1", nullptr, &MainForm::SaveAs_Command, "Rennwagen \xce\xa9", "Corvane Save As",
                 nullptr, Buttons::Ok}),
    [](const ::testing::TestParamInfo<Declined>& row) { return std::string(row.param.label); });

TEST_F(Commands, SaveWritesTheUnsavedEditsOfEveryProfile)
{
    start();
    form.Magnetic->slider()->setValue(7);
    form.Profile_Combo->setText(kDefaultEulerAngle);
    form.Tilt->box()->setText(QStringLiteral("1"));
    form.Profile_Combo->setText(kRacing);
    EXPECT_EQ(form.Magnetic->box()->text(), QStringLiteral("7")) << "edits stay with their profile";

    form.Save_Command->click();
    EXPECT_EQ(inFile(), inMemory());
    EXPECT_EQ(inFile().at(3).magnetic, 7);
    EXPECT_EQ(inFile().at(1).tilt, 1);
}

TEST_F(Commands, SaveAsANewNameAppendsTheEditedProfileAndDropsOtherEdits)
{
    start();
    form.Profile_Combo->setText(kDefaultEulerAngle);
    form.Tilt->box()->setText(QStringLiteral("1"));
    form.Profile_Combo->setText(kRacing);
    form.Magnetic->slider()->setValue(7);
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
    Profile saved = racing();
    saved.magnetic = 7;
    saved.name = name;
    const std::vector<Profile> file = inFile();
    ASSERT_EQ(file.size(), 5u);
    EXPECT_EQ(file[3], racing()) << "the original keeps its saved values";
    EXPECT_EQ(file[4], saved);
    EXPECT_EQ(inMemory(), file) << "other profiles' edits are dropped";
    EXPECT_EQ(table().currentIndex, 5);
    EXPECT_EQ(form.Profile_Combo->text(), name);
    EXPECT_EQ(form.Profile_Combo->items(),
              QStringList({"Default Euler Angle", "Default Flight Simulator", "Default Mouse Emulation", "Racing",
                           "Racing Caf\u00e9"}));
    EXPECT_EQ(lastFile(), QByteArray("\"Racing Caf\xe9\"\r\n"));
    EXPECT_EQ(form.Magnetic->box()->text(), QStringLiteral("7"));
}

TEST_F(Commands, SaveAsAnExistingNameOverwritesItInPlace)
{
    start();
    form.Magnetic->slider()->setValue(7);
    const QStringList items = form.Profile_Combo->items();
    fakes.dialogs().type(kRacing);
    fakes.dialogs().answer(Answer::Yes);

    form.SaveAs_Command->click();

    Profile saved = racing();
    saved.magnetic = 7;
    const std::vector<Profile> file = inFile();
    ASSERT_EQ(file.size(), 4u);
    EXPECT_EQ(file[3], saved);
    EXPECT_EQ(table().currentIndex, 4);
    EXPECT_EQ(form.Profile_Combo->items(), items);
    EXPECT_EQ(form.Profile_Combo->text(), kRacing);
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
    EXPECT_EQ(table().at(2), defaultEulerAngle());
    const std::vector<Profile> expected = {defaultFlightSimulator(), defaultEulerAngle(), defaultMouseEmulation(),
                                           racing()};
    EXPECT_EQ(inFile(), expected);
    EXPECT_EQ(form.Profile_Combo->currentIndex(), -1);
    EXPECT_EQ(form.Profile_Combo->text(), QString());
    EXPECT_EQ(form.Profile_Combo->count(), 4);
    EXPECT_EQ(form.Magnetic->box()->text(), QStringLiteral("7")) << "the window keeps the values shown before";
}

TEST_F(Commands, CancelReloadsEveryProfileAndReappliesTheLastOne)
{
    start();
    form.Profile_Combo->setText(kDefaultEulerAngle);
    form.Tilt->slider()->setValue(1);
    form.Profile_Combo->setText(kRacing);
    form.Magnetic->slider()->setValue(7);
    writeBytes(app.store.lastProfilePath(), "\"Racing\"");

    form.Cancel_Command->click();

    EXPECT_EQ(inMemory(), inFile());
    EXPECT_EQ(table().at(4), racing());
    EXPECT_EQ(form.Profile_Combo->text(), kRacing);
    EXPECT_EQ(form.Magnetic->box()->text(), QStringLiteral("5"));
    EXPECT_EQ(lastFile(), QByteArray("\"Racing\"\r\n")) << "the selection rewrites the last-profile file";
}

} // namespace
} // namespace corvane
