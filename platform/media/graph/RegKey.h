// An open registry key that closes itself, with the value reads and writes the filter mapper
// and the graph's filter search need. Results are Win32 error codes, as the Reg* functions
// give them.
// Order of use: Open or Create, then values and subkeys; the key closes when the object goes.
// Threading: one object per thread; the registry itself may be used from any thread.
#pragma once

#include <string>
#include <vector>

#include "platform/WinTypes.h"
#include "platform/registry/winreg.h"

class RegKey {
public:
    RegKey() = default;
    ~RegKey();
    RegKey(RegKey&& other) noexcept;
    RegKey& operator=(RegKey&& other) noexcept;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    LONG Open(HKEY parent, const std::string& path, REGSAM access = KEY_READ);
    LONG Create(HKEY parent, const std::string& path);
    void Close();
    HKEY Get() const { return m_key; }
    bool IsOpen() const { return m_key != nullptr; }

    LONG SetString(const char* name, const std::string& value);
    LONG SetBinary(const char* name, const std::vector<BYTE>& value);
    LONG SetDword(const char* name, DWORD value);
    bool GetString(const char* name, std::string* value) const;
    bool GetBinary(const char* name, std::vector<BYTE>* value) const;
    bool GetDword(const char* name, DWORD* value) const;
    std::vector<std::string> SubkeyNames() const;

    // Deletes `path` under `parent` with all its subkeys, depth first.
    static LONG DeleteTree(HKEY parent, const std::string& path);

private:
    bool GetRaw(const char* name, DWORD* type, std::vector<BYTE>* data) const;

    HKEY m_key = nullptr;
};
