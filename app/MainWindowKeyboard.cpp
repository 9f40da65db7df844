// The main window's keyboard and the files it is given: the accelerators and the buttons'
// tooltips that show them, Delete in the events list, play/pause and frame steps, files named
// on the command line or dropped on the window.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "app/FileKind.h"
#include "app/MainWindow.h"
#include "platform/ui/CommonControls.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/ToolTip.h"
#include "platform/ui/WindowFunctions.h"
#include "platform/ui/WindowMessages.h"

namespace {

constexpr BYTE kCtrl = FVIRTKEY | FCONTROL;
// Toggles and commands that open a box act once per press, however long the key is held;
// frame steps and undo repeat.
constexpr BYTE kOnce = FVIRTKEY | FNOREPEAT;
constexpr BYTE kCtrlOnce = kCtrl | FNOREPEAT;
constexpr double kMediaTimePerSecond = 10'000'000.0;  // 100 ns units

constexpr ACCEL kKeys[] = {
    {kOnce, VK_SPACE, MainWindow::IDM_PLAY_PAUSE},
    {FVIRTKEY, VK_LEFT, MainWindow::IDM_FRAME_BACK},
    {FVIRTKEY, VK_RIGHT, MainWindow::IDM_FRAME_FORWARD},
    {kCtrlOnce, 'O', MainWindow::IDC_LOAD_PROJECT},
    {kCtrlOnce, 'S', MainWindow::IDC_SAVE_PROJECT},
    {kCtrlOnce, 'R', MainWindow::IDC_RENDER},
    {kOnce, VK_INSERT, MainWindow::IDC_INSERT_EVENT},
    {kCtrl, 'Z', MainWindow::IDM_UNDO},
    {kCtrl | FSHIFT, 'Z', MainWindow::IDM_REDO},
    {kCtrl, 'Y', MainWindow::IDM_REDO},
    {kCtrlOnce, 'F', MainWindow::IDM_FIT_EVENTS},
};

struct ButtonKey {
    int id;
    const char* key;
};

constexpr ButtonKey kButtonKeys[] = {
    {MainWindow::IDC_PLAY, "Space"},
    {MainWindow::IDC_PAUSE, "Space"},
    {MainWindow::IDC_LOAD_PROJECT, "Ctrl+O"},
    {MainWindow::IDC_SAVE_PROJECT, "Ctrl+S"},
    {MainWindow::IDC_RENDER, "Ctrl+R"},
    {MainWindow::IDC_INSERT_EVENT, "Insert"},
    {MainWindow::IDC_DELETE_EVENT, "Delete in the events list"},
};

void TellCannotOpen(const std::string& path, int error) {
    const std::string text =
        "The file " + path + " cannot be opened:\n" + std::strerror(error) + ".";
    MessageBoxA(nullptr, text.c_str(), "", MB_OK | MB_ICONERROR);
}

}  // namespace

void MainWindow::SetupKeyboard() {
    const HWND self = GetSafeHwnd();
    m_accelerators = CreateAcceleratorTableA(kKeys, static_cast<int>(std::size(kKeys)));
    SetDialogAccelerators(self, m_accelerators);
    for (const ButtonKey& button : kButtonKeys) {
        const HWND control = GetDlgItem(button.id);
        const std::string tip = GetWindowTextString(control) + " (" + button.key + ")";
        SetToolTipTextA(control, tip.c_str());
    }
    DragAcceptFiles(self, TRUE);
}

// Delete works on the row the keyboard selected, which a click would have made current.
void MainWindow::OnEventsKey(UINT virtual_key) {
    if (virtual_key != VK_DELETE) return;
    const int row = m_events_list.GetNextItem(-1, LVNI_SELECTED);
    if (row >= 0) m_current_event = reinterpret_cast<StretchEvent*>(m_events_list.GetItemData(row));
    OnDeleteEvent();
}

void MainWindow::TogglePlay() {
    if (m_playing) {
        Pause();
    } else {
        Play();
    }
}

void MainWindow::StepFrame(int frames) {
    GraphManager& graph = m_filters.Graph();
    IMediaSeeking* seeking = graph.MediaSeeking();
    if (m_playing || !seeking || m_framerate <= 0) return;
    LONGLONG now = 0;
    if (FAILED(seeking->GetCurrentPosition(&now))) return;
    const double rate = m_framerate;
    const double here = std::round(static_cast<double>(now) / kMediaTimePerSecond * rate);
    const double last = std::floor(graph.DurationSeconds() * rate);
    const double frame = std::clamp(here + frames, 0.0, std::max(last, 0.0));
    // A stopped graph is cued first, so the picture of the new frame shows.
    Pause();
    if (!graph.SeekToSeconds(frame / rate)) return;
    OnTimer(0);
}

void MainWindow::OnDropFiles(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFFu, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::string path(DragQueryFileA(drop, i, nullptr, 0), '\0');
        DragQueryFileA(drop, i, path.data(), static_cast<UINT>(path.size() + 1));
        paths.push_back(std::move(path));
    }
    DragFinish(drop);
    OpenFiles(paths);
}

void MainWindow::OpenFiles(const std::vector<std::string>& paths) {
    std::string project;
    std::string movie;
    std::string wave;
    for (const std::string& path : paths) {
        int error = 0;
        switch (IdentifyFile(path, &error)) {
            case FileKind::Unreadable:
                TellCannotOpen(path, error);
                break;
            case FileKind::Project:
                if (project.empty()) project = path;
                break;
            case FileKind::Movie:
                if (movie.empty()) movie = path;
                break;
            case FileKind::Wave:
                if (wave.empty()) wave = path;
                break;
        }
    }
    // A project holds its own movie and WAV: it is opened alone.
    if (!project.empty()) {
        LoadProjectFile(project);
        return;
    }
    if (!movie.empty()) {
        m_video_path = movie;
        UpdateData(FALSE);
        LoadMovie();
    }
    if (!wave.empty()) {
        m_audio_path = wave;
        UpdateData(FALSE);
        LoadAudio();
    }
}
