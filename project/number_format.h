#pragma once
// Number and time texts of the menus, the ranking and the status displays.
#include <string>

// The number of decimal digits of value, 1 to 10; the sign is not counted.
int GetDigitCount(int value);

// value in at least width digits (never fewer than it has); leading zeros become spaces
// unless zeroPad is set; a minus sign, or with plusSign a plus sign, goes in front.
void FormatNumber(std::string& out, int value, int width, int zeroPad, int plusSign);

// hundredths of a second as minutes:seconds.hundredths, "02:03.45"; a negative time has one
// minus sign in front of its magnitude.
void FormatTime(std::string& out, int hundredths);
