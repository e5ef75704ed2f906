#pragma once
// The two profile files beside the program: "Profiles1.2.dat" with one line per
// profile and "LastProfile1.2.dat" with the name of the last selected profile.
// Lines are comma-separated fields, texts in double quotes, CRLF line ends,
// one Latin-1 byte per character.
#include "profiles/Profile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <optional>
#include <utility>

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
// sense, and what was read stays. It also stops after kMaxProfileRecords
// records, and then returns false: no one keeps that many profiles, but a
// damaged file can hold millions of empty records (a file of commas), each
// costing far more memory than its bytes.
inline constexpr int kMaxProfileRecords = 10000;
// A larger file is not a profile file: it is read as one that cannot be read.
inline constexpr qint64 kMaxProfileFileBytes = qint64{64} * 1024 * 1024;
bool readProfilesBytes(const QByteArray& bytes, ProfileTable& table, const std::function<void(const QString&)>& onName);

// The last field in the bytes of a last-profile file, or `fallback` when there is none.
QString lastProfileFromBytes(const QByteArray& bytes, const QString& fallback);

// The last-profile file's bytes for a name: the name in quotes and CRLF.
QByteArray lastProfileBytes(const QString& name);

// True when every character of the text can be written into a text field:
// a single Latin-1 byte, neither a double quote nor a line break (CR or LF).
bool fitsTextField(const QString& text);

// Whether bytes are, to the letter, a file that Corvane writes: what a link in
// the settings folder must lead to before a save writes through it, and what a
// file must be to be carried over. A profiles file is one or more lines, each
// a whole record and nothing else: 25 fields split by commas, every text in
// double quotes with no line break in it, every number one that the reader
// takes whole, and a line end (CRLF, LF or CR) after each; no more records than
// kMaxProfileRecords and no more bytes than kMaxProfileFileBytes. A last-profile
// file is one name in double quotes and its line end, and nothing else.
bool holdsProfiles(const QByteArray& bytes);
bool holdsLastProfile(const QByteArray& bytes);

// Why `bytes`, the file that profilesFileBytes makes of the table, would not
// be a profiles file to holdsProfiles (too many profiles, a text that cannot
// be written, too many bytes), in words for the user; empty text when it is
// one, or when the table holds no named profile (an empty file).
QString profilesFileRefusal(const ProfileTable& table, const QByteArray& bytes);

// What the last reading of the profiles file found at its path.
struct ProfilesFileFound {
    qint64 size = -1;      // -1: nothing there, or no regular file
    bool notAFile = false; // something other than a regular file is there
    bool read = false;     // its bytes could be read
    int wholeProfiles = 0; // records read with all their fields and a name
    // The name of a last record that the file cuts short; empty when none is.
    QString cutProfile;
    // Something is there, yet not one profile came of it.
    bool yieldsNoProfile() const { return (size > 0 || notAFile) && wholeProfiles == 0; }
};

// Writes bytes as the whole file at a path, or leaves that file as it was;
// returns why it could not, empty text when it did. `ownFile` tells whether a
// link's target holds a file of ours. The machine's own: platform/Files.h.
using FileWriter = std::function<QString(const QString& path, const QByteArray& bytes,
                                         const std::function<bool(const QByteArray&)>& ownFile)>;

// A file to rename: its path and its new path.
using FileMove = std::pair<QString, QString>;

// The profile table, the last profile name and the files that keep them.
class ProfileStore {
public:
    ProfileStore(QString folder, FileWriter writer);

    QString folder() const { return folder_; }
    QString profilesPath() const;
    QString lastProfilePath() const;

    ProfileTable table;
    QString lastProfileName;
    ProfilesFileFound found;

    // Asked before each file is opened; when it returns false, noFreeFileHandle
    // runs (it shows a message and ends the program) and the routine does nothing.
    std::function<bool()> haveFreeFileHandle = [] { return true; };
    std::function<void()> noFreeFileHandle = [] {};

    // Resets the table and reads the profiles file; silent on any failure.
    // `onName` receives each name to list.
    void readProfiles(const std::function<void(const QString&)>& onName);
    // Replaces the profiles file whole, or leaves it as it was and throws a
    // Fault that says why; a table that profilesFileRefusal refuses is not
    // written at all.
    void writeProfiles();
    // "Default Mouse Emulation", then the last field of the last-profile file.
    void readLastProfile();
    // The name readLastProfile would read; nothing when there is no
    // last-profile file to read. Changes nothing.
    std::optional<QString> lastProfileInFile() const;
    // As writeProfiles.
    void writeLastProfile();
    // Copies the profiles file, as it is, to a new file at `keptPath` (a
    // name of keptNames). Throws the file access Fault.
    void keepCopyOfProfiles(const QString& keptPath) const;

    // The new names under which keepAside keeps the two files, for those that
    // exist, profiles file first: the name, ".kept-" and the stamp, and "-2",
    // "-3" and so on when that name is taken.
    QList<FileMove> keptNames(const QString& stamp) const;
    // Renames the files; when one cannot be renamed, puts back those already
    // renamed and throws the file access Fault. Nothing is ever removed.
    static void keepAside(const QList<FileMove>& moves);

private:
    void replaceFile(const QString& path, const QByteArray& bytes,
                     const std::function<bool(const QByteArray&)>& ownFile) const;

    QString folder_;
    FileWriter writer_;
};

} // namespace corvane
