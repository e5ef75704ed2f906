#pragma once
// The entry point of a fuzz target that reads text: the arbitrary bytes go to
// the target's exerciseText, read once as Latin-1 and once as UTF-8. Include
// it in one file of the target, which defines exerciseText.
#include <QString>

#include <cstddef>
#include <cstdint>

void exerciseText(const QString& text);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto* bytes = reinterpret_cast<const char*>(data);
    const auto length = static_cast<qsizetype>(size);
    exerciseText(QString::fromLatin1(bytes, length));
    exerciseText(QString::fromUtf8(bytes, length));
    return 0;
}
