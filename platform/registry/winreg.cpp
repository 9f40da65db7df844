// The Reg* functions: argument checks and buffer rules as on Windows, over the Registry's
// handles and store files.
#include "platform/registry/winreg.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/registry/Registry.h"
#include "platform/registry/RegistryPath.h"

namespace {

using KeyRef = Registry::KeyRef;

// One call: hooks first, then the registry's lock for the whole call.
class Call {
public:
    Call() : m_registry(Registry::Instance()) {
        m_registry.RunFirstUseHooks();
        m_lock = std::unique_lock<std::mutex>(m_registry.Mutex());
    }
    Registry* operator->() { return &m_registry; }

private:
    Registry& m_registry;
    std::unique_lock<std::mutex> m_lock;
};

REGSAM EffectiveAccess(REGSAM sam) {
    if (sam & (MAXIMUM_ALLOWED | GENERIC_ALL)) return KEY_ALL_ACCESS;
    if (sam & GENERIC_READ) sam |= KEY_READ;
    if (sam & GENERIC_WRITE) sam |= KEY_WRITE;
    if (sam & GENERIC_EXECUTE) sam |= KEY_EXECUTE;
    return sam & KEY_ALL_ACCESS;
}

std::string_view Text(LPCSTR text) {
    return text ? std::string_view(text) : std::string_view();
}

// The key that `ref` names in `root`: null when it was deleted.
const RegistryKey* FindKey(const RegistryKey& root, const KeyRef& ref) {
    static const RegistryKey kEmpty;
    const RegistryKey* key = root.Find(ref.path);
    return (!key && ref.always_exists) ? &kEmpty : key;
}

// The same, inside a change: a predefined root's path is made on the way.
RegistryKey* FindKeyForWrite(RegistryKey& root, const KeyRef& ref, bool* modified) {
    if (RegistryKey* key = root.Find(ref.path)) return key;
    if (!ref.always_exists) return nullptr;
    RegistryKey* key = &root;
    for (const std::string& part : ref.path)
        key = &key->AddSubkey(part, nullptr);
    *modified = true;
    return key;
}

// The handle's key, checked for `needed` access, for reading.
LONG KeyForRead(Call& call, HKEY hkey, REGSAM needed, const RegistryKey** key) {
    KeyRef ref;
    LONG result = call->Resolve(hkey, &ref);
    if (result != ERROR_SUCCESS) return result;
    if ((ref.access & needed) != needed) return ERROR_ACCESS_DENIED;
    *key = FindKey(ref.file->Current(), ref);
    return *key ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

// Copies `size` bytes to a caller buffer by the RegQueryValueEx rules.
LONG CopyData(const std::vector<BYTE>& bytes, LPBYTE data, LPDWORD size) {
    if (!size) return ERROR_SUCCESS;
    const auto needed = static_cast<DWORD>(bytes.size());
    if (data && *size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (data && needed > 0) std::memcpy(data, bytes.data(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}

// Copies a name to a caller buffer of `capacity` characters, terminator included.
LONG CopyName(const std::string& name, LPSTR buffer, DWORD capacity) {
    if (capacity < name.size() + 1) return ERROR_MORE_DATA;
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    return ERROR_SUCCESS;
}

LONG OpenKey(HKEY hkey, std::string_view sub_key, REGSAM sam, PHKEY result) {
    Call call;
    KeyRef ref;
    LONG status = call->Resolve(hkey, &ref);
    if (status != ERROR_SUCCESS) return status;
    const RegistryKey& root = ref.file->Current();
    if (!FindKey(root, ref)) return ERROR_KEY_DELETED;
    const size_t base_depth = ref.path.size();
    status = AppendRegistryPath(sub_key, &ref.path);
    if (status != ERROR_SUCCESS) return status;
    ref.always_exists = ref.always_exists && ref.path.size() == base_depth;
    if (!FindKey(root, ref)) return ERROR_FILE_NOT_FOUND;
    ref.access = EffectiveAccess(sam);
    *result = call->AddHandle(ref);
    return ERROR_SUCCESS;
}

LONG CreateKey(HKEY hkey, std::string_view sub_key, REGSAM sam, PHKEY result, LPDWORD disposition) {
    Call call;
    KeyRef base;
    LONG status = call->Resolve(hkey, &base);
    if (status != ERROR_SUCCESS) return status;
    KeyRef ref = base;
    status = AppendRegistryPath(sub_key, &ref.path);
    if (status != ERROR_SUCCESS) return status;
    ref.always_exists = base.always_exists && ref.path.size() == base.path.size();
    bool created = false;
    if (!FindKey(ref.file->Current(), ref)) {
        status = ref.file->Update([&](RegistryKey& root, bool* modified) {
            RegistryKey* key = FindKeyForWrite(root, base, modified);
            if (!key) return ERROR_KEY_DELETED;
            for (size_t i = base.path.size(); i < ref.path.size(); ++i) {
                bool made = false;
                key = &key->AddSubkey(ref.path[i], &made);
                created = created || made;
            }
            if (created && !(base.access & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
            *modified = *modified || created;
            return ERROR_SUCCESS;
        });
        if (status != ERROR_SUCCESS) return status;
    }
    ref.access = EffectiveAccess(sam);
    *result = call->AddHandle(ref);
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

// Applies `change` to the handle's key, which needs `needed` access.
template <typename Change>
LONG ChangeKey(HKEY hkey, REGSAM needed, Change change) {
    Call call;
    KeyRef ref;
    LONG status = call->Resolve(hkey, &ref);
    if (status != ERROR_SUCCESS) return status;
    if ((ref.access & needed) != needed) return ERROR_ACCESS_DENIED;
    return ref.file->Update([&](RegistryKey& root, bool* modified) {
        RegistryKey* key = FindKeyForWrite(root, ref, modified);
        return key ? change(*key, modified) : ERROR_KEY_DELETED;
    });
}

}  // namespace

LONG RegCreateKeyExA(HKEY key, LPCSTR sub_key, DWORD /*reserved*/, LPSTR /*key_class*/,
                     DWORD /*options*/, REGSAM sam, const SECURITY_ATTRIBUTES* /*security*/,
                     PHKEY result, LPDWORD disposition) {
    if (!result || !sub_key) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    return CreateKey(key, sub_key, sam, result, disposition);
}

LONG RegCreateKeyA(HKEY key, LPCSTR sub_key, PHKEY result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    if (!sub_key || !*sub_key) {  // Windows hands the same handle back
        KeyRef ref;
        Call call;
        const LONG status = call->Resolve(key, &ref);
        if (status == ERROR_SUCCESS) *result = key;
        return status;
    }
    *result = nullptr;
    return CreateKey(key, sub_key, MAXIMUM_ALLOWED, result, nullptr);
}

LONG RegOpenKeyExA(HKEY key, LPCSTR sub_key, DWORD /*options*/, REGSAM sam, PHKEY result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    return OpenKey(key, Text(sub_key), sam, result);
}

LONG RegOpenKeyA(HKEY key, LPCSTR sub_key, PHKEY result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    if (!sub_key || !*sub_key) return RegCreateKeyA(key, sub_key, result);
    *result = nullptr;
    return OpenKey(key, sub_key, MAXIMUM_ALLOWED, result);
}

LONG RegCloseKey(HKEY key) {
    Call call;
    return call->CloseHandle(key);
}

LONG RegSetValueExA(HKEY key, LPCSTR value_name, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD size) {
    if (reserved != 0) return ERROR_INVALID_PARAMETER;
    if (!data && size > 0) return ERROR_NOACCESS;
    const std::string_view name = Text(value_name);
    if (name.size() > kMaxValueNameLength) return ERROR_INVALID_PARAMETER;
    std::vector<BYTE> bytes(data, data + (data ? size : 0));
    return ChangeKey(key, KEY_SET_VALUE, [&](RegistryKey& target, bool* modified) {
        *modified = target.SetValue(name, type, std::move(bytes)) || *modified;
        return ERROR_SUCCESS;
    });
}

LONG RegSetValueA(HKEY key, LPCSTR sub_key, DWORD type, LPCSTR data, DWORD /*size*/) {
    if (type != REG_SZ || !data) return ERROR_INVALID_PARAMETER;
    HKEY target = key;
    if (sub_key && *sub_key) {
        const LONG status = RegCreateKeyExA(key, sub_key, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                            KEY_SET_VALUE, nullptr, &target, nullptr);
        if (status != ERROR_SUCCESS) return status;
    }
    const LONG status =
        RegSetValueExA(target, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                       static_cast<DWORD>(std::strlen(data) + 1));
    if (target != key) RegCloseKey(target);
    return status;
}

LONG RegQueryValueExA(HKEY key, LPCSTR value_name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD size) {
    if (reserved || (data && !size)) return ERROR_INVALID_PARAMETER;
    Call call;
    const RegistryKey* target = nullptr;
    const LONG status = KeyForRead(call, key, KEY_QUERY_VALUE, &target);
    if (status != ERROR_SUCCESS) return status;
    const RegistryValue* value = target->FindValue(Text(value_name));
    if (!value) return ERROR_FILE_NOT_FOUND;
    if (type) *type = value->type;
    return CopyData(value->data, data, size);
}

LONG RegQueryValueA(HKEY key, LPCSTR sub_key, LPSTR data, PLONG size) {
    if (data && !size) return ERROR_INVALID_PARAMETER;
    HKEY target = key;
    if (sub_key && *sub_key) {
        const LONG status = RegOpenKeyExA(key, sub_key, 0, KEY_QUERY_VALUE, &target);
        if (status != ERROR_SUCCESS) return status;
    }
    DWORD type = REG_SZ;
    DWORD length = size ? static_cast<DWORD>(std::max<LONG>(*size, 0)) : 0;
    LONG status = RegQueryValueExA(target, nullptr, nullptr, &type, reinterpret_cast<LPBYTE>(data),
                                   size ? &length : nullptr);
    if (status == ERROR_FILE_NOT_FOUND) {  // no default value: an empty string
        status = (data && length < 1) ? ERROR_MORE_DATA : ERROR_SUCCESS;
        if (data && status == ERROR_SUCCESS) data[0] = '\0';
        length = 1;
    } else if (status == ERROR_SUCCESS && type != REG_SZ && type != REG_EXPAND_SZ) {
        status = ERROR_INVALID_DATA;
    }
    if (size && (status == ERROR_SUCCESS || status == ERROR_MORE_DATA)) {
        *size = static_cast<LONG>(length);
    }
    if (target != key) RegCloseKey(target);
    return status;
}

LONG RegDeleteValueA(HKEY key, LPCSTR value_name) {
    return ChangeKey(key, KEY_SET_VALUE, [&](RegistryKey& target, bool* modified) {
        if (!target.RemoveValue(Text(value_name))) return ERROR_FILE_NOT_FOUND;
        *modified = true;
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteKeyA(HKEY key, LPCSTR sub_key) {
    if (!sub_key) return ERROR_INVALID_PARAMETER;
    std::vector<std::string> path;
    const LONG status = AppendRegistryPath(sub_key, &path);
    if (status != ERROR_SUCCESS) return status;
    Call call;
    KeyRef ref;
    if (call->Resolve(key, &ref) != ERROR_SUCCESS) return ERROR_INVALID_HANDLE;
    if (path.empty() && (ref.always_exists || ref.path.empty())) return ERROR_ACCESS_DENIED;
    const size_t base_depth = ref.path.size();
    ref.path.insert(ref.path.end(), path.begin(), path.end());
    return ref.file->Update([&](RegistryKey& root, bool* modified) {
        const std::vector<std::string> base(ref.path.begin(), ref.path.begin() + base_depth);
        if (!root.Find(base)) return ref.always_exists ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
        const std::vector<std::string> parent_path(ref.path.begin(), ref.path.end() - 1);
        RegistryKey* parent = root.Find(parent_path);
        const RegistryKey* target = parent ? parent->FindSubkey(ref.path.back()) : nullptr;
        if (!target) return ERROR_FILE_NOT_FOUND;
        if (target->SubkeyCount() > 0) return ERROR_ACCESS_DENIED;
        parent->RemoveSubkey(ref.path.back());
        *modified = true;
        return ERROR_SUCCESS;
    });
}

LONG RegEnumKeyA(HKEY key, DWORD index, LPSTR name, DWORD size) {
    if (!name) return ERROR_INVALID_PARAMETER;
    Call call;
    const RegistryKey* target = nullptr;
    const LONG status = KeyForRead(call, key, KEY_ENUMERATE_SUB_KEYS, &target);
    if (status != ERROR_SUCCESS) return status;
    if (index >= target->SubkeyCount()) return ERROR_NO_MORE_ITEMS;
    return CopyName(target->SubkeyAt(index).Name(), name, size);
}

LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD name_size, LPDWORD reserved,
                   LPSTR key_class, LPDWORD class_size, PFILETIME last_write_time) {
    if (!name || !name_size || reserved) return ERROR_INVALID_PARAMETER;
    Call call;
    const RegistryKey* target = nullptr;
    LONG status = KeyForRead(call, key, KEY_ENUMERATE_SUB_KEYS, &target);
    if (status != ERROR_SUCCESS) return status;
    if (index >= target->SubkeyCount()) return ERROR_NO_MORE_ITEMS;
    const std::string& found = target->SubkeyAt(index).Name();
    status = CopyName(found, name, *name_size);
    if (status != ERROR_SUCCESS) return status;
    *name_size = static_cast<DWORD>(found.size());
    if (key_class && class_size && *class_size > 0) key_class[0] = '\0';
    if (class_size) *class_size = 0;
    if (last_write_time) *last_write_time = FILETIME();  // not recorded
    return ERROR_SUCCESS;
}

LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD name_size, LPDWORD reserved,
                   LPDWORD type, LPBYTE data, LPDWORD data_size) {
    if (!name || !name_size || reserved || (data && !data_size)) return ERROR_INVALID_PARAMETER;
    Call call;
    const RegistryKey* target = nullptr;
    LONG status = KeyForRead(call, key, KEY_QUERY_VALUE, &target);
    if (status != ERROR_SUCCESS) return status;
    if (index >= target->ValueCount()) return ERROR_NO_MORE_ITEMS;
    const RegistryValue& value = target->ValueAt(index);
    status = CopyName(value.name, name, *name_size);
    if (status != ERROR_SUCCESS) return status;
    *name_size = static_cast<DWORD>(value.name.size());
    if (type) *type = value.type;
    return CopyData(value.data, data, data_size);
}
