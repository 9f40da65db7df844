#include "engine/fit/PiecewiseFit.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr size_t kMinRun = 3;
constexpr double kBreakpointCost = 40.0;  // in squared noise units
constexpr double kStraightCost = 12.0;    // the same, for giving a piece its own slope
// Anchors scatter by a millisecond or two where the sounds match well, but a burst of the
// foreground may push a few of them by some milliseconds: no breakpoint for that.
constexpr double kMinNoise = 0.003;
constexpr double kMaxNoise = 0.05;
constexpr double kOutlierNoises = 4.0;
constexpr double kOutlierFloor = 0.015;
constexpr int kRounds = 5;
// The first round sees only what stands far out of the anchors' scatter, so that a few
// anchors some tens of milliseconds off are set aside rather than given a piece of their own.
constexpr double kFirstNoise = 0.02;
// A piece that strays less than this from the line its two neighbours share, or an end piece
// of fewer anchors, is taken for a burst of noise and its anchors set aside.
constexpr double kExcursion = 0.015;
constexpr size_t kMinEndRun = 5;

// Running sums of a run of anchors, on WAV minus movie time so that the sums stay small.
struct Sums {
    double n = 0, t = 0, r = 0, tt = 0, tr = 0, rr = 0;

    Sums operator-(const Sums& o) const {
        return {n - o.n, t - o.t, r - o.r, tt - o.tt, tr - o.tr, rr - o.rr};
    }
    // Squared residuals of the best line, and the line (slope on r, so slope - 1 on WAV time).
    double Residual(double* slope, double* intercept) const {
        const double stt = tt - t * t / n;
        const double str = tr - t * r / n;
        const double srr = rr - r * r / n;
        const double b = stt > 1e-12 ? str / stt : 0.0;
        if (slope) *slope = b;
        if (intercept) *intercept = (r - b * t) / n;
        return std::max(srr - b * str, 0.0);
    }
    // The same with the slope held at 0 (WAV and movie at one pace).
    double FlatResidual(double* intercept) const {
        if (intercept) *intercept = r / n;
        return std::max(rr - r * r / n, 0.0);
    }
};

Sums RunSums(const std::vector<Anchor>& anchors, const std::vector<bool>& member, size_t first,
             size_t last, Sums sums = {}) {
    for (size_t k = first; k <= last; ++k) {
        if (!member[k]) continue;
        const double t = anchors[k].movie_time;
        const double r = anchors[k].wav_time - t;
        sums = {sums.n + 1,      sums.t + t,      sums.r + r,
                sums.tt + t * t, sums.tr + t * r, sums.rr + r * r};
    }
    return sums;
}

}  // namespace

PiecewiseFit::PiecewiseFit(double min_score, double min_significance)
    : m_min_score(min_score), m_min_significance(min_significance) {}

std::vector<LinePiece> PiecewiseFit::Partition(const std::vector<Anchor>& anchors,
                                               const std::vector<size_t>& members) const {
    const size_t n = members.size();
    std::vector<Sums> prefix(n + 1);
    for (size_t k = 0; k < n; ++k) {
        const Anchor& a = anchors[members[k]];
        const double t = a.movie_time;
        const double r = a.wav_time - a.movie_time;
        const Sums& p = prefix[k];
        prefix[k + 1] = {p.n + 1, p.t + t, p.r + r, p.tt + t * t, p.tr + t * r, p.rr + r * r};
    }
    const double noise2 = static_cast<double>(m_noise) * m_noise;
    std::vector<double> cost{0.0};  // cost[k]: the best partition of the first k
    cost.resize(n + 1, std::numeric_limits<double>::infinity());
    std::vector<size_t> start(n + 1, 0);
    for (size_t end = kMinRun; end <= n; ++end) {
        for (size_t begin = 0; begin + kMinRun <= end; ++begin) {
            if (!std::isfinite(cost[begin])) continue;
            const double c = cost[begin] +
                             (prefix[end] - prefix[begin]).Residual(nullptr, nullptr) / noise2 +
                             kBreakpointCost;
            if (c < cost[end]) {
                cost[end] = c;
                start[end] = begin;
            }
        }
    }
    std::vector<LinePiece> pieces;
    if (n < kMinRun || !std::isfinite(cost[n])) return pieces;
    for (size_t end = n; end > 0; end = start[end]) {
        const Sums run = prefix[end] - prefix[start[end]];
        double slope = 0, intercept = 0, flat_intercept = 0;
        const double free = run.Residual(&slope, &intercept);
        const double flat = run.FlatResidual(&flat_intercept);
        LinePiece piece;
        if ((flat - free) / noise2 < kStraightCost) {
            piece.slope = 1.0;
            piece.intercept = flat_intercept;
        } else {
            piece.slope = 1.0 + slope;
            piece.intercept = intercept;
        }
        piece.first = members[start[end]];
        piece.last = members[end - 1];
        pieces.push_back(piece);
    }
    std::reverse(pieces.begin(), pieces.end());
    return pieces;
}

std::vector<LinePiece> PiecewiseFit::Fit(const std::vector<Anchor>& anchors,
                                         std::vector<bool>* used) {
    std::vector<bool> member(anchors.size());
    for (size_t k = 0; k < anchors.size(); ++k)
        member[k] = !anchors[k].featureless && anchors[k].score >= m_min_score &&
                    anchors[k].significance >= m_min_significance;
    std::vector<LinePiece> pieces;
    m_noise = kFirstNoise;
    for (int round = 0; round < kRounds; ++round) {
        std::vector<size_t> members;
        for (size_t k = 0; k < anchors.size(); ++k) {
            if (member[k]) members.push_back(k);
        }
        pieces = Partition(anchors, members);
        if (pieces.empty()) break;
        // Residuals against the pieces: the noise, then the anchors too far off.
        std::vector<double> residuals;
        std::vector<double> off(anchors.size(), 0.0);
        size_t p = 0;
        for (size_t k : members) {
            while (p + 1 < pieces.size() && k > pieces[p].last)
                ++p;
            off[k] = std::abs(anchors[k].wav_time - pieces[p].At(anchors[k].movie_time));
            residuals.push_back(off[k]);
        }
        std::nth_element(residuals.begin(), residuals.begin() + residuals.size() / 2,
                         residuals.end());
        m_noise = std::clamp(1.4826 * residuals[residuals.size() / 2], kMinNoise, kMaxNoise);
        const double limit = std::max(kOutlierNoises * m_noise, kOutlierFloor);
        bool changed = false;
        for (size_t k : members) {
            if (off[k] > limit) {
                member[k] = false;
                changed = true;
            }
        }
        if (!changed) changed = DropExcursions(anchors, pieces, &member);
        if (!changed) break;
    }
    if (used) {
        used->assign(anchors.size(), false);
        for (const LinePiece& piece : pieces) {
            for (size_t k = piece.first; k <= piece.last; ++k)
                (*used)[k] = member[k];
        }
    }
    return pieces;
}

bool PiecewiseFit::DropExcursions(const std::vector<Anchor>& anchors,
                                  const std::vector<LinePiece>& pieces,
                                  std::vector<bool>* member) const {
    const double noise2 = m_noise * m_noise;
    bool dropped = false;
    auto drop = [&](const LinePiece& piece) {
        for (size_t k = piece.first; k <= piece.last; ++k)
            (*member)[k] = false;
        dropped = true;
    };
    for (size_t p = 1; p + 1 < pieces.size(); ++p) {
        const LinePiece& a = pieces[p - 1];
        const LinePiece& b = pieces[p];
        const LinePiece& c = pieces[p + 1];
        const Sums first = RunSums(anchors, *member, a.first, a.last);
        const Sums second = RunSums(anchors, *member, c.first, c.last);
        const Sums both = RunSums(anchors, *member, c.first, c.last, first);
        double slope = 0;
        double intercept = 0;
        const double joined = both.Residual(&slope, &intercept);
        const double apart = first.Residual(nullptr, nullptr) + second.Residual(nullptr, nullptr);
        if ((joined - apart) / noise2 >= kBreakpointCost) continue;  // a real change of course
        // `a` and `c` are one line; how far do `b`'s anchors typically stray from it?
        std::vector<double> strays;
        for (size_t k = b.first; k <= b.last; ++k) {
            if (!(*member)[k]) continue;
            const double t = anchors[k].movie_time;
            strays.push_back(std::abs(anchors[k].wav_time - (t + intercept + slope * t)));
        }
        if (strays.empty()) continue;
        std::nth_element(strays.begin(), strays.begin() + strays.size() / 2, strays.end());
        if (strays[strays.size() / 2] < kExcursion) drop(b);
    }
    // A short piece at either end has no neighbour to check it against.
    if (pieces.size() > 1) {
        for (const LinePiece* end : {&pieces.front(), &pieces.back()}) {
            size_t count = 0;
            for (size_t k = end->first; k <= end->last; ++k)
                count += (*member)[k] ? 1 : 0;
            if (count < kMinEndRun) drop(*end);
        }
    }
    return dropped;
}
