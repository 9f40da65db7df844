#include "tests/support/RecordingMenuTracker.h"

#include <utility>

RecordingMenuTracker::RecordingMenuTracker() : m_previous(SetMenuTracker(this)) {}

RecordingMenuTracker::~RecordingMenuTracker() {
    SetMenuTracker(m_previous);
}

UINT RecordingMenuTracker::Track(const MenuEntries& entries, UINT flags, POINT at, HWND owner) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_menus.push_back({entries, flags, at, owner});
    if (m_choices.empty()) return 0;
    const Choice choice = std::move(m_choices.front());
    m_choices.pop_front();
    if (choice.id) return *choice.id;
    const MenuEntries* level = &entries;
    const MenuEntry* entry = nullptr;
    for (const std::string& text : choice.texts) {
        entry = level ? Find(*level, text) : nullptr;
        if (!entry) return 0;
        level = &entry->submenu;
    }
    return entry && !entry->IsPopup() ? entry->id : 0;
}

void RecordingMenuTracker::ChooseId(UINT id) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_choices.push_back({id, {}});
}

void RecordingMenuTracker::ChooseEntry(std::vector<std::string> texts) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_choices.push_back({std::nullopt, std::move(texts)});
}

void RecordingMenuTracker::ChooseNothing() {
    ChooseId(0);
}

std::vector<RecordingMenuTracker::Shown> RecordingMenuTracker::Menus() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_menus;
}

std::vector<std::string> RecordingMenuTracker::Texts(const MenuEntries& entries) {
    std::vector<std::string> texts;
    for (const MenuEntry& entry : entries)
        texts.push_back(entry.IsSeparator() ? "-" : entry.text);
    return texts;
}

const MenuEntry* RecordingMenuTracker::Find(const MenuEntries& entries, const std::string& text) {
    for (const MenuEntry& entry : entries) {
        if (!entry.IsSeparator() && entry.text == text) return &entry;
    }
    return nullptr;
}
