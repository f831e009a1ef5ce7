#include "foundation/compare.h"

int CompareByOp(std::int32_t a, std::int32_t b, eCompareOp op) {
  const std::int64_t x = a;
  const std::int64_t y = b;
  switch (op) {
    case COMPARE_EQUAL:
      return (x == y) ? 1 : 0;
    case COMPARE_NOT_EQUAL:
      return (x != y) ? 1 : 0;
    case COMPARE_AT_LEAST:
      return (x >= y) ? 1 : 0;
    case COMPARE_AT_MOST:
      return (x <= y) ? 1 : 0;
    case COMPARE_GREATER:
      return (x > y) ? 1 : 0;
    case COMPARE_LESS:
      return (x < y) ? 1 : 0;
    case COMPARE_DIVISIBLE:
      return (y == 0 || (x < 0 ? -x : x) % y == 0) ? 1 : 0;
    case COMPARE_NOT_DIVISIBLE:
      return (y != 0 && (x < 0 ? -x : x) % y != 0) ? 1 : 0;
    default:
      return 0;
  }
}
