#include "platform/ui/MessageBox.h"

#include "platform/ui/UserPrompt.h"

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    // A null caption is Windows' "Error"; an empty one stays empty.
    return CurrentUserPrompt().ShowMessage(owner, text ? text : "", caption ? caption : "Error",
                                           type);
}

int DefaultButton(UINT type) { return (type & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK; }
