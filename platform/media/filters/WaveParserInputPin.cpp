#include "platform/media/filters/WaveParserInputPin.h"

#include <algorithm>

#include "platform/com/ComPtr.h"
#include "platform/media/filters/WaveParserFilter.h"
#include "platform/media/uuids.h"

namespace {

// Queued reads in flight and the size of each, as the reader's allocator grants them.
constexpr long kReadBuffers = 4;

}  // namespace

WaveParserInputPin::WaveParserInputPin(WaveParserFilter* filter, CCritSec* lock)
    : CBasePin("Wave Parser input pin", filter, lock, u"input", PINDIR_INPUT),
      m_parser(filter),
      m_reader(filter) {}

WaveParserInputPin::~WaveParserInputPin() {
    m_reader.Disconnect();
}

HRESULT WaveParserInputPin::CheckMediaType(const CMediaType* type) {
    if (!type) return E_POINTER;
    return *type->Type() == MEDIATYPE_Stream && *type->Subtype() == MEDIASUBTYPE_WAVE ? S_OK
                                                                                      : S_FALSE;
}

HRESULT WaveParserInputPin::CheckConnect(IPin* pin) {
    HRESULT hr = CBasePin::CheckConnect(pin);
    if (FAILED(hr)) return hr;
    ComPtr<IAsyncReader> reader;
    hr = pin->QueryInterface(IID_PPV_ARGS(reader.GetAddressOf()));
    return FAILED(hr) ? VFW_E_NO_TRANSPORT : S_OK;
}

bool WaveParserInputPin::ReadLayout(IAsyncReader* reader, WaveLayout* layout) {
    LONGLONG total = 0;
    LONGLONG available = 0;
    if (FAILED(reader->Length(&total, &available)) || total <= 0) return false;
    const auto read = [reader](int64_t position, uint32_t length, uint8_t* buffer) {
        if (length > static_cast<uint32_t>(INT32_MAX)) return false;
        return reader->SyncRead(position, static_cast<LONG>(length), buffer) == S_OK;
    };
    return WaveHeaderParser::Parse(read, total, layout);
}

HRESULT WaveParserInputPin::CompleteConnect(IPin* receive_pin) {
    ComPtr<IAsyncReader> reader;
    if (FAILED(receive_pin->QueryInterface(IID_PPV_ARGS(reader.GetAddressOf())))) {
        return VFW_E_NO_TRANSPORT;
    }
    WaveLayout layout;
    if (!ReadLayout(reader.Get(), &layout)) return VFW_E_INVALID_FILE_FORMAT;
    HRESULT hr = m_parser->SetLayout(layout);
    if (FAILED(hr)) return hr;
    ALLOCATOR_PROPERTIES request{kReadBuffers, static_cast<long>(m_parser->Timeline().ChunkBytes()),
                                 1, 0};
    hr = m_reader.Connect(receive_pin, nullptr, FALSE, &request);
    if (FAILED(hr)) {
        m_parser->ClearLayout();
        return hr;
    }
    return CBasePin::CompleteConnect(receive_pin);
}

HRESULT WaveParserInputPin::BreakConnect() {
    m_reader.Disconnect();
    m_parser->ClearLayout();
    return CBasePin::BreakConnect();
}

HRESULT WaveParserInputPin::StartPulling(int64_t start, int64_t stop) {
    HRESULT hr = m_reader.Seek(start * UNITS, stop * UNITS);
    if (FAILED(hr)) return hr;
    return m_reader.Active();
}

HRESULT WaveParserInputPin::StopPulling() {
    return m_reader.Inactive();
}

HRESULT WaveParserInputPin::Inactive() {
    return m_parser->StopStreaming();
}
