#include "profiles/Profile.h"

#include "core/Choices.h"
#include "core/Fault.h"

#include <array>

namespace corvane {

namespace {

// A freshly read table holds indexes 0 to 11.
constexpr int kInitialRecords = 12;
// Growing past the upper bound adds room for this many further records.
constexpr int kGrowthStep = 10;

// Overwrites the record that the default routine targets: the current record
// when the last selected profile is this default (restore in place), else a
// newly appended record that becomes current.
void createOrRestore(ProfileTable& table, const QString& lastProfileName, const Profile& values)
{
    if (lastProfileName != values.name)
        table.currentIndex = table.grow();
    table.current() = values;
}

// The built-in defaults, one row each: Mouse Emulation, Euler Angle, Flight
// Simulator. All three look for the tracker on COM 1 at the fastest speed (the
// first items of those lists); the fields left out are empty or 0.
const std::array<Profile, 3>& builtInDefaults()
{
    // The global start and stop keys: left and right Ctrl with S, or left Ctrl and left Alt with S.
    static const QString bothCtrlS = QStringLiteral("D162D163D083U083U163U162");
    static const QString ctrlAltS = QStringLiteral("D162D164D083U083U164U162");
    // clang-format off
    static const std::array<Profile, 3> defaults = {{
        {.name = kDefaultMouseEmulation, .model = kAmbrel, .location = kLocationItems.first(),
         .speed = kSpeedItems.first(), .mode = kMouseEmulation, .magnetic = 2, .jitter = 3, .tilt = 4,
         .mouseMode = kMouseEvent, .leftRightSmooth = 9, .upDownSmooth = 7, .leftRightSpeed = 17, .upDownSpeed = 16,
         .keyMode = kDisabled, .startKey = bothCtrlS, .stopKey = bothCtrlS, .delayMillisecs = 20},
        {.name = kDefaultEulerAngle, .model = kAmbrel, .location = kLocationItems.first(),
         .speed = kSpeedItems.first(), .mode = kEulerAngle, .magnetic = 3, .jitter = 2, .tilt = 4,
         .mouseMode = kMouseEvent, .leftRightSmooth = 12, .upDownSmooth = 12, .leftRightSpeed = 7, .upDownSpeed = 5,
         .keyMode = kDisabled, .startKey = ctrlAltS, .stopKey = ctrlAltS, .delayMillisecs = 20},
        {.name = kDefaultFlightSimulator, .model = kAmbrel, .location = kLocationItems.first(),
         .speed = kSpeedItems.first(), .mode = kMouseEmulation, .magnetic = 3, .jitter = 2, .tilt = 4,
         .mouseMode = kMouseEvent, .leftRightSmooth = 9, .upDownSmooth = 9, .leftRightSpeed = 6, .upDownSpeed = 6,
         .keyMode = kEmulateKeys,
         // Left Shift with "." or "," turns left or right; left Ctrl with "," or "/" looks up or down.
         .turnLeftKey = QStringLiteral("D160D190U190U160"), .turnRightKey = QStringLiteral("D160D188U188U160"),
         .lookUpKey = QStringLiteral("D162D188U188U162"), .lookDownKey = QStringLiteral("D162D191U191U162"),
         .startKey = ctrlAltS, .stopKey = ctrlAltS, .delayMillisecs = 20},
    }};
    // clang-format on
    return defaults;
}

} // namespace

ProfileTable::ProfileTable() { reset(); }

void ProfileTable::reset()
{
    records_.assign(kInitialRecords, Profile{});
    count_ = 0;
}

int ProfileTable::grow()
{
    ++count_;
    if (count_ + 1 > upperBound())
        records_.resize(static_cast<std::size_t>(count_) + kGrowthStep + 1);
    return count_;
}

Profile& ProfileTable::at(int index)
{
    if (index < 0 || index > upperBound())
        throw subscriptFault();
    return records_[static_cast<std::size_t>(index)];
}

const Profile& ProfileTable::at(int index) const
{
    if (index < 0 || index > upperBound())
        throw subscriptFault();
    return records_[static_cast<std::size_t>(index)];
}

int ProfileTable::find(const QString& name) const
{
    for (int i = 1; i <= count_; ++i) {
        if (records_[static_cast<std::size_t>(i)].name == name)
            return i;
    }
    return 0;
}

Profile defaultMouseEmulation() { return builtInDefaults()[0]; }

Profile defaultEulerAngle() { return builtInDefaults()[1]; }

Profile defaultFlightSimulator() { return builtInDefaults()[2]; }

void createDefaultMouseEmulation(ProfileTable& table, const QString& lastProfileName)
{
    createOrRestore(table, lastProfileName, defaultMouseEmulation());
}

void createDefaultEulerAngle(ProfileTable& table, const QString& lastProfileName)
{
    createOrRestore(table, lastProfileName, defaultEulerAngle());
}

void createDefaultFlightSimulator(ProfileTable& table, const QString& lastProfileName)
{
    createOrRestore(table, lastProfileName, defaultFlightSimulator());
}

} // namespace corvane
