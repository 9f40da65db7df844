#include "platform/ui/DeviceContext.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<DeviceContext*>& Live() {
    static std::vector<DeviceContext*> live;
    return live;
}

}  // namespace

DeviceContext::DeviceContext(HWND window, QPainter& painter, const QRegion& region)
    : m_window(window), m_painter(painter), m_clip(region) {
    m_painter.setClipRegion(m_clip);
    Live().push_back(this);
}

DeviceContext::~DeviceContext() {
    std::erase(Live(), this);
}

DeviceContext* DeviceContext::FromHandle(HDC dc) {
    for (DeviceContext* context : Live()) {
        if (static_cast<HDC>(context) == dc) return context;
    }
    return nullptr;
}

DeviceContext* DeviceContext::Painting(HWND window) {
    // The innermost paint of the window, should one paint start inside another.
    for (auto it = Live().rbegin(); it != Live().rend(); ++it) {
        if ((*it)->m_window == window) return *it;
    }
    return nullptr;
}

int DeviceContext::Exclude(const QRect& rect) {
    m_clip -= QRegion(rect);
    m_painter.setClipRegion(m_clip);
    if (m_clip.isEmpty()) return NULLREGION;
    return m_clip.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

void DeviceContext::Fill(const QBrush& brush) {
    for (const QRect& rect : m_clip)
        m_painter.fillRect(rect, brush);
}
