#include "platform/media/dmo/DmoRegistry.h"

#include <cstring>

#include "platform/media/graph/FilterRegistry.h"
#include "platform/media/graph/RegKey.h"
#include "platform/media/graph/WideText.h"

namespace {

constexpr char kObjectsPath[] = "DirectShow\\MediaObjects";
constexpr char kCategoriesPath[] = "DirectShow\\MediaObjects\\Categories";
constexpr char kInputTypes[] = "InputTypes";
constexpr char kOutputTypes[] = "OutputTypes";
constexpr char kKeyed[] = "Keyed";

std::string GuidText(const GUID& guid) {
    return FilterRegistry::GuidText(guid);
}

bool ParseGuid(const std::string& text, GUID* guid) {
    return ParseGuidText(text.c_str(), text.size(), true, guid);
}

std::vector<BYTE> EncodeTypes(const std::vector<DMO_PARTIAL_MEDIATYPE>& types) {
    std::vector<BYTE> data(types.size() * sizeof(DMO_PARTIAL_MEDIATYPE));
    if (!data.empty()) std::memcpy(data.data(), types.data(), data.size());
    return data;
}

// A list whose size is not a whole number of types is cut to the whole ones.
std::vector<DMO_PARTIAL_MEDIATYPE> DecodeTypes(const std::vector<BYTE>& data) {
    std::vector<DMO_PARTIAL_MEDIATYPE> types(data.size() / sizeof(DMO_PARTIAL_MEDIATYPE));
    if (!types.empty()) {
        std::memcpy(types.data(), data.data(), types.size() * sizeof(DMO_PARTIAL_MEDIATYPE));
    }
    return types;
}

bool GuidMatches(const GUID& registered, const GUID& wanted) {
    return registered == wanted || registered == GUID_NULL || wanted == GUID_NULL;
}

bool AnyTypeMatches(const std::vector<DMO_PARTIAL_MEDIATYPE>& registered,
                    const std::vector<DMO_PARTIAL_MEDIATYPE>& wanted) {
    if (wanted.empty()) return true;
    for (const DMO_PARTIAL_MEDIATYPE& have : registered) {
        for (const DMO_PARTIAL_MEDIATYPE& want : wanted) {
            if (GuidMatches(have.type, want.type) && GuidMatches(have.subtype, want.subtype)) {
                return true;
            }
        }
    }
    return false;
}

HRESULT FromStatus(LONG status) {
    return HRESULT_FROM_WIN32(static_cast<DWORD>(status));
}

LONG WriteObjectKey(const DmoRecord& record) {
    RegKey key;
    LONG status = key.Create(HKEY_CLASSES_ROOT, DmoRegistry::ObjectPath(record.clsid));
    if (status == ERROR_SUCCESS) status = key.SetString(nullptr, Utf8FromWide(record.name));
    if (status == ERROR_SUCCESS)
        status = key.SetBinary(kInputTypes, EncodeTypes(record.input_types));
    if (status == ERROR_SUCCESS) {
        status = key.SetBinary(kOutputTypes, EncodeTypes(record.output_types));
    }
    if (status != ERROR_SUCCESS) return status;
    if (record.keyed) return key.SetDword(kKeyed, 1);
    const LONG deleted = RegDeleteValueA(key.Get(), kKeyed);
    return deleted == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : deleted;
}

bool IsInCategory(const CLSID& clsid, const std::string& category_path) {
    RegKey key;
    return key.Open(HKEY_CLASSES_ROOT, category_path + "\\" + GuidText(clsid)) == ERROR_SUCCESS;
}

// True when any category still lists the object.
bool IsListedAnywhere(const CLSID& clsid) {
    RegKey categories;
    if (categories.Open(HKEY_CLASSES_ROOT, kCategoriesPath) != ERROR_SUCCESS) return false;
    for (const std::string& name : categories.SubkeyNames()) {
        if (IsInCategory(clsid, std::string(kCategoriesPath) + "\\" + name)) return true;
    }
    return false;
}

// Removes the object from every category; true when it was in one.
bool RemoveFromAllCategories(const CLSID& clsid) {
    RegKey categories;
    if (categories.Open(HKEY_CLASSES_ROOT, kCategoriesPath) != ERROR_SUCCESS) return false;
    bool removed = false;
    for (const std::string& name : categories.SubkeyNames()) {
        const std::string path = std::string(kCategoriesPath) + "\\" + name;
        if (!IsInCategory(clsid, path)) continue;
        removed =
            RegKey::DeleteTree(HKEY_CLASSES_ROOT, path + "\\" + GuidText(clsid)) == ERROR_SUCCESS ||
            removed;
    }
    return removed;
}

std::vector<CLSID> ListedClasses(const std::string& path) {
    std::vector<CLSID> classes;
    RegKey key;
    if (key.Open(HKEY_CLASSES_ROOT, path) != ERROR_SUCCESS) return classes;
    for (const std::string& name : key.SubkeyNames()) {
        CLSID clsid{};
        if (ParseGuid(name, &clsid)) classes.push_back(clsid);
    }
    return classes;
}

}  // namespace

std::string DmoRegistry::ObjectPath(const CLSID& clsid) {
    return std::string(kObjectsPath) + "\\" + GuidText(clsid);
}

std::string DmoRegistry::CategoryPath(const GUID& category) {
    return std::string(kCategoriesPath) + "\\" + GuidText(category);
}

HRESULT DmoRegistry::Write(const DmoRecord& record, const GUID& category) {
    const LONG status = WriteObjectKey(record);
    if (status != ERROR_SUCCESS) return FromStatus(status);
    RegKey listed;
    return FromStatus(
        listed.Create(HKEY_CLASSES_ROOT, CategoryPath(category) + "\\" + GuidText(record.clsid)));
}

HRESULT DmoRegistry::Remove(const CLSID& clsid, const GUID& category) {
    bool removed = false;
    if (category == GUID_NULL) {
        removed = RemoveFromAllCategories(clsid);
    } else if (IsInCategory(clsid, CategoryPath(category))) {
        const LONG status =
            RegKey::DeleteTree(HKEY_CLASSES_ROOT, CategoryPath(category) + "\\" + GuidText(clsid));
        if (status != ERROR_SUCCESS) return FromStatus(status);
        removed = true;
    }
    if (!IsListedAnywhere(clsid)) {
        RegKey object;
        if (object.Open(HKEY_CLASSES_ROOT, ObjectPath(clsid)) == ERROR_SUCCESS) {
            object.Close();
            const LONG status = RegKey::DeleteTree(HKEY_CLASSES_ROOT, ObjectPath(clsid));
            if (status != ERROR_SUCCESS) return FromStatus(status);
            removed = true;
        }
    }
    return removed ? S_OK : S_FALSE;
}

bool DmoRegistry::IsRegistered(const CLSID& clsid, const GUID& category) {
    if (category == GUID_NULL) return IsListedAnywhere(clsid);
    return IsInCategory(clsid, CategoryPath(category));
}

bool DmoRegistry::Read(const CLSID& clsid, DmoRecord* record) {
    RegKey key;
    if (key.Open(HKEY_CLASSES_ROOT, ObjectPath(clsid)) != ERROR_SUCCESS) return false;
    DmoRecord read;
    read.clsid = clsid;
    std::string name;
    if (key.GetString(nullptr, &name)) read.name = WideFromUtf8(name);
    std::vector<BYTE> data;
    if (key.GetBinary(kInputTypes, &data)) read.input_types = DecodeTypes(data);
    data.clear();
    if (key.GetBinary(kOutputTypes, &data)) read.output_types = DecodeTypes(data);
    DWORD keyed = 0;
    read.keyed = key.GetDword(kKeyed, &keyed);
    *record = std::move(read);
    return true;
}

std::vector<DmoRecord> DmoRegistry::Find(const GUID& category, const DmoCriteria& criteria) {
    const std::vector<CLSID> classes =
        ListedClasses(category == GUID_NULL ? std::string(kObjectsPath) : CategoryPath(category));
    std::vector<DmoRecord> found;
    for (const CLSID& clsid : classes) {
        DmoRecord record;
        if (Read(clsid, &record) && Matches(record, criteria)) found.push_back(std::move(record));
    }
    return found;
}

bool DmoRegistry::Matches(const DmoRecord& record, const DmoCriteria& criteria) {
    if (record.keyed && !criteria.include_keyed) return false;
    return AnyTypeMatches(record.input_types, criteria.input_types) &&
           AnyTypeMatches(record.output_types, criteria.output_types);
}
