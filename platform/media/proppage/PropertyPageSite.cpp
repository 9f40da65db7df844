#include "platform/media/proppage/PropertyPageSite.h"

#include <utility>

PropertyPageSite::PropertyPageSite(LCID locale, std::function<void()> status_changed)
    : CUnknown("Property page site"),
      m_locale(locale),
      m_status_changed(std::move(status_changed)) {}

HRESULT PropertyPageSite::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IPropertyPageSite)) {
        return GetInterface(static_cast<IPropertyPageSite*>(this), object);
    }
    return CUnknown::NonDelegatingQueryInterface(iid, object);
}

HRESULT PropertyPageSite::OnStatusChange(DWORD flags) {
    if (flags & PROPPAGESTATUS_DIRTY) m_dirty = true;
    if (flags & PROPPAGESTATUS_CLEAN) m_dirty = false;
    // A copy: the frame may detach this site while it handles the change.
    if (const auto status_changed = m_status_changed) status_changed();
    return S_OK;
}

HRESULT PropertyPageSite::GetLocaleID(LCID* locale) {
    if (!locale) return E_POINTER;
    *locale = m_locale;
    return S_OK;
}

HRESULT PropertyPageSite::GetPageContainer(IUnknown** container) {
    if (!container) return E_POINTER;
    *container = nullptr;
    return E_NOTIMPL;
}

HRESULT PropertyPageSite::TranslateAccelerator(MSG* /*message*/) {
    return S_FALSE;
}
