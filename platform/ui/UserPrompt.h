// The one replaceable channel through which the system asks or tells the user something
// (message boxes; later the file choosers). No toolkit types here: the application installs
// a windowed implementation at start-up, command-line tools a terminal one, tests a scripted
// one that records the texts. Install before other threads prompt; calls may come from any
// thread, and an implementation serialises them as it needs.
#pragma once

#include <string>

#include "platform/WinTypes.h"

class UserPrompt {
public:
    virtual ~UserPrompt() = default;
    // Returns the identifier of the button chosen (IDOK, ...).
    virtual int ShowMessage(HWND owner, const std::string& text, const std::string& caption,
                            UINT type) = 0;
};

// Installs `prompt` (not owned; null restores the terminal default) and returns the previous.
UserPrompt* SetUserPrompt(UserPrompt* prompt);
UserPrompt& CurrentUserPrompt();
