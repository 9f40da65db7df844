// FilterItem: a filter of the graph as a row of the filter list holds it: the filter object,
// the interfaces the editor needs from it, the names of the interfaces it grants, the name
// the graph knows it by, the catalogue entry it was made from (not owned; its friendlyName is
// what the list and the menus show) and its input and output pins as PinItems, in the order
// the filter enumerates them.
// Order of use: made by CreateFilterItem or WrapFilter (FilterItemFactory.h), which probe the
// filter and build its name and pins; RefreshName after the graph adds or removes the filter;
// the Refresh*Pins and RefreshPinDescriptions whenever the display is refreshed (every
// PinItem of the old lists is deleted then); the file and property-page commands from the
// list's context menu.
// Threading: the user-interface thread.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "grapheditor/InterfaceNameList.h"
#include "grapheditor/PinItem.h"
#include "platform/com/ComPtr.h"
#include "platform/media/ocidl.h"
#include "platform/media/strmif.h"

class CatalogueEntry;

class FilterItem {
public:
    // Takes over `filter_object`, probes it for its interfaces, then reads its name and pins.
    FilterItem(CatalogueEntry* entry, ComPtr<IUnknown> filter_object);
    virtual ~FilterItem();
    FilterItem(const FilterItem&) = delete;
    FilterItem& operator=(const FilterItem&) = delete;

    // Reads the filter's name (in the graph, once added); false, keeping the old name, when
    // the filter has no IBaseFilter or cannot say.
    bool RefreshName();
    // Rebuild the lists from the filter; false, keeping the list, without IBaseFilter, and
    // false with an empty list when the filter cannot enumerate its pins.
    bool RefreshInputPins();
    bool RefreshOutputPins();
    // The name, then the description of every output pin, then of every input pin.
    void RefreshPinDescriptions();

    // Loads `path` into a source filter; "Load failed" when the filter refuses it. The
    // output pins are rebuilt on success, the name in every case.
    bool SetSourceFile(const char* path);
    // Gives a sink filter its output file; silent. The name is read again in every case.
    bool SetSinkFile(const char* path);

    // What the context menu offers.
    bool CanSetSinkFile() const;
    bool CanSetSourceFile() const { return m_source_file != nullptr; }
    bool HasPropertyPages() const { return m_property_pages != nullptr; }
    // The filter's property pages in a modal frame captioned "<name> <friendlyName>".
    bool ShowPropertyPages();

    int OutputPinCount() const { return static_cast<int>(m_output_pins.size()); }
    int InputPinCount() const { return static_cast<int>(m_input_pins.size()); }
    // Null past the end.
    PinItem* OutputPin(int index) const;
    PinItem* InputPin(int index) const;

    // Null until the name was first read.
    const char* Name() const { return m_name ? m_name->c_str() : nullptr; }
    CatalogueEntry* Entry() const { return m_entry; }
    IUnknown* FilterObject() const { return m_filter.Get(); }
    IBaseFilter* BaseFilter() const { return m_base_filter.Get(); }
    const InterfaceNameList& Interfaces() const { return *m_interfaces; }

private:
    void QueryInterfaces();
    bool RefreshPins(PIN_DIRECTION direction, std::vector<std::unique_ptr<PinItem>>* pins);

    std::vector<std::unique_ptr<PinItem>> m_output_pins;
    std::vector<std::unique_ptr<PinItem>> m_input_pins;
    std::optional<std::string> m_name;
    CatalogueEntry* m_entry;
    ComPtr<IBaseFilter> m_base_filter;
    ComPtr<IUnknown> m_filter;
    ComPtr<ISpecifyPropertyPages> m_property_pages;
    ComPtr<IFileSinkFilter> m_sink_file;
    ComPtr<IFileSourceFilter> m_source_file;
    std::unique_ptr<InterfaceNameList> m_interfaces;
};
