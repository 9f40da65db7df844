#include "tools/render/RenderCommand.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ProjectFile.h"
#include "engine/AudioExport.h"
#include "engine/StretchEvent.h"
#ifdef TKV_HAVE_RUBBERBAND
#include "engine/RubberBandExport.h"
#endif
#include "tools/render/TerminalProgressBar.h"
#include "tools/render/TimeMapFiles.h"

namespace {

constexpr const char* kUsage =
    "Usage: tkv-render PROJECT.tkv [-o OUT.wav] [--engine soundtouch|rubberband]\n"
    "                  [--timemap FILE] [--ffmpeg-filter FILE]\n"
    "\n"
    "Renders the stretched audio of a TKV project to a WAV file: the project's audio file,\n"
    "delayed or advanced by its initial offset and stretched by its events, exactly as the\n"
    "application's Render button does.\n"
    "\n"
    "  -o, --output OUT.wav  write here instead of the project's output file\n"
    "  --engine NAME         soundtouch (the default, as the application renders and\n"
    "                        plays) or rubberband (when the build has it)\n"
    "  --timemap FILE        write the map from WAV frames to output frames as Rubber\n"
    "                        Band's command-line tool reads it (rubberband --timemap)\n"
    "  --ffmpeg-filter FILE  write an FFmpeg filter script that trims, re-times and joins\n"
    "                        the WAV's stretches (ffmpeg -filter_complex_script)\n"
    "  -h, --help            show this help\n"
    "\n"
    "With --timemap or --ffmpeg-filter only the maps are written, and how to run each tool\n"
    "is shown; add -o to render as well.\n"
    "Paths inside the project that are relative are taken from the project file's folder.\n"
    "A progress bar is shown on stderr when it is a terminal. Exit status: 0 on success,\n"
    "1 when the export fails, 2 for a usage error.\n";

struct Options {
    std::string project;
    std::optional<std::string> output;
    std::string engine = "soundtouch";
    std::string timemap;
    std::string ffmpeg_filter;
    bool help = false;
};

// Parses the arguments; returns the usage problem, or nothing when they are fine.
std::optional<std::string> ParseOptions(int argc, char** argv, Options* options) {
    std::vector<std::string> args(argv + 1, argv + argc);
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") {
            options->help = true;
        } else if (arg == "-o" || arg == "--output") {
            if (i + 1 == args.size()) return "option " + arg + " needs a file name";
            options->output = args[++i];
        } else if (arg == "--engine" || arg == "--timemap" || arg == "--ffmpeg-filter") {
            if (i + 1 == args.size() || args[i + 1].empty()) {
                return "option " + arg + " needs " + (arg == "--engine" ? "a name" : "a file name");
            }
            std::string& value = arg == "--engine"    ? options->engine
                                 : arg == "--timemap" ? options->timemap
                                                      : options->ffmpeg_filter;
            value = args[++i];
        } else if (arg.rfind("--output=", 0) == 0) {
            options->output = arg.substr(9);
        } else if (arg.size() > 1 && arg[0] == '-') {
            return "unknown option " + arg;
        } else if (options->project.empty()) {
            options->project = arg;
        } else {
            return "more than one project given: " + arg;
        }
    }
    if (!options->help && options->project.empty()) return "no project file given";
    if (options->output && options->output->empty()) return "the output file name is empty";
    if (options->engine != "soundtouch" && options->engine != "rubberband") {
        return "unknown engine " + options->engine + " (soundtouch or rubberband)";
    }
    return std::nullopt;
}

// A path from the project, taken relative to the project file's folder.
std::string ProjectRelative(const std::string& project, const std::string& path) {
    if (path.empty() || std::filesystem::path(path).is_absolute()) return path;
    return (std::filesystem::path(project).parent_path() / path).lexically_normal().string();
}

// Owns the events read from the project and makes them the process's list meanwhile.
class ProjectEventList {
public:
    explicit ProjectEventList(const ProjectFile& project) {
        project.BuildEventList(&m_head);
        SetCurrentEventList(&m_head);
    }
    ~ProjectEventList() {
        SetCurrentEventList(nullptr);
        delete m_head;
    }
    ProjectEventList(const ProjectEventList&) = delete;
    ProjectEventList& operator=(const ProjectEventList&) = delete;

private:
    StretchEvent* m_head = nullptr;
};

int Fail(std::FILE* err, const std::string& message) {
    std::fprintf(err, "tkv-render: %s\n", message.c_str());
    return kRenderFailed;
}

// The engine asked for, or none (with the reason) when this build lacks it.
std::unique_ptr<StretchExport> MakeExport(const std::string& engine, ExportRequest request) {
    if (engine == "rubberband") {
#ifdef TKV_HAVE_RUBBERBAND
        return std::make_unique<RubberBandExport>(std::move(request));
#else
        return nullptr;
#endif
    }
    return std::make_unique<AudioExport>(std::move(request));
}

int Render(const Options& options, std::FILE* out, std::FILE* err) {
    ProjectFile project;
    errno = 0;
    if (!project.Load(options.project)) {
        return Fail(err, options.project + ": cannot open the project file" +
                             (errno ? std::string(": ") + std::strerror(errno) : ""));
    }
    if (project.m_audio_path.empty()) {
        return Fail(err, options.project + ": the project names no audio file");
    }
    const std::string audio = ProjectRelative(options.project, project.m_audio_path);
    ProjectEventList events(project);
    const bool maps_only = !options.timemap.empty() || !options.ffmpeg_filter.empty();
    if (maps_only) {
        std::string problem;
        if (!WriteTimeMapFiles(
                {audio, project.m_initial_offset, options.timemap, options.ffmpeg_filter}, out,
                &problem)) {
            return Fail(err, problem);
        }
        if (!options.output) return kRenderOk;
    }
    const std::string output =
        options.output ? *options.output : ProjectRelative(options.project, project.m_output_path);
    if (output.empty()) {
        return Fail(
            err, options.project + ": the project names no output file; give one with -o OUT.wav");
    }
    std::unique_ptr<StretchExport> job =
        MakeExport(options.engine, {audio, output, project.m_initial_offset});
    if (!job) return Fail(err, "this build has no " + options.engine + " engine");
    TerminalProgressBar bar(err);
    if (job->Run([&bar](int percent) { bar.Show(percent); })) return kRenderOk;
    return Fail(err, job->ErrorMessage());
}

}  // namespace

int RunRenderCommand(int argc, char** argv, std::FILE* out, std::FILE* err) {
    Options options;
    if (const auto problem = ParseOptions(argc, argv, &options)) {
        std::fprintf(err, "tkv-render: %s (see tkv-render --help)\n", problem->c_str());
        return kRenderUsageError;
    }
    if (options.help) {
        std::fputs(kUsage, out);
        return kRenderOk;
    }
    return Render(options, out, err);
}
