// Property pages: ISpecifyPropertyPages (a filter names its pages), IPropertyPage and its
// site, with the records they pass. The property frame that hosts the pages is a separate
// service.
// Order of use: GetPages fills a CAUUID whose array the caller frees with CoTaskMemFree.
// Threading: user-interface thread.
#pragma once

#include "platform/com/ComErrors.h"
#include "platform/com/Guid.h"
#include "platform/com/Unknown.h"
#include "platform/com/WideChar.h"
#include "platform/media/wtypes.h"

inline constexpr GUID IID_ISpecifyPropertyPages = MakeGuid("B196B28B-BAB4-101A-B69C-00AA00341D07");
inline constexpr GUID IID_IPropertyPage = MakeGuid("B196B28D-BAB4-101A-B69C-00AA00341D07");
inline constexpr GUID IID_IPropertyPageSite = MakeGuid("B196B28C-BAB4-101A-B69C-00AA00341D07");

// A counted array of identifiers in task memory.
struct CAUUID {
    ULONG cElems;
    GUID* pElems;
};

struct PROPPAGEINFO {
    ULONG cb;
    LPOLESTR pszTitle;
    SIZE size;
    LPOLESTR pszDocString;
    LPOLESTR pszHelpFile;
    DWORD dwHelpContext;
};

struct ISpecifyPropertyPages : public IUnknown {
    virtual HRESULT GetPages(CAUUID* pages) = 0;
};

struct IPropertyPageSite : public IUnknown {
    virtual HRESULT OnStatusChange(DWORD flags) = 0;
    virtual HRESULT GetLocaleID(LCID* locale) = 0;
    virtual HRESULT GetPageContainer(IUnknown** container) = 0;
    virtual HRESULT TranslateAccelerator(MSG* message) = 0;
};

struct IPropertyPage : public IUnknown {
    virtual HRESULT SetPageSite(IPropertyPageSite* site) = 0;
    virtual HRESULT Activate(HWND parent, LPCRECT rect, BOOL modal) = 0;
    virtual HRESULT Deactivate() = 0;
    virtual HRESULT GetPageInfo(PROPPAGEINFO* info) = 0;
    virtual HRESULT SetObjects(ULONG count, IUnknown** objects) = 0;
    virtual HRESULT Show(UINT show_command) = 0;
    virtual HRESULT Move(LPCRECT rect) = 0;
    virtual HRESULT IsPageDirty() = 0;
    virtual HRESULT Apply() = 0;
    virtual HRESULT Help(LPCOLESTR help_folder) = 0;
    virtual HRESULT TranslateAccelerator(MSG* message) = 0;
};

constexpr DWORD PROPPAGESTATUS_DIRTY = 0x1;
constexpr DWORD PROPPAGESTATUS_VALIDATE = 0x2;
constexpr DWORD PROPPAGESTATUS_CLEAN = 0x4;

TKV_DECLARE_IID(ISpecifyPropertyPages, IID_ISpecifyPropertyPages);
TKV_DECLARE_IID(IPropertyPage, IID_IPropertyPage);
TKV_DECLARE_IID(IPropertyPageSite, IID_IPropertyPageSite);
