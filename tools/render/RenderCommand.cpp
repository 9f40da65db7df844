#include "tools/render/RenderCommand.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/ProjectFile.h"
#include "engine/AudioExport.h"
#include "engine/StretchEvent.h"
#include "tools/render/TerminalProgressBar.h"

namespace {

constexpr const char* kUsage =
    "Usage: tkv-render PROJECT.tkv [-o OUT.wav]\n"
    "\n"
    "Renders the stretched audio of a TKV project to a WAV file: the project's audio file,\n"
    "delayed or advanced by its initial offset and stretched by its events, exactly as the\n"
    "application's Render button does.\n"
    "\n"
    "  -o, --output OUT.wav  write here instead of the project's output file\n"
    "  -h, --help            show this help\n"
    "\n"
    "Paths inside the project that are relative are taken from the project file's folder.\n"
    "A progress bar is shown on stderr when it is a terminal. Exit status: 0 on success,\n"
    "1 when the export fails, 2 for a usage error.\n";

struct Options {
    std::string project;
    std::optional<std::string> output;
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

int Render(const Options& options, std::FILE* err) {
    ProjectFile project;
    errno = 0;
    if (!project.Load(options.project)) {
        return Fail(err, options.project + ": cannot open the project file" +
                             (errno ? std::string(": ") + std::strerror(errno) : ""));
    }
    if (project.m_audio_path.empty()) {
        return Fail(err, options.project + ": the project names no audio file");
    }
    const std::string output =
        options.output ? *options.output : ProjectRelative(options.project, project.m_output_path);
    if (output.empty()) {
        return Fail(
            err, options.project + ": the project names no output file; give one with -o OUT.wav");
    }
    const std::string audio = ProjectRelative(options.project, project.m_audio_path);

    ProjectEventList events(project);
    TerminalProgressBar bar(err);
    AudioExport job({audio, output, project.m_initial_offset});
    if (job.Run([&bar](int percent) { bar.Show(percent); })) return kRenderOk;
    return Fail(err, job.ErrorMessage());
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
    return Render(options, err);
}
