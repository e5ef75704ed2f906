#pragma once
// The two profile files beside the program: "Profiles1.2.dat" with one line per
// profile and "LastProfile1.2.dat" with the name of the last selected profile.
// Lines are comma-separated fields, texts in double quotes, CRLF line ends,
// one Latin-1 byte per character.
#include "profiles/Profile.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace corvane {

inline const QString kProfilesFileName = QStringLiteral("Profiles1.2.dat");
inline const QString kLastProfileFileName = QStringLiteral("LastProfile1.2.dat");

// One profile as a file line, CRLF included.
QByteArray profileLine(const Profile& profile);

// The whole profiles file: records 1..count with a non-empty name, in order.
QByteArray profilesFileBytes(const ProfileTable& table);

// Reads profile records from file bytes into a table that the caller has reset
// (count 0): for each record, grows the table and reads the next 25 fields into
// the new record. `onName` receives the name of every record read whole.
// Damaged data never fails: reading stops where the data ends or stops making
// sense, and what was read stays.
void readProfilesBytes(const QByteArray& bytes, ProfileTable& table,
                       const std::function<void(const QString&)>& onName);

// The last field in the bytes of a last-profile file, or `fallback` when there is none.
QString lastProfileFromBytes(const QByteArray& bytes, const QString& fallback);

// The last-profile file's bytes for a name: the name in quotes and CRLF.
QByteArray lastProfileBytes(const QString& name);

// True when every character of the text can be written into a text field:
// a single Latin-1 byte and not a double quote.
bool fitsTextField(const QString& text);

// The profile table, the last profile name and the files that keep them.
class ProfileStore {
public:
    explicit ProfileStore(QString folder);

    QString folder() const { return folder_; }
    QString profilesPath() const;
    QString lastProfilePath() const;

    ProfileTable table;
    QString lastProfileName;

    // Asked before each file is opened; when it returns false, noFreeFileHandle
    // runs (it shows a message and ends the program) and the routine does nothing.
    std::function<bool()> haveFreeFileHandle = [] { return true; };
    std::function<void()> noFreeFileHandle = [] {};

    // Resets the table and reads the profiles file; silent on any failure.
    // `onName` receives each name to list.
    void readProfiles(const std::function<void(const QString&)>& onName);
    // Replaces the profiles file whole (through a save file); throws a Fault on failure.
    void writeProfiles();
    // "Default Mouse Emulation", then the last field of the last-profile file.
    void readLastProfile();
    // Throws a Fault on failure.
    void writeLastProfile();

private:
    QString folder_;
};

} // namespace corvane
