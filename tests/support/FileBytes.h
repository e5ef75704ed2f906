#pragma once
// A file's bytes, read and written whole by the tests.
#include <QByteArray>
#include <QFile>
#include <QString>

namespace corvane::test {

// The bytes at `path`; "<none>" when it cannot be read.
inline QByteArray bytesAt(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

// Writes `bytes` as the whole file at `path`; whether it could.
inline bool put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace corvane::test
