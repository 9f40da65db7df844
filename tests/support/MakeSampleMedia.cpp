// tkv_make_sample_media FOLDER: writes sample.mpg (10 s of 320x240 MPEG-1 video at 25 frames a
// second, with MP2 sound) and sample.wav (10 s of a stereo 44.1 kHz test signal) into FOLDER,
// for showing the window at work (scripts/screenshots.sh) without any media of one's own.
#include <cstdio>
#include <exception>
#include <string>

#include "tests/support/MovieFileMaker.h"
#include "tests/support/WavFileBuilder.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tkv_make_sample_media FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    MovieRecipe recipe = MovieRecipe::Mpeg();
    recipe.width = 320;
    recipe.height = 240;
    recipe.frames = 250;
    std::string error;
    if (!MovieFileMaker::Make(folder + "/sample.mpg", recipe, &error)) {
        std::fprintf(stderr, "tkv_make_sample_media: cannot write the movie: %s\n", error.c_str());
        return 1;
    }
    try {
        WavFileBuilder()
            .Channels(2)
            .Rate(44100)
            .Samples(TestSignal(10 * 44100, 2, 44100))
            .Write(folder + "/sample.wav");
    } catch (const std::exception& failure) {  // the builder throws when it cannot write
        std::fprintf(stderr, "tkv_make_sample_media: %s\n", failure.what());
        return 1;
    }
    return 0;
}
