// Writing a built-in filter where the graph and the catalogue look for it: its class key
// (HKEY_CLASSES_ROOT\CLSID\{clsid}, named after the filter) and its mapper record under a
// category (FilterRegistry). Used by the framework's own filters at the registry's first use.
// Threading: any thread (the registry serialises itself).
#pragma once

#include <string>
#include <vector>

#include "platform/com/ComErrors.h"
#include "platform/media/graph/FilterData.h"

// HKEY_CLASSES_ROOT\CLSID\{clsid} with the class's name as its default value.
HRESULT WriteClassKey(const CLSID& clsid, const std::string& name);

RegisteredPin MakeRegisteredPin(const char16_t* name, bool output, bool rendered,
                                std::vector<RegisteredMediaType> types);

HRESULT WriteFilterRegistration(const CLSID& category, const std::string& instance,
                                const CLSID& clsid, const std::string& name,
                                const FilterRecord& record);
