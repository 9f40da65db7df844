// PinItem: one pin of a filter as the graph editor shows it: the pin, its label (the owning
// filter's name, one space, the pin's name, as they were when the filter's pin list was
// built), the media type of its connection and a one-line description of that type ("Not
// set" until the pin has been seen connected). A disconnected pin keeps the description of
// its former connection.
// Order of use: made by its FilterItem when the pin list is built; RefreshMediaTypeDescription
// whenever the display is refreshed; deleted with the list.
// Threading: the user-interface thread.
#pragma once

#include <string>

#include "platform/com/ComPtr.h"
#include "platform/media/strmif.h"

class PinItem {
public:
    // Takes over `pin`; fetches the connection type at once.
    PinItem(const char* label, ComPtr<IPin> pin);
    virtual ~PinItem();
    PinItem(const PinItem&) = delete;
    PinItem& operator=(const PinItem&) = delete;

    // True when the pin is connected. `peer_label`, when given and the pin is connected,
    // receives the peer's label in the same form as Label ("Wave Parser In"), or is emptied
    // when the peer cannot name itself; it is left alone when the pin is not connected.
    bool QueryConnection(std::string* peer_label) const;
    // Fetches the connection type and rebuilds the description; false, with both kept, when
    // the pin reports none (typically: not connected).
    bool RefreshMediaTypeDescription();

    const char* Label() const { return m_label.c_str(); }
    IPin* Pin() const { return m_pin.Get(); }
    const AM_MEDIA_TYPE& MediaType() const { return m_media_type; }
    const char* Description() const { return m_description.c_str(); }

private:
    std::string m_label;
    ComPtr<IPin> m_pin;
    AM_MEDIA_TYPE m_media_type{};  // its format block is ours
    std::string m_description;
};
