#include "app/StretchText.h"

#include <cmath>
#include <cstdio>

#include "engine/StretchMath.h"

std::string FormatStretch(char sign, float stretch) {
    // Room for the widest float written with three decimals (39 digits and more).
    char text[64];
    std::snprintf(text, sizeof text, "%c%2.3f%%", sign, static_cast<double>(stretch));
    return text;
}

int RoundHalfAway(float value) {
    // std::round rounds halves away from zero; a float is exact in double.
    return SaturateCast<int>(std::round(static_cast<double>(value)));
}
