#include "foundation/status_arith.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(StatusArithTest, OperatorsWrapAtTheirWidthAndNeverTrap) {
  struct Row {
    int target, a, op, min, max, want;
  } ints[] = {
      {999999, 3000, ASSIGN_MUL, 0, 999999, 999999},  // wrapped negative: the maximum
      {999999, 4295, ASSIGN_MUL, 0, 999999, 28409},   // wrapped positive: kept
      {-2, INT_MAX, ASSIGN_MUL, -50, 50, -50},         // signs differ, positive: the minimum
      {-3, 4, ASSIGN_MUL, -50, 50, -12},
      {INT_MAX, 1, ASSIGN_ADD, INT_MIN, INT_MAX, INT_MIN},
      {INT_MIN, 1, ASSIGN_SUB, INT_MIN, INT_MAX, INT_MAX},
      {77, 0, ASSIGN_DIV, 0, 999999, 77},
      {77, 0, ASSIGN_MOD, 0, 999999, 77},
      {-7, 2, ASSIGN_DIV, INT_MIN, INT_MAX, -3},
      {-7, 3, ASSIGN_MOD, INT_MIN, INT_MAX, -1},
      {INT_MIN, -1, ASSIGN_DIV, INT_MIN, INT_MAX, INT_MIN},
      {INT_MIN, -1, ASSIGN_MOD, INT_MIN, INT_MAX, 0},
      {250, 10, ASSIGN_PERCENT, 0, 999999, 25},
      {5, 10, ASSIGN_PERCENT, -9, 9, 1},    // 0.5 rounds away from zero
      {-5, 10, ASSIGN_PERCENT, -9, 9, -1},
      {5, 9, 7, 0, 3, 3},                    // an unknown operator keeps, then clamps
      {5, 9, ASSIGN_SET, 0, 999999, 9},
  };
  for (const Row& r : ints) {
    std::int32_t v = r.target;
    ApplyOpInt(v, r.a, r.op, r.min, r.max);
    EXPECT_EQ(v, r.want) << r.target << " op " << r.op << " " << r.a;
  }
  struct Narrow {
    int target, a, op, min, max, want;
  } bytes[] = {
      {50, 50, ASSIGN_PERCENT, 0, 99, 0},  // 2500 wraps to -60 in a byte
      {50, 6, ASSIGN_MUL, 0, 99, 44},
      {10, 52, ASSIGN_MUL, -20, 20, 8},
      {7, 50, ASSIGN_PERCENT, 0, 99, 1},
      {-128, -1, ASSIGN_DIV, -128, 127, -128},
      {100, 100, ASSIGN_ADD, -128, 127, -56},
  };
  for (const Narrow& r : bytes) {
    std::int8_t v = static_cast<std::int8_t>(r.target);
    ApplyOpChar(v, static_cast<std::int8_t>(r.a), r.op, r.min, r.max);
    EXPECT_EQ(v, r.want) << r.target << " op " << r.op << " " << r.a;
  }
  std::int16_t stop = 200;
  ApplyOpShort(stop, 200, ASSIGN_PERCENT, 0, 200);  // 40000 wraps to -25536
  EXPECT_EQ(stop, 0);
  stop = 30000;
  ApplyOpShort(stop, 3, ASSIGN_MUL, 0, 200);
  EXPECT_EQ(stop, 200);
}

TEST(StatusArithTest, ComparisonsInTheLeftSidesWidth) {
  EXPECT_EQ(CompareChar(44, 300, COMPARE_EQUAL), 1);
  EXPECT_EQ(CompareByOp(44, 300, COMPARE_EQUAL), 0);
  EXPECT_EQ(CompareShort(100, 65636, COMPARE_EQUAL), 1);
  EXPECT_EQ(CompareStatusInt(5, 0, 30, 1, COMPARE_EQUAL, -999999, 999999), 0);  // against 0
  EXPECT_EQ(CompareStatusInt(0, 0, 30, 1, COMPARE_EQUAL, -999999, 999999), 1);
  EXPECT_EQ(CompareStatusShort(30, 0, 30, 0, COMPARE_EQUAL, 0, 200), 1);
  EXPECT_EQ(PercentOfChar(7, 50), 1);
  EXPECT_EQ(PercentOf(300, 50), 150);
  EXPECT_EQ(PercentOfShort(200, 200), -255);
}

}  // namespace
