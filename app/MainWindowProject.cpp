// The main window's project commands: "Save ..." and "Load ...".
#include "app/MainWindow.h"

#include <cstring>
#include <optional>
#include <string>

#include "app/ProjectFile.h"
#include "app/ProjectText.h"
#include "engine/StreamAdapter.h"
#include "engine/StretchEvent.h"
#include "engine/StretchedWaveStream.h"
#include "platform/ui/FileChooser.h"
#include "platform/ui/MessageBox.h"

namespace {

constexpr const char* kSaveCaption = "Save Event List";

FileFilterList ProjectFiles() {
    return {{"TKV Project (*.tkv)", "*.tkv"}};
}

}  // namespace

void MainWindow::OnSaveProject() {
    const std::optional<std::string> path = ChooseFileToSave(GetSafeHwnd(), ProjectFiles());
    if (!path) return;
    ProjectFile project;
    project.m_video_path = m_video_path;
    project.m_audio_path = m_audio_path;
    project.m_output_path = m_output_path;
    project.m_initial_offset = m_initial_offset;
    project.TakeEvents(m_events);
    int error = 0;
    if (project.Save(*path, &error)) {
        MessageBoxA(GetSafeHwnd(), "Project saved.", kSaveCaption, MB_OK);
        return;
    }
    // Not the "saved" box a failure would otherwise get: the user must know the project is
    // not on disk (the file that was there is left as it was).
    const std::string text =
        "The project could not be saved to " + *path + ":\n" + std::strerror(error) + ".";
    MessageBoxA(GetSafeHwnd(), text.c_str(), kSaveCaption, MB_OK | MB_ICONERROR);
}

void MainWindow::OnLoadProject() {
    const std::optional<std::string> path = ChooseFileToOpen(GetSafeHwnd(), ProjectFiles());
    if (path) LoadProjectFile(*path);
}

void MainWindow::LoadProjectFile(const std::string& path) {
    ProjectFile project;
    if (!project.Load(path)) return;
    m_history.Clear();  // the steps were made on the project that goes
    // The old events go and the new ones come in one step that no read of the playing stream
    // can fall into: it holds pointers into the list until its next SetOffset.
    StreamAdapter::EditCurrentStream([&](StretchedWaveStream* stream) {
        delete m_events;
        m_events = nullptr;
        m_current_event = nullptr;
        m_video_path = project.m_video_path;
        m_audio_path = project.m_audio_path;
        m_output_path = project.m_output_path;
        m_initial_offset = project.m_initial_offset;
        m_offset_text = FormatProjectNumber(m_initial_offset);
        project.BuildEventList(&m_events);
        if (stream) stream->SetOffset(m_initial_offset);
    });
    LoadMovie();
    LoadAudio();
    RefreshEvents();
}
