#include "platform/ui/FileChooser.h"

std::optional<std::string> ChooseFileToOpen(HWND owner, const FileFilterList& filter) {
    return CurrentUserPrompt().ChooseFileToOpen(owner, filter);
}

std::optional<std::string> ChooseFileToSave(HWND owner, const FileFilterList& filter) {
    return CurrentUserPrompt().ChooseFileToSave(owner, filter);
}
