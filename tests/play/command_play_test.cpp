// Characters of a small stage running their movement and shot commands through frames of
// play: a walker turns at both ledges of its floor, a flyer circles back to where it began,
// a shooter fires every tenth of a second.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>

#include "content/command.h"
#include "content/flow.h"
#include "flows/shot_cmds.h"
#include "foundation/report.h"
#include "foundation/timer.h"
#include "objects/chara_flows.h"
#include "stage_fixture.h"

namespace {

// The shared every-60th counter of the time display starts from 0 and is left at 0.
struct sCountReset {
  sCountReset() { CountEvery(0, 0); }
  ~sCountReset() { CountEvery(0, 0); }
};

class CommandPlayTest : public cStageFixture {
 protected:
  // The hero on a floor at the left, one computer character with one always-running flow.
  cChara& Build(const cEdCmd& cmd, int flyMode, int column, int row) {
    cEdChara hero = Chara(0, 1, 3);
    cEdChara actor = Chara(1, column, row);
    actor.m_nFlyMode = static_cast<std::uint8_t>(flyMode);
    cEdFlow flow;
    flow.m_nTrigger = TRIGGER_ALWAYS;
    flow.m_Cmds.push_back(cmd);
    actor.m_Flows.push_back(flow);
    g_Stage.m_PlacedCharas = CharaVector{hero, actor};
    SetUpStage(1);
    EXPECT_FALSE(g_Heroes.empty());
    g_Heroes.front().SetUpFromDef(0, hero, (1 + 10) * 32, (3 + 10) * 32, 0);
    cEdBlock floor;
    floor.m_sGraphic = 1;
    for (int c = 0; c <= 2; ++c) SetMapCellBlock(*MapCellAtBlock(c, 5), floor);
    scene.m_nPhase = PLAYPHASE_PLAY;
    EXPECT_EQ(g_CharaList.size(), 1u);
    return g_CharaList.front();
  }
  static cEdCmd Cmd(int kind, int tenths) {
    cEdCmd cmd;
    cmd.m_nKind = static_cast<std::int8_t>(kind);
    cmd.m_sTime = static_cast<std::int16_t>(tenths);
    cmd.m_Params.assign(CmdParamCount(CMDSET_CHARA, kind), 0);
    return cmd;
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) {
      g_Inputs.front().m_wButton = 0;
      scene.PhasePlay();
    }
  }
  sCountReset count;
};

TEST_F(CommandPlayTest, AWalkerTurnsAtBothLedgesOfItsFloor) {
  cEdCmd walk = Cmd(CMD_MOVE_GROUND, 10);
  NewMove(walk.m_pMove);
  walk.m_pMove->m_sSpeed = 20;
  cChara& walker = Build(walk, MOVE_GROUND, 7, 4);
  cEdBlock floor;
  floor.m_sGraphic = 1;
  for (int c = 5; c <= 9; ++c) SetMapCellBlock(*MapCellAtBlock(c, 5), floor);
  const double left = (5 + 10) * 32, right = (10 + 10) * 32;
  double lowest = 1e9, highest = -1e9;
  int turns = 0, facing = walker.m_nFacing;
  for (int frame = 0; frame < 400; ++frame) {
    Frames(1);
    ASSERT_FALSE(g_CharaList.empty()) << frame;
    lowest = std::min(lowest, walker.m_dX);
    highest = std::max(highest, walker.m_dRight);
    turns += walker.m_nFacing != facing;
    facing = walker.m_nFacing;
  }
  EXPECT_GE(turns, 4);
  EXPECT_GE(lowest, left - 16);  // never past the middle of its foot over either ledge
  EXPECT_LE(highest, right + 16);
  EXPECT_EQ(static_cast<int>(walker.m_dBottom), (5 + 10) * 32 - 1);  // still on the floor
}

TEST_F(CommandPlayTest, AShooterFiresEveryTenthOfASecond) {
  cEdCmd shoot = Cmd(CMD_SHOT, 10);
  NewShot(shoot.m_pShot);
  shoot.m_pShot->m_nCount = 2;
  shoot.m_pShot->m_sSpeed = 10;
  shoot.m_pShot->m_nDirection = 0;
  Build(shoot, MOVE_FLY, 6, 3);
  const int before = scene.m_nShotNo;
  Frames(60);
  EXPECT_EQ(scene.m_nShotNo - before, 20);
  ASSERT_FALSE(scene.m_ShotList.empty());
  EXPECT_LT(scene.m_ShotList.front().m_dBaseVX, 0);  // forward: to the left
}

TEST_F(CommandPlayTest, FlowsStartingEachOtherAreReportedOncePerStage) {
  ReportOpen("Report_Game.txt");
  auto start = [](int id) {
    cEdCmd op = Cmd(CMD_FLOW_OP, 0);
    op.m_bParallel = 1;
    op.m_Params[0] = FLOWOP_START;
    op.m_Params[1] = FLOWSEL_BY_ID;
    op.m_Params[2] = id;
    return op;
  };
  cChara& c = Build(start(2), MOVE_FLY, 6, 3);
  cEdFlow a, b;
  a.m_nID = 1;
  b.m_nID = 2;
  a.m_nTrigger = b.m_nTrigger = TRIGGER_BEFORE_STAGE_START;
  a.m_Cmds.push_back(start(2));
  b.m_Cmds.push_back(start(1));
  c.m_Def.m_Flows = FlowVector({a, b});
  SetupFlows(c, c.m_Def.m_Flows, 0, 0);
  auto reported = [] {
    std::ifstream in("Report_Game.txt");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int n = 0;
    for (std::size_t at = text.find("deeper than 1000"); at != std::string::npos;
         at = text.find("deeper than 1000", at + 1))
      ++n;
    return n;
  };
  for (int i = 0; i < 2; ++i) c.m_FlowRuns[0].Start(&c);
  EXPECT_EQ(reported(), 1);
  // The next stage reports it again.
  SetUpStage(1);
  ASSERT_FALSE(g_CharaList.empty());
  cChara& again = g_CharaList.front();
  again.m_Def.m_Flows = FlowVector({a, b});
  SetupFlows(again, again.m_Def.m_Flows, 0, 0);
  again.m_FlowRuns[0].Start(&again);
  EXPECT_EQ(reported(), 2);
}

}  // namespace
