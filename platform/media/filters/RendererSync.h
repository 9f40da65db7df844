// RendererSync: the streaming state a renderer's input shares between the control thread and
// the upstream streaming thread: stopped / paused / running, flushing, whether a sample or the
// end of the stream has arrived since the last start or flush, and whether EC_COMPLETE went
// out. A paused renderer counts as "cued" once it holds a sample or the end of the stream;
// until then GetState reports the transition as still going.
// Order of use: Start (stopped -> paused), SetRunning, SetFlushing, Stop; the streaming side
// calls SampleArrived / WaitUntilRunning / EndOfStream.
// Threading: any thread; one mutex, never held while a caller's work runs.
#pragma once

#include <condition_variable>
#include <mutex>

#include "platform/WinTypes.h"
#include "platform/com/ComErrors.h"

class RendererSync {
public:
    void Start();
    void Stop();
    void SetRunning(bool running);
    void SetFlushing(bool flushing);

    void SampleArrived();
    // Holds the streaming thread while paused: S_OK once running, S_FALSE when a flush began,
    // VFW_E_WRONG_STATE when stopped.
    HRESULT WaitUntilRunning();
    // Records the end of the stream; false when it cannot be taken now (stopped, flushing).
    bool EndOfStream();
    bool HasEndOfStream() const;
    // True once, when the end of stream is in and the renderer runs: the caller then sends
    // EC_COMPLETE. `drained` says whether everything before it was played.
    bool TakeCompletion(bool drained);

    // Whether the pause is complete (a sample or the end of stream is in), waiting up to
    // `milliseconds` for it.
    bool WaitForCue(DWORD milliseconds);

private:
    bool CuedLocked() const { return m_flushing || m_has_sample || m_end_of_stream; }

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_active = false;
    bool m_running = false;
    bool m_flushing = false;
    bool m_has_sample = false;
    bool m_end_of_stream = false;
    bool m_completed = false;
};
