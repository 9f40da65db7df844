// The graph's control interfaces, the ones an application drives a graph with: running and
// stopping (IMediaControl), events (IMediaEvent, IMediaEventEx), position in seconds
// (IMediaPosition), the video window (IVideoWindow) and the picture's size (IBasicVideo).
// Method names and parameter types are the automation ones, but the interfaces derive from
// IUnknown directly: there is no late binding here.
//
// Events: after SetNotifyWindow, the graph posts the given message to the window whenever
// events are queued; the window takes them with GetEvent(..., 0) until E_ABORT and hands each
// one's parameters back with FreeEventParams.
// Threading: any thread; the notify window's messages arrive on that window's thread.
#pragma once

#include "platform/com/ComErrors.h"
#include "platform/com/Guid.h"
#include "platform/com/Unknown.h"
#include "platform/media/objidl.h"
#include "platform/media/oleauto.h"
#include "platform/media/strmif.h"
#include "platform/media/wtypes.h"

using OAFilterState = long;  // a FILTER_STATE value
using OAHWND = LONG_PTR;     // a window handle as an integer
using OAEVENT = LONG_PTR;    // an event handle as an integer

constexpr long OATRUE = -1;
constexpr long OAFALSE = 0;

// IMediaEventEx::SetNotifyFlags: no window message while set.
constexpr long AM_MEDIAEVENT_NONOTIFY = 0x01;

inline constexpr GUID IID_IMediaControl = MakeGuid("56A868B1-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr GUID IID_IMediaPosition = MakeGuid("56A868B2-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr GUID IID_IBasicAudio = MakeGuid("56A868B3-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr GUID IID_IVideoWindow = MakeGuid("56A868B4-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr GUID IID_IBasicVideo = MakeGuid("56A868B5-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr GUID IID_IMediaEvent = MakeGuid("56A868B6-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr GUID IID_IMediaEventEx = MakeGuid("56A868C0-0AD4-11CE-B03A-0020AF0BA770");

struct IMediaControl : public IUnknown {
    virtual HRESULT Run() = 0;
    virtual HRESULT Pause() = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT GetState(LONG milliseconds, OAFilterState* state) = 0;
    virtual HRESULT RenderFile(BSTR file_name) = 0;
    virtual HRESULT AddSourceFilter(BSTR file_name, IDispatch** filter) = 0;
    virtual HRESULT get_FilterCollection(IDispatch** collection) = 0;
    virtual HRESULT get_RegFilterCollection(IDispatch** collection) = 0;
    virtual HRESULT StopWhenReady() = 0;
};

struct IMediaEvent : public IUnknown {
    // A manual-reset event handle, set while events are queued.
    virtual HRESULT GetEventHandle(OAEVENT* event) = 0;
    // E_ABORT when no event came within `milliseconds`.
    virtual HRESULT GetEvent(long* code, LONG_PTR* param1, LONG_PTR* param2, long milliseconds) = 0;
    virtual HRESULT WaitForCompletion(long milliseconds, long* code) = 0;
    virtual HRESULT CancelDefaultHandling(long code) = 0;
    virtual HRESULT RestoreDefaultHandling(long code) = 0;
    virtual HRESULT FreeEventParams(long code, LONG_PTR param1, LONG_PTR param2) = 0;
};

struct IMediaEventEx : public IMediaEvent {
    // A null window stops the notifications.
    virtual HRESULT SetNotifyWindow(OAHWND window, long message, LONG_PTR instance_data) = 0;
    virtual HRESULT SetNotifyFlags(long no_notify_flags) = 0;
    virtual HRESULT GetNotifyFlags(long* no_notify_flags) = 0;
};

// Positions in seconds (REFTIME), for applications that do not need 100 ns precision.
struct IMediaPosition : public IUnknown {
    virtual HRESULT get_Duration(REFTIME* length) = 0;
    virtual HRESULT put_CurrentPosition(REFTIME time) = 0;
    virtual HRESULT get_CurrentPosition(REFTIME* time) = 0;
    virtual HRESULT get_StopTime(REFTIME* time) = 0;
    virtual HRESULT put_StopTime(REFTIME time) = 0;
    virtual HRESULT get_PrerollTime(REFTIME* time) = 0;
    virtual HRESULT put_PrerollTime(REFTIME time) = 0;
    virtual HRESULT put_Rate(double rate) = 0;
    virtual HRESULT get_Rate(double* rate) = 0;
    virtual HRESULT CanSeekForward(LONG* can_seek) = 0;
    virtual HRESULT CanSeekBackward(LONG* can_seek) = 0;
};

// Boolean properties take and give OATRUE / OAFALSE.
struct IVideoWindow : public IUnknown {
    virtual HRESULT put_Caption(BSTR caption) = 0;
    virtual HRESULT get_Caption(BSTR* caption) = 0;
    virtual HRESULT put_WindowStyle(long style) = 0;
    virtual HRESULT get_WindowStyle(long* style) = 0;
    virtual HRESULT put_WindowStyleEx(long style) = 0;
    virtual HRESULT get_WindowStyleEx(long* style) = 0;
    virtual HRESULT put_AutoShow(long auto_show) = 0;
    virtual HRESULT get_AutoShow(long* auto_show) = 0;
    virtual HRESULT put_WindowState(long state) = 0;
    virtual HRESULT get_WindowState(long* state) = 0;
    virtual HRESULT put_BackgroundPalette(long palette) = 0;
    virtual HRESULT get_BackgroundPalette(long* palette) = 0;
    virtual HRESULT put_Visible(long visible) = 0;
    virtual HRESULT get_Visible(long* visible) = 0;
    virtual HRESULT put_Left(long left) = 0;
    virtual HRESULT get_Left(long* left) = 0;
    virtual HRESULT put_Width(long width) = 0;
    virtual HRESULT get_Width(long* width) = 0;
    virtual HRESULT put_Top(long top) = 0;
    virtual HRESULT get_Top(long* top) = 0;
    virtual HRESULT put_Height(long height) = 0;
    virtual HRESULT get_Height(long* height) = 0;
    virtual HRESULT put_Owner(OAHWND owner) = 0;
    virtual HRESULT get_Owner(OAHWND* owner) = 0;
    virtual HRESULT put_MessageDrain(OAHWND drain) = 0;
    virtual HRESULT get_MessageDrain(OAHWND* drain) = 0;
    virtual HRESULT get_BorderColor(long* color) = 0;
    virtual HRESULT put_BorderColor(long color) = 0;
    virtual HRESULT get_FullScreenMode(long* full_screen) = 0;
    virtual HRESULT put_FullScreenMode(long full_screen) = 0;
    virtual HRESULT SetWindowForeground(long focus) = 0;
    virtual HRESULT NotifyOwnerMessage(OAHWND window, long message, LONG_PTR wparam,
                                       LONG_PTR lparam) = 0;
    virtual HRESULT SetWindowPosition(long left, long top, long width, long height) = 0;
    virtual HRESULT GetWindowPosition(long* left, long* top, long* width, long* height) = 0;
    virtual HRESULT GetMinIdealImageSize(long* width, long* height) = 0;
    virtual HRESULT GetMaxIdealImageSize(long* width, long* height) = 0;
    virtual HRESULT GetRestorePosition(long* left, long* top, long* width, long* height) = 0;
    virtual HRESULT HideCursor(long hide) = 0;
    virtual HRESULT IsCursorHidden(long* hidden) = 0;
};

struct IBasicVideo : public IUnknown {
    virtual HRESULT get_AvgTimePerFrame(REFTIME* time) = 0;
    virtual HRESULT get_BitRate(long* rate) = 0;
    virtual HRESULT get_BitErrorRate(long* rate) = 0;
    virtual HRESULT get_VideoWidth(long* width) = 0;
    virtual HRESULT get_VideoHeight(long* height) = 0;
    virtual HRESULT put_SourceLeft(long left) = 0;
    virtual HRESULT get_SourceLeft(long* left) = 0;
    virtual HRESULT put_SourceWidth(long width) = 0;
    virtual HRESULT get_SourceWidth(long* width) = 0;
    virtual HRESULT put_SourceTop(long top) = 0;
    virtual HRESULT get_SourceTop(long* top) = 0;
    virtual HRESULT put_SourceHeight(long height) = 0;
    virtual HRESULT get_SourceHeight(long* height) = 0;
    virtual HRESULT put_DestinationLeft(long left) = 0;
    virtual HRESULT get_DestinationLeft(long* left) = 0;
    virtual HRESULT put_DestinationWidth(long width) = 0;
    virtual HRESULT get_DestinationWidth(long* width) = 0;
    virtual HRESULT put_DestinationTop(long top) = 0;
    virtual HRESULT get_DestinationTop(long* top) = 0;
    virtual HRESULT put_DestinationHeight(long height) = 0;
    virtual HRESULT get_DestinationHeight(long* height) = 0;
    virtual HRESULT SetSourcePosition(long left, long top, long width, long height) = 0;
    virtual HRESULT GetSourcePosition(long* left, long* top, long* width, long* height) = 0;
    virtual HRESULT SetDefaultSourcePosition() = 0;
    virtual HRESULT SetDestinationPosition(long left, long top, long width, long height) = 0;
    virtual HRESULT GetDestinationPosition(long* left, long* top, long* width, long* height) = 0;
    virtual HRESULT SetDefaultDestinationPosition() = 0;
    virtual HRESULT GetVideoSize(long* width, long* height) = 0;
    virtual HRESULT GetVideoPaletteEntries(long start_index, long entries, long* retrieved,
                                           long* palette) = 0;
    // The current picture as a packed bitmap (header then pixels); with a null image the
    // size needed.
    virtual HRESULT GetCurrentImage(long* buffer_size, long* image) = 0;
    virtual HRESULT IsUsingDefaultSource() = 0;
    virtual HRESULT IsUsingDefaultDestination() = 0;
};

struct IBasicAudio : public IUnknown {
    // Volume in 1/100 dB from -10000 (silence) to 0; balance from -10000 to 10000.
    virtual HRESULT put_Volume(long volume) = 0;
    virtual HRESULT get_Volume(long* volume) = 0;
    virtual HRESULT put_Balance(long balance) = 0;
    virtual HRESULT get_Balance(long* balance) = 0;
};

TKV_DECLARE_IID(IMediaControl, IID_IMediaControl);
TKV_DECLARE_IID(IMediaEvent, IID_IMediaEvent);
TKV_DECLARE_IID(IMediaEventEx, IID_IMediaEventEx);
TKV_DECLARE_IID(IMediaPosition, IID_IMediaPosition);
TKV_DECLARE_IID(IVideoWindow, IID_IVideoWindow);
TKV_DECLARE_IID(IBasicVideo, IID_IBasicVideo);
TKV_DECLARE_IID(IBasicAudio, IID_IBasicAudio);
