#include "platform/media/olectl.h"

#include <functional>
#include <thread>
#include <vector>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>

#include <gtest/gtest.h>

#include "platform/ui/QtWindow.h"
#include "tests/platform/media/proppage/PropPageTest.h"
#include "tests/platform/ui/ModalDriver.h"

namespace {

constexpr CLSID kNoSuchPage = MakeGuid("5A7E0C11-0000-4000-8000-00000000F00D");

QPushButton* Button(QWidget* frame, const QString& text) {
    for (QPushButton* button : frame->findChildren<QPushButton*>()) {
        if (button->text() == text) return button;
    }
    ADD_FAILURE() << "no button " << text.toStdString();
    return nullptr;
}

QSlider* Slider(QWidget* frame, const char* name) {
    auto* slider = frame->findChild<QSlider*>(QString::fromLatin1(name));
    EXPECT_NE(slider, nullptr) << name;
    return slider;
}

void PressEscape(QWidget* frame) {
    QWidget* target = frame->focusWidget() ? frame->focusWidget() : frame;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

class PropertyFrameTest : public PropPageTest {
protected:
    // Opens the frame the way the graph editor does; `drive` runs once it is up and must
    // close it. The result is OleCreatePropertyFrame's.
    HRESULT Open(std::vector<CLSID> pages, const std::function<void(QWidget*)>& drive,
                 HWND owner = nullptr, UINT x = 0, UINT y = 0) {
        ModalWatchdog watchdog;
        WhenModal(drive);
        IUnknown* object = m_pages.Get();
        const HRESULT hr =
            OleCreatePropertyFrame(owner, x, y, u"Renderer", 1, &object,
                                   static_cast<ULONG>(pages.size()), pages.data(), 0, 0, nullptr);
        EXPECT_FALSE(watchdog.Fired()) << "the frame was left open";
        return hr;
    }
};

TEST_F(PropertyFrameTest, apply_writes_the_changed_volume_and_keeps_the_frame_open) {
    const HRESULT hr = Open({CLSID_AudioProperties}, [this](QWidget* frame) {
        QPushButton* apply = Button(frame, "Apply");
        EXPECT_FALSE(apply->isEnabled());
        Slider(frame, "volume")->setValue(-2500);
        EXPECT_EQ(frame->findChild<QLabel*>("volumeText")->text(), "-25.00 dB");
        EXPECT_TRUE(apply->isEnabled());
        EXPECT_EQ(Volume(), 0);
        apply->click();
        EXPECT_EQ(Volume(), -2500);
        EXPECT_FALSE(apply->isEnabled());
        EXPECT_TRUE(frame->isVisible());
        Button(frame, "Cancel")->click();
    });
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(Volume(), -2500);
}

TEST_F(PropertyFrameTest, ok_applies_volume_and_balance_and_closes) {
    const HRESULT hr = Open({CLSID_AudioProperties}, [](QWidget* frame) {
        EXPECT_EQ(frame->windowTitle(), "Renderer");
        Slider(frame, "volume")->setValue(-600);
        Slider(frame, "balance")->setValue(2000);
        Button(frame, "OK")->click();
    });
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(Volume(), -600);
    EXPECT_EQ(Balance(), 2000);
}

TEST_F(PropertyFrameTest, cancel_escape_and_the_close_box_discard_changes) {
    const std::vector<std::function<void(QWidget*)>> closers = {
        [](QWidget* frame) { Button(frame, "Cancel")->click(); },
        [](QWidget* frame) { PressEscape(frame); },
        [](QWidget* frame) { frame->close(); },
    };
    for (const auto& close : closers) {
        const HRESULT hr = Open({CLSID_AudioProperties}, [&close](QWidget* frame) {
            Slider(frame, "volume")->setValue(-3000);
            Slider(frame, "balance")->setValue(-1000);
            close(frame);
        });
        EXPECT_EQ(hr, S_OK);
        EXPECT_EQ(Volume(), 0);
        EXPECT_EQ(Balance(), 0);
    }
}

TEST_F(PropertyFrameTest, a_page_that_cannot_be_created_is_left_out) {
    const HRESULT hr = Open({kNoSuchPage, CLSID_AudioProperties}, [](QWidget* frame) {
        auto* tabs = frame->findChild<QTabWidget*>();
        EXPECT_EQ(tabs->count(), 1);
        EXPECT_EQ(tabs->tabText(0), "Audio Renderer");
        frame->close();
    });
    EXPECT_EQ(hr, S_OK);
}

TEST_F(PropertyFrameTest, the_owner_parents_and_places_the_frame) {
    QWidget owner;
    owner.setGeometry(200, 150, 400, 300);
    owner.show();
    QtWindow window(&owner);
    const HWND handle = window.Attach(nullptr, 0);
    const HRESULT hr = Open(
        {CLSID_AudioProperties},
        [&owner](QWidget* frame) {
            EXPECT_EQ(frame->parentWidget(), &owner);
            EXPECT_EQ(frame->pos(), owner.mapToGlobal(QPoint(10, 20)));
            frame->close();
        },
        handle, 10, 20);
    EXPECT_EQ(hr, S_OK);
}

// Every one of these fails at once: a frame shown by mistake would be left to the watchdog.
TEST_F(PropertyFrameTest, bad_arguments_and_no_usable_page_fail_without_a_frame) {
    ModalWatchdog watchdog(3000);
    IUnknown* object = m_pages.Get();
    IUnknown* no_object = nullptr;
    CLSID page = CLSID_AudioProperties;
    CLSID missing = kNoSuchPage;
    const auto open = [&](ULONG count, IUnknown** objects, ULONG pages, CLSID* classes) {
        return OleCreatePropertyFrame(nullptr, 0, 0, u"x", count, objects, pages, classes, 0, 0,
                                      nullptr);
    };
    EXPECT_EQ(open(1, nullptr, 1, &page), E_POINTER);
    EXPECT_EQ(open(1, &no_object, 1, &page), E_POINTER);
    EXPECT_EQ(open(0, &object, 1, &page), E_INVALIDARG);
    EXPECT_EQ(open(1, &object, 1, nullptr), E_POINTER);
    EXPECT_EQ(open(1, &object, 0, &page), E_INVALIDARG);
    EXPECT_EQ(OleCreatePropertyFrame(reinterpret_cast<HWND>(0x7FFFFFF0), 0, 0, u"x", 1, &object, 1,
                                     &page, 0, 0, nullptr),
              E_INVALIDARG);
    EXPECT_EQ(open(1, &object, 1, &missing), E_FAIL);

    // The page refuses an object without IBasicAudio, which leaves nothing to show.
    ComPtr<IUnknown> null_renderer = Create(CLSID_NullRenderer);
    IUnknown* without_audio = null_renderer.Get();
    EXPECT_EQ(open(1, &without_audio, 1, &page), E_FAIL);

    HRESULT off_thread = S_OK;
    std::thread([&] { off_thread = open(1, &object, 1, &page); }).join();
    EXPECT_EQ(off_thread, E_UNEXPECTED);
    EXPECT_FALSE(watchdog.Fired());
}

}  // namespace
