#include "platform/media/base/AMovieSetup.h"

#include "platform/media/uuids.h"

namespace {

// The mapper's answer for a filter that was never registered.
constexpr HRESULT kNotRegistered = static_cast<HRESULT>(0x80070002);

HRESULT RegisterPins(const AMOVIESETUP_FILTER& setup, IFilterMapper* mapper) {
    for (UINT i = 0; i < setup.nPins; ++i) {
        const AMOVIESETUP_PIN& pin = setup.lpPin[i];
        const CLSID connects_to = pin.clsConnectsToFilter ? *pin.clsConnectsToFilter : CLSID_NULL;
        HRESULT hr = mapper->RegisterPin(*setup.clsID, pin.strName, pin.bRendered, pin.bOutput,
                                         pin.bZero, pin.bMany, connects_to, pin.strConnectsToPin);
        if (FAILED(hr)) return hr;
        for (UINT t = 0; t < pin.nMediaTypes && pin.lpMediaType; ++t) {
            const AMOVIESETUP_MEDIATYPE& type = pin.lpMediaType[t];
            hr = mapper->RegisterPinType(*setup.clsID, pin.strName,
                                         type.clsMajorType ? *type.clsMajorType : GUID_NULL,
                                         type.clsMinorType ? *type.clsMinorType : GUID_NULL);
            if (FAILED(hr)) return hr;
        }
    }
    return S_OK;
}

}  // namespace

HRESULT AMovieSetupRegisterFilter2(const AMOVIESETUP_FILTER* setup, IFilterMapper2* mapper,
                                   BOOL register_filter) {
    if (!setup || !mapper || !setup->clsID) return E_POINTER;
    HRESULT hr = S_OK;
    if (register_filter) {
        REGFILTER2 registration{};
        registration.dwVersion = 1;
        registration.dwMerit = setup->dwMerit;
        registration.cPins = setup->nPins;
        registration.rgPins = setup->lpPin;
        hr = mapper->RegisterFilter(*setup->clsID, setup->strName, nullptr,
                                    &CLSID_LegacyAmFilterCategory, nullptr, &registration);
    } else {
        hr = mapper->UnregisterFilter(&CLSID_LegacyAmFilterCategory, nullptr, *setup->clsID);
    }
    return hr == kNotRegistered ? S_OK : hr;
}

HRESULT AMovieSetupRegisterFilter(const AMOVIESETUP_FILTER* setup, IFilterMapper* mapper,
                                  BOOL register_filter) {
    if (!setup || !mapper || !setup->clsID) return E_POINTER;
    HRESULT hr = mapper->UnregisterFilter(*setup->clsID);
    if (hr == kNotRegistered) hr = S_OK;
    if (FAILED(hr) || !register_filter) return hr;
    hr = mapper->RegisterFilter(*setup->clsID, setup->strName, setup->dwMerit);
    if (FAILED(hr)) return hr;
    return RegisterPins(*setup, mapper);
}
