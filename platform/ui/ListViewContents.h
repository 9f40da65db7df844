// What a report-style list view holds, apart from how it is shown: the columns (heading and
// alignment), the rows (one text per column, an image index and the item data) and the
// selection mark, which moves with its row as rows come and go and is -1 once its row has gone.
// The first column's texts are the rows' own: a row made before any column keeps its text for
// the first column to come.
// Threading: the user-interface thread (no locking).
#pragma once

#include <string>
#include <vector>

#include "platform/WinTypes.h"
#include "platform/ui/CommonControls.h"

class ListViewContents {
public:
    struct Column {
        std::string heading;
        int format = LVCFMT_LEFT;
    };
    struct Row {
        std::vector<std::string> texts;  // one per column, at least one
        int image = I_IMAGENONE;
        LPARAM data = 0;
    };

    size_t ColumnCount() const { return m_columns.size(); }
    size_t RowCount() const { return m_rows.size(); }
    bool ValidRow(uintptr_t row) const { return row < m_rows.size(); }
    Column& ColumnAt(size_t column) { return m_columns[column]; }
    const Column& ColumnAt(size_t column) const { return m_columns[column]; }
    Row& RowAt(size_t row) { return m_rows[row]; }
    const Row& RowAt(size_t row) const { return m_rows[row]; }
    // The text of a cell, or null for a cell that does not exist.
    std::string* Text(uintptr_t row, int column);
    const std::string* Text(uintptr_t row, int column) const;

    // Each returns where the column or row went: `at`, or the end when `at` is past it.
    size_t InsertColumn(size_t at, Column column);
    bool DeleteColumn(size_t at);
    size_t InsertRow(size_t at, Row row);
    bool DeleteRow(size_t at);
    void DeleteAllRows();

    int SelectionMark() const { return m_selection_mark; }
    // Returns the previous mark; a row that does not exist leaves no mark.
    int SetSelectionMark(intptr_t row);

private:
    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
    int m_selection_mark = -1;
};
