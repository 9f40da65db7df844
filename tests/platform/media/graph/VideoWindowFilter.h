// A stand-in for a video renderer: a filter with a video window that remembers its owner,
// visibility and position, so the graph's forwarding can be seen. Other calls: E_NOTIMPL.
#pragma once

#include <array>

#include "platform/media/base/CBaseFilter.h"
#include "platform/media/control.h"

class VideoWindowFilter : public CBaseFilter, public IVideoWindow {
public:
    VideoWindowFilter() : CBaseFilter("video window filter", &m_filter_lock, GUID_NULL) {}

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IVideoWindow) return GetInterface(static_cast<IVideoWindow*>(this), object);
        return CBaseFilter::NonDelegatingQueryInterface(iid, object);
    }
    int GetPinCount() override { return 0; }
    CBasePin* GetPin(int /*index*/) override { return nullptr; }

    HRESULT put_Caption(BSTR /*caption*/) override { return E_NOTIMPL; }
    HRESULT get_Caption(BSTR* /*caption*/) override { return E_NOTIMPL; }
    HRESULT put_WindowStyle(long /*style*/) override { return E_NOTIMPL; }
    HRESULT get_WindowStyle(long* /*style*/) override { return E_NOTIMPL; }
    HRESULT put_WindowStyleEx(long /*style*/) override { return E_NOTIMPL; }
    HRESULT get_WindowStyleEx(long* /*style*/) override { return E_NOTIMPL; }
    HRESULT put_AutoShow(long /*auto_show*/) override { return E_NOTIMPL; }
    HRESULT get_AutoShow(long* /*auto_show*/) override { return E_NOTIMPL; }
    HRESULT put_WindowState(long /*state*/) override { return E_NOTIMPL; }
    HRESULT get_WindowState(long* /*state*/) override { return E_NOTIMPL; }
    HRESULT put_BackgroundPalette(long /*palette*/) override { return E_NOTIMPL; }
    HRESULT get_BackgroundPalette(long* /*palette*/) override { return E_NOTIMPL; }
    HRESULT put_Visible(long visible) override {
        m_visible = visible;
        return S_OK;
    }
    HRESULT get_Visible(long* visible) override {
        *visible = m_visible;
        return S_OK;
    }
    HRESULT put_Left(long /*left*/) override { return E_NOTIMPL; }
    HRESULT get_Left(long* /*left*/) override { return E_NOTIMPL; }
    HRESULT put_Width(long /*width*/) override { return E_NOTIMPL; }
    HRESULT get_Width(long* /*width*/) override { return E_NOTIMPL; }
    HRESULT put_Top(long /*top*/) override { return E_NOTIMPL; }
    HRESULT get_Top(long* /*top*/) override { return E_NOTIMPL; }
    HRESULT put_Height(long /*height*/) override { return E_NOTIMPL; }
    HRESULT get_Height(long* /*height*/) override { return E_NOTIMPL; }
    HRESULT put_Owner(OAHWND owner) override {
        m_owner = owner;
        return S_OK;
    }
    HRESULT get_Owner(OAHWND* owner) override {
        *owner = m_owner;
        return S_OK;
    }
    HRESULT put_MessageDrain(OAHWND /*drain*/) override { return E_NOTIMPL; }
    HRESULT get_MessageDrain(OAHWND* /*drain*/) override { return E_NOTIMPL; }
    HRESULT get_BorderColor(long* /*color*/) override { return E_NOTIMPL; }
    HRESULT put_BorderColor(long /*color*/) override { return E_NOTIMPL; }
    HRESULT get_FullScreenMode(long* /*full_screen*/) override { return E_NOTIMPL; }
    HRESULT put_FullScreenMode(long /*full_screen*/) override { return E_NOTIMPL; }
    HRESULT SetWindowForeground(long /*focus*/) override { return E_NOTIMPL; }
    HRESULT NotifyOwnerMessage(OAHWND /*window*/, long /*message*/, LONG_PTR /*wparam*/,
                               LONG_PTR /*lparam*/) override {
        return E_NOTIMPL;
    }
    HRESULT SetWindowPosition(long left, long top, long width, long height) override {
        m_position = {left, top, width, height};
        return S_OK;
    }
    HRESULT GetWindowPosition(long* left, long* top, long* width, long* height) override {
        *left = m_position[0];
        *top = m_position[1];
        *width = m_position[2];
        *height = m_position[3];
        return S_OK;
    }
    HRESULT GetMinIdealImageSize(long* /*width*/, long* /*height*/) override { return E_NOTIMPL; }
    HRESULT GetMaxIdealImageSize(long* /*width*/, long* /*height*/) override { return E_NOTIMPL; }
    HRESULT GetRestorePosition(long* /*left*/, long* /*top*/, long* /*width*/,
                               long* /*height*/) override {
        return E_NOTIMPL;
    }
    HRESULT HideCursor(long /*hide*/) override { return E_NOTIMPL; }
    HRESULT IsCursorHidden(long* /*hidden*/) override { return E_NOTIMPL; }

    OAHWND m_owner = 0;
    long m_visible = OAFALSE;
    std::array<long, 4> m_position{};

private:
    CCritSec m_filter_lock;
};
