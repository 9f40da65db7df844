// VideoWindowControl: the video renderer's IVideoWindow. It keeps the window's state (owner,
// position, style, caption, visibility, message drain, ...) and makes the window itself, a
// VideoWindowWidget, lazily: on the first call on the thread of the QApplication, or when the
// renderer pauses or runs there. Without a QApplication there is never a window and the calls
// only keep the state. With an owner the window is a child of the owner's widget, placed in
// its client area; put_Owner(0) makes it a window of its own again. An owner that goes takes
// the window along, and none is made again until the application names another owner (or
// none). AutoShow (on by default) shows the window whenever the renderer pauses or runs.
// Every call answers VFW_E_NOT_CONNECTED while the renderer's input is not connected.
// Its IUnknown is the renderer's.
// Order of use: part of VideoRendererFilter; destroyed with it, taking its window along.
// Threading: IVideoWindow on the user-interface thread (elsewhere the state is kept and the
// window follows it when the user-interface thread gets to it). StartedStreaming and
// SetVideoSize from the control thread. A mutex guards the state; the window itself is only
// touched on its own thread.
#pragma once

#include <memory>
#include <mutex>
#include <optional>

#include <QPointer>

#include "platform/media/base/CBasePin.h"
#include "platform/media/control.h"
#include "platform/media/video/VideoFrameStore.h"
#include "platform/media/video/VideoWindowState.h"
#include "platform/media/video/VideoWindowWidget.h"

class VideoWindowControl : public IVideoWindow {
public:
    VideoWindowControl(IUnknown* owner, const CBasePin* input,
                       std::shared_ptr<VideoFrameStore> store);
    ~VideoWindowControl();
    VideoWindowControl(const VideoWindowControl&) = delete;
    VideoWindowControl& operator=(const VideoWindowControl&) = delete;

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT put_Caption(BSTR caption) override;
    HRESULT get_Caption(BSTR* caption) override;
    HRESULT put_WindowStyle(long style) override;
    HRESULT get_WindowStyle(long* style) override;
    HRESULT put_WindowStyleEx(long style) override;
    HRESULT get_WindowStyleEx(long* style) override;
    HRESULT put_AutoShow(long auto_show) override;
    HRESULT get_AutoShow(long* auto_show) override;
    HRESULT put_WindowState(long state) override;
    HRESULT get_WindowState(long* state) override;
    HRESULT put_BackgroundPalette(long palette) override;
    HRESULT get_BackgroundPalette(long* palette) override;
    HRESULT put_Visible(long visible) override;
    HRESULT get_Visible(long* visible) override;
    HRESULT put_Left(long left) override;
    HRESULT get_Left(long* left) override;
    HRESULT put_Width(long width) override;
    HRESULT get_Width(long* width) override;
    HRESULT put_Top(long top) override;
    HRESULT get_Top(long* top) override;
    HRESULT put_Height(long height) override;
    HRESULT get_Height(long* height) override;
    HRESULT put_Owner(OAHWND owner) override;
    HRESULT get_Owner(OAHWND* owner) override;
    HRESULT put_MessageDrain(OAHWND drain) override;
    HRESULT get_MessageDrain(OAHWND* drain) override;
    HRESULT get_BorderColor(long* color) override;
    HRESULT put_BorderColor(long color) override;
    HRESULT get_FullScreenMode(long* full_screen) override;
    // Full screen is not offered (E_NOTIMPL); OAFALSE is accepted.
    HRESULT put_FullScreenMode(long full_screen) override;
    HRESULT SetWindowForeground(long focus) override;
    // Nothing the owner forwards needs handling here: S_OK.
    HRESULT NotifyOwnerMessage(OAHWND window, long message, LONG_PTR wparam,
                               LONG_PTR lparam) override;
    HRESULT SetWindowPosition(long left, long top, long width, long height) override;
    HRESULT GetWindowPosition(long* left, long* top, long* width, long* height) override;
    // Both the picture's own size: it is scaled to any size, sharpest at its own.
    HRESULT GetMinIdealImageSize(long* width, long* height) override;
    HRESULT GetMaxIdealImageSize(long* width, long* height) override;
    HRESULT GetRestorePosition(long* left, long* top, long* width, long* height) override;
    HRESULT HideCursor(long hide) override;
    HRESULT IsCursorHidden(long* hidden) override;

    // ---- for the renderer ----
    // The renderer paused or ran: makes the window (on the user-interface thread) and shows
    // it when AutoShow is on.
    void StartedStreaming();
    // A new connection: a window the application has not placed takes the picture's size.
    void SetVideoSize(long width, long height);
    // The window's client size, for IBasicVideo's default destination.
    QSize ClientSize();

private:
    // The state, shared with work queued to the window, which may run after this is gone.
    struct SharedState {
        std::mutex mutex;
        VideoWindowState window;
        bool auto_show = true;
        bool background_palette = false;
        bool placed = false;  // the application set a position or size
    };

    template <typename Value, typename Read>
    HRESULT Get(Value* value, Read read);
    template <typename Change>
    HRESULT Set(Change change);
    // Moves or sizes the window; what is not given stays.
    HRESULT Place(std::optional<long> left, std::optional<long> top, std::optional<long> width,
                  std::optional<long> height);

    static bool OnGuiThread();
    VideoWindowWidget* Window();
    // Takes in what the user changed on the window (moved it, closed it).
    void ReadBack();
    VideoWindowState Snapshot();
    // Brings the window in line with the state: at once on its thread (making it first when
    // asked to), else queued.
    void Push(bool make_window = true);
    void DestroyWindow();

    IUnknown* const m_owner;
    const CBasePin* const m_input;
    const std::shared_ptr<VideoFrameStore> m_store;
    const std::shared_ptr<SharedState> m_state;
    QPointer<VideoWindowWidget> m_widget;  // the user-interface thread only
};
