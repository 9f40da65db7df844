// The tkv-render command: reads a project, builds its event list and runs the same export
// as the application, to the project's output file or to the one given with -o.
// Exit status: 0 on success, 1 when the export fails, 2 for a usage error; every failure is
// one line on `err` naming the file and the reason. Runs on the calling thread.
#pragma once

#include <cstdio>

constexpr int kRenderOk = 0;
constexpr int kRenderFailed = 1;
constexpr int kRenderUsageError = 2;

int RunRenderCommand(int argc, char** argv, std::FILE* out, std::FILE* err);
