#include "tests/platform/media/support/TestSourceFilter.h"

#include <algorithm>
#include <cstring>

#include "platform/media/uuids.h"

// ---- pin -----------------------------------------------------------------------------------

TestSourcePin::TestSourcePin(TestSourceFilter* filter, CCritSec* lock, const CMediaType& type)
    : CBaseOutputPin("test source pin", filter, lock, u"Output"), offered_type(type) {}

HRESULT TestSourcePin::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IMediaSeeking)) {
        return GetInterface(static_cast<IMediaSeeking*>(this), object);
    }
    return CBaseOutputPin::NonDelegatingQueryInterface(iid, object);
}

HRESULT TestSourcePin::CheckMediaType(const CMediaType* type) {
    return IsEqualGUID(*type->Type(), *offered_type.Type()) &&
                   IsEqualGUID(*type->Subtype(), *offered_type.Subtype())
               ? S_OK
               : S_FALSE;
}

HRESULT TestSourcePin::GetMediaType(int position, CMediaType* type) {
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    return type->Set(offered_type);
}

HRESULT TestSourcePin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
    request->cBuffers = std::max(request->cBuffers, buffers);
    request->cbBuffer = std::max(request->cbBuffer, buffer_size);
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT hr = allocator->SetProperties(request, &actual);
    if (FAILED(hr)) return hr;
    return actual.cbBuffer < buffer_size ? E_FAIL : S_OK;
}

HRESULT TestSourcePin::GetCapabilities(DWORD* capabilities) {
    if (!capabilities) return E_POINTER;
    *capabilities = AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanGetDuration;
    return S_OK;
}
HRESULT TestSourcePin::CheckCapabilities(DWORD* /*capabilities*/) {
    return E_NOTIMPL;
}
HRESULT TestSourcePin::IsFormatSupported(const GUID* format) {
    if (!format) return E_POINTER;
    return IsEqualGUID(*format, TIME_FORMAT_MEDIA_TIME) ? S_OK : S_FALSE;
}
HRESULT TestSourcePin::QueryPreferredFormat(GUID* format) {
    return GetTimeFormat(format);
}
HRESULT TestSourcePin::GetTimeFormat(GUID* format) {
    if (!format) return E_POINTER;
    *format = TIME_FORMAT_MEDIA_TIME;
    return S_OK;
}
HRESULT TestSourcePin::IsUsingTimeFormat(const GUID* format) {
    return IsFormatSupported(format);
}
HRESULT TestSourcePin::SetTimeFormat(const GUID* format) {
    return IsFormatSupported(format) == S_OK ? S_OK : E_INVALIDARG;
}
HRESULT TestSourcePin::GetDuration(LONGLONG* value) {
    if (!value) return E_POINTER;
    *value = duration;
    return S_OK;
}
HRESULT TestSourcePin::GetStopPosition(LONGLONG* stop) {
    return GetDuration(stop);
}
HRESULT TestSourcePin::GetCurrentPosition(LONGLONG* /*current*/) {
    return E_NOTIMPL;
}
HRESULT TestSourcePin::ConvertTimeFormat(LONGLONG* /*target*/, const GUID* /*target_format*/,
                                         LONGLONG /*source*/, const GUID* /*source_format*/) {
    return E_NOTIMPL;
}
HRESULT TestSourcePin::SetPositions(LONGLONG* current, DWORD current_flags, LONGLONG* /*stop*/,
                                    DWORD /*stop_flags*/) {
    if ((current_flags & AM_SEEKING_PositioningBitsMask) != AM_SEEKING_NoPositioning) {
        if (!current) return E_POINTER;
        positions_set.push_back(*current);
    }
    return S_OK;
}
HRESULT TestSourcePin::GetPositions(LONGLONG* /*current*/, LONGLONG* /*stop*/) {
    return E_NOTIMPL;
}
HRESULT TestSourcePin::GetAvailable(LONGLONG* /*earliest*/, LONGLONG* /*latest*/) {
    return E_NOTIMPL;
}
HRESULT TestSourcePin::SetRate(double rate) {
    return rate == 1.0 ? S_OK : E_NOTIMPL;
}
HRESULT TestSourcePin::GetRate(double* rate) {
    if (!rate) return E_POINTER;
    *rate = 1.0;
    return S_OK;
}
HRESULT TestSourcePin::GetPreroll(LONGLONG* /*preroll*/) {
    return E_NOTIMPL;
}

// ---- filter --------------------------------------------------------------------------------

TestSourceFilter::TestSourceFilter(const CMediaType& type)
    : CBaseFilter("test source", &m_filter_lock, GUID_NULL),
      m_pin(std::make_unique<TestSourcePin>(this, &m_filter_lock, type)) {}

TestSourceFilter::~TestSourceFilter() {
    if (m_thread.joinable()) m_thread.join();
}

void TestSourceFilter::SetScript(std::vector<ScriptedSample> samples, bool end_of_stream) {
    m_script = std::move(samples);
    m_end_of_stream = end_of_stream;
}

CBasePin* TestSourceFilter::GetPin(int index) {
    return index == 0 ? m_pin.get() : nullptr;
}

HRESULT TestSourceFilter::Activate() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_done = false;
        m_results.clear();
    }
    if (m_thread.joinable()) m_thread.join();
    m_thread = std::thread(&TestSourceFilter::Stream, this);
    return S_OK;
}

HRESULT TestSourceFilter::Deactivate() {
    // The pin is inactive already: its allocator is decommitted, so the thread ends.
    if (m_thread.joinable()) m_thread.join();
    return S_OK;
}

void TestSourceFilter::Stream() {
    HRESULT hr = S_OK;
    for (const ScriptedSample& scripted : m_script) {
        IMediaSample* sample = nullptr;
        hr = m_pin->GetDeliveryBuffer(&sample, nullptr, nullptr, 0);
        if (SUCCEEDED(hr)) {
            BYTE* buffer = nullptr;
            sample->GetPointer(&buffer);
            const long length =
                std::min<long>(static_cast<long>(scripted.data.size()), sample->GetSize());
            std::memcpy(buffer, scripted.data.data(), static_cast<size_t>(length));
            sample->SetActualDataLength(length);
            REFERENCE_TIME start = scripted.start;
            REFERENCE_TIME stop = scripted.stop;
            sample->SetTime(scripted.timed ? &start : nullptr, scripted.timed ? &stop : nullptr);
            sample->SetDiscontinuity(scripted.discontinuity ? TRUE : FALSE);
            hr = m_pin->Deliver(sample);
            sample->Release();
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_results.push_back(hr);
        }
        if (hr != S_OK) break;
    }
    if (hr == S_OK && m_end_of_stream) m_pin->DeliverEndOfStream();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_done = true;
    }
    m_changed.notify_all();
}

bool TestSourceFilter::WaitUntilDone(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_done; });
}

std::vector<HRESULT> TestSourceFilter::DeliveryResults() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_results;
}
