#pragma once
// The state that the window's handlers, the profile commands and the engine share.
#include "engine/TrackerLinkState.h"
#include "platform/Files.h"
#include "platform/Platform.h"
#include "profiles/ProfileFile.h"

#include <QString>
#include <array>

namespace corvane {

struct AppContext {
    AppContext(platform::Platform& p, const QString& folder) : platform(p), store(folder, &platform::replaceFileWhole) {}

    platform::Platform& platform;
    ProfileStore store;
    TrackerLinkState link;
    // What each mapping box showed when it was last rendered.
    std::array<QString, kMappingCount> renderedBoxText;
    bool recordingActive = false;
};

} // namespace corvane
