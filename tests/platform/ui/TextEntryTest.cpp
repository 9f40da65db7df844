#include <string>
#include <vector>

#include <QComboBox>
#include <QLineEdit>

#include <gtest/gtest.h>

#include "platform/ui/DataExchange.h"
#include "platform/ui/DialogUnits.h"
#include "platform/ui/WindowFunctions.h"
#include "tests/platform/ui/InputEvents.h"
#include "tests/platform/ui/ScriptedDialog.h"

namespace {

LPARAM Text(const char* text) {
    return reinterpret_cast<LPARAM>(text);
}

// Types `text` as a person would, one key at a time.
void Type(QWidget* target, const std::string& text) {
    for (const char character : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(character)));
        QApplication::sendEvent(target, &press);
    }
}

std::vector<WPARAM> Expected(int id, std::initializer_list<WORD> codes) {
    std::vector<WPARAM> expected;
    for (const WORD code : codes)
        expected.push_back(MAKEWPARAM(static_cast<WORD>(id), code));
    return expected;
}

TEST(EditTypingTest, each_typed_character_tells_the_dialog_update_then_change) {
    ScriptedDialog dialog;
    dialog.on_init = [&] {
        dialog.commands.clear();
        auto* line = static_cast<QLineEdit*>(WidgetOf(dialog.GetDlgItem(kRatioEdit)));
        line->setFocus();
        Type(line, "1.5");
        EXPECT_EQ(GetWindowTextString(dialog.GetDlgItem(kRatioEdit)), "1.5");
        dialog.EndDialog(IDOK);
    };
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.commands, Expected(kRatioEdit, {EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE,
                                                     EN_UPDATE, EN_CHANGE}));
}

TEST(ComboBoxTest, the_templates_list_is_sorted_and_messages_change_it_silently) {
    ScriptedDialog dialog(CommonControlsTemplate());
    dialog.on_init = [&] {
        HWND combo = dialog.GetDlgItem(kCombo);
        dialog.commands.clear();
        ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 5);
        std::vector<std::string> entries;
        for (WPARAM i = 0; i < 5; ++i) {
            char buffer[16];
            ASSERT_EQ(SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buffer)),
                      SendMessageA(combo, CB_GETLBTEXTLEN, i, 0));
            entries.push_back(buffer);
        }
        EXPECT_EQ(entries, (std::vector<std::string>{"23.97", "24", "25", "29.97", "30"}));
        EXPECT_EQ(GetWindowTextString(combo), "");
        EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);

        // The framerate selector's start: the first entry selected, its text in the field.
        EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 0, 0), 0);
        EXPECT_EQ(GetWindowTextString(combo), "23.97");
        EXPECT_EQ(SendMessageA(combo, CB_ADDSTRING, 0, Text("26")), 3);
        EXPECT_EQ(SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), Text("26")), 3);
        EXPECT_EQ(SendMessageA(combo, CB_FINDSTRING, 0, Text("29")), 4);
        EXPECT_EQ(SendMessageA(combo, CB_FINDSTRINGEXACT, 0, Text("2")), CB_ERR);
        EXPECT_EQ(SendMessageA(combo, CB_SETITEMDATA, 3, 77), CB_OKAY);
        EXPECT_EQ(SendMessageA(combo, CB_DELETESTRING, 1, 0), 5);
        EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 2, 0), 77);  // "26" moved up with it
        EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXTLEN, 9, 0), CB_ERR);
        EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 9, 0), CB_ERR);
        EXPECT_EQ(GetWindowTextString(combo), "");
        SetWindowTextA(combo, "12.5");
        EXPECT_EQ(GetWindowTextString(combo), "12.5");
        auto* box = static_cast<QComboBox*>(WidgetOf(combo));
        EXPECT_EQ(box->currentText(), "12.5");
        EXPECT_TRUE(dialog.commands.empty());
        dialog.EndDialog(IDOK);
    };
    ASSERT_EQ(dialog.DoModal(), IDOK);
}

TEST(ComboBoxTest, the_user_typing_or_picking_tells_the_dialog_and_data_exchange_reads_it) {
    ScriptedDialog dialog(CommonControlsTemplate());
    std::string framerate_text;
    dialog.exchange = [&](DataExchange* exchange) { DDX_Text(exchange, kCombo, framerate_text); };
    dialog.on_init = [&] {
        HWND combo = dialog.GetDlgItem(kCombo);
        SendMessageA(combo, CB_SETCURSEL, 0, 0);
        auto* box = static_cast<QComboBox*>(WidgetOf(combo));
        dialog.commands.clear();
        box->lineEdit()->selectAll();
        Type(box->lineEdit(), "29.97fps");
        EXPECT_EQ(dialog.commands.size(), 16u);
        EXPECT_EQ(dialog.commands[0], MAKEWPARAM(kCombo, CBN_EDITUPDATE));
        EXPECT_EQ(dialog.commands[1], MAKEWPARAM(kCombo, CBN_EDITCHANGE));
        ASSERT_TRUE(dialog.UpdateData(TRUE));
        EXPECT_EQ(framerate_text, "29.97fps");

        dialog.commands.clear();
        box->setCurrentIndex(2);  // as the dropped list does when the user picks "25"
        EXPECT_EQ(dialog.commands, Expected(kCombo, {CBN_SELCHANGE}));
        ASSERT_TRUE(dialog.UpdateData(TRUE));
        EXPECT_EQ(framerate_text, "25");
        dialog.EndDialog(IDOK);
    };
    ASSERT_EQ(dialog.DoModal(), IDOK);
}

TEST(ComboBoxTest, the_closed_box_is_as_tall_as_its_font_needs_and_the_rest_is_the_list) {
    ScriptedDialog dialog(CommonControlsTemplate());
    dialog.on_init = [&] {
        auto* box = static_cast<QComboBox*>(WidgetOf(dialog.GetDlgItem(kCombo)));
        ASSERT_NE(box, nullptr);
        const DialogUnits units = DialogUnits::FromFont(box->window()->font());
        EXPECT_LT(box->height(), units.ToPixelsY(60));
        EXPECT_GE(box->height(), box->fontMetrics().height());
        EXPECT_EQ(box->width(), units.ToPixelsX(80));
        EXPECT_GE(box->maxVisibleItems(), 2);
        dialog.EndDialog(IDOK);
    };
    ASSERT_EQ(dialog.DoModal(), IDOK);
}

}  // namespace
