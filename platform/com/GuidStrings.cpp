// Class and interface identifiers to and from their text form, and task memory.
#include <cstdlib>

#include "platform/com/objbase.h"

namespace {

// The characters before the terminator, at most `limit`: never reads past a terminator.
size_t BoundedLength(LPCOLESTR text, size_t limit) {
    size_t length = 0;
    while (length < limit && text[length] != 0)
        ++length;
    return length;
}

bool ParseBraced(LPCOLESTR text, GUID* guid) {
    const size_t length = BoundedLength(text, CHARS_IN_GUID);
    return ParseGuidText(text, length, true, guid);
}

}  // namespace

LPVOID CoTaskMemAlloc(size_t size) {
    return std::malloc(size > 0 ? size : 1);
}

LPVOID CoTaskMemRealloc(LPVOID block, size_t size) {
    if (block && size == 0) {
        std::free(block);
        return nullptr;
    }
    return std::realloc(block, size > 0 ? size : 1);
}

void CoTaskMemFree(LPVOID block) {
    std::free(block);
}

int StringFromGUID2(REFGUID guid, LPOLESTR buffer, int size) {
    if (!buffer || size < CHARS_IN_GUID) return 0;
    FormatGuidText(guid, buffer);
    return CHARS_IN_GUID;
}

HRESULT StringFromCLSID(REFCLSID clsid, LPOLESTR* text) {
    if (!text) return E_INVALIDARG;
    *text = static_cast<LPOLESTR>(CoTaskMemAlloc(CHARS_IN_GUID * sizeof(OLECHAR)));
    if (!*text) return E_OUTOFMEMORY;
    FormatGuidText(clsid, *text);
    return S_OK;
}

HRESULT StringFromIID(REFIID iid, LPOLESTR* text) {
    return StringFromCLSID(iid, text);
}

HRESULT CLSIDFromString(LPCOLESTR text, LPCLSID clsid) {
    if (!clsid) return E_INVALIDARG;
    *clsid = CLSID_NULL;
    if (!text) return NOERROR;
    GUID parsed{};
    if (!ParseBraced(text, &parsed)) return CO_E_CLASSSTRING;
    *clsid = parsed;
    return NOERROR;
}

HRESULT IIDFromString(LPCOLESTR text, LPIID iid) {
    if (!iid) return E_INVALIDARG;
    *iid = IID_NULL;
    if (!text) return S_OK;
    GUID parsed{};
    if (!ParseBraced(text, &parsed)) return E_INVALIDARG;
    *iid = parsed;
    return S_OK;
}
