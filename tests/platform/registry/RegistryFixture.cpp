#include "tests/platform/registry/RegistryFixture.h"

#include <fstream>
#include <sstream>

std::string RegistryTest::StoreText(const std::string& name) const {
    std::ifstream in(dir.File(name + ".reg"), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<BYTE> RegistryTest::Query(HKEY key, const char* name, DWORD* type, LONG* status) {
    DWORD size = 0;
    LONG result = RegQueryValueExA(key, name, nullptr, type, nullptr, &size);
    std::vector<BYTE> data(size);
    if (result == ERROR_SUCCESS) {
        result = RegQueryValueExA(key, name, nullptr, type, data.data(), &size);
        data.resize(size);
    }
    if (status) *status = result;
    if (result != ERROR_SUCCESS) data.clear();
    return data;
}

std::string RegistryTest::QueryString(HKEY key, const char* name) {
    std::vector<BYTE> data = Query(key, name);
    if (!data.empty() && data.back() == 0) data.pop_back();
    return std::string(data.begin(), data.end());
}
