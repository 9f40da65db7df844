#include "platform/media/splitter/MovieSplitterInputPin.h"

#include "platform/com/ComPtr.h"
#include "platform/media/splitter/MovieSplitterFilter.h"
#include "platform/media/uuids.h"

MovieSplitterInputPin::MovieSplitterInputPin(MovieSplitterFilter* filter, CCritSec* lock)
    : CBasePin("Movie splitter input pin", filter, lock, u"Input", PINDIR_INPUT),
      m_splitter(filter) {}

HRESULT MovieSplitterInputPin::CheckMediaType(const CMediaType* type) {
    if (!type) return E_POINTER;
    if (*type->Type() != MEDIATYPE_Stream) return S_FALSE;
    // The demuxers recognise the bytes themselves when the input connects.
    return m_splitter->TakesStreamSubtype(*type->Subtype()) ? S_OK : S_FALSE;
}

HRESULT MovieSplitterInputPin::CheckConnect(IPin* pin) {
    const HRESULT hr = CBasePin::CheckConnect(pin);
    if (FAILED(hr)) return hr;
    ComPtr<IAsyncReader> reader;
    return FAILED(pin->QueryInterface(IID_PPV_ARGS(reader.GetAddressOf()))) ? VFW_E_NO_TRANSPORT
                                                                            : S_OK;
}

HRESULT MovieSplitterInputPin::CompleteConnect(IPin* receive_pin) {
    ComPtr<IAsyncReader> reader;
    if (FAILED(receive_pin->QueryInterface(IID_PPV_ARGS(reader.GetAddressOf())))) {
        return VFW_E_NO_TRANSPORT;
    }
    const HRESULT hr = m_splitter->OpenMovie(reader.Get());
    if (FAILED(hr)) return hr;
    return CBasePin::CompleteConnect(receive_pin);
}

HRESULT MovieSplitterInputPin::BreakConnect() {
    m_splitter->CloseMovie();
    return CBasePin::BreakConnect();
}
