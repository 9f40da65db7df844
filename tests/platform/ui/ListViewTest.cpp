#include "platform/ui/ListCtrl.h"

#include <string>
#include <vector>

#include <QFontMetrics>
#include <QHeaderView>
#include <QImage>
#include <QTableWidget>

#include <gtest/gtest.h>

#include "platform/ui/ImageList.h"
#include "platform/ui/ImageListData.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Resources.h"
#include "platform/ui/WindowFunctions.h"
#include "tests/platform/ui/InputEvents.h"
#include "tests/platform/ui/ModalDriver.h"
#include "tests/platform/ui/ScriptedDialog.h"
#include "tests/support/RecordingMenuTracker.h"

namespace {

constexpr UINT kRemoveCommand = 1028;

// Keeps, in order, what the list's hook and the dialog are told.
class RecordingList : public ListCtrl {
public:
    explicit RecordingList(std::vector<std::string>& log) : m_log(log) {}
    std::function<void(UINT code)> on_notify;

protected:
    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override {
        if (message == WM_NOTIFY) {
            const auto* header = reinterpret_cast<const NMHDR*>(lparam);
            m_log.push_back("hook " + std::to_string(static_cast<int>(header->code)));
            if (on_notify) on_notify(header->code);
        } else if (message == WM_COMMAND) {
            m_log.push_back("hook command " + std::to_string(LOWORD(wparam)) + "/" +
                            std::to_string(HIWORD(wparam)));
        }
        return ListCtrl::WindowProc(message, wparam, lparam);
    }

private:
    std::vector<std::string>& m_log;
};

QTableWidget* TableOf(ScriptedDialog& dialog) {
    return static_cast<QTableWidget*>(WidgetOf(dialog.GetDlgItem(kListView)));
}

QPoint CellCentre(QTableWidget* table, int row, int column) {
    return table->visualRect(table->model()->index(row, column)).center();
}

void AddColumns(ListCtrl& list) {
    list.InsertColumn(0, "Filter Name", LVCFMT_CENTER, 50);
    list.InsertColumn(1, "Input MediaFormat", LVCFMT_CENTER, 50);
    list.InsertColumn(2, "Output MediaFormat", LVCFMT_CENTER, 50);
}

// Runs `checks` inside the initialisation of a dialog with the common controls.
void WithList(const std::function<void(ScriptedDialog&, ListCtrl&)>& checks) {
    ScriptedDialog dialog(CommonControlsTemplate());
    ListCtrl list;
    dialog.on_init = [&] {
        ASSERT_TRUE(list.SubclassDlgItem(kListView, dialog.GetSafeHwnd()));
        checks(dialog, list);
        dialog.EndDialog(IDOK);
    };
    ASSERT_EQ(dialog.DoModal(), IDOK);
}

TEST(ListViewTest, centred_columns_report_themselves_until_past_the_last) {
    WithList([](ScriptedDialog& dialog, ListCtrl& list) {
        EXPECT_EQ(list.InsertColumn(0, "Filter Name", LVCFMT_CENTER, 50), 0);
        EXPECT_EQ(list.InsertColumn(5, "Output MediaFormat", LVCFMT_CENTER, 50), 1);  // appended
        EXPECT_EQ(list.InsertColumn(1, "Input MediaFormat", LVCFMT_CENTER, 50), 1);
        std::vector<std::string> headings;
        for (int column = 0;; ++column) {
            char text[1024];
            LVCOLUMNA info{};
            info.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
            info.pszText = text;
            info.cchTextMax = sizeof(text);
            if (!list.GetColumn(column, &info)) break;
            EXPECT_EQ(info.fmt, LVCFMT_CENTER);
            EXPECT_EQ(info.cx, 50);
            headings.push_back(text);
        }
        EXPECT_EQ(headings, (std::vector<std::string>{"Filter Name", "Input MediaFormat",
                                                      "Output MediaFormat"}));
        QTableWidget* table = TableOf(dialog);
        ASSERT_EQ(table->columnCount(), 3);
        EXPECT_EQ(table->horizontalHeaderItem(1)->text(), "Input MediaFormat");
        EXPECT_TRUE(table->horizontalHeaderItem(1)->textAlignment() & Qt::AlignHCenter);

        EXPECT_TRUE(list.SetColumnWidth(2, 137));
        EXPECT_EQ(list.GetColumnWidth(2), 137);
        EXPECT_EQ(table->horizontalHeader()->sectionSize(2), 137);
        EXPECT_FALSE(list.SetColumnWidth(3, 10));
        EXPECT_EQ(list.GetColumnWidth(3), 0);

        // Measured in the list's own font, so columns fitted with it show their texts whole.
        const QFontMetrics metrics(table->font());
        EXPECT_EQ(list.GetStringWidth("Wave Parser"), metrics.horizontalAdvance("Wave Parser"));
        EXPECT_GT(list.GetStringWidth("Wave Parser          "), list.GetStringWidth("Wave Parser"));
        EXPECT_EQ(list.GetStringWidth(""), 0);
    });
}

TEST(ListViewTest, rows_keep_their_texts_and_data_and_the_table_shows_the_texts) {
    WithList([](ScriptedDialog& dialog, ListCtrl& list) {
        // A row made before any column keeps its text for the first column.
        EXPECT_EQ(list.InsertItem(0, "Wave Parser"), 0);
        AddColumns(list);
        EXPECT_EQ(list.InsertItem(0, "Null Renderer"), 0);  // rendered rows go in at the top
        EXPECT_EQ(list.InsertItem(99, "File Writer"), 2);   // past the end: appended
        EXPECT_EQ(list.InsertItem(-1, "nowhere"), -1);
        EXPECT_TRUE(list.SetItemText(1, 2, "Audio PCM WaveFormatEx 2 ch 44100 hz 16 bits"));
        EXPECT_FALSE(list.SetItemText(1, 3, "no such column"));
        EXPECT_FALSE(list.SetItemText(3, 0, "no such row"));
        EXPECT_TRUE(list.SetItemData(0, 0x1234));
        EXPECT_TRUE(list.SetItemData(2, 0x5678));
        ASSERT_EQ(list.GetItemCount(), 3);
        EXPECT_EQ(list.GetItemText(1, 0), "Wave Parser");
        EXPECT_EQ(list.GetItemText(1, 2), "Audio PCM WaveFormatEx 2 ch 44100 hz 16 bits");
        EXPECT_EQ(list.GetItemText(1, 1), "");
        EXPECT_EQ(list.GetItemText(7, 0), "");
        EXPECT_EQ(list.GetItemData(1), 0u);
        EXPECT_EQ(list.GetItemData(7), 0u);

        QTableWidget* table = TableOf(dialog);
        ASSERT_EQ(table->rowCount(), 3);
        EXPECT_EQ(table->item(0, 0)->text(), "Null Renderer");
        EXPECT_EQ(table->item(1, 0)->text(), "Wave Parser");
        EXPECT_EQ(table->item(1, 2)->text(), "Audio PCM WaveFormatEx 2 ch 44100 hz 16 bits");
        EXPECT_TRUE(table->item(1, 2)->textAlignment() & Qt::AlignHCenter);

        EXPECT_TRUE(list.DeleteItem(0));
        EXPECT_FALSE(list.DeleteItem(2));
        EXPECT_EQ(list.GetItemText(1, 0), "File Writer");
        EXPECT_EQ(list.GetItemData(1), 0x5678u);  // the data went with its row
        EXPECT_EQ(table->item(0, 0)->text(), "Wave Parser");
        EXPECT_TRUE(list.DeleteAllItems());
        EXPECT_EQ(list.GetItemCount(), 0);
        EXPECT_EQ(table->rowCount(), 0);
    });
}

TEST(ListViewTest, extended_styles_show_grid_lines_and_select_whole_rows) {
    WithList([](ScriptedDialog& dialog, ListCtrl& list) {
        HWND control = list.GetSafeHwnd();
        QTableWidget* table = TableOf(dialog);
        EXPECT_FALSE(table->showGrid());
        // As the filter list sets them: one bit through its mask, then the read-back plus one.
        EXPECT_EQ(
            SendMessageA(control, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES, LVS_EX_GRIDLINES),
            0);
        EXPECT_TRUE(table->showGrid());
        EXPECT_EQ(table->selectionBehavior(), QAbstractItemView::SelectItems);
        EXPECT_EQ(list.SetExtendedStyle(list.GetExtendedStyle() | LVS_EX_FULLROWSELECT),
                  LVS_EX_GRIDLINES);
        EXPECT_EQ(list.GetExtendedStyle(), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
        EXPECT_EQ(table->selectionBehavior(), QAbstractItemView::SelectRows);
        EXPECT_EQ(SendMessageA(control, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES, 0),
                  LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
        EXPECT_FALSE(table->showGrid());
    });
}

TEST(ListViewTest, the_selection_mark_follows_the_user_and_moves_with_its_row) {
    WithList([](ScriptedDialog& dialog, ListCtrl& list) {
        AddColumns(list);
        list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
        for (const char* name : {"Video Renderer", "Wave Parser", "Null Renderer"})
            list.InsertItem(list.GetItemCount(), name);
        QTableWidget* table = TableOf(dialog);
        EXPECT_EQ(list.GetSelectionMark(), -1);

        Click(table->viewport(), CellCentre(table, 1, 2));  // any column of a full row
        EXPECT_EQ(list.GetSelectionMark(), 1);
        EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
        EXPECT_EQ(list.GetSelectedCount(), 1u);

        list.InsertItem(0, "Tarvik Time Stretcher");  // the marked row moves down
        EXPECT_EQ(list.GetSelectionMark(), 2);
        EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 2);

        // A program's selection leaves the mark alone, as on Windows.
        list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
        EXPECT_EQ(list.GetSelectionMark(), 2);
        EXPECT_EQ(list.GetItemState(0, LVIS_SELECTED), LVIS_SELECTED);
        EXPECT_EQ(list.SetSelectionMark(0), 2);
        EXPECT_EQ(list.GetSelectionMark(), 0);

        TapKey(table, Qt::Key_Down);  // the keyboard selects too
        EXPECT_EQ(list.GetSelectionMark(), table->currentRow());

        list.SetSelectionMark(3);
        list.DeleteItem(3);  // the marked row goes: no mark left to point elsewhere
        EXPECT_EQ(list.GetSelectionMark(), -1);

        Click(table->viewport(), CellCentre(table, 1, 0));
        EXPECT_EQ(list.GetSelectionMark(), 1);
        Click(table->viewport(), CellCentre(table, 2, 1), Qt::RightButton);  // the menu's row
        EXPECT_EQ(list.GetSelectionMark(), 2);
        // Below the rows: nothing selected, no mark.
        Click(table->viewport(), QPoint(5, table->viewport()->height() - 2));
        EXPECT_EQ(list.GetSelectionMark(), -1);
        EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), -1);
    });
}

TEST(ListViewTest, clicks_and_keys_reach_the_hook_first_then_the_dialog) {
    ModalWatchdog watchdog;
    ScriptedDialog dialog(CommonControlsTemplate());
    std::vector<std::string> log;
    RecordingList list(log);
    NMITEMACTIVATE right_click{};
    WORD key = 0;
    dialog.on_message = [&](UINT message, WPARAM wparam, LPARAM lparam) -> std::optional<LRESULT> {
        if (message != WM_NOTIFY) return std::nullopt;
        const auto* header = reinterpret_cast<const NMHDR*>(lparam);
        EXPECT_EQ(header->idFrom, static_cast<UINT_PTR>(kListView));
        EXPECT_EQ(wparam, static_cast<WPARAM>(kListView));
        EXPECT_EQ(header->hwndFrom, list.GetSafeHwnd());
        log.push_back("dialog " + std::to_string(static_cast<int>(header->code)));
        if (header->code == NM_RCLICK)
            right_click = *reinterpret_cast<const NMITEMACTIVATE*>(lparam);
        if (header->code == LVN_KEYDOWN) key = reinterpret_cast<const NMLVKEYDOWN*>(lparam)->wVKey;
        return 0;
    };
    QPoint row_one;
    dialog.on_init = [&] {
        ASSERT_TRUE(list.SubclassDlgItem(kListView, dialog.GetSafeHwnd()));
        AddColumns(list);
        list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
        list.InsertItem(0, "Wave Parser");
        list.InsertItem(1, "Null Renderer");
    };
    WhenModal([&](QWidget*) {
        QTableWidget* table = TableOf(dialog);
        row_one = CellCentre(table, 1, 1);
        Click(table->viewport(), row_one, Qt::RightButton);
        Click(table->viewport(), CellCentre(table, 0, 0));
        table->setFocus();
        TapKey(table, Qt::Key_Delete);
        TapKey(table, Qt::Key_Escape);  // the dialog's: it ends as Cancel
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_FALSE(watchdog.Fired());
    const auto code = [](UINT value) { return std::to_string(static_cast<int>(value)); };
    EXPECT_EQ(log, (std::vector<std::string>{"hook " + code(NM_RCLICK), "dialog " + code(NM_RCLICK),
                                             "hook " + code(NM_CLICK), "dialog " + code(NM_CLICK),
                                             "hook " + code(LVN_KEYDOWN),
                                             "dialog " + code(LVN_KEYDOWN)}));
    EXPECT_EQ(right_click.iItem, 1);
    EXPECT_EQ(right_click.iSubItem, 1);
    EXPECT_EQ(key, VK_DELETE);
}

TEST(ListViewTest, commands_of_a_menu_tracked_for_the_list_go_to_its_hook_alone) {
    ModalWatchdog watchdog;
    RecordingMenuTracker tracker;
    tracker.ChooseEntry({"Remove"});
    ScriptedDialog dialog(CommonControlsTemplate());
    std::vector<std::string> log;
    RecordingList list(log);
    Menu menu;
    list.on_notify = [&](UINT code) {
        if (code != NM_RCLICK) return;
        menu.CreatePopupMenu();
        menu.AppendMenu(MF_STRING, kRemoveCommand, "Remove");
        menu.AppendMenu(MF_STRING, 1029, "Insert...");
        POINT at{};
        EXPECT_TRUE(
            menu.TrackPopupMenu(TPM_CENTERALIGN | TPM_RIGHTBUTTON, at.x, at.y, list.GetSafeHwnd()));
        log.push_back("tracked");
        PostMessageA(dialog.GetSafeHwnd(), WM_USER + 40, 0, 0);  // after the posted command
    };
    dialog.on_message = [&](UINT message, WPARAM wparam, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_COMMAND && LOWORD(wparam) == kRemoveCommand) log.push_back("dialog");
        if (message == WM_USER + 40) dialog.EndDialog(IDOK);
        return std::nullopt;
    };
    dialog.on_init = [&] {
        ASSERT_TRUE(list.SubclassDlgItem(kListView, dialog.GetSafeHwnd()));
        AddColumns(list);
        list.InsertItem(0, "Wave Parser");
    };
    WhenModal([&](QWidget*) {
        QTableWidget* table = TableOf(dialog);
        Click(table->viewport(), CellCentre(table, 0, 0), Qt::RightButton);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(watchdog.Fired());
    const std::string rclick = "hook " + std::to_string(static_cast<int>(NM_RCLICK));
    EXPECT_EQ(log, (std::vector<std::string>{rclick, "tracked", "hook command 1028/0"}));
    ASSERT_EQ(tracker.Menus().size(), 1u);
    EXPECT_EQ(tracker.Menus()[0].owner, list.GetSafeHwnd());
    EXPECT_EQ(tracker.Menus()[0].flags, TPM_CENTERALIGN | TPM_RIGHTBUTTON);
}

TEST(ListViewTest, small_images_are_masked_with_red_and_stay_with_the_list) {
    // Three 16 by 15 pictures side by side, red around a coloured middle.
    std::vector<COLORREF> pixels(48 * 15, RGB(255, 0, 0));
    for (int image = 0; image < 3; ++image)
        pixels[7 * 48 + image * 16 + 8] = RGB(0, 0, static_cast<BYTE>(100 + image));
    ASSERT_TRUE(RegisterBitmapResource(9132, 48, 15, pixels.data()));
    WithList([](ScriptedDialog& dialog, ListCtrl& list) {
        AddColumns(list);
        auto images = std::make_unique<ImageList>();
        ASSERT_TRUE(images->Create(16, 15, ILC_COLOR24 | ILC_MASK, 3, 1));
        EXPECT_FALSE(images->Create(16, 15, ILC_MASK, 3, 1));  // made already
        EXPECT_EQ(images->Add(LoadBitmapA(nullptr, MAKEINTRESOURCEA(9132)), RGB(255, 0, 0)), 0);
        EXPECT_EQ(images->Add(nullptr, RGB(255, 0, 0)), -1);
        ASSERT_EQ(images->GetImageCount(), 3);
        const auto data = ImageList::Data(images->GetSafeHandle());
        ASSERT_TRUE(data);
        const QImage& third = data->images[2];
        EXPECT_EQ(third.size(), QSize(16, 15));
        EXPECT_EQ(qAlpha(third.pixel(0, 0)), 0);  // red: transparent
        EXPECT_EQ(third.pixel(8, 7), qRgb(0, 0, 102));

        EXPECT_EQ(list.SetImageList(images.get(), LVSIL_SMALL), nullptr);
        list.InsertItem(0, "+2.500%", 1);
        list.InsertItem(1, "no image");
        QTableWidget* table = TableOf(dialog);
        EXPECT_FALSE(table->item(0, 0)->icon().isNull());
        EXPECT_TRUE(table->item(1, 0)->icon().isNull());
        EXPECT_TRUE(table->item(0, 1)->icon().isNull());  // images are the first column's

        // The list keeps showing the images after the image list object has gone.
        images.reset();
        list.InsertItem(2, "0.000%", 2);
        EXPECT_FALSE(table->item(2, 0)->icon().isNull());

        // Rows shown again and again share one icon per image, not a new picture each time.
        list.InsertItem(3, "+2.500%", 1);
        list.SetItemText(0, 0, "+3.000%");
        EXPECT_EQ(table->item(3, 0)->icon().cacheKey(), table->item(0, 0)->icon().cacheKey());
        EXPECT_NE(table->item(2, 0)->icon().cacheKey(), table->item(0, 0)->icon().cacheKey());
    });
}

TEST(ListViewTest, a_list_ctrl_and_its_control_let_go_of_each_other_whichever_goes_first) {
    ScriptedDialog dialog(CommonControlsTemplate());
    ListCtrl outliving;
    dialog.on_init = [&] {
        HWND self = dialog.GetSafeHwnd();
        ListCtrl wrong_kind;
        EXPECT_FALSE(wrong_kind.SubclassDlgItem(kSlider, self));
        EXPECT_FALSE(wrong_kind.SubclassDlgItem(4242, self));
        {
            ListCtrl short_lived;
            ASSERT_TRUE(short_lived.SubclassDlgItem(kListView, self));
        }
        ASSERT_TRUE(outliving.SubclassDlgItem(kListView, self));
        EXPECT_EQ(outliving.HookedWindow(), outliving.GetSafeHwnd());
        AddColumns(outliving);
        outliving.InsertItem(0, "Video Renderer");
        QTableWidget* table = TableOf(dialog);
        Click(table->viewport(), CellCentre(table, 0, 0));  // reaches only the live hook
        dialog.EndDialog(IDOK);
    };
    ASSERT_EQ(dialog.DoModal(), IDOK);
    // The control has gone: calls answer as for no window.
    EXPECT_EQ(outliving.HookedWindow(), nullptr);
    EXPECT_EQ(outliving.GetItemCount(), 0);
    EXPECT_EQ(outliving.GetItemText(0, 0), "");
}

}  // namespace
