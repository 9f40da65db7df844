// Key paths as the Reg* functions take them: parts separated by backslashes, a trailing
// backslash tolerated ("CLSID\{...}\" is "CLSID" then "{...}"), no empty part, each part at
// most 255 bytes, at most 512 levels, as on Windows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/WinTypes.h"

constexpr size_t kMaxKeyNameLength = 255;
constexpr size_t kMaxKeyDepth = 512;
constexpr size_t kMaxValueNameLength = 16383;

// Appends the parts of `text` (null or "" adds none) to `parts`. Returns ERROR_SUCCESS,
// ERROR_BAD_PATHNAME for an empty part, ERROR_INVALID_PARAMETER for a part or a path too long.
LONG AppendRegistryPath(std::string_view text, std::vector<std::string>* parts);

std::string JoinRegistryPath(const std::vector<std::string>& parts);
