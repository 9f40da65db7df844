// CatalogueProgress: the percentages the catalogue's gathering sends to the loading dialog.
// It counts the items expected (the total) and the items handled; each step sends handled
// × 100 / total, then counts one more item handled. Registrations may change between the
// counting and the listing, so a step never sends 100 (which would close the dialog while
// the work goes on) and a total of 0 sends 0; only Finish sends 100.
// Order of use: AddToTotal as counts become known, Step before each item, Finish once.
// Threading: the gathering thread; the messages are sent synchronously (SendMessageA), so each
// waits until the dialog has handled it (a null window answers at once).
#pragma once

#include <cstdint>

#include "platform/WinTypes.h"

class CatalogueProgress {
public:
    explicit CatalogueProgress(HWND window) : m_window(window) {}

    void AddToTotal(DWORD count) { m_total += count; }
    // Sends the current percentage, then counts the item about to be handled.
    void Step();
    // Sends 100.
    void Finish();
    // The percentage a step would send now: 0 to 99.
    WPARAM Percent() const;

private:
    void Send(WPARAM percent) const;

    const HWND m_window;
    uint64_t m_total = 0;
    uint64_t m_handled = 0;
};
