// Qt's keys and Windows' virtual keys, both ways: controls report keys to the system as
// virtual keys (LVN_KEYDOWN) and take WM_KEYDOWN messages as Qt key presses.
// Threading: any thread.
#pragma once

#include "platform/WinTypes.h"

// 0 for a key without a virtual key.
UINT VirtualKeyFromQt(int qt_key);
// Qt::Key_unknown for a virtual key Qt has no key for.
int QtKeyFromVirtualKey(UINT virtual_key);
