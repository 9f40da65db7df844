// The pending advises of a reference clock: one-shot requests that set an event once the clock
// reaches a time, and periodic ones that signal a handle at a start time and every period
// after. Plain bookkeeping, no thread and no lock: the clock that owns the list guards it and
// calls Fire with its current time.
// Order of use: Add..., then Fire(now) whenever the time moves (it returns when to call again);
// Remove at any time.
// Threading: none of its own; the owner serialises every call.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/WinTypes.h"
#include "platform/sync/sync.h"

class ClockAdviseList {
public:
    using Cookie = uintptr_t;
    // Times are clock times in 100 ns units.
    static constexpr LONGLONG kNever = INT64_MAX;

    // A new advise and its cookie (never 0).
    Cookie AddOneShot(LONGLONG due, HANDLE event);
    Cookie AddPeriodic(LONGLONG start, LONGLONG period, HANDLE semaphore);
    // False when the cookie names no pending advise (already fired, removed, or unknown).
    bool Remove(Cookie cookie);
    void Clear();

    // Signals every advise due at `now`, earliest first: a one-shot is dropped once fired, a
    // periodic one moves to its first due time after `now` (a late periodic advise signals
    // once for the periods it missed). Returns the next due time, or kNever.
    LONGLONG Fire(LONGLONG now);
    LONGLONG NextDue() const;
    size_t Size() const { return m_advises.size(); }

private:
    struct Advise {
        Cookie cookie;
        LONGLONG due;
        LONGLONG period;  // 0 for a one-shot advise
        HANDLE handle;
    };

    Cookie Insert(const Advise& advise);
    static void Signal(const Advise& advise);

    std::vector<Advise> m_advises;  // sorted by due time; equal times keep their order
    Cookie m_next_cookie = 1;
};
