#include "platform/ui/Dialog.h"

#include <utility>

#include <QApplication>
#include <QThread>

#include "platform/ui/DataExchange.h"
#include "platform/ui/DialogWindow.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/WindowFunctions.h"
#include "platform/ui/WindowMessages.h"

Dialog::Dialog(DialogTemplate dialog_template, HWND parent)
    : m_template(std::move(dialog_template)), m_parent(parent) {}

Dialog::~Dialog() = default;

bool Dialog::OnApplicationThread() {
    const auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    return application && application->thread() == QThread::currentThread();
}

int Dialog::DoModal() {
    if (m_window || !OnApplicationThread()) return -1;
    m_ending = false;
    m_result = -1;
    m_window = std::make_unique<DialogWindow>(*this, m_template, m_parent);
    m_hwnd = m_window->Create();
    SendMessageA(m_hwnd, WM_INITDIALOG, 0, 0);
    // A dialog ended during its initialisation is never shown.
    const int result = m_ending ? m_result : m_window->RunModal();
    m_window->Close();
    SendMessageA(m_hwnd, WM_DESTROY, 0, 0);
    m_window.reset();
    m_hwnd = nullptr;
    return result;
}

void Dialog::EndDialog(int result) {
    if (!m_window || m_ending) return;
    m_ending = true;
    m_result = result;
    m_window->Close();
    m_window->End(result);
}

BOOL Dialog::UpdateData(BOOL save_and_validate) {
    if (!m_hwnd) return FALSE;
    DataExchange exchange(m_hwnd, save_and_validate != FALSE);
    DoDataExchange(&exchange);
    return exchange.Failed() ? FALSE : TRUE;
}

HWND Dialog::GetDlgItem(int control_id) const {
    return m_hwnd ? ::GetDlgItem(m_hwnd, control_id) : nullptr;
}

BOOL Dialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void Dialog::OnOK() {
    if (!UpdateData(TRUE)) return;  // the box at fault has been shown and has the focus
    EndDialog(IDOK);
}

void Dialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL Dialog::OnCommand(WPARAM wparam, LPARAM /*lparam*/) {
    if (HIWORD(wparam) != BN_CLICKED) return FALSE;
    switch (LOWORD(wparam)) {
        case IDOK:
            OnOK();
            return TRUE;
        case IDCANCEL:
            OnCancel();
            return TRUE;
        default:
            return FALSE;
    }
}

void Dialog::DoDataExchange(DataExchange* /*exchange*/) {}

LRESULT Dialog::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND:
            if (OnCommand(wparam, lparam)) return 0;
            break;
        case WM_CLOSE:
            // The close box is Cancel, as for a Windows dialog.
            return SendMessageA(m_hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        default:
            break;
    }
    return DefWindowProc(message, wparam, lparam);
}

LRESULT Dialog::DefWindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    return m_window ? m_window->DefaultProc(message, wparam, lparam) : 0;
}
