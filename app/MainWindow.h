// MainWindow: the application's one modal dialog (resource 102, "Tarvik Time Stretcher
// v1.0"): the movie and WAV choosers, the video area, the graph editor's filter list, the
// transport and position display, the stretching events editor (and its fit to the movie's
// sound) and the project commands.
// While it exists the program's own source filter is registered with the system; it owns the
// event list that every stretched stream reads, and, through its filter list, the one media
// graph and the filter catalogue.
// Initialisation order: controls, window menu's About entry, icon, sliders, the source
// filter's registration, the filter list (graph, then the catalogue gathered behind the
// loading dialog), the events list. "Exit" stops the graph and ends the dialog; Escape and the
// close box end it without Stop. Destruction then stops the graph and releases the filters
// (the list's Shutdown) before the registration is removed.
// Threading: the user-interface thread.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/EditHistory.h"
#include "app/TrackingSlider.h"
#include "grapheditor/FilterListView.h"
#include "platform/com/Module.h"
#include "platform/ui/Accelerators.h"
#include "platform/ui/DropFiles.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/GdiTypes.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/ListCtrl.h"
#include "platform/ui/SliderCtrl.h"

class StretchEvent;
struct FitResult;

class MainWindow : public Dialog {
public:
    static constexpr int IDD = 102;
    static constexpr UINT IDM_ABOUTBOX = 0x0010;

    static constexpr int IDC_VIDEO_AREA = 1000;
    static constexpr int IDC_PLAY = 1001;
    static constexpr int IDC_STOP = 1002;
    static constexpr int IDC_POSITION_SLIDER = 1003;
    static constexpr int IDC_FRAME = 1004;
    static constexpr int IDC_POSITION = 1005;
    static constexpr int IDC_EVENTS = 1006;
    static constexpr int IDC_LOAD_PROJECT = 1007;
    static constexpr int IDC_PAUSE = 1008;
    static constexpr int IDC_DURATION = 1009;
    static constexpr int IDC_FILTERS = 1010;
    static constexpr int IDC_FRAMERATE = 1011;
    static constexpr int IDC_SAVE_PROJECT = 1012;
    static constexpr int IDC_INITIAL_OFFSET = 1013;
    static constexpr int IDC_EVENT_POSITION = 1014;
    static constexpr int IDC_EVENT_STRETCH_SLIDER = 1015;
    static constexpr int IDC_RENDER = 1016;
    static constexpr int IDC_INSERT_EVENT = 1017;
    static constexpr int IDC_DELETE_EVENT = 1018;
    static constexpr int IDC_VIDEO_PATH = 1019;
    static constexpr int IDC_AUDIO_PATH = 1020;
    static constexpr int IDC_CHOOSE_VIDEO = 1021;
    static constexpr int IDC_CHOOSE_AUDIO = 1022;
    static constexpr int IDC_OUTPUT_PATH = 1023;
    static constexpr int IDC_CHOOSE_OUTPUT = 1024;
    static constexpr int IDC_EVENT_STRETCH = 1025;
    static constexpr int IDC_EVENT_POSITION_SLIDER = 1026;

    // Keyboard commands without a button of their own.
    static constexpr WORD IDM_PLAY_PAUSE = 0x8101;
    static constexpr WORD IDM_FRAME_BACK = 0x8102;
    static constexpr WORD IDM_FRAME_FORWARD = 0x8103;
    static constexpr WORD IDM_UNDO = 0x8104;
    static constexpr WORD IDM_REDO = 0x8105;
    static constexpr WORD IDM_FIT_EVENTS = 0x8106;
    // Posted by OnInitDialog when files wait to be opened (WM_APP + 1).
    static constexpr UINT kOpenFilesMessage = 0x8001;

    explicit MainWindow(HWND parent = nullptr);
    ~MainWindow() override;  // destroys the event list

    static DialogTemplate Resource();

    // The graph editor's list, which owns the graph and the catalogue.
    FilterListView& Filters() { return m_filters; }

    // Files named on the command line, opened by OpenFiles once the window is up.
    void OpenOnStart(std::vector<std::string> paths) { m_files_to_open = std::move(paths); }
    // Opens files by their content as the choosers and "Load ..." would: a project alone, or
    // a movie and a WAV. A file that cannot be read is reported and left out.
    void OpenFiles(const std::vector<std::string>& paths);
    const EditHistory& History() const { return m_history; }

    StretchEvent* m_events = nullptr;
    StretchEvent* m_current_event = nullptr;
    std::string m_video_path;
    std::string m_audio_path;
    std::string m_output_path;
    std::string m_offset_text;
    float m_initial_offset = 0;
    float m_framerate = 0;
    float m_current_pos = 0;
    std::string m_event_pos_text;
    std::string m_event_stretch_text;
    bool m_timer_running = false;
    bool m_playing = false;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnCommand(WPARAM wparam, LPARAM lparam) override;
    void DoDataExchange(DataExchange* exchange) override;
    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    // Start-up and closing (MainWindow.cpp).
    void AddAboutEntry();
    void SetupSliders();
    void RegisterSourceFilter();
    void OnPaint();
    void OnDestroy();
    // Routes WM_HSCROLL: the event sliders' parts first, then the position slider's.
    void OnHScroll(WORD code, HWND slider);

    // Playback graph and transport (MainWindowPlayback.cpp).
    void OnChooseVideo();
    void OnChooseAudio();
    void OnChooseOutput();
    bool LoadMovie();
    bool LoadAudio();
    void Play();
    void Pause();
    void Stop();
    void OnRender();
    void OnInitialOffsetChanged();
    LRESULT OnGraphNotify();
    // Hands a message to the graph's video window first, as its owner must.
    void ForwardToVideoWindow(UINT message, WPARAM wparam, LPARAM lparam);
    // Erases the background but for the video area.
    LRESULT OnEraseBackground(HDC dc);

    // Position and timing display (MainWindowPosition.cpp).
    void OnTimer(UINT_PTR id);
    // `code`: the slider's notification (TB_THUMBTRACK, TB_ENDTRACK, ...).
    void OnPositionScroll(WORD code);
    long FrameNumber(float seconds) const;
    bool m_position_move_sought = false;  // the slider's current move has sought already

    // Stretching events editor (MainWindowEvents.cpp).
    void SetupEventsList();
    void RefreshEvents();
    void ShowCurrentEvent();
    void OnEventsClick();
    void OnInsertEvent();
    void OnDeleteEvent();
    // `code`: the slider's notification; TB_ENDTRACK ends the drag's undo step.
    void OnEventStretchScroll(WORD code);
    void OnEventPositionScroll(WORD code);
    // Runs `change` on the event list (none: no change) and then SetOffset on the current
    // stream, both under the lock the stream is read under; then refills the list.
    void ChangeEvents(const std::function<void()>& change);
    void FillEventsList();  // the rows from the list as it stands, then ShowCurrentEvent

    // Project file (MainWindowProject.cpp).
    void OnSaveProject();
    void OnLoadProject();
    void LoadProjectFile(const std::string& path);

    // Undo and redo (MainWindowHistory.cpp). Every edit goes through EditEvents, which records
    // the state before and after ChangeEvents.
    EditState CaptureEditState() const;
    void RestoreEditState(const EditState& state);
    void EditEvents(EditKind kind, const std::function<void()>& change);
    void Undo();
    void Redo();

    // Keyboard and opening files (MainWindowKeyboard.cpp).
    void SetupKeyboard();
    void OnEventsKey(UINT virtual_key);
    void TogglePlay();
    void StepFrame(int frames);
    void OnDropFiles(HDROP drop);

    // Fitting the events to the movie's sound (MainWindowFit.cpp).
    void OnEventsContextMenu();
    void OnFitEvents();
    void ApplyFit(const FitResult& result);  // one undo step

    HICON m_icon;
    HMODULE m_module = nullptr;  // the program whose path the source filter is registered with
    FilterListView m_filters;
    TrackingSlider m_position_slider;
    SliderCtrl m_event_position_slider;
    SliderCtrl m_event_stretch_slider;
    ListCtrl m_events_list;
    ImageList m_event_images;
    EditHistory m_history;
    HACCEL m_accelerators = nullptr;
    std::vector<std::string> m_files_to_open;
};
