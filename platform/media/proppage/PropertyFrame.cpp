#include "platform/media/proppage/PropertyFrame.h"

#include <algorithm>
#include <climits>
#include <new>
#include <utility>

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "platform/com/objbase.h"
#include "platform/media/olectl.h"

namespace {

// A page asking for more than this is wrong, not large: it is cut to size.
constexpr LONG kMaxPageExtent = 4096;

QString TakeText(LPOLESTR text) {
    QString taken = text ? QString::fromUtf16(text) : QString();
    CoTaskMemFree(text);
    return taken;
}

QSize PageSize(const SIZE& size) {
    return {std::clamp<LONG>(size.cx, 0, kMaxPageExtent),
            std::clamp<LONG>(size.cy, 0, kMaxPageExtent)};
}

int ScreenCoordinate(UINT value) {
    return static_cast<int>(std::min<UINT>(value, INT_MAX));
}

}  // namespace

PropertyFrame::PropertyFrame(HWND owner, const QString& caption, LCID locale)
    : m_owner(owner), m_caption(caption), m_locale(locale) {}

PropertyFrame::~PropertyFrame() {
    ClosePages();
    DestroyDialog();
}

size_t PropertyFrame::CreatePages(ULONG object_count, IUnknown** objects, ULONG page_count,
                                  const CLSID* page_classes) {
    for (ULONG i = 0; i < page_count; ++i)
        AddPage(page_classes[i], object_count, objects);
    return m_pages.size();
}

HRESULT PropertyFrame::AddPage(REFCLSID page_class, ULONG object_count, IUnknown** objects) {
    ComPtr<IPropertyPage> page;
    HRESULT hr = CoCreateInstance(page_class, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                                  reinterpret_cast<void**>(page.GetAddressOf()));
    if (FAILED(hr)) return hr;
    if (!page) return E_NOINTERFACE;

    PROPPAGEINFO info{};
    info.cb = sizeof(info);
    hr = page->GetPageInfo(&info);
    if (FAILED(hr)) return hr;
    Page entry;
    entry.title = TakeText(info.pszTitle);
    entry.size = PageSize(info.size);
    CoTaskMemFree(info.pszDocString);
    CoTaskMemFree(info.pszHelpFile);

    auto* site = new (std::nothrow) PropertyPageSite(m_locale, [this] { UpdateApplyButton(); });
    if (!site) return E_OUTOFMEMORY;
    entry.site = site;
    hr = page->SetPageSite(site);
    if (SUCCEEDED(hr)) {
        hr = page->SetObjects(object_count, objects);
        if (FAILED(hr)) page->SetPageSite(nullptr);
    }
    if (FAILED(hr)) {
        site->Detach();
        return hr;
    }
    entry.page = std::move(page);
    m_pages.push_back(std::move(entry));
    return S_OK;
}

QWidget* PropertyFrame::OwnerWidget() const {
    QtWindow* owner = m_owner ? QtWindow::FromHandle(m_owner) : nullptr;
    return owner ? owner->Widget() : nullptr;
}

HRESULT PropertyFrame::DoModal(UINT x, UINT y) {
    if (m_pages.empty() || m_dialog) return E_FAIL;
    BuildDialog();
    if (!ActivatePages()) {
        DestroyDialog();
        return E_FAIL;
    }
    UpdateApplyButton();
    Place(x, y);
    if (QDialog* dialog = m_dialog.data()) dialog->exec();
    ClosePages();
    DestroyDialog();
    return S_OK;
}

void PropertyFrame::BuildDialog() {
    QWidget* owner = OwnerWidget();
    m_dialog = new QDialog(owner ? owner->window() : nullptr);
    m_dialog->setWindowTitle(m_caption);
    m_window = std::make_unique<QtWindow>(m_dialog.data());
    m_window->Attach(nullptr, 0);

    m_tabs = new QTabWidget(m_dialog);
    auto* ok = new QPushButton(QStringLiteral("OK"), m_dialog);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), m_dialog);
    m_apply = new QPushButton(QStringLiteral("Apply"), m_dialog);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, m_dialog, [this] { OnOk(); });
    QObject::connect(cancel, &QPushButton::clicked, m_dialog, &QDialog::reject);
    QObject::connect(m_apply, &QPushButton::clicked, m_dialog, [this] {
        ApplyChanges();
        UpdateApplyButton();
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(m_apply);
    auto* layout = new QVBoxLayout(m_dialog);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(m_tabs);
    layout->addLayout(buttons);
}

bool PropertyFrame::ActivatePages() {
    // Every tab gets the largest page's area, so that switching tabs does not resize the frame.
    QSize area;
    for (const Page& page : m_pages)
        area = area.expandedTo(page.size);
    for (auto page = m_pages.begin(); page != m_pages.end();) {
        if (ActivatePage(*page, area)) {
            ++page;
            continue;
        }
        ReleasePage(*page);
        page = m_pages.erase(page);
    }
    return !m_pages.empty();
}

bool PropertyFrame::ActivatePage(Page& page, const QSize& area) {
    auto* tab = new QWidget;
    tab->setMinimumSize(area);
    m_tabs->addTab(tab, page.title);
    page.host = std::make_unique<QtWindow>(tab);
    const HWND parent = page.host->Attach(m_window->Handle(), 0);
    const RECT rect{0, 0, area.width(), area.height()};
    if (FAILED(page.page->Activate(parent, &rect, TRUE))) {
        page.host.reset();
        delete tab;  // takes the tab out of the tab widget
        return false;
    }
    page.active = true;
    page.page->Show(SW_SHOWNORMAL);
    return true;
}

void PropertyFrame::Place(UINT x, UINT y) {
    const QPoint at(ScreenCoordinate(x), ScreenCoordinate(y));
    QWidget* owner = OwnerWidget();
    m_dialog->move(owner ? owner->mapToGlobal(at) : at);
}

bool PropertyFrame::IsDirty(const Page& page) const {
    return page.site->IsDirty() || page.page->IsPageDirty() == S_OK;
}

void PropertyFrame::UpdateApplyButton() {
    if (!m_apply) return;
    const bool dirty =
        std::any_of(m_pages.begin(), m_pages.end(), [this](const Page& p) { return IsDirty(p); });
    m_apply->setEnabled(dirty);
}

bool PropertyFrame::ApplyChanges() {
    bool applied = true;
    for (Page& page : m_pages) {
        if (!IsDirty(page)) continue;
        if (SUCCEEDED(page.page->Apply())) {
            page.site->MarkClean();
        } else {
            applied = false;
        }
    }
    return applied;
}

void PropertyFrame::OnOk() {
    if (!ApplyChanges()) {
        UpdateApplyButton();
    } else if (QDialog* dialog = m_dialog.data()) {
        dialog->accept();
    }
}

void PropertyFrame::ReleasePage(Page& page) {
    page.site->Detach();
    if (page.active) page.page->Deactivate();
    page.active = false;
    page.page->SetObjects(0, nullptr);
    page.page->SetPageSite(nullptr);
    page.host.reset();
    page.page = nullptr;
    page.site = nullptr;
}

void PropertyFrame::ClosePages() {
    // No page's status change may reach the frame while the others are being released.
    for (Page& page : m_pages)
        page.site->Detach();
    for (Page& page : m_pages)
        ReleasePage(page);
    m_pages.clear();
}

void PropertyFrame::DestroyDialog() {
    m_window.reset();
    delete m_dialog.data();
}
