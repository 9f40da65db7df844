// Writes a project's time map for other tools: Rubber Band's --timemap file and an FFmpeg
// filter script, from the same map the stretched stream builds (StretchTimeMap), and says on
// `out` how to run each tool with it. The process's event list must be the project's.
// One thread.
#pragma once

#include <cstdio>
#include <string>

struct TimeMapRequest {
    std::string audio_path;
    float offset_seconds = 0.0f;
    std::string timemap_path;        // empty: not wanted
    std::string ffmpeg_filter_path;  // empty: not wanted
};

// True when every file asked for is written; otherwise `error` says why, for the user.
bool WriteTimeMapFiles(const TimeMapRequest& request, std::FILE* out, std::string* error);
