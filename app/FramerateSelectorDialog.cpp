#include "app/FramerateSelectorDialog.h"

#include "app/ProjectText.h"
#include "platform/ui/DataExchange.h"
#include "platform/ui/WindowFunctions.h"
#include "platform/ui/WindowMessages.h"

namespace {
const char* const kPrompt = "Framerate is not found, Please select one :";
}

FramerateSelectorDialog::FramerateSelectorDialog(HWND parent) : Dialog(Resource(), parent) {}

DialogTemplate FramerateSelectorDialog::Resource() {
    DialogTemplate resource;
    resource.resource_id = IDD;
    resource.caption = "Framerate Selector";
    resource.cx = 186;
    resource.cy = 61;
    resource.style = DS_MODALFRAME | WS_POPUP | WS_CAPTION;  // no window menu, no close box
    resource.controls = {
        {IDC_PROMPT, ControlKind::Static, kPrompt, 7, 7, 172, 11, SS_CENTER},
        {IDC_RATES,
         ControlKind::ComboBox,
         "",
         52,
         20,
         80,
         95,
         CBS_DROPDOWN | CBS_SORT | WS_VSCROLL | WS_TABSTOP,
         {"23.97", "24", "25", "29.97", "30"}},
        {IDOK, ControlKind::PushButton, "OK", 67, 40, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP},
    };
    return resource;
}

void FramerateSelectorDialog::DoDataExchange(DataExchange* exchange) {
    Dialog::DoDataExchange(exchange);
    DDX_Text(exchange, IDC_RATES, m_framerate_text);
}

BOOL FramerateSelectorDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    SetDlgItemTextA(GetSafeHwnd(), IDC_PROMPT, kPrompt);
    SendDlgItemMessageA(GetSafeHwnd(), IDC_RATES, CB_SETCURSEL, 0, 0);
    return TRUE;
}

void FramerateSelectorDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    m_value = ReadProjectNumber(m_framerate_text.c_str());
    // No rate at all would make every frame number 0.
    if (m_value == 0.0f) m_value = kFallbackRate;
    EndDialog(IDOK);
}
