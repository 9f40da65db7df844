#include "app/ProjectText.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

const char* SkipDigits(const char* p) {
    while (IsDigit(*p))
        ++p;
    return p;
}

// The end of the decimal number that starts at p (after an optional sign), or p itself.
const char* DecimalEnd(const char* p) {
    const char* integer_end = SkipDigits(p);
    const char* end = integer_end;
    bool has_digits = integer_end != p;
    if (*end == '.') {
        const char* fraction_end = SkipDigits(end + 1);
        has_digits = has_digits || fraction_end != end + 1;
        end = fraction_end;
    }
    if (!has_digits) return p;
    if (*end == 'e' || *end == 'E') {
        const char* exponent = end + 1;
        if (*exponent == '+' || *exponent == '-') ++exponent;
        if (IsDigit(*exponent)) end = SkipDigits(exponent);
    }
    return end;
}

// What a decimal number too large or too small for a double stands for: huge or zero.
double OutOfRangeValue(const char* begin, const char* end) {
    const char* exponent = std::find_if(begin, end, [](char c) { return c == 'e' || c == 'E'; });
    if (exponent != end) return exponent[1] == '-' ? 0.0 : HUGE_VAL;
    const bool has_integer_part =
        std::any_of(begin, std::find(begin, end, '.'), [](char c) { return c >= '1' && c <= '9'; });
    return has_integer_part ? HUGE_VAL : 0.0;
}

}  // namespace

char* ReadLine(char* buffer, int size, std::FILE* file) {
    if (!buffer || size < 1 || !file) return nullptr;
    if (!std::fgets(buffer, size, file)) return nullptr;
    size_t length = std::strlen(buffer);
    // A read that filled the buffer up to a CR stopped between the CR and its LF: the LF
    // belongs to this line, not to an empty next one.
    if (length == static_cast<size_t>(size) - 1 && length > 0 && buffer[length - 1] == '\r') {
        const int next = std::fgetc(file);
        if (next != '\n' && next != EOF) std::ungetc(next, file);
    }
    while (length > 0 && (buffer[length - 1] == '\r' || buffer[length - 1] == '\n')) {
        buffer[--length] = '\0';
    }
    return buffer;
}

float ReadProjectNumber(const char* text) {
    if (!text) return 0.0f;
    while (std::isspace(static_cast<unsigned char>(*text)))
        ++text;
    const bool negative = *text == '-';
    if (*text == '+' || *text == '-') ++text;
    const char* end = DecimalEnd(text);
    if (end == text) return 0.0f;
    double value = 0.0;
    const auto result = std::from_chars(text, end, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) value = OutOfRangeValue(text, end);
    value = std::fmin(std::fmax(value, -FLT_MAX), FLT_MAX);
    return static_cast<float>(negative ? -value : value);
}

std::string FormatProjectNumber(float value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, static_cast<double>(value),
                                      std::chars_format::fixed, 6);
    return std::string(text, result.ptr);
}
