// Shots and swords on small hand-built stages: range and lifetime, the guidance kinds that
// need no search, the block probes, the sword's frames and the shot lists and links.
#include "objects/shot.h"
#include "platform/close_request.h"

#include <gtest/gtest.h>

#include <cmath>

#include "foundation/play_math.h"
#include "objects/chara.h"
#include "project/database.h"
#include "tests/objects/play_world.h"
#include "tests/support/scoped_value.h"

namespace {

class ShotTest : public cPlayWorld {
 protected:
  void SetUp() override {
    MakeMap(60, 20);
    m_Owner.InitFromDef(1, m_OwnerDef, nullptr, 0, 0, 0, nullptr);
    m_Owner.SetBlockPos(5, 10);
  }
  // A shot of the owner from (x, y) at (vx, vy) pixels per frame.
  void Fire(cShot& shot, cEdShot& def, double vx, double vy, int x = 800, int y = 600,
            int kind = kShotCmdKind) {
    sVolley v;
    v.dVX = vx;
    v.dVY = vy;
    v.dSpeed = std::sqrt(vx * vx + vy * vy);
    v.nSpawnX = x;
    v.nSpawnY = y;
    v.nRange = m_nRange;
    v.nLifetime = m_nLifetime;
    shot.SetUp(7, m_Owner, kind, def, v);
  }
  // One sub-step as the frame drives a shot: 1 when it goes.
  static int Step(cShot& shot) {
    if (shot.Update()) return 1;
    shot.ApplyGravity();
    shot.MoveY();
    shot.MoveX();
    return shot.HitBlocks();
  }
  int m_nRange = 0;
  int m_nLifetime = 0;
  cScopedValue<cStage> m_Stage{g_Stage};
  cScopedValue<cVector<cDbSwordType>> m_Swords{g_DataBase.m_SwordType};
  cEdChara m_OwnerDef;
  cChara m_Owner;
};

TEST_F(ShotTest, RangeIsCoveredExactlyThenTheShotGoes) {
  struct sCase {
    int n;
    double speed;
    int rangeLeft;
  };
  for (const sCase& c : {sCase{1, 4, 12}, sCase{2, 8, 12}, sCase{2, 4, 24}}) {
    SCOPED_TRACE(testing::Message() << "N " << c.n << " speed " << c.speed);
    g_Stage.SetSpeedLevel(c.n);
    m_nRange = 4;
    cEdShot def;
    def.m_bRange = 1;
    cShot shot;
    Fire(shot, def, c.speed, 0);
    EXPECT_EQ(shot.m_nRangeLeft, c.rangeLeft);
    const double x0 = shot.m_dX;
    for (int s = 0; s < c.rangeLeft; ++s) ASSERT_EQ(Step(shot), 0);
    EXPECT_DOUBLE_EQ(shot.m_dX - x0, 48);
    EXPECT_EQ(shot.Update(), 1);
  }
  // 8 pixels per frame at N = 1 has 6 sub-steps of range; the speed limit (6 pixels per
  // sub-step at this level) holds the distance to 36.
  g_Stage.SetSpeedLevel(1);
  cEdShot def;
  def.m_bRange = 1;
  cShot fast;
  Fire(fast, def, 8, 0);
  EXPECT_EQ(fast.m_nRangeLeft, 6);
  const double x0 = fast.m_dX;
  for (int s = 0; s < 6; ++s) ASSERT_EQ(Step(fast), 0);
  EXPECT_DOUBLE_EQ(fast.m_dX - x0, 36);
  EXPECT_EQ(fast.Update(), 1);
}

TEST_F(ShotTest, RangeShorterThanAFrameSharesItOutAlongTheVelocity) {
  m_nRange = 4;
  cEdShot def;
  def.m_bRange = 1;
  cShot shot;
  Fire(shot, def, 60, -20);
  EXPECT_EQ(shot.m_nRangeLeft, 1);
  EXPECT_DOUBLE_EQ(shot.m_dBaseVX, 60 * 48.0 / 80);
  EXPECT_DOUBLE_EQ(shot.m_dBaseVY, -20 * 48.0 / 80);

  // Stopping at the range: only the scroll motion is left, and the guidance is straight.
  def.m_bStopAtRangeEnd = 1;
  def.m_nGuide = GUIDE_WAVE;
  def.m_sGuideValue[1] = 10;
  cShot stopper;
  Fire(stopper, def, 8, 0);
  for (int s = 0; s < 8; ++s) EXPECT_EQ(Step(stopper), 0);
  EXPECT_EQ(stopper.m_dBaseVX, 0);
  EXPECT_EQ(stopper.m_dVX, 0);
  EXPECT_EQ(stopper.m_Def.m_nGuide, GUIDE_STRAIGHT);
}

// The copy of the definition's switches that the passes read follows the definition through
// the set-up (again on a shot already set up), the copy into the list and the range's end.
TEST_F(ShotTest, TheDefinitionsSwitchesFollowItsChanges) {
  cPlayScene scene;
  cScopedValue<cPlayScene*> current(g_pPlayScene, &scene);
  m_nRange = 1;
  m_nLifetime = 10;
  cEdShot def;
  def.m_nGuide = GUIDE_WAVE;
  def.m_bRange = 1;
  def.m_bStopAtRangeEnd = 1;
  def.m_bLifetime = 1;
  def.m_nBlockMode = 1;
  def.m_byReserved47 = 1;
  cShot shot;
  Fire(shot, def, 4, 0);
  const sShotTraits set{GUIDE_WAVE, 1, 1, 1, 1};
  EXPECT_EQ(shot.m_Traits, set);
  cShot& listed = AddShotToList(scene.m_ShotList, shot);
  EXPECT_EQ(listed.m_Traits, set);
  for (int s = 0; s < 8 && listed.m_Def.m_nGuide != GUIDE_STRAIGHT; ++s)
    ASSERT_EQ(Step(listed), 0);
  ASSERT_EQ(listed.m_Def.m_nGuide, GUIDE_STRAIGHT);
  EXPECT_EQ(listed.m_Traits, ShotTraitsOf(listed.m_Def));
  cEdShot plain;
  Fire(listed, plain, 4, 0);
  EXPECT_EQ(listed.m_Traits, sShotTraits{});
  EXPECT_EQ(listed.m_Traits, ShotTraitsOf(listed.m_Def));
  scene.m_ShotGroup[0].clear();
  scene.m_ShotList.clear();
}

TEST_F(ShotTest, LifetimeCountsTenthsOfASecond) {
  g_Stage.SetSpeedLevel(2);
  m_nLifetime = 1;
  cEdShot def;
  def.m_bLifetime = 1;
  cShot shot;
  Fire(shot, def, 1, 0);
  for (int s = 0; s < 12; ++s) ASSERT_EQ(shot.Update(), 0);
  EXPECT_EQ(shot.Update(), 1);
}

TEST_F(ShotTest, FallShotTurnsOnGravityAtItsStep) {
  cEdShot def;
  def.m_nGuide = GUIDE_FALL;
  def.m_sGuideValue[0] = 2;  // 32 pixels
  def.m_sSpeed = 40;         // 4 pixels per sub-step
  cShot shot;
  Fire(shot, def, 4, -1);
  for (int s = 0; s < 8; ++s) {
    Step(shot);
    ASSERT_EQ(shot.m_bNoGravity, 1);
  }
  Step(shot);
  EXPECT_EQ(shot.m_bNoGravity, 0);
  EXPECT_EQ(shot.m_bGuideDone, 1);
}

TEST_F(ShotTest, AimingGuidanceTurnsAtItsStepAndKeepsItsCourseWithoutAnyone) {
  // The camera stands at (320, 320): a shot fired from (800, 600) has its centre at (488, 288)
  // on the screen; the hero's cell is centred level with it, far to the left.
  cScopedHeroes heroes;
  cHero& hero = heroes.Add();
  hero.m_Rect.m_nLeft = 72;
  hero.m_Rect.m_nTop = 272;
  hero.m_Rect.m_nWidth = hero.m_Rect.m_nHeight = 32;
  cEdShot def;
  def.m_nGuide = GUIDE_AIM_HERO;
  def.m_sSpeed = 40;  // aim speed 4 pixels per sub-step
  struct sCase {
    int g1;
    int turnStep;
  };
  for (const sCase c : {sCase{0, 0}, sCase{2, 8}}) {
    SCOPED_TRACE(c.g1);
    def.m_sGuideValue[0] = static_cast<std::int16_t>(c.g1);
    cShot shot;
    Fire(shot, def, 2, 0);
    for (int s = 0; s < c.turnStep; ++s) {
      Step(shot);
      ASSERT_EQ(shot.m_dBaseVX, 2) << s;
    }
    Step(shot);
    EXPECT_EQ(shot.m_dBaseVX, -4);
    EXPECT_EQ(shot.m_dBaseVY, 0);
    EXPECT_EQ(shot.m_bGuideDone, 1);
  }

  // Homing on the hero turns every sub-step between the start and the end distances.
  def.m_nGuide = GUIDE_HOME_HERO;
  def.m_sGuideValue[0] = 0;
  def.m_sGuideValue[1] = 1;  // 16 pixels: 4 sub-steps
  cShot homing;
  Fire(homing, def, 2, 0);
  Step(homing);
  EXPECT_EQ(homing.m_dBaseVX, -4);
  hero.m_Rect.m_nTop = 0;  // now far above
  Step(homing);
  EXPECT_LT(homing.m_dBaseVY, 0);
  for (int s = 0; s < 2; ++s) Step(homing);
  hero.m_Rect.m_nTop = 600;
  Step(homing);
  EXPECT_LT(homing.m_dBaseVY, 0);
  EXPECT_EQ(homing.m_bGuideDone, 1);

  // The nearest of an empty group: the shot keeps its course, and the guidance is over.
  cPlayScene scene;
  cScopedValue<cPlayScene*> current(g_pPlayScene, &scene);
  def.m_nGuide = GUIDE_AIM_NEAREST;
  def.m_sGuideValue[1] = 3;
  cShot lonely;
  Fire(lonely, def, 2, 0);
  Step(lonely);
  EXPECT_EQ(lonely.m_dBaseVX, 2);
  EXPECT_EQ(lonely.m_bGuideDone, 1);
  // With somebody in the group, present on the screen: aimed at once.
  m_Owner.m_bPresent = m_Owner.m_bOnScreen = 1;
  m_Owner.m_Rect = hero.m_Rect;
  m_Owner.m_Rect.m_nTop = 272;
  scene.m_CharaGroup[3].push_back(&m_Owner);
  cShot aimed;
  Fire(aimed, def, 2, 0);
  Step(aimed);
  EXPECT_EQ(aimed.m_dBaseVX, -4);
  // A group the stage does not have finds nobody, and play goes on.
  def.m_sGuideValue[1] = 8;
  cShot astray;
  Fire(astray, def, 2, 0);
  Step(astray);
  EXPECT_EQ(astray.m_dBaseVX, 2);
  EXPECT_FALSE(platform::IsCloseRequested());
  scene.m_CharaGroup[3].clear();
}

TEST_F(ShotTest, WaveFiredLeftStartsHalfATurnLater) {
  cEdShot def;
  def.m_nGuide = GUIDE_WAVE;
  def.m_sGuideValue[0] = 2;
  def.m_sGuideValue[1] = 10;
  cShot right, left;
  Fire(right, def, 5, 0);
  Fire(left, def, -5, 0);
  right.Update();
  left.Update();
  EXPECT_DOUBLE_EQ(left.m_dWavePhase - right.m_dWavePhase, 180.0 / 10);
  EXPECT_EQ(right.m_Def.m_sGuideValue[0], 32);
  // The swing is across the course: a shot fired along x swings in y.
  EXPECT_NE(right.m_dBaseVY, 0);
  EXPECT_NEAR(right.m_dBaseVX, 5, 1e-9);

  // A wave of speed 0 keeps its course and stays finite.
  def.m_sGuideValue[1] = 0;
  cShot still;
  Fire(still, def, 5, 0);
  for (int s = 0; s < 30; ++s) Step(still);
  EXPECT_EQ(still.m_dBaseVX, 5);
  EXPECT_EQ(still.m_dBaseVY, 0);
  EXPECT_TRUE(std::isfinite(still.m_dX) && std::isfinite(still.m_dY));
}

TEST_F(ShotTest, WideShotProbesEveryThirtyTwoPixelsAndItsLastColumn) {
  cEdShot def;
  def.m_nSizeFactor = 3;  // 48 x 48
  struct sCase {
    int solidColumn, solidRow;  // stage cells
    int hits;
  };
  // The shot's left edge is 20 px into stage column 1: offsets 0, 32 and 47 reach columns
  // 1, 2 and 3; rows 0, 32 and 47 from 4 px into stage row 2 reach rows 2, 3 and 3.
  for (const sCase& c : {sCase{3, 3, 1}, sCase{4, 2, 0}, sCase{2, 2, 1}, sCase{1, 4, 0}}) {
    SCOPED_TRACE(testing::Message() << c.solidColumn << "," << c.solidRow);
    cScopedValue<cVector<cMapCell>> cells(g_MapCells);
    cScopedValue<cVector<sCellHit>> hits(g_MapCellHits);
    PutSolid(c.solidColumn, c.solidRow);
    cShot shot;
    Fire(shot, def, 0, 0, (1 + 10) * 32 + 20, (2 + 10) * 32 + 4);
    ASSERT_EQ(shot.m_nWidth, 48);
    ASSERT_EQ(TruncToInt32(shot.m_dX), (1 + 10) * 32 + 20);
    EXPECT_EQ(shot.HitBlocks(), c.hits);
  }
}

TEST_F(ShotTest, SmallShotStopsAtBlocksUnlessItPassesThrough) {
  PutSolid(10, 5);
  cEdShot def;
  cShot shot;
  Fire(shot, def, 0, 0, (10 + 10) * 32 + 20, (5 + 10) * 32 + 20);
  EXPECT_EQ(shot.HitBlocks(), 1);
  def.m_nBlockMode = 1;
  cShot ghost;
  Fire(ghost, def, 0, 0, (10 + 10) * 32 + 20, (5 + 10) * 32 + 20);
  EXPECT_EQ(ghost.HitBlocks(), 0);
}

TEST_F(ShotTest, SwordFramesLastTheirDurationAndEndWithTheirType) {
  cScopedHeroes heroes;
  g_CharaList.clear();
  cChara& owner = g_CharaList.emplace_back(m_Owner);
  for (int n : {1, 2}) {
    SCOPED_TRACE(testing::Message() << "N = " << n);
    g_Stage.SetSpeedLevel(n);
    cDbSwordType type;
    type.m_Frames.clear();
    for (int f = 0; f < 2; ++f) {
      cDbSwordFrame frame;
      frame.m_nWidth = 24;
      frame.m_nHeight = 8;
      frame.m_nTime = 1;
      type.m_Frames.push_back(frame);
    }
    g_DataBase.m_SwordType.assign(1, type);
    cEdShot def;
    cShot sword;
    Fire(sword, def, 0, 0, 0, 0, kSwordCmdKind);
    sword.m_nOwnerNumber = owner.m_nNumber;
    EXPECT_EQ(sword.m_bIsShot, 0);
    EXPECT_EQ(sword.m_nWidth, 24);
    int steps = 0;
    while (sword.Update() == 0 && steps < 1000) ++steps;
    EXPECT_EQ(steps + 1, 2 * (6 * n + 1));

    // A type without frames ends the sword at once; so does a lost owner.
    cDbSwordType bare;
    bare.m_Frames.clear();
    g_DataBase.m_SwordType.assign(1, bare);
    cShot empty;
    Fire(empty, def, 0, 0, 0, 0, kSwordCmdKind);
    empty.m_nOwnerNumber = owner.m_nNumber;
    EXPECT_EQ(empty.Update(), 1);
    g_DataBase.m_SwordType.assign(1, type);
    cShot orphan;
    Fire(orphan, def, 0, 0, 0, 0, kSwordCmdKind);
    orphan.m_nOwnerNumber = 999;
    EXPECT_EQ(orphan.Update(), 1);
  }
  g_CharaList.clear();
}

// A sword frame's size from the file times the size factor wraps at 32 bits: 0x40000010 x 4
// is 64.
TEST_F(ShotTest, SwordFrameSizesWrapAt32Bits) {
  cScopedHeroes heroes;
  g_CharaList.clear();
  cChara& owner = g_CharaList.emplace_back(m_Owner);
  cDbSwordType type;
  type.m_Frames.assign(1, cDbSwordFrame());
  type.m_Frames[0].m_nWidth = 0x40000010;
  type.m_Frames[0].m_nHeight = 0x40000002;
  type.m_Frames[0].m_nTime = 1;
  g_DataBase.m_SwordType.assign(1, type);
  cEdShot def;
  def.m_nSizeFactor = 4;
  cShot sword;
  Fire(sword, def, 0, 0, 0, 0, kSwordCmdKind);
  sword.m_nOwnerNumber = owner.m_nNumber;
  EXPECT_EQ(sword.Update(), 0);
  EXPECT_EQ(sword.m_nWidth, 64);
  EXPECT_EQ(sword.m_nHeight, 8);
  g_CharaList.clear();
}

TEST_F(ShotTest, ListsAndLinksStayInStep) {
  cPlayScene scene;
  cScopedValue<cPlayScene*> current(g_pPlayScene, &scene);
  cEdShot def;
  def.m_nGroup = 3;
  cShot a, b;
  Fire(a, def, 1, 0);
  Fire(b, def, 2, 0);
  cShot& first = AddShotToList(scene.m_ShotList, a);
  cShot& second = AddShotToList(scene.m_ShotList, b);
  ASSERT_EQ(scene.m_ShotGroup[3].size(), 2u);
  m_Owner.m_ShotLinks.push_back({&first, kOwnerSlot});
  m_Owner.m_ShotLinks.push_back({&second, kOwnerSlot});
  EXPECT_EQ(HasShotLink(m_Owner.m_ShotLinks, {&second, kOwnerSlot}), 1);
  EXPECT_EQ(HasShotLink(m_Owner.m_ShotLinks, {&second, 0}), 0);

  auto next = EraseShot(scene.m_ShotList, scene.m_ShotList.begin());
  EXPECT_EQ(&*next, &second);
  ASSERT_EQ(scene.m_ShotGroup[3].size(), 1u);
  EXPECT_EQ(scene.m_ShotGroup[3].front(), &second);
  EXPECT_EQ(HasShotLink(m_Owner.m_ShotLinks, {&first, kOwnerSlot}), 0);

  // The owner goes: its shots forget it.
  m_Owner.UnlinkReferences();
  EXPECT_EQ(second.m_pOwner, nullptr);
  scene.m_ShotList.clear();
}

// A shot leaves both lists by its address, from the middle, and also once its definition
// names another group than the one it entered.
TEST_F(ShotTest, ErasingByAddressLeavesTheOthersInOrder) {
  cPlayScene scene;
  cScopedValue<cPlayScene*> current(g_pPlayScene, &scene);
  cEdShot def;
  def.m_nGroup = 2;
  cShot proto;
  Fire(proto, def, 1, 0);
  cShot* shots[4];
  for (cShot*& s : shots) s = &AddShotToList(scene.m_ShotList, proto);
  EraseShotAt(scene.m_ShotList, *shots[1]);
  shots[2]->m_Def.m_nGroup = 5;
  scene.m_ShotGroup[5].push_back(shots[2]);
  EraseShotAt(scene.m_ShotList, *shots[2]);
  cShot stranger;
  EraseShotAt(scene.m_ShotList, stranger);  // not in the list: nothing happens
  ASSERT_EQ(scene.m_ShotList.size(), 2u);
  EXPECT_EQ(&scene.m_ShotList.front(), shots[0]);
  EXPECT_EQ(&scene.m_ShotList.back(), shots[3]);
  EXPECT_EQ(scene.m_ShotGroup[2], (cList<cShot*>{shots[0], shots[2], shots[3]}));
  EXPECT_TRUE(scene.m_ShotGroup[5].empty());
  scene.m_ShotGroup[2].clear();
  scene.m_ShotList.clear();
}

}  // namespace
