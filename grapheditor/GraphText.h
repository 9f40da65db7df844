// The graph editor's texts at the platform's wide boundary, on the shared text helpers: the
// wide form of a narrow text in a block that frees itself, the narrow form of a fixed-size
// name record (a filter's or pin's name, which need not be terminated within its record), and
// the "%s %s" label that joins a filter's name and a pin's name.
// Threading: any thread.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "catalogue/TextHelpers.h"

// The wide text, zero-terminated; null for no text.
inline std::unique_ptr<WCHAR[]> WidenedText(const char* text) {
    return std::unique_ptr<WCHAR[]>(WideFromNarrow(text));
}

// The narrow text of the first `capacity` units of `name`, up to the first zero unit.
inline std::string NarrowName(const WCHAR* name, size_t capacity) {
    size_t length = 0;
    while (length < capacity && name[length] != 0)
        ++length;
    const std::u16string terminated(name, length);
    const std::unique_ptr<char[]> narrow(NarrowFromWide(terminated.c_str()));
    return narrow ? std::string(narrow.get()) : std::string();
}

// A filter's name, one space, a pin's name: the key by which pins are found again.
inline std::string PinLabel(const std::string& filter_name, const std::string& pin_name) {
    return filter_name + " " + pin_name;
}
