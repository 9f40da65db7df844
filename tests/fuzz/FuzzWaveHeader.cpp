// The Wave Parser's header parsing on arbitrary bytes: whatever the chunk sizes claim, the
// layout it accepts stays inside the image.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/media/filters/WaveHeaderParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto image_size = static_cast<int64_t>(size);
    auto read = [&](int64_t position, uint32_t length, uint8_t* buffer) {
        if (position < 0 || position > image_size || length > image_size - position) return false;
        if (length > 0) std::memcpy(buffer, data + position, length);
        return true;
    };
    WaveLayout layout;
    if (!WaveHeaderParser::Parse(read, image_size, &layout)) return 0;
    if (layout.format.size() < 16 || layout.data_offset < 0 || layout.data_size < 0 ||
        layout.data_offset > image_size || layout.data_size > image_size - layout.data_offset)
        std::abort();
    return 0;
}
