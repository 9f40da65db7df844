// The coarse time map: for each movie frame (5 a second), the WAV frame that matches it,
// found as the best path through a band of the similarity matrix around a first guess (the
// centre line the global anchors give), by dynamic programming.
//   similarity: normalised correlation of the features over 9 frames (1.8 s) along the
//               diagonal through the cell;
//   steps:      from one movie frame to the next the WAV moves by 1 frame (free), 0 or 2 (a
//               small cost each, so slopes from 0 to 2 are reached on average), or jumps ahead
//               by 3 frames or more (a larger cost): a scene the movie lost;
//   the path never moves backwards in the WAV.
// Cost: 2 x half_width + 1 cells per movie frame; a 90-minute movie in a band of +-25 s is
// 27,000 x 251 cells, with two bytes each kept for the way back.
// Order of use: construct, Find. One thread.
#pragma once

#include <vector>

#include "engine/fit/SoundFeatures.h"

class FitProgress;

class WarpPath {
public:
    WarpPath(const SoundFeatures& movie, const SoundFeatures& wav);

    // `centre`: for each movie frame, the WAV frame the band is centred on. The result has a
    // WAV frame for each movie frame (empty when cancelled); Similarity() the cells' values.
    std::vector<int> Find(const std::vector<double>& centre, int half_width, FitProgress& progress);
    const std::vector<float>& Similarity() const { return m_similarity; }

private:
    float Cell(int i, int j, const std::vector<float>& energy_x,
               const std::vector<float>& energy_y) const;

    const SoundFeatures& m_movie;
    const SoundFeatures& m_wav;
    std::vector<float> m_similarity;
};
