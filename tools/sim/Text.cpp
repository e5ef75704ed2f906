#include "tools/sim/Text.h"

#include "tools/sim/SimProtocol.h"

#include <charconv>

namespace corvane::sim {

std::optional<int> parseInt(std::string_view text)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string inQuotes(std::string_view bytes) { return "\"" + escapeBytes(bytes) + "\""; }

} // namespace corvane::sim
