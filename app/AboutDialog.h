// AboutDialog: the "A propos de TKV" box opened from the window menu: the application's icon,
// its name and version, and an OK button. It exchanges no data.
// Order of use: construct on the stack, DoModal.
// Threading: the user-interface thread.
#pragma once

#include "platform/ui/Dialog.h"

class AboutDialog : public Dialog {
public:
    static constexpr int IDD = 100;

    explicit AboutDialog(HWND parent = nullptr);

private:
    static DialogTemplate Resource();
};
