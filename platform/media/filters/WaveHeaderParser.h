// WaveHeaderParser: finds the format record and the sample data of a RIFF WAVE image read
// through a function (the parser's input reads it from an IAsyncReader). Chunk sizes are
// trusted only as far as the image goes: a data chunk that claims more than the image holds
// ends where the image ends, a format chunk that runs past the end fails, and the RIFF size
// itself is not trusted at all (some writers leave it 0).
// Order of use: Parse once per connection.
// Threading: none of its own; Parse runs on the caller's thread.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

struct WaveLayout {
    std::vector<uint8_t> format;  // the "fmt " chunk body, at least the 16 bytes of PCM
    int64_t data_offset = 0;      // first sample byte
    int64_t data_size = 0;        // sample bytes, cut to the image
};

class WaveHeaderParser {
public:
    // Fills `buffer` with `length` bytes from `position`; false when they cannot all be had.
    using ReadFunction = std::function<bool(int64_t position, uint32_t length, uint8_t* buffer)>;

    // `image_size` is the length of the whole image as the source reports it.
    static bool Parse(const ReadFunction& read, int64_t image_size, WaveLayout* layout);

private:
    struct ChunkHeader {
        uint32_t id = 0;
        uint32_t size = 0;
    };

    static bool ReadChunkHeader(const ReadFunction& read, int64_t position, ChunkHeader* header);
    static bool ReadFormat(const ReadFunction& read, int64_t position, uint32_t size,
                           int64_t image_size, WaveLayout* layout);
};
