#include "platform/media/base/CPullPin.h"

#include <algorithm>

namespace {

// How long one wait on the reader lasts before the thread looks for a command again.
constexpr DWORD kReaderPollMilliseconds = 50;
// How many polls a stop spends taking back requests that a flushed reader still holds.
constexpr int kCollectPolls = 40;

}  // namespace

CPullPin::CPullPin() = default;

CPullPin::~CPullPin() {
    StopThread();
}

HRESULT CPullPin::Connect(IUnknown* peer, IMemAllocator* preferred, BOOL sync,
                          const ALLOCATOR_PROPERTIES* request) {
    if (!peer) return E_POINTER;
    if (m_reader) return VFW_E_ALREADY_CONNECTED;
    ComPtr<IAsyncReader> reader;
    HRESULT hr = peer->QueryInterface(IID_PPV_ARGS(reader.GetAddressOf()));
    if (FAILED(hr)) return E_NOINTERFACE;

    ALLOCATOR_PROPERTIES wanted = request ? *request : ALLOCATOR_PROPERTIES{4, 64 * 1024, 1, 0};
    ComPtr<IMemAllocator> allocator;
    hr = reader->RequestAllocator(preferred, &wanted, allocator.GetAddressOf());
    if (FAILED(hr)) return hr;
    if (!allocator) return VFW_E_NO_ALLOCATOR;
    ALLOCATOR_PROPERTIES actual{};
    hr = allocator->GetProperties(&actual);
    if (FAILED(hr)) return hr;

    LONGLONG total = 0;
    LONGLONG available = 0;
    hr = reader->Length(&total, &available);
    if (FAILED(hr)) return hr;
    if (total < 0 || total > MAX_TIME / UNITS) return VFW_E_INVALID_FILE_FORMAT;

    m_reader = reader;
    m_allocator = allocator;
    m_sync = sync != FALSE;
    m_align = std::max(1L, actual.cbAlign);
    m_buffers = std::max(1L, actual.cBuffers);
    m_duration = total * UNITS;
    m_start = 0;
    m_stop = m_duration;
    return S_OK;
}

HRESULT CPullPin::Disconnect() {
    StopThread();
    if (m_allocator) m_allocator->Decommit();
    m_allocator = nullptr;
    m_reader = nullptr;
    return S_OK;
}

HRESULT CPullPin::Active() {
    if (!m_reader || !m_allocator) return VFW_E_NOT_CONNECTED;
    if (m_running) return S_OK;
    const HRESULT hr = m_allocator->Commit();
    if (FAILED(hr)) return hr;
    StartThread();
    return S_OK;
}

HRESULT CPullPin::Inactive() {
    StopThread();
    return S_OK;
}

HRESULT CPullPin::Seek(REFERENCE_TIME start, REFERENCE_TIME stop) {
    if (start < 0 || stop < start) return E_INVALIDARG;
    const bool was_running = m_running;
    StopDelivery();
    m_start = start;
    m_stop = stop;
    return was_running ? StartDelivery() : S_OK;
}

HRESULT CPullPin::StopDelivery() {
    if (m_running) PauseThread();
    return S_OK;
}

HRESULT CPullPin::StartDelivery() {
    if (!m_thread.joinable() || !m_allocator) return VFW_E_WRONG_STATE;
    if (m_running) return S_OK;
    const HRESULT hr = m_allocator->Commit();
    if (FAILED(hr)) return hr;
    CallWorker(Command::kRun);
    m_running = true;
    return S_OK;
}

HRESULT CPullPin::Duration(REFERENCE_TIME* duration) {
    if (!duration) return E_POINTER;
    *duration = m_duration;
    return S_OK;
}

REFERENCE_TIME CPullPin::AlignDown(REFERENCE_TIME time) const {
    const REFERENCE_TIME byte = time / UNITS;
    return (byte - byte % m_align) * UNITS;
}

// ---- thread control ------------------------------------------------------------------------

void CPullPin::StartThread() {
    if (!m_thread.joinable()) m_thread = std::thread(&CPullPin::ThreadMain, this);
    CallWorker(Command::kRun);
    m_running = true;
}

void CPullPin::PauseThread() {
    if (!m_thread.joinable()) return;
    // Release the thread wherever it waits: on the reader and on the allocator.
    if (m_reader) m_reader->BeginFlush();
    if (m_allocator) m_allocator->Decommit();
    CallWorker(Command::kPause);
    if (m_reader) m_reader->EndFlush();
    m_running = false;
}

void CPullPin::StopThread() {
    if (!m_thread.joinable()) return;
    if (m_reader) m_reader->BeginFlush();
    if (m_allocator) m_allocator->Decommit();
    CallWorker(Command::kExit);
    m_thread.join();
    if (m_reader) m_reader->EndFlush();
    m_running = false;
}

void CPullPin::CallWorker(Command command) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_command = command;
    const unsigned ticket = ++m_posted;
    m_pending = true;
    m_changed.notify_all();
    m_changed.wait(lock, [&] { return m_taken >= ticket; });
}

CPullPin::Command CPullPin::WaitForCommand() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [&] { return m_command != Command::kNone; });
    const Command command = m_command;
    m_command = Command::kNone;
    m_pending = false;
    m_taken = m_posted;
    m_changed.notify_all();
    return command;
}

void CPullPin::ThreadMain() {
    for (;;) {
        const Command command = WaitForCommand();
        if (command == Command::kExit) return;
        if (command == Command::kRun) Process();
    }
}

// ---- delivery ----------------------------------------------------------------------------

void CPullPin::Process() {
    REFERENCE_TIME stop = std::min(m_stop, m_duration);
    REFERENCE_TIME current = AlignDown(m_start);
    if (current >= stop) {
        EndOfStream();
        return;
    }
    const HRESULT hr = m_sync ? ProcessSync(current, stop) : ProcessQueued(current, stop);
    if (CommandPending()) return;  // asked to stop: neither end nor error
    if (hr == S_OK) {
        EndOfStream();
    } else if (FAILED(hr)) {
        OnError(hr);
    }
}

HRESULT CPullPin::Deliver(IMediaSample* sample) {
    const HRESULT hr = Receive(sample);
    sample->Release();
    return hr;
}

HRESULT CPullPin::ProcessSync(REFERENCE_TIME current, REFERENCE_TIME stop) {
    bool first = true;
    while (current < stop) {
        if (CommandPending()) return S_FALSE;
        IMediaSample* sample = nullptr;
        HRESULT hr = m_allocator->GetBuffer(&sample, nullptr, nullptr, 0);
        if (FAILED(hr)) return hr;
        REFERENCE_TIME end = std::min(current + sample->GetSize() * UNITS, stop);
        sample->SetTime(&current, &end);
        if (first) sample->SetDiscontinuity(TRUE);
        first = false;
        hr = m_reader->SyncReadAligned(sample);
        if (FAILED(hr)) {
            sample->Release();
            return hr;
        }
        hr = Deliver(sample);
        if (hr != S_OK) return hr;
        current = end;
    }
    return S_OK;
}

HRESULT CPullPin::QueueRequest(REFERENCE_TIME* next, REFERENCE_TIME stop, bool wait, bool* first) {
    IMediaSample* sample = nullptr;
    HRESULT hr = m_allocator->GetBuffer(&sample, nullptr, nullptr, wait ? 0 : AM_GBF_NOWAIT);
    if (hr == VFW_E_TIMEOUT) return S_FALSE;
    if (FAILED(hr)) return hr;
    REFERENCE_TIME end = std::min(*next + sample->GetSize() * UNITS, stop);
    sample->SetTime(next, &end);
    if (*first) sample->SetDiscontinuity(TRUE);
    *first = false;
    hr = m_reader->Request(sample, 0);
    if (FAILED(hr)) {
        sample->Release();
        return hr;
    }
    *next = end;
    return S_OK;
}

HRESULT CPullPin::ProcessQueued(REFERENCE_TIME current, REFERENCE_TIME stop) {
    bool first = true;
    int queued = 0;
    HRESULT result = S_OK;
    while (result == S_OK) {
        if (CommandPending()) {
            result = S_FALSE;
            break;
        }
        while (queued < m_buffers && current < stop) {
            // Wait for a buffer only when nothing is queued: then none can come back otherwise.
            const HRESULT hr = QueueRequest(&current, stop, queued == 0, &first);
            if (hr == S_FALSE) break;
            if (FAILED(hr)) result = hr;
            if (hr != S_OK) break;
            ++queued;
        }
        if (result != S_OK || queued == 0) break;
        IMediaSample* sample = nullptr;
        DWORD_PTR user = 0;
        const HRESULT hr = m_reader->WaitForNext(kReaderPollMilliseconds, &sample, &user);
        if (sample) --queued;
        if (hr == VFW_E_TIMEOUT && !sample) continue;
        if (FAILED(hr)) {
            if (sample) sample->Release();
            result = hr;
            break;
        }
        if (!sample) continue;
        result = Deliver(sample);
    }
    CollectQueued(&queued);
    return result;
}

void CPullPin::CollectQueued(int* queued) {
    if (*queued == 0) return;
    m_reader->BeginFlush();
    for (int polls = 0; *queued > 0 && polls < kCollectPolls; ++polls) {
        IMediaSample* sample = nullptr;
        DWORD_PTR user = 0;
        m_reader->WaitForNext(kReaderPollMilliseconds, &sample, &user);
        if (!sample) continue;
        sample->Release();
        --*queued;
    }
    m_reader->EndFlush();
}
