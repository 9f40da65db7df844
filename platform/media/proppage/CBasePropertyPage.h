// CBasePropertyPage: the base of a property page (IPropertyPage). It keeps the page's site,
// title and size, builds the page's widget when the frame activates it (a child of the
// parent window's widget, hidden until Show), moves, shows and destroys it, tracks whether
// the page has unapplied changes and tells the site when it gets some. A page supplies its
// controls and the link to its object:
//
//   CreateControls(page)  builds the controls into `page`, showing the values the page holds
//   OnConnect(object)     takes the object (SetObjects with one object); a failure refuses it
//   OnDisconnect()        lets it go (SetObjects with none, or another object)
//   OnApplyChanges()      writes the held values to the object (Apply while changed)
//
// and calls SetDirty when the user changes a control.
// One object at a time: SetObjects with more than one gives E_NOTIMPL.
// Order of use: SetPageSite, SetObjects, Activate, Show, (Apply ...), Deactivate,
// SetObjects(0, nullptr), SetPageSite(nullptr), Release. Changes survive Deactivate until
// applied or disconnected.
// Threading: the user-interface thread only; the last Release too, since it destroys widgets.
#pragma once

#include <string>

#include <QPointer>
#include <QWidget>

#include "platform/com/ComPtr.h"
#include "platform/media/base/CUnknown.h"
#include "platform/media/ocidl.h"

class CBasePropertyPage : public CUnknown, public IPropertyPage {
public:
    // `size` in pixels.
    CBasePropertyPage(LPCSTR name, std::u16string title, SIZE size);
    ~CBasePropertyPage() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    // IPropertyPage
    HRESULT SetPageSite(IPropertyPageSite* site) override;
    // E_INVALIDARG when `parent` is no widget's window on this thread.
    HRESULT Activate(HWND parent, LPCRECT rect, BOOL modal) override;
    HRESULT Deactivate() override;
    // The title is a new task-memory string: the caller frees it.
    HRESULT GetPageInfo(PROPPAGEINFO* info) override;
    HRESULT SetObjects(ULONG count, IUnknown** objects) override;
    HRESULT Show(UINT show_command) override;
    HRESULT Move(LPCRECT rect) override;
    // S_OK while changed, S_FALSE otherwise.
    HRESULT IsPageDirty() override;
    HRESULT Apply() override;
    HRESULT Help(LPCOLESTR help_folder) override;
    HRESULT TranslateAccelerator(MSG* message) override;

protected:
    virtual void CreateControls(QWidget* page) = 0;
    virtual HRESULT OnConnect(IUnknown* object) = 0;
    virtual void OnDisconnect() = 0;
    virtual HRESULT OnApplyChanges() = 0;

    void SetDirty();

private:
    void Disconnect();

    const std::u16string m_title;
    const SIZE m_size;
    ComPtr<IPropertyPageSite> m_site;
    QPointer<QWidget> m_widget;  // owned while active; its parent may delete it first
    bool m_connected = false;
    bool m_dirty = false;
};
