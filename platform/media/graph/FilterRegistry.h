// The filters registered with the mapper, as the registry holds them: under a category's
// "Instance" key (HKEY_CLASSES_ROOT\CLSID\{category}\Instance\{name}) the string values
// "FriendlyName" and "CLSID" and the binary "FilterData" record. Audio renderers are also
// listed in the per-user cache of their category
// (HKEY_CURRENT_USER\Software\Microsoft\ActiveMovie\devenum\{category}\{friendly name}), where
// the catalogue of filters looks for them.
// The graph searches the records for filters that take a given media type; a filter without
// a record is never chosen by the graph (it can still be added by hand).
// Threading: any thread (the registry serialises itself).
#pragma once

#include <string>
#include <vector>

#include "platform/com/Guid.h"
#include "platform/media/graph/FilterData.h"
#include "platform/media/strmif.h"

struct RegisteredFilter {
    CLSID clsid{};
    std::string friendly_name;  // UTF-8
    FilterRecord record;
    bool has_record = false;
};

// What a search asks of a filter's record. An empty type list accepts any type.
struct FilterCriteria {
    DWORD min_merit = 0;
    bool exact_match = false;  // GUID_NULL in a record no longer matches everything
    bool input_needed = false;
    std::vector<RegisteredMediaType> input_types;
    bool render = false;  // the matching input pin must be a rendered one
    bool output_needed = false;
    std::vector<RegisteredMediaType> output_types;
};

class FilterRegistry {
public:
    static HRESULT Write(const CLSID& category, const std::string& instance, const CLSID& clsid,
                         const std::string& friendly_name, const FilterRecord& record);
    // HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) when nothing was registered there.
    static HRESULT Erase(const CLSID& category, const std::string& instance, const CLSID& clsid);
    // The record under one instance key; false when there is none.
    static bool Read(const CLSID& category, const std::string& instance, RegisteredFilter* filter);

    static std::vector<RegisteredFilter> ReadCategory(const CLSID& category);
    // The default category and the audio renderers, one entry per class (a record wins).
    static std::vector<RegisteredFilter> ReadAll();
    // The matching filters, highest merit first.
    static std::vector<RegisteredFilter> Find(const FilterCriteria& criteria);
    static bool Matches(const FilterRecord& record, const FilterCriteria& criteria);

    static std::string GuidText(const GUID& guid);  // "{XXXXXXXX-...}", upper case
    static std::string InstancePath(const CLSID& category);
    static std::string UserCachePath(const CLSID& category);
};
