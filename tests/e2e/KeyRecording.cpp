#include "tests/e2e/KeyRecording.h"

#include <algorithm>
#include <functional>
#include <set>
#include <string>

namespace corvane::e2e {

bool isRecordingOf(std::string_view recorded, const std::vector<int>& typed)
{
    const std::size_t n = typed.size();
    // "D" or "U" tokens of the keys typed[from..to), in code order.
    const auto strokes = [&](char kind, std::size_t from, std::size_t to) {
        std::vector<int> codes(typed.begin() + from, typed.begin() + to);
        std::sort(codes.begin(), codes.end());
        std::string text;
        for (int code : codes)
            text += kind + std::to_string(1000 + code).substr(1);
        return text;
    };
    // After a poll, the keys [first, next) are written down and not yet up:
    // those before `first` are written both ways, 4 * (first + next) characters.
    // Ways the polls may fall that lead to the same state end alike: each is
    // followed once, or a long refused recording would take for ever.
    std::set<std::pair<std::size_t, std::size_t>> tried;
    const std::function<bool(std::size_t, std::size_t)> after = [&](std::size_t first, std::size_t next) {
        if (first == n)
            return recorded.size() == 8 * n;
        if (!tried.insert({first, next}).second)
            return false;
        const std::string_view rest = recorded.substr(std::min(recorded.size(), 4 * (first + next)));
        // The next poll sees only the last key, still held down.
        if (next - first > 1 && rest.starts_with(strokes('U', first, next - 1)) && after(next - 1, next))
            return true;
        // Or it sees the keys [next, last) pressed since, or none.
        for (std::size_t last = next + (first == next); last <= n; ++last) {
            if (rest.starts_with(strokes('D', next, last) + strokes('U', first, next)) && after(next, last))
                return true;
        }
        return false;
    };
    return after(0, 0);
}

} // namespace corvane::e2e
