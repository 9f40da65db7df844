#include "platform/media/oleauto.h"

#include <cstdlib>
#include <cstring>

namespace {

// The length prefix is kept in a full pointer-aligned slot so that the text stays aligned.
constexpr size_t kPrefix = sizeof(void*);

UINT* PrefixOf(BSTR text) {
    return reinterpret_cast<UINT*>(reinterpret_cast<char*>(text) - kPrefix);
}

size_t TextLength(const OLECHAR* text) {
    size_t length = 0;
    while (text[length] != 0)
        ++length;
    return length;
}

}  // namespace

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
    const size_t bytes = kPrefix + (static_cast<size_t>(length) + 1) * sizeof(OLECHAR);
    char* block = static_cast<char*>(std::calloc(1, bytes));
    if (!block) return nullptr;
    auto* result = reinterpret_cast<BSTR>(block + kPrefix);
    *PrefixOf(result) = length;
    if (text) std::memcpy(result, text, static_cast<size_t>(length) * sizeof(OLECHAR));
    return result;
}

BSTR SysAllocString(const OLECHAR* text) {
    if (!text) return nullptr;
    const size_t length = TextLength(text);
    if (length > 0x7FFFFFFF) return nullptr;
    return SysAllocStringLen(text, static_cast<UINT>(length));
}

void SysFreeString(BSTR text) {
    if (text) std::free(reinterpret_cast<char*>(text) - kPrefix);
}

UINT SysStringLen(BSTR text) {
    return text ? *PrefixOf(text) : 0;
}
