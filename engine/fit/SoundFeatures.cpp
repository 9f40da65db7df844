#include "engine/fit/SoundFeatures.h"

#include <algorithm>
#include <cmath>

namespace {

// Energies this far below a band's mean are taken as silence, whatever the sound's level.
constexpr double kFloorBelowMean = 1e-5;
// Frames around each one whose mean log energy is its slow course: a second each side.
constexpr int kSlowCourseFrames = 100;
// Outliers (a cut to silence, a gunshot) would otherwise outweigh everything else.
constexpr float kClip = 3.0f;

}  // namespace

SoundFeatures SoundFeatures::FromEnergies(std::vector<float> energies, int bands,
                                          double frame_rate) {
    SoundFeatures features;
    features.m_bands = std::max(bands, 1);
    features.m_frame_rate = frame_rate;
    features.m_values = std::move(energies);
    const size_t frames = features.Frames();
    const auto stride = static_cast<size_t>(features.m_bands);
    for (int b = 0; b < features.m_bands; ++b) {
        double mean = 0;
        for (size_t i = 0; i < frames; ++i)
            mean += features.m_values[i * stride + b];
        mean = frames ? mean / static_cast<double>(frames) : 0.0;
        const double floor = std::max(mean * kFloorBelowMean, 1e-20);
        for (size_t i = 0; i < frames; ++i) {
            float& v = features.m_values[i * stride + b];
            v = static_cast<float>(std::log10(static_cast<double>(v) + floor));
        }
    }
    features.Normalise(static_cast<int>(kSlowCourseFrames * frame_rate / 100.0));
    return features;
}

void SoundFeatures::Normalise(int smoothing_frames) {
    const size_t frames = Frames();
    if (frames == 0) return;
    const auto stride = static_cast<size_t>(m_bands);
    std::vector<double> prefix(frames + 1);
    std::vector<float> band(frames);
    for (int b = 0; b < m_bands; ++b) {
        prefix[0] = 0;
        for (size_t i = 0; i < frames; ++i) {
            band[i] = m_values[i * stride + b];
            prefix[i + 1] = prefix[i] + band[i];
        }
        double square_sum = 0;
        for (size_t i = 0; i < frames; ++i) {
            if (smoothing_frames > 0) {
                const auto reach = static_cast<size_t>(smoothing_frames);
                const size_t from = i > reach ? i - reach : 0;
                const size_t to = std::min(frames, i + reach + 1);
                const double slow = (prefix[to] - prefix[from]) / static_cast<double>(to - from);
                band[i] = static_cast<float>(band[i] - slow);
            }
            square_sum += static_cast<double>(band[i]) * band[i];
        }
        const double rms = std::sqrt(square_sum / static_cast<double>(frames));
        const float scale = rms > 1e-9 ? static_cast<float>(1.0 / rms) : 0.0f;
        for (size_t i = 0; i < frames; ++i)
            m_values[i * stride + b] = std::clamp(band[i] * scale, -kClip, kClip);
    }
}

std::vector<float> SoundFeatures::Band(int band) const {
    const size_t frames = Frames();
    std::vector<float> values(frames);
    for (size_t i = 0; i < frames; ++i)
        values[i] = m_values[i * static_cast<size_t>(m_bands) + band];
    return values;
}

SoundFeatures SoundFeatures::Coarser(int factor, int band_group) const {
    factor = std::max(factor, 1);
    band_group = std::clamp(band_group, 1, std::max(m_bands, 1));
    SoundFeatures coarse;
    coarse.m_bands = std::max(m_bands / band_group, 1);
    coarse.m_frame_rate = m_frame_rate / factor;
    coarse.m_first_time = m_first_time + (factor - 1) / (2.0 * m_frame_rate);
    const size_t frames = Frames() / static_cast<size_t>(factor);
    coarse.m_values.assign(frames * static_cast<size_t>(coarse.m_bands), 0.0f);
    const float weight = 1.0f / static_cast<float>(factor * band_group);
    for (size_t i = 0; i < frames; ++i) {
        float* out = &coarse.m_values[i * static_cast<size_t>(coarse.m_bands)];
        for (int k = 0; k < factor; ++k) {
            const float* in = Frame(i * static_cast<size_t>(factor) + static_cast<size_t>(k));
            for (int b = 0; b < coarse.m_bands * band_group; ++b)
                out[b / band_group] += in[b] * weight;
        }
    }
    // Averaging narrows the spread; the correlations want every level alike. The slow course
    // was taken away before (0: none is removed again).
    coarse.Normalise(0);
    return coarse;
}
