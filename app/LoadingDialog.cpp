#include "app/LoadingDialog.h"

#include "platform/ui/MessageBox.h"
#include "platform/ui/WindowFunctions.h"

LoadingDialog::LoadingDialog(const char* title, LPVOID data, LoadingWork work, HWND parent)
    : Dialog(Resource(), parent),
      m_work(work),
      m_data(data),
      m_done_event(CreateEventA(nullptr, FALSE, FALSE, "CLoadingWakeUp")) {
    if (title) m_title = title;
}

LoadingDialog::~LoadingDialog() {
    // Never shown means no work to wait for: waiting would never end.
    if (m_thread) {
        WaitForSingleObject(m_done_event, INFINITE);
        CloseHandle(m_thread);
    }
    CloseHandle(m_done_event);
}

DialogTemplate LoadingDialog::Resource() {
    DialogTemplate resource;
    resource.resource_id = IDD;
    resource.caption = "Loading...";
    resource.cx = 186;
    resource.cy = 55;
    resource.font_name = "MS Sans Serif";
    resource.font_size = 8;
    resource.style = DS_MODALFRAME | WS_POPUP | WS_CAPTION;  // no system menu
    resource.controls = {
        {IDC_PLEASE_WAIT, ControlKind::Static, "Please Wait...", 54, 7, 77, 13, SS_CENTER},
        {IDC_PROGRESS, ControlKind::ProgressBar, "", 7, 27, 172, 9, WS_BORDER},
    };
    return resource;
}

BOOL LoadingDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    HWND self = GetSafeHwnd();
    SendDlgItemMessageA(self, IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    if (m_title) SetWindowTextA(self, m_title->c_str());
    // One work per dialog, and none without an event to tell its end.
    if (m_thread || !m_done_event) {
        EndDialog(-1);
        return TRUE;
    }
    m_work_window = self;
    m_thread = CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
    // Without its worker nothing would ever close the dialog.
    if (!m_thread) EndDialog(-1);
    return TRUE;
}

DWORD LoadingDialog::ThreadProc(LPVOID self) {
    auto* dialog = static_cast<LoadingDialog*>(self);
    if (dialog->m_work) dialog->m_work(dialog->m_work_window, dialog->m_data);
    // The dialog may be gone as soon as this is signalled: nothing of it is used after.
    SetEvent(dialog->m_done_event);
    return 0;
}

LRESULT LoadingDialog::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_LOADING_PROGRESS) return OnProgress(wparam);
    return Dialog::WindowProc(message, wparam, lparam);
}

LRESULT LoadingDialog::OnProgress(WPARAM percent) {
    SendDlgItemMessageA(GetSafeHwnd(), IDC_PROGRESS, PBM_SETPOS, percent, 0);
    if (percent == 100) EndDialog(IDOK);
    return 0;
}
