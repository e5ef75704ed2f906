#pragma once
// Helpers shared by the test programs, windowless ones included: readable
// failure output for Qt texts and profiles, whole-file reads and writes, the
// failure number an action raises, the common error report, a table's records
// and the Euler Angle packet builder.
#include "core/Fault.h"
#include "profiles/ProfileFile.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QByteArray& bytes, std::ostream* os) { *os << '"' << bytes.toStdString() << '"'; }

namespace corvane {

inline void PrintTo(const Profile& profile, std::ostream* os) { *os << profileLine(profile).toStdString(); }

namespace test {

// The records 1 to count, in order.
inline std::vector<Profile> records(const ProfileTable& table)
{
    std::vector<Profile> out;
    for (int i = 1; i <= table.count(); ++i)
        out.push_back(table.at(i));
    return out;
}

// The whole file, or "<missing>" when it cannot be read.
inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// The number of the failure that the action raised; 0 when it raised none.
inline int faultOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Fault& fault) {
        return fault.number;
    }
    return 0;
}

// The text of the common error report for one failure.
inline QString errorReport(int number, const QString& description)
{
    return QStringLiteral("Corvane has encountered the following error:\r\n\r\n%1 : %2").arg(number).arg(description);
}

// An "Euler Angle" packet of three raw 16-bit values, with its checksum and sync byte.
inline QByteArray eulerPacket(int leftRight, int upDown, int sideSide)
{
    QByteArray packet;
    for (const int value : {leftRight, upDown, sideSide})
        packet.append(static_cast<char>(value >> 8)).append(static_cast<char>(value & 0xFF));
    int sum = 0xFF;
    for (const char byte : packet)
        sum += static_cast<unsigned char>(byte);
    return packet.append(static_cast<char>(sum & 0xFF)).append('\xFF');
}

} // namespace test
} // namespace corvane
