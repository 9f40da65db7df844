// Small helpers shared by the base-class tests: making the doubles with a reference held,
// connecting two filters' first pins, and checking that a test leaves no object behind.
#pragma once

#include <gtest/gtest.h>

#include "platform/com/ComPtr.h"
#include "platform/media/base/CBaseFilter.h"
#include "platform/media/base/CBasePin.h"
#include "platform/media/base/CMediaType.h"
#include "platform/media/base/CUnknown.h"
#include "platform/media/uuids.h"

// Holds a new filter by its IBaseFilter and keeps the typed pointer for the test's calls.
template <typename Filter>
struct Held {
    template <typename... Args>
    explicit Held(Args&&... args) : filter(new Filter(std::forward<Args>(args)...)) {
        reference = static_cast<IBaseFilter*>(filter);
    }
    Filter* operator->() const { return filter; }
    IBaseFilter* Base() const { return reference.Get(); }

    Filter* filter;
    ComPtr<IBaseFilter> reference;
};

// Fails the test when objects made during its life are still there at its end.
class NoObjectLeftBehind {
public:
    NoObjectLeftBehind() : m_before(CUnknown::ObjectsActive()) {}
    ~NoObjectLeftBehind() { EXPECT_EQ(CUnknown::ObjectsActive(), m_before) << "objects leaked"; }

private:
    long m_before;
};

inline CMediaType AudioPcmType() {
    CMediaType type(&MEDIATYPE_Audio);
    type.SetSubtype(&MEDIASUBTYPE_PCM);
    return type;
}
