// tkv: the application. It needs a display; without one it says so and ends.
// tkv [PROJECT.tkv | MOVIE [WAV]] opens the files once the window is up.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <QApplication>

#include "app/AppResources.h"
#include "app/StretcherApp.h"
#include "platform/ui/QtUserPrompt.h"
#include "platform/ui/UserPrompt.h"

namespace {

constexpr const char* kUsage =
    "usage: tkv [PROJECT.tkv | MOVIE [WAV]]\n"
    "Opens the window with a project, or a movie and a WAV, told apart by their content.\n";

bool HasDisplay() {
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

bool AsksForHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) return false;
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return true;
    }
    return false;
}

// The files named after Qt took its own options; false, having said why, on a bad line.
bool ReadFiles(int argc, char** argv, std::vector<std::string>* files) {
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (options && argument == "--") {
            options = false;
        } else if (options && argument.size() > 1 && argument[0] == '-') {
            std::fprintf(stderr, "tkv: unknown option %s\n%s", argument.c_str(), kUsage);
            return false;
        } else {
            files->push_back(argument);
        }
    }
    if (files->size() > 2) {
        std::fprintf(stderr, "tkv: too many files\n%s", kUsage);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (AsksForHelp(argc, argv)) {
        std::fputs(kUsage, stdout);
        return EXIT_SUCCESS;
    }
    if (!HasDisplay()) {
        std::fprintf(stderr, "tkv: no display to show the window on (DISPLAY is not set)\n");
        return EXIT_FAILURE;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName("tkv");
    std::vector<std::string> files;
    if (!ReadFiles(argc, argv, &files)) return 2;
    QtUserPrompt prompt;
    SetUserPrompt(&prompt);
    if (!RegisterAppResources()) std::fprintf(stderr, "tkv: the built-in pictures are damaged\n");
    StretcherApp app;
    app.m_files_to_open = std::move(files);
    app.InitInstance();
    SetUserPrompt(nullptr);
    return EXIT_SUCCESS;
}
