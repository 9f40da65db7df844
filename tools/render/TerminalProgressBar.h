// A percentage bar redrawn in place on a terminal ("[#####.....]  50%"), finished with a
// line end at 100. Writes nothing when the stream is not a terminal. One thread.
#pragma once

#include <cstdio>

class TerminalProgressBar {
public:
    explicit TerminalProgressBar(std::FILE* stream);
    ~TerminalProgressBar();
    TerminalProgressBar(const TerminalProgressBar&) = delete;
    TerminalProgressBar& operator=(const TerminalProgressBar&) = delete;

    void Show(int percent);

private:
    std::FILE* m_stream;
    bool m_enabled;
    bool m_open_line = false;
};
