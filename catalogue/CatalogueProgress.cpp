#include "catalogue/CatalogueProgress.h"

#include "app/LoadingDialog.h"
#include "platform/ui/WindowFunctions.h"

namespace {

constexpr uint64_t kLastBeforeDone = 99;

}  // namespace

void CatalogueProgress::Step() {
    Send(Percent());
    ++m_handled;
}

void CatalogueProgress::Finish() {
    Send(100);
}

WPARAM CatalogueProgress::Percent() const {
    if (m_total == 0) return 0;
    const uint64_t percent = m_handled * 100 / m_total;
    return static_cast<WPARAM>(percent < kLastBeforeDone ? percent : kLastBeforeDone);
}

void CatalogueProgress::Send(WPARAM percent) const {
    SendMessageA(m_window, WM_LOADING_PROGRESS, percent, 0);
}
