#include "platform/media/proppage/CBasePropertyPage.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/com/objbase.h"
#include "platform/media/olectl.h"
#include "platform/ui/QtWindow.h"

namespace {

QRect Geometry(const RECT& rect) {
    return {rect.left, rect.top, std::max<LONG>(rect.right - rect.left, 0),
            std::max<LONG>(rect.bottom - rect.top, 0)};
}

LPOLESTR TaskMemoryCopy(const std::u16string& text) {
    const size_t bytes = (text.size() + 1) * sizeof(OLECHAR);
    auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (copy) std::memcpy(copy, text.c_str(), bytes);
    return copy;
}

}  // namespace

CBasePropertyPage::CBasePropertyPage(LPCSTR name, std::u16string title, SIZE size)
    : CUnknown(name), m_title(std::move(title)), m_size(size) {}

CBasePropertyPage::~CBasePropertyPage() {
    delete m_widget.data();
}

HRESULT CBasePropertyPage::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IPropertyPage)) {
        return GetInterface(static_cast<IPropertyPage*>(this), object);
    }
    return CUnknown::NonDelegatingQueryInterface(iid, object);
}

HRESULT CBasePropertyPage::SetPageSite(IPropertyPageSite* site) {
    m_site = site;
    return S_OK;
}

HRESULT CBasePropertyPage::Activate(HWND parent, LPCRECT rect, BOOL /*modal*/) {
    if (!rect) return E_POINTER;
    QtWindow* window = QtWindow::FromHandle(parent);
    QWidget* parent_widget = window ? window->Widget() : nullptr;
    if (!parent_widget) return E_INVALIDARG;
    delete m_widget.data();
    auto* page = new QWidget(parent_widget);
    page->setGeometry(Geometry(*rect));
    page->hide();
    m_widget = page;
    CreateControls(page);
    return S_OK;
}

HRESULT CBasePropertyPage::Deactivate() {
    delete m_widget.data();
    return S_OK;
}

HRESULT CBasePropertyPage::GetPageInfo(PROPPAGEINFO* info) {
    if (!info) return E_POINTER;
    LPOLESTR title = TaskMemoryCopy(m_title);
    if (!title) return E_OUTOFMEMORY;
    *info = PROPPAGEINFO{};
    info->cb = sizeof(PROPPAGEINFO);
    info->pszTitle = title;
    info->size = m_size;
    return S_OK;
}

HRESULT CBasePropertyPage::SetObjects(ULONG count, IUnknown** objects) {
    if (count > 0 && (!objects || !objects[0])) return E_POINTER;
    if (count > 1) return E_NOTIMPL;
    Disconnect();
    if (count == 0) return S_OK;
    const HRESULT hr = OnConnect(objects[0]);
    if (FAILED(hr)) return hr;
    m_connected = true;
    return S_OK;
}

void CBasePropertyPage::Disconnect() {
    if (m_connected) OnDisconnect();
    m_connected = false;
    m_dirty = false;
}

HRESULT CBasePropertyPage::Show(UINT show_command) {
    QWidget* page = m_widget.data();
    if (!page) return E_UNEXPECTED;
    page->setVisible(show_command != SW_HIDE);
    return S_OK;
}

HRESULT CBasePropertyPage::Move(LPCRECT rect) {
    if (!rect) return E_POINTER;
    QWidget* page = m_widget.data();
    if (!page) return E_UNEXPECTED;
    page->setGeometry(Geometry(*rect));
    return S_OK;
}

HRESULT CBasePropertyPage::IsPageDirty() {
    return m_dirty ? S_OK : S_FALSE;
}

HRESULT CBasePropertyPage::Apply() {
    if (!m_dirty) return S_OK;
    if (!m_connected) return E_UNEXPECTED;
    const HRESULT hr = OnApplyChanges();
    if (SUCCEEDED(hr)) m_dirty = false;
    return hr;
}

HRESULT CBasePropertyPage::Help(LPCOLESTR /*help_folder*/) {
    return E_NOTIMPL;
}

HRESULT CBasePropertyPage::TranslateAccelerator(MSG* /*message*/) {
    return S_FALSE;
}

void CBasePropertyPage::SetDirty() {
    m_dirty = true;
    if (m_site) m_site->OnStatusChange(PROPPAGESTATUS_DIRTY);
}
