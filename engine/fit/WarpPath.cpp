#include "engine/fit/WarpPath.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/fit/FeatureMath.h"
#include "engine/fit/FitProgress.h"

namespace {

constexpr int kReach = 4;  // frames each side of the cell that its similarity looks at
constexpr float kStepCost = 0.1f;
constexpr float kJumpCost = 3.0f;
constexpr float kNone = -std::numeric_limits<float>::infinity();

// The features' energy over each frame's window; frames outside the sound count as average
// ones (unit spread per band), so that the ends are no easier to match than the middle.
std::vector<float> WindowEnergy(const SoundFeatures& features) {
    const auto frames = static_cast<int>(features.Frames());
    const int bands = features.Bands();
    std::vector<double> prefix(static_cast<size_t>(frames) + 1, 0.0);
    for (int i = 0; i < frames; ++i) {
        const float* f = features.Frame(static_cast<size_t>(i));
        prefix[static_cast<size_t>(i) + 1] =
            prefix[static_cast<size_t>(i)] + Dot(f, f, static_cast<size_t>(bands));
    }
    std::vector<float> energy(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        const int from = std::max(i - kReach, 0);
        const int to = std::min(i + kReach + 1, frames);
        const int outside = 2 * kReach + 1 - (to - from);
        energy[static_cast<size_t>(i)] =
            static_cast<float>(prefix[static_cast<size_t>(to)] - prefix[static_cast<size_t>(from)] +
                               static_cast<double>(outside) * bands);
    }
    return energy;
}

}  // namespace

WarpPath::WarpPath(const SoundFeatures& movie, const SoundFeatures& wav)
    : m_movie(movie), m_wav(wav) {}

float WarpPath::Cell(int i, int j, const std::vector<float>& energy_x,
                     const std::vector<float>& energy_y) const {
    const auto movie_frames = static_cast<int>(m_movie.Frames());
    const auto wav_frames = static_cast<int>(m_wav.Frames());
    const auto bands = static_cast<size_t>(m_movie.Bands());
    float sum = 0.0f;
    for (int k = -kReach; k <= kReach; ++k) {
        const int a = i + k;
        const int b = j + k;
        if (a < 0 || a >= movie_frames || b < 0 || b >= wav_frames) continue;
        sum +=
            Dot(m_movie.Frame(static_cast<size_t>(a)), m_wav.Frame(static_cast<size_t>(b)), bands);
    }
    const float wav_energy = j >= 0 && j < wav_frames
                                 ? energy_y[static_cast<size_t>(j)]
                                 : static_cast<float>((2 * kReach + 1) * m_wav.Bands());
    const float norm = std::sqrt(energy_x[static_cast<size_t>(i)] * wav_energy);
    return norm > 1e-6f ? sum / norm : 0.0f;
}

std::vector<int> WarpPath::Find(const std::vector<double>& centre, int half_width,
                                FitProgress& progress) {
    const auto frames = static_cast<int>(m_movie.Frames());
    m_similarity.clear();
    if (frames == 0 || static_cast<int>(centre.size()) < frames) return {};
    const int width = 2 * half_width + 1;
    const std::vector<float> energy_x = WindowEnergy(m_movie);
    const std::vector<float> energy_y = WindowEnergy(m_wav);

    std::vector<int> low(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i)
        low[static_cast<size_t>(i)] =
            static_cast<int>(std::lround(centre[static_cast<size_t>(i)])) - half_width;
    std::vector<float> previous(static_cast<size_t>(width), kNone);
    std::vector<float> current(static_cast<size_t>(width));
    std::vector<float> best_before(static_cast<size_t>(width));
    std::vector<int> best_before_at(static_cast<size_t>(width));
    std::vector<uint16_t> back(static_cast<size_t>(frames) * static_cast<size_t>(width), 0);
    std::vector<float> row_cells(static_cast<size_t>(width));

    for (int i = 0; i < frames; ++i) {
        if (i % 256 == 0) {
            if (progress.Cancelled()) return {};
            progress.Report(static_cast<double>(i) / frames);
        }
        const int lo = low[static_cast<size_t>(i)];
        for (int u = 0; u < width; ++u)
            row_cells[static_cast<size_t>(u)] = Cell(i, lo + u, energy_x, energy_y);
        uint16_t* row_back = &back[static_cast<size_t>(i) * static_cast<size_t>(width)];
        if (i == 0) {
            previous = row_cells;
            continue;
        }
        const int prev_lo = low[static_cast<size_t>(i) - 1];
        // The best cell of the previous row at or below each index, for the jumps.
        for (int u = 0; u < width; ++u) {
            const bool better = u == 0 || previous[static_cast<size_t>(u)] >
                                              best_before[static_cast<size_t>(u) - 1];
            best_before[static_cast<size_t>(u)] =
                better ? previous[static_cast<size_t>(u)] : best_before[static_cast<size_t>(u) - 1];
            best_before_at[static_cast<size_t>(u)] =
                better ? u : best_before_at[static_cast<size_t>(u) - 1];
        }
        for (int u = 0; u < width; ++u) {
            const int j = lo + u;
            float best = kNone;
            int step = 1;
            for (int d = 0; d <= 2; ++d) {
                const int pu = j - d - prev_lo;
                if (pu < 0 || pu >= width) continue;
                const float value = previous[static_cast<size_t>(pu)] - (d == 1 ? 0.0f : kStepCost);
                if (value > best) {
                    best = value;
                    step = d;
                }
            }
            const int jump_top = std::min(j - 3 - prev_lo, width - 1);
            if (jump_top >= 0 && best_before[static_cast<size_t>(jump_top)] - kJumpCost > best) {
                best = best_before[static_cast<size_t>(jump_top)] - kJumpCost;
                step = j - (prev_lo + best_before_at[static_cast<size_t>(jump_top)]);
            }
            current[static_cast<size_t>(u)] = best + row_cells[static_cast<size_t>(u)];
            row_back[u] = static_cast<uint16_t>(std::min(step, 65535));
        }
        std::swap(previous, current);
    }

    std::vector<int> path(static_cast<size_t>(frames));
    int u = static_cast<int>(std::max_element(previous.begin(), previous.end()) - previous.begin());
    m_similarity.assign(static_cast<size_t>(frames), 0.0f);
    for (int i = frames - 1; i >= 0; --i) {
        const int j = low[static_cast<size_t>(i)] + u;
        path[static_cast<size_t>(i)] = j;
        m_similarity[static_cast<size_t>(i)] = Cell(i, j, energy_x, energy_y);
        if (i == 0) break;
        const int step =
            back[static_cast<size_t>(i) * static_cast<size_t>(width) + static_cast<size_t>(u)];
        u = j - step - low[static_cast<size_t>(i) - 1];
        u = std::clamp(u, 0, width - 1);
    }
    return path;
}
