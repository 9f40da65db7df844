#include "app/MainWindow.h"

#include <cstdint>
#include <utility>

#include "app/AboutDialog.h"
#include "app/AppResources.h"
#include "engine/StretchEvent.h"
#include "engine/TimeStretchRegistration.h"
#include "platform/ui/CommonControls.h"
#include "platform/ui/DataExchange.h"
#include "platform/ui/MenuFunctions.h"
#include "platform/ui/Painting.h"
#include "platform/ui/Resources.h"
#include "platform/ui/SystemMenu.h"
#include "platform/ui/WindowFunctions.h"
#include "platform/ui/WindowGeometry.h"

MainWindow::MainWindow(HWND parent)
    : Dialog(Resource(), parent), m_icon(LoadIconA(nullptr, MAKEINTRESOURCEA(AppResource::ICON))) {}

MainWindow::~MainWindow() {
    delete m_events;
    DestroyAcceleratorTable(m_accelerators);
}

void MainWindow::DoDataExchange(DataExchange* exchange) {
    Dialog::DoDataExchange(exchange);
    DDX_Text(exchange, IDC_VIDEO_PATH, m_video_path);
    DDX_Text(exchange, IDC_AUDIO_PATH, m_audio_path);
    DDX_Text(exchange, IDC_OUTPUT_PATH, m_output_path);
    DDX_Text(exchange, IDC_EVENT_POSITION, m_event_pos_text);
    DDX_Text(exchange, IDC_EVENT_STRETCH, m_event_stretch_text);
    // Last: showing a new offset makes the window read every box back (EN_UPDATE), so the
    // others must already show their values, or a loaded project's paths would be lost.
    DDX_Text(exchange, IDC_INITIAL_OFFSET, m_offset_text);
}

BOOL MainWindow::OnInitDialog() {
    Dialog::OnInitDialog();
    const HWND self = GetSafeHwnd();
    m_filters.SubclassDlgItem(IDC_FILTERS, self);
    m_position_slider.SubclassDlgItem(IDC_POSITION_SLIDER, self);
    m_event_position_slider.SubclassDlgItem(IDC_EVENT_POSITION_SLIDER, self);
    m_event_stretch_slider.SubclassDlgItem(IDC_EVENT_STRETCH_SLIDER, self);
    m_events_list.SubclassDlgItem(IDC_EVENTS, self);

    AddAboutEntry();
    SendMessageA(self, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    SendMessageA(self, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));
    SetupSliders();
    RegisterSourceFilter();
    m_timer_running = false;
    m_playing = false;
    m_filters.Initialize(self);
    m_events = nullptr;
    m_current_event = nullptr;
    SetupEventsList();
    RefreshEvents();
    SetupKeyboard();
    if (!m_files_to_open.empty()) PostMessageA(self, kOpenFilesMessage, 0, 0);
    return TRUE;
}

void MainWindow::AddAboutEntry() {
    char text[256] = {};
    LoadStringA(nullptr, AppResource::ABOUT_ENTRY, text, sizeof text);
    HMENU menu = GetSystemMenu(GetSafeHwnd(), FALSE);
    if (!menu || text[0] == '\0') return;
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, text);
}

void MainWindow::SetupSliders() {
    m_event_stretch_slider.SetRange(-50000, 50000, FALSE);
    m_event_stretch_slider.SetPos(50000);
    m_event_stretch_slider.SetPos(0);
    m_event_stretch_slider.SetPageSize(10);
    const int duration = static_cast<int>(m_filters.Graph().DurationSeconds());
    m_position_slider.SetRange(0, duration, FALSE);
    m_position_slider.SetPageSize(4);
    m_event_position_slider.SetRange(0, duration, FALSE);
    m_event_position_slider.SetPageSize(4);
}

// The class is registered with the running program's path, so the graph creates it here.
void MainWindow::RegisterSourceFilter() {
    char path[MAX_PATH * 4] = {};
    if (GetModuleFileNameA(nullptr, path, sizeof path) == 0) return;
    m_module = GetModuleHandleA(path);
    TimeStretchRegistration::Register(m_module);
}

void MainWindow::OnOK() {
    Stop();
    Dialog::OnOK();
}

BOOL MainWindow::OnCommand(WPARAM wparam, LPARAM lparam) {
    const WORD code = HIWORD(wparam);
    switch (LOWORD(wparam)) {
        case IDC_CHOOSE_VIDEO:
            OnChooseVideo();
            return TRUE;
        case IDC_CHOOSE_AUDIO:
            OnChooseAudio();
            return TRUE;
        case IDC_CHOOSE_OUTPUT:
            OnChooseOutput();
            return TRUE;
        case IDC_PLAY:
            Play();
            return TRUE;
        case IDC_PAUSE:
            Pause();
            return TRUE;
        case IDC_STOP:
            Stop();
            return TRUE;
        case IDC_RENDER:
            OnRender();
            return TRUE;
        case IDC_INSERT_EVENT:
            OnInsertEvent();
            return TRUE;
        case IDC_DELETE_EVENT:
            OnDeleteEvent();
            return TRUE;
        case IDC_SAVE_PROJECT:
            OnSaveProject();
            return TRUE;
        case IDC_LOAD_PROJECT:
            OnLoadProject();
            return TRUE;
        case IDM_PLAY_PAUSE:
            TogglePlay();
            return TRUE;
        case IDM_FRAME_BACK:
            StepFrame(-1);
            return TRUE;
        case IDM_FRAME_FORWARD:
            StepFrame(1);
            return TRUE;
        case IDM_UNDO:
            Undo();
            return TRUE;
        case IDM_REDO:
            Redo();
            return TRUE;
        case IDM_FIT_EVENTS:
            OnFitEvents();
            return TRUE;
        case IDC_INITIAL_OFFSET:
            if (code != EN_UPDATE) break;
            OnInitialOffsetChanged();
            return TRUE;
        default:
            break;
    }
    return Dialog::OnCommand(wparam, lparam);
}

LRESULT MainWindow::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    ForwardToVideoWindow(message, wparam, lparam);
    switch (message) {
        case WM_SYSCOMMAND:
            if ((wparam & 0xFFF0) == IDM_ABOUTBOX) {
                AboutDialog(GetSafeHwnd()).DoModal();
                return 0;
            }
            break;
        case WM_PAINT:
            if (IsIconic(GetSafeHwnd())) {
                OnPaint();
                return 0;
            }
            break;
        case WM_ERASEBKGND:
            return OnEraseBackground(reinterpret_cast<HDC>(wparam));
        case WM_QUERYDRAGICON:
            return reinterpret_cast<LRESULT>(m_icon);
        case WM_TIMER:
            OnTimer(wparam);
            break;
        case WM_HSCROLL:
            OnHScroll(LOWORD(wparam), reinterpret_cast<HWND>(lparam));
            break;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lparam);
            if (header && header->idFrom == IDC_EVENTS && header->code == NM_CLICK) {
                OnEventsClick();
                return 0;
            }
            if (header && header->idFrom == IDC_EVENTS && header->code == NM_RCLICK) {
                OnEventsContextMenu();
                return 0;
            }
            if (header && header->idFrom == IDC_EVENTS && header->code == LVN_KEYDOWN) {
                OnEventsKey(reinterpret_cast<const NMLVKEYDOWN*>(lparam)->wVKey);
                return 0;
            }
            break;
        }
        case WM_DROPFILES:
            OnDropFiles(reinterpret_cast<HDROP>(wparam));
            return 0;
        case kOpenFilesMessage:
            OpenFiles(std::exchange(m_files_to_open, {}));
            return 0;
        case GraphManager::kGraphNotifyMessage:
            return OnGraphNotify();
        case WM_DESTROY: {
            const LRESULT result = Dialog::WindowProc(message, wparam, lparam);
            OnDestroy();
            return result;
        }
        default:
            break;
    }
    return Dialog::WindowProc(message, wparam, lparam);
}

void MainWindow::OnHScroll(WORD code, HWND slider) {
    if (slider == m_event_stretch_slider.GetSafeHwnd()) OnEventStretchScroll(code);
    if (slider == m_event_position_slider.GetSafeHwnd()) OnEventPositionScroll(code);
    if (slider == m_position_slider.GetSafeHwnd()) OnPositionScroll(code);
}

// Minimised: the icon, centred in the client area.
void MainWindow::OnPaint() {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(GetSafeHwnd(), &paint);
    if (!dc) return;
    SendMessageA(GetSafeHwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client{};
    GetClientRect(GetSafeHwnd(), &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, m_icon);
    EndPaint(GetSafeHwnd(), &paint);
}

// The graph stops and lets its filters go before the class they may be made of goes away.
void MainWindow::OnDestroy() {
    m_filters.Shutdown();
    TimeStretchRegistration::Unregister(m_module);
}
