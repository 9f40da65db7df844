// Data exchange between a dialog's controls and its members, one DDX_* call per bound control
// in the dialog's DoDataExchange. Saving reads each box back into its member; a box whose text
// does not parse stops the exchange there: the user is told ("Please enter an integer." /
// "Please enter a number."), the box gets the focus and UpdateData returns FALSE. Showing
// writes a box only when its text differs from the member, so that a box's change
// notification is not set off when nothing changed.
// More kinds of binding are added as further DDX_* functions over the same object.
// Threading: the user-interface thread, inside UpdateData.
#pragma once

#include <string>

#include "platform/WinTypes.h"

class DataExchange {
public:
    DataExchange(HWND dialog, bool save_and_validate);

    bool SaveAndValidate() const { return m_save_and_validate; }
    HWND DialogHandle() const { return m_dialog; }
    bool Failed() const { return m_failed; }
    // The control to exchange with, or null when there is none or the exchange has failed.
    HWND Control(int control_id) const;
    // Shows `message`, gives the box the focus and ends the exchange.
    void Fail(int control_id, const char* message);

private:
    HWND m_dialog;
    bool m_save_and_validate;
    bool m_failed = false;
};

void DDX_Text(DataExchange* exchange, int control_id, std::string& value);
void DDX_Text(DataExchange* exchange, int control_id, int& value);
void DDX_Text(DataExchange* exchange, int control_id, float& value);
void DDX_Text(DataExchange* exchange, int control_id, double& value);
// A check box's state: 0 unchecked, 1 checked.
void DDX_Check(DataExchange* exchange, int control_id, int& value);
