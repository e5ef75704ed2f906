#pragma once
// What the user does with profiles: choose one in the profile list, and Save,
// Save As, Cancel or Delete. ApplyProfile makes a profile current and shows it.
#include "ui/AppContext.h"

#include <QString>

namespace corvane {

class MainForm;

class ProfileCommands {
public:
    ProfileCommands(AppContext& app, MainForm& form);

    void ApplyProfile(QString name);
    void Profile_Combo_Click();
    void Save_Command_Click();
    void SaveAs_Command_Click();
    void Cancel_Command_Click();
    void Delete_Command_Click();

    // The file routines as the window uses them: reading refills the profile
    // list; writing reports a failure and ends.
    void ReadProfiles();
    void WriteProfiles();
    void WriteLastProfile();

private:
    AppContext& app_;
    MainForm& form_;
};

} // namespace corvane
