#include "engine/fit/AnchorRefiner.h"

#include <algorithm>
#include <cmath>

#include "engine/fit/FeatureMath.h"
#include "engine/fit/FitProgress.h"

namespace {

constexpr long kHalfWindow = 150;   // frames: 1.5 s each side
constexpr long kSearch = 40;        // frames: 0.4 s either way
constexpr double kMinEnergy = 0.2;  // of the features' average spread, as GlobalAligner
constexpr double kMinSlope = 0.5;
constexpr double kMaxSlope = 2.0;
// The places elsewhere in the WAV a window is also set against: every 1.5 s from 3 s to 18 s
// away on either side; fewer than six of them inside the WAV say nothing.
constexpr int kNullPlaces = 12;
constexpr long kNullSpacing = 150;
constexpr int kMinNullPlaces = 6;
// Below this score an anchor counts for nothing anyway (FitAssessment::kMatchScore).
constexpr double kMinScoreForSignificance = 0.3;

}  // namespace

AnchorRefiner::AnchorRefiner(const SoundFeatures& movie, const SoundFeatures& wav)
    : m_movie(movie), m_wav(wav) {}

std::vector<Anchor> AnchorRefiner::Refine(const PiecewiseLine& guess, double spacing,
                                          FitProgress& progress) const {
    std::vector<Anchor> anchors;
    const auto frames = static_cast<long>(m_movie.Frames());
    const long step = std::max(1L, std::lround(spacing * m_movie.FrameRate()));
    if (frames <= 2 * kHalfWindow) return anchors;
    const long last = frames - 1 - kHalfWindow;
    // Spread the anchors evenly over what the windows can reach.
    const long count = (last - kHalfWindow) / step + 1;
    const long first = kHalfWindow + (last - kHalfWindow - (count - 1) * step) / 2;
    for (long a = 0; a < count; ++a) {
        if (a % 64 == 0) {
            if (progress.Cancelled()) return {};
            progress.Report(static_cast<double>(a) / static_cast<double>(count));
        }
        anchors.push_back(RefineAt(guess, first + a * step));
    }
    return anchors;
}

double AnchorRefiner::Significance(const float* movie, double movie_energy, double wav_frame,
                                   double slope, double score) const {
    const auto bands = static_cast<size_t>(m_movie.Bands());
    const auto wav_frames = static_cast<long>(m_wav.Frames());
    const long window = 2 * kHalfWindow + 1;
    std::vector<float> elsewhere(static_cast<size_t>(window) * bands);
    double sum = 0;
    double square_sum = 0;
    int count = 0;
    for (int k = -kNullPlaces; k <= kNullPlaces; ++k) {
        if (std::abs(k) < 2) continue;
        const double start =
            wav_frame + slope * static_cast<double>(k * kNullSpacing - kHalfWindow);
        const double end = start + slope * static_cast<double>(window - 1);
        if (start < 0 || end + 1 >= static_cast<double>(wav_frames)) continue;
        double energy = 0;
        for (long q = 0; q < window; ++q) {
            const double pos = start + slope * static_cast<double>(q);
            const auto j = static_cast<size_t>(pos);
            const auto frac = static_cast<float>(pos - static_cast<double>(j));
            const float* a = m_wav.Frame(j);
            const float* b = m_wav.Frame(j + 1);
            float* out = &elsewhere[static_cast<size_t>(q) * bands];
            for (size_t band = 0; band < bands; ++band)
                out[band] = a[band] + (b[band] - a[band]) * frac;
            energy += Dot(out, out, bands);
        }
        const double value = Dot(movie, elsewhere.data(), elsewhere.size()) /
                             std::sqrt(movie_energy * std::max(energy, 1e-9));
        sum += value;
        square_sum += value * value;
        ++count;
    }
    if (count < kMinNullPlaces) return 0.0;
    const double mean = sum / count;
    const double spread = std::sqrt(std::max(square_sum / count - mean * mean, 1e-6));
    return (score - mean) / spread;
}

Anchor AnchorRefiner::RefineAt(const PiecewiseLine& guess, long centre) const {
    const auto bands = static_cast<size_t>(m_movie.Bands());
    const auto wav_frames = static_cast<long>(m_wav.Frames());
    const long window = 2 * kHalfWindow + 1;
    Anchor anchor;
    anchor.movie_time = m_movie.Time(static_cast<double>(centre));

    const float* movie = m_movie.Frame(static_cast<size_t>(centre - kHalfWindow));
    const float movie_energy = Dot(movie, movie, static_cast<size_t>(window) * bands);
    if (movie_energy < kMinEnergy * static_cast<double>(window * static_cast<long>(bands))) {
        anchor.featureless = true;
        anchor.wav_time = guess.At(anchor.movie_time);
        return anchor;
    }

    // The WAV's features along the guess: frame k of `along` is WAV frame origin + slope * k.
    const double origin = m_wav.FrameAt(guess.At(anchor.movie_time));
    const double slope =
        std::clamp((guess.At(anchor.movie_time + 1.0) - guess.At(anchor.movie_time - 1.0)) / 2.0,
                   kMinSlope, kMaxSlope);
    const long reach = kHalfWindow + kSearch;
    std::vector<float> along(static_cast<size_t>(2 * reach + 1) * bands, 0.0f);
    std::vector<float> energy(static_cast<size_t>(2 * reach + 1));
    for (long k = -reach; k <= reach; ++k) {
        const double pos = origin + slope * static_cast<double>(k);
        const auto index = static_cast<size_t>(k + reach);
        float* out = &along[index * bands];
        const auto j = static_cast<long>(std::floor(pos));
        const auto frac = static_cast<float>(pos - static_cast<double>(j));
        if (j < 0 || j + 1 >= wav_frames) {
            energy[index] = static_cast<float>(bands);  // outside the WAV: an average frame
            continue;
        }
        const float* a = m_wav.Frame(static_cast<size_t>(j));
        const float* b = m_wav.Frame(static_cast<size_t>(j) + 1);
        for (size_t band = 0; band < bands; ++band)
            out[band] = a[band] + (b[band] - a[band]) * frac;
        energy[index] = Dot(out, out, bands);
    }

    std::vector<double> scores(static_cast<size_t>(2 * kSearch + 1));
    double window_energy = 0;
    for (long k = 0; k < window; ++k)
        window_energy += energy[static_cast<size_t>(k)];
    for (long d = -kSearch; d <= kSearch; ++d) {
        const auto shift = static_cast<size_t>(d + kSearch);
        if (d > -kSearch) {
            window_energy += energy[shift + static_cast<size_t>(window) - 1] - energy[shift - 1];
        }
        const float dot = Dot(movie, &along[shift * bands], static_cast<size_t>(window) * bands);
        const double norm =
            std::sqrt(static_cast<double>(movie_energy) * std::max(window_energy, 1e-9));
        scores[shift] = dot / norm;
    }
    const auto best =
        static_cast<long>(std::max_element(scores.begin(), scores.end()) - scores.begin());
    double peak = static_cast<double>(best - kSearch);
    if (best > 0 && best < 2 * kSearch) {
        const double l = scores[static_cast<size_t>(best) - 1];
        const double c = scores[static_cast<size_t>(best)];
        const double r = scores[static_cast<size_t>(best) + 1];
        const double curve = l - 2 * c + r;
        if (curve < 0) peak += std::clamp(0.5 * (l - r) / curve, -0.5, 0.5);
    }
    anchor.score = scores[static_cast<size_t>(best)];
    // Only a good enough match is worth setting against the rest of the WAV.
    if (anchor.score >= kMinScoreForSignificance) {
        anchor.significance =
            Significance(movie, movie_energy, origin + slope * peak, slope, anchor.score);
    }
    anchor.wav_time = m_wav.Time(origin + slope * peak);
    return anchor;
}
