#include "tools/render/TimeMapFiles.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "engine/StretchEvent.h"
#include "engine/StretchTimeMap.h"
#include "engine/StretchedWaveStream.h"

namespace {

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

bool WriteText(const std::string& path, const std::string& text, std::string* error) {
    errno = 0;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (file) file << text;
    if (file) file.close();
    if (!file) {
        *error = "Cannot write " + Quoted(path) +
                 (errno ? std::string(": ") + std::strerror(errno) : std::string());
        return false;
    }
    return true;
}

// What to do about the offset after Rubber Band has stretched the whole WAV.
std::string OffsetStep(const StretchTimeMap& map) {
    if (map.SilenceFrames() > 0) {
        return "  then put " + std::to_string(map.SilenceFrames()) +
               " frames of silence before its output (the initial offset)\n";
    }
    if (map.SkippedFrames() > 0) {
        return "  then cut the first " + std::to_string(map.SkippedFrames()) +
               " frames of its output (the initial offset)\n";
    }
    return "";
}

}  // namespace

bool WriteTimeMapFiles(const TimeMapRequest& request, std::FILE* out, std::string* error) {
    StretchedWaveStream stream(StretchedWaveStream::Role::Private);
    errno = 0;
    if (!stream.Open(request.audio_path.c_str())) {
        *error = "Cannot read the audio file " + Quoted(request.audio_path) +
                 (errno ? std::string(": ") + std::strerror(errno) : std::string());
        return false;
    }
    stream.SetOffset(request.offset_seconds);
    StretchEvent** head = CurrentEventList();
    StretchTimeMap map;
    map.Build(stream, head ? *head : nullptr);

    if (!request.timemap_path.empty()) {
        if (!WriteText(request.timemap_path, map.RubberBandTimeMap(), error)) return false;
        std::fprintf(out, "Rubber Band: rubberband -3 --timemap %s -D %.6f %s OUT.wav\n%s",
                     Quoted(request.timemap_path).c_str(), map.RubberBandDuration(),
                     Quoted(request.audio_path).c_str(), OffsetStep(map).c_str());
    }
    if (!request.ffmpeg_filter_path.empty()) {
        if (!WriteText(request.ffmpeg_filter_path, map.FfmpegFilterScript(), error)) return false;
        std::fprintf(out, "FFmpeg: ffmpeg -i %s -filter_complex_script %s -map \"[out]\" OUT.wav\n",
                     Quoted(request.audio_path).c_str(),
                     Quoted(request.ffmpeg_filter_path).c_str());
    }
    return true;
}
