// Questions the graph asks about filters and pins: a filter's pins of one direction, a pin's
// peer and filter, which filters are renderers, the order in which state changes reach the
// filters (downstream first, so that a renderer is ready before its source starts pushing),
// and the media types an output pin offers.
// Threading: any thread; holds no state. Calls into filters, so callers keep the graph's lock
// order (graph -> filter).
#pragma once

#include <vector>

#include "platform/com/ComPtr.h"
#include "platform/media/graph/FilterData.h"
#include "platform/media/strmif.h"

class GraphTopology {
public:
    static std::vector<ComPtr<IPin>> Pins(IBaseFilter* filter, PIN_DIRECTION direction);
    // Null when the pin is not connected.
    static ComPtr<IPin> Peer(IPin* pin);
    static ComPtr<IBaseFilter> FilterOf(IPin* pin);
    static bool DirectionOf(IPin* pin, PIN_DIRECTION* direction);
    static bool IsConnected(IPin* pin) { return Peer(pin) != nullptr; }

    // A renderer has no output pin and at least one connected input pin: it is where a stream
    // ends, so its end of stream counts toward the graph's completion.
    static bool IsRenderer(IBaseFilter* filter);
    static std::vector<ComPtr<IBaseFilter>> Renderers(
        const std::vector<ComPtr<IBaseFilter>>& filters);
    // Every filter after all filters downstream of it (among `filters`); filters outside the
    // connections keep their relative order.
    static std::vector<ComPtr<IBaseFilter>> DownstreamFirst(
        const std::vector<ComPtr<IBaseFilter>>& filters);

    // Breaks every connection of the filter's pins, at both ends.
    static void DisconnectAll(IBaseFilter* filter);

    // The major and minor types the pin's enumerator offers (empty when it offers none).
    static std::vector<RegisteredMediaType> OfferedTypes(IPin* pin);

    // The first filter that answers `Interface`, as that interface; null when none does.
    template <typename Interface>
    static ComPtr<Interface> FirstWith(const std::vector<ComPtr<IBaseFilter>>& filters) {
        for (const auto& filter : filters) {
            ComPtr<Interface> found;
            if (SUCCEEDED(filter.As(&found)) && found) return found;
        }
        return nullptr;
    }
};
