#pragma once
// Key names by virtual-key code and the label of one key.
#include <QString>
#include <array>

namespace corvane {

using KeyNameTable = std::array<QString, 256>;

// Fills the key-name table (once; later calls change nothing).
void loadKeyNames();

// The table, filled on first use if loadKeyNames has not run yet.
const KeyNameTable& keyNameTable();

// The label a mapping box shows for a key: "[" + name + "]" for a named code
// 0..255, the name translated where the user's language names the key
// otherwise ("[SPACE]", in German "[LEER]"); else "[" + code mod 1000 in
// three digits + "]" ("[021]", "[300]"). A negative code throws the subscript
// Fault. Only shown, never stored: the send-keys text takes the table's names.
QString keyLabel(qint64 code);

} // namespace corvane
