// Keyboard accelerators: a table of keys (with Ctrl, Shift, Alt) and the command each sends,
// as WM_COMMAND with notification code 1, to the dialog whose window has the key.
// Windows translates accelerators in the message loop (TranslateAccelerator); a modal dialog
// here has no loop of ours, so SetDialogAccelerators (an extension) attaches the table to the
// dialog instead. A control keeps the keys it edits with: a writable edit box every key
// without Ctrl or Alt, a slider its arrows, Page Up/Down, Home and End.
// Order of use: create the table, attach it once the dialog's window exists (it stays attached
// until the window goes), destroy the table after the window.
// Threading: the user-interface thread.
#pragma once

#include "platform/WinTypes.h"

struct HACCEL__;
using HACCEL = HACCEL__*;

struct ACCEL {
    BYTE fVirt;  // FVIRTKEY with FSHIFT, FCONTROL, FALT as needed
    WORD key;    // a virtual key
    WORD cmd;
};

constexpr BYTE FVIRTKEY = 0x01;
constexpr BYTE FSHIFT = 0x04;
constexpr BYTE FCONTROL = 0x08;
constexpr BYTE FALT = 0x10;
// Extension: a held key's auto-repeated presses are swallowed, not sent again (for a toggle
// such as play/pause, or a command that opens a box).
constexpr BYTE FNOREPEAT = 0x80;

// Null when `count` is not positive or `entries` is null.
HACCEL CreateAcceleratorTableA(const ACCEL* entries, int count);
BOOL DestroyAcceleratorTable(HACCEL table);
// The command of the first entry for this virtual key and these FSHIFT/FCONTROL/FALT flags;
// 0 when none.
WORD FindAccelerator(HACCEL table, UINT virtual_key, BYTE modifiers);
// Extension: keys pressed in `dialog` or its controls go through `table` (null: none).
BOOL SetDialogAccelerators(HWND dialog, HACCEL table);
