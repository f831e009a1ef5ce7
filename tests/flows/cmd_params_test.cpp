#include "flows/cmd_params.h"

#include <gtest/gtest.h>

#include <functional>

#include "content/command.h"
#include "flows/flow_run.h"
#include "foundation/status_arith.h"
#include "objects/hero.h"
#include "tests/flows/script_world.h"
#include "tests/support/scoped_value.h"

namespace {

class ArrangeTest : public cScriptWorld {
 protected:
  void SetUp() override {
    cScriptWorld::SetUp();
    InitCmdParamInfo();
  }
  // A command of a kind with its parameter list and, for the kinds that have them, a move
  // and a shot record.
  static cEdCmd Command(int kind, int set = CMDSET_CHARA) {
    cEdCmd cmd;
    cmd.m_nCmdSet = static_cast<std::int8_t>(set);
    cmd.m_nKind = static_cast<std::int8_t>(kind);
    cmd.m_Params.assign(CmdParamCount(set, kind), 0);
    NewMove(cmd.m_pMove);
    NewShot(cmd.m_pShot);
    return cmd;
  }
  // An arrange command: (kind, parameter, operator, scope, variable).
  static cEdCmd Arrange(int kind, int param, int op, int scope, int var, int set = CMDSET_CHARA) {
    cEdCmd cmd = Command(set == CMDSET_CHARA ? int{CMD_ARRANGE} : int{ITEMCMD_ARRANGE}, set);
    cmd.m_Params = {kind, param, op, scope, var};
    return cmd;
  }
  // The arrange command run by the test's character (or by the hero, for item commands).
  void Queue(cEdCmd cmd, cCharaBase* by = nullptr) { ExecArrange(by ? by : &me, cmd); }
  cScopedGlobal<cVector<cVector<cCmdParamInfo>>> m_Info{g_CmdParamInfo};
  cFlowRun m_Flow;
  cScopedGlobal<cCharaBase*> m_CurChara{CurChara(), &me};
  cScopedGlobal<cFlowRun*> m_CurFlow{CurFlow(), &m_Flow};
};

// Each shot-record parameter reaches the field its name labels, in the field's own width.
TEST_F(ArrangeTest, ShotParametersReachTheirFields) {
  using Field = std::function<int(const cEdShot&)>;
  struct Row {
    int kind, n;
    Field field;
  } rows[] = {
      {CMD_SHOT, 0, [](const cEdShot& s) { return s.m_sGraphic; }},
      {CMD_SHOT, 1, [](const cEdShot& s) { return s.m_nZ; }},
      {CMD_SHOT, 4, [](const cEdShot& s) { return s.m_sFormationValue[2]; }},
      {CMD_SHOT, 5, [](const cEdShot& s) { return s.m_nCount; }},
      {CMD_SHOT, 6, [](const cEdShot& s) { return s.m_nClonesPerShot; }},
      {CMD_SHOT, 9, [](const cEdShot& s) { return s.m_sSpreadAngle; }},
      {CMD_SHOT, 13, [](const cEdShot& s) { return s.m_sOffsetYClone; }},
      {CMD_SHOT, 14, [](const cEdShot& s) { return s.m_nGroup; }},
      {CMD_SHOT, 16, [](const cEdShot& s) { return s.m_sGuideValue[1]; }},
      {CMD_SHOT, 21, [](const cEdShot& s) { return s.m_sAccelClone; }},
      {CMD_SHOT, 22, [](const cEdShot& s) { return s.m_sRange; }},
      {CMD_SHOT, 24, [](const cEdShot& s) { return s.m_sLifetime; }},
      {CMD_SHOT, 25, [](const cEdShot& s) { return s.m_sLifetimeClone; }},
      {CMD_SHOT, 26, [](const cEdShot& s) { return s.m_nVanishValue; }},
      {CMD_SHOT, 27, [](const cEdShot& s) { return s.m_nPower; }},
      {CMD_SHOT, 28, [](const cEdShot& s) { return s.m_nImpact; }},
      {CMD_SWORD, 0, [](const cEdShot& s) { return s.m_nGroup; }},
      {CMD_SWORD, 2, [](const cEdShot& s) { return s.m_nPower; }},
      {CMD_SUMMON_BLOCK, 0, [](const cEdShot& s) { return s.m_sFormationValue[0]; }},
      {CMD_SUMMON_BLOCK, 3, [](const cEdShot& s) { return s.m_nCount; }},
      {CMD_SUMMON_CHARA, 0, [](const cEdShot& s) { return s.m_sRange; }},
      {CMD_SUMMON_CHARA, 1, [](const cEdShot& s) { return s.m_nGroup; }},
      {CMD_SUMMON_CHARA, 7, [](const cEdShot& s) { return s.m_sOffsetY; }},
      {CMD_SUMMON_ITEM, 0, [](const cEdShot& s) { return s.m_sRange; }},
      {CMD_SUMMON_ITEM, 3, [](const cEdShot& s) { return s.m_sFormationValue[2]; }},
      {CMD_SUMMON_ITEM, 6, [](const cEdShot& s) { return s.m_sOffsetY; }},
  };
  for (const Row& r : rows) {
    cEdCmd cmd = Command(r.kind);
    ASSERT_EQ(CmdParamSet[r.kind](cmd, r.n, 100 + 256 * 3), 1) << r.kind << " " << r.n;
    std::int32_t back = 0;
    ASSERT_EQ(CmdParamGet[r.kind](cmd, r.n, back), 1);
    EXPECT_EQ(back, r.field(*cmd.m_pShot)) << r.kind << " " << r.n;
    // A byte field keeps its low byte, wider ones the whole value.
    EXPECT_TRUE(back == 100 || back == 100 + 256 * 3) << r.kind << " " << r.n;
  }
  // Integer parameters: the message's ID is its parameter 13.
  cEdCmd message = Command(CMD_MESSAGE);
  ASSERT_EQ(CmdParamSet[CMD_MESSAGE](message, 0, 77), 1);
  EXPECT_EQ(message.m_Params[13], 77);
  EXPECT_EQ(CmdParamSet[CMD_MESSAGE](message, 5, 77), 0);
  cEdCmd warp = Command(CMD_WARP);
  ASSERT_EQ(CmdParamSet[CMD_WARP](warp, 3, -9), 1);
  EXPECT_EQ(warp.m_pMove->m_sTargetBlockY, -9);
}

TEST_F(ArrangeTest, EntriesApplyToTheNextCommandOfTheFlow) {
  g_PlayData.m_CommonVar[3] = 500;
  cEdCmd shot = Command(CMD_SHOT);
  shot.m_pShot->m_nCount = 4;
  cCmdRun run;
  run.m_pCmd = &shot;

  cEdCmd arrange = Arrange(CMD_SHOT, 5, ASSIGN_SET, 0, 3);
  ExecArrange(&me, arrange);
  run.Reset();
  EXPECT_EQ(shot.m_pShot->m_nCount, 127);  // clamped to the count's range
  EXPECT_TRUE(m_Flow.m_Arranges.empty());
  run.Reset();
  EXPECT_EQ(shot.m_pShot->m_nCount, 127);  // the change stays in the command

  // Lost at a command of another kind in between.
  shot.m_pShot->m_nCount = 4;
  cEdCmd wait = Command(CMD_WAIT);
  cCmdRun waitRun;
  waitRun.m_pCmd = &wait;
  ExecArrange(&me, arrange);
  waitRun.Reset();
  run.Reset();
  EXPECT_EQ(shot.m_pShot->m_nCount, 4);

  // Two arranges in a row both apply, in order: the count becomes 10, then 10 x -2 -> 1.
  g_PlayData.m_CommonVar[3] = 10;
  me.m_Vars[0] = -2;
  ExecArrange(&me, arrange);
  cEdCmd times = Arrange(CMD_SHOT, 5, ASSIGN_MUL, 2, 0);  // character variable 0 is allowed
  cCmdRun arrangeRun;
  arrangeRun.m_pCmd = &times;
  arrangeRun.Reset();  // an arrange command takes nothing
  ExecArrange(&me, times);
  run.Reset();
  EXPECT_EQ(shot.m_pShot->m_nCount, 1);

  // Common variable 0 is refused; formation 4 has no values, so its values clamp to 0.
  g_PlayData.m_CommonVar[0] = 9;
  Queue(Arrange(CMD_SHOT, 5, ASSIGN_SET, 0, 0));
  run.Reset();
  EXPECT_EQ(shot.m_pShot->m_nCount, 1);
  shot.m_pShot->m_nFormation = FORMATION_EXPLODE;
  Queue(Arrange(CMD_SHOT, 2, ASSIGN_SET, 0, 3));
  run.Reset();
  EXPECT_EQ(shot.m_pShot->m_sFormationValue[0], 0);
  // A formation byte outside the table changes nothing.
  shot.m_pShot->m_nFormation = 9;
  Queue(Arrange(CMD_SHOT, 2, ASSIGN_SET, 0, 3));
  run.Reset();
  EXPECT_EQ(shot.m_pShot->m_sFormationValue[0], 0);
  // Kinds whose entries reach nothing.
  cEdCmd circle = Command(CMD_MOVE_CIRCLE);
  ApplyArrange(circle, sArrange{CMD_MOVE_CIRCLE, 0, ASSIGN_SET, 0, 3}, &me);
  EXPECT_FALSE(platform::IsCloseRequested());
}

TEST_F(ArrangeTest, ItemArrangesWaitOnTheHero) {
  cHero& hero = m_Heroes.Add();
  hero.Reset(nullptr, 0, 0, 0);
  hero.m_Def.m_nMaxHP = 10;
  hero.m_HP.m_nValue = 10;
  g_PlayData.m_CommonVar[4] = 321;

  cEdCmd message = Command(CMD_MESSAGE - kItemCmdKindOffset, CMDSET_ITEM);
  Queue(Arrange(CMD_MESSAGE, 0, ASSIGN_SET, 0, 4, CMDSET_ITEM), &hero);
  ASSERT_EQ(hero.m_PendingArranges.size(), 1u);
  ApplyHeroArranges(message, hero);
  EXPECT_EQ(message.m_Params[13], 321);

  // The item list applies them to the next command that is not an arrange, then drops them.
  hero.m_PendingArranges.clear();
  CmdVector cmds;
  cmds.push_back(Arrange(CMD_STATUS_OP, 1, ASSIGN_SET, 0, 4, CMDSET_ITEM));
  cmds.push_back(Command(CMD_STATUS_OP - kItemCmdKindOffset, CMDSET_ITEM));
  hero.RunItemCmds(cmds);
  EXPECT_EQ(cmds[1].m_Params[9], 321);
  EXPECT_TRUE(hero.m_PendingArranges.empty());
}

TEST_F(ArrangeTest, AnIndexBeyondTheKindsListIsReported) {
  cEdCmd shot = Command(CMD_SHOT);
  const cEdShot before = *shot.m_pShot;
  ApplyArrange(shot, sArrange{CMD_SHOT, 29, ASSIGN_SET, 0, 3}, &me);
  EXPECT_TRUE(platform::IsCloseRequested());
  EXPECT_EQ(shot.m_pShot->m_nCount, before.m_nCount);
  EXPECT_NE(Report().find("err V[29] ( 29 ,"), std::string::npos);
}

}  // namespace
