// Combo box: an edit field over a list (CBS_DROPDOWN; CBS_SIMPLE is shown the same way) or a
// list alone (CBS_DROPDOWNLIST), the list kept in order or sorted without regard to case
// (CBS_SORT) and filled from the template's items. The CB_* messages answer as on Windows
// (CB_ERR for an index out of range); the window text is the edit field's. The dialog hears
// CBN_EDITUPDATE then CBN_EDITCHANGE when the user changes the text, CBN_SELCHANGE when the
// user picks another entry, CBN_DROPDOWN and CBN_CLOSEUP around the dropped list; nothing for
// changes made by messages. The template's height is the height with the list dropped down;
// the closed box takes the height its font needs.
// Threading: the user-interface thread.
#pragma once

#include <string>

#include <QComboBox>

#include "platform/ui/ControlWindow.h"

class ComboBoxControl : public ControlWindow {
public:
    ComboBoxControl(const ControlTemplate& control, QWidget* parent);

    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

protected:
    void Place(const QRect& rect) override;
    std::string Text() const override;
    void SetText(const std::string& text) override;

private:
    QComboBox* Box() const { return static_cast<QComboBox*>(Widget()); }
    bool Valid(WPARAM index) const;
    int SortedPosition(const QString& text) const;
    LRESULT Insert(int index, LPARAM text);
    LRESULT Find(WPARAM start, LPARAM text, bool exact) const;
    LRESULT Select(WPARAM index);
    LRESULT CopyItemText(WPARAM index, LPARAM buffer) const;

    bool m_quiet = false;  // a message is changing the box: no notification
};
