// Flow operations on the flows of the running character and of its targets: which flows
// each selection reaches, what each operation does to a flow and its animations, and flows
// that start one another before the stage starts.
#include <gtest/gtest.h>

#include <list>
#include <vector>

#include "content/command.h"
#include "content/command_tables.h"
#include "content/flow.h"
#include "flows/flow_run.h"
#include "flows/shot_cmds.h"
#include "objects/chara.h"
#include "objects/chara_flows.h"
#include "tests/objects/play_world.h"

namespace {

cEdCmd FlowOp(int op, int sel, int id = 0, int whose = 0) {
  cEdCmd cmd;
  cmd.m_nKind = CMD_FLOW_OP;
  cmd.m_bParallel = 1;
  cmd.m_Params.assign(CmdParamCount(CMDSET_CHARA, CMD_FLOW_OP), 0);
  cmd.m_Params[0] = op;
  cmd.m_Params[1] = sel;
  cmd.m_Params[2] = id;
  cmd.m_Params[3] = whose;
  return cmd;
}

cEdCmd Wait() {
  cEdCmd cmd;
  cmd.m_nKind = CMD_WAIT;
  cmd.m_sTime = 10;
  cmd.m_Params.assign(CmdParamCount(CMDSET_CHARA, CMD_WAIT), 0);
  return cmd;
}

cEdFlow Flow(int id, std::vector<cEdCmd> cmds, int trigger = TRIGGER_NONE) {
  cEdFlow f;
  f.m_nID = static_cast<std::int8_t>(id);
  f.m_nTrigger = static_cast<std::int8_t>(trigger);
  f.m_Cmds = CmdVector(cmds);
  return f;
}

class FlowOpTest : public cPlayWorld {
 protected:
  void SetUp() override { MakeMap(20, 10); }
  cChara& Make(std::vector<cEdFlow> flows) {
    cChara& c = m_Charas.emplace_back();
    c.Reset(nullptr, 0, 0, 0);
    c.m_Def.m_Flows = FlowVector(flows);
    SetupFlows(c, c.m_Def.m_Flows, 0, 0);
    return c;
  }
  // Runs the first command of flow index of c, as that flow's step would.
  static void RunOp(cChara& c, int index) {
    cFlowContextGuard keep;
    cFlowRun& flow = c.m_FlowRuns[index];
    CurChara() = &c;
    CurFlow() = &flow;
    cCmdRun& run = flow.m_Cmds[0];
    run.Reset();
    run.Exec();
  }
  static std::vector<int> Running(const cChara& c) {
    std::vector<int> out;
    for (const cFlowRun& f : c.m_FlowRuns) out.push_back(f.m_bRunning);
    return out;
  }
  static std::vector<int> Ids(const cChara& c) {
    std::vector<int> out;
    for (const cEdFlow& f : c.m_Def.m_Flows) out.push_back(f.m_nID);
    return out;
  }

  cScopedHeroes m_Heroes;
  cCharaList m_Charas;
};

TEST_F(FlowOpTest, SelectionsReachTheirFlows) {
  // STOP ALL_OTHERS: the running flow goes on, every other one stops.
  cChara& c =
      Make({Flow(1, {FlowOp(FLOWOP_STOP, FLOWSEL_OTHERS)}), Flow(2, {Wait()}), Flow(3, {Wait()})});
  for (cFlowRun& f : c.m_FlowRuns) f.Start(&c);
  RunOp(c, 0);
  EXPECT_EQ(Running(c), (std::vector<int>{1, 0, 0}));

  // START ALL_OTHERS starts idle flows too; START THIS starts the flow afresh.
  cChara& d = Make({Flow(1, {FlowOp(FLOWOP_START, FLOWSEL_OTHERS)}), Flow(2, {Wait()})});
  RunOp(d, 0);
  EXPECT_EQ(Running(d), (std::vector<int>{0, 1}));

  // BY_ID on a target in an empty slot: nothing, whatever the selection.
  cChara& e = Make({Flow(1, {FlowOp(FLOWOP_START, FLOWSEL_BY_ID, 2, 2)}), Flow(2, {Wait()})});
  RunOp(e, 0);
  EXPECT_EQ(Running(e), (std::vector<int>{0, 0}));
  cChara& f = Make({Flow(1, {FlowOp(FLOWOP_STOP, FLOWSEL_THIS, 0, 2)})});
  f.m_FlowRuns[0].Start(&f);
  RunOp(f, 0);
  EXPECT_EQ(Running(f), (std::vector<int>{1}));

  // ID 0 selects no flow.
  cChara& g = Make({Flow(0, {FlowOp(FLOWOP_START, FLOWSEL_BY_ID, 0)}), Flow(0, {Wait()})});
  RunOp(g, 0);
  EXPECT_EQ(Running(g), (std::vector<int>{0, 0}));
}

TEST_F(FlowOpTest, DeleteRemovesATargetsFlowsAtOnceAndMarksOwnFlows) {
  cChara& target =
      Make({Flow(3, {Wait()}), Flow(5, {Wait()}), Flow(5, {Wait()}), Flow(6, {Wait()})});
  cChara& c = Make({Flow(1, {FlowOp(FLOWOP_DELETE, FLOWSEL_BY_ID, 5, 1)}), Flow(5, {Wait()})});
  SetTarget(c, 0, &target, 0);
  RunOp(c, 0);
  EXPECT_EQ(Ids(target), (std::vector<int>{3, 6}));
  EXPECT_EQ(target.m_FlowRuns.size(), 2u);
  EXPECT_EQ(c.m_FlowRuns[1].m_bDeleteReq, 0);  // the character's own flows are not touched

  // On the character's own flows the deletion waits for the end of its pass.
  cChara& self = Make({Flow(5, {FlowOp(FLOWOP_DELETE, FLOWSEL_BY_ID, 5)}), Flow(5, {Wait()})});
  RunOp(self, 0);
  EXPECT_EQ(self.m_FlowRuns.size(), 2u);
  EXPECT_EQ(self.m_bFlowDeleteReq, 1);
  EXPECT_EQ(self.m_FlowRuns[0].m_bDeleteReq, 1);
  EXPECT_EQ(self.m_FlowRuns[0].m_bInterrupted, 1);  // its own step ends after the command
  EXPECT_EQ(self.m_FlowRuns[1].m_bDeleteReq, 1);
}

TEST_F(FlowOpTest, PauseFreezesTheFlowAndItsAnimationsUntilResumed) {
  cChara& c = Make({Flow(1, {FlowOp(FLOWOP_PAUSE, FLOWSEL_THIS)}),
                    Flow(2, {FlowOp(FLOWOP_RESUME, FLOWSEL_BY_ID, 1)})});
  cFlowRun& paused = c.m_FlowRuns[0];
  paused.Start(&c);
  cOneShotAnime& anime = c.m_OneShotAnime.emplace_back();
  anime.m_nKey = paused.m_nSerial;
  anime.m_nFramesLeft = 10;
  RunOp(c, 0);
  EXPECT_EQ(paused.m_bPaused, 1);
  EXPECT_EQ(paused.m_bInterrupted, 1);
  EXPECT_EQ(c.m_OneShotAnime.front().m_bPaused, 1);
  RunOp(c, 1);
  EXPECT_EQ(paused.m_bPaused, 0);
  EXPECT_EQ(c.m_OneShotAnime.front().m_bPaused, 0);
}

TEST_F(FlowOpTest, FlowsStartingEachOtherBeforeTheStageStopAtTheirDepth) {
  // Two flows that start each other: the chain ends instead of recursing without end.
  cChara& c = Make({Flow(1, {FlowOp(FLOWOP_START, FLOWSEL_BY_ID, 2)}, TRIGGER_BEFORE_STAGE_START),
                    Flow(2, {FlowOp(FLOWOP_START, FLOWSEL_BY_ID, 1)}, TRIGGER_BEFORE_STAGE_START)});
  c.m_FlowRuns[0].Start(&c);
  EXPECT_EQ(c.m_FlowRuns[0].m_bRunning, 0);

  // A chain without a cycle starts every flow, however long.
  std::vector<cEdFlow> chain;
  for (int i = 1; i <= 20; ++i)
    chain.push_back(
        Flow(i, {FlowOp(FLOWOP_START, FLOWSEL_BY_ID, i + 1)}, TRIGGER_BEFORE_STAGE_START));
  cChara& d = Make(chain);
  d.m_FlowRuns[0].Start(&d);
  for (const cFlowRun& f : d.m_FlowRuns) EXPECT_EQ(f.m_bStarted, 1) << f.m_nIndex;
}

}  // namespace
