#include "platform/ui/VirtualKeys.h"

#include <array>
#include <utility>

#include <Qt>

#include "platform/ui/WindowMessages.h"

namespace {

constexpr std::array<std::pair<int, UINT>, 22> kKeys = {{
    {Qt::Key_Backspace, VK_BACK}, {Qt::Key_Tab, VK_TAB},       {Qt::Key_Return, VK_RETURN},
    {Qt::Key_Enter, VK_RETURN},   {Qt::Key_Shift, VK_SHIFT},   {Qt::Key_Control, VK_CONTROL},
    {Qt::Key_Alt, VK_MENU},       {Qt::Key_Escape, VK_ESCAPE}, {Qt::Key_Space, VK_SPACE},
    {Qt::Key_PageUp, VK_PRIOR},   {Qt::Key_PageDown, VK_NEXT}, {Qt::Key_End, VK_END},
    {Qt::Key_Home, VK_HOME},      {Qt::Key_Left, VK_LEFT},     {Qt::Key_Up, VK_UP},
    {Qt::Key_Right, VK_RIGHT},    {Qt::Key_Down, VK_DOWN},     {Qt::Key_Insert, VK_INSERT},
    {Qt::Key_Delete, VK_DELETE},  {Qt::Key_Menu, VK_APPS},     {Qt::Key_F1, VK_F1},
    {Qt::Key_F2, VK_F2},
}};

}  // namespace

UINT VirtualKeyFromQt(int qt_key) {
    if ((qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) ||
        (qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z)) {
        return static_cast<UINT>(qt_key);  // the same ASCII codes
    }
    if (qt_key >= Qt::Key_F1 && qt_key <= Qt::Key_F12) {
        return VK_F1 + static_cast<UINT>(qt_key - Qt::Key_F1);
    }
    for (const auto& [qt, virtual_key] : kKeys) {
        if (qt == qt_key) return virtual_key;
    }
    return 0;
}

int QtKeyFromVirtualKey(UINT virtual_key) {
    if ((virtual_key >= '0' && virtual_key <= '9') || (virtual_key >= 'A' && virtual_key <= 'Z')) {
        return static_cast<int>(virtual_key);
    }
    if (virtual_key >= VK_F1 && virtual_key <= VK_F12) {
        return Qt::Key_F1 + static_cast<int>(virtual_key - VK_F1);
    }
    for (const auto& [qt, key] : kKeys) {
        if (key == virtual_key) return qt;  // Return before Enter: the main key first
    }
    return Qt::Key_unknown;
}
