// The text form of one registry store file, close to a .reg export:
//
//   ; comment
//   [SOFTWARE\Classes\CLSID\{C553F2C0-1529-11D0-B4D1-00805F6CBBEA}]
//   @="Tarvik Time Stretcher"
//   "Merit"=dword:00400000
//   "Pins"=hex:01,00,ff
//   "Path"=hex(2):25,00
//
// Every key has its section (empty keys too), parents before children; values follow their
// section in the order they were set. A REG_SZ holding one terminated string is written as a
// quoted string, a 4-byte REG_DWORD as dword:, anything else as hex(type): bytes, so every
// byte sequence round-trips. In quoted strings \\, \" and \xNN (bytes below 0x20 and 0x7F)
// are escapes; in section names %NN stands for '%', a backslash, such bytes and nothing else.
#pragma once

#include <string>
#include <string_view>

#include "platform/registry/RegistryKey.h"

// `title` goes into the first comment line.
std::string SerializeRegistry(const RegistryKey& root, std::string_view title);

// Replaces `root` with the tree read from `text`. Returns false with a one-line `error`
// ("line 12: ...") when the text is not in the format; `root` is then left empty. A section
// whose header is bad is skipped with its values, the other keys kept: true, with `error`
// naming the first such line (empty when every line was read).
bool ParseRegistry(std::string_view text, RegistryKey* root, std::string* error);
