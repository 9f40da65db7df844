#include "platform/ui/TerminalUserPrompt.h"

#include <cstdio>

#include "platform/ui/MessageBox.h"

int TerminalUserPrompt::ShowMessage(HWND /*owner*/, const std::string& text,
                                    const std::string& caption, UINT type) {
    if (caption.empty()) {
        std::fprintf(stderr, "%s\n", text.c_str());
    } else {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    }
    return DefaultButton(type);
}

std::optional<std::string> TerminalUserPrompt::ChooseFileToOpen(HWND /*owner*/,
                                                                const FileFilterList& /*filter*/) {
    return std::nullopt;
}

std::optional<std::string> TerminalUserPrompt::ChooseFileToSave(HWND /*owner*/,
                                                                const FileFilterList& /*filter*/) {
    return std::nullopt;
}
