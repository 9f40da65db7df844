// A continuous, piecewise-linear map from movie seconds to WAV seconds, given by its knots in
// rising movie time and by the slopes it keeps before the first knot and after the last.
// With no knot it is the identity.
// Plain value; any thread.
#pragma once

#include <vector>

struct Knot {
    double movie_time = 0;
    double wav_time = 0;
};

class PiecewiseLine {
public:
    PiecewiseLine() = default;
    PiecewiseLine(std::vector<Knot> knots, double first_slope, double last_slope);

    double At(double movie_time) const;
    double SlopeAt(double movie_time) const;
    // The movie time at which the map reaches `wav_time` (its slopes must all be positive).
    double MovieTimeAt(double wav_time) const;
    const std::vector<Knot>& Knots() const { return m_knots; }
    double FirstSlope() const { return m_first_slope; }
    double LastSlope() const { return m_last_slope; }

private:
    // The first knot beyond `value` along `axis` (a knot's movie or WAV time); called only
    // between the first and the last knot, so it has one before it.
    std::vector<Knot>::const_iterator KnotAfter(double value, double Knot::*axis) const;

    std::vector<Knot> m_knots;
    double m_first_slope = 1;
    double m_last_slope = 1;
};
