#include "engine/fit/MonoResampler.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/fit/FeatureMath.h"

namespace {

// Lobes of the low-pass on each side: enough for band energies, cheap at 48 kHz.
constexpr double kZeroCrossings = 4.0;
constexpr double kCutoff = 0.45;  // of the lower rate

double Sinc(double x) {
    if (std::abs(x) < 1e-12) return 1.0;
    return std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
}

}  // namespace

MonoResampler::MonoResampler(uint32_t input_rate, uint32_t output_rate)
    : m_in_rate(std::max<uint32_t>(input_rate, 1)), m_out_rate(std::max<uint32_t>(output_rate, 1)) {
    // The cut-off as a fraction of the input rate; the kernel spans kZeroCrossings of its lobes.
    const double cutoff =
        kCutoff * std::min<double>(m_in_rate, m_out_rate) / static_cast<double>(m_in_rate);
    m_half_taps = static_cast<int>(std::ceil(kZeroCrossings / (2.0 * cutoff)));
    const int taps = 2 * m_half_taps;
    m_kernel.resize(static_cast<size_t>(kPhases + 1) * taps);
    for (int phase = 0; phase <= kPhases; ++phase) {
        const double frac = static_cast<double>(phase) / kPhases;
        double sum = 0;
        float* row = &m_kernel[static_cast<size_t>(phase) * taps];
        for (int k = 0; k < taps; ++k) {
            // Tap k weighs input (base - m_half_taps + 1 + k); the output instant is base + frac.
            const double t = (k - m_half_taps + 1) - frac;
            const double window = 0.5 + 0.5 * std::cos(std::numbers::pi * t / (m_half_taps + 1));
            const double h = 2.0 * cutoff * Sinc(2.0 * cutoff * t) * window;
            row[k] = static_cast<float>(h);
            sum += h;
        }
        for (int k = 0; k < taps; ++k)
            row[k] = static_cast<float>(row[k] / sum);  // unit gain at DC
    }
}

void MonoResampler::Push(const float* samples, size_t count, std::vector<float>* out) {
    m_history.insert(m_history.end(), samples, samples + count);
    m_input_count += static_cast<int64_t>(count);
    Produce(out, false);
}

void MonoResampler::Finish(std::vector<float>* out) {
    Produce(out, true);
}

void MonoResampler::Produce(std::vector<float>* out, bool at_end) {
    const int taps = 2 * m_half_taps;
    // The last output: the one at or before the input's end time.
    const int64_t last_out = m_input_count * m_out_rate / m_in_rate;
    for (;; ++m_next_out) {
        // Input position of the output instant, as a whole part and a phase.
        const int64_t scaled = m_next_out * m_in_rate;
        const int64_t base = scaled / m_out_rate;
        const int64_t rest = scaled % m_out_rate;
        const int64_t newest = base + m_half_taps;  // the last input the kernel needs
        if (!at_end && newest >= m_input_count) break;
        if (at_end && m_next_out >= last_out) break;
        const auto phase = static_cast<int>((rest * kPhases + m_out_rate / 2) / m_out_rate);
        const float* row = &m_kernel[static_cast<size_t>(phase) * taps];
        const int64_t start = base - m_half_taps + 1 - m_first;
        const auto size = static_cast<int64_t>(m_history.size());
        float sum = 0.0f;
        if (start >= 0 && start + taps <= size) {
            sum = Dot(row, &m_history[static_cast<size_t>(start)], static_cast<size_t>(taps));
        } else {
            // Before the first sample and past the last one the input is silence.
            for (int k = 0; k < taps; ++k) {
                const int64_t index = start + k;
                if (index >= 0 && index < size)
                    sum += row[k] * m_history[static_cast<size_t>(index)];
            }
        }
        out->push_back(sum);
    }
    // Keep what the next outputs still need.
    const int64_t next_base = m_next_out * m_in_rate / m_out_rate;
    const int64_t keep_from = next_base - m_half_taps + 1;
    if (keep_from > m_first) {
        const int64_t drop =
            std::min<int64_t>(keep_from - m_first, static_cast<int64_t>(m_history.size()));
        m_history.erase(m_history.begin(), m_history.begin() + drop);
        m_first += drop;
    }
}
