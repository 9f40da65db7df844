// The graph's IBasicVideo: every call goes to the first filter of the graph that answers
// IBasicVideo (the video renderer); without one, each call answers E_NOINTERFACE, as the
// framework does.
// Order of use: part of FilterGraph.
// Threading: any thread; the graph's lock is not held while the renderer runs the call.
#pragma once

#include "platform/com/ComPtr.h"
#include "platform/media/control.h"
#include "platform/media/graph/GraphFilterList.h"
#include "platform/media/graph/GraphTopology.h"

class GraphBasicVideo : public IBasicVideo {
public:
    GraphBasicVideo(IUnknown* owner, const GraphFilterList& filters);
    GraphBasicVideo(const GraphBasicVideo&) = delete;
    GraphBasicVideo& operator=(const GraphBasicVideo&) = delete;

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
    HRESULT SetSourcePosition(long left, long top, long width, long height) override;
    HRESULT GetSourcePosition(long* left, long* top, long* width, long* height) override;
    HRESULT SetDefaultSourcePosition() override;
    HRESULT SetDestinationPosition(long left, long top, long width, long height) override;
    HRESULT GetDestinationPosition(long* left, long* top, long* width, long* height) override;
    HRESULT SetDefaultDestinationPosition() override;
    HRESULT GetVideoSize(long* width, long* height) override;
    HRESULT GetVideoPaletteEntries(long start_index, long entries, long* retrieved,
                                   long* palette) override;
    HRESULT GetCurrentImage(long* buffer_size, long* image) override;
    HRESULT IsUsingDefaultSource() override;
    HRESULT IsUsingDefaultDestination() override;

private:
    template <typename... Params, typename... Args>
    HRESULT Forward(HRESULT (IBasicVideo::*method)(Params...), Args... args) {
        const ComPtr<IBasicVideo> target = GraphTopology::FirstWith<IBasicVideo>(m_filters.Items());
        return target ? (target.Get()->*method)(args...) : E_NOINTERFACE;
    }

    IUnknown* const m_owner;
    const GraphFilterList& m_filters;
};
