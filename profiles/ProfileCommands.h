#pragma once
// What the user does with profiles: choose one in the profile list, and Save,
// Save As, Cancel or Delete. ApplyProfile makes a profile current and shows it.
#include "platform/Platform.h"
#include "profiles/ProfileFile.h"
#include "profiles/ProfileView.h"

#include <QCoreApplication>
#include <QString>

namespace corvane {

class ProfileCommands {
    Q_DECLARE_TR_FUNCTIONS(corvane::ProfileCommands)

public:
    ProfileCommands(platform::Platform& platform, ProfileStore& store, ProfileView& view);

    void ApplyProfile(QString name);
    void Profile_Combo_Click();
    void Save_Command_Click();
    void SaveAs_Command_Click();
    void Cancel_Command_Click();
    void Delete_Command_Click();

    // The file routines as the window uses them: reading refills the profile
    // list; writing reports a failure and ends, and tells whether it wrote.
    void ReadProfiles();
    bool WriteProfiles();
    void WriteLastProfile();

private:
    platform::Platform& platform_;
    ProfileStore& store_;
    ProfileView& view_;
};

} // namespace corvane
