#include "tools/sim/HeadMotion.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace corvane::sim {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::vector<std::string_view> splitFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i])) {
            ++i;
        }
        const std::size_t start = i;
        while (i < line.size() && !isBlank(line[i])) {
            ++i;
        }
        if (i > start) {
            fields.push_back(line.substr(start, i - start));
        }
    }
    return fields;
}

std::optional<int> wholeNumber(std::string_view field)
{
    if (field.size() > 1 && field.front() == '+' && field[1] != '-') {
        field.remove_prefix(1);
    }
    int value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc() || end != field.data() + field.size()) {
        return std::nullopt;
    }
    return value;
}

[[noreturn]] void badLine(int number, std::string_view line, const std::string& why)
{
    constexpr std::size_t kShown = 60;
    std::string shown = escapeBytes(line.substr(0, kShown));
    if (line.size() > kShown) {
        shown += "...";
    }
    throw std::invalid_argument("line " + std::to_string(number) + ": " + why + ": \"" + shown + "\"");
}

} // namespace

MotionScript parseMotionScript(std::string_view text)
{
    MotionScript script;
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++number;

        const auto fields = splitFields(line);
        if (fields.empty() || fields.front().front() == '#') {
            continue;
        }
        if (fields.size() != 3) {
            badLine(number, line, "expected three whole numbers \"lr ud ss\"");
        }
        int values[3] = {};
        for (std::size_t i = 0; i < 3; ++i) {
            const auto value = wholeNumber(fields[i]);
            if (!value) {
                // Built by appending: GCC 12 warns falsely about "literal" + temporary here.
                badLine(number, line,
                        std::string(1, '"').append(escapeBytes(fields[i])).append("\" is not a whole number"));
            }
            if (*value < kMinAngle || *value > kMaxAngle) {
                badLine(number, line,
                        std::to_string(*value) + " is outside " + std::to_string(kMinAngle) + ".."
                            + std::to_string(kMaxAngle));
            }
            values[i] = *value;
        }
        script.samples.push_back({values[0], values[1], values[2]});
        script.lineNumbers.push_back(number);
    }
    if (script.samples.empty()) {
        throw std::invalid_argument("no motion lines (expected lines of \"lr ud ss\")");
    }
    return script;
}

Sample clampToMouseEmulation(Sample counts)
{
    return {std::clamp(counts.lr, kMinLeftRightCounts, kMaxLeftRightCounts),
            std::clamp(counts.ud, kMinUpDownCounts, kMaxUpDownCounts), 0};
}

std::vector<std::string> mouseEmulationRangeWarnings(const MotionScript& script)
{
    std::vector<std::string> warnings;
    for (std::size_t i = 0; i < script.samples.size(); ++i) {
        const Sample& s = script.samples[i];
        if (clampToMouseEmulation(s) != Sample{s.lr, s.ud, 0}) {
            warnings.push_back("line " + std::to_string(script.lineNumbers[i]) + ": " + std::to_string(s.lr) + " "
                               + std::to_string(s.ud) + " is beyond one Mouse Emulation packet (left-right "
                               + std::to_string(kMinLeftRightCounts) + ".." + std::to_string(kMaxLeftRightCounts)
                               + ", up-down " + std::to_string(kMinUpDownCounts) + ".."
                               + std::to_string(kMaxUpDownCounts) + "); it is clamped in that mode");
        }
    }
    return warnings;
}

HeadMotion HeadMotion::still() { return HeadMotion(Kind::Still); }

HeadMotion HeadMotion::circle(int packetsPerSecond)
{
    HeadMotion m(Kind::Circle);
    m.packetsPerTurn_ = std::max(1, static_cast<int>(std::lround(packetsPerSecond * kCircleSeconds)));
    m.restart();
    return m;
}

HeadMotion HeadMotion::script(MotionScript script, bool once)
{
    if (script.samples.empty()) {
        throw std::invalid_argument("empty motion script");
    }
    HeadMotion m(Kind::Script);
    m.script_ = std::move(script);
    m.once_ = once;
    return m;
}

void HeadMotion::restart()
{
    position_ = 0;
    sentCounts_ = circlePoint(0, kCircleCounts);
}

Sample HeadMotion::circlePoint(long long packet, int radius) const
{
    const double angle = 2.0 * std::numbers::pi * static_cast<double>(packet % packetsPerTurn_)
                       / static_cast<double>(packetsPerTurn_);
    return {static_cast<int>(std::lround(radius * std::cos(angle))),
            static_cast<int>(std::lround(radius * std::sin(angle))), 0};
}

std::optional<Sample> HeadMotion::next(TrackerMode mode)
{
    switch (kind_) {
    case Kind::Still:
        return Sample{};
    case Kind::Circle: {
        ++position_;
        if (mode == TrackerMode::EulerAngle)
            return circlePoint(position_, kCircleRadius);
        const Sample target = circlePoint(position_, kCircleCounts);
        // Counts that do not fit in one packet are carried to the next ones,
        // so the sum of the counts always follows the circle.
        const Sample step = clampToMouseEmulation({target.lr - sentCounts_.lr, target.ud - sentCounts_.ud, 0});
        sentCounts_.lr += step.lr;
        sentCounts_.ud += step.ud;
        return step;
    }
    case Kind::Script: {
        const auto count = static_cast<long long>(script_.samples.size());
        if (once_ && position_ >= count) {
            return std::nullopt;
        }
        const Sample s = script_.samples[static_cast<std::size_t>(position_ % count)];
        ++position_;
        return mode == TrackerMode::EulerAngle ? s : clampToMouseEmulation(s);
    }
    }
    return std::nullopt;
}

} // namespace corvane::sim
