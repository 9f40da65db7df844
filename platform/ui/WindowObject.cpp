#include "platform/ui/WindowObject.h"

#include "platform/ui/WindowTable.h"

WindowObject::~WindowObject() {
    Detach();
}

HWND WindowObject::Attach(HWND parent, int control_id) {
    if (!m_handle) m_handle = WindowTable::Instance().Add(this, parent, control_id);
    return m_handle;
}

void WindowObject::Close() {
    if (m_handle) WindowTable::Instance().Close(m_handle);
}

void WindowObject::Detach() {
    if (!m_handle) return;
    WindowTable::Instance().Remove(m_handle);
    m_handle = nullptr;
}
