#include "platform/media/base/CMemAllocator.h"

#include <cstdint>
#include <limits>
#include <new>

#include "platform/media/base/CMediaSample.h"

namespace {

bool IsPowerOfTwo(long value) {
    return value > 0 && (value & (value - 1)) == 0;
}

}  // namespace

CMemAllocator::CMemAllocator(LPCSTR object_name) : CUnknown(object_name) {}

CMemAllocator::~CMemAllocator() {
    std::lock_guard<std::mutex> lock(m_mutex);
    FreeLocked();
}

HRESULT CMemAllocator::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* allocator = new (std::nothrow) CMemAllocator();
    if (!allocator) return E_OUTOFMEMORY;
    allocator->NonDelegatingAddRef();
    const HRESULT hr = allocator->NonDelegatingQueryInterface(iid, object);
    allocator->NonDelegatingRelease();
    return hr;
}

HRESULT CMemAllocator::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IMemAllocator)) {
        return GetInterface(static_cast<IMemAllocator*>(this), object);
    }
    return CUnknown::NonDelegatingQueryInterface(iid, object);
}

HRESULT CMemAllocator::SetProperties(ALLOCATOR_PROPERTIES* request, ALLOCATOR_PROPERTIES* actual) {
    if (!request || !actual) return E_POINTER;
    if (request->cBuffers < 0 || request->cbBuffer < 0 || request->cbPrefix < 0) {
        return E_INVALIDARG;
    }
    if (!IsPowerOfTwo(request->cbAlign)) return VFW_E_BADALIGN;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_committed) return VFW_E_ALREADY_COMMITTED;
    if (m_free.size() != m_samples.size()) return VFW_E_BUFFERS_OUTSTANDING;
    // Round prefix + buffer up to the alignment, so every buffer starts aligned.
    const int64_t align = request->cbAlign;
    const int64_t span = request->cbBuffer + static_cast<int64_t>(request->cbPrefix);
    const int64_t rounded = (span + align - 1) / align * align;
    if (rounded - request->cbPrefix > std::numeric_limits<long>::max()) return E_INVALIDARG;
    m_properties = *request;
    m_properties.cbBuffer = static_cast<long>(rounded - request->cbPrefix);
    *actual = m_properties;
    return S_OK;
}

HRESULT CMemAllocator::GetProperties(ALLOCATOR_PROPERTIES* properties) {
    if (!properties) return E_POINTER;
    std::lock_guard<std::mutex> lock(m_mutex);
    *properties = m_properties;
    return S_OK;
}

HRESULT CMemAllocator::Commit() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_committed) return S_OK;
    if (m_decommit_pending) {
        // The buffers still out come back into a committed pool again.
        m_decommit_pending = false;
        m_committed = true;
        return S_OK;
    }
    if (m_properties.cBuffers <= 0 || m_properties.cbBuffer <= 0) return VFW_E_SIZENOTSET;
    const HRESULT hr = AllocateLocked();
    if (FAILED(hr)) return hr;
    m_committed = true;
    return S_OK;
}

HRESULT CMemAllocator::AllocateLocked() {
    const int64_t stride = static_cast<int64_t>(m_properties.cbPrefix) + m_properties.cbBuffer;
    const int64_t total = stride * m_properties.cBuffers + m_properties.cbAlign;
    if (total <= 0 || total > (int64_t{1} << 40)) return E_OUTOFMEMORY;
    std::unique_ptr<BYTE[]> memory(new (std::nothrow) BYTE[static_cast<size_t>(total)]);
    if (!memory) return E_OUTOFMEMORY;
    // The first buffer's data (after its prefix) starts on an alignment boundary.
    const auto address = reinterpret_cast<uintptr_t>(memory.get()) + m_properties.cbPrefix;
    const uintptr_t align = static_cast<uintptr_t>(m_properties.cbAlign);
    const size_t skip = static_cast<size_t>((align - address % align) % align);
    BYTE* data = memory.get() + skip + m_properties.cbPrefix;
    std::vector<std::unique_ptr<CMediaSample>> samples;
    samples.reserve(static_cast<size_t>(m_properties.cBuffers));
    for (long i = 0; i < m_properties.cBuffers; ++i) {
        samples.push_back(
            std::make_unique<CMediaSample>(this, data + stride * i, m_properties.cbBuffer));
    }
    m_memory = std::move(memory);
    m_samples = std::move(samples);
    m_free.clear();
    for (auto& sample : m_samples)
        m_free.push_back(sample.get());
    return S_OK;
}

void CMemAllocator::FreeLocked() {
    m_free.clear();
    m_samples.clear();
    m_memory.reset();
    m_decommit_pending = false;
}

HRESULT CMemAllocator::Decommit() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_committed) return S_OK;
        m_committed = false;
        if (m_free.size() == m_samples.size()) {
            FreeLocked();
        } else {
            m_decommit_pending = true;
        }
    }
    m_returned.notify_all();
    return S_OK;
}

HRESULT CMemAllocator::GetBuffer(IMediaSample** sample, REFERENCE_TIME* /*start*/,
                                 REFERENCE_TIME* /*stop*/, DWORD flags) {
    if (!sample) return E_POINTER;
    *sample = nullptr;
    CMediaSample* taken = nullptr;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            if (!m_committed) return VFW_E_NOT_COMMITTED;
            if (!m_free.empty()) break;
            if (flags & AM_GBF_NOWAIT) return VFW_E_TIMEOUT;
            m_returned.wait(lock);
        }
        taken = m_free.back();
        m_free.pop_back();
        taken->HandOut();
    }
    NonDelegatingAddRef();  // released when the sample comes back
    *sample = taken;
    return S_OK;
}

HRESULT CMemAllocator::ReleaseBuffer(IMediaSample* sample) {
    if (!sample) return E_POINTER;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        CMediaSample* returned = nullptr;
        for (auto& owned : m_samples) {
            if (static_cast<IMediaSample*>(owned.get()) == sample) returned = owned.get();
        }
        if (!returned) return E_INVALIDARG;
        for (CMediaSample* free_sample : m_free) {
            if (free_sample == returned) return E_INVALIDARG;  // already back
        }
        returned->ResetProperties();
        m_free.push_back(returned);
        if (m_decommit_pending && m_free.size() == m_samples.size()) FreeLocked();
    }
    m_returned.notify_one();
    NonDelegatingRelease();  // may delete this allocator: nothing of it is touched after
    return S_OK;
}

long CMemAllocator::BuffersOut() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<long>(m_samples.size() - m_free.size());
}
