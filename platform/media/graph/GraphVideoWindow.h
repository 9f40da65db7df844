// The graph's IVideoWindow: every call goes to the first filter of the graph that has a video
// window (the video renderer). Without one, each call answers E_NOINTERFACE, as the framework
// does, while the graph itself still hands out the interface, so an application can hold it
// before a movie is rendered.
// Order of use: part of FilterGraph.
// Threading: the thread that owns the windows (the user-interface thread); the graph's lock
// is not held while the renderer runs the call.
#pragma once

#include "platform/com/ComPtr.h"
#include "platform/media/control.h"
#include "platform/media/graph/GraphFilterList.h"
#include "platform/media/graph/GraphTopology.h"

class GraphVideoWindow : public IVideoWindow {
public:
    GraphVideoWindow(IUnknown* owner, const GraphFilterList& filters);
    GraphVideoWindow(const GraphVideoWindow&) = delete;
    GraphVideoWindow& operator=(const GraphVideoWindow&) = delete;

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
    HRESULT put_FullScreenMode(long full_screen) override;
    HRESULT SetWindowForeground(long focus) override;
    HRESULT NotifyOwnerMessage(OAHWND window, long message, LONG_PTR wparam,
                               LONG_PTR lparam) override;
    HRESULT SetWindowPosition(long left, long top, long width, long height) override;
    HRESULT GetWindowPosition(long* left, long* top, long* width, long* height) override;
    HRESULT GetMinIdealImageSize(long* width, long* height) override;
    HRESULT GetMaxIdealImageSize(long* width, long* height) override;
    HRESULT GetRestorePosition(long* left, long* top, long* width, long* height) override;
    HRESULT HideCursor(long hide) override;
    HRESULT IsCursorHidden(long* hidden) override;

private:
    template <typename... Params, typename... Args>
    HRESULT Forward(HRESULT (IVideoWindow::*method)(Params...), Args... args) {
        const ComPtr<IVideoWindow> target =
            GraphTopology::FirstWith<IVideoWindow>(m_filters.Items());
        return target ? (target.Get()->*method)(args...) : E_NOINTERFACE;
    }

    IUnknown* const m_owner;
    const GraphFilterList& m_filters;
};
