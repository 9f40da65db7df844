// Makes short movies for tests with FFmpeg's encoders and muxers: MPEG-1 video with MP2 audio
// in an MPEG program stream, MJPEG with PCM in AVI, or either stream alone; any other muxer
// and encoders FFmpeg has (MP4, Matroska, transport streams...) through the recipe's fields.
// Pictures are flat grey levels that change every frame; sound is a sine tone. A flashing movie
// instead shows black pictures over a faint hum, except every Nth picture, which is white and
// starts a loud click, so that picture and sound can be matched on a clock.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

extern "C" {
#include <libavcodec/codec_id.h>
}

struct MovieRecipe {
    std::string container = "mpeg";            // a libavformat muxer name: "mpeg", "avi", "mp4"
    AVCodecID video = AV_CODEC_ID_MPEG1VIDEO;  // AV_CODEC_ID_NONE: no video stream
    AVCodecID audio = AV_CODEC_ID_MP2;         // AV_CODEC_ID_NONE: no audio stream
    int width = 64;
    int height = 48;
    int rate_num = 25;  // frames per second, as a fraction
    int rate_den = 1;
    int frames = 25;
    int key_frame_every = 12;
    int sample_rate = 44100;
    int channels = 2;
    int flash_every = 0;  // > 0: a flashing movie, flashing at frames 0, N, 2N ...
    // When set, the sound instead of the tone: sample n (-1 to 1, the same on every channel),
    // asked for in order.
    std::function<float(int64_t sample)> sound;

    static MovieRecipe Mpeg();  // MPEG-1 + MP2 in .mpg
    static MovieRecipe Avi();   // MJPEG + 16-bit PCM in .avi

    bool IsFlash(int64_t frame) const { return flash_every > 0 && frame % flash_every == 0; }
};

class MovieFileMaker {
public:
    // False, with the reason in `error`, when a codec or the muxer refuses.
    static bool Make(const std::string& path, const MovieRecipe& recipe, std::string* error);
};
