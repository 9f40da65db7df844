// The export of the stretched audio as the loading dialog's work, and the dialog that runs it:
// the percentages reach the dialog as WM_LOADING_PROGRESS, sent synchronously, and the dialog
// closes at 100, which the export sends exactly once, at its end.
// Threading: ExportWithProgressDialog on the user-interface thread; RenderAudioFile runs on
// the dialog's worker thread.
#pragma once

#include <string>

#include "engine/AudioExport.h"
#include "platform/WinTypes.h"

struct RenderJob {
    ExportRequest request;
    bool succeeded = false;
    std::string error;  // for the user, when it failed
};

// LoadingWork: `data` is a RenderJob, filled in with the outcome.
UINT RenderAudioFile(HWND progress_window, LPVOID data);

// Runs the export behind a modal "Rendering Audio File" dialog; on failure shows the reason
// in a message box. True when the output file is complete.
bool ExportWithProgressDialog(const ExportRequest& request, HWND parent);
