#pragma once
// The state that the window's handlers, the profile commands and the engine share.
#include "core/Choices.h"
#include "engine/TrackerLinkState.h"
#include "platform/Files.h"
#include "platform/Platform.h"
#include "profiles/ProfileFile.h"

#include <QCoreApplication>
#include <QString>

namespace corvane {

struct AppContext {
    AppContext(platform::Platform& p, const QString& folder) : platform(p), store(folder, heldFolderWriter(p)) {}

    platform::Platform& platform;
    ProfileStore store;
    TrackerLinkState link;
    // Why the joystick could not be made when the profile's mouse mode last
    // asked for it; empty when it was.
    QString joystickRefusal;

    // Whether the current profile's mouse mode asks for the joystick.
    bool joystickChosen() const { return store.table.count() > 0 && store.table.current().mouseMode == kJoystick; }

private:
    // Writes the profile files while the settings folder's path leads to the
    // folder that was claimed; once another stands there (a sync or restore
    // put it in its place), writing would replace another Corvane's files, so
    // nothing is written.
    static FileWriter heldFolderWriter(platform::Platform& p)
    {
        return [&p](const QString& path, const QByteArray& bytes, const platform::OwnFileTest& ownFile) {
            if (p.claim && !p.claim->stillAtItsPath())
                return QCoreApplication::translate("corvane::AppContext",
                                                   "the folder at this path is no longer the one Corvane started on "
                                                   "(it was moved or replaced), so nothing was written; start "
                                                   "Corvane again");
            return platform::replaceFileWhole(path, bytes, ownFile);
        };
    }
};

} // namespace corvane
