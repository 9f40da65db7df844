// The tkv-fit command: fits the initial offset and the stretching events of a WAV to a movie
// from the sound they share, prints a short report and writes a project (.tkv) with the
// movie, the WAV, the offset and the events. A fit that cannot be trusted is refused and
// nothing is written; neither is an existing project replaced without --force.
// Exit status: 0 when the project is written, 1 when a file cannot be used, the fit is
// refused or the project cannot be written, 2 for a usage error; every failure is one line on
// `err`. A progress bar goes to `err` when it is a terminal. Runs on the calling thread.
#pragma once

#include <cstdio>

constexpr int kFitOk = 0;
constexpr int kFitFailed = 1;
constexpr int kFitUsageError = 2;

int RunFitCommand(int argc, char** argv, std::FILE* out, std::FILE* err);
