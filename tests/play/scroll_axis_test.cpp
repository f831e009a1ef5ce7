#include "play/scroll_axis.h"

#include <gtest/gtest.h>

#include "play/map_cells.h"
#include "tests/objects/play_world.h"

namespace {

TEST(ScrollAxisTest, StrideAndShiftOfTheGrid) {
  struct Case {
    int width, shift, stride;
  } cases[] = {{20, 6, 64}, {44, 6, 64}, {45, 7, 128}, {0, 5, 32}, {-3, 5, 32}, {108, 7, 128}};
  for (const Case& c : cases) {
    cScrollAxis x;
    x.SetUpX(c.width, c.width * 32);
    EXPECT_EQ(x.m_nShift, c.shift) << c.width;
    EXPECT_EQ(x.m_nStride, c.stride) << c.width;
  }
  cScrollAxis y;
  y.SetUpY(15, 480);
  EXPECT_EQ(y.m_nShift, 0);
  EXPECT_EQ(y.m_nStride, 35);
  EXPECT_EQ(y.m_nEnd, 800);
  EXPECT_EQ(y.m_nMapSize, 1120);
  cScrollAxis empty;
  empty.SetUpX(-4, 0);
  EXPECT_EQ(empty.m_nEnd, 320);  // (0 + 10) x 32: a negative width counts as 0
}

TEST(ScrollAxisTest, ClampAndLimits) {
  cScrollAxis x;
  x.SetUpX(40, 40 * 32);
  x.SetLimits(5, 2, 1, 1);  // high left of low: a range of no width at the low limit
  EXPECT_EQ(x.m_nMin, 480);
  EXPECT_EQ(x.m_nMax, 480);
  x.SetLimits(0, 0, 0, 0);
  EXPECT_EQ(x.m_nMin, 320);
  EXPECT_EQ(x.m_nMax, 1600);
  struct Case {
    int min, max;
    double pos, want;
    int atLimit;
  } cases[] = {
      {320, 1600, 100, 320, 1},    // below min
      {320, 1600, 960, 960, 1},    // exactly at max - screen
      {320, 1600, 959.5, 959.5, 0},
      {320, 700, 500, 320, 1},     // a range narrower than the screen
  };
  for (const Case& c : cases) {
    x.m_nMin = c.min;
    x.m_nMax = c.max;
    x.m_dPos = c.pos;
    x.Clamp();
    EXPECT_EQ(x.m_dPos, c.want) << c.pos;
    EXPECT_EQ(x.m_bAtLimit, c.atLimit) << c.pos;
  }
}

TEST(ScrollAxisTest, AutoScrollSpeedPerSubStep) {
  cScopedStageUnits units;
  g_Stage.SetSpeedLevel(2);
  cScrollAxis x;
  x.SetUpX(100, 3200);
  x.SetLimits(0, 0, 0, 0);
  x.m_dPos = 320;
  x.SetSpeed(1, 10);
  EXPECT_EQ(x.m_dSpeed, 0.5);
  EXPECT_EQ(x.m_bAuto, 1);
  x.Step();
  x.Step();
  EXPECT_EQ(x.m_dPos, 321);
  x.SetSpeed(0, 10);
  EXPECT_EQ(x.m_dSpeed, 0);
  EXPECT_EQ(x.m_bAuto, 0);
}

// A fresh grid of width x height cells with the axes bound to it, the old grid back when the
// test ends.
class cScopedGrid {
 public:
  cScopedGrid(int width, int height) {
    m_Axes.x.SetUpX(width, width * 32);
    m_Axes.y.SetUpY(height, height * 32);
    m_bMade = ResetMapCells(width, height);
  }
  bool m_bMade = false;

 private:
  cScopedValue<cVector<cMapCell>> m_Cells{g_MapCells};
  cScopedValue<cVector<sCellHit>> m_Hits{g_MapCellHits};
  cScopedAxes m_Axes;
};

TEST(MapCellsTest, GridLayoutAndReadsOutsideIt) {
  cScopedGrid grid(20, 3);
  ASSERT_TRUE(grid.m_bMade);
  EXPECT_EQ(g_MapCells.size(), 23u * 64);
  for (const cMapCell& cell : g_MapCells) {
    EXPECT_EQ(cell.m_nHitMode, 0);
    EXPECT_EQ(cell.m_sGraphic, 0);
  }
  cMapCell* cell = MapCellAtBlock(19, 2);
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(cell, &g_MapCells[(2 + 10) * 64 + 19 + 10]);
  cell->m_nHitMode = BLOCK_HIT_SOLID;
  EXPECT_EQ(MapCellIndex((19 + 10) * 32 + 31, (2 + 10) * 32), (2 + 10) * 64 + 29);
  EXPECT_EQ(&MapCellAt(MapCellIndex((19 + 10) * 32 + 31, (2 + 10) * 32)), cell);
  EXPECT_EQ(MapCellAtBlock(20, 2), nullptr);
  EXPECT_EQ(MapCellAtBlock(-1, 0), nullptr);
  EXPECT_EQ(MapCellAtBlock(0, 3), nullptr);
  // Outside the vector (an object far above the map): an empty cell, and the program goes on.
  for (std::int64_t index : {std::int64_t{-1}, std::int64_t{-5000}, std::int64_t{23 * 64}}) {
    cMapCell& outside = MapCellAt(index);
    EXPECT_EQ(outside.GetHitMode(1), 0);
    outside.m_nHitMode = BLOCK_HIT_SOLID;  // what a reader leaves there does not last
    EXPECT_EQ(MapCellAt(index).GetHitMode(1), 0);
    EXPECT_EQ(MapCellHitMode(index, 1), 0);
  }
  // A column at or past the stride inside the vector reads the cell of the next row.
  EXPECT_EQ(&MapCellAt(64 + 3), &g_MapCells[64 + 3]);
}

// The probes' table holds a cell's hit mode and pass group in a byte; whatever a damaged or
// unusual block holds, the probes answer as the cell does.
TEST(MapCellsTest, ProbesAnswerAsTheCellForEveryHitModeAndPassGroup) {
  cScopedGrid grid(4, 1);
  ASSERT_TRUE(grid.m_bMade);
  cMapCell& cell = *MapCellAtBlock(0, 0);
  const std::int64_t index = &cell - g_MapCells.data();
  for (int mode : {0, 1, 2, 3, 4, 127, 200, 255}) {
    for (int pass : {0, 3, 7, 15, 16, 127, 128, 200, 254, 255}) {
      cell.m_nHitMode = static_cast<std::uint8_t>(mode);
      cell.m_nPassGroup = static_cast<std::uint8_t>(pass);
      RefreshMapCellHit(cell);
      for (int group : {-56, -1, 0, 3, 7, 15, 16, 200, 255})
        ASSERT_EQ(MapCellHitMode(index, group), cell.GetHitMode(group))
            << "mode " << mode << " pass " << pass << " group " << group;
    }
  }
}

TEST(MapCellsTest, OversizedGridIsRefused) {
  cScopedValue<cVector<cMapCell>> cells(g_MapCells);
  cScopedValue<cVector<sCellHit>> hits(g_MapCellHits);
  EXPECT_FALSE(ResetMapCells(5000, 5000));
  EXPECT_TRUE(g_MapCells.empty());
  EXPECT_FALSE(ResetMapCells(2147483647, 1));
  EXPECT_TRUE(ResetMapCells(-5, -5));
  EXPECT_EQ(g_MapCells.size(), 20u * 32);
}

}  // namespace
