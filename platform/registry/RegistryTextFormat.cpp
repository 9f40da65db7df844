#include "platform/registry/RegistryTextFormat.h"

#include <cstdio>
#include <optional>

#include "platform/registry/RegistryPath.h"
#include "platform/registry/winreg.h"

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

void AppendHexByte(std::string* out, unsigned char c) {
    *out += kHexDigits[c >> 4];
    *out += kHexDigits[c & 0xF];
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Two hex digits at `text[at]`, or -1.
int HexByteAt(std::string_view text, size_t at) {
    if (at + 2 > text.size()) return -1;
    const int high = HexValue(text[at]);
    const int low = HexValue(text[at + 1]);
    return (high < 0 || low < 0) ? -1 : high * 16 + low;
}

std::string QuoteString(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (IsControl(byte)) {
            out += "\\x";
            AppendHexByte(&out, byte);
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string EscapeKeyName(std::string_view name) {
    std::string out;
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        // A backslash in a name (read from %5c) would split the key when read back.
        if (c == '%' || c == '\\' || IsControl(byte)) {
            out += '%';
            AppendHexByte(&out, byte);
        } else {
            out += c;
        }
    }
    return out;
}

bool IsPlainString(const RegistryValue& value) {
    if (value.type != REG_SZ || value.data.empty() || value.data.back() != 0) return false;
    for (size_t i = 0; i + 1 < value.data.size(); ++i) {
        if (value.data[i] == 0) return false;
    }
    return true;
}

std::string FormatData(const RegistryValue& value) {
    if (IsPlainString(value)) {
        const auto* text = reinterpret_cast<const char*>(value.data.data());
        return QuoteString(std::string_view(text, value.data.size() - 1));
    }
    if (value.type == REG_DWORD && value.data.size() == 4) {
        const DWORD number = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                             (static_cast<DWORD>(value.data[3]) << 24);
        char text[16];
        std::snprintf(text, sizeof(text), "dword:%08x", number);
        return text;
    }
    std::string out;
    if (value.type == REG_BINARY) {
        out = "hex:";
    } else {
        char text[24];
        std::snprintf(text, sizeof(text), "hex(%x):", value.type);
        out = text;
    }
    for (size_t i = 0; i < value.data.size(); ++i) {
        if (i > 0) out += ',';
        AppendHexByte(&out, value.data[i]);
    }
    return out;
}

void SerializeKey(const RegistryKey& key, const std::string& path, std::string* out) {
    if (!path.empty() || key.ValueCount() > 0) {
        *out += "\n[" + path + "]\n";
        for (size_t i = 0; i < key.ValueCount(); ++i) {
            const RegistryValue& value = key.ValueAt(i);
            *out += value.name.empty() ? std::string("@") : QuoteString(value.name);
            *out += '=' + FormatData(value) + '\n';
        }
    }
    for (size_t i = 0; i < key.SubkeyCount(); ++i) {
        const RegistryKey& sub = key.SubkeyAt(i);
        const std::string name = EscapeKeyName(sub.Name());
        SerializeKey(sub, path.empty() ? name : path + '\\' + name, out);
    }
}

}  // namespace

std::string SerializeRegistry(const RegistryKey& root, std::string_view title) {
    std::string out = "; TKV registry store: ";
    out += title;
    out += "\n; [key\\path] sections, \"name\"=value lines, @ for the default value.\n";
    SerializeKey(root, std::string(), &out);
    return out;
}

namespace {

// A cursor over one line of the file.
class LineReader {
public:
    explicit LineReader(std::string_view text) : m_text(text) {}

    bool AtEnd() const { return m_at == m_text.size(); }
    bool Consume(std::string_view word) {
        if (m_text.substr(m_at, word.size()) != word) return false;
        m_at += word.size();
        return true;
    }

    // A quoted string with its escapes, the cursor on the opening quote.
    std::optional<std::string> QuotedString() {
        if (!Consume("\"")) return std::nullopt;
        std::string out;
        while (m_at < m_text.size()) {
            const char c = m_text[m_at++];
            if (c == '"') return out;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (Consume("\\") || Consume("\"")) {
                out += m_text[m_at - 1];
            } else if (Consume("x")) {
                const int byte = HexByteAt(m_text, m_at);
                if (byte < 0) return std::nullopt;
                out += static_cast<char>(byte);
                m_at += 2;
            } else {
                return std::nullopt;
            }
        }
        return std::nullopt;
    }

    // A hexadecimal number of 1 to 8 digits.
    std::optional<DWORD> HexNumber() {
        DWORD number = 0;
        size_t digits = 0;
        while (m_at < m_text.size() && HexValue(m_text[m_at]) >= 0 && digits < 8) {
            number = number * 16 + static_cast<DWORD>(HexValue(m_text[m_at++]));
            ++digits;
        }
        if (digits == 0) return std::nullopt;
        return number;
    }

    // "aa,bb,..." up to the end of the line; spaces around the bytes are allowed.
    std::optional<std::vector<BYTE>> HexBytes() {
        std::vector<BYTE> bytes;
        SkipSpaces();
        if (AtEnd()) return bytes;
        while (true) {
            SkipSpaces();
            const int byte = HexByteAt(m_text, m_at);
            if (byte < 0) return std::nullopt;
            bytes.push_back(static_cast<BYTE>(byte));
            m_at += 2;
            SkipSpaces();
            if (AtEnd()) return bytes;
            if (!Consume(",")) return std::nullopt;
        }
    }

private:
    void SkipSpaces() {
        while (m_at < m_text.size() && m_text[m_at] == ' ')
            ++m_at;
    }

    std::string_view m_text;
    size_t m_at = 0;
};

std::optional<std::string> UnescapeKeyName(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        const int byte = HexByteAt(text, i + 1);
        if (byte < 0) return std::nullopt;
        out += static_cast<char>(byte);
        i += 2;
    }
    return out;
}

// "[a\b]" into its parts; the root is "[]".
std::optional<std::vector<std::string>> SectionPath(std::string_view header) {
    std::string_view inner = header.substr(1, header.size() - 2);
    std::vector<std::string> parts;
    while (!inner.empty()) {
        const size_t end = inner.find('\\');
        std::optional<std::string> name = UnescapeKeyName(inner.substr(0, end));
        if (!name || name->empty() || name->size() > kMaxKeyNameLength ||
            name->find('\0') != std::string::npos) {
            return std::nullopt;
        }
        parts.push_back(std::move(*name));
        if (parts.size() > kMaxKeyDepth) return std::nullopt;
        if (end == std::string_view::npos) break;
        inner.remove_prefix(end + 1);
        if (inner.empty()) return std::nullopt;  // a trailing backslash
    }
    return parts;
}

std::optional<RegistryValue> ValueData(LineReader* line) {
    RegistryValue value;
    if (std::optional<std::string> text = line->QuotedString()) {
        value.type = REG_SZ;
        value.data.assign(text->begin(), text->end());
        value.data.push_back(0);
    } else if (line->Consume("dword:")) {
        std::optional<DWORD> number = line->HexNumber();
        if (!number) return std::nullopt;
        value.type = REG_DWORD;
        for (int shift = 0; shift < 32; shift += 8) {
            value.data.push_back(static_cast<BYTE>(*number >> shift));
        }
    } else if (line->Consume("hex")) {
        value.type = REG_BINARY;
        if (line->Consume("(")) {
            std::optional<DWORD> type = line->HexNumber();
            if (!type || !line->Consume(")")) return std::nullopt;
            value.type = *type;
        }
        if (!line->Consume(":")) return std::nullopt;
        std::optional<std::vector<BYTE>> bytes = line->HexBytes();
        if (!bytes) return std::nullopt;
        value.data = std::move(*bytes);
    } else {
        return std::nullopt;
    }
    if (!line->AtEnd()) return std::nullopt;
    return value;
}

std::optional<RegistryValue> ValueLine(std::string_view text) {
    LineReader line(text);
    std::string name;
    if (!line.Consume("@")) {
        std::optional<std::string> quoted = line.QuotedString();
        if (!quoted || quoted->size() > kMaxValueNameLength ||
            quoted->find('\0') != std::string::npos) {
            return std::nullopt;
        }
        name = std::move(*quoted);
    }
    if (!line.Consume("=")) return std::nullopt;
    std::optional<RegistryValue> value = ValueData(&line);
    if (value) value->name = std::move(name);
    return value;
}

// Where the values of the lines read go.
struct Section {
    RegistryKey* key = nullptr;  // null before any section, and in a skipped one
    bool skipped = false;        // its header was bad: its values go with it
};

// The problem of a section header, or null once `section` is the key it names.
const char* ParseSectionHeader(std::string_view line, RegistryKey* root, Section* section) {
    section->key = nullptr;
    section->skipped = true;
    if (line.size() < 2 || line.back() != ']') return "section header without ']'";
    std::optional<std::vector<std::string>> path = SectionPath(line);
    if (!path) return "bad key path";
    RegistryKey* key = root;
    for (const std::string& part : *path)
        key = &key->AddSubkey(part, nullptr);
    *section = {key, false};
    return nullptr;
}

// One line into the tree. A bad section header costs only that section; `skipped` gets the
// problem of the first one.
const char* ParseLine(std::string_view line, RegistryKey* root, Section* section,
                      std::string* skipped) {
    if (line.empty() || line.front() == ';') return nullptr;
    if (line.front() == '[') {
        const char* problem = ParseSectionHeader(line, root, section);
        if (problem && skipped->empty()) *skipped = problem;
        return nullptr;
    }
    if (line.front() != '@' && line.front() != '"') return "unexpected text";
    if (section->skipped) return nullptr;
    if (!section->key) return "value before any section";
    std::optional<RegistryValue> value = ValueLine(line);
    if (!value) return "bad value line";
    section->key->SetValue(value->name, value->type, std::move(value->data));
    return nullptr;
}

}  // namespace

bool ParseRegistry(std::string_view text, RegistryKey* root, std::string* error) {
    *root = RegistryKey();
    if (error) error->clear();
    Section section;
    size_t number = 0;
    while (!text.empty()) {
        ++number;
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::string skipped;
        if (const char* problem = ParseLine(line, root, &section, &skipped)) {
            if (error) *error = "line " + std::to_string(number) + ": " + problem;
            *root = RegistryKey();
            return false;
        }
        if (error && error->empty() && !skipped.empty()) {
            *error = "line " + std::to_string(number) + ": " + skipped + " (section skipped)";
        }
    }
    return true;
}
