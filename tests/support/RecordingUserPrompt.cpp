#include "tests/support/RecordingUserPrompt.h"

#include <utility>

#include "platform/ui/MessageBox.h"

RecordingUserPrompt::RecordingUserPrompt() : m_answer(IDOK), m_previous(SetUserPrompt(this)) {}

RecordingUserPrompt::~RecordingUserPrompt() {
    SetUserPrompt(m_previous);
}

int RecordingUserPrompt::ShowMessage(HWND owner, const std::string& text,
                                     const std::string& caption, UINT type) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_messages.push_back({text, caption, type, owner});
    return m_answer;
}

std::optional<std::string> RecordingUserPrompt::ChooseFileToOpen(HWND owner,
                                                                 const FileFilterList& filter) {
    return AnswerFileRequest({false, owner, filter});
}

std::optional<std::string> RecordingUserPrompt::ChooseFileToSave(HWND owner,
                                                                 const FileFilterList& filter) {
    return AnswerFileRequest({true, owner, filter});
}

std::optional<std::string> RecordingUserPrompt::AnswerFileRequest(FileRequest request) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_file_requests.push_back(std::move(request));
    if (m_file_answers.empty()) return std::nullopt;
    std::optional<std::string> answer = std::move(m_file_answers.front());
    m_file_answers.pop_front();
    return answer;
}

std::vector<RecordingUserPrompt::Message> RecordingUserPrompt::Messages() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_messages;
}

void RecordingUserPrompt::SetAnswer(int button) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_answer = button;
}

void RecordingUserPrompt::AddFileAnswer(std::optional<std::string> path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_file_answers.push_back(std::move(path));
}

std::vector<RecordingUserPrompt::FileRequest> RecordingUserPrompt::FileRequests() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_file_requests;
}
