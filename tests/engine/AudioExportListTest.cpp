// An export leaves the playback stream's map and the events it derives alone, even when its
// source or offset differ from the playing stream's.
#include <vector>

#include "engine/AudioExport.h"
#include "tests/engine/StreamFixture.h"

namespace {

struct Derived {
    float audio_pos;
    uint32_t virtual_pos;
    uint32_t real_pos;
    bool operator==(const Derived& o) const {
        return audio_pos == o.audio_pos && virtual_pos == o.virtual_pos && real_pos == o.real_pos;
    }
};

class AudioExportListTest : public StreamFixture {
protected:
    std::vector<Derived> Fields() const {
        std::vector<Derived> fields;
        for (const StretchEvent* e = head; e; e = e->m_next)
            fields.push_back({e->m_audio_pos, e->m_virtual_byte_pos, e->m_real_byte_pos});
        return fields;
    }
};

TEST_F(AudioExportListTest, an_export_of_another_wav_and_offset_keeps_the_playing_map) {
    OpenSignal(2.0);
    AddEvent(0.5f, 20.0f);
    AddEvent(1.0f, -30.0f);
    stream.SetOffset(0.25f);
    const std::vector<Derived> before = Fields();
    stream.Seek(StretchedWaveStream::kHeaderLength + 4000, true);
    std::vector<uint8_t> expected(20000);
    expected.resize(stream.Read(expected.data(), 20000));

    // A mono source at another rate, with a negative offset: every derived position differs.
    const std::string other = dir.File("other.wav");
    WavFileBuilder().Channels(1).Rate(22050).Samples(TestSignal(22050 * 3, 1, 22050)).Write(other);
    AudioExport job({other, dir.File("out.wav"), -0.7f});
    ASSERT_TRUE(job.Run(nullptr)) << job.ErrorMessage();

    EXPECT_TRUE(Fields() == before) << "the events' derived positions changed";
    stream.Seek(StretchedWaveStream::kHeaderLength + 4000, true);
    std::vector<uint8_t> after(20000);
    after.resize(stream.Read(after.data(), 20000));
    EXPECT_EQ(after, expected);
}

TEST_F(AudioExportListTest, the_export_renders_the_list_as_it_stood_when_it_was_made) {
    OpenSignal(1.0);
    AddEvent(0.2f, 40.0f);
    AudioExport first({path, dir.File("a.wav"), 0.0f});
    AudioExport reference({path, dir.File("b.wav"), 0.0f});
    ASSERT_TRUE(reference.Run(nullptr));
    AddEvent(0.4f, -40.0f);  // after the first was made: not in its copy
    ASSERT_TRUE(first.Run(nullptr));
    EXPECT_EQ(ReadFileBytes(dir.File("a.wav")), ReadFileBytes(dir.File("b.wav")));
}

}  // namespace
