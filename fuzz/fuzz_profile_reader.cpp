// Reads arbitrary bytes as a profiles file and as a last-profile file, then
// writes the table back and re-reads it; what counts as Corvane's own file is
// read whole, and what the writer accepts to write counts as its own.
#include "fuzz/Require.h"
#include "profiles/ProfileFile.h"

#include <cstddef>
#include <cstdint>

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    ProfileTable table;
    int listed = 0;
    const bool whole = readProfilesBytes(bytes, table, [&](const QString&) { ++listed; });
    require(listed <= table.count());
    require(table.upperBound() >= table.count() + 1);
    // What counts as Corvane's own file is read whole, every record listed.
    require(!holdsProfiles(bytes) || (whole && listed == table.count()));
    const QString last = lastProfileFromBytes(bytes, kDefaultMouseEmulation);
    require(!holdsLastProfile(bytes) || (fitsTextField(last) && holdsLastProfile(lastProfileBytes(last))));

    // Every named record comes back whole from the written file. A text that
    // held a double quote comes back cut at the quote, so the second writing
    // is the first that must read back unchanged.
    const QByteArray written = profilesFileBytes(table);
    ProfileTable reread;
    int relisted = 0;
    readProfilesBytes(written, reread, [&](const QString&) { ++relisted; });
    int named = 0;
    for (int i = 1; i <= table.count(); ++i)
        named += table.at(i).name.isEmpty() ? 0 : 1;
    require(reread.count() == named);
    require(relisted == reread.count());
    // The writer never writes what it would not take as its own.
    require(named == 0 || !profilesFileRefusal(table, written).isEmpty() || holdsProfiles(written));

    const QByteArray rewritten = profilesFileBytes(reread);
    ProfileTable stable;
    readProfilesBytes(rewritten, stable, {});
    require(stable.count() == reread.count());
    for (int i = 1; i <= stable.count(); ++i) {
        require(stable.at(i) == reread.at(i));
        const QString& name = stable.at(i).name;
        require(lastProfileFromBytes(lastProfileBytes(name), QString()) == name);
    }
    require(profilesFileBytes(stable) == rewritten);
    return 0;
}
