#include "platform/ui/DataExchange.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>
#include <system_error>
#include <type_traits>

#include "platform/ui/MessageBox.h"
#include "platform/ui/WindowFunctions.h"
#include "platform/ui/WindowMessages.h"
#include "platform/ui/WindowTable.h"

namespace {

constexpr const char* kNotAnInteger = "Please enter an integer.";
constexpr const char* kNotANumber = "Please enter a number.";
constexpr int kFloatDigits = 6;    // FLT_DIG: what a float holds
constexpr int kDoubleDigits = 15;  // DBL_DIG

std::string_view Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// The whole (trimmed) text as a number, or nothing. Parsing ignores the locale, which Qt sets
// from the environment.
template <typename Number>
std::optional<Number> Parse(const std::string& text) {
    std::string_view digits = Trimmed(text);
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    Number value{};
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    if constexpr (std::is_floating_point_v<Number>) {
        if (!std::isfinite(value)) return std::nullopt;
    }
    return value;
}

template <typename Number>
std::string Format(Number value, int digits) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::general, digits);
    return std::string(buffer, result.ptr);
}

std::string Format(int value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
    return std::string(buffer, result.ptr);
}

void Show(HWND control, const std::string& text) {
    if (GetWindowTextString(control) != text) SetWindowTextA(control, text.c_str());
}

template <typename Number>
void Exchange(DataExchange* exchange, int control_id, Number& value, const std::string& shown,
              const char* complaint) {
    HWND control = exchange ? exchange->Control(control_id) : nullptr;
    if (!control) return;
    if (!exchange->SaveAndValidate()) {
        Show(control, shown);
        return;
    }
    const auto parsed = Parse<Number>(GetWindowTextString(control));
    if (!parsed) {
        exchange->Fail(control_id, complaint);
        return;
    }
    value = *parsed;
}

}  // namespace

DataExchange::DataExchange(HWND dialog, bool save_and_validate)
    : m_dialog(dialog), m_save_and_validate(save_and_validate) {}

HWND DataExchange::Control(int control_id) const {
    return m_failed ? nullptr : GetDlgItem(m_dialog, control_id);
}

void DataExchange::Fail(int control_id, const char* message) {
    if (m_failed) return;
    m_failed = true;
    // As every message the user must see: one OK button, empty caption.
    MessageBoxA(m_dialog, message, "", MB_OK | MB_ICONEXCLAMATION);
    if (WindowObject* box = WindowTable::Instance().Local(GetDlgItem(m_dialog, control_id))) {
        box->Focus();
    }
}

void DDX_Text(DataExchange* exchange, int control_id, std::string& value) {
    HWND control = exchange ? exchange->Control(control_id) : nullptr;
    if (!control) return;
    if (exchange->SaveAndValidate()) {
        value = GetWindowTextString(control);
    } else {
        Show(control, value);
    }
}

void DDX_Text(DataExchange* exchange, int control_id, int& value) {
    Exchange(exchange, control_id, value, Format(value), kNotAnInteger);
}

void DDX_Text(DataExchange* exchange, int control_id, float& value) {
    Exchange(exchange, control_id, value, Format(value, kFloatDigits), kNotANumber);
}

void DDX_Text(DataExchange* exchange, int control_id, double& value) {
    Exchange(exchange, control_id, value, Format(value, kDoubleDigits), kNotANumber);
}

void DDX_Check(DataExchange* exchange, int control_id, int& value) {
    HWND control = exchange ? exchange->Control(control_id) : nullptr;
    if (!control) return;
    if (exchange->SaveAndValidate()) {
        value = SendMessageA(control, BM_GETCHECK, 0, 0) == static_cast<LRESULT>(BST_CHECKED);
    } else {
        SendMessageA(control, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}
