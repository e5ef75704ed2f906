#pragma once
// Which device "COM n" stands for on Linux. Pure: it works on the names the
// system lists and the entries found in the settings folder, so the rule can
// be checked without the devices.
//
// When the folder holds any entry named comN (normally a symbolic link such as
// com3 -> /dev/ttyUSB0), the entries alone define the ports: COM n is the
// target of comN, and a COM n without an entry, or whose entry points nowhere
// (a pulled adapter), cannot be opened. Without entries, COM n is the n-th of
// the ports the system lists: USB serial adapters (ttyUSB*, ttyACM*) first,
// then the others, such as built-in ports (ttyS*) that open although nothing
// is connected; each group in name order, numbers by value.
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace corvane::platform {

struct PortEntry {
    int number = 0; // n of comN
    QString path;   // the entry itself
    QString target; // the device it leads to; empty when it leads nowhere
};

struct PortDevice {
    QString device; // empty when COM n cannot be opened
    QString why;    // why not, then
};

// The listed ports in the order COM 1, COM 2 ... take them.
QStringList portOrder(QStringList listed);

// Whether a listed port is there now. Ports given by path come and go
// unannounced: COM n is then the n-th of those there when it is asked for.
using PortThere = std::function<bool(const QString&)>;

// What COM n stands for. `ordered` is the listed ports in portOrder's order;
// each is there unless `there` says otherwise, and it is asked only of those
// up to COM n (of all of them when fewer are there).
PortDevice portDevice(int number, const QStringList& ordered, const QList<PortEntry>& entries,
                      const PortThere& there = {});

// A port that is open, as the rule below sees it.
struct OpenPort {
    int number = 0;        // n of COM n
    QString device;        // the device it opened
    bool answered = false; // whether anything has come from it since it opened
};

// Why an open port must close now that the system lists `ordered` (those of
// them there, as above) and the folder holds `entries`, so that the link
// searches again; empty text while it may stay open. It closes when its device
// is no longer listed, or when COM n is defined by an entry that now leads
// elsewhere or nowhere. Without entries, a port that never answered also
// closes when COM n now stands for another device: an adapter plugged in is
// listed before it, and may be the tracker. A port that answered stays while
// other devices come and go: the tracker is there, whatever number its device
// has now.
QString closingReason(const OpenPort& port, const QStringList& ordered, const QList<PortEntry>& entries,
                      const PortThere& there = {});

} // namespace corvane::platform
