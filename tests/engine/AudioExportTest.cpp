#include "engine/AudioExport.h"

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <vector>

#include "tests/engine/StreamFixture.h"

namespace {

class AudioExportTest : public StreamFixture {
protected:
    // Runs an export of the fixture's source with `offset`, recording the progress sent.
    bool Export(const std::string& output, float offset = 0.0f) {
        percentages.clear();
        written_at.clear();
        AudioExport job({path, output, offset});
        const bool ok = job.Run([&](int p) {
            percentages.push_back(p);
            written_at.push_back(job.BytesWritten());
        });
        error = job.ErrorMessage();
        total_written = job.BytesWritten();
        return ok;
    }

    static uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
        return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
    }

    // The samples after the 46-byte header, once the header's sizes are checked against them.
    std::vector<uint8_t> DataChunk(const std::string& wav) {
        const std::vector<uint8_t> bytes = ReadFileBytes(wav);
        if (bytes.size() < 46) {
            ADD_FAILURE() << "no header";
            return {};
        }
        EXPECT_EQ(std::string(bytes.begin() + 38, bytes.begin() + 42), "data");
        EXPECT_EQ(Le32(bytes, 42), bytes.size() - 46) << "the data chunk's size field";
        EXPECT_EQ(Le32(bytes, 4), bytes.size() - 8) << "the RIFF size field";
        return std::vector<uint8_t>(bytes.begin() + 46, bytes.end());
    }

    void ExpectProgressRunsToOneHundredOnce() {
        ASSERT_FALSE(percentages.empty());
        EXPECT_EQ(percentages.back(), 100);
        for (size_t i = 0; i + 1 < percentages.size(); ++i) {
            EXPECT_LT(percentages[i], 100);
            if (i > 0) {
                EXPECT_GT(percentages[i], percentages[i - 1]);
            }
        }
    }

    std::vector<int> percentages;
    std::vector<uint64_t> written_at;  // bytes written when each percentage was sent
    uint64_t total_written = 0;
    std::string error;
};

TEST_F(AudioExportTest, without_events_the_data_chunk_is_the_stream_from_its_first_sample) {
    OpenSignal(3.0);
    const std::string out = dir.File("out.wav");
    ASSERT_TRUE(Export(out)) << error;
    EXPECT_EQ(DataChunk(out), Bare(0.0f));
    ExpectProgressRunsToOneHundredOnce();
}

TEST_F(AudioExportTest, the_silence_of_a_positive_offset_comes_first) {
    OpenSignal(1.0);
    const std::string out = dir.File("out.wav");
    ASSERT_TRUE(Export(out, 0.5f)) << error;
    std::vector<uint8_t> expected(88200, 0);
    const std::vector<uint8_t> audio = Bare(0.0f);
    expected.insert(expected.end(), audio.begin(), audio.end());
    EXPECT_EQ(DataChunk(out), expected);
}

TEST_F(AudioExportTest, progress_runs_evenly_to_99_whatever_the_stretch_then_100_once) {
    OpenSignal(30.0);
    for (float stretch : {-50.0f, 50.0f}) {
        delete head;
        head = nullptr;
        AddEvent(0.0f, stretch);
        ASSERT_TRUE(Export(dir.File("out.wav"))) << error;
        ExpectProgressRunsToOneHundredOnce();
        ASSERT_GE(percentages.size(), 3u);
        EXPECT_EQ(percentages.front(), 0);
        // Each percentage says how much of the output was written when it was sent, so none
        // stays long: 99 at half the output would be 49 off.
        ASSERT_GT(total_written, 0u);
        for (size_t i = 0; i + 1 < percentages.size(); ++i) {
            const auto share = static_cast<int>(written_at[i] * 100 / total_written);
            EXPECT_NEAR(percentages[i], share, 1) << "stretch " << stretch << " report " << i;
        }
        EXPECT_EQ(written_at.back(), total_written);
    }
}

TEST_F(AudioExportTest, the_playback_stream_stays_current_across_exports) {
    OpenSignal(1.0);
    ASSERT_EQ(CurrentStream(), &stream);
    ASSERT_TRUE(Export(dir.File("a.wav"))) << error;
    EXPECT_EQ(CurrentStream(), &stream);
    ASSERT_TRUE(Export(dir.File("b.wav"))) << error;
    EXPECT_EQ(CurrentStream(), &stream);
    EXPECT_EQ(ReadFileBytes(dir.File("a.wav")), ReadFileBytes(dir.File("b.wav")));
}

TEST_F(AudioExportTest, an_output_in_a_missing_folder_is_reported_and_nothing_is_written) {
    OpenSignal(0.5);
    const std::string out = dir.File("missing/out.wav");
    EXPECT_FALSE(Export(out));
    EXPECT_NE(error.find(out), std::string::npos) << error;
    EXPECT_EQ(percentages, std::vector<int>{100});
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "missing"));
}

TEST_F(AudioExportTest, an_unreadable_source_is_reported_and_the_old_output_survives) {
    OpenSignal(0.5);
    const std::string out = dir.File("out.wav");
    ASSERT_TRUE(Export(out));
    const std::vector<uint8_t> before = ReadFileBytes(out);
    path = dir.File("no-such.wav");
    EXPECT_FALSE(Export(out));
    EXPECT_NE(error.find("no-such.wav"), std::string::npos) << error;
    EXPECT_EQ(percentages, std::vector<int>{100});
    EXPECT_EQ(ReadFileBytes(out), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              2);  // the source and the old output, no temporary left behind
}

TEST_F(AudioExportTest, a_full_disk_is_reported_and_the_old_output_survives) {
    OpenSignal(5.0);
    const std::string out = dir.File("out.wav");
    WavFileBuilder().Samples({1, 2, 3, 4}).Write(out);
    const std::vector<uint8_t> before = ReadFileBytes(out);
    // A file size limit stands in for a full disk: writes past it fail with EFBIG.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = 200000;
    setrlimit(RLIMIT_FSIZE, &limited);
    const bool ok = Export(out);
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(ok);
    EXPECT_NE(error.find("Cannot write"), std::string::npos) << error;
    EXPECT_EQ(percentages.back(), 100);
    EXPECT_EQ(ReadFileBytes(out), before);
}

TEST_F(AudioExportTest, the_source_itself_is_never_overwritten) {
    OpenSignal(0.5);
    const std::vector<uint8_t> before = ReadFileBytes(path);
    EXPECT_FALSE(Export(path));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_FALSE(Export(""));
}

}  // namespace
