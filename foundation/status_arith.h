#pragma once
// The arithmetic with which statuses, variables and command parameters are tested and
// changed: percentages, clamps, comparisons in a field's own width and the assignment
// operators. Sums, differences and products wrap at the operand's width, as the stored games
// were tuned against; a division never traps.
#include <cstdint>

#include "foundation/compare.h"

// The assignment operators of status operations and arranges.
enum eAssignOp : int {
  ASSIGN_SET = 0,
  ASSIGN_ADD = 1,
  ASSIGN_SUB = 2,
  ASSIGN_MUL = 3,
  ASSIGN_DIV = 4,
  ASSIGN_MOD = 5,
  ASSIGN_PERCENT = 6,
};

// a x b x 0.01, to the nearest integer with halves away from zero; the product a x b is
// taken in the operand's width (32, 8 or 16 bits) and wraps there.
std::int32_t PercentOf(std::int32_t a, std::int32_t b);
std::int32_t PercentOfChar(std::int8_t a, std::int8_t b);
std::int32_t PercentOfShort(std::int16_t a, std::int16_t b);

// Below min gives min, else above max gives max (so min wins nothing when max < min).
constexpr std::int32_t ClampInt(std::int32_t value, std::int32_t min, std::int32_t max) {
  return value < min ? min : (value > max ? max : value);
}
constexpr std::int8_t ClampChar(std::int8_t value, std::int32_t min, std::int32_t max) {
  return static_cast<std::int8_t>(ClampInt(value, min, max));
}

// Comparisons made in a byte's or a short's width: both sides are narrowed first.
int CompareChar(std::int32_t left, std::int32_t right, eCompareOp op);
int CompareShort(std::int32_t left, std::int32_t right, eCompareOp op);
// The comparison of a status with a condition's value; with the percent switch the right
// side is that percentage of base, held in [min, max].
int CompareStatusInt(std::int32_t left, std::int32_t base, std::int32_t value, int percent,
                     eCompareOp op, std::int32_t min, std::int32_t max);
int CompareStatusShort(std::int16_t left, std::int32_t base, std::int32_t value, int percent,
                       eCompareOp op, std::int32_t min, std::int32_t max);

// target := target op a, then held in [min, max]. MUL gives max when the wrapped product
// has turned negative although the factors share a sign, and min when it has turned
// positive although they do not. DIV and MOD by 0 leave the target. Other operators leave it
// too (before the clamp).
void ApplyOpInt(std::int32_t& target, std::int32_t a, int op, std::int32_t min, std::int32_t max);
void ApplyOpChar(std::int8_t& target, std::int8_t a, int op, std::int32_t min, std::int32_t max);
void ApplyOpShort(std::int16_t& target, std::int16_t a, int op, std::int32_t min,
                  std::int32_t max);

// The quotient and remainder truncated toward zero; INT_MIN / -1 gives INT_MIN and
// INT_MIN % -1 gives 0 instead of a trap. b must not be 0.
std::int32_t DivInt(std::int32_t a, std::int32_t b);
std::int32_t ModInt(std::int32_t a, std::int32_t b);
