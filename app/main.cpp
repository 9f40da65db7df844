// tkv: the application. It needs a display; without one it says so and ends.
#include <cstdio>
#include <cstdlib>

#include <QApplication>

#include "app/AppResources.h"
#include "app/StretcherApp.h"
#include "platform/ui/QtUserPrompt.h"
#include "platform/ui/UserPrompt.h"

namespace {

bool HasDisplay() {
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char** argv) {
    if (!HasDisplay()) {
        std::fprintf(stderr, "tkv: no display to show the window on (DISPLAY is not set)\n");
        return EXIT_FAILURE;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName("tkv");
    QtUserPrompt prompt;
    SetUserPrompt(&prompt);
    if (!RegisterAppResources()) std::fprintf(stderr, "tkv: the built-in pictures are damaged\n");
    StretcherApp app;
    app.InitInstance();
    SetUserPrompt(nullptr);
    return EXIT_SUCCESS;
}
