// Formats a time for the main window's position, duration and event displays.
#include "app/TimeFormat.h"

#include <cstdio>

#include "engine/StretchMath.h"

std::string FormatTime(float seconds) {
    const int hours = SaturateCast<int>(seconds / 3600);
    const float after_hours = seconds - static_cast<float>(hours) * 3600;
    const int minutes = SaturateCast<int>(after_hours / 60);
    const float rest = after_hours - static_cast<float>(minutes) * 60;
    char text[64];
    std::snprintf(text, sizeof text, "%2.2d:%2.2d:%2.3f", hours, minutes,
                  static_cast<double>(rest));
    return text;
}
