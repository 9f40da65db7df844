// NullRendererFilter: the stock "Null Renderer" (CLSID_NullRenderer). Its input pin "In"
// takes any media type and drops every sample as soon as it may render, without waiting on
// the clock. The base renderer does the rest: a pause holds the first sample, a stop or a
// flush lets it go, and the end of the stream gives EC_COMPLETE once running.
// Order of use: connect, pause / run / stop.
// Threading: see CBaseRenderer.
#pragma once

#include "platform/media/base/CBaseRenderer.h"

class NullRendererFilter : public CBaseRenderer {
public:
    NullRendererFilter();
    ~NullRendererFilter() override;

    static CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* hr);

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT DoRenderSample(IMediaSample* sample) override;
    HRESULT ShouldDrawSampleNow(IMediaSample* sample, REFERENCE_TIME* start,
                                REFERENCE_TIME* stop) override;
};
