// Joins the fitted pieces into one continuous map, as the stream can play it:
//  - two pieces whose lines cross near the gap between them meet at the crossing (a change
//    of stretch);
//  - otherwise the WAV leaps (a scene the movie lost, or one the WAV lacks). The instant of
//    the cut is where the movie's finest features stop matching the first line and start
//    matching the second; around it a short piece of steep stretch (the WAV racing through
//    the lost scene at about 20 times) or of very slow stretch (the WAV waiting out the
//    movie's extra scene at a tenth of its pace) joins the two lines.
// Order of use: construct, Join. Read-only.
#pragma once

#include <vector>

#include "engine/fit/AnchorRefiner.h"
#include "engine/fit/PiecewiseFit.h"
#include "engine/fit/PiecewiseLine.h"
#include "engine/fit/SoundFeatures.h"

class SegmentJoiner {
public:
    SegmentJoiner(const SoundFeatures& movie, const SoundFeatures& wav);

    PiecewiseLine Join(const std::vector<LinePiece>& pieces,
                       const std::vector<Anchor>& anchors) const;

private:
    // The movie time at which the sound stops following `before` and starts following
    // `after`, searched between the two times.
    double CutTime(const LinePiece& before, const LinePiece& after, double from, double to) const;

    const SoundFeatures& m_movie;
    const SoundFeatures& m_wav;
};
