// The stretched stream against a bare SoundTouch loop doing the same conversion and
// processing; seek latency; memory against the source's length.
#include <algorithm>
#include <chrono>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/BenchMedia.h"
#include "engine/StretchEvent.h"
#include "engine/StretchedWaveStream.h"
#include "tests/support/BareStretch.h"

namespace {

constexpr uint32_t kSeconds = 60;
constexpr uint32_t kPiece = 64 * 1024;

// Owns an event list with one event at 0 s, installed as the process's list.
class OneEventList {
public:
    explicit OneEventList(float stretch) {
        if (stretch != 0) new StretchEvent(0.0f, stretch, &m_head);
        SetCurrentEventList(&m_head);
    }
    ~OneEventList() {
        SetCurrentEventList(nullptr);
        delete m_head;
    }

private:
    StretchEvent* m_head = nullptr;
};

uint64_t ReadStreamToEnd(StretchedWaveStream& stream, std::vector<uint8_t>& buffer) {
    uint64_t total = 0;
    for (;;) {
        const uint32_t got = stream.Read(buffer.data(), kPiece);
        total += got;
        if (got < kPiece) return total;
    }
}

void BM_StreamSequentialRead(benchmark::State& state) {
    const float stretch = static_cast<float>(state.range(0));
    const BenchSource& source = BenchSourceOfLength(kSeconds);
    OneEventList list(stretch);
    StretchedWaveStream stream;
    if (!stream.Open(source.path.c_str())) {
        state.SkipWithError("cannot open the source");
        return;
    }
    std::vector<uint8_t> buffer(kPiece);
    uint64_t bytes = 0;
    for (auto _ : state) {
        stream.SetOffset(0.0f);
        stream.Rewind();
        bytes += ReadStreamToEnd(stream, buffer);
    }
    state.SetBytesProcessed(static_cast<int64_t>(source.samples.size() * 2 * state.iterations()));
    state.counters["output_bytes"] = static_cast<double>(bytes / state.iterations());
    state.counters["realtime_x"] = benchmark::Counter(
        kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_BareSoundTouchLoop(benchmark::State& state) {
    const float stretch = static_cast<float>(state.range(0));
    const BenchSource& source = BenchSourceOfLength(kSeconds);
    uint64_t bytes = 0;
    for (auto _ : state) {
        bytes +=
            BareStretchCount(source.samples.data(), source.samples.size() / 2, 2, 44100, stretch);
    }
    state.SetBytesProcessed(static_cast<int64_t>(source.samples.size() * 2 * state.iterations()));
    state.counters["output_bytes"] = static_cast<double>(bytes / state.iterations());
    state.counters["realtime_x"] = benchmark::Counter(
        kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// Seek to a random virtual position and read the first 4 KiB, as a player does after a jump.
void BM_SeekAndRead4KiB(benchmark::State& state) {
    const BenchSource& source = BenchSourceOfLength(kSeconds);
    OneEventList list(10.0f);
    StretchedWaveStream stream;
    if (!stream.Open(source.path.c_str())) {
        state.SkipWithError("cannot open the source");
        return;
    }
    stream.SetOffset(0.5f);
    std::mt19937 random(42);
    std::uniform_int_distribution<uint32_t> position(44, stream.GetVirtualSize());
    std::vector<uint8_t> buffer(4096);
    std::vector<double> latencies;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        stream.Seek(position(random) & ~3u, false);
        benchmark::DoNotOptimize(stream.Read(buffer.data(), 4096));
        latencies.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(latencies.begin(), latencies.end());
    state.counters["median_us"] = latencies[latencies.size() / 2];
    state.counters["worst_us"] = latencies.back();
}

// Resident memory grown while stretching a whole file: the same for short and long files.
void BM_StreamMemory(benchmark::State& state) {
    const uint32_t seconds = static_cast<uint32_t>(state.range(0));
    const BenchSource& source = BenchSourceOfLength(seconds);
    OneEventList list(-10.0f);
    std::vector<uint8_t> buffer(kPiece);
    long grown = 0;
    for (auto _ : state) {
        const long before = CurrentRssKiB();
        StretchedWaveStream stream;
        stream.Open(source.path.c_str());
        stream.SetOffset(0.0f);
        ReadStreamToEnd(stream, buffer);
        grown = std::max(grown, CurrentRssKiB() - before);
    }
    state.counters["rss_growth_KiB"] = static_cast<double>(grown);
}

}  // namespace

BENCHMARK(BM_StreamSequentialRead)->Arg(0)->Arg(10)->Arg(-10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareSoundTouchLoop)->Arg(0)->Arg(10)->Arg(-10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeekAndRead4KiB)->Iterations(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StreamMemory)->Arg(60)->Arg(600)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
