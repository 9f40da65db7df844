#include "grapheditor/FilterItem.h"

#include <cstring>
#include <utility>

#include "catalogue/CatalogueEntry.h"
#include "grapheditor/GraphText.h"
#include "platform/com/objbase.h"
#include "platform/media/objidl.h"
#include "platform/media/olectl.h"
#include "platform/ui/MessageBox.h"

namespace {

struct ProbedInterface {
    const char* name;
    const IID& iid;
};

// Asked in this order, so the list reads from the last one granted back to "IUnknown".
const ProbedInterface kProbedInterfaces[] = {
    {"IBaseFilter", IID_IBaseFilter},
    {"IReferenceClock", IID_IReferenceClock},
    {"IFileSourceFilter", IID_IFileSourceFilter},
    {"IPersistStream", IID_IPersistStream},
    {"IPersist", IID_IPersist},
    {"ISpecifyPropertyPages", IID_ISpecifyPropertyPages},
    {"IMediaFilter", IID_IMediaFilter},
    {"IAMovieSetup", IID_IAMovieSetup},
    {"IPropertyPage", IID_IPropertyPage},
    {"IFileSinkFilter", IID_IFileSinkFilter},
};

// Calls `visit` (pin, direction, narrow pin name) for every pin the enumerator gives from its
// start; a pin that cannot describe itself is skipped.
template <typename Visit>
void VisitPins(IEnumPins* pins, Visit visit) {
    pins->Reset();
    IPin* fetched = nullptr;
    while (pins->Next(1, &fetched, nullptr) == S_OK && fetched) {
        ComPtr<IPin> pin;
        pin.Attach(std::exchange(fetched, nullptr));
        PIN_INFO info{};
        if (FAILED(pin->QueryPinInfo(&info))) continue;
        ComPtr<IBaseFilter> owner;
        owner.Attach(info.pFilter);
        visit(std::move(pin), info.dir, NarrowName(info.achName, MAX_PIN_NAME));
    }
}

}  // namespace

FilterItem::FilterItem(CatalogueEntry* entry, ComPtr<IUnknown> filter_object)
    : m_entry(entry), m_filter(std::move(filter_object)) {
    QueryInterfaces();
    if (m_interfaces->Supports("IBaseFilter")) m_filter.As(&m_base_filter);
    if (m_interfaces->Supports("IFileSourceFilter")) m_filter.As(&m_source_file);
    if (m_interfaces->Supports("IFileSinkFilter")) m_filter.As(&m_sink_file);
    if (m_interfaces->Supports("ISpecifyPropertyPages")) m_filter.As(&m_property_pages);
    RefreshName();
    RefreshInputPins();
    RefreshOutputPins();
}

FilterItem::~FilterItem() {
    m_entry = nullptr;
    m_interfaces.reset();
    m_input_pins.clear();
    m_output_pins.clear();
    m_filter = nullptr;
    m_base_filter = nullptr;
    m_property_pages = nullptr;
    m_sink_file = nullptr;
    m_source_file = nullptr;
}

void FilterItem::QueryInterfaces() {
    m_interfaces = std::make_unique<InterfaceNameList>("IUnknown", nullptr);
    if (!m_filter) return;
    for (const ProbedInterface& probed : kProbedInterfaces) {
        ComPtr<IUnknown> granted;
        if (SUCCEEDED(m_filter.AsIID(probed.iid, &granted)) && granted) {
            InterfaceNameList::Push(m_interfaces, probed.name);
        }
    }
}

bool FilterItem::RefreshName() {
    if (!m_interfaces->Supports("IBaseFilter") || !m_base_filter) return false;
    FILTER_INFO info{};
    if (FAILED(m_base_filter->QueryFilterInfo(&info))) return false;
    ComPtr<IFilterGraph> graph;
    graph.Attach(info.pGraph);
    m_name = NarrowName(info.achName, MAX_FILTER_NAME);
    return true;
}

bool FilterItem::RefreshInputPins() {
    return RefreshPins(PINDIR_INPUT, &m_input_pins);
}

bool FilterItem::RefreshOutputPins() {
    return RefreshPins(PINDIR_OUTPUT, &m_output_pins);
}

bool FilterItem::RefreshPins(PIN_DIRECTION direction, std::vector<std::unique_ptr<PinItem>>* pins) {
    if (!m_base_filter) return false;
    pins->clear();
    ComPtr<IEnumPins> enumerator;
    if (FAILED(m_base_filter->EnumPins(enumerator.GetAddressOf())) || !enumerator) return false;
    // The first pass only sizes the list: a filter may report other pins the second time, and
    // the list holds exactly the pins of the pass that builds it.
    size_t expected = 0;
    VisitPins(enumerator.Get(), [&](ComPtr<IPin>, PIN_DIRECTION found, const std::string&) {
        if (found == direction) ++expected;
    });
    pins->reserve(expected);
    const std::string filter_name = m_name.value_or(std::string());
    VisitPins(
        enumerator.Get(), [&](ComPtr<IPin> pin, PIN_DIRECTION found, const std::string& pin_name) {
            if (found != direction) return;
            pins->push_back(
                std::make_unique<PinItem>(PinLabel(filter_name, pin_name).c_str(), std::move(pin)));
        });
    return true;
}

void FilterItem::RefreshPinDescriptions() {
    RefreshName();
    for (const auto& pin : m_output_pins)
        pin->RefreshMediaTypeDescription();
    for (const auto& pin : m_input_pins)
        pin->RefreshMediaTypeDescription();
}

bool FilterItem::SetSourceFile(const char* path) {
    bool result = false;
    if (m_source_file) {
        const std::unique_ptr<WCHAR[]> wide = WidenedText(path);
        if (FAILED(m_source_file->Load(wide.get(), nullptr))) {
            MessageBoxA(nullptr, "Load failed", "", MB_OK);
        } else {
            RefreshOutputPins();
            result = true;
        }
    }
    RefreshName();
    return result;
}

bool FilterItem::SetSinkFile(const char* path) {
    bool result = false;
    if (m_sink_file) {
        const std::unique_ptr<WCHAR[]> wide = WidenedText(path);
        result = SUCCEEDED(m_sink_file->SetFileName(wide.get(), nullptr));
    }
    RefreshName();
    return result;
}

bool FilterItem::CanSetSinkFile() const {
    // The menu never offers an output file to an entry of this name, whatever it answers.
    if (m_entry && m_entry->friendlyName &&
        std::strcmp(m_entry->friendlyName, "Tarvik Wrapper") == 0) {
        return false;
    }
    return m_sink_file != nullptr;
}

bool FilterItem::ShowPropertyPages() {
    if (!m_property_pages) return false;
    std::string caption = m_name.value_or(std::string());
    caption += ' ';
    if (m_entry && m_entry->friendlyName) caption += m_entry->friendlyName;
    const std::unique_ptr<WCHAR[]> wide = WidenedText(caption.c_str());
    CAUUID pages{};
    if (m_property_pages->GetPages(&pages) == S_OK) {
        IUnknown* object = m_property_pages.Get();
        OleCreatePropertyFrame(nullptr, 0, 0, wide.get(), 1, &object, pages.cElems, pages.pElems, 0,
                               0, nullptr);
        CoTaskMemFree(pages.pElems);
    }
    return true;
}

PinItem* FilterItem::OutputPin(int index) const {
    return index >= 0 && index < OutputPinCount() ? m_output_pins[static_cast<size_t>(index)].get()
                                                  : nullptr;
}

PinItem* FilterItem::InputPin(int index) const {
    return index >= 0 && index < InputPinCount() ? m_input_pins[static_cast<size_t>(index)].get()
                                                 : nullptr;
}
