// Conversions between the framework's wide text (UTF-16 units) and the narrow UTF-8 text the
// registry and the windows store. Invalid sequences become U+FFFD rather than failing.
// Threading: pure functions.
#pragma once

#include <string>
#include <string_view>

#include "platform/com/WideChar.h"

std::string Utf8FromWide(std::u16string_view text);
std::u16string WideFromUtf8(std::string_view text);
// The units before the terminator of a C string; empty for null.
std::u16string_view WideView(LPCWSTR text);
