#include "engine/fit/EventFitter.h"

#include <algorithm>
#include <cmath>

#include "engine/StretchMath.h"
#include "engine/fit/AnchorRefiner.h"
#include "engine/fit/FeatureExtractor.h"
#include "engine/fit/FitAssessment.h"
#include "engine/fit/GlobalAligner.h"
#include "engine/fit/PiecewiseFit.h"
#include "engine/fit/SegmentJoiner.h"
#include "engine/fit/WarpPath.h"

namespace {

constexpr int kCoarseFactor = 20;  // 100 -> 5 frames a second
constexpr int kGlobalBandGroup = 4;
constexpr double kBandSeconds = 25.0;
constexpr double kPathSmoothSeconds = 2.0;
constexpr double kAnchorSpacing = 1.0;
// The paces the stream can play.
constexpr double kMinFactor = 1.0 + kMinStretch / 100.0;
constexpr double kMaxFactor = 1.0 + kMaxStretch / 100.0;
constexpr const char* kNothingShared = "the two sounds share nothing recognisable";

FitResult Refused(FitOutcome outcome, const char* reason) {
    FitResult result;
    result.outcome = outcome;
    result.reason = reason;
    return result;
}

// The first guess of the map through the chain's anchors, one WAV frame per coarse movie frame.
std::vector<double> BandCentre(const std::vector<CoarseAnchor>& chain, const SoundFeatures& movie,
                               const SoundFeatures& wav) {
    std::vector<double> centre(movie.Frames());
    for (size_t i = 0; i < centre.size(); ++i) {
        const double t = movie.Time(static_cast<double>(i));
        auto after = std::upper_bound(
            chain.begin(), chain.end(), t,
            [](double time, const CoarseAnchor& a) { return time < a.movie_time; });
        double w;
        if (after == chain.begin()) {
            w = chain.front().wav_time + (t - chain.front().movie_time) * chain.front().slope;
        } else if (after == chain.end()) {
            w = chain.back().wav_time + (t - chain.back().movie_time) * chain.back().slope;
        } else {
            const CoarseAnchor& a = *(after - 1);
            const CoarseAnchor& b = *after;
            w = a.wav_time +
                (t - a.movie_time) * (b.wav_time - a.wav_time) / (b.movie_time - a.movie_time);
        }
        centre[i] = wav.FrameAt(w);
    }
    return centre;
}

// The path as a map in seconds. Its staircase is smoothed by a straight line fitted to the
// frames around each one (+-2 s), never across a leap of the path, so that the guess keeps
// the local slope the fine search reads the WAV along.
PiecewiseLine PathLine(const std::vector<int>& path, const SoundFeatures& movie,
                       const SoundFeatures& wav) {
    const auto n = static_cast<long>(path.size());
    // Runs of the path without a leap; run_start[i] is where frame i's run begins.
    std::vector<long> run_start(static_cast<size_t>(n), 0);
    std::vector<long> run_end(static_cast<size_t>(n), n - 1);
    for (long i = 1; i < n; ++i) {
        const int step = path[static_cast<size_t>(i)] - path[static_cast<size_t>(i) - 1];
        run_start[static_cast<size_t>(i)] = step >= 3 ? i : run_start[static_cast<size_t>(i) - 1];
    }
    for (long i = n - 2; i >= 0; --i) {
        const int step = path[static_cast<size_t>(i) + 1] - path[static_cast<size_t>(i)];
        run_end[static_cast<size_t>(i)] = step >= 3 ? i : run_end[static_cast<size_t>(i) + 1];
    }
    // Prefix sums of i, j, i*i, i*j for the local fits.
    std::vector<double> si(static_cast<size_t>(n) + 1, 0), sj(si), sii(si), sij(si);
    for (long i = 0; i < n; ++i) {
        const auto k = static_cast<size_t>(i);
        const double j = path[k];
        si[k + 1] = si[k] + i;
        sj[k + 1] = sj[k] + j;
        sii[k + 1] = sii[k] + static_cast<double>(i) * i;
        sij[k + 1] = sij[k] + i * j;
    }
    const long reach = std::lround(kPathSmoothSeconds * movie.FrameRate());
    std::vector<Knot> knots;
    for (long i = 0; i < n; ++i) {
        const auto k = static_cast<size_t>(i);
        const auto from = static_cast<size_t>(std::max(run_start[k], i - reach));
        const auto to = static_cast<size_t>(std::min(run_end[k], i + reach)) + 1;
        const double count = static_cast<double>(to - from);
        const double mi = (si[to] - si[from]) / count;
        const double mj = (sj[to] - sj[from]) / count;
        const double vii = (sii[to] - sii[from]) / count - mi * mi;
        const double vij = (sij[to] - sij[from]) / count - mi * mj;
        const double slope = vii > 1e-9 ? vij / vii : 1.0;
        const double j = mj + slope * (static_cast<double>(i) - mi);
        knots.push_back({movie.Time(static_cast<double>(i)), wav.Time(j)});
    }
    return PiecewiseLine(std::move(knots), 1.0, 1.0);
}

// The continuous map as the stream's offset and events. When the WAV starts after the movie
// (leading silence), the map starts at that instant: the offset is the silence and a first
// event, if the WAV is stretched from its start, sits exactly where the silence ends. The
// stream plays the samples after the silence from the WAV's first one whatever the events
// inside the silence say, so no event may be left there.
void WriteEvents(const PiecewiseLine& line, double movie_duration, FitResult* result) {
    auto stretch = [](double slope) {
        return static_cast<float>((std::clamp(slope, kMinFactor, kMaxFactor) - 1.0) * 100.0);
    };
    const double start = line.At(0.0) < 0.0 ? line.MovieTimeAt(0.0) : 0.0;
    result->offset = static_cast<float>(start - line.At(start));
    result->events.clear();
    const double first_slope = line.SlopeAt(start);
    if (std::abs(first_slope - 1.0) > 1e-9) {
        result->events.push_back({static_cast<float>(start), stretch(first_slope)});
    }
    for (const Knot& knot : line.Knots()) {
        if (knot.movie_time <= start || knot.movie_time >= movie_duration) continue;
        result->events.push_back(
            {static_cast<float>(knot.movie_time), stretch(line.SlopeAt(knot.movie_time))});
    }
}

}  // namespace

FitResult EventFitter::Fit(const std::vector<float>& movie, const std::vector<float>& wav,
                           uint32_t sample_rate, const FitControl& control) {
    FeatureExtractor movie_features(sample_rate);
    movie_features.Push(movie.data(), movie.size());
    FeatureExtractor wav_features(sample_rate);
    wav_features.Push(wav.data(), wav.size());
    return Fit(movie_features.Finish(), wav_features.Finish(), control);
}

FitResult EventFitter::Fit(const SoundFeatures& movie, const SoundFeatures& wav,
                           const FitControl& control, double from, double to) {
    FitProgress progress(control, from, to);
    if (movie.Duration() < kMinSeconds) {
        return Refused(FitOutcome::TooShort,
                       "the movie's sound is too short to fit (10 s at least)");
    }
    if (wav.Duration() < kMinSeconds) {
        return Refused(FitOutcome::TooShort, "the WAV is too short to fit (10 s at least)");
    }
    const SoundFeatures movie_coarse = movie.Coarser(kCoarseFactor, 1);
    const SoundFeatures wav_coarse = wav.Coarser(kCoarseFactor, 1);

    progress.Stage(0, 15);
    const SoundFeatures movie_global = movie_coarse.Coarser(1, kGlobalBandGroup);
    const SoundFeatures wav_global = wav_coarse.Coarser(1, kGlobalBandGroup);
    const std::vector<CoarseAnchor> chain =
        GlobalAligner(movie_global, wav_global).FindAnchors(progress);
    if (progress.Cancelled()) return Refused(FitOutcome::Cancelled, "cancelled");
    if (chain.empty()) {
        return Refused(FitOutcome::NothingShared, kNothingShared);
    }

    progress.Stage(15, 35);
    WarpPath warp(movie_coarse, wav_coarse);
    const std::vector<int> path =
        warp.Find(BandCentre(chain, movie_coarse, wav_coarse),
                  static_cast<int>(std::lround(kBandSeconds * movie_coarse.FrameRate())), progress);
    if (progress.Cancelled() || path.empty()) return Refused(FitOutcome::Cancelled, "cancelled");

    const AnchorRefiner refiner(movie, wav);
    const SegmentJoiner joiner(movie, wav);
    PiecewiseFit fitter(FitAssessment::kMatchScore, FitAssessment::kMatchSignificance);
    PiecewiseLine line = PathLine(path, movie_coarse, wav_coarse);
    std::vector<Anchor> anchors;
    for (int pass = 0; pass < 2; ++pass) {
        progress.Stage(35 + 30 * pass, 60 + 30 * pass);
        anchors = refiner.Refine(line, kAnchorSpacing, progress);
        if (progress.Cancelled()) return Refused(FitOutcome::Cancelled, "cancelled");
        const std::vector<LinePiece> pieces = fitter.Fit(anchors, nullptr);
        if (pieces.empty()) {
            return Refused(FitOutcome::NothingShared, kNothingShared);
        }
        line = joiner.Join(pieces, anchors);
        progress.Report(1.0);
    }

    FitResult result;
    result.movie_duration = movie.Duration();
    result.wav_duration = wav.Duration();
    WriteEvents(line, result.movie_duration, &result);
    result.outcome = FitOutcome::Fitted;
    if (!FitAssessment(anchors).Assess(&result)) {
        result.outcome = FitOutcome::NothingShared;
        result.reason = kNothingShared;
    }
    progress.Stage(100, 100);
    return result;
}
