// Runs a command-line tool's entry point in this process as a shell would call it, and keeps
// what it wrote to its standard output and error. Threading: the test's thread.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

using CommandEntry = int (*)(int argc, char** argv, std::FILE* out, std::FILE* err);

// `program` is the tool's name (argv[0]); returns the tool's exit status.
int RunCommand(const char* program, CommandEntry entry, const std::vector<std::string>& args,
               std::string* out, std::string* err);
