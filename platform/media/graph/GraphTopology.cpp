#include "platform/media/graph/GraphTopology.h"

#include <algorithm>
#include <functional>

#include "platform/media/MediaTypeFunctions.h"

namespace {

// Enough for any real pin enumerator; a broken one cannot keep the graph looping.
constexpr int kMaxEnumerated = 4096;

bool Contains(const std::vector<IBaseFilter*>& filters, IBaseFilter* filter) {
    return std::find(filters.begin(), filters.end(), filter) != filters.end();
}

}  // namespace

std::vector<ComPtr<IPin>> GraphTopology::Pins(IBaseFilter* filter, PIN_DIRECTION direction) {
    std::vector<ComPtr<IPin>> pins;
    ComPtr<IEnumPins> enumerator;
    if (!filter || FAILED(filter->EnumPins(enumerator.GetAddressOf())) || !enumerator) {
        return pins;
    }
    for (int i = 0; i < kMaxEnumerated; ++i) {
        ComPtr<IPin> pin;
        ULONG fetched = 0;
        if (enumerator->Next(1, pin.GetAddressOf(), &fetched) != S_OK || fetched != 1 || !pin) {
            break;
        }
        PIN_DIRECTION pin_direction = PINDIR_INPUT;
        if (DirectionOf(pin.Get(), &pin_direction) && pin_direction == direction) {
            pins.push_back(std::move(pin));
        }
    }
    return pins;
}

ComPtr<IPin> GraphTopology::Peer(IPin* pin) {
    ComPtr<IPin> peer;
    if (!pin || pin->ConnectedTo(peer.GetAddressOf()) != S_OK) return nullptr;
    return peer;
}

ComPtr<IBaseFilter> GraphTopology::FilterOf(IPin* pin) {
    PIN_INFO info{};
    if (!pin || FAILED(pin->QueryPinInfo(&info))) return nullptr;
    ComPtr<IBaseFilter> filter;
    filter.Attach(info.pFilter);  // QueryPinInfo gave us this reference
    return filter;
}

bool GraphTopology::DirectionOf(IPin* pin, PIN_DIRECTION* direction) {
    return pin && SUCCEEDED(pin->QueryDirection(direction));
}

bool GraphTopology::IsRenderer(IBaseFilter* filter) {
    if (!Pins(filter, PINDIR_OUTPUT).empty()) return false;
    const auto inputs = Pins(filter, PINDIR_INPUT);
    return std::any_of(inputs.begin(), inputs.end(),
                       [](const ComPtr<IPin>& pin) { return IsConnected(pin.Get()); });
}

std::vector<ComPtr<IBaseFilter>> GraphTopology::Renderers(
    const std::vector<ComPtr<IBaseFilter>>& filters) {
    std::vector<ComPtr<IBaseFilter>> renderers;
    for (const auto& filter : filters) {
        if (IsRenderer(filter.Get())) renderers.push_back(filter);
    }
    return renderers;
}

std::vector<ComPtr<IBaseFilter>> GraphTopology::DownstreamFirst(
    const std::vector<ComPtr<IBaseFilter>>& filters) {
    std::vector<IBaseFilter*> members;
    for (const auto& filter : filters)
        members.push_back(filter.Get());
    std::vector<IBaseFilter*> visited;
    std::vector<ComPtr<IBaseFilter>> order;
    // Depth first along the output connections; a filter is placed once everything it feeds
    // is. The visited list also stops a (malformed) cycle.
    std::function<void(IBaseFilter*)> visit = [&](IBaseFilter* filter) {
        if (Contains(visited, filter)) return;
        visited.push_back(filter);
        for (const auto& output : Pins(filter, PINDIR_OUTPUT)) {
            const ComPtr<IPin> peer = Peer(output.Get());
            const ComPtr<IBaseFilter> next = peer ? FilterOf(peer.Get()) : nullptr;
            if (next && Contains(members, next.Get())) visit(next.Get());
        }
        order.push_back(ComPtr<IBaseFilter>(filter));
    };
    for (IBaseFilter* filter : members)
        visit(filter);
    return order;
}

void GraphTopology::DisconnectAll(IBaseFilter* filter) {
    for (PIN_DIRECTION direction : {PINDIR_INPUT, PINDIR_OUTPUT}) {
        for (const auto& pin : Pins(filter, direction)) {
            const ComPtr<IPin> peer = Peer(pin.Get());
            if (!peer) continue;
            peer->Disconnect();
            pin->Disconnect();
        }
    }
}

std::vector<RegisteredMediaType> GraphTopology::OfferedTypes(IPin* pin) {
    std::vector<RegisteredMediaType> types;
    ComPtr<IEnumMediaTypes> enumerator;
    if (!pin || FAILED(pin->EnumMediaTypes(enumerator.GetAddressOf())) || !enumerator) {
        return types;
    }
    for (int i = 0; i < kMaxEnumerated; ++i) {
        AM_MEDIA_TYPE* type = nullptr;
        ULONG fetched = 0;
        if (enumerator->Next(1, &type, &fetched) != S_OK || fetched != 1 || !type) {
            DeleteMediaType(type);
            break;
        }
        types.push_back(RegisteredMediaType{type->majortype, type->subtype});
        DeleteMediaType(type);
    }
    return types;
}
