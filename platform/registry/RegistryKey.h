// One key of an in-memory registry tree: its name (case kept), its values in the order they
// were first set, and its subkeys sorted by case-insensitive name. A plain value type: copying
// a key copies its whole subtree, which is how a store prepares a change before committing it.
// Names compare with ASCII case folding, as the registry's own names are ASCII in practice.
// Threading: none of its own; the owner serialises access.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/WinTypes.h"

struct RegistryValue {
    std::string name;  // "" is the key's default value
    DWORD type = 0;
    std::vector<BYTE> data;
};

class RegistryKey {
public:
    RegistryKey() = default;
    explicit RegistryKey(std::string name) : m_name(std::move(name)) {}

    const std::string& Name() const { return m_name; }

    const RegistryKey* FindSubkey(std::string_view name) const;
    RegistryKey* FindSubkey(std::string_view name);
    // Returns the subkey, made when missing; `created` tells which.
    RegistryKey& AddSubkey(std::string_view name, bool* created);
    bool RemoveSubkey(std::string_view name);
    size_t SubkeyCount() const { return m_subkeys.size(); }
    const RegistryKey& SubkeyAt(size_t index) const { return m_subkeys[index]; }

    // Follows `path` from this key; null when a part is missing.
    const RegistryKey* Find(const std::vector<std::string>& path) const;
    RegistryKey* Find(const std::vector<std::string>& path);

    const RegistryValue* FindValue(std::string_view name) const;
    // Returns false when the value already held exactly this type and data.
    bool SetValue(std::string_view name, DWORD type, std::vector<BYTE> data);
    bool RemoveValue(std::string_view name);
    size_t ValueCount() const { return m_values.size(); }
    const RegistryValue& ValueAt(size_t index) const { return m_values[index]; }

private:
    std::vector<RegistryKey>::const_iterator LowerBound(std::string_view name) const;

    std::string m_name;
    std::vector<RegistryKey> m_subkeys;  // sorted by FoldedLess of their names
    std::vector<RegistryValue> m_values;
};

// ASCII case-insensitive comparisons shared by the registry's parts.
bool FoldedEqual(std::string_view a, std::string_view b);
bool FoldedLess(std::string_view a, std::string_view b);
