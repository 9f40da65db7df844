// The main window's undo and redo: every edit of the events and of the initial offset is
// recorded as the state before and after it, and a step is put back through the same locked
// edit as a hand edit, so the playing stream follows it.
#include "app/MainWindow.h"

#include "engine/StretchEvent.h"

EditState MainWindow::CaptureEditState() const {
    EditState state;
    state.initial_offset = m_initial_offset;
    state.offset_text = m_offset_text;
    int index = 0;
    for (const StretchEvent* e = m_events; e; e = e->m_next, ++index) {
        state.events.push_back({e->m_movie_pos, e->m_tempo});
        if (e == m_current_event) state.current = index;
    }
    return state;
}

void MainWindow::RestoreEditState(const EditState& state) {
    ChangeEvents([&] {
        delete m_events;
        m_events = nullptr;
        m_current_event = nullptr;
        int index = 0;
        for (const EditState::Event& saved : state.events) {
            // In list order, each after any equal one: the list comes back as it was.
            auto* e = new StretchEvent(saved.movie_pos, saved.tempo, &m_events);
            if (index++ == state.current) m_current_event = e;
        }
        m_initial_offset = state.initial_offset;
        m_offset_text = state.offset_text;
    });
}

void MainWindow::EditEvents(EditKind kind, const std::function<void()>& change) {
    const EditState before = CaptureEditState();
    ChangeEvents(change);
    m_history.Record(kind, before, CaptureEditState());
}

void MainWindow::Undo() {
    if (const std::optional<EditState> state = m_history.Undo()) RestoreEditState(*state);
}

void MainWindow::Redo() {
    if (const std::optional<EditState> state = m_history.Redo()) RestoreEditState(*state);
}
