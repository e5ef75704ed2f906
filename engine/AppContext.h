#pragma once
// The state that the window's handlers, the profile commands and the engine share.
#include "engine/TrackerLinkState.h"
#include "platform/Files.h"
#include "platform/Platform.h"
#include "profiles/ProfileFile.h"

#include <QString>

namespace corvane {

struct AppContext {
    AppContext(platform::Platform& p, const QString& folder) : platform(p), store(folder, &platform::replaceFileWhole)
    {
    }

    platform::Platform& platform;
    ProfileStore store;
    TrackerLinkState link;
};

} // namespace corvane
