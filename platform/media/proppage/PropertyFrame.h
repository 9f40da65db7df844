// PropertyFrame: the modal dialog behind OleCreatePropertyFrame. It makes the pages of the
// given classes for the given objects, shows each in a tab of its own (titled and sized as
// the page says) and drives them with OK, Cancel and Apply: Apply is enabled while a page has
// unapplied changes and applies the changed pages; OK applies them and closes (it stays open
// when a page fails to apply); Cancel, Escape and the close box close without applying.
// A page that cannot be created, refuses the objects or fails to activate is left out.
// Order of use: construct, CreatePages, DoModal (returns when the user closes the frame),
// destroy. Once closed, every page has been deactivated, given no objects and no site, and
// released.
// Threading: the user-interface thread only (the caller checks that).
#pragma once

#include <memory>
#include <vector>

#include <QDialog>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QTabWidget>

#include "platform/com/ComPtr.h"
#include "platform/media/ocidl.h"
#include "platform/media/proppage/PropertyPageSite.h"
#include "platform/ui/QtWindow.h"

class PropertyFrame {
public:
    // `owner`, when it is a window of this thread, parents the frame.
    PropertyFrame(HWND owner, const QString& caption, LCID locale);
    ~PropertyFrame();
    PropertyFrame(const PropertyFrame&) = delete;
    PropertyFrame& operator=(const PropertyFrame&) = delete;

    // A page of each class, given `objects`; returns how many took them.
    size_t CreatePages(ULONG object_count, IUnknown** objects, ULONG page_count,
                       const CLSID* page_classes);
    // Shows the frame at (x, y) relative to the owner's client area (or the screen) until
    // the user closes it: S_OK, or E_FAIL, without showing anything, when no page could be
    // shown.
    HRESULT DoModal(UINT x, UINT y);

private:
    struct Page {
        ComPtr<IPropertyPage> page;
        ComPtr<PropertyPageSite> site;
        QString title;
        QSize size;
        std::unique_ptr<QtWindow> host;  // the tab's window, the page's parent
        bool active = false;
    };

    HRESULT AddPage(REFCLSID page_class, ULONG object_count, IUnknown** objects);
    QWidget* OwnerWidget() const;
    void BuildDialog();
    // Activates every page in a tab of its own; false when none could be.
    bool ActivatePages();
    bool ActivatePage(Page& page, const QSize& area);
    void Place(UINT x, UINT y);

    bool IsDirty(const Page& page) const;
    void UpdateApplyButton();
    // True when every changed page took its changes.
    bool ApplyChanges();
    void OnOk();

    static void ReleasePage(Page& page);
    void ClosePages();
    void DestroyDialog();

    const HWND m_owner;
    const QString m_caption;
    const LCID m_locale;
    std::vector<Page> m_pages;
    QPointer<QDialog> m_dialog;          // owned: deleted by DestroyDialog
    std::unique_ptr<QtWindow> m_window;  // the frame's own handle
    QPointer<QTabWidget> m_tabs;
    QPointer<QPushButton> m_apply;
};
