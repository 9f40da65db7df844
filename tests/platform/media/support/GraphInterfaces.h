// A filter graph made by CoCreateInstance with the interfaces the application holds on it,
// for test fixtures to mix in, and a bounded wait for the graph's events.
#pragma once

#include <chrono>

#include "platform/com/ComPtr.h"
#include "platform/media/dshow.h"

class GraphInterfaces {
protected:
    // Fails the test when the graph or one of its interfaces cannot be had.
    void MakeGraph();
    void ReleaseGraph();
    // Takes events until one with `code` comes (others are freed and skipped); false when it
    // does not come within `timeout`.
    bool WaitForEvent(long code, std::chrono::milliseconds timeout, LONG_PTR* param1 = nullptr);
    bool WaitForEvent(long code, int timeout_ms, LONG_PTR* param1 = nullptr) {
        return WaitForEvent(code, std::chrono::milliseconds(timeout_ms), param1);
    }

    ComPtr<IGraphBuilder> m_graph;
    ComPtr<IMediaControl> m_control;
    ComPtr<IMediaEventEx> m_events;
    ComPtr<IMediaSeeking> m_seeking;
    ComPtr<IMediaPosition> m_position;
};
