#pragma once
// What the profile commands need of the main window: the profile list and
// the settings' controls. The window implements it; the tests use a fake. The
// state stays in the controls: these read and write them, and a change runs
// the control's own handler, as a click would.
#include "profiles/Profile.h"

#include <QString>
#include <QStringList>

namespace corvane {

class ProfileView {
public:
    virtual ~ProfileView() = default;

    // The profile list's selected name; empty when none is selected.
    virtual QString profileName() const = 0;
    // Selects a listed name (its click handler runs); another name is the
    // invalid-value fault.
    virtual void setProfileName(const QString& name) = 0;
    // The listed names, in the list's (alphabetical) order.
    virtual QStringList profileNames() const = 0;
    virtual void addProfileName(const QString& name) = 0;
    virtual void clearProfileNames() = 0;
    // Shows every setting of the profile in its control, in the order of the
    // record; each control's change handler runs and stores into the current
    // profile. The profile is read field by field as the handlers go.
    virtual void showProfile(const Profile& profile) = 0;
};

} // namespace corvane
