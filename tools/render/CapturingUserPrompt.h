// The command-line tools' prompt: keeps the last message instead of printing it, so that a
// failure is reported as one line with the reason the engine gave. Installed for its
// lifetime; messages may come from any thread. The file choosers answer "cancelled".
#pragma once

#include <mutex>
#include <string>

#include "platform/ui/TerminalUserPrompt.h"

class CapturingUserPrompt : public TerminalUserPrompt {
public:
    CapturingUserPrompt();
    ~CapturingUserPrompt() override;

    int ShowMessage(HWND owner, const std::string& text, const std::string& caption,
                    UINT type) override;
    std::string LastMessage() const;

private:
    mutable std::mutex m_mutex;
    std::string m_last;
    UserPrompt* m_previous;
};
