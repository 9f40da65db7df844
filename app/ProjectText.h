// The text conventions of project files: lines read with a bounded buffer and their line
// ends removed, numbers read leniently and written as "%f" writes them — independent of the
// process's locale, so a project saved anywhere loads anywhere.
#pragma once

#include <cstdio>
#include <string>

// Reads up to and including the next line end, at most size - 1 characters, then strips the
// trailing CR and LF characters. Returns the buffer, or null at the end of the file or on a
// read error (the buffer is then left as it was).
char* ReadLine(char* buffer, int size, std::FILE* file);

// The longest leading decimal number (after white space: sign, digits, point, exponent),
// narrowed to float and kept within float's range; 0 when there is none. Names such as
// "nan" or "inf" and hexadecimal numbers are not decimal and read as 0.
float ReadProjectNumber(const char* text);

// An optional minus sign, the integer digits, a point and exactly six decimals.
std::string FormatProjectNumber(float value);
