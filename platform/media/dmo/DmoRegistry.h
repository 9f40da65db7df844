// The media objects' registrations in the registry, read and written as plain records, for
// the DMO functions (dmoreg.h) and their enumerator. Layout under HKEY_CLASSES_ROOT:
//   DirectShow\MediaObjects\{clsid}                        default value: the name (UTF-8)
//       "InputTypes", "OutputTypes"  binary, 32 bytes per type (type GUID, then subtype GUID)
//       "Keyed"                      present for a keyed object
//   DirectShow\MediaObjects\Categories\{category}\{clsid}  empty
// Threading: any thread; the registry serialises itself.
#pragma once

#include <string>
#include <vector>

#include "platform/com/ComErrors.h"
#include "platform/com/Guid.h"
#include "platform/media/dmoreg.h"

struct DmoRecord {
    CLSID clsid{};
    std::u16string name;
    bool keyed = false;
    std::vector<DMO_PARTIAL_MEDIATYPE> input_types;
    std::vector<DMO_PARTIAL_MEDIATYPE> output_types;
};

// What an enumeration asks of a record; an empty list asks nothing.
struct DmoCriteria {
    bool include_keyed = false;
    std::vector<DMO_PARTIAL_MEDIATYPE> input_types;
    std::vector<DMO_PARTIAL_MEDIATYPE> output_types;
};

class DmoRegistry {
public:
    static HRESULT Write(const DmoRecord& record, const GUID& category);
    // S_FALSE when the object was not in the category (or, for GUID_NULL, anywhere).
    static HRESULT Remove(const CLSID& clsid, const GUID& category);
    // False when the object is not registered or its key is unreadable.
    static bool Read(const CLSID& clsid, DmoRecord* record);
    // Whether `category` lists the object (GUID_NULL: whether any category does).
    static bool IsRegistered(const CLSID& clsid, const GUID& category);
    // The matching records of `category` (GUID_NULL: of every registered object), in the
    // registry's key order; keys that are not class identifiers are passed over.
    static std::vector<DmoRecord> Find(const GUID& category, const DmoCriteria& criteria);
    static bool Matches(const DmoRecord& record, const DmoCriteria& criteria);

    static std::string ObjectPath(const CLSID& clsid);
    static std::string CategoryPath(const GUID& category);
};
