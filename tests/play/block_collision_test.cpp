#include "play/block_collision.h"

#include <gtest/gtest.h>

#include "content/palette.h"
#include "objects/play_units.h"
#include "stage_fixture.h"

namespace {

// A 20 x 15 stage set up for real, without objects; blocks are put into it by each test, and
// a box of 16 x 16 pixels is moved over them. Map pixel 320 is the stage's column 0.
class BlockTest : public cStageFixture {
 protected:
  void Build(int speedLevel) { SetUpStage(speedLevel); }
  // A computer character (control 1) or a player-controlled one (0), walking (move kind 0)
  // or flying, with a 16 x 16 box at (x, y).
  static void Box(cCharaBase& o, double x, double y, int control, int moveKind) {
    o.m_nControl = control;
    o.m_Def.m_nScale = 1;
    o.m_nWidth = o.m_nBaseWidth = 16;
    o.m_nHeight = o.m_nBaseHeight = 16;
    o.SetMoveKind(moveKind);
    o.m_dX = x;
    o.m_dY = y;
    o.m_dRight = x + 15;
    o.m_dBottom = y + 15;
  }

};

TEST_F(BlockTest, EdgesArePushedOntoTheNextLineKeepingTheirFraction) {
  Build(1);
  Put(3, 3, BLOCK_HIT_SOLID);  // map pixels 416..447, 416..447
  struct sCase {
    double x;
    double vx;
    double want;
    int left, right;
  };
  const sCase cases[] = {
      {420.3, -1, 448.3, 1, 0},        // the left edge inside: to the cell's right line
      {416.0, -1, 448.0, 1, 0},        // exactly on the line
      {479.7 - 15 - 32, 1, 400.7, 0, 1},  // the right edge at 447.7: 32 to the left
  };
  for (const sCase& c : cases) {
    cChara o;
    Box(o, c.x, 420, 1, MOVE_GROUND);
    o.m_dVX = c.vx;
    EXPECT_EQ(HitBlockSides(o), 0) << c.x;
    EXPECT_DOUBLE_EQ(o.m_dX, c.want) << c.x;
    EXPECT_EQ(o.m_bContactLeft, c.left) << c.x;
    EXPECT_EQ(o.m_bContactRight, c.right) << c.x;
    EXPECT_EQ(o.m_nBlockSide, c.left ? 0 : 1);
  }
}

TEST_F(BlockTest, WhoIsPushedAndWhoDies) {
  Build(1);
  Put(3, 3, BLOCK_HIT_SOLID);
  Put(3, 5, BLOCK_HIT_DEADLY);
  struct sCase {
    int control, moveKind, row;
    int want;  // 2 dies, 1 pushed, 0 untouched
  };
  const sCase cases[] = {
      {0, MOVE_GROUND, 3, 1},      {1, MOVE_GROUND, 3, 1},      {0, MOVE_GROUND, 5, 2},
      {1, MOVE_GROUND, 5, 1},      {1, MOVE_FLY_THROUGH, 3, 0}, {0, MOVE_FLY_THROUGH, 5, 0},
      {1, MOVE_FLY, 3, 1},         {1, MOVE_FLY, 5, 1},         {0, MOVE_FLY, 5, 2},
      {1, MOVE_FLY_DIE, 3, 2},     {1, MOVE_FLY_DIE, 5, 2},
  };
  for (const sCase& c : cases) {
    cChara o;
    const double y = (c.row + 10) * 32 + 4;
    Box(o, 420.3, y, c.control, c.moveKind);
    o.m_dVX = -1;
    const int result = HitBlockSides(o);
    const int got = result == 2 ? 2 : (o.m_dX != 420.3 ? 1 : 0);
    EXPECT_EQ(got, c.want) << c.control << " " << c.moveKind << " " << c.row;
  }
}

TEST_F(BlockTest, ARisingObjectLandsOnlyInOlderProjects) {
  Build(1);
  Put(3, 3, BLOCK_HIT_SOLID);
  for (int older : {0, 1}) {
    g_SystemData.bCompatBlockPushOut = older;
    cChara o;
    Box(o, 420, 416 - 8, 1, MOVE_GROUND);  // feet 8 pixels into the block
    o.m_dVY = -2;
    EXPECT_EQ(HitBlockTopBottom(o), 0);
    EXPECT_EQ(o.m_bContactBottom, older) << older;
    EXPECT_DOUBLE_EQ(o.m_dBottom, older ? 415 : 423) << older;
  }
}

TEST_F(BlockTest, TheAirborneLockComesAfterEightFramesWithoutGround) {
  for (int level : {1, 10}) {
    Build(level);
    for (int control : {0, 1}) {
      cChara o;
      Box(o, 420, 420, control, MOVE_GROUND);
      for (int step = 1; step < 8 * level; ++step) HitBlockBottom(o);
      EXPECT_EQ(o.m_bAirLock, 0) << level;
      HitBlockBottom(o);
      EXPECT_EQ(o.m_bAirLock, 1) << level;
      // A riding player's object never gets it.
      cChara rider;
      Box(rider, 420, 420, 0, MOVE_GROUND);
      rider.m_bRiding = 1;
      for (int step = 0; step < 8 * level; ++step) HitBlockBottom(rider);
      EXPECT_EQ(rider.m_bAirLock, 0);
    }
  }
}

TEST_F(BlockTest, AHeroOverALedgeTakesTheCellUnderItsMiddle) {
  Build(1);
  Put(3, 4, BLOCK_HIT_SOLID);
  Put(4, 4, BLOCK_HIT_SOLID);
  cChara o;
  Box(o, 440, 448 - 8, 0, MOVE_GROUND);  // 440..455 over the line at 448
  o.m_nWidth = 16;
  const std::int64_t cell = FindFloorCell(o);
  EXPECT_EQ(&MapCellAt(cell), MapCellAtBlock(4, 4));
  // A size below 1 has no samples.
  o.m_Def.m_nScale = 0;
  EXPECT_EQ(FindFloorCell(o), 0);
  int mode = 0;
  o.m_Def.m_nScale = 0xFF;  // -1 as a signed byte
  EXPECT_EQ(FindCellOnEdge(o, 440, 448, 455, 448, mode), 0);
}

TEST_F(BlockTest, ASpeedBlockActsOnTheBlockAndForOneFrameAfter) {
  for (int level : {1, 10}) {
    Build(level);
    Put(3, 4, BLOCK_HIT_SOLID, BLOCK_EFFECT_SPEED, 50);
    cHero& hero = g_Heroes.front();
    Box(hero, 420, 448 - 16, 0, MOVE_GROUND);
    hero.m_pGroundBlock = MapCellAtBlock(3, 4);
    hero.m_dVX = 8;
    ApplyBlockEffect(hero);
    EXPECT_DOUBLE_EQ(hero.m_dVX, 4);
    hero.m_pGroundBlock = nullptr;  // off the block
    for (int step = 1; step < level; ++step) ApplyBlockEffect(hero);
    EXPECT_DOUBLE_EQ(hero.m_dVX, 8.0 / (1 << level)) << level;
    EXPECT_EQ(hero.m_nBlockEffectTime, 0);
    ApplyBlockEffect(hero);
    EXPECT_DOUBLE_EQ(hero.m_dVX, 8.0 / (1 << level)) << level;
  }
}

TEST_F(BlockTest, TheScreenBottomDefeatsAWalkingHeroAndHoldsAFlyingOne) {
  for (int flying : {0, 1}) {
    Build(1);
    cHero& hero = g_Heroes.front();
    scene.m_ScrollY.m_bAuto = 1;
    scene.m_ScrollY.m_dPos = 320;
    Box(hero, 420, 400, 0, flying ? MOVE_FLY : MOVE_GROUND);
    hero.m_Rect.m_nWidth = hero.m_Rect.m_nHeight = 16;  // its cell, the box's own size
    EXPECT_EQ(KeepInScreenY(hero), 0);  // on the screen
    EXPECT_EQ(hero.m_bContactBottom, 0);
    hero.m_dY = 320 + 470;
    hero.m_dBottom = hero.m_dY + hero.m_nHeight - 1;
    EXPECT_EQ(KeepInScreenY(hero), flying ? 0 : 2);
    EXPECT_EQ(hero.m_bContactBottom, 1);
  }
}

TEST_F(BlockTest, AnItemBlockWaitsSixtyFramesUnlessTheHeroJumpsOrChangesFloor) {
  cRestore<ItemVector> items(g_CommonPalette.m_Items);
  cEdItem item;
  item.m_sGraphic = 1;
  g_CommonPalette.m_Items = ItemVector({cEdItem(), item});
  for (int level : {1, 10}) {
    Build(level);
    cEdBlock block;
    block.m_sGraphic = 1;
    block.m_nHitMode = BLOCK_HIT_SOLID;
    block.m_nItemPalette = PALETTE_COMMON;
    block.m_sItemIndex = 1;
    SetMapCellBlock(*MapCellAtBlock(3, 4), block);
    cHero& hero = g_Heroes.front();
    Box(hero, 420, 448 - 16, 0, MOVE_GROUND);
    hero.m_HP.m_nValue = 10;
    hero.m_pGroundBlock = hero.m_pFloorKey = hero.m_pPrevFloorKey = MapCellAtBlock(3, 4);
    const int full = 60 * g_nHitLevel;
    // One sub-step; true when the block gave its item in it.
    auto step = [&] {
      EXPECT_EQ(GiveBlockItem(hero), 0);
      return hero.m_nItemBlockWait == full - 1;
    };
    std::vector<int> given;
    for (int s = 1; s <= 2 * full + 1; ++s)
      if (step()) given.push_back(s);
    EXPECT_EQ(given, (std::vector<int>{1, full + 1, 2 * full + 1})) << level;
    // A jump (the airborne lock) or another floor ends the wait at once.
    hero.m_bAirLock = 1;
    EXPECT_FALSE(step());
    hero.m_bAirLock = 0;
    EXPECT_TRUE(step());
    hero.m_pPrevFloorKey = nullptr;
    EXPECT_FALSE(step());
    EXPECT_EQ(hero.m_nItemBlockWait, 0);
    hero.m_pPrevFloorKey = hero.m_pFloorKey;
    EXPECT_TRUE(step());
  }
}

}  // namespace
