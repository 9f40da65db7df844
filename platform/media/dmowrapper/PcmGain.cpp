#include "platform/media/dmowrapper/PcmGain.h"

#include <algorithm>
#include <cmath>

namespace {

int16_t Scale(int16_t sample, double gain) {
    // Clamped before the conversion: a float outside the range would be undefined behaviour.
    const double scaled = std::round(static_cast<double>(sample) * gain);
    return static_cast<int16_t>(std::clamp(scaled, -32768.0, 32767.0));
}

}  // namespace

void ApplyPcmGain(const int16_t* in, int16_t* out, size_t count, double gain) {
    if (gain == 1.0) {
        std::copy_n(in, count, out);
        return;
    }
    for (size_t i = 0; i < count; ++i)
        out[i] = Scale(in[i], gain);
}
