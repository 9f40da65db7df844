// tkv-fit: fits a WAV's offset and stretching events to a movie and writes a project.
#include <cstdio>

#include "tools/fit/FitCommand.h"

int main(int argc, char** argv) {
    return RunFitCommand(argc, argv, stdout, stderr);
}
