#include "platform/media/filters/AsyncRequestQueue.h"

#include <chrono>
#include <system_error>

AsyncRequestQueue::AsyncRequestQueue(ReadFunction read) : m_read(std::move(read)) {}

AsyncRequestQueue::~AsyncRequestQueue() {
    BeginFlush();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_work_ready.notify_all();
    if (m_worker.joinable()) m_worker.join();
}

void AsyncRequestQueue::Complete(Item* item) const {
    const int64_t got = m_read ? m_read(item->position, item->buffer, item->length) : -1;
    if (got < 0) {
        item->actual = 0;
        item->result = E_FAIL;
        return;
    }
    item->actual = static_cast<long>(got);
    item->result = got == item->length ? S_OK : S_FALSE;
}

bool AsyncRequestQueue::StartWorkerLocked() {
    if (m_worker.joinable()) return true;
    try {
        m_worker = std::thread(&AsyncRequestQueue::WorkerLoop, this);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

HRESULT AsyncRequestQueue::Request(int64_t position, long length, BYTE* buffer,
                                   IMediaSample* context, DWORD_PTR user) {
    if (!buffer && length > 0) return E_POINTER;
    if (position < 0 || length < 0) return E_INVALIDARG;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_flushing) return VFW_E_WRONG_STATE;
        if (!StartWorkerLocked()) return E_OUTOFMEMORY;
        Item item;
        item.position = position;
        item.length = length;
        item.buffer = buffer;
        item.context = context;
        item.user = user;
        m_work.push_back(item);
    }
    m_work_ready.notify_one();
    return S_OK;
}

HRESULT AsyncRequestQueue::WaitForNext(DWORD milliseconds, IMediaSample** context, DWORD_PTR* user,
                                       long* actual) {
    if (!context || !user) return E_POINTER;
    *context = nullptr;
    *user = 0;
    if (actual) *actual = 0;
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto ready = [this] { return !m_done.empty() || m_flushing; };
    if (milliseconds == INFINITE) {
        m_done_ready.wait(lock, ready);
    } else if (!m_done_ready.wait_for(lock, std::chrono::milliseconds(milliseconds), ready)) {
        return VFW_E_TIMEOUT;
    }
    if (m_done.empty()) return VFW_E_WRONG_STATE;  // flushing, nothing left to hand back
    const Item item = m_done.front();
    m_done.pop_front();
    *context = item.context;
    *user = item.user;
    if (actual) *actual = item.actual;
    return item.result;
}

HRESULT AsyncRequestQueue::SyncRead(int64_t position, long length, BYTE* buffer, long* actual) {
    if (actual) *actual = 0;
    if (!buffer && length > 0) return E_POINTER;
    if (position < 0 || length < 0) return E_INVALIDARG;
    Item item;
    item.position = position;
    item.length = length;
    item.buffer = buffer;
    Complete(&item);
    if (actual) *actual = item.actual;
    return item.result;
}

void AsyncRequestQueue::BeginFlush() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_flushing = true;
    for (Item& item : m_work) {
        item.result = VFW_E_WRONG_STATE;
        item.actual = 0;
        m_done.push_back(item);
    }
    m_work.clear();
    m_done_ready.notify_all();
    // The read in progress lands on the done list too; wait for it so nothing is written
    // into a buffer after the flush.
    m_idle.wait(lock, [this] { return m_items_out == 0; });
    m_done_ready.notify_all();
}

void AsyncRequestQueue::EndFlush() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_flushing = false;
}

void AsyncRequestQueue::WorkerLoop() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_work_ready.wait(lock, [this] { return m_stopping || !m_work.empty(); });
        if (m_stopping) return;
        Item item = m_work.front();
        m_work.pop_front();
        ++m_items_out;
        lock.unlock();
        Complete(&item);
        lock.lock();
        m_done.push_back(item);
        --m_items_out;
        m_done_ready.notify_all();
        if (m_items_out == 0) m_idle.notify_all();
    }
}
