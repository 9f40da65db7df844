// The fit from the files: the movie's sound through the media framework's graph, the WAV
// through the engine's reader.
#include "engine/fit/SoundFitJob.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/engine/fit/DubScenario.h"
#include "tests/engine/fit/ScenarioMovie.h"
#include "tests/support/MovieFileMaker.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavFileBuilder.h"

namespace {

class SoundFitJobTest : public ::testing::Test {
protected:
    // Runs the job, recording the percentages.
    FitResult Run(const std::string& movie, const std::string& wav,
                  const std::atomic<bool>* cancel = nullptr) {
        percentages.clear();
        return SoundFitJob::Run(movie, wav, {[this](int p) { percentages.push_back(p); }, cancel});
    }

    void ExpectOneHundredOnceAtTheEnd() {
        ASSERT_FALSE(percentages.empty());
        EXPECT_EQ(percentages.back(), 100);
        EXPECT_EQ(std::count(percentages.begin(), percentages.end(), 100), 1);
        EXPECT_TRUE(std::is_sorted(percentages.begin(), percentages.end()));
    }

    // An AVI of the scenario's movie sound, as 16-bit stereo PCM.
    std::string MakeMovie(const DubScenario& scenario, const std::string& name) {
        std::string error;
        EXPECT_TRUE(MakeScenarioMovie(scenario, dir.File(name), 2, &error)) << error;
        return dir.File(name);
    }

    TempDir dir;
    std::vector<int> percentages;
};

TEST_F(SoundFitJobTest, fits_a_48_khz_stereo_movie_to_its_dub) {
    DubScenario scenario;
    scenario.rate = 48000;
    scenario.offset = 1.3;
    scenario.events = {{20.0, -2.0}};
    std::string error;
    ASSERT_TRUE(scenario.Make(dir.Path().string(), &error)) << error;
    const FitResult result = Run(MakeMovie(scenario, "movie.avi"), scenario.dub_path);
    ASSERT_TRUE(result.Fitted()) << result.reason;
    EXPECT_GE(scenario.ShareWithin(result, 0.020), 0.95);
    EXPECT_NEAR(result.movie_duration, 60.0, 0.1);
    ExpectOneHundredOnceAtTheEnd();
}

TEST_F(SoundFitJobTest, names_the_file_that_cannot_be_used_and_why) {
    const std::string text = dir.File("notes.txt");
    std::ofstream(text) << "not a movie\n";
    MovieRecipe silent = MovieRecipe::Avi();
    silent.audio = AV_CODEC_ID_NONE;
    std::string error;
    const std::string pictures = dir.File("pictures.avi");
    ASSERT_TRUE(MovieFileMaker::Make(pictures, silent, &error)) << error;
    MovieRecipe sounding = MovieRecipe::Avi();
    const std::string movie = dir.File("movie.avi");
    ASSERT_TRUE(MovieFileMaker::Make(movie, sounding, &error)) << error;
    const std::string eight_bit = dir.File("eight.wav");
    WavFileBuilder().Channels(1).Bits(8).RawData(std::vector<uint8_t>(8000, 128)).Write(eight_bit);

    struct Case {
        std::string movie;
        std::string wav;
        std::string reason;
    };
    const std::vector<Case> cases{
        {text, eight_bit, "cannot read the movie \"" + text + "\": it is not a movie"},
        {dir.File("missing.avi"), eight_bit,
         "cannot read the movie \"" + dir.File("missing.avi") + "\": the file cannot be opened"},
        {pictures, eight_bit, "cannot read the movie \"" + pictures + "\": it has no sound track"},
        {movie, eight_bit,
         "cannot read the audio file \"" + eight_bit +
             "\": only 16-bit PCM with 1 to 8 channels can be stretched"},
        {movie, text,
         "cannot read the audio file \"" + text + "\": it is not a WAV file, or it is damaged"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        const FitResult result = Run(c.movie, c.wav);
        EXPECT_EQ(result.outcome, FitOutcome::Unreadable);
        EXPECT_EQ(result.reason.rfind(c.reason, 0), 0u) << result.reason;
        ExpectOneHundredOnceAtTheEnd();
    }
}

TEST_F(SoundFitJobTest, a_raised_cancel_flag_stops_it_and_still_ends_at_100) {
    MovieRecipe recipe = MovieRecipe::Avi();
    recipe.frames = 25 * 120;
    std::string error;
    const std::string movie = dir.File("long.avi");
    ASSERT_TRUE(MovieFileMaker::Make(movie, recipe, &error)) << error;
    std::atomic<bool> cancel{true};
    const FitResult result = Run(movie, movie, &cancel);
    EXPECT_EQ(result.outcome, FitOutcome::Cancelled);
    ExpectOneHundredOnceAtTheEnd();
}

}  // namespace
