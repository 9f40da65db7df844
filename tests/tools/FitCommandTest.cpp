#include "tools/fit/FitCommand.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/ProjectFile.h"
#include "tests/engine/fit/DubScenario.h"
#include "tests/engine/fit/ScenarioMovie.h"
#include "tests/support/TempDir.h"
#include "tests/tools/RunCommand.h"

namespace {

class FitCommandTest : public ::testing::Test {
protected:
    // An AVI of the scenario's movie sound (mono PCM), and its dub WAV.
    void MakeFiles(DubScenario& scenario) {
        std::string error;
        ASSERT_TRUE(MakeScenarioFiles(scenario, dir.Path().string(), &movie, &wav, &error))
            << error;
    }

    int Run(const std::vector<std::string>& args) {
        return RunCommand("tkv-fit", RunFitCommand, args, &stdout_text, &stderr_text);
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
