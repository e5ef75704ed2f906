// Which device COM n stands for: USB adapters before built-in ports, and the
// folder's comN entries, when there are any, alone.
#include "platform/PortMapping.h"

#include <gtest/gtest.h>

using namespace corvane::platform;

namespace {

// COM 1 to 4 as "device" or "-", for the listed ports and the entries.
QString ports(const QStringList& listed, const QList<PortEntry>& entries)
{
    QStringList out;
    for (int n = 1; n <= 4; ++n) {
        const PortDevice port = portDevice(n, listed, entries);
        out << (port.device.isEmpty() ? QStringLiteral("-") : port.device.section(u'/', -1));
    }
    return out.join(u' ');
}

} // namespace

TEST(PortMapping, AdaptersComeFirstAndEntriesAloneDecideWhenThereAreAny)
{
    const QStringList machine = {"/dev/ttyS1", "/dev/ttyUSB10", "/dev/ttyS0", "/dev/ttyUSB2", "/dev/ttyACM0"};
    const PortEntry com3{3, "/x/com3", "/dev/ttyUSB2"}, com1{1, "/x/com1", "/dev/pts/4"}, pulled{2, "/x/com2", ""};
    const struct { QStringList listed; QList<PortEntry> entries; const char* expected; } rows[] = {
        {machine, {}, "ttyACM0 ttyUSB2 ttyUSB10 ttyS0"},
        {{}, {}, "- - - -"}, {{"/dev/ttyS0"}, {}, "ttyS0 - - -"},
        {machine, {com3}, "- - ttyUSB2 -"},
        {machine, {com3, com1, pulled}, "4 - ttyUSB2 -"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ports(row.listed, row.entries), QString::fromLatin1(row.expected)) << row.expected;
}
