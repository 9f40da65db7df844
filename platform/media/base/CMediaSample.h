// CMediaSample: one buffer of a CMemAllocator as an IMediaSample, with its times, flags,
// actual length and an optional media type change. The allocator owns the object; a sample
// handed out by GetBuffer carries one reference, and its last Release gives it back to the
// allocator (ReleaseBuffer), which clears its properties for the next use.
// Threading: a sample is used by one thread at a time (the one that holds it); giving it back
// is safe from any thread.
#pragma once

#include <atomic>

#include "platform/media/base/CUnknown.h"
#include "platform/media/strmif.h"

class CMemAllocator;

class CMediaSample : public IMediaSample {
public:
    CMediaSample(CMemAllocator* allocator, BYTE* buffer, long size);
    ~CMediaSample() override;
    CMediaSample(const CMediaSample&) = delete;
    CMediaSample& operator=(const CMediaSample&) = delete;

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    // The last release returns the sample to its allocator.
    ULONG Release() override;

    HRESULT GetPointer(BYTE** buffer) override;
    long GetSize() override;
    HRESULT GetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop) override;
    HRESULT SetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop) override;
    HRESULT IsSyncPoint() override;
    HRESULT SetSyncPoint(BOOL sync_point) override;
    HRESULT IsPreroll() override;
    HRESULT SetPreroll(BOOL preroll) override;
    long GetActualDataLength() override;
    // VFW_E_BUFFER_OVERFLOW beyond the buffer's size, E_INVALIDARG below 0.
    HRESULT SetActualDataLength(long length) override;
    HRESULT GetMediaType(AM_MEDIA_TYPE** type) override;
    HRESULT SetMediaType(AM_MEDIA_TYPE* type) override;
    HRESULT IsDiscontinuity() override;
    HRESULT SetDiscontinuity(BOOL discontinuity) override;
    HRESULT GetMediaTime(LONGLONG* start, LONGLONG* stop) override;
    HRESULT SetMediaTime(LONGLONG* start, LONGLONG* stop) override;

    // ---- for the allocator ----
    // Clears times, flags and type; the length becomes the whole buffer.
    void ResetProperties();
    // The count becomes 1 as the sample is handed out.
    void HandOut() { m_references = 1; }

private:
    enum Flags : DWORD {
        kSyncPoint = 0x1,
        kPreroll = 0x2,
        kDiscontinuity = 0x4,
        kTimeValid = 0x10,
        kStopValid = 0x100,
        kMediaTimeValid = 0x200,
    };
    bool Has(DWORD flag) const { return (m_flags & flag) != 0; }
    void Put(DWORD flag, BOOL on) { m_flags = on ? (m_flags | flag) : (m_flags & ~flag); }

    CMemAllocator* const m_allocator;
    BYTE* const m_buffer;
    const long m_size;
    std::atomic<ULONG> m_references{0};
    long m_actual;
    DWORD m_flags = 0;
    REFERENCE_TIME m_start = 0;
    REFERENCE_TIME m_stop = 0;
    LONGLONG m_media_start = 0;
    LONGLONG m_media_stop = 0;
    AM_MEDIA_TYPE* m_type = nullptr;
};
