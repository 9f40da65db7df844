// BasicVideoControl: the video renderer's IBasicVideo. The picture's size, frame time and
// bit rates come from the connected format; the source rectangle (part of the picture shown,
// the whole picture by default) and the destination rectangle (where in the window, the whole
// window by default) go to the VideoFrameStore the window paints from. GetCurrentImage hands
// out the picture shown as a packed bottom-up DIB: a BITMAPINFOHEADER, then 32-bit pixels.
// Palettes do not apply to RGB32: E_NOTIMPL.
// Every call answers VFW_E_NOT_CONNECTED while the renderer's input is not connected.
// Its IUnknown is the renderer's.
// Order of use: part of VideoRendererFilter.
// Threading: the user-interface thread (any thread works: the state is in the store).
#pragma once

#include <memory>
#include <optional>

#include "platform/media/base/CBasePin.h"
#include "platform/media/control.h"
#include "platform/media/video/VideoFrameStore.h"
#include "platform/media/video/VideoWindowControl.h"

class BasicVideoControl : public IBasicVideo {
public:
    BasicVideoControl(IUnknown* owner, const CBasePin* input,
                      std::shared_ptr<VideoFrameStore> store, VideoWindowControl* window);
    BasicVideoControl(const BasicVideoControl&) = delete;
    BasicVideoControl& operator=(const BasicVideoControl&) = delete;

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT get_AvgTimePerFrame(REFTIME* time) override;
    HRESULT get_BitRate(long* rate) override;
    HRESULT get_BitErrorRate(long* rate) override;
    HRESULT get_VideoWidth(long* width) override;
    HRESULT get_VideoHeight(long* height) override;
    HRESULT put_SourceLeft(long left) override;
    HRESULT get_SourceLeft(long* left) override;
    HRESULT put_SourceWidth(long width) override;
    HRESULT get_SourceWidth(long* width) override;
    HRESULT put_SourceTop(long top) override;
    HRESULT get_SourceTop(long* top) override;
    HRESULT put_SourceHeight(long height) override;
    HRESULT get_SourceHeight(long* height) override;
    HRESULT put_DestinationLeft(long left) override;
    HRESULT get_DestinationLeft(long* left) override;
    HRESULT put_DestinationWidth(long width) override;
    HRESULT get_DestinationWidth(long* width) override;
    HRESULT put_DestinationTop(long top) override;
    HRESULT get_DestinationTop(long* top) override;
    HRESULT put_DestinationHeight(long height) override;
    HRESULT get_DestinationHeight(long* height) override;
    // A source rectangle must lie inside the picture and a destination one be at least a
    // pixel wide and high: E_INVALIDARG otherwise.
    HRESULT SetSourcePosition(long left, long top, long width, long height) override;
    HRESULT GetSourcePosition(long* left, long* top, long* width, long* height) override;
    HRESULT SetDefaultSourcePosition() override;
    HRESULT SetDestinationPosition(long left, long top, long width, long height) override;
    HRESULT GetDestinationPosition(long* left, long* top, long* width, long* height) override;
    HRESULT SetDefaultDestinationPosition() override;
    HRESULT GetVideoSize(long* width, long* height) override;
    HRESULT GetVideoPaletteEntries(long start_index, long entries, long* retrieved,
                                   long* palette) override;
    // With a null image, the bytes needed; E_UNEXPECTED before the first picture;
    // E_OUTOFMEMORY when *buffer_size is too small for it.
    HRESULT GetCurrentImage(long* buffer_size, long* image) override;
    HRESULT IsUsingDefaultSource() override;
    HRESULT IsUsingDefaultDestination() override;

private:
    using Edge = std::optional<long>;

    // The connected format, or the failure to answer with.
    HRESULT ConnectedFormat(VideoFormat* format) const;
    HRESULT ReadFormat(long* value, long (*read)(const VideoFormat&)) const;
    HRESULT ReadSource(long* value, int (QRect::*read)() const) const;
    HRESULT ReadDestination(long* value, int (QRect::*read)() const);
    HRESULT PlaceSource(Edge left, Edge top, Edge width, Edge height);
    HRESULT PlaceDestination(Edge left, Edge top, Edge width, Edge height);
    QRect CurrentDestination();

    IUnknown* const m_owner;
    const CBasePin* const m_input;
    const std::shared_ptr<VideoFrameStore> m_store;
    VideoWindowControl* const m_window;
};
