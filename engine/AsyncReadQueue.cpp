#include "engine/AsyncReadQueue.h"

#include <cstdint>
#include <new>

#include "engine/AsyncReadRequest.h"
#include "platform/com/LastError.h"
#include "platform/sync/CAutoLock.h"

namespace {

// A flush re-checks the worker this often, should a wake-up get lost.
constexpr DWORD kFlushPollMs = 100;

}  // namespace

AsyncReadQueue::AsyncReadQueue(ByteStream* stream) : m_stream(stream) {}

AsyncReadQueue::~AsyncReadQueue() {
    BeginFlush();
    StopWorker();
}

bool AsyncReadQueue::IsAligned(LONGLONG value) const {
    const LONGLONG alignment = m_stream->Alignment();
    return alignment <= 1 || value % alignment == 0;
}

bool AsyncReadQueue::IsAligned(const BYTE* buffer) const {
    return IsAligned(static_cast<LONGLONG>(reinterpret_cast<uintptr_t>(buffer)));
}

HRESULT AsyncReadQueue::Request(LONGLONG position, LONG length, BOOL aligned, BYTE* buffer,
                                IMediaSample* context, DWORD_PTR user) {
    if (!buffer && length > 0) return E_POINTER;
    if (position < 0 || length < 0) return E_INVALIDARG;
    if (aligned && !(IsAligned(position) && IsAligned(length) && IsAligned(buffer))) {
        return VFW_E_BADALIGN;
    }
    // Made outside the lock and spliced in, so the lists never allocate under it.
    RequestList fresh;
    try {
        fresh.emplace_back(m_stream, position, length, aligned != FALSE, buffer, context, user);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    CAutoLock lock(&m_lists_lock);
    if (m_flushing) return VFW_E_WRONG_STATE;
    m_work.splice(m_work.end(), fresh);
    m_work_event.Set();
    const HRESULT hr = StartWorkerLocked();
    if (FAILED(hr)) {
        m_work.pop_back();
        if (m_work.empty()) m_work_event.Reset();
    }
    return hr;
}

HRESULT AsyncReadQueue::WaitForNext(DWORD milliseconds, IMediaSample** context, DWORD_PTR* user,
                                    LONG* bytes) {
    if (!context || !user || !bytes) return E_POINTER;
    *context = nullptr;
    *user = 0;
    *bytes = 0;
    for (;;) {
        if (!m_done_event.Wait(milliseconds)) return VFW_E_TIMEOUT;
        CAutoLock lock(&m_lists_lock);
        if (m_done.empty()) {
            if (m_flushing && !m_waiting) return VFW_E_WRONG_STATE;
            m_done_event.Reset();  // whoever set it finds nothing here: wait again
            continue;
        }
        const AsyncReadRequest& request = m_done.front();
        HRESULT hr = request.Result();
        if (hr == S_FALSE) {
            const bool at_end = request.StreamEnded() ||
                                request.Position() + request.Length() == m_stream->Size(nullptr);
            hr = at_end ? S_OK : E_FAIL;
        }
        *context = request.Context();
        *user = request.User();
        *bytes = request.Length();
        m_done.pop_front();
        // A flush that no longer waits keeps the event set: the next call must not block.
        if (m_done.empty() && !(m_flushing && !m_waiting)) m_done_event.Reset();
        return hr;
    }
}

HRESULT AsyncReadQueue::SyncReadAligned(LONGLONG position, LONG length, BYTE* buffer, LONG* bytes,
                                        IMediaSample* context) {
    if (!buffer) return E_POINTER;
    if (position < 0 || length < 0) return E_INVALIDARG;
    if (!(IsAligned(position) && IsAligned(length) && IsAligned(buffer))) return VFW_E_BADALIGN;
    AsyncReadRequest request(m_stream, position, length, true, buffer, context, 0);
    request.Complete();
    if (bytes) *bytes = request.Length();
    return request.Result();
}

HRESULT AsyncReadQueue::SyncRead(LONGLONG position, LONG length, BYTE* buffer) {
    if (!buffer) return E_POINTER;
    if (position < 0 || length < 0) return E_INVALIDARG;
    if (IsAligned(position) && IsAligned(length) && IsAligned(buffer)) {
        LONG bytes = 0;
        return SyncReadAligned(position, length, buffer, &bytes, nullptr);
    }
    AsyncReadRequest request(m_stream, position, length, false, buffer, nullptr, 0);
    request.Complete();
    return request.Result();
}

HRESULT AsyncReadQueue::Length(LONGLONG* total, LONGLONG* available) {
    if (!total) return E_POINTER;
    *total = m_stream->Size(available);
    return S_OK;
}

HRESULT AsyncReadQueue::Alignment(LONG* alignment) {
    if (!alignment) return E_POINTER;
    *alignment = static_cast<LONG>(m_stream->Alignment());
    return S_OK;
}

HRESULT AsyncReadQueue::BeginFlush() {
    {
        CAutoLock lock(&m_lists_lock);
        m_flushing = true;
        // Handed back unread: their result is still VFW_E_TIMEOUT.
        m_done.splice(m_done.end(), m_work);
        m_work_event.Reset();
        if (m_items_out == 0) {
            m_done_event.Set();
            return S_OK;
        }
        m_waiting = true;
    }
    for (;;) {
        m_all_done_event.Wait(kFlushPollMs);
        CAutoLock lock(&m_lists_lock);
        if (m_items_out == 0) {
            m_waiting = false;
            m_done_event.Set();
            return S_OK;
        }
    }
}

HRESULT AsyncReadQueue::EndFlush() {
    CAutoLock lock(&m_lists_lock);
    m_flushing = false;
    if (m_done.empty()) {
        m_done_event.Reset();
    } else {
        m_done_event.Set();
    }
    return S_OK;
}

// ---- the worker --------------------------------------------------------------------------

HRESULT AsyncReadQueue::StartWorkerLocked() {
    if (m_worker) {
        if (WaitForSingleObject(m_worker, 0) == WAIT_TIMEOUT) return S_OK;
        // It ended on a failed wait: start another rather than leave the reads unserved.
        CloseHandle(m_worker);
        m_worker = nullptr;
    }
    m_stop_event.Reset();
    m_worker = CreateThread(nullptr, 0, &AsyncReadQueue::WorkerMain, this, 0, nullptr);
    if (m_worker) return S_OK;
    const DWORD error = GetLastError();
    return HRESULT_FROM_WIN32(error != ERROR_SUCCESS ? error : ERROR_NOT_ENOUGH_MEMORY);
}

void AsyncReadQueue::StopWorker() {
    HANDLE worker = nullptr;
    {
        CAutoLock lock(&m_lists_lock);
        worker = m_worker;
        m_worker = nullptr;
    }
    if (!worker) return;
    m_stop_event.Set();
    WaitForSingleObject(worker, INFINITE);
    CloseHandle(worker);
}

DWORD AsyncReadQueue::WorkerMain(LPVOID queue) {
    static_cast<AsyncReadQueue*>(queue)->Work();
    return 0;
}

void AsyncReadQueue::Work() {
    const HANDLE events[] = {m_stop_event.Handle(), m_work_event.Handle()};
    for (;;) {
        if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) return;
        RequestList current;
        while (TakeWork(&current)) {
            current.front().Complete();
            FinishWork(&current);
        }
    }
}

bool AsyncReadQueue::TakeWork(RequestList* taken) {
    CAutoLock lock(&m_lists_lock);
    if (m_work.empty()) {
        m_work_event.Reset();
        return false;
    }
    taken->splice(taken->end(), m_work, m_work.begin());
    if (m_work.empty()) m_work_event.Reset();
    ++m_items_out;
    return true;
}

void AsyncReadQueue::FinishWork(RequestList* finished) {
    CAutoLock lock(&m_lists_lock);
    m_done.splice(m_done.end(), *finished);
    m_done_event.Set();
    if (--m_items_out == 0 && m_waiting) m_all_done_event.Set();
}
