#include "platform/ui/UserPrompt.h"

#include <atomic>

#include "platform/ui/TerminalUserPrompt.h"

namespace {

std::atomic<UserPrompt*> g_prompt{nullptr};

UserPrompt& DefaultPrompt() {
    static TerminalUserPrompt prompt;
    return prompt;
}

}  // namespace

UserPrompt* SetUserPrompt(UserPrompt* prompt) {
    return g_prompt.exchange(prompt);
}

UserPrompt& CurrentUserPrompt() {
    UserPrompt* prompt = g_prompt.load();
    return prompt ? *prompt : DefaultPrompt();
}
