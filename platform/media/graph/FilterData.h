// A registered filter's record as the mapper stores it in the "FilterData" value: merit, pins
// and the media types each pin takes or gives. The byte form is little-endian and versioned;
// Decode checks every length against the bytes it has, so a damaged value reads as invalid.
// Order of use: fill a FilterRecord, Encode, store; read back with Decode.
// Threading: pure functions.
#pragma once

#include <string>
#include <vector>

#include "platform/WinTypes.h"
#include "platform/com/Guid.h"

struct RegisteredMediaType {
    GUID major{};
    GUID minor{};  // GUID_NULL accepts any subtype
};

struct RegisteredPin {
    std::u16string name;
    bool rendered = false;
    bool output = false;
    bool zero = false;  // the filter may have none of this pin
    bool many = false;  // the filter may have several
    CLSID connects_to_filter{};
    std::u16string connects_to_pin;
    std::vector<RegisteredMediaType> types;
};

struct FilterRecord {
    DWORD merit = 0;
    std::vector<RegisteredPin> pins;
};

class FilterData {
public:
    static std::vector<BYTE> Encode(const FilterRecord& record);
    static bool Decode(const BYTE* data, size_t size, FilterRecord* record);
};
