#include "media/effect_pixels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// Every count up to 4096, and counts spread up to the largest, against integer division at the
// first and last sum of each quotient a pixel average can have, and at the largest sum allowed.
TEST(ReciprocalTest, DividesLikeIntegerDivision) {
  std::vector<std::uint32_t> counts;
  for (std::uint32_t n = 1; n <= 4096; ++n) counts.push_back(n);
  for (std::uint32_t n = 4097; n < sReciprocal::kMaxCount; n += n / 5 + 1) counts.push_back(n);
  for (int bits = 13; bits <= 23; ++bits) {
    for (std::uint32_t n : {(1u << bits) - 1, 1u << bits, (1u << bits) + 1})
      if (n <= sReciprocal::kMaxCount) counts.push_back(n);
  }
  for (std::uint32_t n : counts) {
    const sReciprocal r = sReciprocal::Of(n);
    for (std::uint32_t q = 0; q <= 255; ++q) {
      for (std::uint32_t s : {q * n, q * n + n - 1})
        ASSERT_EQ(r.Divide(s), s / n) << s << " / " << n;
    }
    ASSERT_EQ(r.Divide(0x7FFFFFFFu), 0x7FFFFFFFu / n) << n;
  }
}

}  // namespace
