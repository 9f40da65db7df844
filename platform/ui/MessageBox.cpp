#include "platform/ui/MessageBox.h"

#include <array>

#include "platform/ui/UserPrompt.h"

namespace {

struct ButtonRow {
    int count;
    std::array<int, 3> ids;
};

ButtonRow Buttons(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return {2, {IDOK, IDCANCEL, 0}};
        case MB_ABORTRETRYIGNORE:
            return {3, {IDABORT, IDRETRY, IDIGNORE}};
        case MB_YESNOCANCEL:
            return {3, {IDYES, IDNO, IDCANCEL}};
        case MB_YESNO:
            return {2, {IDYES, IDNO, 0}};
        case MB_RETRYCANCEL:
            return {2, {IDRETRY, IDCANCEL, 0}};
        default:
            return {1, {IDOK, 0, 0}};
    }
}

}  // namespace

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    // A null caption is Windows' "Error"; an empty one stays empty.
    return CurrentUserPrompt().ShowMessage(owner, text ? text : "", caption ? caption : "Error",
                                           type);
}

int ButtonCount(UINT type) {
    return Buttons(type).count;
}

int ButtonAt(UINT type, int index) {
    const ButtonRow row = Buttons(type);
    return index >= 0 && index < row.count ? row.ids[static_cast<size_t>(index)] : 0;
}

int DefaultButton(UINT type) {
    const int index = static_cast<int>((type & MB_DEFMASK) >> 8);
    // Windows falls back to the first button when the flag names one the box does not have.
    return ButtonAt(type, index < ButtonCount(type) ? index : 0);
}
