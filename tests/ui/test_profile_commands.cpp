// The profile commands against real files in a scratch program folder:
// applying a profile to the window, and Save, Save As, Cancel and Delete.
#include "engine/Translations.h"
#include "keyboard/KeyNames.h"

#include <gtest/gtest.h>

#include "tests/support/FormFixture.h"

#include <tuple>

namespace corvane {
namespace {

const QString kRacing = QStringLiteral("Racing");

Profile racing()
{
    Profile p = defaultFlightSimulator();
    p.name = kRacing;
    return p;
}

class Commands : public test::FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        loadKeyNames();
        ProfileTable written;
        for (const Profile& p : {defaultFlightSimulator(), defaultEulerAngle(), defaultMouseEmulation(), racing()})
            written.at(written.grow()) = p;
        test::writeFile(app.store.profilesPath(), profilesFileBytes(written));
        test::writeFile(app.store.lastProfilePath(), lastProfileBytes(kRacing));
    }

    // The profile steps of start-up, with a last-profile file that names one.
    void start()
    {
        commands().ReadProfiles();
        app.store.readLastProfile();
        ui.Profile_Combo->setText(app.store.lastProfileName);
        commands().ApplyProfile(ui.Profile_Combo->text());
    }

    // After start-up, unsaved edits: Tilt 1 in "Default Euler Angle", chosen
    // after "Default Flight Simulator", then Magnetic 7 in "Racing", which
    // stays selected.
    void startAndEdit()
    {
        start();
        for (const QString& name : {kDefaultFlightSimulator, kDefaultEulerAngle})
            ui.Profile_Combo->setText(name);
        ui.Tilt->box()->setText(QStringLiteral("1"));
        ui.Profile_Combo->setText(kRacing);
        ui.Magnetic->slider()->setValue(7);
    }

    ProfileCommands& commands() { return form.commands(); }
    // Everything a refused command must leave as it was.
    auto snapshot() const
    {
        return std::tuple(profilesFile(), lastFile(), test::records(app.store.table), app.store.table.currentIndex,
                          ui.Profile_Combo->items(), ui.Profile_Combo->text(), app.store.lastProfileName);
    }
    // The profile list's length and selected name, and the current profile's index.
    std::tuple<int, QString, int> selection() const
    {
        return {ui.Profile_Combo->count(), ui.Profile_Combo->text(), app.store.table.currentIndex};
    }
    QByteArray profilesFile() const { return test::readFile(app.store.profilesPath()); }
    QByteArray lastFile() const { return test::readFile(app.store.lastProfilePath()); }
    std::vector<Profile> inFile() const
    {
        ProfileTable read;
        readProfilesBytes(profilesFile(), read, {});
        return test::records(read);
    }
};

TEST_F(Commands, ApplyProfileShowsEveryFieldInItsControl)
{
    // clang-format off
    const Profile custom{"Custom", "Ambrel", "COM 3", "4800 Kbps", "Euler Angle", 5, 6, 1, "Disabled", 21, 22, 23,
                         31, 32, 33, "Keyboard Event", "D065U065", "D066", "D037U037", "D040U040", "D186U186",
                         "D219D-12", "D162D083U083U162", "D112U112", 70};
    // clang-format on
    commands().ReadProfiles();
    table().at(table().grow()) = custom;

    commands().ApplyProfile(QStringLiteral("Custom"));
    // The lean-right sequence holds a negative code: its box keeps what was
    // rendered up to it and the error is reported.
    // clang-format off
    const std::pair<const char*, const char*> shown[] = {
        {"Model_Combo", "Ambrel"}, {"Location_Combo", "COM 3"}, {"Speed_Combo", "4800 Kbps"},
        {"Mode_Combo", "Euler Angle"}, {"Magnetic_Text", "5"}, {"Jitter_Text", "6"}, {"Tilt_Text", "1"},
        {"MouseMode_Combo", "Disabled"}, {"LeftRightSmooth_Text", "21"}, {"UpDownSmooth_Text", "22"},
        {"SideSideSmooth_Text", "23"}, {"LeftRightSpeed_Text", "31"}, {"UpDownSpeed_Text", "32"},
        {"SideSideSpeed_Text", "33"}, {"KeyMode_Combo", "Keyboard Event"}, {"TurnLeftKey_RichText", "[A][A]"},
        {"TurnRightKey_RichText", "[B][B]"}, {"LookUpKey_RichText", "[LEFT][LEFT]"},
        {"LookDownKey_RichText", "[DOWN][DOWN]"}, {"LeanLeftKey_RichText", "[;][;]"},
        {"LeanRightKey_RichText", "[[]"}, {"StartKey_RichText", "[LCTRL][S][S][LCTRL]"},
        {"StopKey_RichText", "[F1][F1]"}, {"DelayMillisecs_Text", "70"}};
    // clang-format on
    for (const auto& [name, text] : shown) {
        const QWidget* control = form.findChild<QWidget*>(QString::fromLatin1(name));
        const char* property = control->inherits("QComboBox") ? "currentText"
                             : control->inherits("QTextEdit") ? "plainText"
                                                              : "text";
        EXPECT_EQ(control->property(property).toString(), text) << name;
    }
    EXPECT_EQ(fakes.dialogs().boxes.size(), 1);
    EXPECT_EQ(fakes.dialogs().boxes.value(0).text, test::errorReport(9, QStringLiteral("Subscript out of range")));
    // The box shows the start of the sequence.
    EXPECT_EQ(ui.keyBoxes[0]->textCursor().position(), 0);
    EXPECT_EQ(table().currentIndex, 5);

    // Applying stores nothing, neither into this profile nor into the one shown before.
    commands().ApplyProfile(kDefaultMouseEmulation);
    EXPECT_EQ(table().at(3), defaultMouseEmulation());
    EXPECT_EQ(table().at(5), custom);
    EXPECT_EQ(ui.keyBoxes[0]->toPlainText(), QString());
}

TEST_F(Commands, ApplyProfileWithAnEmptyOrUnknownNameFallsBackToDefaultMouseEmulation)
{
    // Before any profile is current, an unknown name adds an unsaved default.
    commands().ReadProfiles();
    const QByteArray before = profilesFile();
    commands().ApplyProfile(QStringLiteral("Nobody"));
    EXPECT_EQ(selection(), std::tuple(4, kDefaultMouseEmulation, 5));
    EXPECT_EQ(test::records(table()).back(), defaultMouseEmulation());
    EXPECT_EQ(profilesFile(), before);

    start();
    commands().ApplyProfile({}); // shown, but the list is left as it was
    EXPECT_EQ(selection(), std::tuple(4, kRacing, 3));

    table().at(3).name = QStringLiteral("Renamed");
    commands().ApplyProfile(kDefaultMouseEmulation);
    EXPECT_EQ(table().currentIndex, 0) << "no such profile: none is current";
}

TEST_F(Commands, ADeleteOrSaveAsAnsweredWithNoOrARefusedNameChangesNoFileTableOrSelection)
{
    // The profile chosen first, the button, the answer typed into the Save As
    // box and how the one message box begins, as logged: title, buttons, text.
    // clang-format off
    const struct { const char* select; QPushButton* test::FormControls::*button; const char* typed, *message; } rows[] = {
        {"Default Euler Angle", &test::FormControls::Delete_Command, nullptr,
         "message \"Corvane Delete Confirmation\" [Yes/No]: This will restore the default profile"},
        {"Racing", &test::FormControls::SaveAs_Command, "Racing", "message \"Corvane Save As Confirmation\" [Yes/No]: There is already"},
        {"Racing", &test::FormControls::SaveAs_Command, "", ""},
        {"Racing", &test::FormControls::SaveAs_Command, "Fast \"Racing\"",
         "message \"Corvane Save As\" [OK]: The profile name \"Fast \"Racing\"\" cannot be saved"},
        {"Racing", &test::FormControls::SaveAs_Command, "Rennwagen \xce\xa9",
         "message \"Corvane Save As\" [OK]: The profile name \"Rennwagen \xce\xa9\" cannot be saved"},
    };
    // clang-format on
    start();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.message);
        ui.Profile_Combo->setText(QString::fromLatin1(row.select));
        ui.Magnetic->slider()->setValue(7); // an unsaved edit that a reload would drop
        const auto before = snapshot();
        fakes.log.clear();
        fakes.dialogs().answer(platform::Answer::No);
        if (row.typed)
            fakes.dialogs().type(QString::fromUtf8(row.typed));
        (ui.*row.button)->click();
        const QString logged = fakes.log.matching(QStringLiteral("message")).join(u'\n');
        const QString message = QString::fromUtf8(row.message);
        EXPECT_EQ(message.isEmpty() ? logged : logged.left(message.size()), message);
        EXPECT_EQ(snapshot(), before);
    }
}

// With as many profiles as a reading takes, Save As of a new name says that
// the file cannot hold one more, and the file, the table with its unsaved
// edits and the list stay as they were.
TEST_F(Commands, SaveAsBeyondTheProfilesAReadingTakesIsRefusedWithAMessage)
{
    ProfileTable full;
    // Each name sorts before those listed already: the list takes them fast.
    for (int i = kMaxProfileRecords; i > 0; --i)
        full.at(full.grow()) = {.name = QStringLiteral("P%1").arg(i, 5, 10, QLatin1Char('0')), .magnetic = i};
    test::writeFile(app.store.profilesPath(), profilesFileBytes(full));
    test::writeFile(app.store.lastProfilePath(), lastProfileBytes(QStringLiteral("P00002")));
    start();
    ui.Magnetic->slider()->setValue(7);
    const auto before = snapshot();
    fakes.dialogs().type(QStringLiteral("One more"));
    fakes.dialogs().boxes.clear();
    ui.SaveAs_Command->click();
    ASSERT_EQ(fakes.dialogs().boxes.size(), 1);
    const QString& text = fakes.dialogs().boxes[0].text; // the refusal's own words are the store's to check
    EXPECT_TRUE(text.startsWith(test::errorReport(kFaultFileAccess, "Path/File access error: cannot write Profiles")));
    EXPECT_TRUE(text.contains("(it would hold 10001 profiles")) << text.toStdString();
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(current().magnetic, 7);
}

// Save and choosing a profile never write through a link in the settings
// folder to a file of the user's that is not Corvane's: each says so.
TEST_F(Commands, SaveAndAChoiceLeaveALinkedFileThatIsNotCorvanesAsItWas)
{
    start();
    QTemporaryDir home;
    const QString notes = home.filePath("notes.txt");
    const QByteArray mine = QByteArray("A line of my notes, with a comma\n").repeated(30);
    test::writeFile(notes, mine);
    for (const QString& link : {app.store.profilesPath(), app.store.lastProfilePath()})
        ASSERT_TRUE(QFile::remove(link) && QFile::link(notes, link));
    fakes.dialogs().boxes.clear();
    ui.Save_Command->click();
    ui.Profile_Combo->setText(kDefaultEulerAngle);
    ASSERT_EQ(fakes.dialogs().boxes.size(), 3); // the confirmation, then one error each
    EXPECT_EQ(test::readFile(notes), mine);
    for (const auto& [box, file] : {std::pair(1, kProfilesFileName), {2, kLastProfileFileName}})
        EXPECT_TRUE(fakes.dialogs().boxes[box].text.contains("cannot write " + file + " in the settings folder \""
                                                             + dir.path() + "\" (it is a link to " + notes + ", "));
}

TEST_F(Commands, SaveWritesTheUnsavedEditsOfEveryProfileAndCancelDropsThem)
{
    startAndEdit();
    ui.Profile_Combo->setText(kDefaultEulerAngle);
    ui.Profile_Combo->setText(kRacing);
    EXPECT_EQ(ui.Magnetic->box()->text(), QStringLiteral("7")) << "edits stay with their profile";
    const std::vector<Profile> edited = test::records(table());
    ui.Save_Command->click();
    EXPECT_EQ(inFile(), edited);

    ui.Magnetic->slider()->setValue(6);
    test::writeFile(app.store.lastProfilePath(), "\"Racing\"");
    ui.Cancel_Command->click(); // reloads the file and selects the last profile again
    EXPECT_EQ(test::records(table()), edited);
    EXPECT_EQ(ui.Magnetic->box()->text(), QStringLiteral("7")) << "shown again";
    EXPECT_EQ(lastFile(), QByteArray("\"Racing\"\r\n")) << "the selection rewrites the last-profile file";
}

TEST_F(Commands, SaveAsANewNameAppendsTheEditedProfileAndDropsOtherEdits)
{
    startAndEdit();
    Profile saved = current();
    saved.name = QStringLiteral("Racing Caf\u00e9");
    fakes.dialogs().type(saved.name);
    fakes.log.clear();
    ui.SaveAs_Command->click();
    EXPECT_EQ(fakes.log.lines(),
              QStringList(QStringLiteral("input \"Corvane Save As\" [Racing 4]: This will update the settings file - "
                                         "a new profile will be created with any changes have you made.||Please "
                                         "enter the name of the new profile. -> \"Racing Caf\u00e9\"")));
    const std::vector<Profile> expected = {defaultFlightSimulator(), defaultEulerAngle(), defaultMouseEmulation(),
                                           racing(), saved};
    EXPECT_EQ(inFile(), expected) << "the original keeps its saved values";
    EXPECT_EQ(test::records(table()), expected) << "other profiles' edits are dropped";
    EXPECT_EQ(selection(), std::tuple(5, saved.name, 5));
}

TEST_F(Commands, SaveAsIntoAnEmptyTableAndOverItsFirstProfile)
{
    // Two new names, then the first again, answered Yes. With no profile
    // current, selecting one in the list applies nothing.
    test::writeFile(app.store.profilesPath(), {});
    commands().ReadProfiles();
    for (const char* name : {"1", "2", "1"}) {
        fakes.dialogs().type(QString::fromLatin1(name));
        ui.SaveAs_Command->click();
    }
    QStringList saved;
    for (const Profile& p : inFile())
        saved << p.name;
    EXPECT_EQ(saved, QStringList({"1", "2"}));
    EXPECT_EQ(selection(), std::tuple(2, "1", 0));
}

TEST_F(Commands, DeleteRemovesAUserProfileAndRestoresADefaultInPlace)
{
    start();
    ui.Delete_Command->click(); // "Racing", and Yes
    const std::vector<Profile> expected = {defaultFlightSimulator(), defaultEulerAngle(), defaultMouseEmulation()};
    EXPECT_EQ(inFile(), expected);
    EXPECT_EQ(selection(), std::tuple(3, kDefaultMouseEmulation, 3));

    // A saved and an unsaved edit of a default go; nothing is selected after.
    ui.Profile_Combo->setText(kDefaultEulerAngle);
    ui.Magnetic->slider()->setValue(7);
    ui.Save_Command->click();
    ui.Tilt->slider()->setValue(1);
    ui.Delete_Command->click();
    EXPECT_EQ(inFile(), expected);
    EXPECT_EQ(test::records(table()), expected);
    EXPECT_EQ(selection(), std::tuple(3, QString(), 2));
    EXPECT_EQ(ui.Magnetic->box()->text(), QStringLiteral("7")) << "the window keeps the values shown before";
}

// What a profile saved in a language leaves in the files and shows.
struct SavedIn {
    QString language; // installed
    QByteArray profiles, last;
    QStringList stored, shown; // the five settings' lists
    QString keys;              // the first mapping's box
    QString yes;               // Qt's own Yes button
};

SavedIn saveEditedIn(const QStringList& languages)
{
    const Translations translations(languages); // before the window is made
    test::LoadedForm loaded;
    AppContext& app = loaded.app;
    MainForm& form = loaded.form;
    const test::FormControls& ui = loaded.ui;
    ProfileTable written;
    written.at(written.grow()) = racing();
    test::writeFile(app.store.profilesPath(), profilesFileBytes(written));
    form.commands().ReadProfiles();
    ui.Profile_Combo->setText(kRacing);
    form.commands().ApplyProfile(kRacing);
    const std::pair<PickList*, QString> chosen[] = {{ui.Mode_Combo, kEulerAngle},
                                                    {ui.MouseMode_Combo, kJoystick},
                                                    {ui.KeyMode_Combo, kEmulateKeys},
                                                    {ui.Location_Combo, kLocationItems[2]},
                                                    {ui.Speed_Combo, kSpeedItems[3]}};
    SavedIn saved;
    saved.language = translations.language();
    saved.keys = ui.keyBoxes[0]->toPlainText();
    saved.yes = QCoreApplication::translate("QPlatformTheme", "&Yes");
    for (const auto& [list, item] : chosen) {
        list->setText(item);
        saved.stored << list->text();
        saved.shown << list->currentText();
    }
    ui.Save_Command->click(); // and Yes
    saved.profiles = test::readFile(app.store.profilesPath());
    saved.last = test::readFile(app.store.lastProfilePath());
    return saved;
}

TEST(Languages, TheListsAndKeysShowTheLanguageWhileTheFilesStayAsInEnglish)
{
    const QStringList english = {"Euler Angle", "Joystick", "Emulate Keys", "COM 3", "2400 Kbps"};
    const QStringList german = {"Eulerwinkel", "Joystick", "Tasten emulieren", "COM 3", "2400 kbit/s"};
    struct Case {
        QStringList languages;
        QString installed;
        QStringList shown;
        QString keys;
        QString yes;
    };
    // clang-format off
    const Case cases[] = {
        {{}, "", english, "[LSHIFT][.][.][LSHIFT]", "&Yes"},
        {{"en", "de"}, "", english, "[LSHIFT][.][.][LSHIFT]", "&Yes"},
        {{"fr_FR", "fr", "de_DE", "de"}, "de", german, "[LUMSCHALT][.][.][LUMSCHALT]", "&Ja"},
    };
    // clang-format on
    const SavedIn inEnglish = saveEditedIn({});
    EXPECT_TRUE(inEnglish.profiles.contains("\"COM 3\",\"2400 Kbps\"")) << inEnglish.profiles.constData();
    for (const Case& c : cases) {
        const SavedIn saved = saveEditedIn(c.languages);
        SCOPED_TRACE(qPrintable(c.languages.join(u':')));
        EXPECT_EQ(saved.language, c.installed);
        EXPECT_EQ(saved.shown, c.shown);
        EXPECT_EQ(saved.keys, c.keys);
        EXPECT_EQ(saved.yes, c.yes);
        EXPECT_EQ(saved.stored, english);
        EXPECT_EQ(saved.profiles, inEnglish.profiles);
        EXPECT_EQ(saved.last, inEnglish.last);
    }
    EXPECT_EQ(keyLabel(32), QStringLiteral("[SPACE]")) << "the translators are gone again";
}

} // namespace
} // namespace corvane
