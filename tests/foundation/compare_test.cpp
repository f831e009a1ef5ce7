#include "foundation/compare.h"

#include <gtest/gtest.h>

#include <climits>

TEST(CompareByOp, AllCodesWithExtremes) {
  struct Case {
    int op;
    std::int32_t a, b;
    bool expected;
  } cases[] = {
      {0, 3, 3, true},         {0, 3, 4, false},       {1, 3, 4, true},
      {2, 4, 4, true},         {2, 3, 4, false},       {3, INT_MIN, INT_MAX, true},
      {4, INT_MAX, INT_MIN, true}, {5, INT_MIN, INT_MAX, true}, {5, 1, 1, false},
      {6, 9, 3, true},         {6, -9, 3, true},       {6, 7, 0, true},
      {6, 7, 2, false},        {6, INT_MIN, -1, true}, {6, INT_MIN, 2, true},
      {7, 7, 2, true},         {7, 7, 0, false},       {7, INT_MIN, -1, false},
      {7, -7, 2, true},        {8, 1, 1, false},       {-1, 1, 1, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CompareByOp(c.a, c.b, static_cast<eCompareOp>(c.op)), c.expected ? 1 : 0) << c.op << " " << c.a << " " << c.b;
}
