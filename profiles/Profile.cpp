#include "profiles/Profile.h"

#include "core/Fault.h"

namespace corvane {

namespace {

// A freshly read table holds indexes 0 to 11.
constexpr int kInitialRecords = 12;
// Growing past the upper bound adds room for this many further records.
constexpr int kGrowthStep = 10;

const QString kAmbrel = QStringLiteral("Ambrel");
const QString kCom1 = QStringLiteral("COM 1");
const QString kSpeed19200 = QStringLiteral("19200 Kbps");
const QString kMouseEvent = QStringLiteral("Mouse Event");
const QString kDisabled = QStringLiteral("Disabled");

// Overwrites the record that the default routine targets: the current record
// when the last selected profile is this default (restore in place), else a
// newly appended record that becomes current.
void createOrRestore(ProfileTable& table, const QString& lastProfileName, const Profile& values)
{
    if (lastProfileName != values.name)
        table.currentIndex = table.grow();
    table.current() = values;
}

} // namespace

ProfileTable::ProfileTable()
{
    reset();
}

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

Profile defaultMouseEmulation()
{
    Profile p;
    p.name = kDefaultMouseEmulation;
    p.model = kAmbrel;
    p.location = kCom1;
    p.speed = kSpeed19200;
    p.mode = QStringLiteral("Mouse Emulation");
    p.magnetic = 2;
    p.jitter = 3;
    p.tilt = 4;
    p.mouseMode = kMouseEvent;
    p.leftRightSmooth = 9;
    p.upDownSmooth = 7;
    p.sideSideSmooth = 0;
    p.leftRightSpeed = 17;
    p.upDownSpeed = 16;
    p.sideSideSpeed = 0;
    p.keyMode = kDisabled;
    // Right and left control with S.
    p.startKey = QStringLiteral("D162D163D083U083U163U162");
    p.stopKey = p.startKey;
    p.delayMillisecs = 20;
    return p;
}

Profile defaultEulerAngle()
{
    Profile p;
    p.name = kDefaultEulerAngle;
    p.model = kAmbrel;
    p.location = kCom1;
    p.speed = kSpeed19200;
    p.mode = QStringLiteral("Euler Angle");
    p.magnetic = 3;
    p.jitter = 2;
    p.tilt = 4;
    p.mouseMode = kMouseEvent;
    p.leftRightSmooth = 12;
    p.upDownSmooth = 12;
    p.sideSideSmooth = 0;
    p.leftRightSpeed = 7;
    p.upDownSpeed = 5;
    p.sideSideSpeed = 0;
    p.keyMode = kDisabled;
    // Left control and left alt with S.
    p.startKey = QStringLiteral("D162D164D083U083U164U162");
    p.stopKey = p.startKey;
    p.delayMillisecs = 20;
    return p;
}

Profile defaultFlightSimulator()
{
    Profile p;
    p.name = kDefaultFlightSimulator;
    p.model = kAmbrel;
    p.location = kCom1;
    p.speed = kSpeed19200;
    p.mode = QStringLiteral("Mouse Emulation");
    p.magnetic = 3;
    p.jitter = 2;
    p.tilt = 4;
    p.mouseMode = kMouseEvent;
    p.leftRightSmooth = 9;
    p.upDownSmooth = 9;
    p.sideSideSmooth = 0;
    p.leftRightSpeed = 6;
    p.upDownSpeed = 6;
    p.sideSideSpeed = 0;
    p.keyMode = QStringLiteral("Emulate Keys");
    p.turnLeftKey = QStringLiteral("D160D190U190U160");
    p.turnRightKey = QStringLiteral("D160D188U188U160");
    p.lookUpKey = QStringLiteral("D162D188U188U162");
    p.lookDownKey = QStringLiteral("D162D191U191U162");
    p.startKey = QStringLiteral("D162D164D083U083U164U162");
    p.stopKey = p.startKey;
    p.delayMillisecs = 20;
    return p;
}

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
