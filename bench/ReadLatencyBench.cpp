// How long one 4 KiB read of the stretched stream blocks, over whole files read in order:
// worst and median per format and stretch. The player's parser pulls in such reads, so the
// worst one is what can stall playback.
#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "engine/StretchEvent.h"
#include "engine/StretchedWaveStream.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavFileBuilder.h"

namespace {

constexpr uint32_t kSeconds = 8;
constexpr uint32_t kRead = 4096;

struct Format {
    uint32_t rate;
    uint16_t channels;
};
constexpr Format kFormats[] = {{8000, 1}, {44100, 2}, {48000, 2}};

void BM_Read4KiBLatency(benchmark::State& state) {
    const Format format = kFormats[state.range(0)];
    const float stretch = static_cast<float>(state.range(1));
    TempDir dir;
    const std::string path = dir.File("source.wav");
    WavFileBuilder()
        .Channels(format.channels)
        .Rate(format.rate)
        .Samples(TestSignal(kSeconds * format.rate, format.channels, format.rate))
        .Write(path);
    StretchEvent* head = nullptr;
    if (stretch != 0) new StretchEvent(0.0f, stretch, &head);
    SetCurrentEventList(&head);
    std::vector<double> latencies;
    {
        StretchedWaveStream stream;
        if (!stream.Open(path.c_str())) {
            state.SkipWithError("cannot open the source");
        } else {
            std::vector<uint8_t> buffer(kRead);
            for (auto _ : state) {
                stream.SetOffset(0.0f);
                stream.Rewind();
                for (;;) {
                    const auto start = std::chrono::steady_clock::now();
                    const uint32_t got = stream.Read(buffer.data(), kRead);
                    latencies.push_back(std::chrono::duration<double, std::milli>(
                                            std::chrono::steady_clock::now() - start)
                                            .count());
                    if (got < kRead) break;
                }
            }
        }
    }
    SetCurrentEventList(nullptr);
    delete head;
    if (latencies.empty()) return;
    std::sort(latencies.begin(), latencies.end());
    state.counters["median_ms"] = latencies[latencies.size() / 2];
    state.counters["worst_ms"] = latencies.back();
    state.counters["reads"] = static_cast<double>(latencies.size());
    state.SetLabel(std::to_string(format.rate) + " Hz x" + std::to_string(format.channels));
}

}  // namespace

BENCHMARK(BM_Read4KiBLatency)
    ->ArgsProduct({{0, 1, 2}, {-95, -50, 0, 30, 100}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
