// FilterListView: the main window's list of the graph's filters (control 1010), one row per
// filter, each row owning its FilterItem; columns "Filter Name", "Input MediaFormat" and
// "Output MediaFormat". It owns the application's GraphManager and FilterCatalogue, and edits
// the graph through its context menu (insert from the catalogue, remove, connect,
// disconnect, set input or output file, settings) and the Delete key.
// Order of use: construct with the main window, SubclassDlgItem(1010, window) when the
// dialog's controls exist, Initialize once while the dialog initialises (creates the graph
// and gathers the catalogue behind the loading dialog), use, Shutdown when the window is
// destroyed (stops the graph, removes and releases every listed filter, frees the
// catalogue).
// Threading: the user-interface thread.
#pragma once

#include <memory>
#include <vector>

#include "catalogue/FilterCatalogue.h"
#include "grapheditor/GraphManager.h"
#include "platform/com/ComPtr.h"
#include "platform/media/strmif.h"
#include "platform/ui/ListCtrl.h"
#include "platform/ui/MenuFunctions.h"

class FilterItem;
class Menu;
class PinItem;

class FilterListView : public ListCtrl {
public:
    // Context menu command identifiers. A pin past the disconnect limits gets no disconnect
    // entry of its own, so that no id ever stands for another pin.
    static constexpr UINT ID_SET_OUTPUT_FILE = 1025;
    static constexpr UINT ID_SET_INPUT_FILE = 1026;
    static constexpr UINT ID_SETTINGS = 1027;
    static constexpr UINT ID_REMOVE = 1028;
    static constexpr UINT ID_INSERT = 1029;
    static constexpr UINT ID_DISCONNECT_OUTPUT = 1030;  // + output pin index, 10 at most
    static constexpr UINT ID_DISCONNECT_INPUT = 1040;   // + input pin index, 16 at most
    static constexpr UINT ID_CONNECT = 1056;            // + connect choice
    // The last connect id: 1000 choices at most (a longer menu could not be read anyway), so
    // the ids stay well inside the 16-bit command word and below the system commands (0xF000).
    static constexpr UINT ID_CONNECT_LAST = 2055;

    FilterListView();
    ~FilterListView() override;

    // Columns and styles, the graph (its events posted to `notify_window`), the catalogue.
    bool Initialize(HWND notify_window);
    // Adds the item's filter to the graph and appends its row; false (no row) when the graph
    // refuses it.
    bool AddItem(FilterItem* item);
    // Removes the filter from the graph, then the row and the item; false when `item` is not
    // that row's or the graph would not let it go (the row stays).
    bool RemoveItem(int row, FilterItem* item);
    void ClearAll();
    // Empties the graph of the listed filters, renders `path`, lists what the graph holds.
    bool RenderFile(const char* path);
    void UpdateFiltersState();
    void AutoSizeColumns();
    PinItem* FindPinByLabel(const char* label) const;
    // The first row whose graph name or friendly name contains `text`.
    FilterItem* FindItemByName(const char* text) const;
    void Shutdown();

    void ShowContextMenu();
    void OnMenuCommand(UINT id);

    GraphManager& Graph() { return m_graph; }
    FilterCatalogue* Catalogue() const { return m_catalogue.get(); }

protected:
    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    // A connect choice of the current context menu. The pins are held, not their records:
    // the records are rebuilt on every refresh, and a command may arrive after one. Held until
    // the next right click or Shutdown.
    struct ConnectChoice {
        ComPtr<IPin> output;
        ComPtr<IPin> input;
    };

    bool HasGraph() const { return m_graph.GraphBuilder() != nullptr; }
    FilterItem* ItemAt(int row) const;
    // The row at the selection mark, -1 for none; its item, null for none.
    int SelectedRow() const;
    FilterItem* SelectedItem() const;
    // Deletes the row and the item it owns.
    void DeleteRow(int row);
    void DestroyContextMenu();
    void BuildConnectSubmenus(const FilterItem& selected);
    void FillContextMenu(const FilterItem* selected);
    // The listed record of `pin`, null when no row shows it any more.
    PinItem* FindListedPin(IPin* pin) const;
    void InsertFromCatalogue();
    void DisconnectBothEnds(PinItem* pin);
    void ConnectChoiceAt(size_t choice);

    std::vector<ConnectChoice> m_connect_choices;  // the candidate outputs and inputs, in step
    std::unique_ptr<Menu> m_context_menu;
    std::vector<std::unique_ptr<Menu>> m_submenus;  // one per output pin of the selected filter
    GraphManager m_graph;
    std::unique_ptr<FilterCatalogue> m_catalogue;
};
