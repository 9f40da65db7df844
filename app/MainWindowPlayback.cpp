// The main window's playback: the three choosers, the movie and the stretched-audio chains in
// the one graph, the transport, the graph's events, Render and the Initial Offset box.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/FramerateSelectorDialog.h"
#include "app/MainWindow.h"
#include "app/ProjectText.h"
#include "app/RenderAudioFile.h"
#include "app/TimeFormat.h"
#include "engine/StretchMath.h"
#include "engine/StretchedWaveStream.h"
#include "grapheditor/FilterItem.h"
#include "grapheditor/FilterItemFactory.h"
#include "platform/media/evcode.h"
#include "platform/media/uuids.h"
#include "platform/ui/FileChooser.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Painting.h"
#include "platform/ui/WindowFunctions.h"
#include "platform/ui/WindowGeometry.h"

namespace {

constexpr UINT_PTR kPositionTimer = 1;
constexpr UINT kPositionPeriodMs = 100;

const char* const kVideoRenderer = "Video Renderer";
const char* const kStretcher = "Tarvik Time Stretcher";
const char* const kNullRenderer = "Null Renderer";
const char* const kWaveParser = "Wave Parser";
const char* const kAnyDirectSound = "DirectSound";
const char* const kDirectSoundDevice = "Default DirectSound Device";

const FileFilterList kWavFilter = {{"Uncompressed  WAV (*.wav)", "*.wav"}};

// A new filter of the stock class `name`; null, after telling the user which one, when the
// catalogue lacks it or it cannot be made.
std::unique_ptr<FilterItem> CreateStockFilter(FilterListView& list, const char* name) {
    CatalogueEntry* entry = list.Catalogue() ? list.Catalogue()->FindByFriendlyName(name) : nullptr;
    std::unique_ptr<FilterItem> item = entry ? CreateFilterItem(entry) : nullptr;
    if (!item) {
        const std::string text = std::string("The filter \"") + name +
                                 "\" is not installed or cannot be created, so the WAV cannot "
                                 "be played.";
        MessageBoxA(nullptr, text.c_str(), "", MB_OK);
    }
    return item;
}

int RowOf(const FilterListView& list, const FilterItem* item) {
    for (int row = 0; row < list.GetItemCount(); ++row) {
        if (reinterpret_cast<const FilterItem*>(list.GetItemData(row)) == item) return row;
    }
    return -1;
}

// Adds every item, in order, and hands it to its row. When the graph refuses one, the ones
// already added are taken out again, so no half-built chain is left; null items are skipped.
bool AddAll(FilterListView& list, std::vector<std::unique_ptr<FilterItem>*> items) {
    std::vector<FilterItem*> added;
    for (std::unique_ptr<FilterItem>* item : items) {
        if (!*item) continue;
        if (!list.AddItem(item->get())) {
            const std::string text = std::string("The filter \"") + (*item)->Entry()->friendlyName +
                                     "\" cannot be added to the graph, so the WAV cannot be "
                                     "played.";
            MessageBoxA(nullptr, text.c_str(), "", MB_OK);
            for (auto it = added.rbegin(); it != added.rend(); ++it)
                list.RemoveItem(RowOf(list, *it), *it);
            return false;
        }
        added.push_back(item->release());  // the row owns it now
    }
    return true;
}

// Disconnects both ends of the item's first input pin. Returns the label of the output it was
// connected to, or nothing when it was not connected.
std::string DisconnectFirstInput(FilterListView& list, FilterItem* item) {
    std::string peer_label;
    PinItem* input = item ? item->InputPin(0) : nullptr;
    if (input && input->QueryConnection(&peer_label)) {
        if (PinItem* peer = list.FindPinByLabel(peer_label.c_str())) {
            list.Graph().DisconnectPin(peer);
        }
        list.Graph().DisconnectPin(input);
    } else {
        peer_label.clear();
    }
    list.UpdateFiltersState();
    return peer_label;
}

// Source -> parser -> renderer, pin to pin; a missing pin is reported and the rest goes on.
void ConnectChain(FilterListView& list, FilterItem* source, FilterItem* parser,
                  FilterItem* renderer) {
    list.Graph().ConnectPins(source->OutputPin(0), parser->InputPin(0), nullptr);
    list.UpdateFiltersState();
    list.Graph().ConnectPins(parser->OutputPin(0), renderer->InputPin(0), nullptr);
    list.UpdateFiltersState();
}

}  // namespace

void MainWindow::OnChooseVideo() {
    const std::optional<std::string> path = ChooseFileToOpen(
        GetSafeHwnd(),
        {{"Mpeg (*.mpg)", "*.mpg"}, {"AVI (*.avi)", "*.avi"}, {"All Files (*.*)", "*.*"}});
    if (!path) return;
    m_video_path = *path;
    UpdateData(FALSE);
    LoadMovie();
}

void MainWindow::OnChooseAudio() {
    const std::optional<std::string> path = ChooseFileToOpen(GetSafeHwnd(), kWavFilter);
    if (!path) return;
    m_audio_path = *path;
    UpdateData(FALSE);
    LoadAudio();
}

void MainWindow::OnChooseOutput() {
    const std::optional<std::string> path = ChooseFileToSave(GetSafeHwnd(), kWavFilter);
    if (!path) return;
    m_output_path = *path;
    UpdateData(FALSE);
}

bool MainWindow::LoadMovie() {
    if (m_video_path.empty()) return false;
    Stop();
    GraphManager& graph = m_filters.Graph();
    graph.VideoFrameRate(m_video_path.c_str(), &m_framerate);
    if (m_framerate == 0.0f) {
        FramerateSelectorDialog selector(GetSafeHwnd());
        selector.DoModal();
        m_framerate = selector.m_value;  // 25 when the user gave nothing usable
    }
    char rate[32];
    std::snprintf(rate, sizeof rate, "%ld", SaturateCast<long>(m_framerate));
    SetDlgItemTextA(GetSafeHwnd(), IDC_FRAMERATE, rate);

    m_filters.RenderFile(m_video_path.c_str());
    if (!graph.MediaControl()) return true;  // no graph was ever made: nothing plays
    const float duration = static_cast<float>(SaturateCast<long>(graph.DurationSeconds()));
    SetDlgItemTextA(GetSafeHwnd(), IDC_DURATION, FormatTime(duration).c_str());
    graph.AttachVideoWindow(GetSafeHwnd(), GetDlgItem(IDC_VIDEO_AREA));
    SetupSliders();
    Play();
    Pause();
    return true;
}

bool MainWindow::LoadAudio() {
    if (m_audio_path.empty()) return false;
    Stop();
    GraphManager& graph = m_filters.Graph();
    FilterItem* video = m_filters.FindItemByName(kVideoRenderer);
    FilterItem* source = m_filters.FindItemByName(kStretcher);
    if (!source) {
        // Every filter is made before any is added, so a missing one leaves the graph as it was.
        std::unique_ptr<FilterItem> null_renderer = CreateStockFilter(m_filters, kNullRenderer);
        if (!null_renderer) return true;
        std::unique_ptr<FilterItem> new_source = CreateStockFilter(m_filters, kStretcher);
        if (!new_source) return true;
        std::unique_ptr<FilterItem> parser = CreateStockFilter(m_filters, kWaveParser);
        if (!parser) return true;
        FilterItem* renderer = m_filters.FindItemByName(kAnyDirectSound);
        std::unique_ptr<FilterItem> new_renderer;
        if (!renderer && !(new_renderer = CreateStockFilter(m_filters, kDirectSoundDevice))) {
            return true;
        }
        new_source->SetSourceFile(m_audio_path.c_str());  // "Load failed" on failure
        FilterItem* null_sink = null_renderer.get();
        source = new_source.get();
        FilterItem* wave_parser = parser.get();
        FilterItem* fresh_renderer = new_renderer.get();
        if (!AddAll(m_filters, {&null_renderer, &new_source, &parser, &new_renderer})) return true;

        if (!fresh_renderer) {
            // The movie's own sound: moved from its renderer to the Null Renderer.
            const std::string peer = DisconnectFirstInput(m_filters, renderer);
            PinItem* movie_sound = peer.empty() ? nullptr : m_filters.FindPinByLabel(peer.c_str());
            if (movie_sound) {
                graph.ConnectPins(movie_sound, null_sink->InputPin(0), nullptr);
                m_filters.UpdateFiltersState();
            }
        } else {
            renderer = fresh_renderer;
        }
        if (source->OutputPinCount() > 0 && wave_parser->InputPinCount() > 0) {
            graph.ConnectPins(source->OutputPin(0), wave_parser->InputPin(0), nullptr);
        }
        m_filters.UpdateFiltersState();
        if (wave_parser->OutputPinCount() > 0 && renderer->InputPinCount() > 0) {
            graph.ConnectPins(wave_parser->OutputPin(0), renderer->InputPin(0), nullptr);
        }
        m_filters.UpdateFiltersState();
    } else {
        // The chain is there: the new file goes through it. A parser or renderer the user
        // removed in the graph editor is made again first.
        FilterItem* renderer = m_filters.FindItemByName(kAnyDirectSound);
        FilterItem* parser = m_filters.FindItemByName(kWaveParser);
        std::unique_ptr<FilterItem> new_parser;
        std::unique_ptr<FilterItem> new_renderer;
        if (!parser && !(new_parser = CreateStockFilter(m_filters, kWaveParser))) return true;
        if (!renderer && !(new_renderer = CreateStockFilter(m_filters, kDirectSoundDevice))) {
            return true;
        }
        if (new_parser) parser = new_parser.get();
        if (new_renderer) renderer = new_renderer.get();
        if (!AddAll(m_filters, {&new_parser, &new_renderer})) return true;

        DisconnectFirstInput(m_filters, renderer);
        DisconnectFirstInput(m_filters, parser);
        source->SetSourceFile(m_audio_path.c_str());
        m_filters.UpdateFiltersState();
        ConnectChain(m_filters, source, parser, renderer);
    }
    if (video) {
        graph.ReconnectPin(video->InputPin(0));
        m_filters.UpdateFiltersState();
    }
    UpdateData(FALSE);
    OnInitialOffsetChanged();
    Play();
    Pause();
    return true;
}

void MainWindow::Play() {
    GraphManager& graph = m_filters.Graph();
    if (!graph.MediaControl() || !graph.Run()) return;
    m_playing = true;
    if (!m_timer_running) {
        SetTimer(GetSafeHwnd(), kPositionTimer, kPositionPeriodMs, nullptr);
        if (graph.MediaSeeking()) graph.MediaSeeking()->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME);
        m_timer_running = true;
    }
}

void MainWindow::Pause() {
    if (!m_filters.Graph().MediaControl() || !m_filters.Graph().Pause()) return;
    m_playing = false;
}

void MainWindow::Stop() {
    if (!m_filters.Graph().MediaControl() || !m_filters.Graph().Stop()) return;
    m_playing = false;
    if (m_timer_running) {
        KillTimer(GetSafeHwnd(), kPositionTimer);
        m_timer_running = false;
    }
}

void MainWindow::OnRender() {
    Stop();
    if (m_playing || !CurrentStream()) return;
    ExportRequest request;
    request.audio_path = m_audio_path;
    request.output_path = m_output_path;
    request.offset_seconds = m_initial_offset;
    // A failed export is reported with its reason; the earlier output file stays as it was.
    ExportWithProgressDialog(request, GetSafeHwnd());
}

void MainWindow::OnInitialOffsetChanged() {
    const EditState before = CaptureEditState();
    UpdateData(TRUE);
    m_initial_offset = ReadProjectNumber(m_offset_text.c_str());
    RefreshEvents();
    m_history.Record(EditKind::Offset, before, CaptureEditState());
}

LRESULT MainWindow::OnGraphNotify() {
    IMediaEventEx* events = m_filters.Graph().MediaEvent();
    if (!events) return 0;
    long code = 0;
    LONG_PTR param1 = 0;
    LONG_PTR param2 = 0;
    // Any failure ends the loop, not only E_ABORT: a broken queue must not hang the window.
    while (SUCCEEDED(events->GetEvent(&code, &param1, &param2, 0))) {
        if (code == EC_COMPLETE) Stop();
        events->FreeEventParams(code, param1, param2);
    }
    return 0;
}

void MainWindow::ForwardToVideoWindow(UINT message, WPARAM wparam, LPARAM lparam) {
    IVideoWindow* video = m_filters.Graph().VideoWindow();
    if (!video) return;
    video->NotifyOwnerMessage(reinterpret_cast<OAHWND>(GetSafeHwnd()), static_cast<long>(message),
                              static_cast<LONG_PTR>(wparam), static_cast<LONG_PTR>(lparam));
}

LRESULT MainWindow::OnEraseBackground(HDC dc) {
    RECT video{};
    if (GetWindowRect(GetDlgItem(IDC_VIDEO_AREA), &video)) {
        MapWindowPoints(nullptr, GetSafeHwnd(), reinterpret_cast<POINT*>(&video), 2);
        ExcludeClipRect(dc, video.left, video.top, video.right, video.bottom);
    }
    return Dialog::WindowProc(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
}
