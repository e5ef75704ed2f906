#include "platform/PortMapping.h"

#include <QCoreApplication>
#include <algorithm>
#include <tuple>

namespace corvane::platform {

namespace {

// The texts of this file, translated in the context "corvane::platform::PortMapping".
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(corvane::platform::PortMapping)
};

// Sorting key of a device path: adapters first, then the name without its
// trailing number, then that number.
std::tuple<bool, QString, qulonglong> orderKey(const QString& path)
{
    const QString name = path.section(QLatin1Char('/'), -1);
    const bool adapter = name.startsWith(QLatin1String("ttyUSB")) || name.startsWith(QLatin1String("ttyACM"));
    qsizetype digits = name.size();
    while (digits > 0 && name[digits - 1].isDigit())
        --digits;
    return {!adapter, name.left(digits), name.mid(digits).toULongLong()};
}

} // namespace

QStringList portOrder(QStringList listed)
{
    std::stable_sort(listed.begin(), listed.end(),
                     [](const QString& a, const QString& b) { return orderKey(a) < orderKey(b); });
    return listed;
}

PortDevice portDevice(int number, const QStringList& ordered, const QList<PortEntry>& entries, const PortThere& there)
{
    if (!entries.isEmpty()) {
        const auto entry = std::find_if(entries.begin(), entries.end(),
                                        [number](const PortEntry& e) { return e.number == number; });
        if (entry == entries.end())
            return {{}, Texts::tr("no entry com%1 in the settings folder").arg(number)};
        if (entry->target.isEmpty())
            return {{}, Texts::tr("%1 leads to no device").arg(entry->path)};
        return {entry->target, {}};
    }
    int seen = 0;
    for (const QString& port : ordered) {
        if (!there || there(port)) {
            if (++seen == number)
                return {port, {}};
        }
    }
    return {{}, Texts::tr("the system lists %1 serial port(s)").arg(seen)};
}

QString closingReason(const OpenPort& port, const QStringList& ordered, const QList<PortEntry>& entries,
                      const PortThere& there)
{
    const PortDevice now = portDevice(port.number, ordered, entries, there);
    if (now.device == port.device)
        return {};
    const QString stands = now.device.isEmpty() ? Texts::tr("no device (%1)").arg(now.why) : now.device;
    if (!entries.isEmpty())
        return Texts::tr("COM %1 now leads to %2").arg(port.number).arg(stands);
    if (!ordered.contains(port.device) || (there && !there(port.device)))
        return Texts::tr("%1 is no longer listed").arg(port.device);
    if (!port.answered)
        return Texts::tr("COM %1 now stands for %2, and %3 never answered").arg(port.number).arg(stands, port.device);
    return {};
}

} // namespace corvane::platform
