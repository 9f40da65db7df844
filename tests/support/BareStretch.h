// The reference the stream is measured against: SoundTouch driven directly, with the
// stream's settings and sample conversion, fed in the stream's chunk size and drained
// without a final flush. It shares no code with the engine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// Fills up to `frames` interleaved frames; returns how many it gave (0 at the end).
using BareSource = std::function<size_t(int16_t* frames, size_t max_frames)>;
// Receives each block of processed samples (interleaved, `count` samples).
using BareSink = std::function<void(const int16_t* samples, size_t count)>;

void BareStretchLoop(const BareSource& source, uint16_t channels, uint32_t rate,
                     float stretch_percent, const BareSink& sink);

// Stretches interleaved 16-bit samples at one constant stretch (percent); returns the bytes
// received.
std::vector<uint8_t> BareStretch(const std::vector<int16_t>& samples, uint16_t channels,
                                 uint32_t rate, float stretch_percent);

// The same loop without keeping the output: returns the number of bytes produced.
uint64_t BareStretchCount(const int16_t* samples, uint64_t frames, uint16_t channels, uint32_t rate,
                          float stretch_percent);
