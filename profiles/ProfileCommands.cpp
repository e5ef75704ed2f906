#include "profiles/ProfileCommands.h"

#include "platform/ShowError.h"

namespace corvane {

namespace {

const QString kLineBreak = QStringLiteral("\r\n");
const QString kTwoLineBreaks = QStringLiteral("\r\n\r\n");

bool isDefaultName(const QString& name)
{
    return name == kDefaultMouseEmulation || name == kDefaultEulerAngle || name == kDefaultFlightSimulator;
}

} // namespace

ProfileCommands::ProfileCommands(platform::Platform& platform, ProfileStore& store, ProfileView& view)
    : platform_(platform), store_(store), view_(view)
{
    store_.haveFreeFileHandle = [this] { return platform_.process->haveFreeFileHandle(); };
    store_.noFreeFileHandle = [this] {
        platform_.dialogs->message(tr("Corvane was unable to find a free file number!"),
                                   tr("Corvane File Number Error"), platform::Buttons::OkCancel);
        platform_.process->endProgram(1);
    };
}

void ProfileCommands::ReadProfiles()
{
    view_.clearProfileNames();
    store_.readProfiles([this](const QString& name) { view_.addProfileName(name); });
}

bool ProfileCommands::WriteProfiles()
{
    return trapFaults(platform_, [this] { store_.writeProfiles(); });
}

void ProfileCommands::WriteLastProfile()
{
    trapFaults(platform_, [this] { store_.writeLastProfile(); });
}

void ProfileCommands::ApplyProfile(QString name)
{
    trapFaults(platform_, [this, &name] {
        if (name.isEmpty())
            name = kDefaultMouseEmulation;
        ProfileTable& table = store_.table;
        const int count = table.count();
        for (int i = 1; i <= count; ++i) {
            if (table.at(i).name != name)
                continue;
            // Current first, so that each control's change handling stores into this profile.
            table.currentIndex = i;
            view_.showProfile(table.at(i));
            return;
        }
        if (name == kDefaultMouseEmulation) {
            table.currentIndex = 0;
            return;
        }
        view_.setProfileName(kDefaultMouseEmulation);
        if (table.currentIndex == 0)
            createDefaultMouseEmulation(table, store_.lastProfileName);
    });
}

void ProfileCommands::Profile_Combo_Click()
{
    trapFaults(platform_, [this] {
        ProfileTable& table = store_.table;
        if (table.currentIndex <= 0)
            return;
        ApplyProfile(view_.profileName());
        store_.lastProfileName = table.at(table.currentIndex).name;
        WriteLastProfile();
    });
}

void ProfileCommands::Save_Command_Click()
{
    trapFaults(platform_, [this] {
        const auto answer = platform_.dialogs->message(
            tr("This will update the settings file - any changes you made to this profile will be permenant.")
                + kTwoLineBreaks + tr("Do you want to save?"),
            tr("Corvane Save Confirmation"), platform::Buttons::YesNo);
        if (answer == platform::Answer::Yes)
            WriteProfiles();
    });
}

void ProfileCommands::Cancel_Command_Click()
{
    trapFaults(platform_, [this] {
        const auto answer = platform_.dialogs->message(
            tr("This will reload the settings file - any changes you made to this profile will be lost.")
                + kTwoLineBreaks + tr("Do you want to cancel?"),
            tr("Corvane Cancel Confirmation"), platform::Buttons::YesNo);
        if (answer != platform::Answer::Yes)
            return;
        ReadProfiles();
        view_.setProfileName(store_.lastProfileName);
    });
}

void ProfileCommands::SaveAs_Command_Click()
{
    trapFaults(platform_, [this] {
        bool isNew = true;
        const QString answer = platform_.dialogs->input(
            tr("This will update the settings file - a new profile will be created with any changes have you made.")
                + kTwoLineBreaks + tr("Please enter the name of the new profile."),
            tr("Corvane Save As"),
            view_.profileName() + QLatin1Char(' ') + QString::number(view_.profileNames().size()));
        if (answer.isEmpty())
            return;
        if (!fitsTextField(answer)) {
            platform_.dialogs->message(
                tr("The profile name \"%1\" cannot be saved: a name may not contain a double quote "
                   "or a line break, and every character must be one of the Western European "
                   "(Latin-1) set.")
                        .arg(answer)
                    + kTwoLineBreaks + tr("Nothing was saved. Please choose another name."),
                tr("Corvane Save As"), platform::Buttons::Ok);
            return;
        }
        ProfileTable& table = store_.table;
        int target = table.find(answer);
        if (target > 0) {
            const auto confirm = platform_.dialogs->message(
                tr("There is already a profile with this name - any changes you made to this profile will "
                   "be permenant.")
                    + kTwoLineBreaks + tr("Do you want to save?"),
                tr("Corvane Save As Confirmation"), platform::Buttons::YesNo);
            if (confirm != platform::Answer::Yes)
                return;
            isNew = false;
        } else {
            target = table.count() + 1;
        }
        // The file is read again, and the list refilled only once the file
        // is written: when it is not (a message says why), the table, its
        // unsaved edits and the list stay as they were.
        const Profile copy = table.current();
        const ProfileTable before = table;
        QStringList names;
        store_.readProfiles([&names](const QString& name) { names.append(name); });
        if (target > table.upperBound() || table.at(target).name != answer) {
            table.grow();
            target = table.count();
        }
        table.at(target) = copy;
        table.at(target).name = answer;
        if (!WriteProfiles()) {
            table = before;
            return;
        }
        view_.clearProfileNames();
        for (const QString& name : names)
            view_.addProfileName(name);
        if (isNew)
            view_.addProfileName(answer);
        view_.setProfileName(answer);
    });
}

void ProfileCommands::Delete_Command_Click()
{
    trapFaults(platform_, [this] {
        const QString shown = view_.profileName();
        ProfileTable& table = store_.table;
        if (!isDefaultName(shown)) {
            const auto answer = platform_.dialogs->message(
                tr("This will update the settings file - this profile will be permenantly removed from the file.")
                    + kTwoLineBreaks + tr("Do you want to delete?"),
                tr("Corvane Delete Confirmation"), platform::Buttons::YesNo);
            if (answer != platform::Answer::Yes)
                return;
            table.current().name.clear();
            WriteProfiles();
            ReadProfiles();
            view_.setProfileName(kDefaultMouseEmulation);
            return;
        }
        const auto answer = platform_.dialogs->message(
            tr("This will restore the default profile to its original settings.") + kTwoLineBreaks
                + tr("Do you want to delete?"),
            tr("Corvane Delete Confirmation"), platform::Buttons::YesNo);
        if (answer != platform::Answer::Yes)
            return;
        if (shown == kDefaultMouseEmulation)
            createDefaultMouseEmulation(table, store_.lastProfileName);
        else if (shown == kDefaultEulerAngle)
            createDefaultEulerAngle(table, store_.lastProfileName);
        else
            createDefaultFlightSimulator(table, store_.lastProfileName);
        WriteProfiles();
        ReadProfiles();
    });
}

} // namespace corvane
