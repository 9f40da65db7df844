// The first, coarse look: where do parts of the movie's sound turn up in the WAV at all?
// Excerpts of the movie (30 s, spread evenly) are each correlated against the whole WAV at
// every lag at once (FFT cross-correlation, normalised), at a few speeds from -8 % to +8 %
// so that a speed-up does not smear the match; each excerpt proposes its best matches. The
// anchors kept are the heaviest chain of proposals that follow one another in a plausible
// way (the WAV moving forward at 0.3 to 3 times the movie's pace between them), so a stray
// match in the wrong place does not pull the fit away.
// Works on coarse features (5 frames a second, a few bands): a 90-minute pair is 27,000
// frames, one FFT of 32,768 points per band and per tried speed.
// Order of use: construct, FindAnchors once. One thread.
#pragma once

#include <vector>

#include "engine/fit/Fft.h"
#include "engine/fit/SoundFeatures.h"

class FitProgress;

struct CoarseAnchor {
    double movie_time = 0;  // seconds: the middle of the excerpt
    double wav_time = 0;    // where it was found
    double slope = 1;       // WAV seconds per movie second that matched best
    double score = 0;       // normalised correlation, -1 to 1
};

class GlobalAligner {
public:
    GlobalAligner(const SoundFeatures& movie, const SoundFeatures& wav);

    // Empty when no part of the movie matched anywhere, or when cancelled.
    std::vector<CoarseAnchor> FindAnchors(FitProgress& progress) const;

private:
    struct WavSpectra {
        Fft fft;
        std::vector<std::vector<Fft::Complex>> bands;
        std::vector<double> energy_prefix;  // the features' energy summed over frames
    };
    WavSpectra Prepare(size_t longest_excerpt) const;
    std::vector<CoarseAnchor> Proposals(size_t start, size_t length, const WavSpectra& wav) const;

    const SoundFeatures& m_movie;
    const SoundFeatures& m_wav;
};
