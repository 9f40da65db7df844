// The video renderer's window on an offscreen QApplication: owned and not owned, shown by
// AutoShow, painting the frames (without the streaming thread waiting for this one), passing
// input to the message drain, and going away with its filter or its owner.
#include <chrono>
#include <memory>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include "platform/media/control.h"
#include "platform/media/evcode.h"
#include "platform/media/video/VideoWindowWidget.h"
#include "platform/ui/QtWindow.h"
#include "platform/ui/WindowMessages.h"
#include "platform/ui/WindowStyles.h"
#include "tests/platform/media/video/VideoTestSupport.h"

namespace {

using namespace std::chrono_literals;
using namespace video_test;

// A window handle for a plain widget, recording the messages it gets.
class RecordingQtWindow : public QtWindow {
public:
    explicit RecordingQtWindow(QWidget* widget) : QtWindow(widget) { Attach(nullptr, 0); }
    ~RecordingQtWindow() override { Detach(); }
    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override {
        messages.push_back({message, wparam, lparam});
        return 0;
    }
    OAHWND Oa() const { return reinterpret_cast<OAHWND>(Handle()); }

    struct Message {
        UINT message;
        WPARAM wparam;
        LPARAM lparam;
    };
    std::vector<Message> messages;
};

std::vector<VideoWindowWidget*> VideoWindows() {
    std::vector<VideoWindowWidget*> windows;
    for (QWidget* widget : QApplication::allWidgets()) {
        if (auto* window = dynamic_cast<VideoWindowWidget*>(widget)) windows.push_back(window);
    }
    return windows;
}

class VideoWindowTest : public VideoRendererFixture {
protected:
    void SetUp() override {
        VideoRendererFixture::SetUp();
        ASSERT_EQ(renderer.reference.As(&window), S_OK);
    }
    void TearDown() override {
        window = nullptr;
        VideoRendererFixture::TearDown();
        QApplication::processEvents();
    }
    VideoWindowWidget* OnlyVideoWindow() {
        const auto windows = VideoWindows();
        return windows.size() == 1 ? windows[0] : nullptr;
    }

    ComPtr<IVideoWindow> window;
};

TEST_F(VideoWindowTest, with_an_owner_it_is_a_child_placed_in_the_owner_client_area) {
    QWidget owner_widget;
    owner_widget.resize(400, 300);
    owner_widget.show();
    RecordingQtWindow owner(&owner_widget);
    ASSERT_EQ(Connect(Rgb32Type(32, 24)), S_OK);
    EXPECT_EQ(window->put_Owner(12345), E_INVALIDARG);  // no window
    ASSERT_EQ(window->put_Owner(owner.Oa()), S_OK);
    const long style = static_cast<long>(WS_CHILD) | 0x04000000 | 0x02000000;
    ASSERT_EQ(window->put_WindowStyle(style), S_OK);
    ASSERT_EQ(window->SetWindowPosition(10, 20, 160, 120), S_OK);
    ASSERT_EQ(window->put_Visible(OATRUE), S_OK);

    VideoWindowWidget* video = OnlyVideoWindow();
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->parentWidget(), &owner_widget);
    EXPECT_EQ(video->geometry(), QRect(10, 20, 160, 120));
    EXPECT_TRUE(video->isVisible());
    long value = 0;
    OAHWND owner_value = 0;
    EXPECT_EQ(window->get_WindowStyle(&value), S_OK);
    EXPECT_EQ(value, style);
    EXPECT_EQ(window->get_Owner(&owner_value), S_OK);
    EXPECT_EQ(owner_value, owner.Oa());
    ASSERT_EQ(window->put_Top(50), S_OK);
    EXPECT_EQ(video->geometry(), QRect(10, 50, 160, 120));

    ASSERT_EQ(window->put_Visible(OAFALSE), S_OK);
    EXPECT_FALSE(video->isVisible());
    EXPECT_EQ(window->get_Visible(&value), S_OK);
    EXPECT_EQ(value, OAFALSE);

    // Back to a window of its own.
    ASSERT_EQ(window->put_Owner(0), S_OK);
    EXPECT_EQ(video->parentWidget(), nullptr);
    EXPECT_TRUE(video->isWindow());
    EXPECT_EQ(OnlyVideoWindow(), video);
}

TEST_F(VideoWindowTest, without_an_owner_it_is_a_window_of_its_own_that_auto_show_shows) {
    ASSERT_EQ(Connect(Rgb32Type(32, 24)), S_OK);
    EXPECT_TRUE(VideoWindows().empty());  // made when first needed
    renderer->Pause();
    VideoWindowWidget* video = OnlyVideoWindow();
    ASSERT_NE(video, nullptr);
    EXPECT_TRUE(video->isWindow());
    EXPECT_TRUE(video->isVisible());
    EXPECT_EQ(video->size(), QSize(32, 24));  // the picture's size until placed
    EXPECT_EQ(video->windowTitle(), QString("Video Renderer"));

    BSTR caption = SysAllocString(u"Clip");
    EXPECT_EQ(window->put_Caption(caption), S_OK);
    SysFreeString(caption);
    EXPECT_EQ(video->windowTitle(), QString("Clip"));
    caption = nullptr;
    ASSERT_EQ(window->get_Caption(&caption), S_OK);
    EXPECT_EQ(std::u16string(caption), u"Clip");
    SysFreeString(caption);

    renderer->Stop();
    ASSERT_EQ(window->put_Visible(OAFALSE), S_OK);
    ASSERT_EQ(window->put_AutoShow(OAFALSE), S_OK);
    renderer->Pause();
    EXPECT_FALSE(video->isVisible());
    long state = -1;
    EXPECT_EQ(window->get_WindowState(&state), S_OK);
    EXPECT_EQ(state, 0);  // SW_HIDE
}

TEST_F(VideoWindowTest, paints_the_frames_scaled_without_the_stream_waiting_for_it) {
    ASSERT_EQ(Connect(Rgb32Type(4, 2), Frames(30, 4, 2)), S_OK);
    renderer->SetSyncSource(nullptr);  // as fast as the frames come
    ASSERT_EQ(window->SetWindowPosition(0, 0, 40, 20), S_OK);
    ASSERT_EQ(window->put_Visible(OATRUE), S_OK);
    VideoWindowWidget* video = OnlyVideoWindow();
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->grab().toImage().pixel(20, 10) & 0xFFFFFF, 0u);  // black before a frame

    // This thread runs no events meanwhile: the stream must not need it to go on.
    PauseBoth();
    RunBoth(0);
    ASSERT_TRUE((*source)->WaitUntilDone(5s));
    ASSERT_TRUE(recording->WaitFor(EC_COMPLETE, 1, 5s));
    QApplication::processEvents();
    const QImage shot = video->grab().toImage();
    EXPECT_EQ(shot.pixel(20, 10) & 0xFFFFFF, FrameGrey(29));  // the last frame
    EXPECT_EQ(shot.pixel(39, 19) & 0xFFFFFF, FrameGrey(29));
}

TEST_F(VideoWindowTest, mouse_and_key_input_goes_to_the_message_drain) {
    QWidget drain_widget;
    RecordingQtWindow drain(&drain_widget);
    ASSERT_EQ(Connect(Rgb32Type(32, 24)), S_OK);
    ASSERT_EQ(window->put_MessageDrain(drain.Oa()), S_OK);
    ASSERT_EQ(window->put_Visible(OATRUE), S_OK);
    VideoWindowWidget* video = OnlyVideoWindow();
    ASSERT_NE(video, nullptr);

    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 6), QPointF(5, 6), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
    QApplication::sendEvent(video, &press);
    QApplication::sendEvent(video, &key);
    ASSERT_TRUE(WaitUntil([&] {
        QApplication::processEvents();
        return drain.messages.size() >= 2;
    }));
    EXPECT_EQ(drain.messages[0].message, WM_LBUTTONDOWN);
    EXPECT_EQ(drain.messages[0].wparam, 1u);  // MK_LBUTTON
    EXPECT_EQ(drain.messages[0].lparam, MAKELPARAM(5, 6));
    EXPECT_EQ(drain.messages[1].message, WM_KEYDOWN);
    EXPECT_EQ(drain.messages[1].wparam, 0x20u);  // VK_SPACE
    EXPECT_EQ(window->NotifyOwnerMessage(drain.Oa(), WM_KEYDOWN, 0x20, 1), S_OK);
}

TEST_F(VideoWindowTest, the_window_goes_with_its_owner_and_frames_go_on) {
    auto owner_widget = std::make_unique<QWidget>();
    auto owner = std::make_unique<RecordingQtWindow>(owner_widget.get());
    ASSERT_EQ(Connect(Rgb32Type(4, 2), Frames(3, 4, 2)), S_OK);
    ASSERT_EQ(window->put_Owner(owner->Oa()), S_OK);
    ASSERT_NE(OnlyVideoWindow(), nullptr);
    owner.reset();
    owner_widget.reset();  // takes its child, the video window, along
    EXPECT_TRUE(VideoWindows().empty());

    renderer->SetSyncSource(nullptr);
    PauseBoth();
    RunBoth(0);
    ASSERT_TRUE(recording->WaitFor(EC_COMPLETE, 1, 5s));
    EXPECT_EQ(Log().size(), 3u);
    QApplication::processEvents();
    EXPECT_TRUE(VideoWindows().empty());  // AutoShow made no stray window in its place
    ASSERT_EQ(window->put_Owner(0), S_OK);
    EXPECT_EQ(VideoWindows().size(), 1u);  // until the application asks for one
}

TEST(VideoWindow, goes_with_its_filter) {
    NoObjectLeftBehind check;
    {
        Held<TestSourceFilter> source(Rgb32Type(4, 2));
        Held<VideoRendererFilter> renderer;
        ASSERT_EQ(source->OutputPin()->Connect(renderer->InputPin(), nullptr), S_OK);
        ComPtr<IVideoWindow> window;
        ASSERT_EQ(renderer.reference.As(&window), S_OK);
        ASSERT_EQ(window->put_Visible(OATRUE), S_OK);
        EXPECT_EQ(VideoWindows().size(), 1u);
        source->OutputPin()->Disconnect();
        renderer->InputPin()->Disconnect();
    }
    EXPECT_TRUE(VideoWindows().empty());
}

}  // namespace
