// The system's file choosers, shown through the installed UserPrompt: the modal open and save
// dialogs of the platform, with the working directory kept as it was.
// Threading: any thread (the prompt brings the dialog to the user-interface thread).
#pragma once

#include <optional>
#include <string>

#include "platform/WinTypes.h"
#include "platform/ui/UserPrompt.h"

std::optional<std::string> ChooseFileToOpen(HWND owner, const FileFilterList& filter);
std::optional<std::string> ChooseFileToSave(HWND owner, const FileFilterList& filter);
