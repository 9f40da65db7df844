#include "grapheditor/GraphManager.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>

#include "catalogue/FilterCatalogue.h"
#include "grapheditor/FilterItem.h"
#include "grapheditor/FilterItemFactory.h"
#include "grapheditor/GraphText.h"
#include "grapheditor/PinItem.h"
#include "platform/com/objbase.h"
#include "platform/media/MediaTypeFunctions.h"
#include "platform/media/dmodshow.h"
#include "platform/media/objidl.h"
#include "platform/media/oleauto.h"
#include "platform/media/qedit.h"
#include "platform/media/uuids.h"
#include "platform/ui/ListCtrl.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/WindowFunctions.h"
#include "platform/ui/WindowStyles.h"

namespace {

constexpr double kUnitsPerSecond = 10'000'000.0;

// Seconds as 100 ns units, cut toward zero; out of range saturates, NaN is the start.
LONGLONG UnitsFromSeconds(double seconds) {
    const double units = std::trunc(seconds * kUnitsPerSecond);
    if (std::isnan(units)) return 0;
    constexpr double kLimit = 9223372036854775808.0;  // 2^63
    if (units >= kLimit) return std::numeric_limits<LONGLONG>::max();
    if (units < -kLimit) return std::numeric_limits<LONGLONG>::min();
    return static_cast<LONGLONG>(units);
}

void ShowMessage(const char* text, const char* caption = "") {
    MessageBoxA(nullptr, text, caption, MB_OK);
}

// The automation string of a narrow path; null for no path.
struct AutomationText {
    explicit AutomationText(const char* text) {
        const std::unique_ptr<WCHAR[]> wide = WidenedText(text);
        value = wide ? SysAllocString(wide.get()) : nullptr;
    }
    ~AutomationText() { SysFreeString(value); }
    AutomationText(const AutomationText&) = delete;
    AutomationText& operator=(const AutomationText&) = delete;
    BSTR value;
};

}  // namespace

GraphManager::GraphManager() : m_com_initialized(SUCCEEDED(CoInitialize(nullptr))) {}

GraphManager::~GraphManager() {
    ReleaseAll();
    if (m_com_initialized) CoUninitialize();
}

bool GraphManager::Create(HWND notify_window) {
    const bool made =
        SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(m_graph_builder.ReleaseAndGetAddressOf()))) &&
        SUCCEEDED(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(m_filter_mapper.ReleaseAndGetAddressOf()))) &&
        SUCCEEDED(m_graph_builder.As(&m_media_control)) &&
        SUCCEEDED(m_graph_builder.As(&m_media_event)) &&
        SUCCEEDED(m_graph_builder.As(&m_media_position)) &&
        SUCCEEDED(m_graph_builder.As(&m_video_window)) &&
        SUCCEEDED(m_graph_builder.As(&m_basic_video)) &&
        SUCCEEDED(m_graph_builder.As(&m_media_seeking));
    if (!made) {
        ReleaseAll();
        return false;
    }
    m_media_event->SetNotifyWindow(reinterpret_cast<OAHWND>(notify_window), kGraphNotifyMessage, 0);
    m_media_event->SetNotifyFlags(0);
    return true;
}

bool GraphManager::ReleaseAll() {
    m_graph_builder = nullptr;
    m_media_control = nullptr;
    m_media_event = nullptr;
    m_media_position = nullptr;
    m_filter_mapper = nullptr;
    m_video_window = nullptr;
    m_basic_video = nullptr;
    m_media_seeking = nullptr;
    return true;
}

bool GraphManager::Run() {
    return SUCCEEDED(m_media_control->Run());
}

bool GraphManager::Stop() {
    if (FAILED(m_media_control->Stop())) return false;
    m_media_position->put_CurrentPosition(0.0);
    return true;
}

bool GraphManager::Pause() {
    return SUCCEEDED(m_media_control->Pause());
}

double GraphManager::DurationSeconds() {
    if (!m_media_seeking) return 0.0;
    LONGLONG duration = 0;
    if (FAILED(m_media_seeking->GetDuration(&duration))) return 0.0;
    return static_cast<double>(duration) / kUnitsPerSecond;
}

bool GraphManager::SeekToSeconds(double seconds) {
    LONGLONG position = UnitsFromSeconds(seconds);
    return SUCCEEDED(m_media_seeking->SetPositions(&position, AM_SEEKING_AbsolutePositioning,
                                                   nullptr, AM_SEEKING_NoPositioning));
}

bool GraphManager::AttachVideoWindow(HWND owner_dialog, HWND video_control) {
    SetWindowLongA(video_control, GWL_STYLE,
                   GetWindowLongA(video_control, GWL_STYLE) | static_cast<LONG>(WS_CLIPCHILDREN));
    m_video_window->put_MessageDrain(reinterpret_cast<OAHWND>(owner_dialog));
    if (FAILED(m_video_window->put_Owner(reinterpret_cast<OAHWND>(video_control)))) return false;
    if (FAILED(m_video_window->put_WindowStyle(static_cast<long>(WS_CHILD)))) return false;
    if (FAILED(m_video_window->put_Visible(OAFALSE))) return false;
    RECT client{};
    GetClientRect(video_control, &client);
    if (FAILED(m_video_window->SetWindowPosition(
            client.left, client.top, client.right - client.left, client.bottom - client.top))) {
        return false;
    }
    if (FAILED(m_video_window->put_Visible(OATRUE))) return false;
    return SUCCEEDED(m_video_window->SetWindowForeground(OATRUE));
}

bool GraphManager::VideoFrameRate(const char* movie_path, float* rate) {
    ComPtr<IMediaDet> detector;
    if (FAILED(CoCreateInstance(CLSID_MediaDet, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(detector.GetAddressOf())))) {
        return false;
    }
    if (rate) *rate = 0.0f;
    const AutomationText path(movie_path);
    if (FAILED(detector->put_Filename(path.value))) return false;
    long streams = 0;
    if (FAILED(detector->get_OutputStreams(&streams))) return false;
    bool found = false;
    for (long stream = 0; stream < streams; ++stream) {
        if (FAILED(detector->put_CurrentStream(stream))) continue;
        AM_MEDIA_TYPE type{};
        if (FAILED(detector->get_StreamMediaType(&type))) continue;
        const bool video = type.majortype == MEDIATYPE_Video;
        FreeMediaType(type);
        double frame_rate = 0.0;
        if (video && SUCCEEDED(detector->get_FrameRate(&frame_rate))) {
            if (rate) *rate = static_cast<float>(frame_rate);
            found = true;
        }
    }
    return found;
}

bool GraphManager::RenderFile(const char* path) {
    const std::unique_ptr<WCHAR[]> wide = WidenedText(path);
    return SUCCEEDED(m_graph_builder->RenderFile(wide.get(), nullptr));
}

bool GraphManager::AddFilter(FilterItem* item) {
    if (!item) return false;
    item->RefreshName();
    const std::unique_ptr<WCHAR[]> name = WidenedText(item->Name());
    if (FAILED(m_graph_builder->AddFilter(item->BaseFilter(), name.get()))) return false;
    item->RefreshName();
    return true;
}

bool GraphManager::RemoveFilter(FilterItem* item) {
    if (!item) return false;
    const int before = CountFilters();
    // The count must drop by one as well: a filter may take others along or bring some in.
    if (SUCCEEDED(m_graph_builder->RemoveFilter(item->BaseFilter())) &&
        CountFilters() == before - 1) {
        item->RefreshName();
        return true;
    }
    ShowMessage("Unable to remove filter", item->Name() ? item->Name() : "");
    return false;
}

int GraphManager::CountFilters() {
    ComPtr<IEnumFilters> filters;
    if (m_graph_builder->EnumFilters(filters.GetAddressOf()) != S_OK || !filters) return 0;
    filters->Reset();
    int count = 0;
    IBaseFilter* fetched = nullptr;
    while (filters->Next(1, &fetched, nullptr) == S_OK && fetched) {
        ComPtr<IBaseFilter> filter;
        filter.Attach(fetched);
        fetched = nullptr;
        ++count;
    }
    return count;
}

bool GraphManager::ConnectPins(PinItem* output, PinItem* input, const AM_MEDIA_TYPE* media_type) {
    if (!input) {
        ShowMessage("Input Pin Empty");
        return false;
    }
    if (!output) {
        ShowMessage("Output Pin Empty");
        return false;
    }
    if (FAILED(m_graph_builder->ConnectDirect(output->Pin(), input->Pin(), media_type))) {
        ShowMessage("Connection failed");
        return false;
    }
    return true;
}

bool GraphManager::DisconnectPin(PinItem* pin) {
    return pin && SUCCEEDED(m_graph_builder->Disconnect(pin->Pin()));
}

bool GraphManager::ReconnectPin(PinItem* pin) {
    if (!pin || FAILED(m_graph_builder->Reconnect(pin->Pin()))) {
        ShowMessage("Reconnection failed");
        return false;
    }
    return true;
}

bool GraphManager::FillListFromGraph(ListCtrl& list_view, FilterCatalogue& catalogue) {
    ComPtr<IEnumFilters> filters;
    if (m_graph_builder->EnumFilters(filters.GetAddressOf()) != S_OK || !filters) return false;
    filters->Reset();
    bool result = true;
    IBaseFilter* fetched = nullptr;
    while (filters->Next(1, &fetched, nullptr) == S_OK && fetched) {
        ComPtr<IBaseFilter> filter;
        filter.Attach(fetched);
        fetched = nullptr;
        CatalogueEntry* entry = FindCatalogueEntry(filter.Get(), catalogue);
        if (!entry) continue;
        std::unique_ptr<FilterItem> item = WrapFilter(entry, filter.Get());
        if (!item) {
            result = false;
            continue;
        }
        const int row = list_view.InsertItem(0, entry->friendlyName);
        // A row that cannot be made cannot own the item.
        if (row < 0 || !list_view.SetItemData(row, reinterpret_cast<DWORD_PTR>(item.get()))) {
            if (row >= 0) list_view.DeleteItem(row);
            result = false;
            continue;
        }
        item.release();
    }
    return result;
}

CatalogueEntry* GraphManager::FindCatalogueEntry(IBaseFilter* filter, FilterCatalogue& catalogue) {
    if (!filter) return nullptr;
    ComPtr<IDMOWrapperFilter> wrapper;
    if (SUCCEEDED(filter->QueryInterface(IID_PPV_ARGS(wrapper.GetAddressOf()))) && wrapper) {
        return nullptr;
    }
    CLSID clsid{};
    if (filter->GetClassID(&clsid) != S_OK) return nullptr;
    return catalogue.FindByClsid(clsid);
}
