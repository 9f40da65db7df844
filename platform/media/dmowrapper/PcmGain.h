// The gain arithmetic of the "Gain" media object, on plain 16-bit samples: each sample is
// multiplied, rounded to the nearest integer (halves away from zero) and clamped to
// [-32768, 32767]. With a factor of exactly 1.0 the output equals the input.
// Threading: a pure function.
#pragma once

#include <cstddef>
#include <cstdint>

// Writes `count` samples from `in` to `out` (they may be the same array).
void ApplyPcmGain(const int16_t* in, int16_t* out, size_t count, double gain);
