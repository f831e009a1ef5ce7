#include "objects/object.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "foundation/play_math.h"
#include "tests/objects/play_world.h"

namespace {

class ObjectTest : public cPlayWorld {
 protected:
  void SetUp() override { MakeMap(20, 15); }
  // A 16 x 24 box in a 32 x 32 cell (offsets 8 and 8).
  static void Shape(cObject& o, int moveKind = MOVE_GROUND) {
    o.SetUpBase(1, 1, 0, 1, 0, nullptr, 0, 8, 8, 16, 24, 32, 32, 0, moveKind, 0);
  }
};

// A scale change that records its virtual calls.
class cScaleProbe : public cObject {
 public:
  void OnScaled(int scale) override { ++scaled; }
  void AdjustYForScale(int, int) override { ++adjusted; }
  int scaled = 0, adjusted = 0;
};

TEST_F(ObjectTest, ClampXByModeAndPlace) {
  // Map 0..1280 (20 cells and 640 of margins), stage area 320..960, scroll range 384..800.
  m_Axes.x.SetLimits(2, 14, 1, 1);
  ASSERT_EQ(m_Axes.x.m_nMin, 384);
  ASSERT_EQ(m_Axes.x.m_nMax, 800);
  struct Case {
    int mode;
    double x, wantX;
    int code;
  } cases[] = {
      {CLAMP_SCROLL, 300, 384, 0},  {CLAMP_SCROLL, 790, 784, 0},   {CLAMP_SCROLL, 500, 500, 0},
      {CLAMP_STAGE, 100, 320, 0},   {CLAMP_STAGE, 950, 944, 0},    {CLAMP_STAGE, 350, 350, 1},
      {CLAMP_STAGE, 500, 500, 0},   {CLAMP_MAP, -0.5, 0, 3},       {CLAMP_MAP, 1270, 1264, 3},
      {CLAMP_MAP, 100, 100, 2},     {CLAMP_MAP, 950, 950, 2},      {CLAMP_MAP, 330, 330, 1},
      {CLAMP_MAP, 500, 500, 0},     {CLAMP_MAP, 785, 785, 1},      {7, -50, -50, 0},
  };
  for (const Case& c : cases) {
    cObject o;
    Shape(o);
    o.m_dX = c.x;
    EXPECT_EQ(o.ClampX(c.mode), c.code) << c.mode << " " << c.x;
    EXPECT_EQ(o.m_dX, c.wantX) << c.mode << " " << c.x;
    EXPECT_EQ(o.m_dRight, c.wantX + 15);
    EXPECT_EQ(o.m_nLeftCell, static_cast<int>(c.wantX) >> 5);
  }
}

TEST_F(ObjectTest, ClampYByModeAndPlace) {
  // Map 0..1120 (15 cells and 640), stage area 320..800, scroll range 352..704.
  m_Axes.y.SetLimits(1, 11, 1, 1);
  struct Case {
    int mode, height;
    double y, wantY;
    int code;
  } cases[] = {
      {CLAMP_STAGE, 24, 340, 340, 1},    {CLAMP_STAGE, 24, 690, 690, 4},
      {CLAMP_STAGE, 24, 10, 320, 0},     {CLAMP_MAP, 24, -3, 0, 3},
      {CLAMP_MAP, 320, -3, -3, 0},       {CLAMP_MAP, 24, 1110, 1096, 6},
      {CLAMP_MAP, 320, 1000, 1000, 0},   {CLAMP_MAP, 24, 100, 100, 2},
      {CLAMP_MAP, 24, 790, 790, 5},      {CLAMP_MAP, 24, 340, 340, 1},
      {CLAMP_MAP, 24, 690, 690, 4},      {CLAMP_MAP, 24, 400, 400, 0},
  };
  for (const Case& c : cases) {
    cObject o;
    o.SetUpBase(1, 1, 0, 1, 0, nullptr, 0, 0, 0, 16, c.height, 32, 32, 0, 0, 0);
    o.m_dY = c.y;
    EXPECT_EQ(o.ClampY(c.mode), c.code) << c.mode << " " << c.y << " h " << c.height;
    EXPECT_EQ(o.m_dY, c.wantY) << c.mode << " " << c.y;
    EXPECT_EQ(o.m_dBottom, c.wantY + c.height - 1);
  }
}

TEST_F(ObjectTest, MoveLimitsSpeedAndTakesNaNAsRest) {
  cObject o;
  Shape(o);
  o.m_dX = 500;
  o.m_dVX = 10;  // the limit is 6 at speed levels 1 to 10
  EXPECT_EQ(o.MoveX(CLAMP_MAP), 0);
  EXPECT_EQ(o.m_dX, 506);
  EXPECT_EQ(o.m_dVX, 6);
  o.m_dVX = -std::numeric_limits<double>::infinity();
  o.MoveX(CLAMP_MAP);
  EXPECT_EQ(o.m_dX, 500);
  o.m_dY = 400;
  o.m_dVY = std::nan("");
  o.MoveY(CLAMP_MAP);
  EXPECT_EQ(o.m_dY, 400);
  EXPECT_EQ(o.m_dVY, 0);
}

TEST_F(ObjectTest, ScaleMovesCentreAndDoublesSizesOnlyOnChange) {
  cScaleProbe o;
  Shape(o);
  o.SetUpBase(1, 1, 0, 1, 0, nullptr, 0, 0, 8, 32, 24, 32, 32, 0, 0, 0);
  o.m_dX = 500;
  o.Scale(1, 1);
  EXPECT_EQ(o.scaled + o.adjusted, 0);
  EXPECT_EQ(o.m_nWidth, 32);
  o.Scale(2, 1);
  EXPECT_EQ(o.m_dX, 484);
  EXPECT_EQ(o.m_nWidth, 64);
  EXPECT_EQ(o.m_nHeight, 48);
  EXPECT_EQ(o.m_Rect.m_nOffsetY, 16);
  EXPECT_EQ(o.m_Rect.m_nWidth, 64);
  EXPECT_EQ(o.m_nBaseWidth, 32);
  EXPECT_EQ(o.scaled, 1);
  EXPECT_EQ(o.adjusted, 1);
}

TEST_F(ObjectTest, MoveKindsAndFriction) {
  cObject o;
  Shape(o, MOVE_FLY_DIE);
  EXPECT_EQ(o.m_bNoGravity, 1);
  EXPECT_EQ(o.m_nBlockPass, BLOCKPASS_DIE);
  o.SetMoveKind(4);  // unknown kinds change nothing
  EXPECT_EQ(o.m_nBlockPass, BLOCKPASS_DIE);
  o.SetMoveKind(MOVE_GROUND);
  EXPECT_EQ(o.m_bNoGravity, 0);
  EXPECT_EQ(o.m_nBlockPass, BLOCKPASS_COLLIDE);

  o.m_dDecel = 0.1;
  for (double start : {0.05, -0.05, 0.3, -0.3}) {
    double v = start;
    o.ApplyFriction(v, 1);
    EXPECT_DOUBLE_EQ(v, std::fabs(start) < 0.1 ? 0.0 : start - std::copysign(0.1, start));
  }
  double v = 0.3;
  o.ApplyFriction(v, 0);
  EXPECT_EQ(v, 0.3);
}

TEST_F(ObjectTest, ScreenRectByFlyingScrollAndLimit) {
  // Camera at 400.7 / 350.7; box at 500.9 / 450.9 with offsets 8 and 8, cell 32.
  struct Case {
    int moveKind, screenBound;
    double speedX, speedY;
    int atLimitX, atLimitY;
    int left, top;
  } cases[] = {
      // on the ground: trunc((500.9 - 8) - 400) = 92
      {MOVE_GROUND, 0, 1, 1, 0, 0, 92, 92},
      // flying, no auto-scroll: trunc(500.9) - 400 - 8 = 92
      {MOVE_FLY, 0, 0, 0, 0, 0, 92, 92},
      // flying during auto-scroll, screen-bound: trunc(100.2) - 8 = 92; y one pixel lower
      {MOVE_FLY, 1, 1, 1, 0, 0, 92, 93},
      // flying during auto-scroll, not screen-bound: x as on the ground
      {MOVE_FLY, 0, 1, 1, 0, 0, 92, 93},
      // the axes at their limits: as without auto-scroll
      {MOVE_FLY, 1, 1, 1, 1, 1, 92, 92},
  };
  for (const Case& c : cases) {
    cObject o;
    Shape(o, c.moveKind);
    o.m_bScreenBound = c.screenBound;
    o.m_dX = 500.9;
    o.m_dY = 450.9;
    m_Axes.x.m_dPos = 400.7;
    m_Axes.y.m_dPos = 350.7;
    m_Axes.x.m_dSpeed = c.speedX;
    m_Axes.y.m_dSpeed = c.speedY;
    m_Axes.x.m_bAtLimit = c.atLimitX;
    m_Axes.y.m_bAtLimit = c.atLimitY;
    o.UpdateScreenRect();
    EXPECT_EQ(o.m_Rect.m_nLeft, c.left) << c.moveKind << c.screenBound << c.speedX;
    EXPECT_EQ(o.m_Rect.m_nTop, c.top) << c.moveKind << c.screenBound << c.speedY;
    EXPECT_EQ(o.m_Rect.m_nRight, c.left + 31);
    EXPECT_EQ(o.m_Rect.m_nBottom, c.top + 31);
  }
  // Negative fractions truncate toward zero: trunc((300.5 - 8) - 400) = -107.
  cObject o;
  Shape(o);
  o.m_dX = 300.5;
  m_Axes.x.m_dPos = 400.7;
  o.UpdateScreenRect();
  EXPECT_EQ(o.m_Rect.m_nLeft, -107);
}

TEST_F(ObjectTest, FarOffScreenPerSide) {
  cEraseArea area;
  area.Set(1, 1, 1, 1, 2, 2, 2, 2);  // 64 pixels beyond each side
  m_Axes.x.m_dPos = 400;
  m_Axes.y.m_dPos = 350;
  struct Case {
    double x, y;
    int far;
  } cases[] = {
      {321, 400, 1},  // right edge 336 at the left limit 336
      {322, 400, 0},
      {1104, 400, 1},  // left edge at the right limit 1104
      {1103, 400, 0},
      {500, 894, 1},  // top at the bottom limit 894
      {500, 893, 0},
      {500, 263, 1},  // bottom 286 at the top limit 286
      {500, 264, 0},
  };
  for (const Case& c : cases) {
    cObject o;
    Shape(o);
    o.m_dX = c.x;
    o.m_dY = c.y;
    o.ClampX(-1);
    o.ClampY(-1);
    EXPECT_EQ(o.IsFarOffScreen(area), c.far) << c.x << " " << c.y;
  }
  // At the map's edge an object is far off unless it is on screen.
  cEraseArea none;
  cObject o;
  Shape(o);
  o.m_dX = 0;
  o.m_dY = 400;
  o.ClampX(-1);
  o.ClampY(-1);
  EXPECT_EQ(o.IsFarOffScreen(none), 1);
  o.m_bOnScreen = 1;
  EXPECT_EQ(o.IsFarOffScreen(none), 0);
}

TEST_F(ObjectTest, BlockCornersStopAtTheFirstBlockingCorner) {
  // A block whose appearance condition counts its tests through the subject service.
  static int tests;
  tests = 0;
  sConditionServices services;
  services.pReadVariable = [](int, int, cCharaBase*) -> std::int32_t {
    ++tests;
    return 1;
  };
  cScopedObjectServices restore;
  SetConditionServices(services);
  cEdCond cond;
  cond.m_nKind = COND_COMMON_VAR;
  cond.m_nConst = 1;
  for (auto [col, row] : {std::pair{2, 3}, std::pair{2, 4}, std::pair{3, 3}}) {
    PutSolid(col, row);
    MapCellAtBlock(col, row)->m_Conds.push_back(cond);
    RefreshMapCellHit(*MapCellAtBlock(col, row));
  }
  cObject o;
  Shape(o);
  o.m_dX = (2 + 10) * 32 + 20;  // columns 2 and 3
  o.m_dY = (3 + 10) * 32 + 20;  // rows 3 and 4
  o.ClampX(-1);
  o.ClampY(-1);
  EXPECT_EQ(o.HitBlockCorners(), 1);
  EXPECT_EQ(tests, 1);

  // Far above the map the corner rows are negative: the cells read as empty.
  cObject tall;
  tall.SetUpBase(1, 1, 0, 1, 0, nullptr, 0, 0, 0, 16, 400, 32, 32, 0, 0, 0);
  tall.m_dX = 500;
  tall.m_dY = -3000;
  tall.ClampX(-1);
  tall.ClampY(CLAMP_MAP);
  EXPECT_EQ(tall.HitBlockCorners(), 0);
}

TEST_F(ObjectTest, VisibilityAndAreaTests) {
  // Camera at (400, 350); map 1280 x 1120; stage area 320..960 x 320..800. Box 16 x 24.
  m_Axes.x.m_dPos = 400;
  m_Axes.y.m_dPos = 350;
  struct Case {
    double x, y;
    int onScreen, onScreenIgnoringX, inStage, inMap;
  } cases[] = {
      {500, 400, 1, 1, 1, 1},
      {385, 400, 1, 1, 1, 1},    // right edge 400 on the camera's left edge
      {384, 400, 0, 1, 1, 1},
      {1040, 400, 0, 1, 0, 1},   // x 1040 = camera + 640
      {500, 327, 1, 1, 1, 1},    // bottom 350
      {500, 326, 0, 0, 1, 1},
      {300, 400, 0, 1, 0, 1},    // in the margin
      {-1, 400, 0, 1, 0, 0},
      {1265, 1096, 0, 0, 0, 0},  // right edge 1280: beyond the map
  };
  for (const Case& c : cases) {
    cObject o;
    Shape(o);
    o.m_dX = c.x;
    o.m_dY = c.y;
    o.ClampX(-1);
    o.ClampY(-1);
    EXPECT_EQ(o.IsOnScreen(), c.onScreen) << c.x << " " << c.y;
    EXPECT_EQ(o.IsOnScreenAxes(1, 0), c.onScreenIgnoringX) << c.x << " " << c.y;
    EXPECT_EQ(o.IsOnScreenAxes(1, 1), 1);
    EXPECT_EQ(o.IsInStage(0), c.inStage) << c.x << " " << c.y;
    EXPECT_EQ(o.IsInStage(1), c.inMap) << c.x << " " << c.y;
  }
  cObject o;
  Shape(o);
  o.m_dX = 500;
  o.m_dY = 400;
  o.ClampX(-1);
  o.ClampY(-1);
  EXPECT_EQ(o.InRect(515, 423, 600, 600), 1);  // closed: the corner pixel touches
  EXPECT_EQ(o.InRect(516, 400, 600, 600), 0);
  EXPECT_EQ(o.InRect(0, 0, 500, 400), 1);
  EXPECT_EQ(o.InRect(0, 0, 499.5, 400), 0);
  EXPECT_EQ(o.GetFacingSign(), -1);
  const sDRect box{10, 10, 20, 20};
  EXPECT_TRUE(box.Overlaps({20, 20, 30, 30}));  // closed on both axes
  EXPECT_FALSE(box.Overlaps({20.5, 0, 30, 30}));
  EXPECT_FALSE(box.Overlaps({0, 0, 30, 9.5}));
  EXPECT_TRUE(box.Overlaps({12, 12, 13, 13}));
  o.m_nFacing = 5;
  EXPECT_EQ(o.GetFacingSign(), 1);
}

TEST_F(ObjectTest, WaveValuesAndPhaseWrap) {
  g_Stage.SetSpeedLevel(2);
  double phase = 0;
  // w = 90 degrees per unit in radians; result w cos(0) A / N.
  const double w = 90 * kDegToRad;
  EXPECT_DOUBLE_EQ(CalcWavePos(4, 90, phase, 300, 0), w * 4 / 2);
  EXPECT_EQ(phase, 300);
  CalcWavePos(4, 90, phase, 420, 0);
  EXPECT_EQ(phase, 0);  // 720 = 360 N wraps to 0
  phase = 2;  // p / N = 1: cos(w) is 0 to within rounding
  EXPECT_NEAR(CalcWavePos(4, 90, phase, 1, 0), 0, 1e-15);
  phase = 0;
  EXPECT_DOUBLE_EQ(CalcWaveAccel(4, 90, phase, 1, 1), -(w * PlaySin(w) * (w / 2) * 4) / 2);
  EXPECT_EQ(PerFrameToPerSubStep(3), 3 / 2.0 * 0.016666666666666666);
}

}  // namespace
