// CEnumPins: IEnumPins over a CBaseFilter's pins, in GetPin order. The enumerator holds the
// filter; when the filter's pin version changes under it, Next and Skip answer
// VFW_E_ENUM_OUT_OF_SYNC until Reset.
// Threading: one thread at a time per enumerator; it reads the pins under the filter lock.
#pragma once

#include "platform/com/ComPtr.h"
#include "platform/media/base/CUnknown.h"
#include "platform/media/strmif.h"

class CBaseFilter;

class CEnumPins : public CUnknown, public IEnumPins {
public:
    // Starts at the beginning, or where `copy` stands.
    CEnumPins(CBaseFilter* filter, const CEnumPins* copy);
    ~CEnumPins() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    // S_OK when `count` pins came, S_FALSE when fewer; `fetched` may be null only for 1.
    HRESULT Next(ULONG count, IPin** pins, ULONG* fetched) override;
    HRESULT Skip(ULONG count) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumPins** clone) override;

private:
    bool OutOfSync() const;

    CBaseFilter* const m_filter;
    ComPtr<IUnknown> m_filter_reference;
    int m_position = 0;
    int m_version = 0;
};
