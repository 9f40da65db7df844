#include "tests/platform/media/splitter/MovieGraphFixture.h"

#include <algorithm>

std::vector<std::u16string> MovieGraphTest::FilterNames() {
    std::vector<std::u16string> names;
    ComPtr<IEnumFilters> filters;
    m_graph->EnumFilters(filters.GetAddressOf());
    IBaseFilter* filter = nullptr;
    while (filters->Next(1, &filter, nullptr) == S_OK) {
        FILTER_INFO info{};
        filter->QueryFilterInfo(&info);
        if (info.pGraph) info.pGraph->Release();
        names.push_back(info.achName);
        filter->Release();
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<VideoPresentation> MovieGraphTest::Shown() {
    ComPtr<IBaseFilter> renderer;
    ComPtr<IVideoPresentationLog> log;
    std::vector<VideoPresentation> records(100);
    ULONG count = 0;
    if (SUCCEEDED(m_graph->FindFilterByName(u"Video Renderer", renderer.GetAddressOf())) &&
        SUCCEEDED(renderer.As(&log))) {
        log->GetPresentations(static_cast<ULONG>(records.size()), records.data(), &count);
    }
    records.resize(count);
    return records;
}
