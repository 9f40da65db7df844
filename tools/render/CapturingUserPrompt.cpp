#include "tools/render/CapturingUserPrompt.h"

#include "platform/ui/MessageBox.h"

CapturingUserPrompt::CapturingUserPrompt() : m_previous(SetUserPrompt(this)) {}

CapturingUserPrompt::~CapturingUserPrompt() {
    SetUserPrompt(m_previous);
}

int CapturingUserPrompt::ShowMessage(HWND /*owner*/, const std::string& text,
                                     const std::string& /*caption*/, UINT type) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_last = text;
    return DefaultButton(type);
}

std::string CapturingUserPrompt::LastMessage() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_last;
}
