#include "platform/media/filters/WaveHeaderParser.h"

#include <algorithm>

namespace {

constexpr uint32_t FourCC(char a, char b, char c, char d) {
    return static_cast<uint32_t>(static_cast<uint8_t>(a)) |
           (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8) |
           (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24);
}

constexpr uint32_t kRiff = FourCC('R', 'I', 'F', 'F');
constexpr uint32_t kWave = FourCC('W', 'A', 'V', 'E');
constexpr uint32_t kFormat = FourCC('f', 'm', 't', ' ');
constexpr uint32_t kData = FourCC('d', 'a', 't', 'a');

constexpr int64_t kFirstChunk = 12;
constexpr uint32_t kMinFormatSize = 16;
// A format record with its extra bytes never comes near this; a bigger one is a lie.
constexpr uint32_t kMaxFormatSize = 64 * 1024;
// Enough for any real file's chunks before the samples; stops a walk over garbage early.
constexpr int kMaxChunks = 4096;

uint32_t LittleEndian32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
           (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

}  // namespace

bool WaveHeaderParser::ReadChunkHeader(const ReadFunction& read, int64_t position,
                                       ChunkHeader* header) {
    uint8_t bytes[8];
    if (!read(position, sizeof bytes, bytes)) return false;
    header->id = LittleEndian32(bytes);
    header->size = LittleEndian32(bytes + 4);
    return true;
}

bool WaveHeaderParser::ReadFormat(const ReadFunction& read, int64_t position, uint32_t size,
                                  int64_t image_size, WaveLayout* layout) {
    if (size < kMinFormatSize || size > kMaxFormatSize) return false;
    if (position + size > image_size) return false;
    layout->format.assign(size, 0);
    return read(position, size, layout->format.data());
}

bool WaveHeaderParser::Parse(const ReadFunction& read, int64_t image_size, WaveLayout* layout) {
    if (!layout || !read || image_size < kFirstChunk) return false;
    uint8_t form[12];
    if (!read(0, sizeof form, form)) return false;
    if (LittleEndian32(form) != kRiff || LittleEndian32(form + 8) != kWave) return false;

    WaveLayout found;
    bool have_format = false;
    bool have_data = false;
    int64_t position = kFirstChunk;
    for (int chunk = 0; chunk < kMaxChunks && !(have_format && have_data); ++chunk) {
        ChunkHeader header;
        if (position + 8 > image_size || !ReadChunkHeader(read, position, &header)) break;
        const int64_t body = position + 8;
        if (header.id == kFormat && !have_format) {
            if (!ReadFormat(read, body, header.size, image_size, &found)) return false;
            have_format = true;
        } else if (header.id == kData && !have_data) {
            found.data_offset = body;
            found.data_size = std::min<int64_t>(header.size, image_size - body);
            have_data = true;
        }
        // Chunks are padded to an even size.
        position = body + header.size + (header.size & 1);
    }
    if (!have_format || !have_data) return false;
    *layout = std::move(found);
    return true;
}
