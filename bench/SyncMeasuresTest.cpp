// The benchmarks' own measures, checked on inputs made here: a movie's sound decoded to a WAV
// keeps its clicks a second apart and its length, and flashes pair with clicks by number.
#include "bench/SyncMeasures.h"

#include <vector>

#include <gtest/gtest.h>

#include "bench/MovieSound.h"
#include "tests/support/MovieFileMaker.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavFileBuilder.h"

namespace {

constexpr double kSecond = 1e7;
constexpr double kSample = kSecond / 44100;

TEST(MovieSound, flash_movie_sound_keeps_its_clicks_and_length) {
    TempDir dir;
    for (MovieRecipe recipe : {MovieRecipe::Avi(), MovieRecipe::Mpeg()}) {
        SCOPED_TRACE(recipe.container);
        recipe.frames = 75;  // 3 s
        recipe.flash_every = 25;
        const std::string movie = dir.File("flash." + recipe.container);
        const std::string wav = dir.File("flash-" + recipe.container + ".wav");
        std::string error;
        ASSERT_TRUE(MovieFileMaker::Make(movie, recipe, &error)) << error;
        ASSERT_TRUE(WriteMovieSoundAsWav(movie, wav, &error)) << error;
        const std::vector<uint8_t> bytes = ReadFileBytes(wav);
        ASSERT_GT(bytes.size(), 44u);
        const std::vector<uint8_t> data(bytes.begin() + 44, bytes.end());
        // 3 s of 16-bit stereo, give or take one codec frame of 1152 samples.
        EXPECT_NEAR(static_cast<double>(data.size() / 4), 3 * 44100.0, 1152);
        const std::vector<double> clicks = ClickTimes(data);
        // The sound may run a codec frame past the last picture, into the next flash's click.
        ASSERT_GE(clicks.size(), 3u);
        ASSERT_LE(clicks.size(), 4u);
        EXPECT_NEAR(clicks[1] - clicks[0], kSecond, 2 * kSample);
        EXPECT_NEAR(clicks[2] - clicks[1], kSecond, 2 * kSample);
    }
}

TEST(MovieSound, movie_without_sound_is_refused_with_a_reason) {
    TempDir dir;
    MovieRecipe recipe = MovieRecipe::Mpeg();
    recipe.audio = AV_CODEC_ID_NONE;
    const std::string movie = dir.File("silent.mpg");
    std::string error;
    ASSERT_TRUE(MovieFileMaker::Make(movie, recipe, &error)) << error;
    EXPECT_FALSE(WriteMovieSoundAsWav(movie, dir.File("out.wav"), &error));
    EXPECT_NE(error.find("no sound"), std::string::npos) << error;
    EXPECT_FALSE(WriteMovieSoundAsWav(dir.File("missing.mpg"), dir.File("out.wav"), &error));
}

TEST(SyncMeasures, flashes_pair_with_clicks_by_number) {
    struct Case {
        const char* name;
        std::vector<Flash> flashes;
        std::vector<double> clicks;
        size_t pairs;
        double mean_ms;
        double worst_ms;
    };
    const std::vector<Case> cases = {
        {"all shown", {{0, 2e4}, {1, kSecond - 3e4}}, {0, kSecond}, 2, -0.5, -3},
        // Flash 0 was only the paused picture: flash 1 still meets click 1.
        {"first missing",
         {{1, kSecond + 4e4}, {2, 2 * kSecond + 4e4}},
         {0, kSecond, 2 * kSecond},
         2,
         4,
         4},
        {"flash past the last click", {{0, 1e4}, {5, 9e9}}, {0}, 1, 1, 1},
        {"nothing shown", {}, {0, kSecond}, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const PictureAgainstSound sync = ComparePictureToSound(c.flashes, c.clicks);
        EXPECT_EQ(sync.pairs, c.pairs) << c.name;
        EXPECT_DOUBLE_EQ(sync.mean_ms, c.mean_ms) << c.name;
        EXPECT_DOUBLE_EQ(sync.worst_ms, c.worst_ms) << c.name;
    }
}

TEST(SyncMeasures, clicks_counted_from_the_first_sound_after_quiet) {
    // Zeros from the device first, then a hum with two loud bursts 0.5 s apart; a burst within
    // 0.1 s of the last loud sample is the same click.
    std::vector<int16_t> samples(2 * 1000, 0);
    const auto add = [&](int frames, int16_t level) {
        for (int i = 0; i < frames; ++i) {
            samples.push_back(level);
            samples.push_back(level);
        }
    };
    add(100, 50);     // hum: the sound starts here
    add(10, 20000);   // click at 100 frames in
    add(2000, 50);    // too short a quiet
    add(10, -20000);  // the same click
    add(20030, 50);
    add(10, 20000);  // the next click, 22050 frames after the first
    std::vector<uint8_t> bytes(samples.size() * 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        bytes[2 * i] = static_cast<uint8_t>(samples[i] & 0xff);
        bytes[2 * i + 1] = static_cast<uint8_t>((samples[i] >> 8) & 0xff);
    }
    const std::vector<double> clicks = ClickTimes(bytes);
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_NEAR(clicks[0], 100 * kSample, 1e-6);
    EXPECT_NEAR(clicks[1], (100 + 10 + 2000 + 10 + 20030) * kSample, 1e-6);
}

}  // namespace
