// StreamSubtype: the subtype a file source gives its byte stream, from the file's extension
// and, when that says nothing, from its first bytes: WAVE, AVI, MPEG-1 system stream, or
// GUID_NULL ("some bytes") for anything else.
// Threading: pure functions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/com/Guid.h"

class StreamSubtype {
public:
    // `head` holds the first `size` bytes of the file (12 are enough).
    static GUID For(const std::string& path, const uint8_t* head, size_t size);

private:
    static GUID FromExtension(const std::string& path);
    static GUID FromContent(const uint8_t* head, size_t size);
};
