// GUID, the 16-byte identifier of COM classes (CLSID) and interfaces (IID), with the Win32
// layout, comparisons and the registry text form "{C553F2C0-1529-11D0-B4D1-00805F6CBBEA}"
// (38 characters: Data1, Data2, Data3 in hexadecimal, then Data4 byte by byte).
// Constants are declared with DEFINE_GUID (Windows argument order) or MakeGuid("..."), both
// usable in constant expressions.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "platform/WinTypes.h"

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
static_assert(sizeof(GUID) == 16, "GUID has the Win32 layout");

using CLSID = GUID;
using IID = GUID;
using LPGUID = GUID*;
using LPCLSID = CLSID*;
using LPIID = IID*;
using REFGUID = const GUID&;
using REFCLSID = const CLSID&;
using REFIID = const IID&;

constexpr bool IsEqualGUID(REFGUID a, REFGUID b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i) {
        if (a.Data4[i] != b.Data4[i]) return false;
    }
    return true;
}
constexpr bool IsEqualIID(REFIID a, REFIID b) {
    return IsEqualGUID(a, b);
}
constexpr bool IsEqualCLSID(REFCLSID a, REFCLSID b) {
    return IsEqualGUID(a, b);
}
constexpr bool operator==(const GUID& a, const GUID& b) {
    return IsEqualGUID(a, b);
}

#define DEFINE_GUID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8) \
    inline constexpr GUID name = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}

DEFINE_GUID(GUID_NULL, 0x00000000, 0x0000, 0x0000, 0, 0, 0, 0, 0, 0, 0, 0);
inline constexpr const GUID& CLSID_NULL = GUID_NULL;
inline constexpr const GUID& IID_NULL = GUID_NULL;

namespace guid_text {

constexpr int kDashes[] = {8, 13, 18, 23};  // in the unbraced 36 characters

template <typename Char>
constexpr int HexDigit(Char c) {
    if (c >= Char('0') && c <= Char('9')) return static_cast<int>(c - Char('0'));
    if (c >= Char('a') && c <= Char('f')) return static_cast<int>(c - Char('a')) + 10;
    if (c >= Char('A') && c <= Char('F')) return static_cast<int>(c - Char('A')) + 10;
    return -1;
}

// `count` hex digits at text[at]; false when one is not a digit.
template <typename Char>
constexpr bool ReadHex(const Char* text, int at, int count, DWORD* value) {
    *value = 0;
    for (int i = 0; i < count; ++i) {
        const int digit = HexDigit(text[at + i]);
        if (digit < 0) return false;
        *value = *value * 16 + static_cast<DWORD>(digit);
    }
    return true;
}

}  // namespace guid_text

// Parses exactly `length` characters: "{8-4-4-4-12}" when `braced`, else the 36 inside.
// Hexadecimal digits in either case. Reads nothing past text[length - 1].
template <typename Char>
constexpr bool ParseGuidText(const Char* text, size_t length, bool braced, GUID* guid) {
    if (!text || length != (braced ? 38u : 36u)) return false;
    if (braced) {
        if (text[0] != Char('{') || text[37] != Char('}')) return false;
        ++text;
    }
    for (int dash : guid_text::kDashes) {
        if (text[dash] != Char('-')) return false;
    }
    DWORD part[3] = {};
    if (!guid_text::ReadHex(text, 0, 8, &part[0]) || !guid_text::ReadHex(text, 9, 4, &part[1]) ||
        !guid_text::ReadHex(text, 14, 4, &part[2])) {
        return false;
    }
    GUID parsed{part[0], static_cast<WORD>(part[1]), static_cast<WORD>(part[2]), {}};
    constexpr int kByteAt[] = {19, 21, 24, 26, 28, 30, 32, 34};
    for (int i = 0; i < 8; ++i) {
        DWORD byte = 0;
        if (!guid_text::ReadHex(text, kByteAt[i], 2, &byte)) return false;
        parsed.Data4[i] = static_cast<BYTE>(byte);
    }
    *guid = parsed;
    return true;
}

// Writes the braced upper-case form and a terminator: 39 characters.
template <typename Char>
constexpr void FormatGuidText(const GUID& guid, Char* out) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    int at = 0;
    auto put_hex = [&](DWORD value, int digits) {
        for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
            out[at++] = static_cast<Char>(kDigits[(value >> shift) & 0xF]);
        }
    };
    out[at++] = Char('{');
    put_hex(guid.Data1, 8);
    out[at++] = Char('-');
    put_hex(guid.Data2, 4);
    out[at++] = Char('-');
    put_hex(guid.Data3, 4);
    out[at++] = Char('-');
    for (int i = 0; i < 8; ++i) {
        if (i == 2) out[at++] = Char('-');
        put_hex(guid.Data4[i], 2);
    }
    out[at++] = Char('}');
    out[at] = Char(0);
}

void InvalidGuidLiteral();  // never defined: reaching it in MakeGuid stops the compilation

// A GUID constant from its text, braced or not: MakeGuid("C553F2C0-1529-11D0-B4D1-00805F6CBBEA").
consteval GUID MakeGuid(std::string_view text) {
    GUID guid{};
    const bool braced = !text.empty() && text.front() == '{';
    if (!ParseGuidText(text.data(), text.size(), braced, &guid)) InvalidGuidLiteral();
    return guid;
}

template <>
struct std::hash<GUID> {
    size_t operator()(const GUID& guid) const noexcept {
        size_t value = guid.Data1 ^ (static_cast<size_t>(guid.Data2) << 16) ^ guid.Data3;
        for (BYTE byte : guid.Data4)
            value = value * 131 + byte;
        return value;
    }
};
