#include "tools/fit/FitCommand.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "app/ProjectFile.h"
#include "engine/fit/SoundFitJob.h"
#include "tools/fit/FitReport.h"
#include "tools/render/TerminalProgressBar.h"

namespace {

constexpr const char* kUsage =
    "Usage: tkv-fit MOVIE WAV [-o PROJECT.tkv] [--force]\n"
    "\n"
    "Finds where each part of the WAV belongs in the movie, from the sound the two share\n"
    "(music and effects under the dialogue), and writes a TKV project with the movie, the\n"
    "WAV, the initial offset and the stretching events that make the WAV play in step with\n"
    "the picture. A short report shows the offset, the events, and how well each stretch of\n"
    "the movie matched.\n"
    "\n"
    "  -o, --output PROJECT.tkv  write the project here (default: the WAV's name with .tkv)\n"
    "  -f, --force               replace an existing project file\n"
    "  -h, --help                show this help\n"
    "\n"
    "A fit that cannot be trusted (the sounds share nothing recognisable) is refused and\n"
    "nothing is written. A progress bar is shown on stderr when it is a terminal. Exit\n"
    "status: 0 when the project is written, 1 when a file cannot be used or the fit is\n"
    "refused, 2 for a usage error.\n";

struct Options {
    std::vector<std::string> files;
    std::optional<std::string> output;
    bool force = false;
    bool help = false;
};

std::optional<std::string> ParseOptions(int argc, char** argv, Options* options) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") {
            options->help = true;
        } else if (arg == "-f" || arg == "--force") {
            options->force = true;
        } else if (arg == "-o" || arg == "--output") {
            if (i + 1 == args.size()) return "option " + arg + " needs a file name";
            options->output = args[++i];
        } else if (arg.rfind("--output=", 0) == 0) {
            options->output = arg.substr(9);
        } else if (arg.size() > 1 && arg[0] == '-') {
            return "unknown option " + arg;
        } else {
            options->files.push_back(arg);
        }
    }
    if (options->help) return std::nullopt;
    if (options->files.size() < 2) return "give the movie and the WAV";
    if (options->files.size() > 2) return "more than two files given: " + options->files[2];
    if (options->output && options->output->empty()) return "the project file name is empty";
    return std::nullopt;
}

int Fail(std::FILE* err, const std::string& message) {
    std::fprintf(err, "tkv-fit: %s\n", message.c_str());
    return kFitFailed;
}

// The path as the project keeps it: absolute, so that the project opens from anywhere.
std::string Absolute(const std::string& path) {
    std::error_code ignored;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
    return absolute.empty() ? path : absolute.lexically_normal().string();
}

int Fit(const Options& options, std::FILE* out, std::FILE* err) {
    const std::string& movie = options.files[0];
    const std::string& wav = options.files[1];
    const std::string project = options.output
                                    ? *options.output
                                    : std::filesystem::path(wav).replace_extension(".tkv").string();
    std::error_code ignored;
    if (!options.force && std::filesystem::exists(project, ignored)) {
        return Fail(err, project + " exists already; give another with -o, or --force");
    }

    FitResult result;
    {
        TerminalProgressBar bar(err);
        result = SoundFitJob::Run(movie, wav, {[&bar](int percent) { bar.Show(percent); }, {}});
    }
    if (result.outcome == FitOutcome::Unreadable) return Fail(err, result.reason);
    if (!result.Fitted()) {
        std::string why = movie + " and " + wav + ": " + result.reason;
        if (!result.spans.empty()) {
            why += " (" + std::to_string(static_cast<int>(result.coverage * 100.0 + 0.5)) +
                   " % of the movie's sound matched)";
        }
        return Fail(err, why + "; nothing written");
    }
    FitReport::Print(result, movie, wav, out);

    ProjectFile file;
    file.m_video_path = Absolute(movie);
    file.m_audio_path = Absolute(wav);
    file.m_initial_offset = result.offset;
    for (const FittedEvent& event : result.events)
        file.m_events.push_back({event.stretch, event.movie_pos});
    errno = 0;
    if (!file.Save(project)) {
        return Fail(err, project + ": cannot write the project" +
                             (errno ? std::string(": ") + std::strerror(errno) : ""));
    }
    std::fprintf(out, "Project written: %s\n", project.c_str());
    return kFitOk;
}

}  // namespace

int RunFitCommand(int argc, char** argv, std::FILE* out, std::FILE* err) {
    Options options;
    if (const auto problem = ParseOptions(argc, argv, &options)) {
        std::fprintf(err, "tkv-fit: %s (see tkv-fit --help)\n", problem->c_str());
        return kFitUsageError;
    }
    if (options.help) {
        std::fputs(kUsage, out);
        return kFitOk;
    }
    return Fit(options, out, err);
}
