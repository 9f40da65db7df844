// How the events editor writes a stretch and turns it into slider units: FormatStretch gives
// "+2.500%" for a sign '+' and 2.5, " -2.500%" for a blank and -2.5 (the number keeps its own
// minus), " 0.000%" for a blank and 0. RoundHalfAway rounds to the nearest integer, halves away
// from zero (2.5 gives 3, -2.5 gives -3), saturating outside int's range; NaN gives 0.
// Threading: any thread; no state.
#pragma once

#include <string>

std::string FormatStretch(char sign, float stretch);
int RoundHalfAway(float value);
