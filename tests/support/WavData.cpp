#include "tests/support/WavData.h"

#include <algorithm>
#include <cstring>

bool WavDataChunk(const std::vector<uint8_t>& file, std::vector<uint8_t>* data) {
    for (size_t at = 12; at + 8 <= file.size();) {
        uint32_t size = 0;
        std::memcpy(&size, file.data() + at + 4, 4);
        if (std::memcmp(file.data() + at, "data", 4) == 0) {
            const size_t end = std::min(file.size(), at + 8 + size);
            data->assign(file.begin() + static_cast<std::ptrdiff_t>(at + 8),
                         file.begin() + static_cast<std::ptrdiff_t>(end));
            return true;
        }
        at += 8 + size + (size & 1);
    }
    data->clear();
    return false;
}

std::vector<uint8_t> TrimSilentFrames(const std::vector<uint8_t>& pcm, size_t frame_bytes) {
    const auto silent = [&](size_t at) {
        return std::all_of(pcm.begin() + static_cast<std::ptrdiff_t>(at),
                           pcm.begin() + static_cast<std::ptrdiff_t>(at + frame_bytes),
                           [](uint8_t b) { return b == 0; });
    };
    size_t first = 0;
    size_t end = pcm.size() - pcm.size() % frame_bytes;
    while (first < end && silent(first))
        first += frame_bytes;
    while (end > first && silent(end - frame_bytes))
        end -= frame_bytes;
    return std::vector<uint8_t>(pcm.begin() + static_cast<std::ptrdiff_t>(first),
                                pcm.begin() + static_cast<std::ptrdiff_t>(end));
}
