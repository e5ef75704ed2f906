#include "profiles/ProfileFile.h"

#include "core/Fault.h"
#include "core/Numbers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>
#include <optional>
#include <utility>
#include <variant>

namespace corvane {

namespace {

// The texts of this file, translated in the context "corvane::ProfileFile".
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(corvane::ProfileFile)
};

using TextField = QString Profile::*;
using IntegerField = qint32 Profile::*;
using FieldRef = std::variant<TextField, IntegerField>;

// The fields of a record in file order.
const std::array<FieldRef, kProfileFieldCount> kFileOrder = {
    &Profile::name,           &Profile::model,           &Profile::location,      &Profile::speed,
    &Profile::mode,           &Profile::magnetic,        &Profile::jitter,        &Profile::tilt,
    &Profile::mouseMode,      &Profile::leftRightSmooth, &Profile::upDownSmooth,  &Profile::sideSideSmooth,
    &Profile::leftRightSpeed, &Profile::upDownSpeed,     &Profile::sideSideSpeed, &Profile::keyMode,
    &Profile::turnLeftKey,    &Profile::turnRightKey,    &Profile::lookUpKey,     &Profile::lookDownKey,
    &Profile::leanLeftKey,    &Profile::leanRightKey,    &Profile::startKey,      &Profile::stopKey,
    &Profile::delayMillisecs,
};

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Splits file bytes into fields. A field ends at a comma or a line end (CR, LF
// or CRLF); blanks before a field are skipped; a field that opens with a double
// quote runs to the next double quote (commas and line breaks included) and
// whatever follows the closing quote up to the field's end is dropped.
class FieldReader {
public:
    explicit FieldReader(const QByteArray& bytes) : data_(bytes) {}

    bool atEnd() const { return pos_ >= data_.size(); }

    // The next field's bytes; false when only blanks or nothing are left.
    // Every successful call consumes at least one byte.
    bool next(QByteArray& field)
    {
        while (!atEnd() && isBlank(data_[pos_]))
            ++pos_;
        if (atEnd())
            return false;

        if (data_[pos_] == '"') {
            const qsizetype start = pos_ + 1;
            qsizetype close = data_.indexOf('"', start);
            if (close < 0)
                close = data_.size();
            field = data_.mid(start, close - start);
            pos_ = close + 1;
            skipToFieldEnd();
        } else {
            const qsizetype start = pos_;
            skipToFieldEnd();
            field = data_.mid(start, pos_ - start);
        }
        consumeSeparator();
        return true;
    }

private:
    void skipToFieldEnd()
    {
        while (!atEnd() && data_[pos_] != ',' && !isLineEnd(data_[pos_]))
            ++pos_;
    }

    void consumeSeparator()
    {
        if (atEnd())
            return;
        if (data_[pos_] == ',' || data_[pos_] == '\n') {
            ++pos_;
        } else if (data_[pos_] == '\r') {
            ++pos_;
            if (!atEnd() && data_[pos_] == '\n')
                ++pos_;
        }
    }

    const QByteArray& data_;
    qsizetype pos_ = 0;
};

// The length of the line end (CRLF, LF or CR) at `pos`; 0 when there is none.
qsizetype lineEndLength(QByteArrayView bytes, qsizetype pos)
{
    const QByteArrayView rest = bytes.sliced(pos);
    if (rest.startsWith("\r\n"))
        return 2;
    return rest.startsWith('\r') || rest.startsWith('\n') ? 1 : 0;
}

// Where a text in double quotes that starts at `pos` ends (after its closing
// quote), or -1 when no such text stands there or a line break is in it.
qsizetype quotedTextEnd(QByteArrayView bytes, qsizetype pos)
{
    if (!bytes.sliced(pos).startsWith('"'))
        return -1;
    const qsizetype close = bytes.indexOf('"', pos + 1);
    if (close < 0)
        return -1;
    const QByteArrayView text = bytes.sliced(pos + 1, close - pos - 1);
    return text.contains('\r') || text.contains('\n') ? -1 : close + 1;
}

// Where the line of a whole record that starts at `pos` ends (after its line
// end), or -1 when the line is anything else.
qsizetype recordLineEnd(QByteArrayView bytes, qsizetype pos)
{
    for (std::size_t i = 0; i < kFileOrder.size(); ++i) {
        if (i > 0 && (pos >= bytes.size() || bytes[pos++] != ','))
            return -1;
        if (std::holds_alternative<TextField>(kFileOrder[i])) {
            pos = quotedTextEnd(bytes, pos);
            if (pos < 0)
                return -1;
            continue;
        }
        qsizetype end = pos;
        while (end < bytes.size() && bytes[end] != ',' && !isLineEnd(bytes[end]))
            ++end;
        const LeadingInteger number = leadingInteger(QLatin1StringView(bytes.sliced(pos, end - pos)));
        if (!number.hasDigits || !number.value || number.end != end - pos)
            return -1;
        pos = end;
    }
    const qsizetype lineEnd = lineEndLength(bytes, pos);
    return lineEnd == 0 ? -1 : pos + lineEnd;
}

// Reads the next 25 fields into the record; false when the data ends or a
// field cannot be read, leaving the fields read so far in place.
bool readRecord(FieldReader& reader, Profile& profile)
{
    QByteArray field;
    for (const FieldRef& ref : kFileOrder) {
        if (!reader.next(field))
            return false;
        if (const auto* text = std::get_if<TextField>(&ref)) {
            profile.*(*text) = QString::fromLatin1(field);
        } else {
            // A number, rounded, with anything after it ignored; 0 without digits.
            const std::optional<qint32> value = leadingInteger(QLatin1StringView(field)).value;
            if (!value)
                return false;
            profile.*std::get<IntegerField>(ref) = *value;
        }
    }
    return true;
}

// A text field: the text between double quotes. Characters outside Latin-1
// become "?"; callers keep double quotes out (fitsTextField).
void appendText(QByteArray& out, const QString& text)
{
    out += '"';
    out += text.toLatin1();
    out += '"';
}

// The whole content of a regular file no larger than kMaxProfileFileBytes, or nothing
// when it is missing, not a plain file, too large or cannot be read.
std::optional<QByteArray> readSmallFile(const QString& path)
{
    // Only plain files are opened: a pipe or device in the file's place could
    // block or never end.
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxProfileFileBytes)
        return std::nullopt;
    QByteArray bytes = file.read(kMaxProfileFileBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxProfileFileBytes)
        return std::nullopt;
    return bytes;
}

// Names the file and its folder, so the message says where Corvane keeps its
// settings: beside the program or in the user's configuration folder.
Fault fileAccessFault(const QString& path, const QString& reason)
{
    const QFileInfo info(path);
    return {kFaultFileAccess, Texts::tr("Path/File access error: cannot write %1 in the settings folder \"%2\" (%3)")
                                  .arg(info.fileName(), QDir::toNativeSeparators(info.absolutePath()), reason)};
}

// Asks the store's hook for a free file handle; when there is none the store's
// handler runs (it ends the program) and the caller does nothing more.
bool fileHandleAvailable(const ProfileStore& store)
{
    if (!store.haveFreeFileHandle || store.haveFreeFileHandle())
        return true;
    if (store.noFreeFileHandle)
        store.noFreeFileHandle();
    return false;
}

} // namespace

QByteArray profileLine(const Profile& profile)
{
    QByteArray line;
    bool first = true;
    for (const FieldRef& ref : kFileOrder) {
        if (!first)
            line += ',';
        first = false;
        if (const auto* text = std::get_if<TextField>(&ref))
            appendText(line, profile.*(*text));
        else
            line += QByteArray::number(profile.*std::get<IntegerField>(ref));
    }
    line += "\r\n";
    return line;
}

QByteArray profilesFileBytes(const ProfileTable& table)
{
    QByteArray bytes;
    const int count = table.count();
    for (int i = 1; i <= count; ++i) {
        const Profile& profile = table.at(i);
        if (!profile.name.isEmpty())
            bytes += profileLine(profile);
    }
    return bytes;
}

bool readProfilesBytes(const QByteArray& bytes, ProfileTable& table, const std::function<void(const QString&)>& onName)
{
    FieldReader reader(bytes);
    while (!reader.atEnd()) {
        if (table.count() == kMaxProfileRecords)
            return false;
        Profile& profile = table.at(table.grow());
        if (!readRecord(reader, profile))
            return true;
        if (onName)
            onName(profile.name);
    }
    return true;
}

QString lastProfileFromBytes(const QByteArray& bytes, const QString& fallback)
{
    QString name = fallback;
    FieldReader reader(bytes);
    QByteArray field;
    while (reader.next(field))
        name = QString::fromLatin1(field);
    return name;
}

QByteArray lastProfileBytes(const QString& name)
{
    QByteArray bytes;
    appendText(bytes, name);
    bytes += "\r\n";
    return bytes;
}

bool holdsProfiles(const QByteArray& bytes)
{
    if (bytes.isEmpty() || bytes.size() > kMaxProfileFileBytes)
        return false;
    qsizetype pos = 0;
    for (int records = 1; records <= kMaxProfileRecords; ++records) {
        pos = recordLineEnd(bytes, pos);
        if (pos < 0)
            return false;
        if (pos == bytes.size())
            return true;
    }
    return false;
}

bool holdsLastProfile(const QByteArray& bytes)
{
    const qsizetype end = quotedTextEnd(bytes, 0);
    const qsizetype lineEnd = end < 0 ? 0 : lineEndLength(bytes, end);
    return lineEnd > 0 && end + lineEnd == bytes.size();
}

bool fitsTextField(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0xFF || c == u'"' || c == u'\r' || c == u'\n')
            return false;
    }
    return true;
}

QString profilesFileRefusal(const ProfileTable& table, const QByteArray& bytes)
{
    int named = 0;
    for (int i = 1; i <= table.count(); ++i) {
        const Profile& profile = table.at(i);
        if (profile.name.isEmpty())
            continue;
        ++named;
        for (const FieldRef& ref : kFileOrder) {
            const auto* text = std::get_if<TextField>(&ref);
            if (text && !fitsTextField(profile.*(*text)))
                return Texts::tr("the profile \"%1\" holds a text with a double quote, a line break or a "
                                 "character outside the Western European (Latin-1) set")
                    .arg(profile.name);
        }
    }
    if (named > kMaxProfileRecords)
        return Texts::tr("it would hold %1 profiles, and Corvane reads no more than %2: delete a profile to "
                         "make room")
            .arg(named)
            .arg(kMaxProfileRecords);
    if (bytes.size() > kMaxProfileFileBytes)
        return Texts::tr("it would be larger than the %1 MiB that Corvane reads")
            .arg(kMaxProfileFileBytes / (1024 * 1024));
    return {};
}

ProfileStore::ProfileStore(QString folder, FileWriter writer) : folder_(std::move(folder)), writer_(std::move(writer))
{
}

QString ProfileStore::profilesPath() const { return folder_ + u'/' + kProfilesFileName; }

QString ProfileStore::lastProfilePath() const { return folder_ + u'/' + kLastProfileFileName; }

void ProfileStore::readProfiles(const std::function<void(const QString&)>& onName)
{
    table.reset();
    found = {};
    if (!fileHandleAvailable(*this))
        return;
    const QFileInfo info(profilesPath());
    found.notAFile = info.isSymLink() ? !info.isFile() : info.exists() && !info.isFile();
    found.size = info.isFile() ? info.size() : -1;
    const std::optional<QByteArray> bytes = readSmallFile(profilesPath());
    if (!bytes)
        return;
    QStringList names;
    const bool whole = readProfilesBytes(*bytes, table, [&](const QString& name) {
        if (!name.isEmpty())
            ++found.wholeProfiles;
        names.append(name);
    });
    if (!whole) {
        // Too many records to be a profiles file: it is treated as one that
        // cannot be read, and none of it is listed.
        table.reset();
        found.wholeProfiles = 0;
        return;
    }
    found.read = true;
    // A record that the file ends in the middle of stays counted, unlisted.
    if (table.count() > names.size())
        found.cutProfile = table.at(table.count()).name;
    if (onName)
        for (const QString& name : names)
            onName(name);
}

void ProfileStore::writeProfiles()
{
    if (!fileHandleAvailable(*this))
        return;
    const QByteArray bytes = profilesFileBytes(table);
    if (const QString refusal = profilesFileRefusal(table, bytes); !refusal.isEmpty())
        throw fileAccessFault(profilesPath(), refusal + Texts::tr("; nothing was written"));
    replaceFile(profilesPath(), bytes, holdsProfiles);
}

void ProfileStore::readLastProfile()
{
    lastProfileName = kDefaultMouseEmulation;
    if (!fileHandleAvailable(*this))
        return;
    if (const std::optional<QString> name = lastProfileInFile())
        lastProfileName = *name;
}

std::optional<QString> ProfileStore::lastProfileInFile() const
{
    if (const std::optional<QByteArray> bytes = readSmallFile(lastProfilePath()))
        return lastProfileFromBytes(*bytes, kDefaultMouseEmulation);
    return std::nullopt;
}

void ProfileStore::writeLastProfile()
{
    if (!fileHandleAvailable(*this))
        return;
    if (!fitsTextField(lastProfileName))
        throw fileAccessFault(lastProfilePath(), Texts::tr("the name \"%1\" holds a double quote, a line break or "
                                                           "a character outside Latin-1; nothing was written")
                                                     .arg(lastProfileName));
    replaceFile(lastProfilePath(), lastProfileBytes(lastProfileName), holdsLastProfile);
}

void ProfileStore::replaceFile(const QString& path, const QByteArray& bytes,
                               const std::function<bool(const QByteArray&)>& ownFile) const
{
    // The user's configuration folder is made on the first write there.
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        throw fileAccessFault(path, Texts::tr("the folder cannot be created"));
    if (const QString reason = writer_(path, bytes, ownFile); !reason.isEmpty())
        throw fileAccessFault(path, reason);
}

void ProfileStore::keepCopyOfProfiles(const QString& keptPath) const
{
    const std::optional<QByteArray> bytes = readSmallFile(profilesPath());
    if (!bytes)
        throw fileAccessFault(profilesPath(), Texts::tr("it cannot be read"));
    replaceFile(keptPath, *bytes, {});
}

QList<FileMove> ProfileStore::keptNames(const QString& stamp) const
{
    for (int n = 1;; ++n) {
        const QString suffix = QStringLiteral(".kept-") + stamp + (n > 1 ? QStringLiteral("-%1").arg(n) : QString());
        QList<FileMove> moves;
        bool free = true;
        for (const QString& path : {profilesPath(), lastProfilePath()}) {
            if (!QFileInfo::exists(path))
                continue;
            moves.append({path, path + suffix});
            free = free && !QFileInfo::exists(path + suffix);
        }
        if (free)
            return moves;
    }
}

void ProfileStore::keepAside(const QList<FileMove>& moves)
{
    for (qsizetype i = 0; i < moves.size(); ++i) {
        if (QFile::rename(moves[i].first, moves[i].second))
            continue;
        const Fault fault{kFaultFileAccess, Texts::tr("Path/File access error: cannot rename \"%1\" to \"%2\"")
                                                .arg(QDir::toNativeSeparators(moves[i].first),
                                                     QDir::toNativeSeparators(moves[i].second))};
        while (i-- > 0)
            (void)QFile::rename(moves[i].second, moves[i].first);
        throw fault;
    }
}

} // namespace corvane
