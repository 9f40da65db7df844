// List box with one selection: strings with item data, kept in order or sorted without regard
// to case (LBS_SORT); with LBS_NOTIFY the dialog hears LBN_SELCHANGE when the user changes the
// selection (not when a message does) and LBN_DBLCLK on a double click. The LB_* messages
// answer as on Windows, LB_ERR for an index out of range.
// Threading: the user-interface thread.
#pragma once

#include <string>

#include <QListWidget>

#include "platform/ui/ControlWindow.h"

class ListBoxControl : public ControlWindow {
public:
    ListBoxControl(const ControlTemplate& control, QWidget* parent);

    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    QListWidget* List() const { return static_cast<QListWidget*>(Widget()); }
    static bool Valid(const QListWidget& list, WPARAM index);
    static std::string ItemText(const QListWidget& list, WPARAM index);
    static int SortedPosition(const QListWidget& list, const QString& text);
    LRESULT Insert(QListWidget& list, int index, LPARAM text);
    LRESULT Delete(QListWidget& list, WPARAM index);
    LRESULT Select(QListWidget& list, WPARAM index);
    static LRESULT CopyItemText(const QListWidget& list, WPARAM index, LPARAM buffer);
    static LRESULT FindExact(const QListWidget& list, WPARAM start, LPARAM text);

    bool m_quiet = false;  // a message is changing the list: no notification
};
