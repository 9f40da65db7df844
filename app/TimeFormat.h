// TimeFormat: the one way the main window writes a time in seconds, "hh:mm:s.sss" (75.25 s
// reads 00:01:15.250, 5.5 s reads 00:00:5.500: the seconds keep no leading zero).
// Threading: any thread; no state.
#pragma once

#include <string>

std::string FormatTime(float seconds);
