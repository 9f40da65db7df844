// The fine look: with a guess of the map (good to a few tenths of a second), finds precisely
// where the movie's sound is in the WAV at instants spread over the movie (anchors). Around
// each instant, 3 s of the movie's finest features (100 frames a second) are set against the
// WAV's, read along the guess at its local slope so that a speed-up does not smear them, at
// shifts of up to 0.4 s either way; the best normalised correlation, refined between frames
// by a parabola, gives the WAV position and the anchor's score (how well it matched) and
// significance (how much better than elsewhere in the WAV).
// Order of use: construct, Refine any number of times. Read-only: threads may share it.
#pragma once

#include <vector>

#include "engine/fit/PiecewiseLine.h"
#include "engine/fit/SoundFeatures.h"

class FitProgress;

struct Anchor {
    double movie_time = 0;  // seconds
    double wav_time = 0;    // where the movie's sound at movie_time is in the WAV
    double score = 0;       // normalised correlation, -1 to 1
    // How far the score stands above those of the same stretch of movie set against other
    // places of the WAV (3 to 18 s away), in their standard deviations. A real match stands
    // out by 4 or more; a chance one, in sounds that merely resemble each other, does not.
    double significance = 0;
    bool featureless = false;  // the movie is (nearly) silent or unchanging here: no evidence
};

class AnchorRefiner {
public:
    AnchorRefiner(const SoundFeatures& movie, const SoundFeatures& wav);

    // Anchors every `spacing` seconds of the movie, in order (empty when cancelled).
    std::vector<Anchor> Refine(const PiecewiseLine& guess, double spacing,
                               FitProgress& progress) const;
    // One anchor near movie frame `centre` (finest frames).
    Anchor RefineAt(const PiecewiseLine& guess, long centre) const;

private:
    double Significance(const float* movie, double movie_energy, double wav_frame, double slope,
                        double score) const;

    const SoundFeatures& m_movie;
    const SoundFeatures& m_wav;
};
