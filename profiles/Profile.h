#pragma once
// The profile record, the in-memory profile table and the built-in defaults.
#include <QString>
#include <vector>

namespace corvane {

// One profile; the field order is also the order in the profiles file. Every
// field has an initialiser, so a designated initialiser may leave any out.
struct Profile {
    QString name{}; // empty name marks a deleted record
    QString model{};
    QString location{};
    QString speed{};
    QString mode{};
    qint32 magnetic = 0;
    qint32 jitter = 0;
    qint32 tilt = 0;
    QString mouseMode{};
    qint32 leftRightSmooth = 0;
    qint32 upDownSmooth = 0;
    qint32 sideSideSmooth = 0;
    qint32 leftRightSpeed = 0;
    qint32 upDownSpeed = 0;
    qint32 sideSideSpeed = 0;
    QString keyMode{};
    QString turnLeftKey{};
    QString turnRightKey{};
    QString lookUpKey{};
    QString lookDownKey{};
    QString leanLeftKey{};
    QString leanRightKey{};
    QString startKey{};
    QString stopKey{};
    qint32 delayMillisecs = 0;

    bool operator==(const Profile&) const = default;
};

inline constexpr int kProfileFieldCount = 25;

// The eight key mappings, in the order the recorder searches their buttons:
// six movement mappings, then the global start and stop keys.
enum class Mapping { TurnLeft, TurnRight, LookUp, LookDown, LeanLeft, LeanRight, Start, Stop };
inline constexpr int kMappingCount = 8;
inline constexpr int kMovementMappingCount = 6;
inline constexpr QString Profile::*kMappingFields[kMappingCount] = {
    &Profile::turnLeftKey, &Profile::turnRightKey, &Profile::lookUpKey, &Profile::lookDownKey,
    &Profile::leanLeftKey, &Profile::leanRightKey, &Profile::startKey,  &Profile::stopKey};

// The names of the built-in defaults.
inline const QString kDefaultMouseEmulation = QStringLiteral("Default Mouse Emulation");
inline const QString kDefaultEulerAngle = QStringLiteral("Default Euler Angle");
inline const QString kDefaultFlightSimulator = QStringLiteral("Default Flight Simulator");

// Profiles indexed from 1; index 0 exists but is never a profile.
class ProfileTable {
public:
    ProfileTable(); // as after reset()

    // 12 empty records (indexes 0 to 11), count 0. currentIndex is kept.
    void reset();

    int count() const { return count_; }
    int upperBound() const { return static_cast<int>(records_.size()) - 1; }

    // Appends one record: count + 1; when count + 1 exceeds the upper bound the
    // upper bound becomes count + 10. Returns the new count.
    int grow();

    // Record at 0..upperBound(); throws the subscript Fault outside.
    Profile& at(int index);
    const Profile& at(int index) const;

    // First index 1..count whose name equals `name` exactly, or 0.
    int find(const QString& name) const;

    // The record at currentIndex (record 0 when no profile is current).
    Profile& current() { return at(currentIndex); }
    const Profile& current() const { return at(currentIndex); }

    int currentIndex = 0;

private:
    std::vector<Profile> records_;
    int count_ = 0;
};

// The built-in values of each default.
Profile defaultMouseEmulation();
Profile defaultEulerAngle();
Profile defaultFlightSimulator();

// Create or restore a default: when lastProfileName is the default's own name,
// the record at currentIndex is overwritten in place; otherwise a record is
// appended and becomes current.
void createDefaultMouseEmulation(ProfileTable& table, const QString& lastProfileName);
void createDefaultEulerAngle(ProfileTable& table, const QString& lastProfileName);
void createDefaultFlightSimulator(ProfileTable& table, const QString& lastProfileName);

} // namespace corvane
