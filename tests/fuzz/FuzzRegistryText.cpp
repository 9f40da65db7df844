// The registry store's text format: any text either loads or is refused with a line number;
// a tree that loads writes out as text that loads back to the same keys and values.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/registry/RegistryTextFormat.h"

namespace {

bool SameTree(const RegistryKey& a, const RegistryKey& b) {
    if (a.Name() != b.Name() || a.SubkeyCount() != b.SubkeyCount() ||
        a.ValueCount() != b.ValueCount())
        return false;
    for (size_t i = 0; i < a.ValueCount(); ++i) {
        const RegistryValue& x = a.ValueAt(i);
        const RegistryValue& y = b.ValueAt(i);
        if (x.name != y.name || x.type != y.type || x.data != y.data) return false;
    }
    for (size_t i = 0; i < a.SubkeyCount(); ++i)
        if (!SameTree(a.SubkeyAt(i), b.SubkeyAt(i))) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    RegistryKey first;
    std::string error;
    if (!ParseRegistry(text, &first, &error)) {
        if (error.empty()) std::abort();  // a refusal always says where
        return 0;
    }
    const std::string written = SerializeRegistry(first, "fuzz");
    RegistryKey second;
    if (!ParseRegistry(written, &second, &error)) {
        std::fprintf(stderr, "written store does not load: %s\n%s\n", error.c_str(),
                     written.c_str());
        std::abort();
    }
    if (!SameTree(first, second)) {
        std::fprintf(stderr, "keys changed in the round trip:\n%s\n", written.c_str());
        std::abort();
    }
    return 0;
}
