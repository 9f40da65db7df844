// The "Filter Selection" dialog driven as a user would: its layout, the sorted names with their
// entries, OK, Cancel and a double click (which selects with its first press).
#include "catalogue/FilterSelectionDialog.h"

#include <functional>
#include <string>
#include <vector>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>

#include <gtest/gtest.h>

#include "platform/ui/DialogUnits.h"
#include "platform/ui/WindowFunctions.h"
#include "tests/platform/ui/ModalDriver.h"

namespace {

// A catalogue whose list is given head first.
void Fill(FilterCatalogue& catalogue, const std::vector<std::string>& names) {
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        catalogue.head = new CatalogueEntry(name->c_str(), "{00000000-0000-0000-0000-000000000000}",
                                            nullptr, false, catalogue.head);
    }
}

CatalogueEntry* EntryAt(const FilterCatalogue& catalogue, int index) {
    CatalogueEntry* entry = catalogue.head;
    for (int i = 0; entry && i < index; ++i)
        entry = entry->next;
    return entry;
}

QListWidget* ListOf(QWidget* modal) {
    return modal->findChild<QListWidget*>();
}

void Click(QWidget* modal, const char* text) {
    for (QPushButton* button : modal->findChildren<QPushButton*>()) {
        if (button->text() == QString::fromLatin1(text)) button->click();
    }
}

void DoubleClick(QListWidget* list, int row) {
    QWidget* viewport = list->viewport();
    const QPointF at = list->visualItemRect(list->item(row)).center();
    const QPointF global = viewport->mapToGlobal(at);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, global, Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
    }
}

// Runs the dialog with `act` applied once it is up; returns DoModal's result.
int RunModal(FilterSelectionDialog& dialog, std::function<void(QWidget*)> act) {
    ModalWatchdog watchdog;
    WhenModal(std::move(act));
    const int result = dialog.DoModal();
    EXPECT_FALSE(watchdog.Fired());
    return result;
}

std::vector<std::string> Items(QListWidget* list) {
    std::vector<std::string> items;
    for (int i = 0; i < list->count(); ++i)
        items.push_back(list->item(i)->text().toStdString());
    return items;
}

// Also: the names appear sorted, and OK before any choice ends with IDOK and no entry.
TEST(FilterSelectionDialogTest, laid_out_as_its_resource_says_ok_without_a_choice_gives_no_entry) {
    FilterCatalogue catalogue;
    Fill(catalogue, {"Wave Parser", "Null Renderer"});
    FilterSelectionDialog dialog(&catalogue);
    QString caption;
    QString label;
    std::vector<QRect> frames;  // dialog, list, OK, Cancel
    std::vector<std::string> items;
    DialogUnits units(1, 1);
    EXPECT_EQ(RunModal(dialog,
                       [&](QWidget* modal) {
                           units = DialogUnits::FromFont(modal->font());
                           caption = modal->windowTitle();
                           label = modal->findChild<QLabel*>()->text();
                           frames = {QRect(QPoint(), modal->size()), ListOf(modal)->geometry()};
                           for (QPushButton* button : modal->findChildren<QPushButton*>()) {
                               frames.push_back(button->geometry());
                           }
                           items = Items(ListOf(modal));
                           Click(modal, "OK");
                       }),
              IDOK);
    EXPECT_EQ(dialog.GetSelectedEntry(), nullptr);
    EXPECT_EQ(caption, "Filter Selection");
    EXPECT_EQ(label, "Select a Filter...");
    EXPECT_EQ(frames, (std::vector<QRect>{
                          units.ToPixels(0, 0, 246, 183), units.ToPixels(7, 20, 232, 139),
                          units.ToPixels(59, 162, 50, 14), units.ToPixels(137, 162, 50, 14)}));
    EXPECT_EQ(items, (std::vector<std::string>{"Null Renderer", "Wave Parser"}));
}

TEST(FilterSelectionDialogTest, cancel_after_selecting_gives_cancel) {
    FilterCatalogue catalogue;
    Fill(catalogue, {"Wave Parser", "Null Renderer"});
    FilterSelectionDialog dialog(&catalogue);
    EXPECT_EQ(RunModal(dialog,
                       [&](QWidget* modal) {
                           ListOf(modal)->setCurrentRow(1);
                           Click(modal, "Cancel");
                       }),
              IDCANCEL);
}

TEST(FilterSelectionDialogTest, a_double_click_ends_as_ok_with_that_entry) {
    FilterCatalogue catalogue;
    Fill(catalogue, {"Wave Parser", "File Writer", "Null Renderer"});
    FilterSelectionDialog dialog(&catalogue);
    EXPECT_EQ(RunModal(dialog, [&](QWidget* modal) { DoubleClick(ListOf(modal), 1); }), IDOK);
    EXPECT_EQ(dialog.GetSelectedEntry(), EntryAt(catalogue, 2));  // "Null Renderer"
}

TEST(FilterSelectionDialogTest, two_entries_with_one_name_give_two_items_each_with_its_entry) {
    FilterCatalogue catalogue;
    Fill(catalogue, {"Wave Parser", "Wave Parser"});
    std::vector<CatalogueEntry*> chosen;
    for (int row = 0; row < 2; ++row) {
        FilterSelectionDialog dialog(&catalogue);
        std::vector<std::string> items;
        EXPECT_EQ(RunModal(dialog,
                           [&](QWidget* modal) {
                               items = Items(ListOf(modal));
                               DoubleClick(ListOf(modal), row);
                           }),
                  IDOK);
        EXPECT_EQ(items, (std::vector<std::string>{"Wave Parser", "Wave Parser"}));
        chosen.push_back(dialog.GetSelectedEntry());
    }
    ASSERT_NE(chosen[0], nullptr);
    ASSERT_NE(chosen[1], nullptr);
    EXPECT_NE(chosen[0], chosen[1]);
    EXPECT_TRUE(chosen[0] == EntryAt(catalogue, 0) || chosen[0] == EntryAt(catalogue, 1));
    EXPECT_TRUE(chosen[1] == EntryAt(catalogue, 0) || chosen[1] == EntryAt(catalogue, 1));
}

}  // namespace
