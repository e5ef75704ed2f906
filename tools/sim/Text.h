#pragma once
// Reading the simulator's own texts (option values, control lines) and
// quoting bytes in its messages.
#include <optional>
#include <string>
#include <string_view>

namespace corvane::sim {

// The whole text as a decimal int; none for anything else, blanks included.
std::optional<int> parseInt(std::string_view text);

// Without leading and trailing blanks, tabs, CR and LF.
std::string_view trimmed(std::string_view text);

// The bytes escaped for the log, between double quotes.
std::string inQuotes(std::string_view bytes);

} // namespace corvane::sim
