// The prompt of command-line tools: prints each message as one line on stderr and answers
// with the box's default button; the file choosers answer "cancelled".
// Threading: any thread (one line per message, written in one call).
#pragma once

#include "platform/ui/UserPrompt.h"

class TerminalUserPrompt : public UserPrompt {
public:
    int ShowMessage(HWND owner, const std::string& text, const std::string& caption,
                    UINT type) override;
    std::optional<std::string> ChooseFileToOpen(HWND owner, const FileFilterList& filter) override;
    std::optional<std::string> ChooseFileToSave(HWND owner, const FileFilterList& filter) override;
};
