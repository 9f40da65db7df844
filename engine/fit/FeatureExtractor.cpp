#include "engine/fit/FeatureExtractor.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kWindowSeconds = 0.032;
constexpr double kLowestHz = 80.0;
constexpr double kHighestHz = 4000.0;

}  // namespace

FeatureExtractor::FeatureExtractor(uint32_t sample_rate)
    : m_rate(std::max<uint32_t>(sample_rate, 1000)),
      m_fft(Fft::SizeFor(static_cast<size_t>(kWindowSeconds * m_rate))) {
    const size_t size = m_fft.Size();
    m_window.resize(size);
    for (size_t i = 0; i < size; ++i) {
        m_window[i] = static_cast<float>(
            0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * (static_cast<double>(i) + 0.5) / size));
    }
    // Band edges on a logarithmic scale, in bins; each band at least one bin wide.
    const double top = std::min(kHighestHz, 0.45 * m_rate);
    const double hz_per_bin = static_cast<double>(m_rate) / size;
    m_band_start.resize(kBands + 1);
    for (int b = 0; b <= kBands; ++b) {
        const double hz = kLowestHz * std::pow(top / kLowestHz, static_cast<double>(b) / kBands);
        m_band_start[b] = static_cast<int>(std::lround(hz / hz_per_bin));
    }
    m_band_start[0] = std::max(m_band_start[0], 1);
    for (int b = 1; b <= kBands; ++b)
        m_band_start[b] = std::max(m_band_start[b], m_band_start[b - 1] + 1);
    m_frame.resize(size);
    m_bins.resize(m_fft.Bins());
}

int64_t FeatureExtractor::FrameCentre(int64_t frame) const {
    return (frame * m_rate + 50) / 100;
}

void FeatureExtractor::Push(const float* samples, size_t count) {
    m_samples.insert(m_samples.end(), samples, samples + count);
    m_count += static_cast<int64_t>(count);
    MakeFrames(false);
}

SoundFeatures FeatureExtractor::Finish() {
    MakeFrames(true);
    m_samples.clear();
    return SoundFeatures::FromEnergies(std::move(m_energies), kBands, kFrameRate);
}

void FeatureExtractor::MakeFrames(bool at_end) {
    const auto size = static_cast<int64_t>(m_fft.Size());
    const int bins = static_cast<int>(m_fft.Bins());
    for (;; ++m_next_frame) {
        const int64_t centre = FrameCentre(m_next_frame);
        const int64_t start = centre - size / 2;
        if (!at_end && start + size > m_count) break;
        if (at_end && centre >= m_count) break;
        // Samples before the first and after the last are silence.
        for (int64_t i = 0; i < size; ++i) {
            const int64_t index = start + i - m_first;
            const bool inside = index >= 0 && index < static_cast<int64_t>(m_samples.size());
            m_frame[static_cast<size_t>(i)] =
                inside ? m_samples[static_cast<size_t>(index)] * m_window[static_cast<size_t>(i)]
                       : 0.0f;
        }
        m_fft.RealForward(m_frame.data(), m_bins.data());
        for (int b = 0; b < kBands; ++b) {
            float energy = 0.0f;
            for (int k = m_band_start[b]; k < std::min(m_band_start[b + 1], bins); ++k)
                energy += std::norm(m_bins[static_cast<size_t>(k)]);
            m_energies.push_back(std::isfinite(energy) ? energy : 0.0f);  // no NaN downstream
        }
    }
    // Keep the samples the next frame starts with.
    const int64_t keep_from = FrameCentre(m_next_frame) - size / 2;
    if (keep_from > m_first) {
        const int64_t drop =
            std::min<int64_t>(keep_from - m_first, static_cast<int64_t>(m_samples.size()));
        m_samples.erase(m_samples.begin(), m_samples.begin() + drop);
        m_first += drop;
    }
}
