// The stream adapter over a real stretched stream: what positioning and reading serve, where
// the samples start after a header read that ends at byte 44, the end of the stretched audio,
// the length, and edits of the current stream under the reading lock.
#include "engine/StreamAdapter.h"

#include <chrono>
#include <cstring>
#include <future>
#include <limits>

#include "tests/engine/filter/SourceFilterFixture.h"

namespace {

using namespace std::chrono_literals;

class StreamAdapterTest : public SourceFilterFixture {
protected:
    void Open(double seconds) {
        m_path = MakeWav(seconds);
        ASSERT_TRUE(m_stream.Open(m_path.c_str()));
        m_adapter.Init(kHeader + LONGLONG{data_size});
    }

    // Positions and reads as the queue does; the bytes read.
    std::vector<uint8_t> ReadAt(LONGLONG position, DWORD count, HRESULT* result = nullptr) {
        std::vector<uint8_t> bytes(count);
        m_adapter.Lock();
        EXPECT_EQ(m_adapter.SetPointer(position), S_OK);
        DWORD read = 0;
        const HRESULT hr = m_adapter.Read(bytes.data(), count, TRUE, &read);
        m_adapter.Unlock();
        if (result) *result = hr;
        bytes.resize(read);
        return bytes;
    }

    // The parser's way in: the header chunk by chunk, then the samples in pieces.
    std::vector<uint8_t> ReadLikeTheParser(DWORD piece, uint32_t data_bytes) {
        for (const auto& [at, count] : {std::pair{0, 12}, {12, 8}, {20, 16}, {36, 8}}) {
            EXPECT_EQ(ReadAt(at, static_cast<DWORD>(count)).size(), static_cast<size_t>(count));
        }
        std::vector<uint8_t> samples;
        for (uint32_t at = kHeader; at < kHeader + data_bytes; at += piece) {
            const std::vector<uint8_t> got = ReadAt(at, piece);
            samples.insert(samples.end(), got.begin(), got.end());
            if (got.size() < piece) break;
        }
        return samples;
    }

    std::string m_path;
    StretchedWaveStream m_stream{StretchedWaveStream::Role::Current};
    StreamAdapter m_adapter{&m_stream};
};

TEST_F(StreamAdapterTest, reading_from_0_serves_the_header_then_the_rendered_samples) {
    Open(1.0);
    const std::vector<uint8_t> header = ReadAt(0, kHeader);
    ASSERT_EQ(header.size(), kHeader);
    EXPECT_EQ(std::memcmp(header.data(), "RIFF", 4), 0);
    EXPECT_EQ(std::memcmp(header.data() + 36, "data", 4), 0);
    // Consecutive pieces keep the processor running: the same bytes as one long read.
    const std::vector<uint8_t> expected = Rendered(m_path, 0.0f);
    std::vector<uint8_t> samples;
    for (LONGLONG at = kHeader;; at += 1000) {
        const std::vector<uint8_t> got = ReadAt(at, 1000);
        samples.insert(samples.end(), got.begin(), got.end());
        if (got.size() < 1000) break;
    }
    EXPECT_EQ(samples, expected);
    EXPECT_EQ(m_adapter.Position(), kHeader + static_cast<LONGLONG>(samples.size()));
}

TEST_F(StreamAdapterTest, a_header_read_that_ends_at_byte_44_does_not_shift_the_samples) {
    Open(1.0);
    m_stream.SetOffset(-0.25f);  // the header's bytes map 8 bytes before the first sample's
    const std::vector<uint8_t> expected = Rendered(m_path, -0.25f);
    EXPECT_EQ(ReadLikeTheParser(2000, data_size), expected);
}

TEST_F(StreamAdapterTest, a_read_past_the_end_of_the_stretched_audio_says_the_stream_ran_out) {
    Open(0.5);
    AddEvent(0.0f, 100.0f);  // twice as fast: the audio ends near half the declared size
    m_stream.SetOffset(0.0f);
    HRESULT hr = E_UNEXPECTED;
    const std::vector<uint8_t> got = ReadAt(kHeader, data_size, &hr);
    EXPECT_EQ(hr, S_FALSE);
    EXPECT_LT(got.size(), data_size * 3 / 4);
    EXPECT_EQ(got, Rendered(m_path, 0.0f));
    EXPECT_TRUE(ReadAt(kHeader + data_size, 100, &hr).empty());
    EXPECT_EQ(hr, S_FALSE);
}

TEST_F(StreamAdapterTest, the_size_is_the_length_given_and_nothing_counts_as_available) {
    Open(0.5);
    LONGLONG available = -1;
    EXPECT_EQ(m_adapter.Size(&available), kHeader + LONGLONG{data_size});
    EXPECT_EQ(available, 0);
    EXPECT_EQ(m_adapter.Alignment(), 1u);
    m_adapter.Init(-5);
    EXPECT_EQ(m_adapter.Size(nullptr), 0);
}

TEST_F(StreamAdapterTest, positions_the_virtual_file_cannot_hold_are_refused) {
    Open(0.5);
    m_adapter.Lock();
    EXPECT_EQ(m_adapter.SetPointer(-1), S_FALSE);
    EXPECT_EQ(m_adapter.SetPointer(LONGLONG{std::numeric_limits<uint32_t>::max()} + 1), S_FALSE);
    m_adapter.Unlock();
}

TEST_F(StreamAdapterTest, an_edit_gets_the_current_stream_under_the_lock_it_is_read_under) {
    Open(0.5);
    StretchedWaveStream private_stream(StretchedWaveStream::Role::Private);
    StreamAdapter other(&private_stream);
    bool ran = false;
    StreamAdapter::EditCurrentStream([&](StretchedWaveStream* current) {
        ran = true;
        EXPECT_EQ(current, &m_stream);
        EXPECT_TRUE(m_adapter.StreamLock()->IsLockedByCurrentThread());
        EXPECT_FALSE(other.StreamLock()->IsLockedByCurrentThread());
    });
    EXPECT_TRUE(ran);
    EXPECT_FALSE(m_adapter.StreamLock()->IsLockedByCurrentThread());
}

TEST_F(StreamAdapterTest, a_read_from_another_thread_waits_for_the_edit_and_sees_its_map) {
    Open(1.0);
    std::future<std::vector<uint8_t>> read;
    StreamAdapter::EditCurrentStream([&](StretchedWaveStream* current) {
        ASSERT_NE(current, nullptr);
        read = std::async(std::launch::async, [&] { return ReadAt(kHeader, 4000); });
        EXPECT_EQ(read.wait_for(50ms), std::future_status::timeout) << "read during the edit";
        AddEvent(0.0f, 50.0f);
        current->SetOffset(0.1f);
    });
    ASSERT_EQ(read.wait_for(10s), std::future_status::ready);
    const std::vector<uint8_t> expected = Rendered(m_path, 0.1f);
    EXPECT_EQ(read.get(), std::vector<uint8_t>(expected.begin(), expected.begin() + 4000));
}

TEST(StreamAdapterWithoutStream, an_edit_with_no_current_stream_gets_none_and_still_runs) {
    ASSERT_EQ(CurrentStream(), nullptr);
    bool ran = false;
    StreamAdapter::EditCurrentStream([&](StretchedWaveStream* current) {
        ran = true;
        EXPECT_EQ(current, nullptr);
    });
    EXPECT_TRUE(ran);
    StreamAdapter::EditCurrentStream(nullptr);  // nothing to run: no effect
}

}  // namespace
