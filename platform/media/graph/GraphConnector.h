// The graph's building work: connecting two pins through intermediate filters, rendering an
// output pin to a renderer, and rendering a file from a source filter. Filters are chosen
// from the registered records (FilterRegistry) by the media types an output pin offers,
// highest merit first; filters with a merit of MERIT_DO_NOT_USE or less, or without a record,
// are never chosen. A filter tried in vain leaves the graph again.
//
// The source for a file is the class named by the "Source Filter" value of
// HKEY_CLASSES_ROOT\Media Type\Extensions\.ext for its extension, else "File Source (Async.)";
// its output then goes to parsers and splitters that take it (for a WAV: "Wave Parser", then
// the audio renderer).
// Order of use: part of FilterGraph; it calls the graph's public methods.
// Threading: called with the graph's lock held (it is recursive).
#pragma once

#include <string>
#include <vector>

#include "platform/com/ComPtr.h"
#include "platform/media/graph/FilterRegistry.h"
#include "platform/media/strmif.h"

class FilterGraph;

class GraphConnector {
public:
    explicit GraphConnector(FilterGraph& graph);

    HRESULT Connect(IPin* output, IPin* input);
    // S_OK, VFW_S_PARTIAL_RENDER when only some streams of an added filter found a renderer,
    // VFW_E_CANNOT_RENDER when nothing took the pin.
    HRESULT Render(IPin* output);
    HRESULT RenderFile(LPCWSTR file);
    HRESULT AddSourceFilter(LPCWSTR file, LPCWSTR filter_name, IBaseFilter** filter);

private:
    // Intermediate filters between two pins, and filters behind a rendered pin, at most.
    static constexpr int kMaxDepth = 5;

    HRESULT ConnectVia(IPin* output, IPin* input, int depth);
    HRESULT RenderVia(IPin* output, int depth);
    HRESULT TryRenderWith(IPin* output, const RegisteredFilter& candidate, int depth);
    HRESULT TryConnectWith(IPin* output, IPin* input, const RegisteredFilter& candidate, int depth);
    ComPtr<IBaseFilter> AddCandidate(const RegisteredFilter& candidate);
    // Connects `output` to the first free input pin of `filter` that takes it; that pin or null.
    ComPtr<IPin> ConnectToInput(IPin* output, IBaseFilter* filter);
    HRESULT RenderOutputs(IBaseFilter* filter, int depth);
    std::vector<RegisteredFilter> Candidates(IPin* output, bool need_output);
    static CLSID SourceClassFor(const std::u16string& file);

    FilterGraph& m_graph;
};
