#include "foundation/play_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

std::uint64_t Bits(double d) {
  std::uint64_t u;
  std::memcpy(&u, &d, sizeof u);
  return u;
}

TEST(PlayMathTest, TruncationAsTheProcessorDoesIt) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double value;
    std::int32_t want;
  } cases[] = {
      {2.9, 2},         {-2.9, -2},        {-0.5, 0},
      {2147483647.9, 2147483647},          {-2147483648.9, INT32_MIN},
      {2147483648.0, INT32_MIN},           {-2147483649.0, INT32_MIN},
      {inf, INT32_MIN}, {-inf, INT32_MIN}, {std::nan(""), INT32_MIN},
  };
  for (const Case& c : cases) EXPECT_EQ(TruncToInt32(c.value), c.want) << c.value;
}

TEST(PlayMathTest, ThirtyTwoBitWrap) {
  EXPECT_EQ(AddWrap32(INT32_MAX, 1), INT32_MIN);
  EXPECT_EQ(SubWrap32(INT32_MIN, 1), INT32_MAX);
  EXPECT_EQ(MulWrap32(65536, 65536), 0);
  EXPECT_EQ(MulWrap32(-7, 6), -42);
  EXPECT_EQ(NegWrap32(INT32_MIN), INT32_MIN);
  EXPECT_EQ(Wrap32(0x1'0000'0005LL), 5);
}

// The results every machine must give (a replay depends on their last bits).
TEST(PlayMathTest, SineCosineAndArcTangentBits) {
  struct Trig {
    double x;
    std::uint64_t sin, cos;
  } trig[] = {
      {0.5, 0x3fdeaee8744b05f0ull, 0x3fec1528065b7d50ull},
      {1, 0x3feaed548f090ceeull, 0x3fe14a280fb5068cull},
      {2, 0x3fed18f6ead1b446ull, 0xbfdaa22657537205ull},
      {100, 0xbfe03425b78c4db8ull, 0x3feb981dbf665fdfull},
      {1000000, 0xbfd6664b2568d867ull, 0x3fedf9df9906d32cull},
      {37 * kDegToRad, 0x3fe342119455beb6ull, 0x3fe98e6c0ea27a14ull},
  };
  for (const Trig& t : trig) {
    EXPECT_EQ(Bits(PlaySin(t.x)), t.sin) << t.x;
    EXPECT_EQ(Bits(PlayCos(t.x)), t.cos) << t.x;
  }
  struct Atan {
    double y, x;
    std::uint64_t bits;
  } atan[] = {
      {1, 1, 0x3fe921fb54442d18ull},
      {-3, 2, 0xbfef730bd281f69bull},
      {0.5, -7, 0x40088ff1ae5a77dcull},
      {-0.001, -4, 0xc009217841d5c35bull},
  };
  for (const Atan& a : atan) EXPECT_EQ(Bits(PlayAtan2(a.y, a.x)), a.bits) << a.y << " " << a.x;
}

}  // namespace
