// The hero on small hand-built stages at N = 1 and 2: the camera, jumps under scripted keys,
// the speed block, its box display, the item commands and the grace after a fly change.
#include <gtest/gtest.h>

#include <algorithm>

#include "content/command_tables.h"
#include "content/key_condition.h"
#include "flows/cmd_dispatch.h"
#include "objects/chara.h"
#include "objects/chara_flows.h"
#include "objects/hero.h"
#include "play/input.h"
#include "tests/objects/play_world.h"
#include "tests/support/scoped_value.h"

namespace {

class HeroTest : public cPlayWorld {
 protected:
  void SetUp() override {
    MakeMap(200, 20);
    g_Inputs.assign(1, cInputState());
  }
  cHero& MakeHero(int number = 1) {
    cEdChara def;
    def.m_nControl = 0;
    cHero& hero = m_Heroes.Add();
    hero.SetUpFromDef(number, def, 1000, 600, 0);
    hero.m_dX = 1000;  // set-up only keeps the spawn point; placing is the caller's
    hero.m_dY = 600;
    hero.m_bAirLock = 0;  // standing
    return hero;
  }
  static void PressButton(bool down) {
    cInputState& in = g_Inputs[0];
    if (in.m_ButtonHistories.empty()) in.m_ButtonHistories.resize(kButtonCount);
    in.m_ButtonHistories[0] = cVector<sInputRun>{{down ? 1 : 0, 1}};
  }
  cScopedValue<cStage> m_Stage{g_Stage};
  cScopedValue<cVector<cInputState>> m_Inputs{g_Inputs};
  cScopedHeroes m_Heroes;
};

TEST_F(HeroTest, CameraFollowsUnlessTheAxisScrollsByItself) {
  g_Stage.m_nHeroW = 20;
  cHero& hero = MakeHero();
  cScrollAxis& ax = ScrollAxisX();
  ax.m_nMin = 320;
  ax.m_nMax = 4000;
  hero.m_dX = 1000;
  hero.FollowCameraX();
  EXPECT_EQ(ax.m_dPos, 690);
  hero.m_dX = 330;
  hero.FollowCameraX();
  EXPECT_EQ(ax.m_dPos, 320);
  hero.m_dX = 3990;
  hero.FollowCameraX();
  EXPECT_EQ(ax.m_dPos, 4000 - 640);
  ax.m_bAuto = 1;
  ax.m_dPos = 500;
  hero.m_dX = 1000;
  hero.FollowCameraX();
  EXPECT_EQ(ax.m_dPos, 500);
}

// The hero's screen rectangle: truncated as a whole, or by parts while the axis scrolls by
// itself.
TEST_F(HeroTest, ScreenRectangleTruncatesAsTheAxisScrolls) {
  cHero& hero = MakeHero();
  hero.m_dX = 1000.75;
  hero.m_dY = 600.5;
  ScrollAxisX().m_dPos = 400.5;
  ScrollAxisY().m_dPos = 320.75;
  const int offX = hero.m_Rect.m_nOffsetX, offY = hero.m_Rect.m_nOffsetY;
  hero.UpdateScreenRect();
  EXPECT_EQ(hero.m_Rect.m_nLeft, static_cast<int>(1000.75 - 400.5 - offX));
  EXPECT_EQ(hero.m_Rect.m_nTop, static_cast<int>(600.5 - 320.75 - offY));
  ScrollAxisX().m_bAuto = ScrollAxisY().m_bAuto = 1;
  hero.UpdateScreenRect();
  EXPECT_EQ(hero.m_Rect.m_nLeft, 1000 - 400 - offX);
  EXPECT_EQ(hero.m_Rect.m_nTop, 600 - 320 - offY);
  EXPECT_EQ(hero.m_Rect.m_nRight, hero.m_Rect.m_nLeft + 31);
}

// A key-hold jump: p0 = 1 with a flow whose key condition is button 1.
struct cJumpScript {
  explicit cJumpScript(int duration) {
    cond.m_Keys.assign(kKeyTests, KEY_IGNORE);
    cond.m_Keys[kDirectionTests] = KEY_PRESSED;
    flow.m_KeyConds.push_back(&cond);
    cmd.m_nKind = CMD_JUMP;
    cmd.m_Params.assign(5, 0);
    cmd.m_Params[0] = 1;
    run.m_pCmd = &cmd;
    run.m_nDuration = duration;
    run.m_nRemain = 1000;
    run.m_dSpeed = -8;
  }
  // One sub-step of the jump command; the rise is not slowed, so that each change shows.
  void Step(cHero& hero) {
    cScopedGlobal<cFlowRun*> current(CurFlow(), &flow);
    hero.m_bJumpRun = 0;
    hero.Jump(&run);
  }
  cEdKeyCond cond;
  cFlowRun flow;
  cEdCmd cmd;
  cCmdRun run;
};

TEST_F(HeroTest, ReleasingEarlyCutsTheRiseOnceAndHoldingToTheLimitChangesNothing) {
  for (int n : {1, 2}) {
    SCOPED_TRACE(testing::Message() << "N = " << n);
    g_Stage.SetSpeedLevel(n);
    {
      cHero& hero = MakeHero();
      cJumpScript jump(10 * n);
      PressButton(true);
      jump.Step(hero);
      EXPECT_EQ(hero.m_dVY, -8);
      EXPECT_EQ(jump.run.m_bBegun, 1);
      jump.Step(hero);
      PressButton(false);
      jump.Step(hero);
      EXPECT_DOUBLE_EQ(hero.m_dVY, -8 * 0.3);
      EXPECT_EQ(hero.m_bRiseEnded, 1);
      jump.Step(hero);
      jump.Step(hero);
      EXPECT_DOUBLE_EQ(hero.m_dVY, -8 * 0.3);
    }
    {
      cHero& hero = MakeHero();
      cJumpScript jump(4);
      PressButton(true);
      for (int s = 0; s < 4; ++s) jump.Step(hero);
      EXPECT_EQ(hero.m_bRiseEnded, 1);
      EXPECT_EQ(hero.m_bJumpHoldOk, 0);
      PressButton(false);
      jump.Step(hero);
      EXPECT_EQ(hero.m_dVY, -8);
    }
  }
}

TEST_F(HeroTest, RidingJumpWaitsForTheLastSubStepOfTheFrame) {
  cPlayScene scene;
  cScopedValue<cPlayScene*> current(g_pPlayScene, &scene);
  for (int n : {1, 2}) {
    SCOPED_TRACE(testing::Message() << "N = " << n);
    g_Stage.SetSpeedLevel(n);
    cHero& hero = MakeHero();
    hero.m_bRiding = 1;
    cJumpScript jump(10 * n);
    PressButton(true);
    for (int s = 1; s < n; ++s) {
      scene.m_nSubStep = s;
      jump.Step(hero);
      EXPECT_EQ(hero.m_dVY, 0);
      EXPECT_EQ(jump.run.m_bBegun, 0);
    }
    scene.m_nSubStep = n;
    jump.Step(hero);
    EXPECT_EQ(hero.m_dVY, -8 * 1.0199999809265137);
    EXPECT_EQ(hero.m_bRiding, 0);
    EXPECT_EQ(jump.run.m_bBegun, 1);
  }
}

TEST(JumpHeightBySpeed, BetweenTheThresholdsInProportion) {
  cScopedValue<cStage> stage(g_Stage);
  struct sCase {
    int n, p1, p2, p3, p4;
    double speed;
    int height;
  };
  const sCase cases[] = {
      {1, 40, 6, 10, 2, 2.0, 4},  {1, 40, 6, 10, 2, -2.0, 4}, {1, 40, 6, 10, 2, 4.0, 6},
      {1, 40, 6, 10, 2, 1.0, 2},  {2, 40, 6, 10, 2, 1.0, 4},  {1, 0, 6, 0, 2, 0.0, 6},
      {1, 40, 6, 10, 2, 0.0, 2},
  };
  for (const sCase& c : cases) {
    g_Stage.SetSpeedLevel(c.n);
    EXPECT_EQ(JumpHeightBySpeed(c.p1, c.p2, c.p3, c.p4, c.speed), c.height)
        << "N " << c.n << " speed " << c.speed;
  }
}

TEST_F(HeroTest, SpeedBlockAtHalfSpeedStopsTheRunAtZero) {
  cHero& hero = MakeHero();
  hero.m_dDecel = 0;
  hero.m_nBlockEffect = BLOCK_EFFECT_SPEED;
  hero.m_dBlockEffectValue = 0.5;
  hero.m_nBlockEffectTime = 1000;
  const double u = PerFrameToPerSubStep(hero.m_dBlockAccelUnit);
  hero.m_dInertiaX = 2.5 * u;
  hero.MoveStepX();
  EXPECT_DOUBLE_EQ(hero.m_dInertiaX, 2.0 * u);
  for (int s = 0; s < 10; ++s) hero.MoveStepX();
  EXPECT_EQ(hero.m_dInertiaX, 0);
}

TEST_F(HeroTest, BoxDisplayIsSortedByAreaKeepingTheOrderOfEqualOnes) {
  g_Stage.m_nHeroW = g_Stage.m_nHeroH = 16;
  g_Stage.m_nHeroHitW = g_Stage.m_nHeroHitH = 16;
  g_Stage.m_nHeroHitBW = g_Stage.m_nHeroHitBH = 16;
  g_Stage.m_nHeroBoxCW = g_Stage.m_nHeroBoxCH = 16;
  for (int i = 0; i < 4; ++i) {
    g_Stage.m_nShowMode[i] = i % 3;
    g_Stage.m_nShowColour[i] = i;
  }
  cHero& hero = MakeHero();
  ASSERT_EQ(hero.m_HitRects.size(), 4u);
  const int kinds[] = {HITRECT_COLLISION, HITRECT_PICKUP, HITRECT_HIT_A, HITRECT_HIT_B};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(hero.m_HitRects[i].nKind, kinds[i]);
  // The settings run collision box, pick-up box, hit box B, hit box A.
  EXPECT_EQ(hero.m_HitRects[1].nPalette, 208 + 4);
  EXPECT_EQ(hero.m_HitRects[2].nMode, 0);
  EXPECT_EQ(hero.m_HitRects[2].nPalette, 208 + 12);

  g_Stage.m_nHeroHitBW = 30;
  hero.BuildHitRects();
  EXPECT_EQ(hero.m_HitRects[0].nKind, HITRECT_COLLISION);  // the box itself is not yet rebuilt
  hero.SetFlyMode(0, 0, 0, 0);
  EXPECT_EQ(hero.m_HitRects[0].nKind, HITRECT_HIT_B);
}

// Item handlers that note their calls: kind 1 takes every HP, kind 2 heals.
class cScopedItemHandlers {
 public:
  cScopedItemHandlers() {
    for (int k = 0; k < ITEMCMD_KIND_COUNT; ++k) m_Saved[k] = ItemCmdFunc[k];
    ItemCmdFunc[1] = [](cCharaBase* c, cEdCmd&) {
      s_Calls.push_back(1);
      c->m_HP.m_nValue = 0;
      return 0;
    };
    ItemCmdFunc[2] = [](cCharaBase* c, cEdCmd&) {
      s_Calls.push_back(2);
      c->m_HP.m_nValue = 10;
      return 0;
    };
    ItemCmdFunc[3] = [](cCharaBase*, cEdCmd&) {
      s_Calls.push_back(3);
      return 1;
    };
    s_Calls.clear();
  }
  ~cScopedItemHandlers() {
    for (int k = 0; k < ITEMCMD_KIND_COUNT; ++k) ItemCmdFunc[k] = m_Saved[k];
  }
  static std::vector<int> s_Calls;

 private:
  ItemCmdHandler m_Saved[ITEMCMD_KIND_COUNT];
};
std::vector<int> cScopedItemHandlers::s_Calls;

CmdVector Cmds(std::initializer_list<int> kinds) {
  CmdVector cmds;
  for (int k : kinds) {
    cEdCmd cmd;
    cmd.m_nKind = static_cast<std::int8_t>(k);
    cmds.push_back(cmd);
  }
  return cmds;
}

TEST_F(HeroTest, ItemCommandsAnswerDefeatAsSoonAsHpIsGone) {
  cScopedItemHandlers handlers;
  cHero& hero = MakeHero();
  hero.m_HP.m_nValue = 5;
  CmdVector kill = Cmds({1, 2});
  EXPECT_EQ(hero.RunItemCmds(kill), 2);
  EXPECT_EQ(cScopedItemHandlers::s_Calls, std::vector<int>{1});

  cScopedItemHandlers::s_Calls.clear();
  CmdVector end = Cmds({2, 3, 2});
  EXPECT_EQ(hero.RunItemCmds(end), 1);
  EXPECT_EQ(cScopedItemHandlers::s_Calls, (std::vector<int>{2, 3}));
}

TEST_F(HeroTest, QueuedFlowChangesRunOnceTheFlowsHaveRun) {
  cHero& hero = MakeHero();
  ASSERT_TRUE(hero.m_FlowRuns.empty());
  cEdCmd add;
  add.m_nKind = ITEMCMD_FLOW_CHANGE;
  add.m_Params.assign(CmdParamCount(CMDSET_ITEM, ITEMCMD_FLOW_CHANGE), 0);
  add.m_Flows.push_back(cEdFlow());
  hero.QueueItemCmd(add);
  EXPECT_EQ(hero.RunFlows(0), 0);
  EXPECT_TRUE(hero.m_PendingItemCmds.empty());
  EXPECT_EQ(hero.m_FlowRuns.size(), 1u);
}

TEST_F(HeroTest, GraceAfterAFlyChangeIgnoresContactsAndRestoresOnlyWhenAsked) {
  cHero& hero = MakeHero();
  hero.SetFlyMode(MOVE_FLY, 0, 1, 0);
  const double x = hero.m_dX;
  hero.m_dX += 50;
  for (int s = 0; s < 2; ++s) {
    EXPECT_EQ(hero.RestoreIfBlocked(), 1);
    EXPECT_EQ(hero.m_dX, x + 50);
    hero.RunFlows(0);
  }
  EXPECT_EQ(hero.RestoreIfBlocked(), 0);

  hero.SetFlyMode(MOVE_GROUND, 0, 1, 1);
  hero.m_dX += 50;
  EXPECT_EQ(hero.RestoreIfBlocked(), 1);
  EXPECT_EQ(hero.m_dX, hero.m_SavedPos[0]);
}

TEST_F(HeroTest, HitBoxChoiceOutsideItsTableLeavesHitBoxAAsItWas) {
  cHero& hero = MakeHero();
  hero.m_Def.m_nHitSize = 3;
  hero.SetFlyMode(MOVE_GROUND, 0, 0, 0);
  EXPECT_EQ(hero.m_HitBoxA.m_nWidth, 32);
  hero.m_Def.m_nHitSize = 9;
  g_Stage.m_nHeroHitBW = 20;
  hero.SetFlyMode(MOVE_FLY, 0, 0, 0);
  EXPECT_EQ(hero.m_HitBoxA.m_nWidth, 32);
  EXPECT_EQ(hero.m_HitBoxB.m_nWidth, 20);
}

TEST_F(HeroTest, PickedItemsAreRememberedOnce) {
  cHero& hero = MakeHero();
  hero.m_PickedItems.push_back(3);
  hero.m_PickedItems.push_back(5);
  EXPECT_EQ(hero.HasNotPicked(3), 0);
  EXPECT_EQ(hero.HasNotPicked(4), 1);
  hero.RemovePicked(3);
  EXPECT_EQ(hero.HasNotPicked(3), 1);
  EXPECT_EQ(hero.m_PickedItems.size(), 1u);
}

}  // namespace

namespace {

// A fixed-height jump stepped headless with gravity: the rise is the height the jump speed
// was made for (less the player's damping), whatever the number of sub-steps. (One block:
// at N = 1 a higher jump would start above the speed limit of 6 pixels per sub-step.)
TEST_F(HeroTest, FixedJumpRisesToItsHeightAtEveryHitLevel) {
  double rise[2] = {0, 0};
  for (int n : {1, 2}) {
    g_Stage.SetSpeedLevel(n);
    cHero& hero = MakeHero();
    cJumpScript jump(10 * n);
    jump.cmd.m_Params[0] = 0;  // the height is not held by a key
    jump.run.m_dSpeed = hero.JumpSpeed(32);
    const double y0 = hero.m_dY;
    double top = y0;
    for (int s = 0; s < 100 * n; ++s) {
      jump.Step(hero);
      hero.ApplyCharaGravity();
      hero.MoveStepY();
      top = std::min(top, hero.m_dY);
      if (hero.m_dVY >= 0 && s > 0) break;
    }
    rise[n - 1] = y0 - top;
    EXPECT_GT(rise[n - 1], 32 * 0.9);
    EXPECT_LE(rise[n - 1], 32);
  }
  EXPECT_NEAR(rise[0], rise[1], 2.0);
}

}  // namespace
