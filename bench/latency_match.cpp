#include "bench/latency_match.h"

#include "bench/child_process.h"

#include <sstream>
#include <string>

namespace corvane::bench {

namespace {

constexpr double kMillisecond = 1'000'000;
constexpr std::size_t kMatchWindow = 6;

} // namespace

std::vector<Packet> readPackets(const std::filesystem::path& path, std::size_t* all)
{
    std::vector<Packet> moving;
    std::istringstream lines(readFile(path));
    std::string line;
    std::size_t count = 0;
    while (std::getline(lines, line)) {
        if (line.empty() || line.front() == '#')
            continue;
        std::istringstream fields(line);
        Packet p;
        std::string mode;
        if (!(fields >> p.written >> mode >> p.dx >> p.dy))
            continue;
        ++count;
        if (p.dx != 0 || p.dy != 0)
            moving.push_back({p.written, 10 * p.dx, 10 * p.dy});
    }
    if (all)
        *all = count;
    return moving;
}

Matching match(const std::vector<Packet>& packets, const std::vector<Move>& moves)
{
    Matching m;
    m.packets = packets.size();
    std::size_t next = 0; // first packet not matched yet
    long long sentX = 0, sentY = 0, movedX = 0, movedY = 0;
    for (const Move& move : moves) {
        movedX += move.dx;
        movedY += move.dy;
        long long x = sentX, y = sentY;
        std::size_t end = next;
        bool found = false;
        while (end < packets.size() && end - next < kMatchWindow) {
            x += packets[end].dx;
            y += packets[end].dy;
            ++end;
            if (x == movedX && y == movedY) {
                found = true;
                break;
            }
        }
        if (!found) {
            // The sums part ways: take up the pointer's count from here.
            ++m.strayMoves;
            sentX = movedX;
            sentY = movedY;
            continue;
        }
        for (std::size_t i = next; i < end; ++i)
            m.latenciesMs.push_back(static_cast<double>(move.seen - packets[i].written) / kMillisecond);
        m.matched += end - next;
        next = end;
        sentX = x;
        sentY = y;
    }
    return m;
}

} // namespace corvane::bench
