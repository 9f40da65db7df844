#include "tests/platform/media/support/MemoryReaderFilter.h"

#include <chrono>
#include <cstring>

#include "platform/media/base/CMemAllocator.h"
#include "platform/media/base/CPullPin.h"
#include "platform/media/uuids.h"

// ---- pin -----------------------------------------------------------------------------------

MemoryReaderPin::MemoryReaderPin(MemoryReaderFilter* filter, CCritSec* lock)
    : CBasePin("memory reader pin", filter, lock, u"Output", PINDIR_OUTPUT), m_reader(filter) {}

HRESULT MemoryReaderPin::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IAsyncReader)) {
        return GetInterface(static_cast<IAsyncReader*>(this), object);
    }
    return CBasePin::NonDelegatingQueryInterface(iid, object);
}

HRESULT MemoryReaderPin::CheckMediaType(const CMediaType* type) {
    return IsEqualGUID(*type->Type(), *m_reader->m_type.Type()) ? S_OK : S_FALSE;
}

HRESULT MemoryReaderPin::GetMediaType(int position, CMediaType* type) {
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    return type->Set(m_reader->m_type);
}

HRESULT MemoryReaderPin::RequestAllocator(IMemAllocator* preferred,
                                          ALLOCATOR_PROPERTIES* properties,
                                          IMemAllocator** actual) {
    if (!properties || !actual) return E_POINTER;
    *actual = nullptr;
    ALLOCATOR_PROPERTIES wanted = *properties;
    if (wanted.cbAlign == 0) wanted.cbAlign = 1;
    ALLOCATOR_PROPERTIES granted{};
    if (preferred && SUCCEEDED(preferred->SetProperties(&wanted, &granted))) {
        preferred->AddRef();
        *actual = preferred;
        return S_OK;
    }
    ComPtr<IMemAllocator> own;
    HRESULT hr = CMemAllocator::CreateInstance(nullptr, IID_IMemAllocator,
                                               reinterpret_cast<void**>(own.GetAddressOf()));
    if (FAILED(hr)) return hr;
    hr = own->SetProperties(&wanted, &granted);
    if (FAILED(hr)) return hr;
    *actual = own.Detach();
    return S_OK;
}

HRESULT MemoryReaderPin::Copy(LONGLONG position, LONG length, BYTE* buffer, LONG* copied) {
    *copied = 0;
    const LONGLONG fail_at = m_reader->m_fail_at.load();
    if (fail_at >= 0 && fail_at >= position && fail_at < position + length) return E_FAIL;
    const auto size = static_cast<LONGLONG>(m_reader->m_data.size());
    if (position < 0 || length < 0) return E_INVALIDARG;
    if (position >= size) return S_FALSE;
    const LONGLONG count = std::min<LONGLONG>(length, size - position);
    std::memcpy(buffer, m_reader->m_data.data() + position, static_cast<size_t>(count));
    *copied = static_cast<LONG>(count);
    return count == length ? S_OK : S_FALSE;
}

HRESULT MemoryReaderPin::ReadInto(IMediaSample* sample) {
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    HRESULT hr = sample->GetTime(&start, &stop);
    if (FAILED(hr)) return hr;
    BYTE* buffer = nullptr;
    hr = sample->GetPointer(&buffer);
    if (FAILED(hr)) return hr;
    const LONGLONG position = start / UNITS;
    const LONGLONG length = (stop - start) / UNITS;
    if (length > sample->GetSize()) return VFW_E_BUFFER_OVERFLOW;
    LONG copied = 0;
    hr = Copy(position, static_cast<LONG>(length), buffer, &copied);
    sample->SetActualDataLength(copied);
    return hr;
}

HRESULT MemoryReaderPin::Request(IMediaSample* sample, DWORD_PTR user) {
    if (!sample) return E_POINTER;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_flushing) return VFW_E_WRONG_STATE;
    sample->AddRef();
    m_queue.push_back({sample, user});
    ++m_reader->m_queued_reads;
    m_changed.notify_all();
    return S_OK;
}

HRESULT MemoryReaderPin::WaitForNext(DWORD milliseconds, IMediaSample** sample, DWORD_PTR* user) {
    if (!sample || !user) return E_POINTER;
    *sample = nullptr;
    *user = 0;
    Pending taken{};
    bool flushed = false;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        const auto ready = [&] { return !m_queue.empty() || m_flushing; };
        if (milliseconds == INFINITE) {
            m_changed.wait(lock, ready);
        } else if (!m_changed.wait_for(lock, std::chrono::milliseconds(milliseconds), ready)) {
            return VFW_E_TIMEOUT;
        }
        if (m_queue.empty()) return VFW_E_WRONG_STATE;  // flushing, nothing left
        taken = m_queue.front();
        m_queue.pop_front();
        flushed = m_flushing;
    }
    // The caller still holds the sample it queued; the queue's own reference goes.
    *sample = taken.sample;
    *user = taken.user;
    const HRESULT hr = flushed ? VFW_E_TIMEOUT : ReadInto(taken.sample);
    taken.sample->Release();
    return hr;
}

HRESULT MemoryReaderPin::SyncReadAligned(IMediaSample* sample) {
    if (!sample) return E_POINTER;
    ++m_reader->m_sync_reads;
    return ReadInto(sample);
}

HRESULT MemoryReaderPin::SyncRead(LONGLONG position, LONG length, BYTE* buffer) {
    if (!buffer) return E_POINTER;
    ++m_reader->m_sync_reads;
    LONG copied = 0;
    return Copy(position, length, buffer, &copied);
}

HRESULT MemoryReaderPin::Length(LONGLONG* total, LONGLONG* available) {
    if (!total) return E_POINTER;
    *total = static_cast<LONGLONG>(m_reader->m_data.size());
    if (available) *available = *total;
    return S_OK;
}

HRESULT MemoryReaderPin::BeginFlush() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_flushing = true;
    }
    m_changed.notify_all();
    return S_OK;
}

HRESULT MemoryReaderPin::EndFlush() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_flushing = false;
    return S_OK;
}

MemoryReaderPin::~MemoryReaderPin() {
    // Requests never collected still hold the queue's reference.
    for (const Pending& pending : m_queue)
        pending.sample->Release();
}

// ---- filter --------------------------------------------------------------------------------

MemoryReaderFilter::MemoryReaderFilter(std::vector<BYTE> data)
    : CBaseFilter("memory reader", &m_filter_lock, GUID_NULL),
      m_data(std::move(data)),
      m_type(&MEDIATYPE_Stream),
      m_pin(std::make_unique<MemoryReaderPin>(this, &m_filter_lock)) {
    m_type.SetSubtype(&MEDIASUBTYPE_WAVE);
}

MemoryReaderFilter::~MemoryReaderFilter() = default;

CBasePin* MemoryReaderFilter::GetPin(int index) {
    return index == 0 ? m_pin.get() : nullptr;
}
