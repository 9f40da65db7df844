// tkv_fit_bench: the time and memory tkv-fit takes for a feature-length movie, and how well it
// recovers the time map.
//  1. Makes (or finds, with --keep DIR) a movie of MINUTES (default 90) — MPEG-1 pictures
//     (64x48) with MP2 sound, 48 kHz stereo — whose sound is a music-and-effects background
//     with a dialogue, a 10 s scene of the background lost at 41 min; and a dub WAV, 48 kHz
//     stereo, made from the whole background with another dialogue (-6 dB) through our own
//     export: 3 s skipped at its start and sped up as a PAL transfer (25 / 23.976).
//  2. Runs the tkv-fit program on them as a child process, timing it and taking its peak
//     resident memory from the kernel (wait4).
//  3. Reads the project it wrote and sets the map against the truth: the share of the movie
//     within 20 ms, the stretch against the PAL factor.
// First it fits the tests' one-minute dubs (a constant offset, a PAL speed-up, three events of
// different signs, a lost scene) and gives the same figures for each.
// Exit status 0 when the targets hold: faster than 100 times real time, under 200 MiB, 95 %
// of each movie within 20 ms, the PAL stretch within 0.01 %.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/ProjectFile.h"
#include "engine/AudioExport.h"
#include "engine/StretchEvent.h"
#include "engine/WaveFileWriter.h"
#include "engine/fit/EventFitter.h"
#include "engine/fit/TimeMap.h"
#include "tests/engine/fit/DubScenario.h"
#include "tests/engine/fit/SoundtrackSynth.h"
#include "tests/support/MovieFileMaker.h"
#include "tests/support/TempDir.h"

namespace {

constexpr uint32_t kRate = 48000;
constexpr double kPal = (25.0 / 23.976 - 1.0) * 100.0;
constexpr double kExportOffset = -3.0;
constexpr double kLostAt = 41 * 60.0;
constexpr double kLostSeconds = 10.0;
constexpr uint64_t kSeed = 2024;

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// The movie: the background with one dialogue, less the lost scene.
bool MakeMovie(const std::string& path, double minutes) {
    MovieRecipe recipe = MovieRecipe::Mpeg();
    recipe.sample_rate = kRate;
    recipe.frames = static_cast<int>(minutes * 60 * 25);
    auto background = std::make_shared<BackgroundSynth>(kRate, kSeed);
    auto dialogue = std::make_shared<SpeechSynth>(kRate, kSeed + 1);
    auto skipped = std::make_shared<bool>(false);
    recipe.sound = [=](int64_t n) {
        if (!*skipped && n >= static_cast<int64_t>(kLostAt * kRate)) {
            for (int64_t i = 0; i < static_cast<int64_t>(kLostSeconds * kRate); ++i)
                background->Next();
            *skipped = true;
        }
        return background->Next() + dialogue->Next();
    };
    std::string error;
    if (!MovieFileMaker::Make(path, recipe, &error)) {
        std::fprintf(stderr, "cannot make %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    return true;
}

// The dub: the whole background with another dialogue, written, then exported.
bool MakeDub(const std::string& source, const std::string& dub, double minutes) {
    BackgroundSynth background(kRate, kSeed);
    SpeechSynth dialogue(kRate, kSeed + 2);
    WaveFileWriter writer;
    if (!writer.Create(source.c_str(), 2, kRate, 16)) return false;
    const auto frames = static_cast<int64_t>((minutes * 60 + kLostSeconds + 30) * kRate);
    std::vector<int16_t> block;
    for (int64_t done = 0; done < frames;) {
        block.clear();
        for (int i = 0; i < 65536 && done < frames; ++i, ++done) {
            const float s = std::clamp(background.Next() + dialogue.Next(), -1.0f, 1.0f);
            const auto v = static_cast<int16_t>(s * 32767.0f);
            block.push_back(v);
            block.push_back(v);
        }
        if (!writer.Write(block.data(), static_cast<uint32_t>(block.size() * 2))) return false;
    }
    if (!writer.Close()) return false;
    StretchEvent* head = nullptr;
    new StretchEvent(0.0f, static_cast<float>(kPal), &head);
    SetCurrentEventList(&head);
    AudioExport job({source, dub, static_cast<float>(kExportOffset)});
    const bool ok = job.Run(nullptr);
    SetCurrentEventList(nullptr);
    delete head;
    if (!ok) std::fprintf(stderr, "export: %s\n", job.ErrorMessage().c_str());
    std::filesystem::remove(source);
    return ok;
}

// The tests' one-minute dubs (tests/engine/fit/EventFitterTest.cpp), fitted and measured.
bool ScenarioFigures() {
    struct Named {
        const char* name;
        DubScenario scenario;
    };
    std::vector<Named> cases(4);
    cases[0].name = "constant offset of 2.5 s";
    cases[0].scenario.offset = 2.5;
    cases[1].name = "PAL speed-up";
    cases[1].scenario.offset = -0.4;
    cases[1].scenario.events = {{0.0, kPal}};
    cases[2].name = "three events, +3, -2.5, +1.5 %";
    cases[2].scenario.seconds = 90;
    cases[2].scenario.offset = -1.2;
    cases[2].scenario.events = {{15.0, 3.0}, {40.0, -2.5}, {65.0, 1.5}};
    cases[3].name = "a 10 s scene the movie lost";
    cases[3].scenario.offset = 0.8;
    cases[3].scenario.lost_at = 27.0;
    cases[3].scenario.lost_seconds = 10.0;
    bool ok = true;
    for (Named& c : cases) {
        TempDir dir;
        std::string error;
        if (!c.scenario.Make(dir.Path().string(), &error)) {
            std::fprintf(stderr, "%s: %s\n", c.name, error.c_str());
            return false;
        }
        const uint32_t rate = c.scenario.rate;
        const FitResult result = EventFitter::Fit(
            Resampled(c.scenario.movie, rate, EventFitter::kFitRate),
            Resampled(c.scenario.dub, rate, EventFitter::kFitRate), EventFitter::kFitRate, {});
        const double share = c.scenario.ShareWithin(result, 0.020);
        std::printf("%-32s %s, events: %zu, within 20 ms: %.1f %% of the movie", c.name,
                    result.Fitted() ? "fitted" : "refused", result.events.size(), share * 100.0);
        if (!c.scenario.events.empty() && c.scenario.events[0].stretch == kPal &&
            !result.events.empty()) {
            std::printf(
                ", stretch error %.4f %%",
                std::abs((1.0 + result.events[0].stretch / 100.0) * (1.0 + kPal / 100.0) - 1.0) *
                    100.0);
        }
        std::printf("\n");
        ok = ok && result.Fitted() && share >= 0.95;
    }
    return ok;
}

double TrueWavPosition(double movie_time) {
    const double master = movie_time < kLostAt ? movie_time : movie_time + kLostSeconds;
    return TimeMap(kExportOffset, {{0.0, kPal}}).MovieTime(master);
}

}  // namespace

int main(int argc, char** argv) {
    double minutes = 90;
    std::string keep;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--keep" && i + 1 < argc) {
            keep = argv[++i];
        } else {
            minutes = std::atof(argv[i]);
        }
    }
    if (minutes < 42) {
        std::fprintf(stderr, "usage: tkv_fit_bench [MINUTES >= 42] [--keep DIR]\n");
        return 2;
    }
    TempDir temporary;
    setenv("TKV_REGISTRY_DIR", (temporary.Path() / "registry").c_str(), 1);
    const bool scenarios_ok = ScenarioFigures();
    const std::filesystem::path dir = keep.empty() ? temporary.Path() : std::filesystem::path(keep);
    std::filesystem::create_directories(dir);
    const std::string tag = std::to_string(static_cast<int>(minutes));
    const std::string movie = (dir / ("fit-bench-" + tag + ".mpg")).string();
    const std::string dub = (dir / ("fit-bench-" + tag + ".wav")).string();
    const std::string project = (temporary.Path() / "fit.tkv").string();

    const auto made = std::chrono::steady_clock::now();
    if (!std::filesystem::exists(movie) && !MakeMovie(movie, minutes)) return 1;
    if (!std::filesystem::exists(dub) &&
        !MakeDub((dir / "fit-bench-source.wav").string(), dub, minutes)) {
        return 1;
    }
    std::printf("inputs ready in %.0f s: %s (%.0f MiB), %s (%.0f MiB)\n",
                Seconds(std::chrono::steady_clock::now() - made), movie.c_str(),
                std::filesystem::file_size(movie) / 1048576.0, dub.c_str(),
                std::filesystem::file_size(dub) / 1048576.0);

    std::fflush(stdout);  // the child's report follows
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execl(TKV_FIT_BINARY, "tkv-fit", movie.c_str(), dub.c_str(), "-o", project.c_str(),
              "--force", static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double wall = Seconds(std::chrono::steady_clock::now() - start);
    const double cpu = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                       (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    const double peak_mib = usage.ru_maxrss / 1024.0;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "tkv-fit failed (status %d)\n", status);
        return 1;
    }

    ProjectFile fitted;
    if (!fitted.Load(project)) return 1;
    std::vector<MapEvent> events;
    for (const ProjectFile::Event& e : fitted.m_events)
        events.push_back({e.movie_pos, e.tempo});
    const TimeMap map(fitted.m_initial_offset, events);
    const double seconds = minutes * 60;
    std::vector<double> errors;
    for (double t = 0; t < seconds; t += 0.01)
        errors.push_back(std::abs(map.WavPosition(t) - TrueWavPosition(t)));
    std::sort(errors.begin(), errors.end());
    const auto within = std::upper_bound(errors.begin(), errors.end(), 0.020) - errors.begin();
    auto percentile = [&](double p) {
        return errors[static_cast<size_t>(p * static_cast<double>(errors.size() - 1))] * 1000.0;
    };
    const double share = static_cast<double>(within) / static_cast<double>(errors.size());
    const double factor_error =
        events.empty()
            ? 1.0
            : std::abs((1.0 + events.front().stretch / 100.0) * (1.0 + kPal / 100.0) - 1.0);
    std::printf(
        "tkv-fit on %.0f min: wall %.1f s = %.0f times real time, CPU %.1f s, peak memory %.1f "
        "MiB\n"
        "fit: offset %.3f s, %zu events; within 20 ms: %.2f %% of the movie (error at the median "
        "%.1f ms, 95th percentile %.1f ms, 99th %.1f ms); PAL stretch error %.3f ppm\n",
        minutes, wall, seconds / wall, cpu, peak_mib, fitted.m_initial_offset, events.size(),
        share * 100.0, percentile(0.5), percentile(0.95), percentile(0.99), factor_error * 1e6);
    for (const MapEvent& e : events)
        std::printf("  event %.3f s  %+.6f %%\n", e.movie_pos, e.stretch);
    const bool ok = scenarios_ok && seconds / wall > 100.0 && peak_mib < 200.0 && share >= 0.95 &&
                    factor_error <= 1e-4;
    return ok ? 0 : 1;
}
