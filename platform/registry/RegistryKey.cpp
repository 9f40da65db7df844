#include "platform/registry/RegistryKey.h"

#include <algorithm>
#include <utility>

namespace {

char Fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool FoldedEqual(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Fold(x) == Fold(y); });
}

bool FoldedLess(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(Fold(x)) < static_cast<unsigned char>(Fold(y));
    });
}

std::vector<RegistryKey>::const_iterator RegistryKey::LowerBound(std::string_view name) const {
    return std::lower_bound(m_subkeys.begin(), m_subkeys.end(), name,
                            [](const RegistryKey& key, std::string_view wanted) {
                                return FoldedLess(key.m_name, wanted);
                            });
}

const RegistryKey* RegistryKey::FindSubkey(std::string_view name) const {
    auto it = LowerBound(name);
    return (it != m_subkeys.end() && FoldedEqual(it->m_name, name)) ? &*it : nullptr;
}

RegistryKey* RegistryKey::FindSubkey(std::string_view name) {
    return const_cast<RegistryKey*>(std::as_const(*this).FindSubkey(name));
}

RegistryKey& RegistryKey::AddSubkey(std::string_view name, bool* created) {
    auto at = LowerBound(name);
    const bool found = at != m_subkeys.end() && FoldedEqual(at->m_name, name);
    if (created) *created = !found;
    auto index = at - m_subkeys.begin();
    if (!found) m_subkeys.insert(m_subkeys.begin() + index, RegistryKey(std::string(name)));
    return m_subkeys[static_cast<size_t>(index)];
}

bool RegistryKey::RemoveSubkey(std::string_view name) {
    auto at = LowerBound(name);
    if (at == m_subkeys.end() || !FoldedEqual(at->m_name, name)) return false;
    m_subkeys.erase(at);
    return true;
}

const RegistryKey* RegistryKey::Find(const std::vector<std::string>& path) const {
    const RegistryKey* key = this;
    for (const std::string& part : path) {
        key = key->FindSubkey(part);
        if (!key) return nullptr;
    }
    return key;
}

RegistryKey* RegistryKey::Find(const std::vector<std::string>& path) {
    return const_cast<RegistryKey*>(std::as_const(*this).Find(path));
}

const RegistryValue* RegistryKey::FindValue(std::string_view name) const {
    for (const RegistryValue& value : m_values) {
        if (FoldedEqual(value.name, name)) return &value;
    }
    return nullptr;
}

bool RegistryKey::SetValue(std::string_view name, DWORD type, std::vector<BYTE> data) {
    for (RegistryValue& value : m_values) {
        if (!FoldedEqual(value.name, name)) continue;
        if (value.type == type && value.data == data) return false;
        value.type = type;
        value.data = std::move(data);
        return true;
    }
    m_values.push_back(RegistryValue{std::string(name), type, std::move(data)});
    return true;
}

bool RegistryKey::RemoveValue(std::string_view name) {
    auto it = std::find_if(m_values.begin(), m_values.end(), [&](const RegistryValue& value) {
        return FoldedEqual(value.name, name);
    });
    if (it == m_values.end()) return false;
    m_values.erase(it);
    return true;
}
