// A whole fit from the files: the movie's sound decoded through the media framework, the WAV
// read by the engine's reader, both brought to the fitting rate and fitted (EventFitter).
// Progress runs from 0 to 100 over the three parts (the movie until 45, the WAV until 80, the
// fit until 100), and 100 comes exactly once, last, whatever the outcome; a raised cancel flag
// ends it soon with FitOutcome::Cancelled.
// Meant for a loading dialog's worker thread or a command-line tool:
//   std::atomic<bool> cancel{false};
//   FitResult result = SoundFitJob::Run(movie, wav, {on_percent, &cancel});
//   if (result.Fitted()) ... else show result.reason
// Threading: Run blocks the calling thread; the progress callback is called on it.
#pragma once

#include <string>

#include "engine/fit/FitProgress.h"
#include "engine/fit/FitResult.h"

class SoundFitJob {
public:
    static FitResult Run(const std::string& movie_path, const std::string& wav_path,
                         const FitControl& control);

private:
    static FitResult Fit(const std::string& movie_path, const std::string& wav_path,
                         const FitControl& control);
};
