#include "profiles/ProfileCommands.h"

#include "ui/KeyBox.h"
#include "ui/MainForm.h"
#include "ui/PickList.h"
#include "ui/SettingPair.h"
#include "ui/ShowError.h"

#include <QLineEdit>

namespace corvane {

namespace {

const QString kLineBreak = QStringLiteral("\r\n");
const QString kTwoLineBreaks = QStringLiteral("\r\n\r\n");

bool isDefaultName(const QString& name)
{
    return name == kDefaultMouseEmulation || name == kDefaultEulerAngle || name == kDefaultFlightSimulator;
}

} // namespace

ProfileCommands::ProfileCommands(AppContext& app, MainForm& form) : app_(app), form_(form)
{
    app_.store.haveFreeFileHandle = [this] { return app_.platform.process->haveFreeFileHandle(); };
    app_.store.noFreeFileHandle = [this] {
        app_.platform.dialogs->message(QStringLiteral("Corvane was unable to find a free file number!"),
                                       QStringLiteral("Corvane File Number Error"), platform::Buttons::OkCancel);
        app_.platform.process->endProgram(1);
    };
}

void ProfileCommands::ReadProfiles()
{
    form_.Profile_Combo->clear();
    app_.store.readProfiles([this](const QString& name) { form_.Profile_Combo->addText(name); });
}

void ProfileCommands::WriteProfiles()
{
    trapFaults(app_, [this] { app_.store.writeProfiles(); });
}

void ProfileCommands::WriteLastProfile()
{
    trapFaults(app_, [this] { app_.store.writeLastProfile(); });
}

void ProfileCommands::ApplyProfile(QString name)
{
    trapFaults(app_, [this, &name] {
        if (name.isEmpty())
            name = kDefaultMouseEmulation;
        ProfileTable& table = app_.store.table;
        const int count = table.count();
        for (int i = 1; i <= count; ++i) {
            if (table.at(i).name != name)
                continue;
            // Current first, so that each control's change handling stores into this profile.
            table.currentIndex = i;
            auto number = [&](qint32 Profile::*field) { return QString::number(table.at(i).*field); };
            form_.Model_Combo->setText(table.at(i).model);
            form_.Location_Combo->setText(table.at(i).location);
            form_.Speed_Combo->setText(table.at(i).speed);
            form_.Mode_Combo->setText(table.at(i).mode);
            form_.Magnetic->box()->setText(number(&Profile::magnetic));
            form_.Jitter->box()->setText(number(&Profile::jitter));
            form_.Tilt->box()->setText(number(&Profile::tilt));
            form_.MouseMode_Combo->setText(table.at(i).mouseMode);
            form_.LeftRightSmooth->box()->setText(number(&Profile::leftRightSmooth));
            form_.UpDownSmooth->box()->setText(number(&Profile::upDownSmooth));
            form_.SideSideSmooth->box()->setText(number(&Profile::sideSideSmooth));
            form_.LeftRightSpeed->box()->setText(number(&Profile::leftRightSpeed));
            form_.UpDownSpeed->box()->setText(number(&Profile::upDownSpeed));
            form_.SideSideSpeed->box()->setText(number(&Profile::sideSideSpeed));
            form_.KeyMode_Combo->setText(table.at(i).keyMode);
            for (int k = 0; k < kMappingCount; ++k) {
                if (auto shown = RenderKeySequence(app_, *form_.keyBoxes[k], table.at(i).*kMappingFields[k]))
                    app_.renderedBoxText[k] = *shown;
            }
            form_.DelayMillisecs->box()->setText(number(&Profile::delayMillisecs));
            return;
        }
        if (name == kDefaultMouseEmulation) {
            table.currentIndex = 0;
            return;
        }
        form_.Profile_Combo->setText(kDefaultMouseEmulation);
        if (table.currentIndex == 0)
            createDefaultMouseEmulation(table, app_.store.lastProfileName);
    });
}

void ProfileCommands::Profile_Combo_Click()
{
    trapFaults(app_, [this] {
        ProfileTable& table = app_.store.table;
        if (table.currentIndex <= 0)
            return;
        ApplyProfile(form_.Profile_Combo->text());
        app_.store.lastProfileName = table.at(table.currentIndex).name;
        WriteLastProfile();
    });
}

void ProfileCommands::Save_Command_Click()
{
    trapFaults(app_, [this] {
        const auto answer = app_.platform.dialogs->message(
            QStringLiteral("This will update the settings file - any changes you made to this profile will be permenant.")
                + kTwoLineBreaks + QStringLiteral("Do you want to save?"),
            QStringLiteral("Corvane Save Confirmation"), platform::Buttons::YesNo);
        if (answer == platform::Answer::Yes)
            WriteProfiles();
    });
}

void ProfileCommands::Cancel_Command_Click()
{
    trapFaults(app_, [this] {
        const auto answer = app_.platform.dialogs->message(
            QStringLiteral("This will reload the settings file - any changes you made to this profile will be lost.")
                + kTwoLineBreaks + QStringLiteral("Do you want to cancel?"),
            QStringLiteral("Corvane Cancel Confirmation"), platform::Buttons::YesNo);
        if (answer != platform::Answer::Yes)
            return;
        ReadProfiles();
        form_.Profile_Combo->setText(app_.store.lastProfileName);
    });
}

void ProfileCommands::SaveAs_Command_Click()
{
    trapFaults(app_, [this] {
        bool isNew = true;
        const QString answer = app_.platform.dialogs->input(
            QStringLiteral("This will update the settings file - a new profile will be created with any changes have you made.")
                + kTwoLineBreaks + QStringLiteral("Please enter the name of the new profile."),
            QStringLiteral("Corvane Save As"),
            form_.Profile_Combo->text() + QLatin1Char(' ') + QString::number(form_.Profile_Combo->count()));
        if (answer.isEmpty())
            return;
        if (!fitsTextField(answer)) {
            app_.platform.dialogs->message(
                QStringLiteral("The profile name \"%1\" cannot be saved: a name may not contain a double quote, "
                               "and every character must be one of the Western European (Latin-1) set.")
                        .arg(answer)
                    + kTwoLineBreaks + QStringLiteral("Nothing was saved. Please choose another name."),
                QStringLiteral("Corvane Save As"), platform::Buttons::Ok);
            return;
        }
        ProfileTable& table = app_.store.table;
        int target = table.find(answer);
        if (target > 0) {
            const auto confirm = app_.platform.dialogs->message(
                QStringLiteral("There is already a profile with this name - any changes you made to this profile will be permenant.")
                    + kTwoLineBreaks + QStringLiteral("Do you want to save?"),
                QStringLiteral("Corvane Save As Confirmation"), platform::Buttons::YesNo);
            if (confirm != platform::Answer::Yes)
                return;
            isNew = false;
        } else {
            target = table.count() + 1;
        }
        const Profile copy = table.current();
        ReadProfiles();
        if (target > table.upperBound() || table.at(target).name != answer) {
            table.grow();
            target = table.count();
        }
        table.at(target) = copy;
        table.at(target).name = answer;
        WriteProfiles();
        if (isNew)
            form_.Profile_Combo->addText(answer);
        form_.Profile_Combo->setText(answer);
    });
}

void ProfileCommands::Delete_Command_Click()
{
    trapFaults(app_, [this] {
        const QString shown = form_.Profile_Combo->text();
        ProfileTable& table = app_.store.table;
        if (!isDefaultName(shown)) {
            const auto answer = app_.platform.dialogs->message(
                QStringLiteral("This will update the settings file - this profile will be permenantly removed from the file.")
                    + kTwoLineBreaks + QStringLiteral("Do you want to delete?"),
                QStringLiteral("Corvane Delete Confirmation"), platform::Buttons::YesNo);
            if (answer != platform::Answer::Yes)
                return;
            table.current().name.clear();
            WriteProfiles();
            ReadProfiles();
            form_.Profile_Combo->setText(kDefaultMouseEmulation);
            return;
        }
        const auto answer = app_.platform.dialogs->message(
            QStringLiteral("This will restore the default profile to its original settings.") + kTwoLineBreaks
                + QStringLiteral("Do you want to delete?"),
            QStringLiteral("Corvane Delete Confirmation"), platform::Buttons::YesNo);
        if (answer != platform::Answer::Yes)
            return;
        if (shown == kDefaultMouseEmulation)
            createDefaultMouseEmulation(table, app_.store.lastProfileName);
        else if (shown == kDefaultEulerAngle)
            createDefaultEulerAngle(table, app_.store.lastProfileName);
        else
            createDefaultFlightSimulator(table, app_.store.lastProfileName);
        WriteProfiles();
        ReadProfiles();
    });
}

} // namespace corvane
