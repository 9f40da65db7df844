#include "catalogue/TextHelpers.h"

#include <cstring>
#include <new>

#include "platform/com/objbase.h"

namespace {

constexpr char kNotAvailable[] = "{ Not available }";

}  // namespace

WCHAR* WideFromNarrow(const char* text) {
    if (!text) return nullptr;
    const size_t length = std::strlen(text);
    auto* wide = new (std::nothrow) WCHAR[length + 1];
    if (!wide) return nullptr;
    for (size_t i = 0; i < length; ++i) {
        wide[i] = static_cast<WCHAR>(static_cast<unsigned char>(text[i]));
    }
    wide[length] = 0;
    return wide;
}

char* NarrowFromWide(const WCHAR* text) {
    if (!text) return nullptr;
    const size_t length = WideLength(text);
    auto* narrow = new (std::nothrow) char[length + 1];
    if (!narrow) return nullptr;
    for (size_t i = 0; i < length; ++i)
        narrow[i] = static_cast<char>(text[i] & 0xFF);
    narrow[length] = 0;
    return narrow;
}

size_t WideLength(const WCHAR* text) {
    if (!text) return 0;
    size_t length = 0;
    while (text[length] != 0)
        ++length;
    return length;
}

char* DuplicateString(const char* text) {
    if (!text) return nullptr;
    const size_t size = std::strlen(text) + 1;
    auto* copy = new (std::nothrow) char[size];
    if (copy) std::memcpy(copy, text, size);
    return copy;
}

CLSID ClassIdFromText(const char* text) {
    CLSID clsid = GUID_NULL;
    WCHAR* wide = WideFromNarrow(text);
    if (!wide) return clsid;
    if (FAILED(CLSIDFromString(wide, &clsid))) clsid = GUID_NULL;
    delete[] wide;
    return clsid;
}

char* TextFromClassId(REFCLSID clsid) {
    LPOLESTR wide = nullptr;
    char* text = nullptr;
    if (SUCCEEDED(StringFromCLSID(clsid, &wide))) text = NarrowFromWide(wide);
    CoTaskMemFree(wide);
    return text ? text : DuplicateString(kNotAvailable);
}
