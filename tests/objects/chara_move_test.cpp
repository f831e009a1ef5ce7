#include <gtest/gtest.h>

#include <cmath>

#include "objects/chara.h"
#include "tests/objects/play_world.h"

namespace {

class CharaMoveTest : public cPlayWorld {
 protected:
  void SetUp() override { MakeMap(30, 20); }
  static void Shape(cChara& ch, int height = 24) {
    ch.SetUpBase(1, 1, 0, 1, 0, nullptr, 0, 8, 8, 16, height, 32, 32, 0, 0, 0);
  }
};

TEST_F(CharaMoveTest, JumpSpeedsAndTimes) {
  struct Case {
    int level;
    double gravity;
    int control;
    double height, speed;
  } cases[] = {
      {1, 0.5, 1, 64, (-0.5 - std::sqrt(256.25)) * 0.5},
      {1, 0.5, 0, 64, (-0.5 - std::sqrt(256.25)) * 0.5 * (0.99 - 0.5 * 0.025)},
      {1, 0.5, 1, -10, 0},  // no rise below the feet: rest, not NaN
      {2, 0.5, 1, 64, (-0.125 - std::sqrt((512 + 0.125) * 0.125)) * 0.5},
      {1, 0, 1, 64, 0},
  };
  for (const Case& c : cases) {
    MakeMap(30, 20, c.level, c.gravity);
    cChara ch;
    ch.m_nControl = c.control;
    const double u = ch.JumpSpeed(c.height);
    EXPECT_DOUBLE_EQ(u, c.speed) << c.level << " " << c.gravity << " " << c.height;
    EXPECT_FALSE(std::isnan(u));
  }
  MakeMap(30, 20, 1, 0.5);
  cChara ch;
  ch.m_nControl = 1;
  EXPECT_EQ(HalfBlocksToPixels(-3), -48);
  EXPECT_EQ(ch.JumpSpeedFromHalfBlocks(4), ch.JumpSpeed(64));
  EXPECT_EQ(SubStepsToTop(ch.JumpSpeed(64)), 17);  // trunc(1 + 8.2539 / 0.5)
  EXPECT_EQ(ch.JumpTimeTenths(4), 3);
  // With gravity added before each move, the rise peaks 64 pixels up.
  double v = ch.JumpSpeed(64), y = 0;
  while (v + g_dGravity < 0) {
    v += g_dGravity;
    y += v;
  }
  EXPECT_NEAR(y, -64, 0.5);
  // Gravity 0: the processor's results, no NaN in a position.
  MakeMap(30, 20, 2, 0);
  EXPECT_EQ(SubStepsToTop(ch.JumpSpeed(64)), INT32_MIN);
  EXPECT_EQ(ch.JumpTimeTenths(4), INT32_MIN / 2 / 6 + 1);
}

TEST_F(CharaMoveTest, KnockbackStrengthAndDirection) {
  struct Case {
    int impact, resist;
    double dirX, dirY;
    int strength;  // half-blocks the push must cover, signed along the direction
    double shareX;
  } cases[] = {
      {5, 8, 1, 0, 0, 1},        {30, 2, 1, 0, 20, 1},     {-10, 3, 1, 0, -7, 1},
      {-30, 0, 1, 0, -20, 1},    {-2, 5, 1, 0, 0, 1},      {8, -4, 1, 0, 12, 1},
      {8, 0, 0, 4, 8, 0},        {8, 0, 3, -1, 8, 0.75},
  };
  for (const Case& c : cases) {
    cChara ch;
    ch.m_Def.m_nImpactResist = static_cast<std::uint8_t>(c.resist);
    ch.ApplyKnockback(c.impact, c.dirX, c.dirY);
    EXPECT_EQ(ch.m_bKnockedBack, 1);
    // The push covers 16 x |part| pixels: (N v^2 + v) / 2 at N = 1.
    const double ax = c.strength * c.dirX / (std::fabs(c.dirX) + std::fabs(c.dirY));
    const double ay = c.strength * c.dirY / (std::fabs(c.dirX) + std::fabs(c.dirY));
    const double px = std::fabs(ch.m_dPushX), py = std::fabs(ch.m_dPushY);
    EXPECT_NEAR((px * px + px) / 2, 16 * std::fabs(ax), 1e-9) << c.impact << " " << c.resist;
    EXPECT_NEAR((py * py + py) / 2, 16 * std::fabs(ay), 1e-9) << c.impact << " " << c.resist;
    EXPECT_EQ(std::signbit(ch.m_dPushX), ax < 0);
    EXPECT_NEAR(std::fabs(ax), std::fabs(c.strength) * c.shareX, 1e-12);
  }
  // No impact: nothing at all.
  cChara still;
  still.ApplyKnockback(0, 1, 0);
  EXPECT_EQ(still.m_bKnockedBack, 0);
}

TEST_F(CharaMoveTest, KnockbackClearsOnlyOpposingSpeeds) {
  struct Case {
    double inertiaX, vy, dirY;
    bool keepsInertia, keepsVy;
  } cases[] = {
      {-1, 2, -1, false, false},  // toward the attacker; falling against an upward push
      {1, -2, -1, true, true},    // moving away; rising with the push
      {1e-9, 2, 0, true, true},   // below the threshold, no vertical push
  };
  for (const Case& c : cases) {
    cChara ch;
    ch.m_dInertiaX = c.inertiaX;
    ch.m_dVY = c.vy;
    ch.ApplyKnockback(4, 1, c.dirY);
    EXPECT_EQ(ch.m_dInertiaX == c.inertiaX, c.keepsInertia) << c.inertiaX;
    EXPECT_EQ(ch.m_dVY == c.vy, c.keepsVy) << c.vy;
  }
}

TEST_F(CharaMoveTest, PushDecayCoversTheStrength) {
  for (int level : {1, 3, 10}) {
    MakeMap(30, 20, level);
    for (int strength : {1, 5, 20}) {
      cChara ch;
      ch.ApplyKnockback(strength, -1, 0);
      double moved = 0;
      int steps = 0;
      while (ch.m_dPushX != 0 && steps < 100000) {
        moved += ch.m_dPushX;
        ch.DecayPushX();
        ++steps;
      }
      EXPECT_NEAR(moved, -16.0 * strength, 1.0 / level + 1e-9) << level << " " << strength;
    }
  }
}

TEST_F(CharaMoveTest, LandingAndHeadBump) {
  cChara ch;
  Shape(ch);
  ch.m_nControl = 1;
  ch.m_dY = 77;  // bottom at pixel 100 of row 3
  ch.ClampY(-1);
  ch.m_dVY = 3;
  ch.m_bAirLock = ch.m_bJumping = ch.m_bKnockedBack = ch.m_bHeadBumped = 1;
  ch.m_nAirTimer = 9;
  ch.OnLand();
  ch.ClampY(-1);
  EXPECT_EQ(ch.m_dBottom, 95);
  EXPECT_EQ(ch.m_dVY, 0);
  EXPECT_EQ(ch.m_bContactBottom, 1);
  EXPECT_EQ(ch.m_bAirLock + ch.m_bJumping + ch.m_bKnockedBack + ch.m_bHeadBumped + ch.m_nAirTimer, 0);

  for (int compat : {0, 1}) {
    g_SystemData.bCompatCeiling = compat;
    cChara head;
    Shape(head);
    head.m_dY = 70;
    head.m_dPushY = -2;
    head.OnHitCeiling();
    EXPECT_EQ(head.m_dY, 96);
    EXPECT_EQ(head.m_bRiseEnded + head.m_bJumping + head.m_bHeadBumped + head.m_bContactTop, 4);
    EXPECT_EQ(head.m_dPushY, compat ? -2 : 0);
  }
}

TEST_F(CharaMoveTest, GravityAndVerticalPush) {
  struct Gravity {
    int noGravity, riding, gravityOff;
    double pushY;
    bool falls;
  } gravity[] = {
      {0, 0, 0, 0, true}, {1, 0, 0, 0, false}, {0, 1, 0, 0, false},
      {0, 0, 1, 0, false}, {0, 0, 0, -1, false}, {0, 0, 0, 1, true},
  };
  for (const Gravity& g : gravity) {
    cChara ch;
    ch.m_bNoGravity = g.noGravity;
    ch.m_bRiding = g.riding;
    ch.m_bGravityOff = g.gravityOff;
    ch.m_dPushY = g.pushY;
    ch.ApplyCharaGravity();
    EXPECT_EQ(ch.m_dVY, g.falls ? g_dGravity : 0);
  }
  PutSolid(3, 5);
  cChara standing;
  Shape(standing);
  standing.m_pGroundBlock = MapCellAtBlock(3, 5);
  standing.m_dPushY = 2;
  standing.ApplyPushY();
  EXPECT_EQ(standing.m_dPushY, 0);
  EXPECT_EQ(standing.m_dVY, 0);
  cChara overGap;
  Shape(overGap);
  overGap.m_pGroundBlock = MapCellAtBlock(4, 5);  // empty
  overGap.m_dVY = 1;
  overGap.m_dPushY = 2;
  overGap.ApplyPushY();
  EXPECT_EQ(overGap.m_dVY, 3);
  overGap.m_dVY += 0.5;  // gravity of the sub-step
  overGap.DecayPushY();
  overGap.ApplyPushY();  // the new push replaces the last one
  EXPECT_EQ(overGap.m_dVY, 3.5 - 2 + 1);
  EXPECT_EQ(overGap.m_dAppliedPushY, 1);
  cChara flying;
  flying.m_bNoGravity = 1;
  flying.m_dVY = 1;
  flying.m_dPushY = 2;
  flying.ApplyPushY();
  EXPECT_EQ(flying.m_dVY, 3);
}

TEST_F(CharaMoveTest, RidingSavedPositionAndContacts) {
  cChara ch;
  Shape(ch);
  ch.m_dX = 400;
  ch.m_dY = 500;
  ch.ClampX(-1);
  ch.ClampY(-1);
  ch.SavePos();
  ch.m_dX = ch.m_dY = ch.m_dRight = ch.m_dBottom = 0;
  ch.RestorePos();
  EXPECT_EQ(ch.m_dX, 400);
  EXPECT_EQ(ch.m_dBottom, 523);
  ch.m_bRiding = 1;
  EXPECT_EQ(ch.IsOnGround(), 1);
  ch.m_dVY = 2;
  ch.m_dPushY = 1;
  ch.Unride(0);
  EXPECT_EQ(ch.m_dVY, 2);  // a push keeps its speed
  EXPECT_EQ(ch.m_bDismounted, 0);
  EXPECT_EQ(ch.IsOnGround(), 0);
  ch.m_dPushY = 0;
  ch.Unride(1);
  EXPECT_EQ(ch.m_dVY, 0);
  EXPECT_EQ(ch.m_bDismounted, 1);
  ch.m_bContactLeft = ch.m_bContactBottom = 1;
  ch.ClearContacts();
  EXPECT_EQ(ch.m_bContactLeft + ch.m_bContactBottom, 0);
}

}  // namespace
