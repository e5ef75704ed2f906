#include "tools/sim/Faults.h"

#include "tools/sim/Terminal.h"
#include "tools/sim/Text.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <utility>

namespace corvane::sim {

FaultCommand parseFaultCommand(std::string_view text)
{
    text = trimmed(text);
    const std::size_t split = text.find_first_of(" \t=");
    const std::string_view name = text.substr(0, split);
    const std::string_view argument = split == std::string_view::npos ? std::string_view()
                                                                      : trimmed(text.substr(split + 1));

    using Kind = FaultCommand::Kind;
    static constexpr std::pair<std::string_view, Kind> kNames[] = {
        {"no-reply", Kind::NoReply},     {"refuse", Kind::Refuse}, {"noise", Kind::Noise},
        {"lowercase", Kind::Lowercase},  {"vanish", Kind::Vanish}, {"return", Kind::Return},
        {"only-speed", Kind::OnlySpeed}, {"clear", Kind::Clear},
    };
    const auto* found = std::find_if(std::begin(kNames), std::end(kNames),
                                     [&](const auto& entry) { return entry.first == name; });
    if (found == std::end(kNames)) {
        throw std::invalid_argument("unknown command " + inQuotes(text));
    }
    FaultCommand command{found->second};
    if (command.kind == Kind::OnlySpeed) {
        const auto baud = parseInt(argument);
        if (!baud || !speedOfBaud(*baud)) {
            throw std::invalid_argument("only-speed needs a line speed such as 9600 or 19200, not "
                                        + inQuotes(argument));
        }
        command.baud = *baud;
    } else if (!argument.empty()) {
        throw std::invalid_argument(std::string(name) + " takes no argument, found " + inQuotes(argument));
    }
    return command;
}

std::string ActiveFaults::list() const
{
    std::string names;
    const auto add = [&](bool on, const std::string& name) {
        if (on) {
            names += (names.empty() ? "" : ",") + name;
        }
    };
    add(noReply, "no-reply");
    add(refuse, "refuse");
    add(noise, "noise");
    add(lowercase, "lowercase");
    add(onlySpeed.has_value(), "only-speed:" + std::to_string(onlySpeed.value_or(0)));
    return names.empty() ? "none" : names;
}

} // namespace corvane::sim
