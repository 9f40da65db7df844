// A prompt for tests: records every message instead of showing it, answers with a scripted
// button (OK by default), and is installed for its lifetime.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/ui/UserPrompt.h"

class RecordingUserPrompt : public UserPrompt {
public:
    struct Message {
        std::string text;
        std::string caption;
        UINT type;
    };

    RecordingUserPrompt();
    ~RecordingUserPrompt() override;

    int ShowMessage(HWND owner, const std::string& text, const std::string& caption,
                    UINT type) override;
    std::vector<Message> Messages() const;
    void SetAnswer(int button) { m_answer = button; }

private:
    mutable std::mutex m_mutex;
    std::vector<Message> m_messages;
    int m_answer;
    UserPrompt* m_previous;
};
