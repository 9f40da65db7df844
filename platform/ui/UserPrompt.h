// The one replaceable channel through which the system asks or tells the user something:
// message boxes and the open / save file choosers. No toolkit types here: the application
// installs a windowed implementation at start-up, command-line tools a terminal one, tests a
// scripted one that records what was asked. Install before other threads prompt; calls may
// come from any thread, and an implementation serialises them as it needs.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/WinTypes.h"

// One entry of a file chooser's type list: the label shown ("TKV Project (*.tkv)") and the
// patterns it selects, several separated by ';' ("*.tkv").
struct FileFilter {
    std::string label;
    std::string pattern;
};
using FileFilterList = std::vector<FileFilter>;

class UserPrompt {
public:
    virtual ~UserPrompt() = default;
    // Returns the identifier of the button chosen (IDOK, ...).
    virtual int ShowMessage(HWND owner, const std::string& text, const std::string& caption,
                            UINT type) = 0;
    // The path chosen, or nothing when the user cancelled. The first filter is preselected;
    // the file to open must exist; no extension is added to the name given.
    virtual std::optional<std::string> ChooseFileToOpen(HWND owner,
                                                        const FileFilterList& filter) = 0;
    virtual std::optional<std::string> ChooseFileToSave(HWND owner,
                                                        const FileFilterList& filter) = 0;
};

// Installs `prompt` (not owned; null restores the terminal default) and returns the previous.
UserPrompt* SetUserPrompt(UserPrompt* prompt);
UserPrompt& CurrentUserPrompt();
