// Fits the initial offset and the stretching events that make a WAV play in step with a
// movie, from the sound the two share (music and effects under a dialogue that differs).
//
// The method, coarse to fine, on SoundFeatures (band energies, 100 frames a second):
//  1. GlobalAligner: 30 s excerpts of the movie found in the whole WAV by FFT
//     cross-correlation at a few speeds (5 frames a second); a consistent chain of them is a
//     first guess of the map, good to some seconds.
//  2. WarpPath: the best monotone path (slopes 0 to 2, leaps ahead for lost scenes) through
//     the similarity of the two sounds, in a band of +-25 s around that guess (5 frames a
//     second): the map to a few tenths of a second, wherever the sounds match.
//  3. AnchorRefiner: every second of the movie, its finest features matched against the WAV's
//     read along the map: anchors precise to a few milliseconds, each with a score.
//  4. PiecewiseFit: as few straight pieces as the anchors need (a breakpoint has a price, so a
//     steady drift is one piece); SegmentJoiner joins them into one continuous map, crossing
//     where two pieces meet and racing through a scene the movie lost.
//  5. Steps 3 and 4 again along that map, then the map is written as an offset and events
//     (the stream's model: WAV position = t - offset before the first event, and from each
//     event on it advances by 1 + stretch / 100 per movie second), and FitAssessment measures
//     how well each stretch of the movie matched; a fit that cannot be trusted is refused.
// Costs for a 90-minute pair: about 70 MB of features; a few seconds of arithmetic.
//
// Threading: Fit runs on the calling thread (a worker's), reports progress there (up to the
// end of its range when it returns a fit; a refusal may stop short) and stops soon after the
// cancel flag is raised. No state is kept between calls.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/fit/FitProgress.h"
#include "engine/fit/FitResult.h"
#include "engine/fit/SoundFeatures.h"

class EventFitter {
public:
    // The rate both sounds are brought to before their features are taken.
    static constexpr uint32_t kFitRate = 8000;
    static constexpr double kMinSeconds = 10.0;

    // Two mono sample sequences at one rate (any, 4 kHz or more).
    static FitResult Fit(const std::vector<float>& movie, const std::vector<float>& wav,
                         uint32_t sample_rate, const FitControl& control);
    // The same from the sounds' features, reporting progress between `from` and `to` percent.
    static FitResult Fit(const SoundFeatures& movie, const SoundFeatures& wav,
                         const FitControl& control, double from = 0, double to = 100);
};
