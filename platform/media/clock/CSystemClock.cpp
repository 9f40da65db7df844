#include "platform/media/clock/CSystemClock.h"

#include <chrono>
#include <new>

CSystemClock::~CSystemClock() {
    StopAdviseThread();
}

HRESULT CSystemClock::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* clock = new (std::nothrow) CSystemClock();
    if (!clock) return E_OUTOFMEMORY;
    const HRESULT hr = clock->QueryInterface(iid, object);
    clock->Release();
    return hr;
}

REFERENCE_TIME CSystemClock::GetPrivateTime() {
    using Ticks = std::chrono::duration<REFERENCE_TIME, std::ratio<1, 10'000'000>>;
    return std::chrono::duration_cast<Ticks>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
