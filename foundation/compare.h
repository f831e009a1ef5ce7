#pragma once
// The comparison codes with which conditions compare two integers.
#include <cstdint>

enum eCompareOp : int {
  COMPARE_EQUAL = 0,
  COMPARE_NOT_EQUAL = 1,
  COMPARE_AT_LEAST = 2,
  COMPARE_AT_MOST = 3,
  COMPARE_GREATER = 4,
  COMPARE_LESS = 5,
  COMPARE_DIVISIBLE = 6,      // true also when b is 0
  COMPARE_NOT_DIVISIBLE = 7,  // false when b is 0
};

// 1 when a op b holds, else 0; codes outside 0 to 7 are never true. Computed in 64 bits, so
// the extremes of int never overflow. The code is an eCompareOp so that a call with its
// arguments in another order does not compile (stored codes are cast where they are read).
int CompareByOp(std::int32_t a, std::int32_t b, eCompareOp op);
