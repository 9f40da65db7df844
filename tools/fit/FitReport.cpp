#include "tools/fit/FitReport.h"

#include <cmath>

namespace {

// Stretches beyond these are the fit's way over a scene one of the sounds lacks.
constexpr double kLeapStretch = 500.0;
constexpr double kWaitStretch = -80.0;

std::string Milliseconds(double seconds) {
    if (seconds < 0) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f ms", seconds * 1000.0);
    return text;
}

}  // namespace

std::string FitReport::Time(double seconds) {
    const bool negative = seconds < 0;
    const auto millis = static_cast<long long>(std::llround(std::abs(seconds) * 1000.0));
    char text[40];
    std::snprintf(text, sizeof text, "%s%02lld:%02lld:%02lld.%03lld", negative ? "-" : "",
                  millis / 3600000, millis / 60000 % 60, millis / 1000 % 60, millis % 1000);
    return text;
}

void FitReport::Print(const FitResult& result, const std::string& movie, const std::string& wav,
                      std::FILE* out) {
    std::fprintf(out, "Movie: %s (%s of sound)\n", movie.c_str(),
                 Time(result.movie_duration).c_str());
    std::fprintf(out, "WAV:   %s (%s)\n", wav.c_str(), Time(result.wav_duration).c_str());
    std::fprintf(out, "Initial offset: %.3f s\n", result.offset);
    std::fprintf(out, "Events: %zu\n", result.events.size());
    const TimeMap map = result.Map();
    for (size_t e = 0; e < result.events.size(); ++e) {
        const FittedEvent& event = result.events[e];
        std::fprintf(out, "  %s  %+10.4f %%", Time(event.movie_pos).c_str(), event.stretch);
        const double end =
            e + 1 < result.events.size() ? result.events[e + 1].movie_pos : result.movie_duration;
        const double wav_moved = map.WavPosition(end) - map.WavPosition(event.movie_pos);
        if (event.stretch >= kLeapStretch) {
            std::fprintf(out, "   leaps over %.2f s of the WAV the movie lacks",
                         wav_moved - (end - event.movie_pos));
        } else if (event.stretch <= kWaitStretch) {
            std::fprintf(out, "   waits out %.2f s of movie the WAV lacks",
                         (end - event.movie_pos) - wav_moved);
        }
        std::fputc('\n', out);
    }
    std::fprintf(out, "Confidence by stretch of the movie:\n");
    std::fprintf(out, "  from          to              stretch  confidence  residual\n");
    for (const FitSpan& span : result.spans) {
        if (span.stretch >= kLeapStretch || span.stretch <= kWaitStretch) {
            std::fprintf(out, "  %s  %s  %+9.3f %%           -  (%s)\n", Time(span.start).c_str(),
                         Time(span.end).c_str(), span.stretch,
                         span.stretch > 0 ? "the leap" : "the wait");
            continue;
        }
        if (span.anchors == 0) {
            std::fprintf(out, "  %s  %s  %+9.3f %%           -  (nothing to match)\n",
                         Time(span.start).c_str(), Time(span.end).c_str(), span.stretch);
            continue;
        }
        std::fprintf(out, "  %s  %s  %+9.3f %%  %9.0f %%  %s\n", Time(span.start).c_str(),
                     Time(span.end).c_str(), span.stretch, span.confidence * 100.0,
                     Milliseconds(span.residual).c_str());
    }
    std::fprintf(out,
                 "Matched: %.0f %% of the movie's sound; expected residual %s RMS, 95 %% within "
                 "%s\n",
                 result.coverage * 100.0, Milliseconds(result.residual).c_str(),
                 Milliseconds(result.residual95).c_str());
}
