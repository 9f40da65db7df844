// tkv_bare_render IN.wav OUT.wav STRETCH: the bare SoundTouch loop as a whole program, reading
// a 16-bit PCM WAV and writing the stretched WAV — the yardstick for tkv-render.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tests/support/BareStretch.h"

namespace {

constexpr size_t kOutputBlock = 2 * 1024 * 1024;

uint32_t Get32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Walks the chunks to the samples; fills channels and rate from "fmt ".
bool FindSamples(std::FILE* in, uint16_t* channels, uint32_t* rate) {
    unsigned char chunk[16];
    if (std::fread(chunk, 1, 12, in) != 12 || std::memcmp(chunk, "RIFF", 4)) return false;
    while (std::fread(chunk, 1, 8, in) == 8) {
        const uint32_t size = Get32(chunk + 4);
        if (!std::memcmp(chunk, "data", 4)) return *channels > 0;
        if (!std::memcmp(chunk, "fmt ", 4) && size >= 16) {
            if (std::fread(chunk, 1, 16, in) != 16) return false;
            *channels = static_cast<uint16_t>(chunk[2] | chunk[3] << 8);
            *rate = Get32(chunk + 4);
            std::fseek(in, static_cast<long>(size - 16 + (size & 1)), SEEK_CUR);
        } else {
            std::fseek(in, static_cast<long>(size + (size & 1)), SEEK_CUR);
        }
    }
    return false;
}

void Put32(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: tkv_bare_render IN.wav OUT.wav STRETCH\n");
        return 2;
    }
    std::FILE* in = std::fopen(argv[1], "rb");
    std::FILE* out = std::fopen(argv[2], "wb");
    uint16_t channels = 0;
    uint32_t rate = 0;
    if (!in || !out || !FindSamples(in, &channels, &rate)) {
        std::fprintf(stderr, "tkv_bare_render: cannot use %s or %s\n", argv[1], argv[2]);
        return 1;
    }
    unsigned char header[46] = {};
    std::fwrite(header, 1, 46, out);  // filled in at the end

    std::vector<unsigned char> block;
    block.reserve(kOutputBlock);
    uint64_t written = 0;
    auto flush = [&] {
        std::fwrite(block.data(), 1, block.size(), out);
        written += block.size();
        block.clear();
    };
    BareStretchLoop(
        [&](int16_t* frames, size_t max_frames) {
            return std::fread(frames, 2u * channels, max_frames, in);
        },
        channels, rate, static_cast<float>(std::atof(argv[3])),
        [&](const int16_t* samples, size_t count) {
            const auto* bytes = reinterpret_cast<const unsigned char*>(samples);
            block.insert(block.end(), bytes, bytes + count * 2);
            if (block.size() >= kOutputBlock) flush();
        });
    flush();

    std::memcpy(header, "RIFF", 4);
    Put32(header + 4, static_cast<uint32_t>(written + 38));
    std::memcpy(header + 8, "WAVEfmt ", 8);
    Put32(header + 16, 18);
    header[20] = 1;
    header[22] = static_cast<unsigned char>(channels);
    Put32(header + 24, rate);
    Put32(header + 28, rate * channels * 2);
    header[32] = static_cast<unsigned char>(channels * 2);
    header[34] = 16;
    header[36] = 18;
    std::memcpy(header + 38, "data", 4);
    Put32(header + 42, static_cast<uint32_t>(written));
    std::fseek(out, 0, SEEK_SET);
    std::fwrite(header, 1, 46, out);
    std::fclose(in);
    return std::fclose(out) == 0 ? 0 : 1;
}
