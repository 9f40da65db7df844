// The Qt table under a report-style list view: rows that the user selects with the mouse and
// the keyboard, told to the list view as Windows' list view tells its parent: a click or right
// click when the button is released (NM_CLICK, NM_RCLICK; NM_DBLCLK, NM_RDBLCLK for a double
// click), a key before the table handles it (LVN_KEYDOWN; not Escape, Enter or Tab, which
// belong to the dialog), and the row the user selected last (the selection mark; -1 after a
// click on no row, which clears the selection).
// Threading: the user-interface thread.
#pragma once

#include <functional>

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPoint>
#include <QTableWidget>

#include "platform/WinTypes.h"

class ListViewWidget : public QTableWidget {
public:
    explicit ListViewWidget(QWidget* parent);

    // `code` NM_*; the row (-1 for none) and column under `point` (the widget's coordinates).
    std::function<void(UINT code, int row, int column, QPoint point)> on_click;
    std::function<void(UINT virtual_key)> on_key;
    std::function<void(int row)> on_user_select;

    // A row is selected when its first cell is (without full-row selection only that cell
    // shows it, as on Windows).
    bool IsRowSelected(int row) const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The right click is the list's own: the dialog's window menu must not open.
    void contextMenuEvent(QContextMenuEvent* event) override { event->accept(); }

private:
    void Clicked(QMouseEvent* event, bool twice);
    void Selected(const QPoint& viewport_point);

    bool m_pressed = false;       // a press of ours waits for its release
    bool m_double_click = false;  // the release ends a double click: already told
};
