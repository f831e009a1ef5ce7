#include "foundation/play_math.h"

#include <cmath>

// SLEEF's scalar functions in their plain C form: no FMA and no choice made at run time by
// the processor's features, so every machine computes the same bits.
extern "C" {
double Sleef_sind1_u10purec(double);
double Sleef_cosd1_u10purec(double);
double Sleef_atan2d1_u10purec(double, double);
}

double PlaySin(double radians) { return Sleef_sind1_u10purec(radians); }
double PlayCos(double radians) { return Sleef_cosd1_u10purec(radians); }
double PlayAtan2(double y, double x) { return Sleef_atan2d1_u10purec(y, x); }
