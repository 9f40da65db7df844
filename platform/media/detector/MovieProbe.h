// MovieProbe: what a media file holds, read with FFmpeg: its video and audio streams, in file
// order, with the facts the media detector reports. Other streams (subtitles, data) are left
// out, as no pin would carry them. Plain C++: no COM types, FFmpeg's only as opaque pointers.
// Order of use: Probe once per file.
// Threading: any thread; FFmpeg's demuxers are reentrant per file.
#pragma once

#include <string>
#include <vector>

struct AVFormatContext;
struct AVStream;

struct ProbedStream {
    enum class Kind { Video, Audio };
    Kind kind = Kind::Video;
    double length_seconds = 0;  // 0 when the file does not tell
    // Video
    int width = 0;
    int height = 0;
    int frame_rate_num = 0;  // 0 when the rate is unknown
    int frame_rate_den = 1;
    // Audio
    int sample_rate = 0;
    int channels = 0;
};

class MovieProbe {
public:
    enum class Result { Ok, NotFound, NotMedia };

    // Fills `streams` (cleared first). NotFound when the file cannot be opened, NotMedia when
    // no demuxer takes it or it holds neither video nor audio.
    static Result Probe(const std::string& path, std::vector<ProbedStream>* streams);
    // One opened stream's facts; false for a stream no pin would carry.
    static bool Describe(const AVFormatContext* context, const AVStream* stream,
                         ProbedStream* probed);
};
