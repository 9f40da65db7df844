#include "platform/media/graph/WideText.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendUtf8(char32_t code, std::string* out) {
    if (code < 0x80) {
        out->push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (code >> 6)));
        out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (code >> 12)));
        out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (code >> 18)));
        out->push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

void AppendUtf16(char32_t code, std::u16string* out) {
    if (code < 0x10000) {
        out->push_back(static_cast<char16_t>(code));
        return;
    }
    code -= 0x10000;
    out->push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
    out->push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
}

// Decodes one UTF-8 sequence at text[*at]; advances *at past what it used.
char32_t DecodeUtf8(std::string_view text, size_t* at) {
    const auto lead = static_cast<unsigned char>(text[(*at)++]);
    int extra = 0;
    char32_t code = 0;
    if (lead < 0x80) return lead;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        code = lead & 0x07;
    } else {
        return kReplacement;
    }
    for (int i = 0; i < extra; ++i) {
        if (*at >= text.size()) return kReplacement;
        const auto next = static_cast<unsigned char>(text[*at]);
        if ((next & 0xC0) != 0x80) return kReplacement;
        code = (code << 6) | (next & 0x3F);
        ++*at;
    }
    const bool overlong = (extra == 1 && code < 0x80) || (extra == 2 && code < 0x800) ||
                          (extra == 3 && code < 0x10000);
    if (overlong || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return kReplacement;
    return code;
}

}  // namespace

std::string Utf8FromWide(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            const char32_t code = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                                  (static_cast<char32_t>(text[i + 1]) - 0xDC00);
            AppendUtf8(code, &out);
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendUtf8(kReplacement, &out);
        } else {
            AppendUtf8(unit, &out);
        }
    }
    return out;
}

std::u16string WideFromUtf8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    size_t at = 0;
    while (at < text.size())
        AppendUtf16(DecodeUtf8(text, &at), &out);
    return out;
}

std::u16string_view WideView(LPCWSTR text) {
    return text ? std::u16string_view(text) : std::u16string_view();
}
