#include "engine/fit/SegmentJoiner.h"

#include <algorithm>
#include <cmath>

#include "engine/fit/FeatureMath.h"

namespace {

// How far outside the gap between two runs of anchors a crossing may lie (an anchor's
// window reaches 1.5 s each side).
constexpr double kCrossingReach = 2.0;
constexpr double kLeapSlope = 20.0;
constexpr double kWaitSlope = 0.1;
constexpr double kMinJoin = 0.05;  // seconds
constexpr double kMaxJoin = 600.0;

}  // namespace

SegmentJoiner::SegmentJoiner(const SoundFeatures& movie, const SoundFeatures& wav)
    : m_movie(movie), m_wav(wav) {}

double SegmentJoiner::CutTime(const LinePiece& before, const LinePiece& after, double from,
                              double to) const {
    const auto bands = static_cast<size_t>(m_movie.Bands());
    const auto movie_frames = static_cast<long>(m_movie.Frames());
    const auto wav_frames = static_cast<long>(m_wav.Frames());
    const long first = std::max(0L, static_cast<long>(std::floor(m_movie.FrameAt(from))));
    const long last = std::min(movie_frames - 1, static_cast<long>(std::ceil(m_movie.FrameAt(to))));
    if (last <= first) return 0.5 * (from + to);
    // For each frame, how much better it matches the second line than the first.
    auto match = [&](long i, const LinePiece& piece) {
        const long j = std::lround(m_wav.FrameAt(piece.At(m_movie.Time(static_cast<double>(i)))));
        if (j < 0 || j >= wav_frames) return 0.0f;
        return Dot(m_movie.Frame(static_cast<size_t>(i)), m_wav.Frame(static_cast<size_t>(j)),
                   bands);
    };
    // The cut maximises "first line before it, second line after it".
    double gain = 0;
    double best_gain = 0;
    long best = first;
    for (long i = last; i >= first; --i) {
        gain += match(i, after) - match(i, before);
        if (gain > best_gain) {
            best_gain = gain;
            best = i;
        }
    }
    return m_movie.Time(static_cast<double>(best) - 0.5);
}

PiecewiseLine SegmentJoiner::Join(const std::vector<LinePiece>& pieces,
                                  const std::vector<Anchor>& anchors) const {
    if (pieces.empty()) return {};
    std::vector<Knot> knots;
    for (size_t p = 0; p + 1 < pieces.size(); ++p) {
        const LinePiece& a = pieces[p];
        const LinePiece& b = pieces[p + 1];
        const double gap_from = anchors[a.last].movie_time;
        const double gap_to = anchors[b.first].movie_time;
        if (std::abs(a.slope - b.slope) > 1e-9) {
            const double crossing = (b.intercept - a.intercept) / (a.slope - b.slope);
            if (crossing >= gap_from - kCrossingReach && crossing <= gap_to + kCrossingReach) {
                knots.push_back({crossing, a.At(crossing)});
                continue;
            }
        }
        const double cut = CutTime(a, b, gap_from - kCrossingReach, gap_to + kCrossingReach);
        const double leap = b.At(cut) - a.At(cut);
        const double pace = 0.5 * (a.slope + b.slope);
        const double target = leap > 0 ? kLeapSlope : kWaitSlope;
        const double length = std::clamp(leap / (target - pace), kMinJoin, kMaxJoin);
        const double start = cut - 0.5 * length;
        const double end = cut + 0.5 * length;
        knots.push_back({start, a.At(start)});
        knots.push_back({end, b.At(end)});
    }
    // Knots must rise in movie time; a crossing far into a neighbour's run would not.
    std::vector<Knot> rising;
    for (const Knot& knot : knots) {
        if (rising.empty() || knot.movie_time > rising.back().movie_time) rising.push_back(knot);
    }
    if (rising.empty()) {
        // One piece: a line through its value at 0.
        return PiecewiseLine({{0.0, pieces.front().At(0.0)}}, pieces.front().slope,
                             pieces.front().slope);
    }
    return PiecewiseLine(std::move(rising), pieces.front().slope, pieces.back().slope);
}
