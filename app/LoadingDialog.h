// The modal progress dialog that runs a long piece of work on a worker thread: the export of
// the stretched audio, the gathering of the filter catalogue. The work gets the dialog's window
// and the data pointer, and reports its progress only by sending WM_LOADING_PROGRESS with the
// percentage (0 to 100) as first parameter; the dialog moves its bar and closes with IDOK at
// exactly 100. Escape closes it early: the work goes on, and its later messages reach no window
// (they return 0 at once). Destruction waits, without time limit, until the work has ended.
// Order of use: construct (title, data, work), DoModal, destroy.
// Threading: construct, run and destroy on the user-interface thread; the work runs on its own
// thread and must not touch the dialog's controls.
#pragma once

#include <optional>
#include <string>

#include "platform/WinTypes.h"
#include "platform/sync/sync.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/WindowMessages.h"

// The work: receives the dialog's window and the data pointer; its result is ignored.
using LoadingWork = UINT (*)(HWND, LPVOID);

constexpr UINT WM_LOADING_PROGRESS = WM_USER + 2;

class LoadingDialog : public Dialog {
public:
    static constexpr int IDD = 162;
    static constexpr int IDC_PLEASE_WAIT = 1059;
    static constexpr int IDC_PROGRESS = 1005;

    // A null title keeps the caption "Loading...".
    LoadingDialog(const char* title, LPVOID data, LoadingWork work, HWND parent = nullptr);
    ~LoadingDialog() override;

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    static DialogTemplate Resource();
    static DWORD ThreadProc(LPVOID self);
    LRESULT OnProgress(WPARAM percent);

    std::optional<std::string> m_title;
    const LoadingWork m_work;
    const LPVOID m_data;
    const HANDLE m_done_event;     // auto reset, signalled when the work has returned
    HANDLE m_thread = nullptr;     // the worker, once started
    HWND m_work_window = nullptr;  // the window as handed to the work, set before it starts
};
