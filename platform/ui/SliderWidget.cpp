#include "platform/ui/SliderWidget.h"

#include <algorithm>
#include <cstdint>

#include <QStyle>
#include <QStyleOptionSlider>

#include "platform/ui/CommonControls.h"
#include "platform/ui/WindowMessages.h"

namespace {

constexpr int kFirstRepeatMs = 400;
constexpr int kRepeatMs = 100;

int Clamped(int64_t value, int low, int high) {
    return static_cast<int>(std::clamp<int64_t>(value, low, high));
}

}  // namespace

SliderWidget::SliderWidget(QWidget* parent) : QSlider(parent) {
    m_repeat.setSingleShot(false);
    QObject::connect(&m_repeat, &QTimer::timeout, [this] {
        m_repeat.setInterval(kRepeatMs);
        Page();
    });
}

WPARAM SliderWidget::Keys(const QMouseEvent& event) {
    WPARAM keys = 0;
    if (event.buttons() & Qt::LeftButton) keys |= MK_LBUTTON;
    if (event.buttons() & Qt::RightButton) keys |= MK_RBUTTON;
    if (event.buttons() & Qt::MiddleButton) keys |= MK_MBUTTON;
    if (event.modifiers() & Qt::ShiftModifier) keys |= MK_SHIFT;
    if (event.modifiers() & Qt::ControlModifier) keys |= MK_CONTROL;
    return keys;
}

QRect SliderWidget::HandleRect() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
}

int SliderWidget::Along(const QPoint& point) const {
    return orientation() == Qt::Horizontal ? point.x() : point.y();
}

int SliderWidget::ValueAt(int pixel) const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect handle = HandleRect();
    const bool horizontal = orientation() == Qt::Horizontal;
    const int length = horizontal ? handle.width() : handle.height();
    const int start = horizontal ? groove.x() : groove.y();
    const int end = (horizontal ? groove.right() : groove.bottom()) - length + 1;
    return QStyle::sliderValueFromPosition(minimum(), maximum(), pixel - start, end - start,
                                           option.upsideDown);
}

int SliderWidget::SideOf(const QPoint& point) const {
    const QRect handle = HandleRect();
    const bool horizontal = orientation() == Qt::Horizontal;
    const int along = Along(point);
    const int first = horizontal ? handle.left() : handle.top();
    const int last = horizontal ? handle.right() : handle.bottom();
    if (along >= first && along <= last) return 0;
    // Where the point lies in the range's terms: a reversed look swaps the pixel sides.
    const int before = along < first ? -1 : 1;
    QStyleOptionSlider option;
    initStyleOption(&option);
    return option.upsideDown ? -before : before;
}

void SliderWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    const QPoint point = event->position().toPoint();
    if (on_button) on_button(WM_LBUTTONDOWN, Keys(*event), point);
    event->accept();
    setFocus(Qt::MouseFocusReason);
    m_press_point = point;
    const int side = SideOf(point);
    if (side == 0) {
        m_tracking = Tracking::Thumb;
        const QRect handle = HandleRect();
        m_grab_offset = Along(point) - (orientation() == Qt::Horizontal ? handle.x() : handle.y());
        setSliderDown(true);
        return;
    }
    m_tracking = Tracking::Page;
    m_direction = side;
    Page();
    m_repeat.start(kFirstRepeatMs);
}

void SliderWidget::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (m_tracking == Tracking::Page) {
        m_press_point = event->position().toPoint();  // paging heads for the mouse
        return;
    }
    if (m_tracking != Tracking::Thumb) return;
    MoveTo(ValueAt(Along(event->position().toPoint()) - m_grab_offset), TB_THUMBTRACK);
}

void SliderWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    if (on_button) on_button(WM_LBUTTONUP, Keys(*event), event->position().toPoint());
    event->accept();
    const Tracking ended = m_tracking;
    m_tracking = Tracking::None;
    m_repeat.stop();
    if (ended == Tracking::Thumb) {
        setSliderDown(false);
        Tell(TB_THUMBPOSITION);
    }
    if (ended != Tracking::None) Tell(TB_ENDTRACK);
}

void SliderWidget::Page() {
    if (m_tracking != Tracking::Page) return;
    // The thumb stops once it has reached the point held.
    if (SideOf(m_press_point) != m_direction) return;
    const int64_t step = int64_t{pageStep()} * m_direction;
    MoveTo(Clamped(int64_t{value()} + step, minimum(), maximum()),
           m_direction < 0 ? TB_PAGEUP : TB_PAGEDOWN);
}

void SliderWidget::keyPressEvent(QKeyEvent* event) {
    const int64_t position = value();
    int64_t target = position;
    WORD code = 0;
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up:
            target = position - singleStep();
            code = TB_LINEUP;
            break;
        case Qt::Key_Right:
        case Qt::Key_Down:
            target = position + singleStep();
            code = TB_LINEDOWN;
            break;
        case Qt::Key_PageUp:
            target = position - pageStep();
            code = TB_PAGEUP;
            break;
        case Qt::Key_PageDown:
            target = position + pageStep();
            code = TB_PAGEDOWN;
            break;
        case Qt::Key_Home:
            target = minimum();
            code = TB_TOP;
            break;
        case Qt::Key_End:
            target = maximum();
            code = TB_BOTTOM;
            break;
        default:
            event->ignore();  // Escape, Enter, Tab: the dialog's
            return;
    }
    event->accept();
    MoveTo(Clamped(target, minimum(), maximum()), code);
}

void SliderWidget::keyReleaseEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up:
        case Qt::Key_Right:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            event->accept();
            if (!event->isAutoRepeat()) Tell(TB_ENDTRACK);
            return;
        default:
            event->ignore();
            return;
    }
}

void SliderWidget::MoveTo(int target, WORD code) {
    if (target == value()) return;
    setValue(target);
    Tell(code);
}

void SliderWidget::Tell(WORD code) {
    if (on_scroll) on_scroll(code);
}
