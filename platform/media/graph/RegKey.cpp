#include "platform/media/graph/RegKey.h"

#include <cstring>
#include <utility>

namespace {

// A key name is at most 255 characters on Windows; values here are small.
constexpr DWORD kNameBuffer = 256;
constexpr DWORD kMaxValueSize = 1 << 20;

}  // namespace

RegKey::~RegKey() {
    Close();
}

RegKey::RegKey(RegKey&& other) noexcept : m_key(std::exchange(other.m_key, nullptr)) {}

RegKey& RegKey::operator=(RegKey&& other) noexcept {
    if (this != &other) {
        Close();
        m_key = std::exchange(other.m_key, nullptr);
    }
    return *this;
}

LONG RegKey::Open(HKEY parent, const std::string& path, REGSAM access) {
    Close();
    return RegOpenKeyExA(parent, path.c_str(), 0, access, &m_key);
}

LONG RegKey::Create(HKEY parent, const std::string& path) {
    Close();
    return RegCreateKeyExA(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, nullptr, &m_key, nullptr);
}

void RegKey::Close() {
    if (m_key) RegCloseKey(m_key);
    m_key = nullptr;
}

LONG RegKey::SetString(const char* name, const std::string& value) {
    return RegSetValueExA(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1));
}

LONG RegKey::SetBinary(const char* name, const std::vector<BYTE>& value) {
    return RegSetValueExA(m_key, name, 0, REG_BINARY, value.data(),
                          static_cast<DWORD>(value.size()));
}

LONG RegKey::SetDword(const char* name, DWORD value) {
    return RegSetValueExA(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof(value));
}

bool RegKey::GetString(const char* name, std::string* value) const {
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!GetRaw(name, &type, &data) || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    const auto* text = reinterpret_cast<const char*>(data.data());
    value->assign(text, strnlen(text, data.size()));
    return true;
}

bool RegKey::GetBinary(const char* name, std::vector<BYTE>* value) const {
    DWORD type = 0;
    return GetRaw(name, &type, value) && type == REG_BINARY;
}

bool RegKey::GetDword(const char* name, DWORD* value) const {
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!GetRaw(name, &type, &data) || type != REG_DWORD || data.size() != sizeof(DWORD)) {
        return false;
    }
    std::memcpy(value, data.data(), sizeof(DWORD));
    return true;
}

std::vector<std::string> RegKey::SubkeyNames() const {
    std::vector<std::string> names;
    char name[kNameBuffer];
    for (DWORD index = 0; m_key && RegEnumKeyA(m_key, index, name, kNameBuffer) == ERROR_SUCCESS;
         ++index) {
        names.emplace_back(name);
    }
    return names;
}

LONG RegKey::DeleteTree(HKEY parent, const std::string& path) {
    RegKey key;
    const LONG opened = key.Open(parent, path, KEY_ALL_ACCESS);
    if (opened != ERROR_SUCCESS) return opened;
    for (const std::string& child : key.SubkeyNames()) {
        const LONG deleted = DeleteTree(key.Get(), child);
        if (deleted != ERROR_SUCCESS) return deleted;
    }
    key.Close();
    return RegDeleteKeyA(parent, path.c_str());
}

bool RegKey::GetRaw(const char* name, DWORD* type, std::vector<BYTE>* data) const {
    if (!m_key) return false;
    DWORD size = 0;
    if (RegQueryValueExA(m_key, name, nullptr, type, nullptr, &size) != ERROR_SUCCESS ||
        size > kMaxValueSize) {
        return false;
    }
    data->assign(size, 0);
    if (size == 0) return true;
    if (RegQueryValueExA(m_key, name, nullptr, type, data->data(), &size) != ERROR_SUCCESS) {
        return false;
    }
    data->resize(size);
    return true;
}
