// EndOfStreamWatcher: a thread that waits for the audio renderer's queued sound to finish
// after the end of the stream came in, so that EC_COMPLETE follows the last sample played.
// The device callback may not signal anyone, so while armed the thread looks every few
// milliseconds; disarmed it sleeps until armed again.
// Order of use: Start (with the check to run), Arm when the end of stream arrives, Disarm on
// a flush, Stop (joins) when the filter stops; the check returns true when it is done.
// Threading: control calls from any thread; the check runs on the watcher's own thread.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class EndOfStreamWatcher {
public:
    EndOfStreamWatcher() = default;
    ~EndOfStreamWatcher();
    EndOfStreamWatcher(const EndOfStreamWatcher&) = delete;
    EndOfStreamWatcher& operator=(const EndOfStreamWatcher&) = delete;

    // False when the thread cannot be made.
    bool Start(std::function<bool()> check);
    void Stop();
    void Arm();
    void Disarm();
    // Makes an armed watcher check at once (the renderer started running).
    void Wake();

private:
    void Loop();

    std::function<bool()> m_check;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_armed = false;
    bool m_quit = false;
    bool m_woken = false;
    unsigned m_arming = 0;
    std::thread m_thread;
};
