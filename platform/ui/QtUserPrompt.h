// The application's prompt: message boxes and file choosers as modal Qt dialogs over the owner
// window, shown on the user-interface thread (calls from other threads wait for it there).
// The choosers keep the process's working directory as it was, whatever the user did, accept
// paths of up to 1023 characters (the system's path buffers hold 1024), require the file to
// open to exist, add no extension and ask nothing before overwriting.
// Order of use: made after the QApplication, installed with SetUserPrompt.
// Threading: any thread; without an application it answers as the terminal prompt does.
#pragma once

#include "platform/ui/UserPrompt.h"

class QtUserPrompt : public UserPrompt {
public:
    static constexpr size_t kPathBufferSize = 1024;

    int ShowMessage(HWND owner, const std::string& text, const std::string& caption,
                    UINT type) override;
    std::optional<std::string> ChooseFileToOpen(HWND owner, const FileFilterList& filter) override;
    std::optional<std::string> ChooseFileToSave(HWND owner, const FileFilterList& filter) override;

private:
    static std::optional<std::string> ChooseFile(HWND owner, const FileFilterList& filter,
                                                 bool save);
};
