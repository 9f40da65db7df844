// A menu tracker for tests: records every menu shown (its entries with texts, identifiers,
// grayed states and submenus, the flags, the point and the owner) instead of showing it, and
// answers with scripted choices, in order — an identifier, or the texts leading to an entry
// ("Connect Out to ...", then "Wave Parser In"), or nothing; once they run out, nothing is
// chosen. What it answers then goes through the platform's own rules (a grayed entry chosen
// counts as no choice). Installed for its lifetime.
#pragma once

#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/MenuTracker.h"

class RecordingMenuTracker : public MenuTracker {
public:
    struct Shown {
        MenuEntries entries;
        UINT flags;
        POINT at;
        HWND owner;
    };

    RecordingMenuTracker();
    ~RecordingMenuTracker() override;
    RecordingMenuTracker(const RecordingMenuTracker&) = delete;
    RecordingMenuTracker& operator=(const RecordingMenuTracker&) = delete;

    UINT Track(const MenuEntries& entries, UINT flags, POINT at, HWND owner) override;

    void ChooseId(UINT id);
    void ChooseEntry(std::vector<std::string> texts);
    void ChooseNothing();
    std::vector<Shown> Menus() const;

    // The entries' texts in order, "-" for a separator.
    static std::vector<std::string> Texts(const MenuEntries& entries);
    // The entry with exactly this text, or null.
    static const MenuEntry* Find(const MenuEntries& entries, const std::string& text);

private:
    struct Choice {
        std::optional<UINT> id;
        std::vector<std::string> texts;
    };

    mutable std::mutex m_mutex;
    std::deque<Choice> m_choices;
    std::vector<Shown> m_menus;
    MenuTracker* m_previous;
};
