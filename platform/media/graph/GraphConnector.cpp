#include "platform/media/graph/GraphConnector.h"

#include <algorithm>

#include "platform/com/objbase.h"
#include "platform/media/graph/FilterGraph.h"
#include "platform/media/graph/GraphTopology.h"
#include "platform/media/graph/RegKey.h"
#include "platform/media/graph/WideText.h"
#include "platform/media/uuids.h"

namespace {

constexpr char kExtensionsKey[] = "Media Type\\Extensions\\";
constexpr char kSourceFilterValue[] = "Source Filter";

// "C:\\movies\\clip.mpg" or "/movies/clip.mpg" gives "clip.mpg".
std::u16string FileNamePart(const std::u16string& path) {
    const size_t slash = path.find_last_of(u"/\\");
    return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

// ".mpg" (lower case), or empty when the name has no extension.
std::string Extension(const std::u16string& path) {
    const std::u16string name = FileNamePart(path);
    const size_t dot = name.find_last_of(u'.');
    if (dot == std::u16string::npos) return {};
    std::string extension = Utf8FromWide(name.substr(dot));
    std::transform(extension.begin(), extension.end(), extension.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return extension;
}

}  // namespace

GraphConnector::GraphConnector(FilterGraph& graph) : m_graph(graph) {}

HRESULT GraphConnector::Connect(IPin* output, IPin* input) {
    if (!output || !input) return E_POINTER;
    const HRESULT direct = m_graph.ConnectDirect(output, input, nullptr);
    if (SUCCEEDED(direct)) return direct;
    // Mistakes no intermediate filter can mend.
    if (direct == VFW_E_NOT_IN_GRAPH || direct == VFW_E_INVALID_DIRECTION ||
        direct == VFW_E_ALREADY_CONNECTED || direct == VFW_E_CIRCULAR_GRAPH ||
        direct == E_POINTER) {
        return direct;
    }
    m_graph.ClearAbort();
    return ConnectVia(output, input, 0);
}

HRESULT GraphConnector::Render(IPin* output) {
    if (!output) return E_POINTER;
    PIN_DIRECTION direction = PINDIR_INPUT;
    if (!GraphTopology::DirectionOf(output, &direction) || direction != PINDIR_OUTPUT) {
        return VFW_E_INVALID_DIRECTION;
    }
    if (GraphTopology::IsConnected(output)) return VFW_E_ALREADY_CONNECTED;
    const ComPtr<IBaseFilter> owner = GraphTopology::FilterOf(output);
    if (!owner || !m_graph.Filters().Contains(owner.Get())) return VFW_E_NOT_IN_GRAPH;
    m_graph.ClearAbort();
    return RenderVia(output, 0);
}

HRESULT GraphConnector::RenderFile(LPCWSTR file) {
    if (!file) return E_POINTER;
    ComPtr<IBaseFilter> source;
    const HRESULT added = AddSourceFilter(file, nullptr, source.GetAddressOf());
    if (FAILED(added)) return added;
    const auto outputs = GraphTopology::Pins(source.Get(), PINDIR_OUTPUT);
    size_t rendered = 0;
    bool partial = false;
    for (const auto& output : outputs) {
        const HRESULT hr = Render(output.Get());
        if (SUCCEEDED(hr)) {
            ++rendered;
            partial = partial || hr == VFW_S_PARTIAL_RENDER;
        }
    }
    if (rendered == 0) {
        m_graph.RemoveFilter(source.Get());
        return VFW_E_CANNOT_RENDER;
    }
    return rendered < outputs.size() || partial ? VFW_S_PARTIAL_RENDER : S_OK;
}

HRESULT GraphConnector::AddSourceFilter(LPCWSTR file, LPCWSTR filter_name, IBaseFilter** filter) {
    if (!file || !filter) return E_POINTER;
    *filter = nullptr;
    const std::u16string path(file);
    ComPtr<IBaseFilter> source;
    ComPtr<IFileSourceFilter> file_source;
    if (FAILED(CoCreateInstance(SourceClassFor(path), nullptr, CLSCTX_INPROC_SERVER,
                                IID_IBaseFilter,
                                reinterpret_cast<void**>(source.GetAddressOf()))) ||
        FAILED(source.As(&file_source))) {
        return VFW_E_CANNOT_LOAD_SOURCE_FILTER;
    }
    const std::u16string name = filter_name ? std::u16string(filter_name) : FileNamePart(path);
    const HRESULT added = m_graph.AddFilter(source.Get(), name.c_str());
    if (FAILED(added)) return added;
    const HRESULT loaded = file_source->Load(file, nullptr);
    if (FAILED(loaded)) {
        m_graph.RemoveFilter(source.Get());
        return loaded;
    }
    *filter = source.Detach();
    return S_OK;
}

HRESULT GraphConnector::ConnectVia(IPin* output, IPin* input, int depth) {
    if (depth >= kMaxDepth) return VFW_E_CANNOT_CONNECT;
    for (const RegisteredFilter& candidate : Candidates(output, true)) {
        if (m_graph.Aborted()) return E_ABORT;
        if (SUCCEEDED(TryConnectWith(output, input, candidate, depth))) return S_OK;
    }
    return VFW_E_CANNOT_CONNECT;
}

HRESULT GraphConnector::RenderVia(IPin* output, int depth) {
    if (depth >= kMaxDepth) return VFW_E_CANNOT_RENDER;
    for (const RegisteredFilter& candidate : Candidates(output, false)) {
        if (m_graph.Aborted()) return E_ABORT;
        const HRESULT hr = TryRenderWith(output, candidate, depth);
        if (SUCCEEDED(hr)) return hr;
    }
    return VFW_E_CANNOT_RENDER;
}

HRESULT GraphConnector::TryRenderWith(IPin* output, const RegisteredFilter& candidate, int depth) {
    const ComPtr<IBaseFilter> filter = AddCandidate(candidate);
    if (!filter) return E_FAIL;
    HRESULT hr = VFW_E_CANNOT_CONNECT;
    if (ConnectToInput(output, filter.Get())) hr = RenderOutputs(filter.Get(), depth);
    // A failed attempt has already taken out whatever it added behind the filter.
    if (FAILED(hr)) m_graph.RemoveFilter(filter.Get());
    return hr;
}

HRESULT GraphConnector::TryConnectWith(IPin* output, IPin* input, const RegisteredFilter& candidate,
                                       int depth) {
    const ComPtr<IBaseFilter> filter = AddCandidate(candidate);
    if (!filter) return E_FAIL;
    if (ConnectToInput(output, filter.Get())) {
        for (const auto& next : GraphTopology::Pins(filter.Get(), PINDIR_OUTPUT)) {
            if (GraphTopology::IsConnected(next.Get())) continue;
            if (SUCCEEDED(m_graph.ConnectDirect(next.Get(), input, nullptr)) ||
                SUCCEEDED(ConnectVia(next.Get(), input, depth + 1))) {
                return S_OK;
            }
        }
    }
    m_graph.RemoveFilter(filter.Get());
    return VFW_E_CANNOT_CONNECT;
}

ComPtr<IBaseFilter> GraphConnector::AddCandidate(const RegisteredFilter& candidate) {
    ComPtr<IBaseFilter> filter;
    if (FAILED(CoCreateInstance(candidate.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                reinterpret_cast<void**>(filter.GetAddressOf()))) ||
        !filter) {
        return nullptr;
    }
    const std::u16string name = WideFromUtf8(candidate.friendly_name);
    if (FAILED(m_graph.AddFilter(filter.Get(), name.c_str()))) return nullptr;
    return filter;
}

ComPtr<IPin> GraphConnector::ConnectToInput(IPin* output, IBaseFilter* filter) {
    for (const auto& input : GraphTopology::Pins(filter, PINDIR_INPUT)) {
        if (GraphTopology::IsConnected(input.Get())) continue;
        if (SUCCEEDED(m_graph.ConnectDirect(output, input.Get(), nullptr))) return input;
    }
    return nullptr;
}

HRESULT GraphConnector::RenderOutputs(IBaseFilter* filter, int depth) {
    std::vector<ComPtr<IPin>> outputs;
    for (auto& output : GraphTopology::Pins(filter, PINDIR_OUTPUT)) {
        if (!GraphTopology::IsConnected(output.Get())) outputs.push_back(std::move(output));
    }
    if (outputs.empty()) return S_OK;  // a renderer: the stream ends here
    size_t rendered = 0;
    bool partial = false;
    for (const auto& output : outputs) {
        const HRESULT hr = RenderVia(output.Get(), depth + 1);
        if (SUCCEEDED(hr)) {
            ++rendered;
            partial = partial || hr == VFW_S_PARTIAL_RENDER;
        }
    }
    if (rendered == 0) return VFW_E_CANNOT_RENDER;
    return rendered < outputs.size() || partial ? VFW_S_PARTIAL_RENDER : S_OK;
}

std::vector<RegisteredFilter> GraphConnector::Candidates(IPin* output, bool need_output) {
    FilterCriteria criteria;
    criteria.min_merit = MERIT_DO_NOT_USE + 1;
    criteria.input_needed = true;
    criteria.input_types = GraphTopology::OfferedTypes(output);
    criteria.output_needed = need_output;
    return FilterRegistry::Find(criteria);
}

CLSID GraphConnector::SourceClassFor(const std::u16string& file) {
    const std::string extension = Extension(file);
    RegKey key;
    std::string text;
    CLSID clsid{};
    if (!extension.empty() &&
        key.Open(HKEY_CLASSES_ROOT, kExtensionsKey + extension) == ERROR_SUCCESS &&
        key.GetString(kSourceFilterValue, &text) &&
        ParseGuidText(text.c_str(), text.size(), true, &clsid)) {
        return clsid;
    }
    return CLSID_AsyncReader;
}
