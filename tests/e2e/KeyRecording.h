#pragma once
// What the recorder may write for keys typed one after another.
#include <string_view>
#include <vector>

namespace corvane::e2e {

// Whether `recorded` ("D121U121D122U122") is a recording of keys tapped one
// after another (each released before the next goes down) with the distinct
// virtual-key codes `typed`, in that order. A poll sees the keys down at that
// moment and those pressed since the poll before; it writes the keys it sees
// newly down, then those it no longer sees up, each group in code order. So
// keys that fall into one poll overlap ("D121D122U121U122"), their downs in
// code order rather than typed order. Every way the polls can fall among the
// strokes is accepted, and nothing else.
bool isRecordingOf(std::string_view recorded, const std::vector<int>& typed);

} // namespace corvane::e2e
