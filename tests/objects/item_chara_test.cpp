// Items and characters on small hand-built stages: their boxes in the cell, placement and
// scale, the contact codes of their sub-steps, activation by the view and by a shared switch,
// the jump command that cannot start, the carried item's mark and the flow run's context.
#include <gtest/gtest.h>

#include <type_traits>

#include "content/command_tables.h"
#include "flows/cmd_dispatch.h"
#include "objects/chara.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "platform/close_request.h"
#include "tests/objects/play_world.h"
#include "tests/support/scoped_value.h"

namespace {

class ItemChara : public cPlayWorld {
 protected:
  void SetUp() override { MakeMap(40, 20); }
  cScopedValue<cStage> m_Stage{g_Stage};
};

TEST(GlobalObjectLists, StartEmptyAndHoldTheObjectsOfAStage) {
  static_assert(std::is_same_v<decltype(g_Heroes), cList<cHero>>);
  static_assert(std::is_same_v<decltype(g_CharaList), cCharaList>);
  static_assert(std::is_same_v<decltype(g_ItemList), cList<cItem>>);
  EXPECT_TRUE(g_Heroes.empty());
  EXPECT_TRUE(g_CharaList.empty());
  EXPECT_TRUE(g_ItemList.empty());
}

// Where the collision box sits in the 32x32 cell, for items and walking characters.
TEST_F(ItemChara, BoxesSitInTheirCell) {
  struct sCase {
    bool item;
    int w, h, bottom;
    int offsetX, offsetY;
  };
  const sCase cases[] = {
      {true, 20, 20, 0, 6, 6},
      {true, 28, 28, 0, 2, 2},
      {false, 24, 28, 1, 4, 4},
      {false, 16, 16, 0, 8, 8},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
    const int column = 3, row = 5;
    const double cellLeft = (column + 10) * 32, cellTop = (row + 10) * 32;
    if (c.item) {
      g_Stage.m_nItemW = c.w;
      g_Stage.m_nItemH = c.h;
      cEdItem def;
      cItem item;
      EXPECT_TRUE(item.SetUpFromDef(1, def, 0));
      item.SetBlockPos(column, row);
      EXPECT_EQ(item.m_Rect.m_nOffsetX, c.offsetX);
      EXPECT_EQ(item.m_dX, cellLeft + c.offsetX + 0.5);
      EXPECT_EQ(item.m_dY, cellTop + c.offsetY);
      EXPECT_EQ(item.m_nBlockPass, BLOCKPASS_THROUGH);
      EXPECT_EQ(item.m_bNoGravity, 1);
    } else {
      g_Stage.m_nCharaW = c.w;
      g_Stage.m_nCharaH = c.h;
      g_Stage.m_bCharaBottom = c.bottom;
      cEdChara def;
      def.m_nFlyMode = 0;
      cChara chara;
      chara.InitFromDef(1, def, nullptr, 0, 0, 0, nullptr);
      chara.SetBlockPos(column, row);
      EXPECT_EQ(chara.m_Rect.m_nOffsetX, c.offsetX);
      EXPECT_EQ(chara.m_Rect.m_nOffsetY, c.offsetY);
      EXPECT_EQ(chara.m_dX, cellLeft + c.offsetX + 0.5);
      if (c.bottom) {
        EXPECT_EQ(chara.m_dBottom, cellTop + 31);
      }
    }
  }
}

TEST_F(ItemChara, ScaledItemKeepsItsCentreAndItsFeetOnTheCell) {
  g_Stage.m_nItemW = g_Stage.m_nItemH = 20;
  cEdItem def;
  def.m_nScale = 0;  // damaged: repaired to 1 in the definition itself
  cItem one;
  one.SetUpFromDef(1, def, 0);
  EXPECT_EQ(def.m_nScale, 1);
  EXPECT_EQ(one.m_nWidth, 20);
  one.SetBlockPos(4, 6);

  def.m_nScale = 2;
  cItem two;
  two.SetUpFromDef(2, def, 0);
  two.SetBlockPos(4, 6);
  EXPECT_EQ(two.m_nWidth, 40);
  EXPECT_DOUBLE_EQ(two.m_dX + two.m_nWidth / 2.0, one.m_dX + one.m_nWidth / 2.0);
  const double cellBottom = (6 + 10) * 32 + 31;
  EXPECT_EQ(two.m_dY - two.m_Rect.m_nOffsetY + two.m_Rect.m_nHeight - 1, cellBottom);

  // A carried item is active at once and never scaled.
  cItem carried;
  carried.SetUpFromDef(3, def, 1);
  EXPECT_EQ(carried.m_bPresent, 1);
  EXPECT_EQ(carried.m_nWidth, 20);
}

TEST_F(ItemChara, HiddenItemNeitherDrawsNorAnimates) {
  cEdItem def;
  cItem item;
  item.SetUpFromDef(1, def, 0);
  item.m_Def.m_bHidden = 1;
  for (int i = 0; i < 20; ++i) item.Draw(nullptr, 0);
  EXPECT_EQ(item.m_Anime.GetTick(), 0);
  item.m_Def.m_bHidden = 0;
  int frames[2] = {0, 0};
  for (int i = 0; i < 60; ++i) {
    item.Draw(nullptr, 0);
    ++frames[item.m_Anime.GetFrame() & 1];
  }
  EXPECT_EQ(frames[0], 30);
  EXPECT_EQ(frames[1], 30);
}

// The codes of the movement sub-steps that the play scene acts on.
TEST_F(ItemChara, MoveStepsReportMapSideFallAndFlyerAtTheEdge) {
  cEdChara def;
  {
    cChara walker;
    walker.InitFromDef(1, def, nullptr, 0, 0, 0, nullptr);
    walker.m_dX = 2;
    walker.m_dVX = -5;
    EXPECT_EQ(walker.MoveStepX(), MOVE_BELOW_SCROLL);  // 4: the map's side
    EXPECT_EQ(walker.m_dX, 0);
  }
  {
    cChara faller;
    faller.InitFromDef(2, def, nullptr, 0, 0, 0, nullptr);
    faller.m_dY = ScrollAxisY().m_nEnd - 2;
    faller.m_dVY = 3;
    EXPECT_EQ(faller.MoveStepY(), MOVE_CRUSHED);  // 7: fell out below the stage
  }
  {
    def.m_nFlyMode = MOVE_FLY;
    cChara flyer;
    flyer.InitFromDef(3, def, nullptr, 0, 0, 0, nullptr);
    flyer.m_dY = 2;
    flyer.m_dVY = -5;
    EXPECT_EQ(flyer.MoveStepY(), MOVE_FELL);  // 8: the map's top
  }
}

TEST_F(ItemChara, SharedSwitchActivatesBothInTheSameSubStep) {
  cEdChara def;
  def.m_bSetSwitch = 1;
  def.m_sSwitch = 5;
  cChara near, far;
  near.InitFromDef(1, def, nullptr, 0, 0, 0, nullptr);
  far.InitFromDef(2, def, nullptr, 0, 0, 0, nullptr);
  near.SetBlockPos(2, 2);
  far.SetBlockPos(35, 2);  // beyond the screen's 20 columns
  cVector<std::uint8_t> switches(60, 0);
  EXPECT_EQ(near.CheckAppear(switches), 1);
  EXPECT_EQ(far.CheckAppear(switches), 0);
  EXPECT_EQ(switches[5], 1);
  EXPECT_EQ(near.CheckActive(switches), 1);
  EXPECT_EQ(far.CheckActive(switches), 1);

  // Without the switch the far one stays asleep.
  def.m_bSetSwitch = 0;
  cChara alone;
  alone.InitFromDef(3, def, nullptr, 0, 0, 0, nullptr);
  alone.SetBlockPos(35, 2);
  alone.CheckAppear(switches);
  EXPECT_EQ(alone.CheckActive(switches), 0);
}

// A switch number outside the 60 switches sets and tests nothing, and play goes on.
TEST_F(ItemChara, ASwitchNumberOutsideTheSwitchesIsNoSwitch) {
  for (int number : {-1, 60, 1000, -32768}) {
    SCOPED_TRACE(testing::Message() << "switch " << number);
    platform::ResetCloseRequest();
    cEdChara def;
    def.m_bSetSwitch = 1;
    def.m_sSwitch = static_cast<std::int16_t>(number);
    def.m_nFlyMode = MOVE_FLY_THROUGH;
    cChara near, far;
    near.InitFromDef(1, def, nullptr, 0, 0, 0, nullptr);
    far.InitFromDef(2, def, nullptr, 0, 0, 0, nullptr);
    near.SetBlockPos(2, 2);
    far.SetBlockPos(35, 2);
    cVector<std::uint8_t> switches(60, 0);
    EXPECT_EQ(near.CheckAppear(switches), 1);
    EXPECT_EQ(switches.Count(0), 60);
    EXPECT_EQ(far.CheckAppear(switches), 0);
    switches.Fill(1);
    EXPECT_EQ(far.CheckActive(switches), 0);
    EXPECT_FALSE(platform::IsCloseRequested());
  }
  platform::ResetCloseRequest();
}

TEST_F(ItemChara, ViewOptionsIgnoreTheirAxis) {
  struct sCase {
    int option, column, row;
    int inSight;
  };
  // The screen shows columns 0 to 19 and rows 0 to 14 of the stage.
  const sCase cases[] = {
      {0, 2, -8, 0}, {1, 2, -8, 1}, {1, 30, 2, 0}, {2, 30, 2, 1}, {3, 30, -8, 1},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "option " << c.option);
    cEdChara def;
    def.m_nActiveRange = static_cast<std::uint8_t>(c.option);
    def.m_nFlyMode = MOVE_FLY_THROUGH;
    cChara chara;
    chara.InitFromDef(1, def, nullptr, 0, 0, 0, nullptr);
    chara.SetBlockPos(c.column, c.row);
    cVector<std::uint8_t> switches(60, 0);
    EXPECT_EQ(chara.CheckAppear(switches), c.inSight);
  }
}

TEST_F(ItemChara, BlockedJumpGivesUpAfterFourFrames) {
  for (int n : {1, 2}) {
    SCOPED_TRACE(testing::Message() << "N = " << n);
    g_Stage.SetSpeedLevel(n);
    cEdChara def;
    cChara chara;
    chara.InitFromDef(1, def, nullptr, 0, 0, 0, nullptr);
    chara.m_bAirLock = 1;  // still airborne
    cCmdRun run;
    run.m_nRemain = 100;
    run.m_dSpeed = -5;
    for (int s = 0; s < 4 * n; ++s) {
      chara.Jump(&run);
      ++run.m_nCount;  // as the jump command counts
      ASSERT_EQ(run.m_bBegun, 0);
    }
    chara.Jump(&run);
    EXPECT_EQ(run.m_bBegun, 1);
    EXPECT_EQ(run.m_nRemain, 0);
    EXPECT_EQ(chara.m_dVY, 0);

    // Not busy: the jump starts at once.
    cCmdRun start;
    start.m_dSpeed = -5;
    chara.m_bAirLock = 0;
    chara.Jump(&start);
    EXPECT_EQ(start.m_bBegun, 1);
    EXPECT_EQ(chara.m_dVY, -5);
    EXPECT_EQ(chara.m_bJumping, 1);
  }
}

TEST_F(ItemChara, MarkShowsThirtyTwoFramesOfEveryNinetySix) {
  cEdItem itemDef;
  cItem carried;
  carried.SetUpFromDef(9, itemDef, 1);
  cEdChara def;
  cChara with, without;
  with.InitFromDef(1, def, &carried, 0, 0, 0, nullptr);
  without.InitFromDef(2, def, nullptr, 0, 0, 0, nullptr);
  for (cChara* c : {&with, &without}) c->m_bOnScreen = 1;
  int shown = 0;
  for (int frame = 0; frame < 96 * 3; ++frame) {
    with.DrawMarkIcon(nullptr);
    without.DrawMarkIcon(nullptr);
    shown += with.m_nMarkCounter >= 64;
    EXPECT_EQ(without.m_nMarkCounter, 0);
  }
  EXPECT_EQ(shown, 32 * 3);
}

// Every command of kind CMD_WAIT takes the HP away, as a damage command would.
class cScopedKiller {
 public:
  cScopedKiller() : m_Saved(CmdExecFunc[CMD_WAIT]) { CmdExecFunc[CMD_WAIT] = Kill; }
  ~cScopedKiller() { CmdExecFunc[CMD_WAIT] = m_Saved; }
  static int s_Runs;

 private:
  static void Kill(cCharaBase* chara, cCmdRun&) {
    ++s_Runs;
    if (chara) chara->m_HP.m_nValue = 0;
  }
  CmdExecutor m_Saved;
};
int cScopedKiller::s_Runs = 0;

cEdFlow WaitFlow(int trigger) {
  cEdFlow flow;
  flow.m_nTrigger = static_cast<std::int8_t>(trigger);
  cEdCmd cmd;
  cmd.m_nKind = CMD_WAIT;
  cmd.m_Params.assign(CmdParamCount(CMDSET_CHARA, CMD_WAIT), 0);
  cmd.m_sTime = 10;
  flow.m_Cmds.push_back(cmd);
  return flow;
}

// A flow that empties HP stops the remaining flows at once; the context found is given back
// on that early return too, for characters and the hero alike.
TEST_F(ItemChara, FlowsStopWhenHpRunsOutAndTheContextIsGivenBack) {
  cScopedKiller killer;
  cScopedHeroes heroes;
  cEdChara def;
  def.m_Flows.push_back(WaitFlow(TRIGGER_ALWAYS));
  def.m_Flows.push_back(WaitFlow(TRIGGER_ALWAYS));
  cChara chara;
  chara.InitFromDef(1, def, nullptr, 0, 0, 0, nullptr);
  cHero& hero = heroes.Add();
  hero.SetUpFromDef(2, def, 400, 400, 0);
  for (cCharaBase* c : {static_cast<cCharaBase*>(&chara), static_cast<cCharaBase*>(&hero)}) {
    for (cFlowRun& run : c->m_FlowRuns) run.Start(c);
    cCharaBase outer;
    cFlowRun outerFlow;
    cScopedGlobal<cCharaBase*> ch(CurChara(), &outer);
    cScopedGlobal<cFlowRun*> fl(CurFlow(), &outerFlow);
    cScopedGlobal<cCmdRun*> cm(CurCmd(), nullptr);
    cScopedKiller::s_Runs = 0;
    EXPECT_EQ(c->RunFlows(0), 1);
    EXPECT_EQ(cScopedKiller::s_Runs, 1);
    EXPECT_EQ(CurChara(), &outer);
    EXPECT_EQ(CurFlow(), &outerFlow);
  }
}

// The spawner builds a character on a temporary and copies it into its list node.
TEST_F(ItemChara, CopyIntoTheListKeepsTheCarriedItemAndPointsFlowsAtTheOwnCopy) {
  cEdItem itemDef;
  itemDef.m_sGraphic = 12;
  cItem carried;
  carried.SetUpFromDef(9, itemDef, 1);
  cEdChara def;
  def.m_nActiveRange = 3;
  def.m_Flows.push_back(WaitFlow(TRIGGER_ALWAYS));
  cCharaList list;
  {
    cChara temp;
    temp.InitFromDef(4, def, &carried, 0, 0, 0, nullptr);
    temp.SetBlockPos(6, 7);
    temp.m_nMarkCounter = 70;
    list.emplace_back(temp);
  }
  const cChara& c = list.front();
  EXPECT_EQ(c.m_nNumber, 4);
  EXPECT_EQ(c.m_DropItem.m_bCarried, 1);
  EXPECT_EQ(c.m_DropItem.m_Def.m_sGraphic, 12);
  EXPECT_EQ(c.m_nMarkCounter, 70);
  EXPECT_EQ(c.m_bIgnoreX, 1);
  EXPECT_EQ(c.m_bIgnoreY, 1);
  ASSERT_EQ(c.m_FlowRuns.size(), 1u);
  EXPECT_EQ(c.m_FlowRuns[0].m_pFlow, &c.m_Def.m_Flows[0]);
}

TEST(FindCharaByNumber, HeroesFirstThenCharacters) {
  cScopedHeroes heroes;
  cHero& hero = heroes.Add();
  hero.m_nNumber = 4;
  g_CharaList.clear();
  cChara& a = g_CharaList.emplace_back();
  a.m_nNumber = 4;
  cChara& b = g_CharaList.emplace_back();
  b.m_nNumber = 7;
  EXPECT_EQ(FindCharaByNumber(4), &hero);
  EXPECT_EQ(FindCharaByNumber(7), &b);
  EXPECT_EQ(FindCharaByNumber(8), nullptr);
  g_CharaList.clear();
}

}  // namespace
