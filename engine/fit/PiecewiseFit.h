// Simplifies the anchors into as few straight pieces as their evidence asks for: the optimal
// partition of the anchors (in movie order) into runs, each fitted by least squares with a
// line WAV = intercept + slope x movie, where every run costs a fixed price on top of its
// squared residuals (in units of the anchors' own noise): a breakpoint is only bought when
// it explains the anchors much better, so a long steady drift stays one piece. Dynamic
// programming over run ends, O(n^2) with prefix sums. The first partition takes the noise
// as 20 ms, so it only breaks where the map clearly changes; anchors far off their piece are
// set aside and the partition made again with the noise measured (the median residual),
// until no more are set aside (at most a few rounds). A piece that only strays a little from
// the line its two neighbours share is noise too (its anchors are set aside), as is an end
// piece of very few anchors.
// A piece whose slope is not measurably different from 1 is given slope 1 (no stretch).
// Order of use: construct, Fit. One thread.
#pragma once

#include <cstddef>
#include <vector>

#include "engine/fit/AnchorRefiner.h"

struct LinePiece {
    double intercept = 0;  // WAV seconds at movie time 0
    double slope = 1;      // WAV seconds per movie second
    size_t first = 0;      // indices into the anchors given: the run's first and last
    size_t last = 0;
    double At(double movie_time) const { return intercept + slope * movie_time; }
};

class PiecewiseFit {
public:
    // Anchors that are featureless, score below `min_score` or stand out from the rest of the
    // WAV by less than `min_significance` take no part.
    PiecewiseFit(double min_score, double min_significance);

    // The pieces in movie order (empty when fewer than 3 anchors take part). `used` receives,
    // for each anchor, whether the final pieces were fitted to it.
    std::vector<LinePiece> Fit(const std::vector<Anchor>& anchors, std::vector<bool>* used);
    double Noise() const { return m_noise; }  // seconds, as last measured

private:
    std::vector<LinePiece> Partition(const std::vector<Anchor>& anchors,
                                     const std::vector<size_t>& members) const;
    // Sets aside the anchors of pieces that are only a small stray from their neighbours'
    // common line, and of very short end pieces; true when it set any aside.
    bool DropExcursions(const std::vector<Anchor>& anchors, const std::vector<LinePiece>& pieces,
                        std::vector<bool>* member) const;

    const double m_min_score;
    const double m_min_significance;
    double m_noise = 0;
};
