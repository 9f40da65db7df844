#include "engine/fit/SoundFitJob.h"

#include "engine/fit/EventFitter.h"
#include "engine/fit/MovieFeatureReader.h"
#include "engine/fit/WaveFeatureReader.h"

namespace {

FitResult Stopped(FitOutcome outcome, std::string reason) {
    FitResult result;
    result.outcome = outcome;
    result.reason = std::move(reason);
    return result;
}

}  // namespace

FitResult SoundFitJob::Run(const std::string& movie_path, const std::string& wav_path,
                           const FitControl& control) {
    // Whatever the outcome, 100 comes once, last: a loading dialog closes on it.
    int last = -1;
    FitControl counted{[&](int percent) {
                           last = percent;
                           if (control.progress) control.progress(percent);
                       },
                       control.cancel};
    FitResult result = Fit(movie_path, wav_path, counted);
    if (last < 100 && control.progress) control.progress(100);
    return result;
}

FitResult SoundFitJob::Fit(const std::string& movie_path, const std::string& wav_path,
                           const FitControl& control) {
    SoundFeatures movie;
    {
        FitProgress progress(control, 0, 45);
        MovieFeatureReader reader;
        if (!reader.Read(movie_path, progress, &movie)) {
            if (progress.Cancelled()) return Stopped(FitOutcome::Cancelled, "cancelled");
            return Stopped(FitOutcome::Unreadable, reader.Error());
        }
    }
    SoundFeatures wav;
    {
        FitProgress progress(control, 45, 80);
        WaveFeatureReader reader;
        if (!reader.Read(wav_path, progress, &wav)) {
            if (progress.Cancelled()) return Stopped(FitOutcome::Cancelled, "cancelled");
            return Stopped(FitOutcome::Unreadable, reader.Error());
        }
    }
    return EventFitter::Fit(movie, wav, control, 80, 100);
}
