#include "engine/fit/FitAssessment.h"

#include <algorithm>
#include <cmath>

namespace {

struct Tally {
    int with_sound = 0;
    int matched = 0;
    double square_sum = 0;
};

}  // namespace

FitAssessment::FitAssessment(const std::vector<Anchor>& anchors) : m_anchors(anchors) {}

bool FitAssessment::Assess(FitResult* result) const {
    const TimeMap map = result->Map();
    const double end = result->movie_duration;

    // Span edges: the events, and cuts that keep every span within the longest.
    std::vector<double> edges{0.0};
    for (const FittedEvent& event : result->events) {
        if (event.movie_pos > edges.back() && event.movie_pos < end)
            edges.push_back(event.movie_pos);
    }
    edges.push_back(std::max(end, edges.back()));
    std::vector<double> cuts{edges.front()};
    for (size_t e = 1; e < edges.size(); ++e) {
        const double length = edges[e] - edges[e - 1];
        const int parts = std::max(1, static_cast<int>(std::ceil(length / kLongestSpan - 1e-9)));
        for (int p = 1; p <= parts; ++p)
            cuts.push_back(edges[e - 1] + length * p / parts);
    }

    std::vector<Tally> tallies(cuts.size() - 1);
    Tally total;
    std::vector<double> distances;
    for (const Anchor& anchor : m_anchors) {
        if (anchor.featureless) continue;
        // Where the map leaves the WAV (before its start, past its end) nothing can match.
        const double heard = map.WavPosition(anchor.movie_time);
        if (heard < kWindowReach || heard > result->wav_duration - kWindowReach) continue;
        const auto span = static_cast<size_t>(
            std::upper_bound(cuts.begin() + 1, cuts.end() - 1, anchor.movie_time) -
            (cuts.begin() + 1));
        const double distance = std::abs(anchor.wav_time - heard);
        const bool matched = anchor.score >= kMatchScore &&
                             anchor.significance >= kMatchSignificance &&
                             distance <= kMatchDistance;
        for (Tally* tally : {&tallies[span], &total}) {
            ++tally->with_sound;
            if (matched) {
                ++tally->matched;
                tally->square_sum += distance * distance;
            }
        }
        if (matched) distances.push_back(distance);
    }

    result->spans.clear();
    for (size_t s = 0; s < tallies.size(); ++s) {
        FitSpan span;
        span.start = cuts[s];
        span.end = cuts[s + 1];
        span.stretch = (map.Slope(0.5 * (span.start + span.end)) - 1.0) * 100.0;
        span.anchors = tallies[s].with_sound;
        if (tallies[s].with_sound > 0) {
            span.confidence = static_cast<double>(tallies[s].matched) / tallies[s].with_sound;
        }
        if (tallies[s].matched > 0)
            span.residual = std::sqrt(tallies[s].square_sum / tallies[s].matched);
        result->spans.push_back(span);
    }
    result->coverage =
        total.with_sound > 0 ? static_cast<double>(total.matched) / total.with_sound : 0.0;
    result->residual = total.matched > 0 ? std::sqrt(total.square_sum / total.matched) : -1.0;
    if (!distances.empty()) {
        const size_t at = std::min(distances.size() - 1,
                                   static_cast<size_t>(std::ceil(0.95 * distances.size())) - 1);
        std::nth_element(distances.begin(), distances.begin() + static_cast<long>(at),
                         distances.end());
        result->residual95 = distances[at];
    }
    const int needed = std::max(kMinMatched, static_cast<int>(kMinMatchedShare * m_anchors.size()));
    return total.matched >= needed && result->coverage >= kMinCoverage;
}
