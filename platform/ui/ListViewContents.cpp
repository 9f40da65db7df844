#include "platform/ui/ListViewContents.h"

#include <algorithm>
#include <utility>

std::string* ListViewContents::Text(uintptr_t row, int column) {
    return const_cast<std::string*>(static_cast<const ListViewContents*>(this)->Text(row, column));
}

const std::string* ListViewContents::Text(uintptr_t row, int column) const {
    if (!ValidRow(row) || column < 0) return nullptr;
    const std::vector<std::string>& texts = m_rows[row].texts;
    return static_cast<size_t>(column) < texts.size() ? &texts[column] : nullptr;
}

size_t ListViewContents::InsertColumn(size_t at, Column column) {
    at = std::min(at, m_columns.size());
    // The first column takes the rows' own texts; a later one starts empty.
    if (!m_columns.empty()) {
        for (Row& row : m_rows)
            row.texts.insert(row.texts.begin() + static_cast<std::ptrdiff_t>(at), std::string());
    }
    m_columns.insert(m_columns.begin() + static_cast<std::ptrdiff_t>(at), std::move(column));
    return at;
}

bool ListViewContents::DeleteColumn(size_t at) {
    if (at >= m_columns.size()) return false;
    if (m_columns.size() > 1) {
        for (Row& row : m_rows)
            row.texts.erase(row.texts.begin() + static_cast<std::ptrdiff_t>(at));
    }
    m_columns.erase(m_columns.begin() + static_cast<std::ptrdiff_t>(at));
    return true;
}

size_t ListViewContents::InsertRow(size_t at, Row row) {
    at = std::min(at, m_rows.size());
    row.texts.resize(std::max<size_t>(m_columns.size(), 1));
    m_rows.insert(m_rows.begin() + static_cast<std::ptrdiff_t>(at), std::move(row));
    if (m_selection_mark >= static_cast<int>(at)) ++m_selection_mark;
    return at;
}

bool ListViewContents::DeleteRow(size_t at) {
    if (at >= m_rows.size()) return false;
    m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(at));
    const int row = static_cast<int>(at);
    if (m_selection_mark == row) {
        m_selection_mark = -1;
    } else if (m_selection_mark > row) {
        --m_selection_mark;
    }
    return true;
}

void ListViewContents::DeleteAllRows() {
    m_rows.clear();
    m_selection_mark = -1;
}

int ListViewContents::SetSelectionMark(intptr_t row) {
    const int previous = m_selection_mark;
    m_selection_mark =
        row >= 0 && ValidRow(static_cast<uintptr_t>(row)) ? static_cast<int>(row) : -1;
    return previous;
}
