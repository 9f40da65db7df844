// Reading back sound for comparison: the samples of a WAV file's data chunk, and 16-bit PCM
// with the silence around it trimmed (an audio device plays silence before and after the
// sound). Threading: any.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The data chunk of the WAV file's bytes (cut at the file's end); false when there is none.
bool WavDataChunk(const std::vector<uint8_t>& file, std::vector<uint8_t>* data);

// `pcm` less its leading and trailing frames of zeros; `frame_bytes` is one frame's size.
std::vector<uint8_t> TrimSilentFrames(const std::vector<uint8_t>& pcm, size_t frame_bytes);
