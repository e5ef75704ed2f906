// corvane-bench-decoder: tracker packet decoder throughput, in packets per second.
//
//   MouseEmulation/Clean/N   N nine-character packets back to back, one cycle's read
//   MouseEmulation/Noisy/N   the same packets with line noise between them (stray
//                            digits, lower-case letters, control bytes)
//   EulerAngle/Backlog/N     one cycle with N older packets queued before the newest;
//                            one packet is decoded per cycle, the rest dropped
//
// Each iteration decodes a fresh copy of the prepared buffer, as the main loop
// would after a read. The "packets/s" counter is the figure to compare.
#include "engine/Decoding.h"

#include <benchmark/benchmark.h>

#include <QByteArray>

#include <cstdint>
#include <random>

using namespace corvane;

namespace {

QByteArray mouseEmulationPacket(std::mt19937& rng)
{
    static const char hex[] = "0123456789ABCDEF";
    const auto x = static_cast<unsigned>(rng() & 0xFF);
    const auto y = static_cast<unsigned>(rng() & 0xFF);
    const unsigned bytes[3] = {0xC0u | ((y >> 6) << 2) | (x >> 6), x & 0x3Fu, y & 0x3Fu};
    QByteArray packet;
    for (unsigned b : bytes) {
        packet += hex[b >> 4];
        packet += hex[b & 0xF];
        packet += ' ';
    }
    return packet;
}

// Line noise ending in two digits 0..B: whatever window starts inside it meets
// one of those digits before the next packet's first digit, so the noise is
// skipped without eating into the packet.
QByteArray noise(std::mt19937& rng)
{
    static const char pool[] = "0123456789ABcdef\r\n\x01\x7f-";
    static const char low[] = "0123456789AB";
    QByteArray out;
    const int length = static_cast<int>(rng() % 10);
    for (int i = 0; i < length; ++i)
        out += pool[rng() % (sizeof pool - 1)];
    out += low[rng() % 12];
    out += low[rng() % 12];
    return out;
}

QByteArray eulerPacket(std::mt19937& rng)
{
    QByteArray packet;
    unsigned sum = 0xFF;
    for (int i = 0; i < 6; ++i) {
        const auto byte = static_cast<unsigned char>(rng() % 0xFF); // 255 only as the sync byte
        sum += byte;
        packet += static_cast<char>(byte);
    }
    packet += static_cast<char>(sum & 0xFF);
    packet += static_cast<char>(0xFF);
    return packet;
}

void reportPackets(benchmark::State& state, std::int64_t packetsPerIteration)
{
    state.counters["packets/s"] = benchmark::Counter(static_cast<double>(packetsPerIteration * state.iterations()),
                                                     benchmark::Counter::kIsRate);
}

void runMouseEmulation(benchmark::State& state, bool noisy)
{
    std::mt19937 rng(7);
    const auto packets = state.range(0);
    QByteArray stream;
    for (std::int64_t i = 0; i < packets; ++i) {
        if (noisy)
            stream += noise(rng);
        stream += mouseEmulationPacket(rng);
    }
    for (auto _ : state) {
        QByteArray buffer = stream;
        MovementValues v;
        decodeMouseEmulation(buffer, v);
        benchmark::DoNotOptimize(v);
        benchmark::DoNotOptimize(buffer);
    }
    reportPackets(state, packets);
}

void MouseEmulationClean(benchmark::State& state) { runMouseEmulation(state, false); }
void MouseEmulationNoisy(benchmark::State& state) { runMouseEmulation(state, true); }

void EulerAngleBacklog(benchmark::State& state)
{
    std::mt19937 rng(11);
    QByteArray stream;
    for (std::int64_t i = 0; i <= state.range(0); ++i)
        stream += eulerPacket(rng);
    for (auto _ : state) {
        QByteArray buffer = stream;
        MovementValues v;
        decodeEulerAngle(buffer, v);
        benchmark::DoNotOptimize(v);
    }
    reportPackets(state, 1);
}

} // namespace

BENCHMARK(MouseEmulationClean)->Name("MouseEmulation/Clean")->Arg(1)->Arg(64)->Arg(4096);
BENCHMARK(MouseEmulationNoisy)->Name("MouseEmulation/Noisy")->Arg(1)->Arg(64)->Arg(4096);
BENCHMARK(EulerAngleBacklog)->Name("EulerAngle/Backlog")->Arg(0)->Arg(16)->Arg(1024);

BENCHMARK_MAIN();
