#include "app/AboutDialog.h"

AboutDialog::AboutDialog(HWND parent) : Dialog(Resource(), parent) {}

DialogTemplate AboutDialog::Resource() {
    DialogTemplate resource;
    resource.resource_id = IDD;
    resource.caption = "A propos de TKV";
    resource.cx = 235;
    resource.cy = 55;
    resource.controls = {
        {IDC_STATIC, ControlKind::Static, "#128", 11, 17, 20, 20, SS_ICON},
        {IDC_STATIC, ControlKind::Static, "TKV version 1.0", 40, 10, 119, 8, SS_NOPREFIX},
        {IDOK, ControlKind::PushButton, "OK", 178, 7, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP},
    };
    return resource;
}
