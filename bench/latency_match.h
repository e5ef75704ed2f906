#pragma once
// The latency benchmark's two records and how they pair: the packets that
// corvane-tracker-sim wrote, each stamped when its last byte went out, and the
// pointer moves seen on the X server, each stamped when it arrived.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace corvane::bench {

using Nanos = std::int64_t;

struct Packet {
    Nanos written = 0;
    int dx = 0, dy = 0; // pixels: ten per count
};

struct Move {
    Nanos seen = 0;
    int dx = 0, dy = 0;
};

// The moving packets of the simulator's timestamps file ("monotonic_ns mode
// lr ud ss" per packet) at ten pixels per count; `all` gets how many packets,
// still ones too, it holds so far.
std::vector<Packet> readPackets(const std::filesystem::path& path, std::size_t* all = nullptr);

struct Matching {
    std::size_t packets = 0; // moving packets sent
    std::size_t matched = 0; // packets matched to a move
    std::size_t strayMoves = 0;
    std::vector<double> latenciesMs; // from a packet's write to the move that carried it
};

// Pairs packets with moves in order by the running sum of their values: one
// move can carry the packets of one cycle, up to six (more means the program
// stalled, and the search gives up rather than guess). A move that no run of
// packets explains is stray, and the count starts again from it.
Matching match(const std::vector<Packet>& packets, const std::vector<Move>& moves);

} // namespace corvane::bench
