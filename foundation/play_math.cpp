#include "foundation/play_math.h"

#include <cmath>
#include <limits>

// SLEEF's scalar functions in their plain C form: no FMA and no choice made at run time by
// the processor's features, so every machine computes the same bits.
extern "C" {
double Sleef_sind1_u10purec(double);
double Sleef_cosd1_u10purec(double);
double Sleef_atan2d1_u10purec(double, double);
}

std::int32_t TruncToInt32(double value) {
  // The range check is made on the double; 2^31 itself is out of range, -2^31 is in range.
  if (!(value > -2147483649.0 && value < 2147483648.0)) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

double PlaySin(double radians) { return Sleef_sind1_u10purec(radians); }
double PlayCos(double radians) { return Sleef_cosd1_u10purec(radians); }
double PlayAtan2(double y, double x) { return Sleef_atan2d1_u10purec(y, x); }
