#pragma once
// Arithmetic of stage play that must give the same bits on every machine, so that a replay
// repeats: the conversion of a double to a 32-bit integer as the x86 instruction does it,
// 32-bit wrap-around, and sine, cosine and arc tangent from one fixed implementation
// (never the system's maths library, whose results differ between versions and processors).
#include <cstdint>

// Truncates toward zero; NaN and values outside the int32 range give INT32_MIN, as the
// processor's truncating conversion does. Defined here: the collision probes call it in their
// innermost loops.
inline std::int32_t TruncToInt32(double value) {
  // The range check is made on the double; 2^31 itself is out of range, -2^31 is in range.
  if (!(value > -2147483649.0 && value < 2147483648.0)) return INT32_MIN;
  return static_cast<std::int32_t>(value);
}

// The low 32 bits of a wider result, as a signed value.
constexpr std::int32_t Wrap32(std::int64_t value) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}
constexpr std::int32_t AddWrap32(std::int32_t a, std::int32_t b) {
  return Wrap32(static_cast<std::int64_t>(a) + b);
}
constexpr std::int32_t SubWrap32(std::int32_t a, std::int32_t b) {
  return Wrap32(static_cast<std::int64_t>(a) - b);
}
constexpr std::int32_t MulWrap32(std::int32_t a, std::int32_t b) {
  return Wrap32(static_cast<std::int64_t>(a) * b);
}
constexpr std::int32_t NegWrap32(std::int32_t a) { return Wrap32(-static_cast<std::int64_t>(a)); }

// Degrees to radians, the factor the game's angle code multiplies by.
inline constexpr double kDegToRad = 0.017453292519943295;

// Sine, cosine (radians) and the arc tangent of y / x in radians, each accurate to 1 ulp and
// bit-identical on every x86-64 machine.
double PlaySin(double radians);
double PlayCos(double radians);
double PlayAtan2(double y, double x);
