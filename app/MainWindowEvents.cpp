// The main window's stretching events editor: the events list, Insert, Delete and the event
// sliders, every change handed to the current stretched stream.
#include "app/MainWindow.h"

#include "app/AppResources.h"
#include "app/StretchText.h"
#include "app/TimeFormat.h"
#include "engine/StreamAdapter.h"
#include "engine/StretchEvent.h"
#include "engine/StretchMath.h"
#include "engine/StretchedWaveStream.h"
#include "platform/ui/ColumnSizing.h"
#include "platform/ui/CommonControls.h"
#include "platform/ui/Resources.h"

namespace {

constexpr const char* kEventColumns[] = {"Movie Pos", "Audio Pos", "Stretching"};
constexpr int kInitialColumnWidth = 50;
// The sign images, in the order of their indexes: below 0, above 0, exactly 0.
constexpr unsigned kSignBitmaps[] = {AppResource::SIGN_OUTWARDS, AppResource::SIGN_INWARDS,
                                     AppResource::SIGN_FLAT};
constexpr int kBelowZeroImage = 0;
constexpr int kAboveZeroImage = 1;
constexpr int kZeroImage = 2;
// Slider 1015 counts thousandths of a percent.
constexpr float kStretchSliderUnits = 1000.0f;

}  // namespace

void MainWindow::SetupEventsList() {
    m_events_list.SetExtendedStyle(m_events_list.GetExtendedStyle() | LVS_EX_GRIDLINES |
                                   LVS_EX_FULLROWSELECT);
    for (int column = 0; column < 3; ++column)
        m_events_list.InsertColumn(column, kEventColumns[column], LVCFMT_CENTER,
                                   kInitialColumnWidth);
    if (m_event_images.Create(16, 15, ILC_COLOR24 | ILC_MASK, 3, 1)) {
        for (unsigned id : kSignBitmaps) {
            HBITMAP bitmap = LoadBitmapA(nullptr, MAKEINTRESOURCEA(id));
            m_event_images.Add(bitmap, RGB(255, 0, 0));
            if (bitmap) DeleteObject(bitmap);
        }
    }
    m_events_list.SetImageList(&m_event_images, LVSIL_SMALL);
}

// The worker of the playback stream's read queue walks the list and the events' fields while
// it reads, so a change and the SetOffset that makes the stream take it up run under the lock
// it reads under: no read sees a half-made change or an event already freed.
void MainWindow::ChangeEvents(const std::function<void()>& change) {
    StreamAdapter::EditCurrentStream([&](StretchedWaveStream* stream) {
        if (change) change();
        if (stream) stream->SetOffset(m_initial_offset);
    });
    FillEventsList();
}

void MainWindow::RefreshEvents() {
    ChangeEvents(nullptr);
}

void MainWindow::FillEventsList() {
    m_events_list.DeleteAllItems();
    int row = 0;
    for (StretchEvent* e = m_events; e; e = e->m_next, ++row) {
        char sign = ' ';
        int image = kZeroImage;
        if (e->m_tempo < 0) {
            image = kBelowZeroImage;
        } else if (e->m_tempo > 0) {
            sign = '+';
            image = kAboveZeroImage;
        }
        const int index = m_events_list.InsertItem(row, "", image);
        if (index < 0) continue;
        m_events_list.SetItemText(index, 0, FormatTime(e->m_movie_pos).c_str());
        m_events_list.SetItemText(index, 1, FormatTime(e->m_audio_pos).c_str());
        m_events_list.SetItemText(index, 2, FormatStretch(sign, e->m_tempo).c_str());
        m_events_list.SetItemData(index, reinterpret_cast<DWORD_PTR>(e));
    }
    AutoSizeColumns(m_events_list);
    ShowCurrentEvent();
}

void MainWindow::ShowCurrentEvent() {
    if (m_current_event) {
        const char sign = m_current_event->m_tempo > 0 ? '+' : ' ';
        m_event_pos_text = FormatTime(m_current_event->m_movie_pos);
        m_event_stretch_text = FormatStretch(sign, m_current_event->m_tempo);
        m_event_position_slider.SetPos(SaturateCast<int>(m_current_event->m_movie_pos));
        m_event_stretch_slider.SetPos(
            RoundHalfAway(m_current_event->m_tempo * kStretchSliderUnits));
    } else {
        m_event_pos_text.clear();
        m_event_stretch_text.clear();
        m_event_position_slider.SetPos(0);
        m_event_stretch_slider.SetPos(0);
    }
    UpdateData(FALSE);
}

void MainWindow::OnEventsClick() {
    const int row = m_events_list.GetNextItem(-1, LVNI_SELECTED);
    if (row < 0) return;
    m_current_event = reinterpret_cast<StretchEvent*>(m_events_list.GetItemData(row));
    ShowCurrentEvent();
}

void MainWindow::OnInsertEvent() {
    EditEvents(EditKind::Insert,
               [&] { m_current_event = new StretchEvent(m_current_pos, 0.0f, &m_events); });
}

void MainWindow::OnDeleteEvent() {
    if (!m_current_event) return;
    EditEvents(EditKind::Delete, [&] {
        m_current_event->Unlink(&m_events);
        delete m_current_event;  // alone: Unlink left it without successors
        m_current_event = nullptr;
    });
}

void MainWindow::OnEventStretchScroll(WORD code) {
    const float stretch = static_cast<float>(m_event_stretch_slider.GetPos()) / kStretchSliderUnits;
    if (m_current_event) EditEvents(EditKind::Stretch, [&] { m_current_event->m_tempo = stretch; });
    if (code == TB_ENDTRACK) m_history.EndGroup();  // the drag is one step
}

void MainWindow::OnEventPositionScroll(WORD code) {
    const float position = static_cast<float>(m_event_position_slider.GetPos());
    if (m_current_event) {
        EditEvents(EditKind::Position, [&] {
            // Out and back in at its sorted place, after any event at the same position.
            m_current_event->Unlink(&m_events);
            m_current_event->m_movie_pos = position;
            m_current_event->Link(&m_events);
        });
    }
    if (code == TB_ENDTRACK) m_history.EndGroup();
}
