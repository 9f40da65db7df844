// WaveMediaType: the audio media type a WAV file's format record describes: MEDIATYPE_Audio,
// FORMAT_WaveFormatEx with the record as a WAVEFORMATEX (a 16-byte PCM record gains a zero
// cbSize), and the subtype named by the format tag (PCM for tag 1; the sub-format of an
// extensible record). Records that cannot describe a stream (no channels, no rate, a zero
// block or byte rate) are refused.
// Threading: pure functions.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/media/base/CMediaType.h"

class WaveMediaType {
public:
    // False when the record is not usable; `type` is then untouched.
    static bool FromFormatChunk(const std::vector<uint8_t>& chunk, CMediaType* type);

private:
    static GUID SubtypeFor(const std::vector<uint8_t>& record);
};
