#include "platform/ui/ColumnSizing.h"

#include <algorithm>
#include <string>

#include "platform/ui/ListCtrl.h"

namespace {

constexpr size_t kLongestMeasuredText = 1023;
constexpr char kColumnMargin[] = "          ";

int PaddedWidth(const ListCtrl& list, std::string text) {
    if (text.size() > kLongestMeasuredText) text.resize(kLongestMeasuredText);
    text += kColumnMargin;
    return list.GetStringWidth(text.c_str());
}

}  // namespace

void AutoSizeColumns(ListCtrl& list) {
    for (int column = 0;; ++column) {
        char heading[kLongestMeasuredText + 1] = {};
        LVCOLUMNA info{};
        info.mask = LVCF_TEXT;
        info.pszText = heading;
        info.cchTextMax = sizeof(heading);
        if (!list.GetColumn(column, &info)) break;
        int width = PaddedWidth(list, heading);
        for (int row = 0; row < list.GetItemCount(); ++row)
            width = std::max(width, PaddedWidth(list, list.GetItemText(row, column)));
        list.SetColumnWidth(column, width);
    }
}
