// StreamSubtype: the subtype a file source gives its byte stream, from the file's extension
// and, when that says nothing, from its first bytes: WAVE, AVI, MPEG-1 system stream, MPEG-2
// transport stream, QuickTime, MP4, Matroska/WebM, or GUID_NULL ("some bytes") for anything
// else. The bytes are matched against fixed patterns at fixed offsets, as the registry's byte
// patterns for stream subtypes are.
// Threading: pure functions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/com/Guid.h"

class StreamSubtype {
public:
    // How many of a file's first bytes the patterns look at (three transport stream packets).
    static constexpr size_t kHeadBytes = 3 * 188 + 1;

    // `head` holds the first `size` bytes of the file (kHeadBytes, or fewer in a short file).
    static GUID For(const std::string& path, const uint8_t* head, size_t size);

private:
    static GUID FromExtension(const std::string& path);
    static GUID FromContent(const uint8_t* head, size_t size);
};
