// Replacing a file through a temporary one: a symbolic link at the target stays a link to the
// replaced file, and a read-only target is refused, the export saying why.
#include "engine/TemporaryOutputFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "engine/AudioExport.h"
#include "tests/engine/StreamFixture.h"

namespace {

namespace fs = std::filesystem;

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

bool Replace(const std::string& target, const std::string& text, int* error) {
    TemporaryOutputFile file(target);
    if (!file.Reserve()) {
        *error = file.Error();
        return false;
    }
    WriteText(file.Path(), text);
    const bool ok = file.Commit();
    *error = file.Error();
    return ok;
}

class TemporaryOutputFileTest : public StreamFixture {};

TEST_F(TemporaryOutputFileTest, a_link_at_the_target_stays_a_link_to_the_new_file) {
    fs::create_directory(dir.Path() / "real");
    const std::string real = dir.File("real/project.tkv");
    WriteText(real, "old");
    // A relative link, and a link to that link.
    fs::create_symlink("real/project.tkv", dir.Path() / "link.tkv");
    fs::create_symlink(dir.File("link.tkv"), dir.Path() / "link2.tkv");
    int error = 0;
    for (const char* name : {"link.tkv", "link2.tkv"}) {
        ASSERT_TRUE(Replace(dir.File(name), name, &error)) << error;
        EXPECT_TRUE(fs::is_symlink(dir.Path() / name)) << name;
        EXPECT_EQ(ReadText(real), name);
    }
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "link.tkv"));
    // A dangling link makes the file it names.
    fs::create_symlink("made.tkv", dir.Path() / "dangling.tkv");
    ASSERT_TRUE(Replace(dir.File("dangling.tkv"), "new", &error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "dangling.tkv"));
    EXPECT_EQ(ReadText(dir.File("made.tkv")), "new");
}

TEST_F(TemporaryOutputFileTest, a_read_only_target_is_refused_and_left_alone) {
    const std::string target = dir.File("locked.tkv");
    WriteText(target, "keep");
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    int error = 0;
    EXPECT_FALSE(Replace(target, "lost", &error));
    EXPECT_EQ(error, EACCES);
    EXPECT_EQ(ReadText(target), "keep");
    fs::create_symlink("locked.tkv", dir.Path() / "to-locked.tkv");
    EXPECT_FALSE(Replace(dir.File("to-locked.tkv"), "lost", &error));
    EXPECT_EQ(ReadText(target), "keep");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2);
}

TEST_F(TemporaryOutputFileTest, an_export_writes_through_a_link_and_says_why_it_refuses) {
    OpenSignal(0.5);
    const std::string real = dir.File("real.wav");
    WriteText(real, "old");
    fs::create_symlink("real.wav", dir.Path() / "out.wav");
    AudioExport job({path, dir.File("out.wav"), 0.0f});
    ASSERT_TRUE(job.Run(nullptr)) << job.ErrorMessage();
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "out.wav"));
    EXPECT_GT(fs::file_size(real), 40000u);

    ASSERT_EQ(::chmod(real.c_str(), 0444), 0);
    const uintmax_t size = fs::file_size(real);
    EXPECT_FALSE(job.Run(nullptr));
    EXPECT_EQ(job.ErrorMessage(),
              "Cannot create the output file \"" + dir.File("out.wav") + "\": Permission denied");
    EXPECT_EQ(fs::file_size(real), size);
}

}  // namespace
