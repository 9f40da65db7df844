#include "app/RenderAudioFile.h"

#include <string>

#include "app/LoadingDialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/WindowFunctions.h"

UINT RenderAudioFile(HWND progress_window, LPVOID data) {
    auto* job = static_cast<RenderJob*>(data);
    AudioExport export_job(job->request);
    job->succeeded = export_job.Run([progress_window](int percent) {
        SendMessageA(progress_window, WM_LOADING_PROGRESS, static_cast<WPARAM>(percent), 0);
    });
    job->error = export_job.ErrorMessage();
    return job->succeeded ? 0 : 1;
}

bool ExportWithProgressDialog(const ExportRequest& request, HWND parent) {
    RenderJob job;
    job.request = request;
    int result = 0;
    {
        LoadingDialog dialog("Rendering Audio File", &job, RenderAudioFile, parent);
        result = dialog.DoModal();
    }  // the dialog's end waits for the work
    // A dialog that could not open, or could not start its worker, never ran the export.
    if (!job.succeeded && job.error.empty()) {
        job.error = std::string("The audio file could not be rendered: ") +
                    (result == -1 ? "the progress window could not be opened or could not start "
                                    "its work (the system may be short of memory or threads)."
                                  : "the export did not run.");
    }
    if (!job.succeeded) MessageBoxA(nullptr, job.error.c_str(), "", MB_OK | MB_ICONERROR);
    return job.succeeded;
}
