// Writes what the filter catalogue reads, as installers would, into the registry folder in
// use: per-user audio renderers, filter-category instances, class keys and DMOs. Shared by
// the catalogue's tests and its benchmark.
#pragma once

#include <cstring>
#include <string>

#include "platform/media/dmoreg.h"
#include "platform/registry/winreg.h"

namespace catalogue_registry {

// Makes the key and, unless `value` is null, sets its string value `name` (null: the default).
inline bool WriteKey(HKEY root, const std::string& path, const char* name, const char* value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const LONG status =
        value ? RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                               static_cast<DWORD>(std::strlen(value) + 1))
              : ERROR_SUCCESS;
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

inline bool AddAudioRenderer(const std::string& name, const char* clsid) {
    return WriteKey(HKEY_CURRENT_USER,
                    "Software\\Microsoft\\ActiveMovie\\devenum\\"
                    "{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}\\" +
                        name,
                    "CLSID", clsid);
}

inline bool AddFilterInstance(const std::string& subkey, const char* friendly_name) {
    return WriteKey(HKEY_LOCAL_MACHINE,
                    "SOFTWARE\\Classes\\CLSID\\{083863F1-70DE-11D0-BD40-00A0C911CE86}\\"
                    "Instance\\" +
                        subkey,
                    "FriendlyName", friendly_name);
}

inline bool AddClassKey(const std::string& clsid_text, const char* name) {
    return WriteKey(HKEY_CLASSES_ROOT, "CLSID\\" + clsid_text, nullptr, name);
}

inline bool AddDmo(LPCWSTR name, REFCLSID clsid, REFGUID category, DWORD flags = 0) {
    return SUCCEEDED(DMORegister(name, clsid, category, flags, 0, nullptr, 0, nullptr));
}

}  // namespace catalogue_registry
