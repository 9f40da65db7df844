#include "grapheditor/PinItem.h"

#include <utility>

#include "catalogue/MediaTypeNames.h"
#include "grapheditor/GraphText.h"
#include "platform/media/MediaTypeFunctions.h"

PinItem::PinItem(const char* label, ComPtr<IPin> pin)
    : m_label(label ? label : ""), m_pin(std::move(pin)), m_description("Not set") {
    RefreshMediaTypeDescription();
}

PinItem::~PinItem() {
    FreeMediaType(m_media_type);
}

bool PinItem::QueryConnection(std::string* peer_label) const {
    if (!m_pin) return false;
    ComPtr<IPin> peer;
    if (m_pin->ConnectedTo(peer.GetAddressOf()) != S_OK || !peer) return false;
    if (!peer_label) return true;
    peer_label->clear();
    PIN_INFO pin_info{};
    if (FAILED(peer->QueryPinInfo(&pin_info))) return true;
    ComPtr<IBaseFilter> peer_filter;
    peer_filter.Attach(pin_info.pFilter);
    const std::string pin_name = NarrowName(pin_info.achName, MAX_PIN_NAME);
    FILTER_INFO filter_info{};
    if (!peer_filter || FAILED(peer_filter->QueryFilterInfo(&filter_info))) return true;
    ComPtr<IFilterGraph> graph;
    graph.Attach(filter_info.pGraph);
    *peer_label = PinLabel(NarrowName(filter_info.achName, MAX_FILTER_NAME), pin_name);
    return true;
}

bool PinItem::RefreshMediaTypeDescription() {
    if (!m_pin) return false;
    // Fetched aside, so that a pin that fails half-way leaves the stored type whole.
    AM_MEDIA_TYPE fetched{};
    if (FAILED(m_pin->ConnectionMediaType(&fetched))) {
        FreeMediaType(fetched);
        return false;
    }
    FreeMediaType(m_media_type);
    m_media_type = fetched;
    m_description = DescribeMediaType(m_media_type);
    return true;
}
