// The arithmetic every stream position is made of, in one place so that the map, the seek
// and the processor agree to the byte. Conversions saturate instead of overflowing.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// Stretch percentages outside this range are used clamped (-100 would stop time).
constexpr float kMinStretch = -95.0f;
constexpr float kMaxStretch = 5000.0f;

inline float ClampStretch(float percent) {
    if (std::isnan(percent)) return 0.0f;
    if (percent < kMinStretch) return kMinStretch;
    if (percent > kMaxStretch) return kMaxStretch;
    return percent;
}

// Truncates toward zero; NaN gives 0, values beyond the type's range its nearest bound.
template <class Int, class Real>
Int SaturateCast(Real value) {
    if (std::isnan(value)) return 0;
    if (value <= static_cast<Real>(std::numeric_limits<Int>::min())) {
        return std::numeric_limits<Int>::min();
    }
    if (value >= static_cast<Real>(std::numeric_limits<Int>::max())) {
        return std::numeric_limits<Int>::max();
    }
    return static_cast<Int>(value);
}

// Source bytes that `bytes` virtual bytes stand for at this stretch: the product is formed in
// double and rounded to float once, which decides the exact byte of every boundary.
inline float DestretchedBytes(int64_t bytes, float stretch) {
    return static_cast<float>(static_cast<double>(bytes) *
                              (static_cast<double>(ClampStretch(stretch)) / 100.0 + 1.0));
}

// x aligned down to the grid of `block` starting at `origin` (floor, also below the origin).
inline int64_t AlignDown(int64_t x, int64_t origin, int64_t block) {
    int64_t rem = (x - origin) % block;
    if (rem < 0) rem += block;
    return x - rem;
}
