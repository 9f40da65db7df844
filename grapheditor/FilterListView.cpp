#include "grapheditor/FilterListView.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "catalogue/CatalogueEntry.h"
#include "catalogue/FilterSelectionDialog.h"
#include "grapheditor/FilterItem.h"
#include "grapheditor/FilterItemFactory.h"
#include "grapheditor/PinItem.h"
#include "platform/ui/ColumnSizing.h"
#include "platform/ui/FileChooser.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/WindowFunctions.h"
#include "platform/ui/WindowGeometry.h"
#include "platform/ui/WindowMessages.h"

namespace {

constexpr const char* kColumnHeadings[] = {"Filter Name", "Input MediaFormat",
                                           "Output MediaFormat"};
constexpr int kInitialColumnWidth = 50;

// The disconnect ids of one filter: output pin i is 1030 + i up to the input range, input pin
// i is 1040 + i up to the connect range.
constexpr int kOutputDisconnects =
    static_cast<int>(FilterListView::ID_DISCONNECT_INPUT - FilterListView::ID_DISCONNECT_OUTPUT);
constexpr int kInputDisconnects =
    static_cast<int>(FilterListView::ID_CONNECT - FilterListView::ID_DISCONNECT_INPUT);
constexpr size_t kConnectChoices = FilterListView::ID_CONNECT_LAST - FilterListView::ID_CONNECT + 1;

const char* FriendlyName(const FilterItem& item) {
    const CatalogueEntry* entry = item.Entry();
    return entry && entry->friendlyName ? entry->friendlyName : "";
}

bool Contains(const char* text, const char* part) {
    return text && std::strstr(text, part) != nullptr;
}

FileFilterList AllFiles() {
    return {{"All Files (*.*)", "*.*"}};
}

}  // namespace

FilterListView::FilterListView() = default;

FilterListView::~FilterListView() {
    // Without Shutdown the rows still own their items: free them while COM is up.
    m_connect_choices.clear();
    DestroyContextMenu();
    for (int row = GetItemCount() - 1; row >= 0; --row)
        DeleteRow(row);
}

bool FilterListView::Initialize(HWND notify_window) {
    // Once only: a second graph would leave the listed filters in the first.
    if (HasGraph()) return false;
    SendMessageA(GetSafeHwnd(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES, LVS_EX_GRIDLINES);
    SetExtendedStyle(GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    for (int column = 0; column < static_cast<int>(std::size(kColumnHeadings)); ++column)
        InsertColumn(column, kColumnHeadings[column], LVCFMT_CENTER, kInitialColumnWidth);
    AutoSizeColumns();
    if (!m_graph.Create(notify_window)) return false;
    m_catalogue = std::make_unique<FilterCatalogue>();
    return m_catalogue->Gather();
}

bool FilterListView::AddItem(FilterItem* item) {
    if (!item || !HasGraph() || !m_graph.AddFilter(item)) return false;
    const int row = InsertItem(GetItemCount(), FriendlyName(*item));
    if (row < 0 || !SetItemData(row, reinterpret_cast<DWORD_PTR>(item))) {
        // No row can own the item: the caller keeps it, and the graph lets its filter go.
        if (row >= 0) DeleteItem(row);
        m_graph.GraphBuilder()->RemoveFilter(item->BaseFilter());
        item->RefreshName();
        return false;
    }
    UpdateFiltersState();
    return true;
}

bool FilterListView::RemoveItem(int row, FilterItem* item) {
    // Only the row's own item: deleting another would free what some row still shows.
    if (!item || ItemAt(row) != item || !HasGraph()) return false;
    if (!m_graph.RemoveFilter(item)) return false;
    DeleteRow(row);
    UpdateFiltersState();
    return true;
}

void FilterListView::ClearAll() {
    for (int row = 0; row < GetItemCount(); ++row) {
        // The row lets go first: the failure message below runs the event loop.
        std::unique_ptr<FilterItem> item(ItemAt(row));
        SetItemData(row, 0);
        if (item && HasGraph()) m_graph.RemoveFilter(item.get());
    }
    DeleteAllItems();
}

bool FilterListView::RenderFile(const char* path) {
    if (!HasGraph()) return false;
    ClearAll();
    bool result = false;
    if (m_graph.RenderFile(path)) {
        result = m_catalogue && m_graph.FillListFromGraph(*this, *m_catalogue);
    }
    UpdateFiltersState();
    return result;
}

void FilterListView::UpdateFiltersState() {
    for (int row = 0; row < GetItemCount(); ++row) {
        FilterItem* item = ItemAt(row);
        if (!item) continue;
        item->RefreshInputPins();
        item->RefreshOutputPins();
        item->RefreshPinDescriptions();
        SetItemText(row, 1, item->InputPinCount() > 0 ? item->InputPin(0)->Description() : "");
        SetItemText(row, 2, item->OutputPinCount() > 0 ? item->OutputPin(0)->Description() : "");
    }
    AutoSizeColumns();
}

void FilterListView::AutoSizeColumns() {
    ::AutoSizeColumns(*this);
}

PinItem* FilterListView::FindPinByLabel(const char* label) const {
    if (!label) return nullptr;
    for (int row = 0; row < GetItemCount(); ++row) {
        const FilterItem* item = ItemAt(row);
        if (!item) continue;
        for (int i = 0; i < item->InputPinCount(); ++i) {
            if (std::strcmp(item->InputPin(i)->Label(), label) == 0) return item->InputPin(i);
        }
        for (int i = 0; i < item->OutputPinCount(); ++i) {
            if (std::strcmp(item->OutputPin(i)->Label(), label) == 0) return item->OutputPin(i);
        }
    }
    return nullptr;
}

FilterItem* FilterListView::FindItemByName(const char* text) const {
    if (!text) return nullptr;
    for (int row = 0; row < GetItemCount(); ++row) {
        FilterItem* item = ItemAt(row);
        if (item && (Contains(item->Name(), text) || Contains(FriendlyName(*item), text))) {
            return item;
        }
    }
    return nullptr;
}

void FilterListView::Shutdown() {
    if (HasGraph()) m_graph.Stop();
    ClearAll();
    m_connect_choices.clear();
    DestroyContextMenu();
    m_catalogue.reset();
}

void FilterListView::ShowContextMenu() {
    m_connect_choices.clear();
    DestroyContextMenu();
    auto menu = std::make_unique<Menu>();
    if (!menu->CreatePopupMenu()) return;
    m_context_menu = std::move(menu);
    const FilterItem* selected = SelectedItem();
    if (selected) BuildConnectSubmenus(*selected);
    FillContextMenu(selected);
    POINT at{};
    GetCursorPos(&at);
    RECT list_rect{};
    GetWindowRect(GetSafeHwnd(), &list_rect);
    m_context_menu->TrackPopupMenu(TPM_CENTERALIGN | TPM_RIGHTBUTTON, at.x, at.y, GetSafeHwnd(),
                                   &list_rect);
}

void FilterListView::BuildConnectSubmenus(const FilterItem& selected) {
    for (int out = 0; out < selected.OutputPinCount(); ++out) {
        auto submenu = std::make_unique<Menu>();
        submenu->CreatePopupMenu();
        IPin* output = selected.OutputPin(out)->Pin();
        for (int row = 0; row < GetItemCount(); ++row) {
            const FilterItem* other = ItemAt(row);
            if (!other || other == &selected) continue;
            // Past the last connect id a choice gets no entry rather than another's id.
            for (int in = 0;
                 in < other->InputPinCount() && m_connect_choices.size() < kConnectChoices; ++in) {
                const PinItem* input = other->InputPin(in);
                const std::string text = std::string(FriendlyName(*other)) + " " + input->Label();
                const UINT state = input->QueryConnection(nullptr) ? MF_GRAYED : MF_ENABLED;
                submenu->AppendMenu(MF_STRING | state, ID_CONNECT + m_connect_choices.size(),
                                    text.c_str());
                m_connect_choices.push_back({ComPtr<IPin>(output), ComPtr<IPin>(input->Pin())});
            }
        }
        m_submenus.push_back(std::move(submenu));
    }
}

void FilterListView::FillContextMenu(const FilterItem* selected) {
    Menu& menu = *m_context_menu;
    if (selected) {
        for (int i = 0; i < selected->OutputPinCount(); ++i) {
            const std::string label = selected->OutputPin(i)->Label();
            if (selected->OutputPin(i)->QueryConnection(nullptr)) {
                if (i < kOutputDisconnects) {
                    menu.AppendMenu(MF_STRING, ID_DISCONNECT_OUTPUT + static_cast<UINT>(i),
                                    ("Disconnect " + label).c_str());
                }
            } else if (static_cast<size_t>(i) < m_submenus.size()) {
                menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(m_submenus[i]->GetSafeHmenu()),
                                ("Connect " + label + " to ...").c_str());
            }
        }
        for (int i = 0; i < std::min(selected->InputPinCount(), kInputDisconnects); ++i) {
            if (!selected->InputPin(i)->QueryConnection(nullptr)) continue;
            menu.AppendMenu(MF_STRING, ID_DISCONNECT_INPUT + static_cast<UINT>(i),
                            (std::string("Disconnect ") + selected->InputPin(i)->Label()).c_str());
        }
        if (selected->OutputPinCount() > 0) menu.AppendMenu(MF_SEPARATOR);
        if (selected->CanSetSinkFile())
            menu.AppendMenu(MF_STRING, ID_SET_OUTPUT_FILE, "Set Output File...");
        if (selected->CanSetSourceFile())
            menu.AppendMenu(MF_STRING, ID_SET_INPUT_FILE, "Set Input File...");
        if (selected->HasPropertyPages()) menu.AppendMenu(MF_STRING, ID_SETTINGS, "Settings...");
        menu.AppendMenu(MF_STRING, ID_REMOVE, "Remove");
    }
    menu.AppendMenu(MF_STRING, ID_INSERT, "Insert...");
}

void FilterListView::OnMenuCommand(UINT id) {
    if (id == ID_INSERT) {
        InsertFromCatalogue();
        return;
    }
    const int row = SelectedRow();
    FilterItem* item = ItemAt(row);
    if (!item) return;
    const HWND owner = GetParent(GetSafeHwnd());
    if (id == ID_SET_OUTPUT_FILE) {
        const std::optional<std::string> path = ChooseFileToSave(owner, AllFiles());
        // The selection as it is once the chooser has closed.
        if (path && SelectedItem()) SelectedItem()->SetSinkFile(path->c_str());
    } else if (id == ID_SET_INPUT_FILE) {
        const std::optional<std::string> path = ChooseFileToOpen(owner, AllFiles());
        if (path && SelectedItem()) {
            SelectedItem()->SetSourceFile(path->c_str());
            UpdateFiltersState();
        }
    } else if (id == ID_SETTINGS) {
        item->ShowPropertyPages();
        UpdateFiltersState();
    } else if (id == ID_REMOVE) {
        RemoveItem(row, item);
    } else if (id >= ID_DISCONNECT_OUTPUT && id < ID_DISCONNECT_INPUT) {
        DisconnectBothEnds(item->OutputPin(static_cast<int>(id - ID_DISCONNECT_OUTPUT)));
    } else if (id >= ID_DISCONNECT_INPUT && id < ID_CONNECT) {
        DisconnectBothEnds(item->InputPin(static_cast<int>(id - ID_DISCONNECT_INPUT)));
    } else if (id >= ID_CONNECT && id <= ID_CONNECT_LAST) {
        ConnectChoiceAt(id - ID_CONNECT);
    }
}

LRESULT FilterListView::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NOTIFY && lparam != 0) {
        const auto* header = reinterpret_cast<const NMHDR*>(lparam);
        if (header->code == NM_RCLICK) {
            ShowContextMenu();
            return 0;
        }
        if (header->code == LVN_KEYDOWN) {
            if (reinterpret_cast<const NMLVKEYDOWN*>(lparam)->wVKey == VK_DELETE) {
                const int row = SelectedRow();
                if (FilterItem* item = ItemAt(row)) RemoveItem(row, item);
            }
            return 0;
        }
    } else if (message == WM_COMMAND && HIWORD(wparam) == 0) {
        OnMenuCommand(LOWORD(wparam));
    }
    return ListCtrl::WindowProc(message, wparam, lparam);
}

FilterItem* FilterListView::ItemAt(int row) const {
    return row < 0 ? nullptr : reinterpret_cast<FilterItem*>(GetItemData(row));
}

int FilterListView::SelectedRow() const {
    const int mark = GetSelectionMark();
    return mark >= 0 && mark < GetItemCount() ? mark : -1;
}

FilterItem* FilterListView::SelectedItem() const {
    return ItemAt(SelectedRow());
}

void FilterListView::DeleteRow(int row) {
    const std::unique_ptr<FilterItem> owned(ItemAt(row));
    DeleteItem(row);
}

void FilterListView::DestroyContextMenu() {
    m_submenus.clear();
    m_context_menu.reset();
}

PinItem* FilterListView::FindListedPin(IPin* pin) const {
    for (int row = 0; pin && row < GetItemCount(); ++row) {
        const FilterItem* item = ItemAt(row);
        if (!item) continue;
        for (int i = 0; i < item->OutputPinCount(); ++i) {
            if (item->OutputPin(i)->Pin() == pin) return item->OutputPin(i);
        }
        for (int i = 0; i < item->InputPinCount(); ++i) {
            if (item->InputPin(i)->Pin() == pin) return item->InputPin(i);
        }
    }
    return nullptr;
}

void FilterListView::InsertFromCatalogue() {
    if (!m_catalogue) return;  // nothing was gathered to choose from
    FilterSelectionDialog dialog(m_catalogue.get());
    CatalogueEntry* entry = dialog.DoModal() == IDOK ? dialog.GetSelectedEntry() : nullptr;
    if (entry) {
        std::unique_ptr<FilterItem> item = CreateFilterItem(entry);
        if (item && AddItem(item.get())) {
            item.release();  // the new row owns it
        } else {
            item.reset();
            MessageBoxA(nullptr, entry->friendlyName, "Unable to insert filter", MB_OK);
        }
    }
    UpdateFiltersState();
}

void FilterListView::DisconnectBothEnds(PinItem* pin) {
    if (!pin) return;  // the filter has no such pin
    std::string peer_label;
    if (pin->QueryConnection(&peer_label)) {
        if (PinItem* peer = FindPinByLabel(peer_label.c_str())) m_graph.DisconnectPin(peer);
        m_graph.DisconnectPin(pin);
    }
    UpdateFiltersState();
}

void FilterListView::ConnectChoiceAt(size_t choice) {
    if (choice < m_connect_choices.size()) {
        // The records as listed now; a pin no row shows any more is reported as absent.
        PinItem* output = FindListedPin(m_connect_choices[choice].output.Get());
        PinItem* input = FindListedPin(m_connect_choices[choice].input.Get());
        m_graph.ConnectPins(output, input, nullptr);
    }
    UpdateFiltersState();
}
