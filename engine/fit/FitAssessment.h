// Judges a fitted map against the anchors: an anchor where the movie has sound and the map
// stays inside the WAV matched when it scored well, stood out from the rest of the WAV and
// lies within 40 ms of the map. Per stretch of the movie (between events, parts of two
// minutes at most): the share of such anchors that matched and the RMS distance of those;
// the same over the whole movie; and whether the fit can be trusted at all (enough matched
// anchors, a large enough share of what could match).
// Order of use: construct, Assess. Read-only.
#pragma once

#include <vector>

#include "engine/fit/AnchorRefiner.h"
#include "engine/fit/FitResult.h"

class FitAssessment {
public:
    static constexpr double kMatchScore = 0.3;
    static constexpr double kMatchSignificance = 4.0;
    static constexpr double kMatchDistance = 0.040;  // seconds
    static constexpr double kMinCoverage = 0.25;
    static constexpr int kMinMatched = 5;
    static constexpr double kMinMatchedShare = 0.05;  // of all the movie's anchors
    static constexpr double kWindowReach = 1.5;       // seconds: half an anchor's window
    static constexpr double kLongestSpan = 120.0;     // seconds

    explicit FitAssessment(const std::vector<Anchor>& anchors);

    // Fills the result's spans, coverage and residuals from its offset and events; false when
    // the fit cannot be trusted.
    bool Assess(FitResult* result) const;

private:
    const std::vector<Anchor>& m_anchors;
};
