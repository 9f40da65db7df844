#include "platform/ui/WindowTable.h"

#include <algorithm>
#include <utility>

#include "platform/ui/WindowMessages.h"
#include "platform/ui/WindowObject.h"

struct WindowTable::SentMessage {
    enum class State { Queued, Running, Answered, Dropped };

    SentMessage(UINT m, WPARAM w, LPARAM l) : message(m), wparam(w), lparam(l) {}

    const UINT message;
    const WPARAM wparam;
    const LPARAM lparam;
    // Guarded by the table's lock.
    LRESULT result = 0;
    State state = State::Queued;
};

struct WindowTable::Entry {
    WindowObject* object = nullptr;
    std::thread::id thread;
    uintptr_t parent = 0;
    int control_id = 0;
    bool closing = false;
    std::vector<std::shared_ptr<SentMessage>> sent;  // queued, not yet taken by the window
    size_t posted = 0;                               // posted, not yet delivered
};

namespace {

uintptr_t Key(HWND window) {
    return reinterpret_cast<uintptr_t>(window);
}

HWND Handle(uintptr_t key) {
    return reinterpret_cast<HWND>(key);
}

}  // namespace

WindowTable& WindowTable::Instance() {
    // Never destroyed: a worker may still send to a window while the process exits.
    static auto* table = new WindowTable;
    return *table;
}

WindowTable::Entry* WindowTable::Find(HWND window) {
    const auto found = m_windows.find(Key(window));
    return found == m_windows.end() ? nullptr : &found->second;
}

const WindowTable::Entry* WindowTable::Find(HWND window) const {
    const auto found = m_windows.find(Key(window));
    return found == m_windows.end() ? nullptr : &found->second;
}

HWND WindowTable::Add(WindowObject* object, HWND parent, int control_id) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const uintptr_t key = m_next;
    m_next += 0x10;
    Entry entry;
    entry.object = object;
    entry.thread = std::this_thread::get_id();
    entry.parent = Key(parent);
    entry.control_id = control_id;
    m_windows.emplace(key, std::move(entry));
    return Handle(key);
}

void WindowTable::DropSent(Entry& entry) {
    for (const auto& sent : entry.sent)
        sent->state = SentMessage::State::Dropped;
    entry.sent.clear();
    m_answered.notify_all();
}

void WindowTable::Close(HWND window) {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<uintptr_t> pending{Key(window)};
    while (!pending.empty()) {
        const uintptr_t key = pending.back();
        pending.pop_back();
        Entry* entry = Find(Handle(key));
        if (!entry || entry->closing) continue;
        entry->closing = true;
        DropSent(*entry);
        for (const auto& [child, child_entry] : m_windows) {
            if (child_entry.parent == key) pending.push_back(child);
        }
    }
}

void WindowTable::Remove(HWND window) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Entry* entry = Find(window);
    if (!entry) return;
    DropSent(*entry);
    m_windows.erase(Key(window));
}

LRESULT WindowTable::Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    std::unique_lock<std::mutex> lock(m_mutex);
    Entry* entry = Find(window);
    if (!entry) return 0;
    if (entry->thread == std::this_thread::get_id()) {
        WindowObject* object = entry->object;
        lock.unlock();
        return object->WindowProc(message, wparam, lparam);
    }
    if (entry->closing) return 0;
    auto sent = std::make_shared<SentMessage>(message, wparam, lparam);
    entry->sent.push_back(sent);
    if (!entry->object->PostToOwnThread([this, window, sent] { DeliverSent(window, sent); })) {
        std::erase(entry->sent, sent);
        return 0;
    }
    m_answered.wait(lock, [&] {
        return sent->state == SentMessage::State::Answered ||
               sent->state == SentMessage::State::Dropped;
    });
    return sent->state == SentMessage::State::Answered ? sent->result : 0;
}

void WindowTable::DeliverSent(HWND window, const std::shared_ptr<SentMessage>& sent) {
    std::unique_lock<std::mutex> lock(m_mutex);
    Entry* entry = Find(window);
    if (!entry || sent->state != SentMessage::State::Queued) return;  // dropped meanwhile
    std::erase(entry->sent, sent);
    sent->state = SentMessage::State::Running;
    WindowObject* object = entry->object;
    lock.unlock();
    const LRESULT result = object->WindowProc(sent->message, sent->wparam, sent->lparam);
    lock.lock();
    sent->result = result;
    sent->state = SentMessage::State::Answered;
    m_answered.notify_all();
}

bool WindowTable::Post(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Entry* entry = Find(window);
    if (!entry || entry->closing) return false;
    const bool queued = entry->object->PostToOwnThread([this, window, message, wparam, lparam] {
        DeliverPosted(window, message, wparam, lparam);
    });
    if (queued) ++entry->posted;
    return queued;
}

void WindowTable::DeliverPosted(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    std::unique_lock<std::mutex> lock(m_mutex);
    Entry* entry = Find(window);
    if (!entry) return;
    --entry->posted;
    if (entry->closing) return;
    WindowObject* object = entry->object;
    lock.unlock();
    object->WindowProc(message, wparam, lparam);
}

bool WindowTable::Contains(HWND window) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return Find(window) != nullptr;
}

HWND WindowTable::Parent(HWND window) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const Entry* entry = Find(window);
    return entry ? Handle(entry->parent) : nullptr;
}

int WindowTable::ControlId(HWND window) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const Entry* entry = Find(window);
    return entry ? entry->control_id : 0;
}

HWND WindowTable::Child(HWND parent, int control_id) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!parent || !Find(parent)) return nullptr;
    for (const auto& [key, entry] : m_windows) {
        if (entry.parent == Key(parent) && entry.control_id == control_id) return Handle(key);
    }
    return nullptr;
}

WindowObject* WindowTable::Local(HWND window) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const Entry* entry = Find(window);
    return entry && entry->thread == std::this_thread::get_id() ? entry->object : nullptr;
}

DWORD WindowTable::QueuedKinds() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    DWORD kinds = 0;
    for (const auto& [key, entry] : m_windows) {
        if (entry.thread != std::this_thread::get_id()) continue;
        if (!entry.sent.empty()) kinds |= QS_SENDMESSAGE;
        if (entry.posted > 0) kinds |= QS_POSTMESSAGE;
    }
    return kinds;
}
