#include "engine/fit/PiecewiseLine.h"

#include <algorithm>

PiecewiseLine::PiecewiseLine(std::vector<Knot> knots, double first_slope, double last_slope)
    : m_knots(std::move(knots)), m_first_slope(first_slope), m_last_slope(last_slope) {}

std::vector<Knot>::const_iterator PiecewiseLine::KnotAfter(double value, double Knot::*axis) const {
    return std::upper_bound(m_knots.begin(), m_knots.end(), value,
                            [axis](double v, const Knot& knot) { return v < knot.*axis; });
}

double PiecewiseLine::At(double movie_time) const {
    if (m_knots.empty()) return movie_time;
    if (movie_time <= m_knots.front().movie_time) {
        return m_knots.front().wav_time + (movie_time - m_knots.front().movie_time) * m_first_slope;
    }
    if (movie_time >= m_knots.back().movie_time) {
        return m_knots.back().wav_time + (movie_time - m_knots.back().movie_time) * m_last_slope;
    }
    const auto after = KnotAfter(movie_time, &Knot::movie_time);
    const Knot& a = *(after - 1);
    const Knot& b = *after;
    const double span = b.movie_time - a.movie_time;
    if (span <= 0) return b.wav_time;
    return a.wav_time + (movie_time - a.movie_time) * (b.wav_time - a.wav_time) / span;
}

double PiecewiseLine::SlopeAt(double movie_time) const {
    if (m_knots.empty()) return 1.0;
    if (movie_time < m_knots.front().movie_time) return m_first_slope;
    if (movie_time >= m_knots.back().movie_time) return m_last_slope;
    const auto after = KnotAfter(movie_time, &Knot::movie_time);
    const Knot& a = *(after - 1);
    const Knot& b = *after;
    const double span = b.movie_time - a.movie_time;
    return span > 0 ? (b.wav_time - a.wav_time) / span : m_last_slope;
}

double PiecewiseLine::MovieTimeAt(double wav_time) const {
    if (m_knots.empty()) return wav_time;
    if (wav_time <= m_knots.front().wav_time) {
        return m_knots.front().movie_time + (wav_time - m_knots.front().wav_time) / m_first_slope;
    }
    if (wav_time >= m_knots.back().wav_time) {
        return m_knots.back().movie_time + (wav_time - m_knots.back().wav_time) / m_last_slope;
    }
    const auto after = KnotAfter(wav_time, &Knot::wav_time);
    const Knot& a = *(after - 1);
    const Knot& b = *after;
    const double rise = b.wav_time - a.wav_time;
    if (rise <= 0) return a.movie_time;
    return a.movie_time + (wav_time - a.wav_time) * (b.movie_time - a.movie_time) / rise;
}
