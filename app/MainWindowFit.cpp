// The main window's automatic fit: the events list's context menu and Ctrl+F run the fit of the
// loaded WAV to the loaded movie's sound behind the loading dialog, then, once the user agrees
// to lose the events there are, put the fitted offset and events in as one undo step.
#include <atomic>
#include <cstdio>
#include <string>

#include "app/LoadingDialog.h"
#include "app/MainWindow.h"
#include "app/ProjectText.h"
#include "engine/StretchEvent.h"
#include "engine/fit/SoundFitJob.h"
#include "platform/ui/MenuFunctions.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/WindowFunctions.h"
#include "platform/ui/WindowGeometry.h"

namespace {

constexpr const char* kFitCaption = "Fit Events";

// What the loading dialog's worker gets, and gives back once the dialog has waited for it.
struct FitJob {
    std::string movie_path;
    std::string wav_path;
    std::atomic<bool> cancel{false};
    FitResult result;
};

UINT RunFitJob(HWND dialog, LPVOID data) {
    auto* job = static_cast<FitJob*>(data);
    const auto report = [dialog](int percent) {
        SendMessageA(dialog, WM_LOADING_PROGRESS, static_cast<WPARAM>(percent), 0);
    };
    job->result = SoundFitJob::Run(job->movie_path, job->wav_path, {report, &job->cancel});
    return 0;
}

int Percent(double share) {
    return static_cast<int>(share * 100.0 + 0.5);
}

int CountEvents(const StretchEvent* events) {
    int count = 0;
    for (const StretchEvent* e = events; e; e = e->m_next)
        ++count;
    return count;
}

std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", seconds);
    return text;
}

std::string Plural(int count, const char* word) {
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

}  // namespace

void MainWindow::OnEventsContextMenu() {
    const HMENU menu = CreatePopupMenu();
    if (!menu) return;
    AppendMenuA(menu, MF_STRING, IDM_FIT_EVENTS, "Fit Events to the Movie's Sound...\tCtrl+F");
    POINT at{};
    GetCursorPos(&at);
    const UINT chosen =
        static_cast<UINT>(TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                                         at.x, at.y, 0, GetSafeHwnd(), nullptr));
    DestroyMenu(menu);
    if (chosen == IDM_FIT_EVENTS) OnFitEvents();
}

void MainWindow::OnFitEvents() {
    const HWND self = GetSafeHwnd();
    if (m_video_path.empty() || m_audio_path.empty()) {
        MessageBoxA(self,
                    "Load a movie and a WAV first: the events are fitted to the sound the WAV "
                    "shares with the movie.",
                    kFitCaption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    FitJob job;
    job.movie_path = m_video_path;
    job.wav_path = m_audio_path;
    {
        LoadingDialog dialog("Fitting Events", &job, RunFitJob, self);
        // Escape closed it early: the fit stops soon, and the dialog's end waits for it.
        if (dialog.DoModal() != IDOK) job.cancel = true;
    }
    const FitResult& result = job.result;
    if (job.cancel || result.outcome == FitOutcome::Cancelled) return;
    if (!result.Fitted()) {
        std::string text = "The events cannot be fitted: " + result.reason;
        if (result.outcome == FitOutcome::NothingShared && !result.spans.empty())
            text += " (" + std::to_string(Percent(result.coverage)) + " % of the sound matched)";
        MessageBoxA(self, (text + ".").c_str(), kFitCaption, MB_OK | MB_ICONERROR);
        return;
    }
    if (m_events) {
        const std::string fitted = Plural(static_cast<int>(result.events.size()), "event") +
                                   ", offset " + Seconds(result.offset) + ", " +
                                   std::to_string(Percent(result.coverage)) +
                                   " % of the sound matched";
        const std::string question = "Replace the " + Plural(CountEvents(m_events), "event") +
                                     " and the initial offset with the fitted ones (" + fitted +
                                     ")?";
        if (MessageBoxA(self, question.c_str(), kFitCaption, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
    }
    ApplyFit(result);
}

void MainWindow::ApplyFit(const FitResult& result) {
    EditEvents(EditKind::Fit, [&] {
        delete m_events;
        m_events = nullptr;
        m_current_event = nullptr;
        for (const FittedEvent& fitted : result.events)
            new StretchEvent(fitted.movie_pos, fitted.stretch, &m_events);  // the list owns it
        // The offset as its box will show it, so reading the box back changes nothing.
        m_offset_text = FormatProjectNumber(result.offset);
        m_initial_offset = ReadProjectNumber(m_offset_text.c_str());
    });
}
