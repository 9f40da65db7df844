// A dialog described as data, as a resource script would: caption, size in dialog units,
// font, style bits and the table of controls. Dialog units scale with the dialog's font: a
// horizontal unit is a quarter of the average character width, a vertical unit an eighth of
// the character height (see DialogUnits).
// Statics show text, a picture (SS_BITMAP, SS_ICON: the text names the resource as "#141")
// or a frame (SS_BLACKFRAME, SS_ETCHEDFRAME, ...). A combo box's height is its height with the
// list dropped down, and its list may be given here (`items`), as a resource's initialisation
// data gives it. New control kinds are added to ControlKind and to ControlWindow::Create.
// Threading: plain data.
#pragma once

#include <string>
#include <vector>

#include "platform/WinTypes.h"
#include "platform/ui/WindowStyles.h"

constexpr int IDC_STATIC = -1;

enum class ControlKind {
    Static,
    PushButton,
    Edit,
    ProgressBar,
    CheckBox,
    ListBox,
    ListView,  // report style (LVS_REPORT)
    Slider,    // a trackbar
    ComboBox,
    GroupBox,
};

struct ControlTemplate {
    int id = IDC_STATIC;
    ControlKind kind = ControlKind::Static;
    std::string text;
    int x = 0;  // dialog units, from the dialog's client area's top left corner
    int y = 0;
    int cx = 0;
    int cy = 0;
    DWORD style = 0;  // WS_BORDER, WS_DISABLED, SS_CENTER, BS_DEFPUSHBUTTON, ES_READONLY, ...
    std::vector<std::string> items{};  // a combo box's initial list
};

struct DialogTemplate {
    int resource_id = 0;
    std::string caption;
    int cx = 0;  // client area, dialog units
    int cy = 0;
    std::string font_name = "MS Sans Serif";
    int font_size = 8;  // points
    DWORD style =
        DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;  // no WS_SYSMENU: no close box
    std::vector<ControlTemplate> controls;
};
