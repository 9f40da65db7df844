#include "tools/render/TerminalProgressBar.h"

#include <unistd.h>

#include <algorithm>
#include <string>

namespace {

constexpr int kWidth = 40;

}  // namespace

TerminalProgressBar::TerminalProgressBar(std::FILE* stream)
    : m_stream(stream), m_enabled(stream && ::isatty(::fileno(stream))) {}

TerminalProgressBar::~TerminalProgressBar() {
    if (m_open_line) std::fputc('\n', m_stream);
}

void TerminalProgressBar::Show(int percent) {
    if (!m_enabled) return;
    percent = std::clamp(percent, 0, 100);
    const int filled = percent * kWidth / 100;
    const std::string bar = std::string(filled, '#') + std::string(kWidth - filled, '.');
    std::fprintf(m_stream, "\r[%s] %3d%%", bar.c_str(), percent);
    m_open_line = percent < 100;
    if (!m_open_line) std::fputc('\n', m_stream);
    std::fflush(m_stream);
}
