// A modal dialog made from a template, the way Windows dialog frameworks make them. The
// object lives on the caller's stack; DoModal builds the window and its
// controls, sends WM_INITDIALOG (OnInitDialog: by default shows the members with
// UpdateData(FALSE)), runs until EndDialog, destroys the window (WM_DESTROY first) and returns
// the result. IDOK and IDCANCEL commands (buttons 1 and 2, Enter, Escape, the close box) go to
// OnOK (reads the boxes back, ends with IDOK if that worked) and OnCancel (ends with
// IDCANCEL). Derived dialogs override WindowProc for their own messages and OnCommand for
// their buttons and notifications, and bind members in DoDataExchange.
// The handle is valid from just before WM_INITDIALOG to the end of DoModal. Once EndDialog is
// called, messages from other threads are refused (0 / FALSE) and senders still waiting are
// released with 0; the window's own thread may still use it until it is destroyed.
// Threading: everything on the user-interface thread (the one that made the application);
// other threads reach the dialog only through its handle (SendMessageA, PostMessageA).
#pragma once

#include <memory>

#include "platform/WinTypes.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/MessageBox.h"  // IDOK, IDCANCEL

class DataExchange;
class DialogWindow;

class Dialog {
public:
    explicit Dialog(DialogTemplate dialog_template, HWND parent = nullptr);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // The result given to EndDialog; -1 when the dialog cannot run (no application on this
    // thread, or already running).
    int DoModal();
    // Ends the modal run with `result`; later calls before the run returns are ignored.
    void EndDialog(int result);
    // TRUE: reads the boxes back into the members (validating); FALSE: shows the members.
    BOOL UpdateData(BOOL save_and_validate = TRUE);

    HWND GetSafeHwnd() const { return m_hwnd; }
    HWND GetDlgItem(int control_id) const;
    const DialogTemplate& Template() const { return m_template; }

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // TRUE when the command was handled.
    virtual BOOL OnCommand(WPARAM wparam, LPARAM lparam);
    virtual void DoDataExchange(DataExchange* exchange);
    // Every message to the dialog's window. Overrides call this for what they leave alone.
    virtual LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam);
    // The window's own handling (texts) under the dialog's.
    LRESULT DefWindowProc(UINT message, WPARAM wparam, LPARAM lparam);

private:
    friend class DialogWindow;

    static bool OnApplicationThread();

    DialogTemplate m_template;
    HWND m_parent;
    std::unique_ptr<DialogWindow> m_window;
    HWND m_hwnd = nullptr;
    bool m_ending = false;
    int m_result = -1;
};
