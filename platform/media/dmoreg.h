// Registration and enumeration of media objects (DMOs) by category. A registration lives in
// HKEY_CLASSES_ROOT "DirectShow\MediaObjects\{clsid}" (the name as default value, the binary
// "InputTypes" and "OutputTypes" lists of type/subtype pairs, "Keyed" for a keyed object)
// and one empty key "DirectShow\MediaObjects\Categories\{category}\{clsid}" per category.
// Order of use: DMORegister once (set-up), DMOEnum and Next as often as needed, DMOUnregister.
// Threading: any thread; an enumerator is used by one thread at a time.
#pragma once

#include "platform/WinTypes.h"
#include "platform/com/ComErrors.h"
#include "platform/com/Guid.h"
#include "platform/com/Unknown.h"
#include "platform/com/WideChar.h"
#include "platform/media/dmo.h"
#include "platform/media/uuids.h"

inline constexpr GUID DMOCATEGORY_ACOUSTIC_ECHO_CANCEL =
    MakeGuid("BF963D80-C559-11D0-8A2B-00A0C9255AC1");
inline constexpr GUID DMOCATEGORY_AUDIO_NOISE_SUPPRESS =
    MakeGuid("E07F903F-62FD-4E60-8CDD-DEA7236665B5");
inline constexpr GUID DMOCATEGORY_AGC = MakeGuid("E88C9BA0-C557-11D0-8A2B-00A0C9255AC1");

inline constexpr GUID IID_IEnumDMO = MakeGuid("2C3CD98A-2BFA-4A53-9C27-5249BA64BA0F");

// A media type as a registration states it; GUID_NULL in a request matches any value.
struct DMO_PARTIAL_MEDIATYPE {
    GUID type;
    GUID subtype;
};
using PDMO_PARTIAL_MEDIATYPE = DMO_PARTIAL_MEDIATYPE*;

// DMORegister: a keyed object needs a key to be used, so plain enumerations skip it.
constexpr DWORD DMO_REGISTERF_IS_KEYED = 0x1;
// DMOEnum: list keyed objects as well.
constexpr DWORD DMO_ENUMF_INCLUDE_KEYED = 0x1;

// The longest name DMOGetName hands back, terminator included.
constexpr int kDmoNameUnits = 80;

struct IEnumDMO : public IUnknown {
    // Up to `count` objects: their classes in `clsids` and, when `names` is not null, their
    // names as task memory (CoTaskMemFree each). S_OK only when all `count` were fetched,
    // S_FALSE otherwise. `fetched` may be null only when `count` is 1.
    virtual HRESULT Next(DWORD count, CLSID* clsids, WCHAR** names, DWORD* fetched) = 0;
    // S_FALSE when fewer than `count` were left.
    virtual HRESULT Skip(DWORD count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumDMO** clone) = 0;
};

TKV_DECLARE_IID(IEnumDMO, IID_IEnumDMO);

// Registers (or registers again, replacing the types) `clsid` under `name` in `category`.
HRESULT DMORegister(LPCWSTR name, REFCLSID clsid, REFGUID category, DWORD flags,
                    DWORD input_type_count, const DMO_PARTIAL_MEDIATYPE* input_types,
                    DWORD output_type_count, const DMO_PARTIAL_MEDIATYPE* output_types);
// Removes `clsid` from `category`, or from every category and entirely with GUID_NULL; the
// object's own key goes when no category lists it any more. S_FALSE when it was not there.
HRESULT DMOUnregister(REFCLSID clsid, REFGUID category);
// The objects of `category` (every object with GUID_NULL) that take at least one of the
// input types and give at least one of the output types (no types: no condition), in the
// order of their class identifiers. The list is read when the enumeration is made.
HRESULT DMOEnum(REFGUID category, DWORD flags, DWORD input_type_count,
                const DMO_PARTIAL_MEDIATYPE* input_types, DWORD output_type_count,
                const DMO_PARTIAL_MEDIATYPE* output_types, IEnumDMO** enumerator);
// The registered types: up to the given maxima are copied, the counts say how many were.
HRESULT DMOGetTypes(REFCLSID clsid, ULONG max_input_types, ULONG* input_type_count,
                    DMO_PARTIAL_MEDIATYPE* input_types, ULONG max_output_types,
                    ULONG* output_type_count, DMO_PARTIAL_MEDIATYPE* output_types);
// The registered name, cut to 79 units and terminated.
HRESULT DMOGetName(REFCLSID clsid, WCHAR name[kDmoNameUnits]);
