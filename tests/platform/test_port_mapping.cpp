// Which device COM n stands for: USB adapters before built-in ports, and the
// folder's comN entries, when there are any, alone; and when an open port
// must be left because that changed.
#include "platform/PortMapping.h"

#include <gtest/gtest.h>

#include <functional>

using namespace corvane::platform;

namespace {

// COM 1 to 4 as "device" or "-", for the listed ports and the entries.
QString ports(const QStringList& listed, const QList<PortEntry>& entries)
{
    QStringList out;
    for (int n = 1; n <= 4; ++n) {
        const PortDevice port = portDevice(n, portOrder(listed), entries);
        out << (port.device.isEmpty() ? QStringLiteral("-") : port.device.section(u'/', -1));
    }
    return out.join(u' ');
}

} // namespace

TEST(PortMapping, AdaptersComeFirstAndEntriesAloneDecideWhenThereAreAny)
{
    const QStringList machine = {"/dev/ttyS1", "/dev/ttyUSB10", "/dev/ttyS0", "/dev/ttyUSB2", "/dev/ttyACM0"};
    const PortEntry com3{3, "/x/com3", "/dev/ttyUSB2"}, com1{1, "/x/com1", "/dev/pts/4"}, pulled{2, "/x/com2", ""};
    // clang-format off
    const struct { QStringList listed; QList<PortEntry> entries; const char* expected; } rows[] = {
        {machine, {}, "ttyACM0 ttyUSB2 ttyUSB10 ttyS0"},
        {{}, {}, "- - - -"}, {{"/dev/ttyS0"}, {}, "ttyS0 - - -"},
        {machine, {com3}, "- - ttyUSB2 -"},
        {machine, {com3, com1, pulled}, "4 - ttyUSB2 -"},
    };
    // clang-format on
    for (const auto& row : rows)
        EXPECT_EQ(ports(row.listed, row.entries), QString::fromLatin1(row.expected)) << row.expected;
}

TEST(PortMapping, AnOpenPortClosesWhenItsDeviceGoesOrANeverAnsweringOneIsPassedOver)
{
    const QStringList builtIn = {"/dev/ttyS0", "/dev/ttyS1"};
    const QStringList plugged = {"/dev/ttyS0", "/dev/ttyUSB0", "/dev/ttyS1"};
    const PortEntry com1{1, "/x/com1", "/dev/ttyUSB0"}, pulled{1, "/x/com1", ""};
    // clang-format off
    const struct { const char* label; OpenPort port; QStringList listed; QList<PortEntry> entries; QString reason; } rows[] = {
        {"nothing changed", {1, "/dev/ttyS0", false}, builtIn, {}, {}},
        {"an adapter plugged in passes a silent port", {1, "/dev/ttyS0", false}, plugged, {},
         "COM 1 now stands for /dev/ttyUSB0, and /dev/ttyS0 never answered"},
        {"the tracker stays on its port when COM n moves", {1, "/dev/ttyS0", true}, plugged, {}, {}},
        {"a silent port's number runs past the list", {2, "/dev/ttyUSB0", false}, {"/dev/ttyUSB0"}, {},
         "COM 2 now stands for no device (the system lists 1 serial port(s)), and /dev/ttyUSB0 never answered"},
        {"the tracker's adapter pulled", {1, "/dev/ttyUSB0", true}, builtIn, {}, "/dev/ttyUSB0 is no longer listed"},
        {"an entry keeps its device", {1, "/dev/ttyUSB0", false}, builtIn, {com1}, {}},
        {"an entry that dangles now", {1, "/dev/ttyUSB0", true}, plugged, {pulled},
         "COM 1 now leads to no device (/x/com1 leads to no device)"},
        {"an entry made while open", {1, "/dev/ttyS0", true}, plugged, {com1}, "COM 1 now leads to /dev/ttyUSB0"},
    };
    // clang-format on
    for (const auto& row : rows)
        EXPECT_EQ(closingReason(row.port, portOrder(row.listed), row.entries), row.reason) << row.label;
}

// Ports given by path come and go unannounced: COM n is the n-th of them there
// when asked, and only those up to it are looked at, however many are given.
TEST(PortMapping, GivenPortsAreLookedAtInOrderOnlyUpToTheOneWanted)
{
    QStringList given;
    for (int n = 0; n < 5000; ++n)
        given << QStringLiteral("/dev/pts/%1").arg(n);
    QStringList there = {"/dev/pts/3", "/dev/pts/7"};
    int looked = 0;
    const PortThere isThere = [&](const QString& path) { return ++looked, there.contains(path); };
    const OpenPort com2{2, "/dev/pts/7", false};
    // clang-format off
    const struct { const char* label; std::function<QString()> ask; QString expected; int looked; } rows[] = {
        {"COM 1", [&] { return portDevice(1, given, {}, isThere).device; }, "/dev/pts/3", 4},
        {"COM 2", [&] { return portDevice(2, given, {}, isThere).device; }, "/dev/pts/7", 8},
        {"COM 3, past them", [&] { return portDevice(3, given, {}, isThere).why; },
         "the system lists 2 serial port(s)", 5000},
        {"COM 2 stays", [&] { return closingReason(com2, given, {}, isThere); }, "", 8},
        {"COM 2 moves", [&] { there.removeFirst(); return closingReason(com2, given, {}, isThere); },
         "COM 2 now stands for no device (the system lists 1 serial port(s)), and /dev/pts/7 never answered", 5001},
        {"its device gone", [&] { there.clear(); return closingReason({1, "/dev/pts/7", true}, given, {}, isThere); },
         "/dev/pts/7 is no longer listed", 5001},
    };
    // clang-format on
    for (const auto& row : rows) {
        looked = 0;
        EXPECT_EQ(row.ask(), row.expected) << row.label;
        EXPECT_EQ(looked, row.looked) << row.label;
    }
}
