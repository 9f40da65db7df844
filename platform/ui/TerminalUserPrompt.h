// The prompt of command-line tools: prints each message as one line on stderr and answers
// with the box's default button.
#pragma once

#include "platform/ui/UserPrompt.h"

class TerminalUserPrompt : public UserPrompt {
public:
    int ShowMessage(HWND owner, const std::string& text, const std::string& caption,
                    UINT type) override;
};
