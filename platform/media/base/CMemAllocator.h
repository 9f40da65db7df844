// CMemAllocator: IMemAllocator over one block of memory cut into cBuffers buffers of cbBuffer
// bytes, each preceded by cbPrefix bytes and starting on a cbAlign boundary. Also creatable
// as CLSID_MemoryAllocator (RegisterMediaBaseClasses).
//
// Order of use: SetProperties (decommitted, no buffer out), Commit, GetBuffer / Release of the
// samples, Decommit. GetBuffer blocks while every buffer is out, until one comes back or the
// allocator is decommitted (then VFW_E_NOT_COMMITTED), so a Decommit always frees a waiting
// thread. Decommit with buffers out frees the memory once the last one has come back; a
// Commit before that takes the same memory up again.
// Each sample out holds a reference on the allocator, so the memory outlives every sample.
// Threading: any thread; an internal mutex guards the pool.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/media/base/CUnknown.h"
#include "platform/media/strmif.h"

class CMediaSample;

class CMemAllocator : public CUnknown, public IMemAllocator {
public:
    explicit CMemAllocator(LPCSTR object_name = "memory allocator");
    ~CMemAllocator() override;

    // A new allocator with one reference through QueryInterface(iid); the creator
    // of CLSID_MemoryAllocator (an outer object gives CLASS_E_NOAGGREGATION).
    static HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    // cbAlign must be a power of two (VFW_E_BADALIGN); negative values give E_INVALIDARG.
    // The granted cbBuffer is rounded up so that prefix + buffer is a multiple of cbAlign.
    HRESULT SetProperties(ALLOCATOR_PROPERTIES* request, ALLOCATOR_PROPERTIES* actual) override;
    HRESULT GetProperties(ALLOCATOR_PROPERTIES* properties) override;
    // VFW_E_SIZENOTSET before SetProperties gave buffers; E_OUTOFMEMORY when the block
    // cannot be had.
    HRESULT Commit() override;
    HRESULT Decommit() override;
    // AM_GBF_NOWAIT: VFW_E_TIMEOUT at once instead of waiting.
    HRESULT GetBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* stop,
                      DWORD flags) override;
    // Called by a sample on its last Release.
    HRESULT ReleaseBuffer(IMediaSample* sample) override;

    // Samples handed out and not yet back (for tests and diagnostics).
    long BuffersOut();

private:
    // Under m_mutex.
    HRESULT AllocateLocked();
    void FreeLocked();

    std::mutex m_mutex;
    std::condition_variable m_returned;  // a buffer came back or the allocator was decommitted
    ALLOCATOR_PROPERTIES m_properties{0, 0, 1, 0};
    bool m_committed = false;
    bool m_decommit_pending = false;  // decommitted with buffers out
    std::unique_ptr<BYTE[]> m_memory;
    std::vector<std::unique_ptr<CMediaSample>> m_samples;
    std::vector<CMediaSample*> m_free;
};
