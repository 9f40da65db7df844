#include "bench/BenchMedia.h"

#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "tests/support/TempDir.h"
#include "tests/support/WavFileBuilder.h"

const BenchSource& BenchSourceOfLength(uint32_t seconds) {
    static TempDir dir;
    static std::map<uint32_t, std::unique_ptr<BenchSource>> cache;
    auto& entry = cache[seconds];
    if (!entry) {
        entry = std::make_unique<BenchSource>();
        entry->samples = TestSignal(seconds * 44100, 2, 44100);
        entry->path = dir.File("bench-" + std::to_string(seconds) + ".wav");
        WavFileBuilder().Channels(2).Rate(44100).Samples(entry->samples).Write(entry->path);
    }
    return *entry;
}

long CurrentRssKiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
        status.ignore(1 << 16, '\n');
    }
    return -1;
}
