#include "foundation/random.h"

namespace {
thread_local std::uint32_t t_state = 1;
}

void RandSeed(std::uint32_t seed) { t_state = seed; }

int RandNext() {
  t_state = t_state * 214013u + 2531011u;
  return static_cast<int>((t_state >> 16) & 0x7FFF);
}

int RandRange(int a, int b) {
  const std::int64_t lo = a < b ? a : b;
  const std::int64_t hi = a < b ? b : a;
  // In 64 bits, so that the widest ranges neither overflow nor divide by zero.
  return static_cast<int>(lo + RandNext() % (hi - lo + 1));
}
