#include "platform/ui/ListViewWidget.h"

#include <QHeaderView>
#include <QItemSelectionModel>

#include "platform/ui/CommonControls.h"
#include "platform/ui/VirtualKeys.h"

ListViewWidget::ListViewWidget(QWidget* parent) : QTableWidget(parent) {}

bool ListViewWidget::IsRowSelected(int row) const {
    const QModelIndex first = model()->index(row, 0);
    return first.isValid() && selectionModel()->isSelected(first);
}

void ListViewWidget::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (!indexAt(point).isValid()) {
        // A click beside the rows lets go of every row, with either button, as on Windows.
        clearSelection();
        setFocus(Qt::MouseFocusReason);
        event->accept();
    } else {
        QTableWidget::mousePressEvent(event);
    }
    m_pressed = event->button() == Qt::LeftButton || event->button() == Qt::RightButton;
    m_double_click = false;
    Selected(point);
}

void ListViewWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableWidget::mouseDoubleClickEvent(event);
    Selected(event->position().toPoint());
    Clicked(event, true);
    m_double_click = true;
}

void ListViewWidget::mouseReleaseEvent(QMouseEvent* event) {
    QTableWidget::mouseReleaseEvent(event);
    if (!m_pressed) return;
    m_pressed = false;
    if (m_double_click) {
        m_double_click = false;
        return;
    }
    Clicked(event, false);
}

void ListViewWidget::Clicked(QMouseEvent* event, bool twice) {
    UINT code = 0;
    if (event->button() == Qt::LeftButton) code = twice ? NM_DBLCLK : NM_CLICK;
    if (event->button() == Qt::RightButton) code = twice ? NM_RDBLCLK : NM_RCLICK;
    if (code == 0 || !on_click) return;
    const QPoint point = event->position().toPoint();
    const QModelIndex index = indexAt(point);
    on_click(code, index.isValid() ? index.row() : -1, index.isValid() ? index.column() : -1,
             viewport()->mapTo(this, point));
}

void ListViewWidget::Selected(const QPoint& viewport_point) {
    const QModelIndex index = indexAt(viewport_point);
    const int row = index.isValid() && IsRowSelected(index.row()) ? index.row() : -1;
    if (on_user_select) on_user_select(row);
}

void ListViewWidget::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            event->ignore();
            return;
        default:
            break;
    }
    const UINT key = VirtualKeyFromQt(event->key());
    if (key != 0 && on_key) on_key(key);
    const int before = currentRow();
    QTableWidget::keyPressEvent(event);
    const int after = currentRow();
    if (after != before && after >= 0 && IsRowSelected(after) && on_user_select) {
        on_user_select(after);
    }
}
