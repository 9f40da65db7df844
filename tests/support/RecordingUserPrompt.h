// A prompt for tests: records every message and file chooser request instead of showing it,
// answers messages with a scripted button (OK by default) and choosers with scripted paths
// (in order; "cancelled" once they run out), and is installed for its lifetime.
#pragma once

#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/UserPrompt.h"

class RecordingUserPrompt : public UserPrompt {
public:
    struct Message {
        std::string text;
        std::string caption;
        UINT type;
        HWND owner = nullptr;  // the window that owns the box; null: none
    };
    struct FileRequest {
        bool save;  // ChooseFileToSave, else ChooseFileToOpen
        HWND owner;
        FileFilterList filter;
    };

    RecordingUserPrompt();
    ~RecordingUserPrompt() override;
    RecordingUserPrompt(const RecordingUserPrompt&) = delete;
    RecordingUserPrompt& operator=(const RecordingUserPrompt&) = delete;

    int ShowMessage(HWND owner, const std::string& text, const std::string& caption,
                    UINT type) override;
    std::optional<std::string> ChooseFileToOpen(HWND owner, const FileFilterList& filter) override;
    std::optional<std::string> ChooseFileToSave(HWND owner, const FileFilterList& filter) override;

    std::vector<Message> Messages() const;
    void SetAnswer(int button);
    // The next chooser answers `path`; nothing stands for the user cancelling.
    void AddFileAnswer(std::optional<std::string> path);
    std::vector<FileRequest> FileRequests() const;

private:
    std::optional<std::string> AnswerFileRequest(FileRequest request);

    mutable std::mutex m_mutex;
    std::vector<Message> m_messages;
    int m_answer;
    std::deque<std::optional<std::string>> m_file_answers;
    std::vector<FileRequest> m_file_requests;
    UserPrompt* m_previous;
};
