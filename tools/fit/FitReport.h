// The short report tkv-fit prints about a fit: the two sounds' lengths, the initial offset,
// the events (a leap or a wait named as such), the confidence and the residual expected for
// each stretch of the movie, and the figures over the whole movie.
// Threading: any thread; no state.
#pragma once

#include <cstdio>
#include <string>

#include "engine/fit/FitResult.h"

class FitReport {
public:
    static void Print(const FitResult& result, const std::string& movie, const std::string& wav,
                      std::FILE* out);
    // "hh:mm:ss.sss"
    static std::string Time(double seconds);
};
