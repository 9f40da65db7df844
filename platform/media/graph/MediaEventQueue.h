// The filter graph's queue of events for the application: what IMediaEventEx hands out with
// GetEvent. While events wait, a manual-reset event handle is set; every queued event posts
// the notify message to the notify window, when one is set.
// Order of use: construct, SetNotifyWindow (optional), Push from any thread, Pop until false.
// Notifications off (SetNotifyFlags(AM_MEDIAEVENT_NONOTIFY)) empties the queue and drops what
// comes after, as the framework does.
// Threading: any thread. The queue's lock is never held while a message is posted, so a
// filter's streaming thread never waits for the user-interface thread.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>

#include "platform/WinTypes.h"
#include "platform/media/wtypes.h"
#include "platform/sync/sync.h"

struct MediaEvent {
    long code = 0;
    LONG_PTR param1 = 0;
    LONG_PTR param2 = 0;
};

class MediaEventQueue {
public:
    MediaEventQueue();
    ~MediaEventQueue();
    MediaEventQueue(const MediaEventQueue&) = delete;
    MediaEventQueue& operator=(const MediaEventQueue&) = delete;

    void Push(const MediaEvent& event);
    // Waits up to `timeout_ms` (negative: without limit); false when nothing came in time.
    bool Pop(long timeout_ms, MediaEvent* event);
    void Clear();
    size_t Size() const;

    // Set while events wait; owned by the queue.
    HANDLE WaitHandle() const { return m_wait_handle; }

    // `window` null stops posting.
    void SetNotifyWindow(HWND window, UINT message, LONG_PTR instance);
    void SetNotifyFlags(long flags);
    long NotifyFlags() const;

    static constexpr long kNoNotify = 1;  // AM_MEDIAEVENT_NONOTIFY

private:
    void UpdateHandleLocked();

    const HANDLE m_wait_handle;
    mutable std::mutex m_mutex;
    std::condition_variable m_arrived;
    // Guarded by m_mutex.
    std::deque<MediaEvent> m_events;
    HWND m_window = nullptr;
    UINT m_message = 0;
    LONG_PTR m_instance = 0;
    long m_flags = 0;
};
