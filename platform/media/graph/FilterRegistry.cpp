#include "platform/media/graph/FilterRegistry.h"

#include <algorithm>

#include "platform/com/objbase.h"
#include "platform/media/graph/RegKey.h"
#include "platform/media/uuids.h"

namespace {

constexpr char kFriendlyName[] = "FriendlyName";
constexpr char kClsid[] = "CLSID";
constexpr char kFilterData[] = "FilterData";

bool ParseGuid(const std::string& text, GUID* guid) {
    return ParseGuidText(text.c_str(), text.size(), true, guid);
}

bool GuidMatches(const GUID& registered, const GUID& wanted, bool exact) {
    if (registered == wanted) return true;
    if (exact) return false;
    return registered == GUID_NULL || wanted == GUID_NULL;
}

bool PinTakes(const RegisteredPin& pin, const std::vector<RegisteredMediaType>& wanted,
              bool exact) {
    if (wanted.empty()) return true;
    for (const RegisteredMediaType& type : pin.types) {
        for (const RegisteredMediaType& want : wanted) {
            if (GuidMatches(type.major, want.major, exact) &&
                GuidMatches(type.minor, want.minor, exact)) {
                return true;
            }
        }
    }
    return false;
}

bool HasPin(const FilterRecord& record, bool output, const std::vector<RegisteredMediaType>& types,
            bool exact, bool rendered) {
    return std::any_of(record.pins.begin(), record.pins.end(), [&](const RegisteredPin& pin) {
        return pin.output == output && (!rendered || pin.rendered) && PinTakes(pin, types, exact);
    });
}

bool ReadEntry(const RegKey& key, const std::string& key_name, RegisteredFilter* filter) {
    std::string clsid_text;
    if (!key.GetString(kClsid, &clsid_text)) clsid_text = key_name;
    if (!ParseGuid(clsid_text, &filter->clsid)) return false;
    if (!key.GetString(kFriendlyName, &filter->friendly_name)) filter->friendly_name.clear();
    std::vector<BYTE> data;
    filter->has_record = key.GetBinary(kFilterData, &data) &&
                         FilterData::Decode(data.data(), data.size(), &filter->record);
    return true;
}

std::vector<RegisteredFilter> ReadEntries(HKEY root, const std::string& path) {
    std::vector<RegisteredFilter> filters;
    RegKey parent;
    if (parent.Open(root, path) != ERROR_SUCCESS) return filters;
    for (const std::string& name : parent.SubkeyNames()) {
        RegKey key;
        RegisteredFilter filter;
        if (key.Open(parent.Get(), name) == ERROR_SUCCESS && ReadEntry(key, name, &filter)) {
            filters.push_back(std::move(filter));
        }
    }
    return filters;
}

LONG WriteEntry(HKEY root, const std::string& path, const CLSID& clsid, const std::string& name,
                const std::vector<BYTE>& data) {
    RegKey key;
    LONG status = key.Create(root, path);
    if (status == ERROR_SUCCESS) status = key.SetString(kFriendlyName, name);
    if (status == ERROR_SUCCESS) status = key.SetString(kClsid, FilterRegistry::GuidText(clsid));
    if (status == ERROR_SUCCESS) status = key.SetBinary(kFilterData, data);
    return status;
}

// Every cached entry of the class goes: the cache is rebuilt from the registrations.
void EraseUserCacheEntries(const CLSID& category, const CLSID& clsid) {
    RegKey parent;
    if (parent.Open(HKEY_CURRENT_USER, FilterRegistry::UserCachePath(category), KEY_ALL_ACCESS) !=
        ERROR_SUCCESS) {
        return;
    }
    std::vector<std::string> doomed;
    for (const std::string& name : parent.SubkeyNames()) {
        RegKey key;
        RegisteredFilter entry;
        if (key.Open(parent.Get(), name) == ERROR_SUCCESS && ReadEntry(key, name, &entry) &&
            entry.clsid == clsid) {
            doomed.push_back(name);
        }
    }
    for (const std::string& name : doomed)
        RegKey::DeleteTree(parent.Get(), name);
}

void MergeByClass(std::vector<RegisteredFilter> more, std::vector<RegisteredFilter>* all) {
    for (RegisteredFilter& filter : more) {
        const auto same = std::find_if(all->begin(), all->end(), [&](const RegisteredFilter& f) {
            return f.clsid == filter.clsid;
        });
        if (same == all->end()) {
            all->push_back(std::move(filter));
        } else if (!same->has_record && filter.has_record) {
            *same = std::move(filter);
        }
    }
}

}  // namespace

HRESULT FilterRegistry::Write(const CLSID& category, const std::string& instance,
                              const CLSID& clsid, const std::string& friendly_name,
                              const FilterRecord& record) {
    const std::vector<BYTE> data = FilterData::Encode(record);
    LONG status = WriteEntry(HKEY_CLASSES_ROOT, InstancePath(category) + "\\" + instance, clsid,
                             friendly_name, data);
    if (status == ERROR_SUCCESS && category == CLSID_AudioRendererCategory &&
        !friendly_name.empty()) {
        status = WriteEntry(HKEY_CURRENT_USER, UserCachePath(category) + "\\" + friendly_name,
                            clsid, friendly_name, data);
    }
    return HRESULT_FROM_WIN32(static_cast<DWORD>(status));
}

HRESULT FilterRegistry::Erase(const CLSID& category, const std::string& instance,
                              const CLSID& clsid) {
    if (category == CLSID_AudioRendererCategory) EraseUserCacheEntries(category, clsid);
    const LONG status =
        RegKey::DeleteTree(HKEY_CLASSES_ROOT, InstancePath(category) + "\\" + instance);
    return HRESULT_FROM_WIN32(static_cast<DWORD>(status));
}

bool FilterRegistry::Read(const CLSID& category, const std::string& instance,
                          RegisteredFilter* filter) {
    RegKey key;
    return key.Open(HKEY_CLASSES_ROOT, InstancePath(category) + "\\" + instance) == ERROR_SUCCESS &&
           ReadEntry(key, instance, filter);
}

std::vector<RegisteredFilter> FilterRegistry::ReadCategory(const CLSID& category) {
    std::vector<RegisteredFilter> filters = ReadEntries(HKEY_CLASSES_ROOT, InstancePath(category));
    if (category == CLSID_AudioRendererCategory) {
        MergeByClass(ReadEntries(HKEY_CURRENT_USER, UserCachePath(category)), &filters);
    }
    return filters;
}

std::vector<RegisteredFilter> FilterRegistry::ReadAll() {
    std::vector<RegisteredFilter> all = ReadCategory(CLSID_LegacyAmFilterCategory);
    MergeByClass(ReadCategory(CLSID_AudioRendererCategory), &all);
    return all;
}

std::vector<RegisteredFilter> FilterRegistry::Find(const FilterCriteria& criteria) {
    std::vector<RegisteredFilter> found;
    for (RegisteredFilter& filter : ReadAll()) {
        if (filter.has_record && Matches(filter.record, criteria)) {
            found.push_back(std::move(filter));
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const RegisteredFilter& a, const RegisteredFilter& b) {
                         return a.record.merit > b.record.merit;
                     });
    return found;
}

bool FilterRegistry::Matches(const FilterRecord& record, const FilterCriteria& criteria) {
    if (record.merit < criteria.min_merit) return false;
    const bool exact = criteria.exact_match;
    if ((criteria.input_needed || criteria.render) &&
        !HasPin(record, false, criteria.input_types, exact, criteria.render)) {
        return false;
    }
    return !criteria.output_needed || HasPin(record, true, criteria.output_types, exact, false);
}

std::string FilterRegistry::GuidText(const GUID& guid) {
    char text[CHARS_IN_GUID];
    FormatGuidText(guid, text);
    return text;
}

std::string FilterRegistry::InstancePath(const CLSID& category) {
    return "CLSID\\" + GuidText(category) + "\\Instance";
}

std::string FilterRegistry::UserCachePath(const CLSID& category) {
    return "Software\\Microsoft\\ActiveMovie\\devenum\\" + GuidText(category);
}
