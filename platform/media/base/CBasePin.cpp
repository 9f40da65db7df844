#include "platform/media/base/CBasePin.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/com/objbase.h"
#include "platform/media/base/CEnumMediaTypes.h"
#include "platform/sync/CAutoLock.h"

CBasePin::CBasePin(LPCSTR object_name, CBaseFilter* filter, CCritSec* lock, LPCWSTR pin_name,
                   PIN_DIRECTION direction)
    : CUnknown(object_name),
      m_filter(filter),
      m_lock(lock),
      m_name(pin_name ? pin_name : u""),
      m_direction(direction) {}

CBasePin::~CBasePin() = default;

HRESULT CBasePin::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IPin)) return GetInterface(static_cast<IPin*>(this), object);
    return CUnknown::NonDelegatingQueryInterface(iid, object);
}

ULONG CBasePin::NonDelegatingAddRef() {
    return m_filter->AddRef();
}

ULONG CBasePin::NonDelegatingRelease() {
    return m_filter->Release();
}

HRESULT CBasePin::Connect(IPin* receive_pin, const AM_MEDIA_TYPE* type) {
    if (!receive_pin) return E_POINTER;
    CAutoLock lock(m_lock);
    if (m_connected) return VFW_E_ALREADY_CONNECTED;
    if (!IsStopped()) return VFW_E_NOT_STOPPED;
    if (!type) return AgreeMediaType(receive_pin, nullptr);
    const CMediaType wanted(*type);
    return AgreeMediaType(receive_pin, &wanted);
}

HRESULT CBasePin::AgreeMediaType(IPin* receive_pin, const CMediaType* type) {
    if (type && !type->IsPartiallySpecified()) return AttemptConnection(receive_pin, type);
    HRESULT failure = VFW_E_NO_ACCEPTABLE_TYPES;
    for (int round = 0; round < 2; ++round) {
        const bool mine = (round == 0) == m_try_my_types_first;
        ComPtr<IEnumMediaTypes> types;
        const HRESULT got = mine ? EnumMediaTypes(types.ReleaseAndGetAddressOf())
                                 : receive_pin->EnumMediaTypes(types.ReleaseAndGetAddressOf());
        if (FAILED(got) || !types) continue;
        const HRESULT hr = TryMediaTypes(receive_pin, type, types.Get());
        if (SUCCEEDED(hr)) return hr;
        // Keep the most telling reason: a refusal of a type says less than a real error.
        if (hr != VFW_E_NO_ACCEPTABLE_TYPES && hr != VFW_E_TYPE_NOT_ACCEPTED && hr != E_FAIL) {
            failure = hr;
        }
    }
    return failure;
}

HRESULT CBasePin::TryMediaTypes(IPin* receive_pin, const CMediaType* partial,
                                IEnumMediaTypes* types) {
    if (FAILED(types->Reset())) return VFW_E_NO_ACCEPTABLE_TYPES;
    HRESULT failure = VFW_E_NO_ACCEPTABLE_TYPES;
    for (;;) {
        AM_MEDIA_TYPE* raw = nullptr;
        ULONG fetched = 0;
        if (types->Next(1, &raw, &fetched) != S_OK || fetched != 1 || !raw) break;
        const CMediaType candidate(*raw);
        DeleteMediaType(raw);
        if (partial && !candidate.MatchesPartial(partial)) continue;
        const HRESULT hr = AttemptConnection(receive_pin, &candidate);
        if (SUCCEEDED(hr)) return hr;
        if (failure == VFW_E_NO_ACCEPTABLE_TYPES || hr != VFW_E_TYPE_NOT_ACCEPTED) failure = hr;
    }
    return failure;
}

HRESULT CBasePin::AttemptConnection(IPin* receive_pin, const CMediaType* type) {
    HRESULT hr = CheckConnect(receive_pin);
    if (FAILED(hr)) {
        BreakConnect();
        return hr;
    }
    hr = CheckMediaType(type);
    if (hr != S_OK) {
        BreakConnect();
        return SUCCEEDED(hr) || hr == E_FAIL || hr == E_INVALIDARG ? VFW_E_TYPE_NOT_ACCEPTED : hr;
    }
    m_connected = receive_pin;
    hr = SetMediaType(type);
    if (SUCCEEDED(hr)) {
        hr = receive_pin->ReceiveConnection(this, type);
        if (SUCCEEDED(hr)) {
            hr = CompleteConnect(receive_pin);
            if (SUCCEEDED(hr)) return S_OK;
            receive_pin->Disconnect();
        }
    }
    DropConnection();
    return hr;
}

void CBasePin::DropConnection() {
    BreakConnect();
    m_connected = nullptr;
    FreeMediaType(m_mt);  // InitMediaType alone would leak the format block
    m_mt.InitMediaType();
}

HRESULT CBasePin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) {
    if (!connector || !type) return E_POINTER;
    CAutoLock lock(m_lock);
    if (m_connected) return VFW_E_ALREADY_CONNECTED;
    if (!IsStopped()) return VFW_E_NOT_STOPPED;
    HRESULT hr = CheckConnect(connector);
    if (FAILED(hr)) {
        BreakConnect();
        return hr;
    }
    const CMediaType offered(*type);
    hr = CheckMediaType(&offered);
    if (hr != S_OK) {
        BreakConnect();
        return SUCCEEDED(hr) || hr == E_FAIL || hr == E_INVALIDARG ? VFW_E_TYPE_NOT_ACCEPTED : hr;
    }
    m_connected = connector;
    hr = SetMediaType(&offered);
    if (SUCCEEDED(hr)) hr = CompleteConnect(connector);
    if (SUCCEEDED(hr)) return S_OK;
    DropConnection();
    return hr;
}

HRESULT CBasePin::Disconnect() {
    CAutoLock lock(m_lock);
    if (!IsStopped()) return VFW_E_NOT_STOPPED;
    if (!m_connected) return S_FALSE;
    const HRESULT hr = BreakConnect();
    if (FAILED(hr)) return hr;
    m_connected = nullptr;
    FreeMediaType(m_mt);  // InitMediaType alone would leak the format block
    m_mt.InitMediaType();
    return S_OK;
}

HRESULT CBasePin::ConnectedTo(IPin** pin) {
    if (!pin) return E_POINTER;
    CAutoLock lock(m_lock);
    *pin = m_connected.Get();
    if (!*pin) return VFW_E_NOT_CONNECTED;
    (*pin)->AddRef();
    return S_OK;
}

HRESULT CBasePin::ConnectionMediaType(AM_MEDIA_TYPE* type) {
    if (!type) return E_POINTER;
    CAutoLock lock(m_lock);
    if (!m_connected) {
        *type = AM_MEDIA_TYPE{};
        return VFW_E_NOT_CONNECTED;
    }
    return CopyMediaType(type, &m_mt);
}

HRESULT CBasePin::QueryPinInfo(PIN_INFO* info) {
    if (!info) return E_POINTER;
    info->pFilter = m_filter;
    m_filter->AddRef();
    info->dir = m_direction;
    const size_t length = std::min<size_t>(m_name.size(), MAX_PIN_NAME - 1);
    std::copy_n(m_name.begin(), length, info->achName);
    info->achName[length] = 0;
    return S_OK;
}

HRESULT CBasePin::QueryDirection(PIN_DIRECTION* direction) {
    if (!direction) return E_POINTER;
    *direction = m_direction;
    return S_OK;
}

HRESULT CBasePin::QueryId(LPWSTR* id) {
    if (!id) return E_POINTER;
    const size_t bytes = (m_name.size() + 1) * sizeof(WCHAR);
    *id = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (!*id) return E_OUTOFMEMORY;
    std::memcpy(*id, m_name.c_str(), bytes);
    return S_OK;
}

HRESULT CBasePin::QueryAccept(const AM_MEDIA_TYPE* type) {
    if (!type) return E_POINTER;
    const CMediaType offered(*type);
    return CheckMediaType(&offered) == S_OK ? S_OK : S_FALSE;
}

HRESULT CBasePin::EnumMediaTypes(IEnumMediaTypes** types) {
    if (!types) return E_POINTER;
    *types = nullptr;
    auto* enumerator = new (std::nothrow) CEnumMediaTypes(this, nullptr);
    if (!enumerator) return E_OUTOFMEMORY;
    enumerator->AddRef();
    *types = enumerator;
    return S_OK;
}

HRESULT CBasePin::QueryInternalConnections(IPin** /*pins*/, ULONG* /*count*/) {
    return E_NOTIMPL;
}

HRESULT CBasePin::EndOfStream() {
    return S_OK;
}

HRESULT CBasePin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    m_segment_start = start;
    m_segment_stop = stop;
    m_segment_rate = rate;
    return S_OK;
}

HRESULT CBasePin::GetMediaType(int position, CMediaType* /*type*/) {
    return position < 0 ? E_INVALIDARG : VFW_S_NO_MORE_ITEMS;
}

HRESULT CBasePin::CheckConnect(IPin* pin) {
    PIN_DIRECTION direction = PINDIR_INPUT;
    const HRESULT hr = pin->QueryDirection(&direction);
    if (FAILED(hr)) return hr;
    return direction == m_direction ? VFW_E_INVALID_DIRECTION : S_OK;
}

HRESULT CBasePin::SetMediaType(const CMediaType* type) {
    return m_mt.Set(*type);
}

HRESULT CBasePin::CompleteConnect(IPin* /*receive_pin*/) {
    return S_OK;
}

HRESULT CBasePin::BreakConnect() {
    return S_OK;
}
