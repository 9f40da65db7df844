#include "app/TrackingSlider.h"

#include <string>
#include <vector>

#include <QSlider>

#include <gtest/gtest.h>

#include "platform/ui/WindowFunctions.h"
#include "tests/platform/ui/InputEvents.h"
#include "tests/platform/ui/ModalDriver.h"
#include "tests/platform/ui/ScriptedDialog.h"

namespace {

// The main window's position slider, recording the order in which its button messages came.
class TrackingSliderProbe : public TrackingSlider {
public:
    std::vector<std::string> buttons;

protected:
    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override {
        buttons.push_back(message == WM_LBUTTONDOWN ? "down" : "up");
        return TrackingSlider::WindowProc(message, wparam, lparam);
    }
};

struct Scroll {
    WORD code;
    int position;   // the slider's, when the dialog was told
    bool tracking;  // the flag then
    bool operator==(const Scroll&) const = default;
};

// A dialog that records every WM_HSCROLL from its slider.
struct SliderDialog {
    SliderDialog() : dialog(CommonControlsTemplate()) {
        dialog.on_message = [this](UINT message, WPARAM wparam,
                                   LPARAM lparam) -> std::optional<LRESULT> {
            if (message != WM_HSCROLL) return std::nullopt;
            EXPECT_EQ(reinterpret_cast<HWND>(lparam), slider.GetSafeHwnd());
            const WORD code = LOWORD(wparam);
            if (code == TB_THUMBTRACK || code == TB_THUMBPOSITION) {
                EXPECT_EQ(static_cast<int16_t>(HIWORD(wparam)), slider.GetPos());
            }
            scrolls.push_back({code, slider.GetPos(), slider.m_tracking});
            return 0;
        };
    }
    QSlider* Widget() { return static_cast<QSlider*>(WidgetOf(slider.GetSafeHwnd())); }

    ScriptedDialog dialog;
    TrackingSliderProbe slider;
    std::vector<Scroll> scrolls;
};

TEST(TrackingSliderTest, messages_set_range_position_and_sizes_and_report_nothing) {
    SliderDialog test;
    test.dialog.on_init = [&] {
        ASSERT_TRUE(test.slider.SubclassDlgItem(kSlider, test.dialog.GetSafeHwnd()));
        EXPECT_EQ(test.slider.GetRangeMin(), 0);
        EXPECT_EQ(test.slider.GetRangeMax(), 100);
        EXPECT_EQ(test.slider.GetPageSize(), 20);
        EXPECT_EQ(test.slider.GetLineSize(), 1);
        // TBM_SETRANGE carries two signed 16-bit ends.
        SendMessageA(test.slider.GetSafeHwnd(), TBM_SETRANGE, TRUE,
                     MAKELPARAM(static_cast<WORD>(-10), 10));
        EXPECT_EQ(test.slider.GetRangeMin(), -10);
        EXPECT_EQ(test.slider.GetRangeMax(), 10);
        // The event stretch slider's set-up: wider than 16 bits, set without redrawing.
        test.slider.SetRange(-50000, 50000);
        test.slider.SetPos(50000);
        test.slider.SetPos(0);
        EXPECT_EQ(test.slider.SetPageSize(10), 20);
        int low = 0;
        int high = 0;
        test.slider.GetRange(low, high);
        EXPECT_EQ(low, -50000);
        EXPECT_EQ(high, 50000);
        test.slider.SetPos(-60000);
        EXPECT_EQ(test.slider.GetPos(), -50000);
        QSlider* widget = test.Widget();
        EXPECT_EQ(widget->minimum(), -50000);
        EXPECT_EQ(widget->maximum(), 50000);
        EXPECT_EQ(widget->value(), -50000);
        EXPECT_EQ(widget->pageStep(), 10);
        EXPECT_EQ(test.slider.SetLineSize(5), 1);
        EXPECT_EQ(widget->singleStep(), 5);
        // A new range pulls the position inside it.
        test.slider.SetRange(0, 120, TRUE);
        EXPECT_EQ(test.slider.GetPos(), 0);
        test.dialog.EndDialog(IDOK);
    };
    ASSERT_EQ(test.dialog.DoModal(), IDOK);
    EXPECT_TRUE(test.scrolls.empty());
    EXPECT_TRUE(test.slider.buttons.empty());
}

struct KeyMove {
    const char* name;
    Qt::Key key;
    int start;
    int end;
    std::vector<WORD> codes;  // reported by the press and the release
};

class TrackingSliderKeyTest : public testing::TestWithParam<KeyMove> {};

TEST_P(TrackingSliderKeyTest,
       each_key_moves_reports_its_code_and_ends_on_release_without_tracking) {
    const KeyMove& move = GetParam();
    SliderDialog test;
    test.dialog.on_init = [&] {
        ASSERT_TRUE(test.slider.SubclassDlgItem(kSlider, test.dialog.GetSafeHwnd()));
        test.slider.SetRange(0, 30);
        test.slider.SetPageSize(4);
        test.slider.SetPos(move.start);
        TapKey(test.Widget(), move.key);
        EXPECT_EQ(test.slider.GetPos(), move.end);
        test.dialog.EndDialog(IDOK);
    };
    ASSERT_EQ(test.dialog.DoModal(), IDOK);
    std::vector<Scroll> expected;
    for (const WORD code : move.codes)
        expected.push_back({code, move.end, false});
    EXPECT_EQ(test.scrolls, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TrackingSliderKeyTest,
    testing::Values(KeyMove{"right", Qt::Key_Right, 10, 11, {TB_LINEDOWN, TB_ENDTRACK}},
                    KeyMove{"down", Qt::Key_Down, 10, 11, {TB_LINEDOWN, TB_ENDTRACK}},
                    KeyMove{"left", Qt::Key_Left, 10, 9, {TB_LINEUP, TB_ENDTRACK}},
                    KeyMove{"page_down", Qt::Key_PageDown, 10, 14, {TB_PAGEDOWN, TB_ENDTRACK}},
                    KeyMove{"page_up_near_start", Qt::Key_PageUp, 2, 0, {TB_PAGEUP, TB_ENDTRACK}},
                    KeyMove{"home", Qt::Key_Home, 10, 0, {TB_TOP, TB_ENDTRACK}},
                    KeyMove{"end", Qt::Key_End, 10, 30, {TB_BOTTOM, TB_ENDTRACK}},
                    KeyMove{"right_at_the_end", Qt::Key_Right, 30, 30, {TB_ENDTRACK}}),
    [](const testing::TestParamInfo<KeyMove>& param) { return std::string(param.param.name); });

TEST(TrackingSliderTest, dragging_the_thumb_previews_and_the_release_reports_the_end_untracked) {
    ModalWatchdog watchdog;
    SliderDialog test;
    test.dialog.on_init = [&] {
        ASSERT_TRUE(test.slider.SubclassDlgItem(kSlider, test.dialog.GetSafeHwnd()));
        test.slider.SetRange(0, 40);
        test.slider.SetPageSize(4);
        test.slider.SetPos(10);
    };
    WhenModal([&](QWidget*) {
        QSlider* widget = test.Widget();
        SendMouse(widget, QEvent::MouseButtonPress, SliderPoint(widget, 10));
        for (const int value : {12, 15, 15, 20})
            SendMouse(widget, QEvent::MouseMove, SliderPoint(widget, value));
        // Released well below the slider: still the slider's release.
        SendMouse(widget, QEvent::MouseButtonRelease, SliderPoint(widget, 20) + QPoint(0, 200));
        test.dialog.EndDialog(IDOK);
    });
    ASSERT_EQ(test.dialog.DoModal(), IDOK);
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(test.slider.buttons, (std::vector<std::string>{"down", "up"}));
    EXPECT_FALSE(test.slider.m_tracking);
    const std::vector<Scroll> expected = {
        {TB_THUMBTRACK, 12, true},     {TB_THUMBTRACK, 15, true}, {TB_THUMBTRACK, 20, true},
        {TB_THUMBPOSITION, 20, false}, {TB_ENDTRACK, 20, false},
    };
    EXPECT_EQ(test.scrolls, expected);
}

TEST(TrackingSliderTest, a_press_in_the_channel_pages_toward_it_and_the_release_ends_untracked) {
    ModalWatchdog watchdog;
    SliderDialog test;
    test.dialog.on_init = [&] {
        ASSERT_TRUE(test.slider.SubclassDlgItem(kSlider, test.dialog.GetSafeHwnd()));
        test.slider.SetRange(0, 100);
        test.slider.SetPageSize(4);
        test.slider.SetPos(50);
    };
    WhenModal([&](QWidget*) {
        QSlider* widget = test.Widget();
        const QPoint right = SliderPoint(widget, 90);
        SendMouse(widget, QEvent::MouseButtonPress, right);
        SendMouse(widget, QEvent::MouseButtonRelease, right);
        const QPoint left = SliderPoint(widget, 5);
        SendMouse(widget, QEvent::MouseButtonPress, left);
        SendMouse(widget, QEvent::MouseButtonRelease, left);
        test.dialog.EndDialog(IDOK);
    });
    ASSERT_EQ(test.dialog.DoModal(), IDOK);
    EXPECT_FALSE(watchdog.Fired());
    // The page is previewed while held; the release reports the end with the flag cleared,
    // which is when the main window seeks.
    const std::vector<Scroll> expected = {
        {TB_PAGEDOWN, 54, true},
        {TB_ENDTRACK, 54, false},
        {TB_PAGEUP, 50, true},
        {TB_ENDTRACK, 50, false},
    };
    EXPECT_EQ(test.scrolls, expected);
}

TEST(TrackingSliderTest, holding_the_button_in_the_channel_pages_until_the_thumb_reaches_it) {
    ModalWatchdog watchdog;
    SliderDialog test;
    test.dialog.on_init = [&] {
        ASSERT_TRUE(test.slider.SubclassDlgItem(kSlider, test.dialog.GetSafeHwnd()));
        test.slider.SetRange(0, 100);
        test.slider.SetPageSize(10);
        test.slider.SetPos(0);
    };
    WhenModal([&](QWidget*) {
        QSlider* widget = test.Widget();
        const QPoint held = SliderPoint(widget, 35);
        SendMouse(widget, QEvent::MouseButtonPress, held);
        // Released once the repeats have had time to bring the thumb to the point.
        auto* release = new QTimer;
        release->setSingleShot(true);
        QObject::connect(release, &QTimer::timeout, [&, widget, held, release] {
            SendMouse(widget, QEvent::MouseButtonRelease, held);
            release->deleteLater();
            test.dialog.EndDialog(IDOK);
        });
        release->start(1200);
    });
    ASSERT_EQ(test.dialog.DoModal(), IDOK);
    EXPECT_FALSE(watchdog.Fired());
    std::vector<int> pages;
    for (const Scroll& scroll : test.scrolls) {
        if (scroll.code == TB_PAGEDOWN) pages.push_back(scroll.position);
    }
    // The thumb at 30 covers the point of 35 (or 40 does, with a wider thumb): no page beyond.
    ASSERT_GE(pages.size(), 3u);
    EXPECT_EQ(pages[0], 10);
    EXPECT_LE(pages.back(), 40);
    ASSERT_FALSE(test.scrolls.empty());
    EXPECT_EQ(test.scrolls.back().code, TB_ENDTRACK);
}

}  // namespace
