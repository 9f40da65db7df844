// What a file given to the window is, told by its first bytes, not its name: a RIFF WAVE file
// is a WAV; a file with bytes no text holds is a movie (left to the graph to play or refuse);
// plain text is a project. Used for files named on the command line and files dropped.
// Threading: any thread.
#pragma once

#include <string>

enum class FileKind { Unreadable, Project, Movie, Wave };

// Unreadable (with errno's value in `*error` when given) when the file cannot be opened or
// read, or is a folder.
FileKind IdentifyFile(const std::string& path, int* error = nullptr);
