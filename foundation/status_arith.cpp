#include "foundation/status_arith.h"

#include <cmath>
#include <limits>
#include <type_traits>

namespace {

// The low bits of a wider result in the width of T, as a signed value.
template <class T>
T WrapTo(std::int64_t value) {
  using U = std::make_unsigned_t<T>;
  return static_cast<T>(static_cast<U>(static_cast<std::uint64_t>(value)));
}

template <class T>
std::int32_t PercentIn(T a, T b) {
  const T product = WrapTo<T>(static_cast<std::int64_t>(a) * b);
  // std::round: halves away from zero; the result always fits an int32.
  return static_cast<std::int32_t>(std::round(static_cast<double>(product) * 0.01));
}

template <class T>
T ApplyOp(T target, T a, int op, std::int32_t min, std::int32_t max) {
  std::int32_t result = target;
  switch (op) {
    case ASSIGN_SET:
      result = a;
      break;
    case ASSIGN_ADD:
      result = WrapTo<T>(static_cast<std::int64_t>(target) + a);
      break;
    case ASSIGN_SUB:
      result = WrapTo<T>(static_cast<std::int64_t>(target) - a);
      break;
    case ASSIGN_MUL: {
      const T p = WrapTo<T>(static_cast<std::int64_t>(target) * a);
      const bool same = (target < 0) == (a < 0);
      if (same && p < 0)
        result = max;
      else if (!same && p > 0)
        result = min;
      else
        result = p;
      break;
    }
    case ASSIGN_DIV:
      if (a != 0) result = WrapTo<T>(DivInt(target, a));
      break;
    case ASSIGN_MOD:
      if (a != 0) result = WrapTo<T>(ModInt(target, a));
      break;
    case ASSIGN_PERCENT:
      result = PercentIn<T>(a, target);
      break;
    default:
      break;
  }
  return static_cast<T>(ClampInt(result, min, max));
}

}  // namespace

std::int32_t PercentOf(std::int32_t a, std::int32_t b) { return PercentIn<std::int32_t>(a, b); }
std::int32_t PercentOfChar(std::int8_t a, std::int8_t b) { return PercentIn<std::int8_t>(a, b); }
std::int32_t PercentOfShort(std::int16_t a, std::int16_t b) {
  return PercentIn<std::int16_t>(a, b);
}

int CompareChar(std::int32_t left, std::int32_t right, eCompareOp op) {
  return CompareByOp(WrapTo<std::int8_t>(left), WrapTo<std::int8_t>(right), op);
}

int CompareShort(std::int32_t left, std::int32_t right, eCompareOp op) {
  return CompareByOp(WrapTo<std::int16_t>(left), WrapTo<std::int16_t>(right), op);
}

int CompareStatusInt(std::int32_t left, std::int32_t base, std::int32_t value, int percent,
                     eCompareOp op, std::int32_t min, std::int32_t max) {
  const std::int32_t right = percent ? ClampInt(PercentOf(base, value), min, max) : value;
  return CompareByOp(left, right, op);
}

int CompareStatusShort(std::int16_t left, std::int32_t base, std::int32_t value, int percent,
                       eCompareOp op, std::int32_t min, std::int32_t max) {
  const std::int32_t right = percent ? ClampInt(PercentOf(base, value), min, max) : value;
  return CompareShort(left, right, op);
}

void ApplyOpInt(std::int32_t& target, std::int32_t a, int op, std::int32_t min, std::int32_t max) {
  target = ApplyOp<std::int32_t>(target, a, op, min, max);
}

void ApplyOpChar(std::int8_t& target, std::int8_t a, int op, std::int32_t min, std::int32_t max) {
  target = ApplyOp<std::int8_t>(target, a, op, min, max);
}

void ApplyOpShort(std::int16_t& target, std::int16_t a, int op, std::int32_t min,
                  std::int32_t max) {
  target = ApplyOp<std::int16_t>(target, a, op, min, max);
}

std::int32_t DivInt(std::int32_t a, std::int32_t b) {
  if (b == -1) return a == std::numeric_limits<std::int32_t>::min() ? a : -a;
  return a / b;
}

std::int32_t ModInt(std::int32_t a, std::int32_t b) { return b == -1 ? 0 : a % b; }
