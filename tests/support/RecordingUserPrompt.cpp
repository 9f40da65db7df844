#include "tests/support/RecordingUserPrompt.h"

#include "platform/ui/MessageBox.h"

RecordingUserPrompt::RecordingUserPrompt() : m_answer(IDOK), m_previous(SetUserPrompt(this)) {}

RecordingUserPrompt::~RecordingUserPrompt() {
    SetUserPrompt(m_previous);
}

int RecordingUserPrompt::ShowMessage(HWND /*owner*/, const std::string& text,
                                     const std::string& caption, UINT type) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_messages.push_back({text, caption, type});
    return m_answer;
}

std::vector<RecordingUserPrompt::Message> RecordingUserPrompt::Messages() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_messages;
}
