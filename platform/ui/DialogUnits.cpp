#include "platform/ui/DialogUnits.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include <QFontMetrics>

namespace {

constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

}  // namespace

int MulDiv(int value, int numerator, int denominator) {
    if (denominator == 0) return -1;
    const int64_t product = int64_t{value} * numerator;
    const int64_t half = std::abs(int64_t{denominator}) / 2;
    const bool negative = (product < 0) != (denominator < 0);
    const int64_t magnitude = (std::abs(product) + half) / std::abs(int64_t{denominator});
    const int64_t result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min()) {
        return -1;
    }
    return static_cast<int>(result);
}

DialogUnits::DialogUnits(int base_x, int base_y)
    : m_base_x(std::max(base_x, 1)), m_base_y(std::max(base_y, 1)) {}

DialogUnits DialogUnits::FromFont(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters_width = metrics.horizontalAdvance(QString::fromLatin1(kLetters));
    return DialogUnits((letters_width / 26 + 1) / 2, metrics.height());
}

int DialogUnits::ToPixelsX(int units) const {
    return MulDiv(units, m_base_x, 4);
}

int DialogUnits::ToPixelsY(int units) const {
    return MulDiv(units, m_base_y, 8);
}

QRect DialogUnits::ToPixels(int x, int y, int cx, int cy) const {
    // Position and size are mapped each on its own, as Windows creates a template's controls.
    return QRect(ToPixelsX(x), ToPixelsY(y), ToPixelsX(cx), ToPixelsY(cy));
}
