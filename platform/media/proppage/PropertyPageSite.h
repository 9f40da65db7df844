// PropertyPageSite: the property frame's side of one page (IPropertyPageSite). It remembers
// whether the page said it has unapplied changes (OnStatusChange with PROPPAGESTATUS_DIRTY,
// until PROPPAGESTATUS_CLEAN or MarkClean) and tells the frame of every status change, so
// that the frame can enable its Apply button.
// Order of use: the frame makes one site per page and hands it to SetPageSite; when the frame
// closes it calls Detach, so that a page still holding the site no longer reaches the frame.
// Threading: the user-interface thread, like the page that calls it.
#pragma once

#include <functional>

#include "platform/media/base/CUnknown.h"
#include "platform/media/ocidl.h"

class PropertyPageSite : public CUnknown, public IPropertyPageSite {
public:
    PropertyPageSite(LCID locale, std::function<void()> status_changed);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    // IPropertyPageSite
    HRESULT OnStatusChange(DWORD flags) override;
    HRESULT GetLocaleID(LCID* locale) override;
    // No container object is offered: E_NOTIMPL.
    HRESULT GetPageContainer(IUnknown** container) override;
    // The frame has no accelerators of its own: S_FALSE, the page handles the key itself.
    HRESULT TranslateAccelerator(MSG* message) override;

    bool IsDirty() const { return m_dirty; }
    void MarkClean() { m_dirty = false; }
    void Detach() { m_status_changed = nullptr; }

private:
    const LCID m_locale;
    std::function<void()> m_status_changed;
    bool m_dirty = false;
};
