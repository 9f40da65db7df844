// CEnumMediaTypes: IEnumMediaTypes over a pin's preferred types (CBasePin::GetMediaType).
// Each type handed out is a new CreateMediaType record that the caller deletes with
// DeleteMediaType. The enumerator holds the pin (and so its filter); when the pin's type
// version changes, Next and Skip answer VFW_E_ENUM_OUT_OF_SYNC until Reset.
// Threading: one thread at a time per enumerator.
#pragma once

#include "platform/com/ComPtr.h"
#include "platform/media/base/CUnknown.h"
#include "platform/media/strmif.h"

class CBasePin;

class CEnumMediaTypes : public CUnknown, public IEnumMediaTypes {
public:
    CEnumMediaTypes(CBasePin* pin, const CEnumMediaTypes* copy);
    ~CEnumMediaTypes() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    HRESULT Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) override;
    HRESULT Skip(ULONG count) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumMediaTypes** clone) override;

private:
    bool OutOfSync() const;

    CBasePin* const m_pin;
    ComPtr<IPin> m_pin_reference;
    int m_position = 0;
    int m_version = 0;
};
