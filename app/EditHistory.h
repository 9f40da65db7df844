// EditHistory: the undo and redo steps of the main window's edits (events, the initial offset,
// a fit of the events). Each step keeps the state before and after it: the offset, its box's
// text, every event's position and stretch in list order, and which event was selected.
// A run of changes of the same kind while a group is open (one slider drag, typing in the
// offset box) is one step; EndGroup closes the run. A change that leaves the state as it was
// is no step. A new step drops whatever could be redone.
// Order of use: Record after each edit; Undo / Redo give the state to put back.
// Threading: the user-interface thread.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

struct EditState {
    struct Event {
        float movie_pos = 0;
        float tempo = 0;
        bool operator==(const Event&) const = default;
    };
    float initial_offset = 0;
    std::string offset_text;
    std::vector<Event> events;  // in list order
    int current = -1;           // index of the selected event, -1 for none
    bool operator==(const EditState&) const = default;
};

enum class EditKind { Insert, Delete, Stretch, Position, Offset, Fit };

class EditHistory {
public:
    // Past this many steps the oldest are forgotten, so a long session's history stays small.
    static constexpr size_t kMaxSteps = 1000;

    // A change from `before` to `after`. Merged into the last step when that one is of the same
    // kind and its group is still open; the group stays open for Stretch, Position and Offset.
    void Record(EditKind kind, const EditState& before, const EditState& after);
    void EndGroup();
    // The state to put back, or nothing when there is no step.
    std::optional<EditState> Undo();
    std::optional<EditState> Redo();
    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }
    void Clear();

private:
    struct Step {
        EditKind kind;
        EditState before;
        EditState after;
    };

    std::deque<Step> m_undo;
    std::vector<Step> m_redo;
    bool m_group_open = false;
};
