// The Qt slider under a dialog's slider (trackbar), moved by the mouse and the keyboard the way
// Windows' trackbar moves: a press on the thumb drags it (TB_THUMBTRACK at each new position,
// TB_THUMBPOSITION and TB_ENDTRACK on release), a press beside it pages toward the press point
// (TB_PAGEUP / TB_PAGEDOWN, repeated while held until the thumb reaches the point, TB_ENDTRACK
// on release), arrows move a line, Page Up / Page Down a page, Home / End to the ends
// (TB_LINEUP, TB_LINEDOWN, TB_PAGEUP, TB_PAGEDOWN, TB_TOP, TB_BOTTOM; TB_ENDTRACK when the key
// is released). A move that changes nothing is not reported. The left button's press and
// release are told first (on_button), before the slider acts on them; the release is the
// slider's even outside it, as the slider keeps the mouse while the button is down.
// Threading: the user-interface thread.
#pragma once

#include <functional>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QSlider>
#include <QTimer>
#include <QWheelEvent>

#include "platform/WinTypes.h"

class SliderWidget : public QSlider {
public:
    explicit SliderWidget(QWidget* parent);

    // WM_LBUTTONDOWN / WM_LBUTTONUP with the buttons and keys held (MK_*) and the point.
    std::function<void(UINT message, WPARAM keys, QPoint point)> on_button;
    // A TB_* code, once the position has changed.
    std::function<void(WORD code)> on_scroll;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    // The wheel would move the thumb without a report: left to the dialog.
    void wheelEvent(QWheelEvent* event) override { event->ignore(); }

private:
    enum class Tracking { None, Thumb, Page };

    QRect HandleRect() const;
    int ValueAt(int pixel) const;
    int Along(const QPoint& point) const;
    // -1 when `point` lies before the thumb, 1 after it, 0 on it.
    int SideOf(const QPoint& point) const;
    void Page();
    void MoveTo(int value, WORD code);
    void Tell(WORD code);
    static WPARAM Keys(const QMouseEvent& event);

    Tracking m_tracking = Tracking::None;
    int m_grab_offset = 0;  // from the thumb's start to the press point, pixels
    int m_direction = 0;    // paging: -1 toward the start, 1 toward the end
    QPoint m_press_point;
    QTimer m_repeat;
};
