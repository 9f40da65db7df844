// The main window's dialog template: positions in dialog units, texts and styles.
#include "app/MainWindow.h"

#include "platform/ui/CommonControls.h"

namespace {

constexpr DWORD kPathBox = ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD kDisplayBox = ES_CENTER | ES_AUTOHSCROLL | WS_BORDER | WS_DISABLED;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kReportList =
    LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP;
constexpr DWORD kSlider = TBS_HORZ | TBS_NOTICKS | WS_TABSTOP;

}  // namespace

DialogTemplate MainWindow::Resource() {
    DialogTemplate resource;
    resource.resource_id = IDD;
    resource.caption = "Tarvik Time Stretcher v1.0";
    resource.cx = 443;
    resource.cy = 343;
    resource.style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    resource.controls = {
        {IDC_STATIC, ControlKind::Static, "#141", 7, 7, 105, 55, SS_BITMAP | SS_SUNKEN | WS_BORDER},
        {IDOK, ControlKind::PushButton, "Exit", 134, 37, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP},
        {IDC_RENDER, ControlKind::PushButton, "Render", 135, 18, 50, 14, kButton},
        {IDC_STATIC, ControlKind::Static, "Video :", 224, 7, 40, 12, SS_RIGHT},
        {IDC_VIDEO_PATH, ControlKind::Edit, "", 266, 7, 151, 13, kPathBox},
        {IDC_CHOOSE_VIDEO, ControlKind::PushButton, "...", 421, 7, 15, 13, kButton},
        {IDC_STATIC, ControlKind::Static, "Audio :", 224, 25, 40, 12, SS_RIGHT},
        {IDC_AUDIO_PATH, ControlKind::Edit, "", 266, 25, 151, 13, kPathBox},
        {IDC_CHOOSE_AUDIO, ControlKind::PushButton, "...", 421, 25, 15, 13, kButton},
        {IDC_STATIC, ControlKind::Static, "Output :", 224, 41, 40, 12, SS_RIGHT},
        {IDC_OUTPUT_PATH, ControlKind::Edit, "", 266, 41, 151, 13, kPathBox},
        {IDC_CHOOSE_OUTPUT, ControlKind::PushButton, "...", 421, 41, 15, 13, kButton},
        {IDC_STATIC, ControlKind::Static, "DirectShow Graph :", 227, 65, 67, 11, SS_LEFT},
        {IDC_FILTERS, ControlKind::ListView, "", 227, 78, 209, 59, kReportList},
        {IDC_VIDEO_AREA, ControlKind::Static, "", 7, 73, 199, 145, SS_BLACKFRAME},
        {IDC_STATIC, ControlKind::Static, "Stretching Events :", 227, 144, 209, 11, SS_LEFT},
        {IDC_EVENTS, ControlKind::ListView, "", 227, 156, 209, 89, kReportList},
        {IDC_PLAY, ControlKind::PushButton, "Play", 7, 230, 45, 14, kButton},
        {IDC_PAUSE, ControlKind::PushButton, "Pause", 58, 230, 45, 14, kButton},
        {IDC_STOP, ControlKind::PushButton, "Stop", 109, 230, 45, 14, kButton},
        {IDC_POSITION_SLIDER, ControlKind::Slider, "", 7, 247, 199, 12, kSlider},
        {IDC_INSERT_EVENT, ControlKind::PushButton, "Insert", 230, 253, 45, 14, kButton},
        {IDC_DELETE_EVENT, ControlKind::PushButton, "Delete", 282, 253, 45, 14, kButton},
        {IDC_LOAD_PROJECT, ControlKind::PushButton, "Load ...", 332, 253, 45, 14, kButton},
        {IDC_SAVE_PROJECT, ControlKind::PushButton, "Save ...", 382, 253, 45, 14, kButton},
        {IDC_STATIC, ControlKind::Static, "Frame :", 7, 262, 48, 10, SS_LEFT},
        {IDC_FRAME, ControlKind::Edit, "", 61, 260, 57, 12, kDisplayBox},
        {IDC_STATIC, ControlKind::Static, "Position :", 7, 279, 48, 10, SS_LEFT},
        {IDC_POSITION, ControlKind::Edit, "", 61, 276, 57, 12, kDisplayBox},
        {IDC_STATIC, ControlKind::Static, "Duration :", 7, 295, 48, 10, SS_LEFT},
        {IDC_DURATION, ControlKind::Edit, "", 61, 292, 57, 12, kDisplayBox},
        {IDC_STATIC, ControlKind::Static, "Framerate :", 7, 311, 48, 10, SS_LEFT},
        {IDC_FRAMERATE, ControlKind::Edit, "", 61, 308, 57, 12, kDisplayBox},
        {IDC_STATIC, ControlKind::Static, "Initial Offset :", 7, 324, 48, 10, SS_LEFT},
        {IDC_INITIAL_OFFSET, ControlKind::Edit, "", 61, 324, 57, 12,
         ES_CENTER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
        {IDC_STATIC, ControlKind::Static, "(ex. 1.52 seconds)", 125, 326, 82, 10, SS_LEFT},
        {IDC_STATIC, ControlKind::GroupBox, "Current Stretching Event", 229, 273, 207, 56, 0},
        {IDC_STATIC, ControlKind::Static, "Position :", 235, 292, 30, 8, SS_LEFT},
        {IDC_EVENT_POSITION, ControlKind::Edit, "", 275, 289, 57, 12, kDisplayBox},
        {IDC_EVENT_POSITION_SLIDER, ControlKind::Slider, "", 336, 292, 94, 11, kSlider},
        {IDC_STATIC, ControlKind::Static, "Stretching :", 235, 308, 37, 8, SS_LEFT},
        {IDC_EVENT_STRETCH, ControlKind::Edit, "", 275, 305, 57, 12, kDisplayBox},
        {IDC_EVENT_STRETCH_SLIDER, ControlKind::Slider, "", 336, 306, 94, 11, kSlider},
    };
    return resource;
}
