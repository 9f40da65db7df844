#include "platform/media/clock/ClockAdviseList.h"

#include <algorithm>

namespace {

// The first due time after `now` for a periodic advise that was due at `due` <= `now`;
// saturates instead of overflowing.
LONGLONG NextPeriodAfter(LONGLONG due, LONGLONG period, LONGLONG now) {
    const LONGLONG missed = (now - due) / period + 1;
    if (missed > (ClockAdviseList::kNever - due) / period) return ClockAdviseList::kNever;
    return due + missed * period;
}

}  // namespace

ClockAdviseList::Cookie ClockAdviseList::AddOneShot(LONGLONG due, HANDLE event) {
    return Insert(Advise{0, due, 0, event});
}

ClockAdviseList::Cookie ClockAdviseList::AddPeriodic(LONGLONG start, LONGLONG period,
                                                     HANDLE semaphore) {
    return Insert(Advise{0, start, period, semaphore});
}

bool ClockAdviseList::Remove(Cookie cookie) {
    const auto found = std::find_if(m_advises.begin(), m_advises.end(),
                                    [&](const Advise& advise) { return advise.cookie == cookie; });
    if (found == m_advises.end()) return false;
    m_advises.erase(found);
    return true;
}

void ClockAdviseList::Clear() {
    m_advises.clear();
}

LONGLONG ClockAdviseList::Fire(LONGLONG now) {
    std::vector<Advise> rescheduled;
    size_t fired = 0;
    while (fired < m_advises.size() && m_advises[fired].due <= now) {
        const Advise& advise = m_advises[fired++];
        Signal(advise);
        if (advise.period > 0) {
            Advise next = advise;
            next.due = NextPeriodAfter(advise.due, advise.period, now);
            if (next.due != kNever) rescheduled.push_back(next);
        }
    }
    m_advises.erase(m_advises.begin(), m_advises.begin() + static_cast<std::ptrdiff_t>(fired));
    for (const Advise& advise : rescheduled)
        Insert(advise);
    return NextDue();
}

LONGLONG ClockAdviseList::NextDue() const {
    return m_advises.empty() ? kNever : m_advises.front().due;
}

ClockAdviseList::Cookie ClockAdviseList::Insert(const Advise& advise) {
    Advise stored = advise;
    if (stored.cookie == 0) stored.cookie = m_next_cookie++;
    const auto at =
        std::upper_bound(m_advises.begin(), m_advises.end(), stored.due,
                         [](LONGLONG due, const Advise& other) { return due < other.due; });
    m_advises.insert(at, stored);
    return stored.cookie;
}

void ClockAdviseList::Signal(const Advise& advise) {
    // The sync library has events only: a periodic advise's "semaphore" is an event, which a
    // waiter sees as at least one period gone by.
    SetEvent(advise.handle);
}
