#include "flows/flow_run.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <utility>
#include <vector>

#include "content/chara.h"
#include "content/command.h"
#include "content/flow.h"
#include "flows/cmd_dispatch.h"
#include "objects/chara.h"
#include "objects/chara_flows.h"
#include "project/system_data.h"
#include "tests/support/scoped_value.h"

namespace {

// Every executor replaced by one that notes (kind, sub-step); the table comes back at the end.
class cFakeDispatch {
 public:
  cFakeDispatch() {
    for (int k = 0; k < CMD_KIND_COUNT; ++k) {
      m_Saved[k] = CmdExecFunc[k];
      CmdExecFunc[k] = Record;
    }
    s_Log.clear();
    s_SubStep = 0;
  }
  ~cFakeDispatch() {
    for (int k = 0; k < CMD_KIND_COUNT; ++k) CmdExecFunc[k] = m_Saved[k];
  }
  static std::vector<std::pair<int, int>> s_Log;  // (kind, sub-step)
  static int s_SubStep;

 private:
  // The flows run in an empty context, given back afterwards.
  cScopedGlobal<cCharaBase*> m_Chara{CurChara(), nullptr};
  cScopedGlobal<cFlowRun*> m_Flow{CurFlow(), nullptr};
  cScopedGlobal<cCmdRun*> m_Cmd{CurCmd(), nullptr};
  static void Record(cCharaBase*, cCmdRun& run) { s_Log.emplace_back(run.m_pCmd->m_nKind, s_SubStep); }
  CmdExecutor m_Saved[CMD_KIND_COUNT];
};
std::vector<std::pair<int, int>> cFakeDispatch::s_Log;
int cFakeDispatch::s_SubStep = 0;

struct sCmdShape {
  int kind;
  int duration;  // sub-steps
  bool parallel;
};

// A flow of the given commands with a run pointing at it.
struct cTestFlow {
  explicit cTestFlow(const std::vector<sCmdShape>& cmds, int trigger = TRIGGER_NONE) {
    flow.m_nTrigger = static_cast<std::int8_t>(trigger);
    for (const sCmdShape& shape : cmds) {
      cEdCmd cmd;
      cmd.m_nKind = static_cast<std::int8_t>(shape.kind);
      cmd.m_bParallel = shape.parallel ? 1 : 0;
      cmd.m_Params.assign(CmdParamCount(CMDSET_CHARA, shape.kind), 0);
      flow.m_Cmds.push_back(cmd);
    }
    run.m_pFlow = &flow;
    run.m_Cmds.resize(cmds.size());
    for (std::size_t k = 0; k < cmds.size(); ++k) {
      run.m_Cmds[k].m_pCmd = &flow.m_Cmds[k];
      run.m_Cmds[k].m_nDuration = cmds[k].duration;
    }
  }
  // Steps until the flow finishes (at most limit sub-steps); the sub-step it finished in.
  int RunToEnd(int limit = 1000) {
    for (int s = 0; s < limit; ++s) {
      cFakeDispatch::s_SubStep = s;
      if (run.Step()) {
        run.Stop(nullptr);
        return s;
      }
    }
    return -1;
  }
  int Count(int kind) const {
    int n = 0;
    for (const auto& entry : cFakeDispatch::s_Log) n += entry.first == kind;
    return n;
  }
  int FirstSubStep(int kind) const {
    for (const auto& entry : cFakeDispatch::s_Log)
      if (entry.first == kind) return entry.second;
    return -1;
  }
  cEdFlow flow;
  cFlowRun run;
};

constexpr int A = CMD_MOVE_LINE, B = CMD_MOVE_GROUND, C = CMD_MOVE_RUSH, D = CMD_TURN;

TEST(FlowRun, WaitingCommandsRunTheirDurationAndHandOverInTheNextSubStep) {
  struct sCase {
    int duration;
    int finishedAt;
    int runs;
  };
  for (const sCase& c : {sCase{0, 0, 1}, sCase{1, 0, 1}, sCase{30, 29, 30}}) {
    cFakeDispatch fake;
    cTestFlow t({{A, c.duration, false}});
    t.run.Start(nullptr);
    EXPECT_EQ(t.RunToEnd(), c.finishedAt) << c.duration;
    EXPECT_EQ(t.Count(A), c.runs) << c.duration;
  }
  cFakeDispatch fake;
  cTestFlow t({{A, 30, false}, {B, 2, false}});
  t.run.Start(nullptr);
  EXPECT_EQ(t.RunToEnd(), 31);
  EXPECT_EQ(t.FirstSubStep(B), 30);
}

TEST(FlowRun, ParallelCommandsStartWithTheNextWaitingOneAndAreCutWhenTheFlowEnds) {
  cFakeDispatch fake;
  cTestFlow t({{A, 60, true}, {B, 12, true}, {C, 6, false}});
  t.run.Start(nullptr);
  EXPECT_EQ(t.RunToEnd(), 5);
  EXPECT_EQ(t.FirstSubStep(A), 0);
  EXPECT_EQ(t.FirstSubStep(B), 0);
  EXPECT_EQ(t.FirstSubStep(C), 0);
  EXPECT_EQ(t.Count(A), 6);
  EXPECT_EQ(t.Count(B), 6);
  EXPECT_EQ(t.Count(C), 6);
  for (const cCmdRun& cmd : t.run.m_Cmds) EXPECT_EQ(cmd.m_nRemain, 0);

  // A parallel command outlasting the waiting one keeps running beside the next.
  cFakeDispatch again;
  cTestFlow u({{B, 12, true}, {C, 6, false}, {D, 10, false}});
  u.run.Start(nullptr);
  EXPECT_EQ(u.RunToEnd(), 15);
  EXPECT_EQ(u.Count(B), 12);
  EXPECT_EQ(u.FirstSubStep(D), 6);
}

TEST(FlowRun, RestartPauseAndResume) {
  cFakeDispatch fake;
  cTestFlow t({{A, 5, false}, {B, 5, false}});
  t.run.Start(nullptr);
  for (int s = 0; s < 7; ++s) t.run.Step();
  EXPECT_EQ(t.run.m_nCursor, 1);

  // Pause and resume leave everything where it was.
  const int cursor = t.run.m_nCursor, steps = t.run.m_nSteps, remain = t.run.m_Cmds[1].m_nRemain;
  t.run.Pause();
  EXPECT_EQ(t.run.m_bPaused, 1);
  t.run.Resume();
  EXPECT_EQ(t.run.m_bPaused, 0);
  EXPECT_EQ(t.run.m_nCursor, cursor);
  EXPECT_EQ(t.run.m_nSteps, steps);
  EXPECT_EQ(t.run.m_Cmds[1].m_nRemain, remain);
  EXPECT_EQ(t.run.m_bRunning, 1);

  // Started again while running (stop, then start): from command 0 with fresh durations.
  cFakeDispatch::s_Log.clear();
  t.run.Stop(nullptr);
  t.run.Start(nullptr);
  EXPECT_EQ(t.run.m_nCursor, 0);
  EXPECT_EQ(t.RunToEnd(), 9);
  EXPECT_EQ(t.Count(A), 5);
  EXPECT_EQ(t.Count(B), 5);
}

TEST(FlowRun, BeforeStageStartRunsItsImmediateCommandsOnceInsideStart) {
  cFakeDispatch fake;
  cTestFlow t({{A, 1, true},                      // below kind 16: passed over
               {CMD_STAGE_CLEAR, 1, false},       // waiting: passed over
               {CMD_WARP, 1, true},
               {CMD_SOUND, 0, true}},
              TRIGGER_BEFORE_STAGE_START);
  t.run.Start(nullptr);
  EXPECT_EQ(t.run.m_bRunning, 0);
  ASSERT_EQ(cFakeDispatch::s_Log.size(), 2u);
  EXPECT_EQ(cFakeDispatch::s_Log[0].first, CMD_WARP);
  EXPECT_EQ(cFakeDispatch::s_Log[1].first, CMD_SOUND);
  EXPECT_EQ(t.run.m_Cmds[2].m_bDone, 1);
  EXPECT_EQ(t.run.m_Cmds[1].m_bDone, 0);
  EXPECT_EQ(CurFlow(), nullptr);
}

TEST(FlowRun, KeyWaitMessageIsRememberedUntilTheNextWaitingCommand) {
  cFakeDispatch fake;
  cTestFlow t({{CMD_MESSAGE, 1, false}, {CMD_MESSAGE, 1, false}, {A, 3, false}});
  t.run.Start(nullptr);
  t.run.Step();
  EXPECT_EQ(t.run.m_bKeyWaitMsg, 1);
  t.run.Step();
  EXPECT_EQ(t.run.m_bKeyWaitMsg, 1);
  t.run.Step();
  EXPECT_EQ(t.run.m_bKeyWaitMsg, 0);
}

TEST(FlowRun, CalcMoveTimeDerivesSpeedOrDuration) {
  struct sCase {
    int mode;
    int unit;  // 0 half-blocks, 1 dots
    double speed;
    int compat;
    double wantSpeed;
    int wantDuration;
  };
  const sCase cases[] = {
      {0, 0, 2.0, 0, 2.0, 40},        // time and speed: nothing derived
      {1, 0, 0.0, 0, 2.0, 40},        // 5 half-blocks in 40 sub-steps
      {1, 1, 0.0, 0, 0.125, 40},      // 5 dots
      {2, 0, 2.0, 0, 2.0, 40},
      {2, 0, -2.0, 0, -2.0, 40},      // a negative result made positive
      {2, 0, -2.0, 1, -2.0, -40},     // ... but not for older projects
      {2, 0, 0.0, 0, 0.0, INT_MIN},   // a speed of 0: the processor's overflow value
      {2, 0, 3.0, 0, 3.0, 26},        // truncated toward zero
  };
  for (const sCase& c : cases) {
    cScopedGlobal compat(g_SystemData.bCompatMoveTime, c.compat);
    cEdCmd cmd;
    NewMove(cmd.m_pMove);
    cmd.m_pMove->m_nTimeMode = static_cast<std::int8_t>(c.mode);
    cmd.m_pMove->m_nDistanceUnit = static_cast<std::int8_t>(c.unit);
    cmd.m_pMove->m_sDistance = 5;
    cCmdRun run;
    run.m_nDuration = 40;
    run.m_dSpeed = c.speed;
    run.CalcMoveTime(cmd, 0);
    EXPECT_DOUBLE_EQ(run.m_dSpeed, c.wantSpeed) << c.mode << " " << c.speed;
    EXPECT_EQ(run.m_nDuration, c.wantDuration) << c.mode << " " << c.speed;
  }
  // The per-copy distance counts only when it is not 0; a duration of 0 gives an endless speed.
  cEdCmd cmd;
  NewMove(cmd.m_pMove);
  cmd.m_pMove->m_nTimeMode = 1;
  cmd.m_pMove->m_sDistance = 1;
  cmd.m_pMove->m_sDistanceClone = 2;
  cCmdRun run;
  run.m_nDuration = 16;
  run.CalcMoveTime(cmd, 3);
  EXPECT_DOUBLE_EQ(run.m_dSpeed, 7.0);
  run.m_nDuration = 0;
  run.CalcMoveTime(cmd, 3);
  EXPECT_EQ(run.m_dSpeed, std::numeric_limits<double>::infinity());
}

TEST(FlowRun, UnknownKindReachesNoExecutor) {
  cFakeDispatch fake;
  cTestFlow t({{A, 1, false}});
  t.flow.m_Cmds[0].m_nKind = 77;
  t.run.Start(nullptr);
  EXPECT_EQ(t.RunToEnd(), 0);
  EXPECT_TRUE(cFakeDispatch::s_Log.empty());
}

}  // namespace

namespace {

TEST(FlowRun, GroupsAreMarkedWhenFlowsStartAndStop) {
  cFakeDispatch fake;
  cChara owner;
  owner.Reset(nullptr, 0, 0, 0);
  cTestFlow t({{A, 5, false}, {B, 5, false}}, TRIGGER_ALWAYS);
  t.flow.m_nGroup = 2;
  t.run.Start(&owner);
  EXPECT_EQ(owner.m_RunningGroups[2], 1);
  EXPECT_EQ(owner.m_StartedGroups[2], 1);
  t.run.Step();
  t.run.m_Arranges.push_back(sArrange{});  // queued for the next command
  // Stopped for good while running: the commands are cut, the flow keeps its running flag
  // and its queued arranges.
  t.run.StopForever(&owner);
  EXPECT_EQ(t.run.m_bStopForever, 1);
  EXPECT_EQ(t.run.m_bRunning, 1);
  EXPECT_EQ(t.run.m_Arranges.size(), 1u);
  EXPECT_EQ(t.run.m_Cmds[0].m_nRemain, 0);
  EXPECT_EQ(owner.m_StoppedGroups[2], 1);
  EXPECT_EQ(owner.m_bGroupStopped, 1);
  t.run.Stop(&owner);
  EXPECT_EQ(t.run.m_bRunning, 0);
  EXPECT_TRUE(t.run.m_Arranges.empty());
  // A group number outside the tables counts as none.
  owner.Reset(nullptr, 0, 0, 0);
  t.flow.m_nGroup = 40;
  t.run.Start(&owner);
  t.run.Stop(&owner);
  EXPECT_EQ(owner.m_bGroupStopped, 0);
}

}  // namespace

namespace {

TEST(FlowRun, QueuedArrangesAreUsedUpByTheNextCommandThatIsNoArrange) {
  cFakeDispatch fake;
  cTestFlow t({{CMD_ARRANGE, 1, false}, {A, 1, false}});
  t.run.Start(nullptr);
  t.run.m_Arranges.push_back(sArrange{});
  t.run.Step();
  EXPECT_EQ(t.run.m_Arranges.size(), 1u);
  t.run.Step();
  EXPECT_TRUE(t.run.m_Arranges.empty());
}

}  // namespace

namespace {

// A character set up again from another definition, or copied, steps the commands of its own
// definition as it now stands, including where the new commands took the old ones' places.
TEST(FlowRun, RunsStepTheCommandsOfTheDefinitionAsSetUp) {
  cFakeDispatch fake;
  auto def = [](std::vector<int> kinds, bool parallel) {
    cEdChara d;
    cEdFlow flow;
    flow.m_nTrigger = TRIGGER_NONE;
    for (int kind : kinds) {
      cEdCmd cmd;
      cmd.m_nKind = static_cast<std::int8_t>(kind);
      cmd.m_sTime = 1;
      cmd.m_bParallel = parallel ? 1 : 0;
      cmd.m_Params.assign(CmdParamCount(CMDSET_CHARA, kind), 0);
      flow.m_Cmds.push_back(cmd);
    }
    d.m_Flows.push_back(flow);
    return d;
  };
  // The kinds one step of the character's flow runs.
  auto step = [](cChara& c) {
    cFakeDispatch::s_Log.clear();
    cFlowContextGuard keep;
    CurChara() = &c;
    cFlowRun& run = c.m_FlowRuns[0];
    if (!run.m_bRunning) run.Start(&c);
    run.Step();
    std::vector<int> kinds;
    for (const auto& entry : cFakeDispatch::s_Log) kinds.push_back(entry.first);
    return kinds;
  };
  cChara c;
  const cEdChara first = def({A, B}, true), second = def({C, D}, false);
  c.Reset(&first, 0, 0, 0);
  SetupFlows(c, c.m_Def.m_Flows, 0, -1);
  EXPECT_EQ(step(c), (std::vector<int>{A, B}));
  c.Reset(&second, 0, 0, 0);
  SetupFlows(c, c.m_Def.m_Flows, 0, -1);
  EXPECT_EQ(step(c), (std::vector<int>{C}));
  c.Reset(&first, 0, 0, 0);
  SetupFlows(c, c.m_Def.m_Flows, 0, -1);
  EXPECT_EQ(step(c), (std::vector<int>{A, B}));

  cChara copy;
  copy.Reset(&second, 0, 0, 0);
  SetupFlows(copy, copy.m_Def.m_Flows, 0, -1);
  EXPECT_EQ(step(copy), (std::vector<int>{C}));
  copy.Copy(c);
  EXPECT_EQ(step(copy), (std::vector<int>{A, B}));
  for (const cCmdRun& run : copy.m_FlowRuns[0].m_Cmds) EXPECT_TRUE(run.TraitsCurrent());
}

}  // namespace
