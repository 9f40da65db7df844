#include "tests/platform/media/support/GraphInterfaces.h"

#include <gtest/gtest.h>

#include "platform/com/objbase.h"

void GraphInterfaces::MakeGraph() {
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                               IID_PPV_ARGS(m_graph.GetAddressOf())),
              S_OK);
    ASSERT_EQ(m_graph.As(&m_control), S_OK);
    ASSERT_EQ(m_graph.As(&m_events), S_OK);
    ASSERT_EQ(m_graph.As(&m_seeking), S_OK);
    ASSERT_EQ(m_graph.As(&m_position), S_OK);
}

void GraphInterfaces::ReleaseGraph() {
    m_position = nullptr;
    m_seeking = nullptr;
    m_events = nullptr;
    m_control = nullptr;
    m_graph = nullptr;
}

bool GraphInterfaces::WaitForEvent(long code, std::chrono::milliseconds timeout, LONG_PTR* param1) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        long event = 0;
        LONG_PTR first = 0;
        LONG_PTR second = 0;
        if (m_events->GetEvent(&event, &first, &second, left > 0 ? static_cast<long>(left) : 0) !=
            S_OK) {
            return false;
        }
        m_events->FreeEventParams(event, first, second);
        if (event == code) {
            if (param1) *param1 = first;
            return true;
        }
    }
}
