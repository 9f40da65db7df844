#include "app/EditHistory.h"

namespace {

bool Groups(EditKind kind) {
    return kind == EditKind::Stretch || kind == EditKind::Position || kind == EditKind::Offset;
}

}  // namespace

void EditHistory::Record(EditKind kind, const EditState& before, const EditState& after) {
    if (m_group_open && !m_undo.empty() && m_undo.back().kind == kind) {
        m_undo.back().after = after;
        m_redo.clear();
        return;
    }
    if (before == after) return;
    EndGroup();
    m_undo.push_back({kind, before, after});
    if (m_undo.size() > kMaxSteps) m_undo.pop_front();
    m_redo.clear();
    m_group_open = Groups(kind);
}

void EditHistory::EndGroup() {
    // A drag that came back to where it started is no step at all.
    if (m_group_open && !m_undo.empty() && m_undo.back().before == m_undo.back().after) {
        m_undo.pop_back();
    }
    m_group_open = false;
}

std::optional<EditState> EditHistory::Undo() {
    EndGroup();
    if (m_undo.empty()) return std::nullopt;
    m_redo.push_back(std::move(m_undo.back()));
    m_undo.pop_back();
    return m_redo.back().before;
}

std::optional<EditState> EditHistory::Redo() {
    EndGroup();
    if (m_redo.empty()) return std::nullopt;
    m_undo.push_back(std::move(m_redo.back()));
    m_redo.pop_back();
    return m_undo.back().after;
}

void EditHistory::Clear() {
    m_undo.clear();
    m_redo.clear();
    m_group_open = false;
}
