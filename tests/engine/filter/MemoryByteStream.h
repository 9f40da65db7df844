// A byte stream for the read queue's tests: a run of known bytes that may be shorter than the
// size it declares, a chosen alignment, and knobs for the cases a queue must handle: a read
// that says the stream ran out, a positioning that fails, a first read of a new run, and a
// gate that holds a read until the test lets it go (bounded, so that no test can hang).
// It records whether each read ran under its lock, in the same hold as its positioning.
// Threading: reads on the queue's threads; the knobs before reading; the gate from any thread.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <vector>

#include "engine/AsyncReadQueue.h"
#include "engine/AsyncReadRequest.h"
#include "platform/sync/CCritSec.h"

class MemoryByteStream : public AsyncReadQueue::ByteStream {
public:
    MemoryByteStream(size_t data_size, LONGLONG declared_size, DWORD alignment = 1)
        : m_data(data_size), m_declared(declared_size), m_alignment(alignment) {
        for (size_t i = 0; i < data_size; ++i)
            m_data[i] = Byte(i);
    }
    ~MemoryByteStream() override { Release(); }

    static BYTE Byte(size_t at) { return static_cast<BYTE>(at * 7 + (at >> 8) + 1); }

    // ---- knobs ----
    void SaysWhenItRunsOut(bool says) { m_says_ended = says; }
    void FailPositioning(bool fail) { m_fail_positioning = fail; }
    void FirstReadOfARun(bool first) { m_first = first; }
    void SetAvailable(LONGLONG available) { m_available = available; }
    // The next reads wait in Read until Release (or for ten seconds at most).
    void Hold() {
        std::lock_guard<std::mutex> lock(m_gate_mutex);
        m_hold = true;
    }
    void Release() {
        std::lock_guard<std::mutex> lock(m_gate_mutex);
        m_hold = false;
        m_gate.notify_all();
    }
    // True once a read waits at the gate.
    bool WaitUntilHeld(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        std::unique_lock<std::mutex> lock(m_gate_mutex);
        return m_gate.wait_for(lock, timeout, [&] { return m_waiting > 0; });
    }

    int Reads() const { return m_reads; }
    bool EveryReadWasLocked() const { return m_unlocked_calls == 0; }

    // ---- ByteStream ----
    HRESULT SetPointer(LONGLONG position) override {
        CheckLocked();
        m_positioned_in = m_lock_count;
        if (m_fail_positioning) return S_FALSE;
        m_position = position;
        return S_OK;
    }
    HRESULT Read(BYTE* buffer, DWORD count, BOOL /*aligned*/, DWORD* read) override {
        CheckLocked();
        if (m_positioned_in != m_lock_count) ++m_unlocked_calls;  // positioned in another hold
        WaitAtGate();
        ++m_reads;
        const LONGLONG left =
            std::max<LONGLONG>(0, static_cast<LONGLONG>(m_data.size()) - m_position);
        const DWORD n = static_cast<DWORD>(std::min<LONGLONG>(count, left));
        if (n > 0) std::memcpy(buffer, m_data.data() + m_position, n);
        m_position += n;
        *read = n;
        if (m_first) return OLE_S_FIRST;
        return n < count && m_says_ended ? S_FALSE : S_OK;
    }
    LONGLONG Size(LONGLONG* available) override {
        if (available) *available = m_available;
        return m_declared;
    }
    DWORD Alignment() override { return m_alignment; }
    void Lock() override {
        m_lock.Lock();
        ++m_lock_count;
    }
    void Unlock() override { m_lock.Unlock(); }

private:
    void CheckLocked() {
        if (!m_lock.IsLockedByCurrentThread()) ++m_unlocked_calls;
    }
    void WaitAtGate() {
        std::unique_lock<std::mutex> lock(m_gate_mutex);
        ++m_waiting;
        m_gate.notify_all();
        m_gate.wait_for(lock, std::chrono::seconds(10), [&] { return !m_hold; });
        --m_waiting;
    }

    std::vector<BYTE> m_data;
    const LONGLONG m_declared;
    const DWORD m_alignment;
    bool m_says_ended = false;
    bool m_fail_positioning = false;
    bool m_first = false;
    LONGLONG m_available = 0;

    CCritSec m_lock;
    // Under m_lock.
    LONGLONG m_position = 0;
    int m_lock_count = 0;
    int m_positioned_in = -1;
    int m_reads = 0;
    int m_unlocked_calls = 0;

    std::mutex m_gate_mutex;
    std::condition_variable m_gate;
    bool m_hold = false;
    int m_waiting = 0;
};
