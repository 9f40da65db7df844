// The source filter and its stream against the locks the window relies on: the "too long" box
// shown with no lock held, and the current stream released only by its own end, with its lock.
#include <chrono>
#include <future>

#include "engine/StreamAdapter.h"
#include "platform/ui/MessageBox.h"
#include "tests/engine/filter/SourceFilterFixture.h"
#include "tests/support/RecordingUserPrompt.h"

namespace {

using namespace std::chrono_literals;

// While the box is up, another thread stops the filter and edits the current stream, as the
// window's event loop may; both must get through while the box waits.
class BlockingCheckPrompt : public RecordingUserPrompt {
public:
    explicit BlockingCheckPrompt(IBaseFilter* filter) : m_filter(filter) {}
    int ShowMessage(HWND owner, const std::string& text, const std::string& caption,
                    UINT type) override {
        auto other = std::async(std::launch::async, [this] {
            m_filter->Stop();
            StreamAdapter::EditCurrentStream([](StretchedWaveStream*) {});
        });
        m_other_thread_got_through = other.wait_for(5s) == std::future_status::ready;
        return RecordingUserPrompt::ShowMessage(owner, text, caption, type);
    }
    bool m_other_thread_got_through = false;

private:
    IBaseFilter* m_filter;
};

class SourceFilterLocksTest : public SourceFilterFixture {};

TEST_F(SourceFilterLocksTest, too_long_box_comes_after_the_filter_and_stream_locks_are_released) {
    MakeFilter();
    BlockingCheckPrompt prompt(filter.Get());
    const std::string path = dir.File("long.wav");
    WavFileBuilder().Samples({1, 2}).DeclaredDataSize(0x80000000u).Write(path);
    EXPECT_EQ(Load(path), VFW_E_INVALID_FILE_FORMAT);
    ASSERT_EQ(prompt.Messages().size(), 1u);
    EXPECT_EQ(prompt.Messages()[0].text, "Audio file is too long !");
    EXPECT_EQ(prompt.Messages()[0].caption, "Opening Error");
    EXPECT_EQ(prompt.Messages()[0].type & MB_ICONMASK, MB_ICONERROR);
    EXPECT_TRUE(prompt.m_other_thread_got_through) << "the box was shown under a lock";
}

TEST_F(SourceFilterLocksTest, removing_a_filter_whose_stream_is_not_current_keeps_the_current) {
    HRESULT hr = S_OK;
    ComPtr<IBaseFilter> earlier;
    CUnknown* made = TimeStretchSource::CreateInstance(nullptr, &hr);
    ASSERT_NE(made, nullptr);
    ASSERT_EQ(made->NonDelegatingQueryInterface(IID_IBaseFilter,
                                                reinterpret_cast<void**>(earlier.GetAddressOf())),
              S_OK);
    MakeFilter();  // the playing one, made last: its stream is current
    ASSERT_EQ(CurrentStream(), &source->Stream());
    earlier = nullptr;
    EXPECT_EQ(CurrentStream(), &source->Stream());
    bool locked = false;
    StreamAdapter::EditCurrentStream([&](StretchedWaveStream* stream) {
        locked = stream == &source->Stream() &&
                 source->Adapter().StreamLock()->IsLockedByCurrentThread();
    });
    EXPECT_TRUE(locked);
    ReleaseFilter();
    EXPECT_EQ(CurrentStream(), nullptr);
}

TEST_F(SourceFilterLocksTest, a_current_stream_stops_being_current_with_the_adapter_that_locks_it) {
    StretchedWaveStream stream;
    {
        StreamAdapter adapter(&stream);
        EXPECT_EQ(CurrentStream(), &stream);
    }
    EXPECT_EQ(CurrentStream(), nullptr) << "the stream would be edited without its lock";
    StretchedWaveStream later;
    {
        StreamAdapter stale(&stream);  // an adapter over a stream that is no longer current
    }
    EXPECT_EQ(CurrentStream(), &later);
}

}  // namespace
