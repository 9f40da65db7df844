#include "tools/fit/FitCommand.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/ProjectFile.h"
#include "tests/engine/fit/DubScenario.h"
#include "tests/support/MovieFileMaker.h"
#include "tests/support/TempDir.h"

namespace {

class FitCommandTest : public ::testing::Test {
protected:
    // A movie file (MPEG-1 with MP2 sound) of the scenario's movie sound, and its dub WAV.
    void MakeFiles(DubScenario& scenario) {
        std::string error;
        ASSERT_TRUE(scenario.Make(dir.Path().string(), &error)) << error;
        MovieRecipe recipe = MovieRecipe::Avi();
        recipe.sample_rate = static_cast<int>(scenario.rate);
        recipe.channels = 1;
        recipe.frames = static_cast<int>(scenario.seconds * recipe.rate_num / recipe.rate_den);
        const std::vector<float>& sound = scenario.movie;
        recipe.sound = [&sound](int64_t n) {
            return n < static_cast<int64_t>(sound.size()) ? sound[static_cast<size_t>(n)] : 0.0f;
        };
        movie = dir.File("movie.avi");
        ASSERT_TRUE(MovieFileMaker::Make(movie, recipe, &error)) << error;
        wav = scenario.dub_path;
    }

    int Run(const std::vector<std::string>& args) {
        std::vector<std::string> words{"tkv-fit"};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : words)
            argv.push_back(a.data());
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        const int status = RunFitCommand(static_cast<int>(argv.size()), argv.data(), out, err);
        stdout_text = Contents(out);
        stderr_text = Contents(err);
        return status;
    }

    static std::string Contents(std::FILE* f) {
        std::rewind(f);
        std::string text;
        char buffer[4096];
        size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            text.append(buffer, got);
        std::fclose(f);
        return text;
    }

    TempDir dir;
    std::string movie;
    std::string wav;
    std::string stdout_text;
    std::string stderr_text;
};

TEST_F(FitCommandTest, writes_a_project_that_plays_the_dub_in_step) {
    DubScenario scenario;
    scenario.offset = -0.75;
    scenario.events = {{0.0, (25.0 / 23.976 - 1.0) * 100.0}};
    MakeFiles(scenario);
    const std::string project_path = dir.File("fitted.tkv");
    ASSERT_EQ(Run({movie, wav, "-o", project_path}), kFitOk) << stderr_text;
    EXPECT_EQ(stderr_text, "");  // no terminal: no progress bar
    EXPECT_NE(stdout_text.find("Initial offset: 0.7"), std::string::npos) << stdout_text;
    EXPECT_NE(stdout_text.find("Events: 1\n"), std::string::npos) << stdout_text;
    EXPECT_NE(stdout_text.find("Project written: " + project_path), std::string::npos);

    ProjectFile project;
    ASSERT_TRUE(project.Load(project_path));
    EXPECT_EQ(project.m_video_path, std::filesystem::absolute(movie).string());
    EXPECT_EQ(project.m_audio_path, std::filesystem::absolute(wav).string());
    EXPECT_EQ(project.m_output_path, "");
    // The project as the application reads it plays the dub in step.
    FitResult loaded;
    loaded.offset = project.m_initial_offset;
    for (const ProjectFile::Event& e : project.m_events)
        loaded.events.push_back({e.movie_pos, e.tempo});
    EXPECT_GE(scenario.ShareWithin(loaded, 0.020), 0.95);
}

TEST_F(FitCommandTest, refuses_sounds_that_share_nothing_and_writes_nothing) {
    DubScenario scenario;
    scenario.unrelated = true;
    MakeFiles(scenario);
    EXPECT_EQ(Run({movie, wav}), kFitFailed);
    EXPECT_EQ(stdout_text, "");
    EXPECT_EQ(std::count(stderr_text.begin(), stderr_text.end(), '\n'), 1) << stderr_text;
    EXPECT_EQ(
        stderr_text.rfind(
            "tkv-fit: " + movie + " and " + wav + ": the two sounds share nothing recognisable", 0),
        0u)
        << stderr_text;
    EXPECT_NE(stderr_text.find("nothing written"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.File("dub.tkv")));
}

TEST_F(FitCommandTest, a_file_it_cannot_use_or_a_project_in_the_way_is_one_line) {
    const std::string missing = dir.File("missing.avi");
    const std::string wav_path = dir.File("dub.wav");
    EXPECT_EQ(Run({missing, wav_path}), kFitFailed);
    EXPECT_EQ(stderr_text,
              "tkv-fit: cannot read the movie \"" + missing + "\": the file cannot be opened\n");
    // The project goes next to the WAV by default, and an existing one stays as it was.
    std::ofstream(dir.File("dub.tkv")) << "mine\n";
    EXPECT_EQ(Run({missing, wav_path}), kFitFailed);
    EXPECT_EQ(stderr_text, "tkv-fit: " + dir.File("dub.tkv") +
                               " exists already; give another with -o, or --force\n");
    std::ifstream kept(dir.File("dub.tkv"));
    std::string line;
    std::getline(kept, line);
    EXPECT_EQ(line, "mine");
}

TEST_F(FitCommandTest, usage_errors_exit_2_and_help_exits_0) {
    const std::vector<std::vector<std::string>> wrong{
        {}, {"movie.avi"}, {"a", "b", "c"}, {"a", "b", "--bogus"}, {"a", "b", "-o"}};
    for (const auto& args : wrong) {
        EXPECT_EQ(Run(args), kFitUsageError);
        EXPECT_NE(stderr_text.find("(see tkv-fit --help)"), std::string::npos) << stderr_text;
    }
    EXPECT_EQ(Run({"--help"}), kFitOk);
    EXPECT_EQ(stdout_text.rfind("Usage: tkv-fit MOVIE WAV [-o PROJECT.tkv] [--force]\n", 0), 0u);
}

}  // namespace
