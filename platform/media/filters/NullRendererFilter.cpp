#include "platform/media/filters/NullRendererFilter.h"

#include <new>

#include "platform/media/uuids.h"

NullRendererFilter::NullRendererFilter() : CBaseRenderer("Null Renderer", CLSID_NullRenderer) {}

NullRendererFilter::~NullRendererFilter() = default;

CUnknown* NullRendererFilter::CreateInstance(LPUNKNOWN /*outer*/, HRESULT* hr) {
    auto* filter = new (std::nothrow) NullRendererFilter();
    if (!filter && hr) *hr = E_OUTOFMEMORY;
    return filter;
}

HRESULT NullRendererFilter::CheckMediaType(const CMediaType* type) {
    return type ? S_OK : E_POINTER;
}

HRESULT NullRendererFilter::DoRenderSample(IMediaSample* /*sample*/) {
    return S_OK;
}

// Nothing is shown or heard, so nothing needs to wait for its time.
HRESULT NullRendererFilter::ShouldDrawSampleNow(IMediaSample* /*sample*/, REFERENCE_TIME* /*start*/,
                                                REFERENCE_TIME* /*stop*/) {
    return S_OK;
}
