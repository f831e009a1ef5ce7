// Flows and stage set-up. One frame at 10 sub-steps of 500 characters, each with three running
// flows of four commands (waiting and parallel) and two idle flows of the always trigger whose
// key sequences are tested against full input histories; and the set-up of the large stage.
#include <benchmark/benchmark.h>

#include <list>

#include "bench/large_stage.h"
#include "content/flow.h"
#include "flows/flow_run.h"
#include "objects/chara.h"
#include "objects/chara_flows.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "play/input.h"
#include "play/play_scene.h"
#include "play/scene_manager.h"
#include "play/stage_setup.h"

namespace {

cEdCmd Cmd(int kind, int tenths, bool parallel) {
  cEdCmd cmd;
  cmd.m_nKind = static_cast<std::int8_t>(kind);
  cmd.m_sTime = static_cast<std::int16_t>(tenths);
  cmd.m_bParallel = parallel ? 1 : 0;
  cmd.m_Params.assign(CmdParamCount(CMDSET_CHARA, kind), 0);
  return cmd;
}

cEdKeyCond Press(int test) {
  cEdKeyCond k;
  k.m_Keys.assign(kKeyTests, KEY_IGNORE);
  k.m_Keys[test] = KEY_PRESSED;
  k.m_sMinFrames = 1;
  k.m_sMaxFrames = 20;
  k.m_nMode = KEYCOND_ALL;
  return k;
}

// Every input test alternates on and off over all 32 runs of its history.
void FillHistories(cInputState& input) {
  for (auto* group : {&input.m_DirHistories, &input.m_ButtonHistories})
    for (cVector<sInputRun>& history : *group)
      for (int r = 0; r < static_cast<int>(history.size()); ++r)
        history[r] = {(r & 1), 1 + r % 3};
}

struct sFlowWorld {
  sFlowWorld() {
    g_Stage.SetSpeedLevel(10);
    InitInputs(1);
    FillHistories(g_Inputs[0]);
    cEdFlow running;
    running.m_nTrigger = TRIGGER_NONE;
    running.m_Cmds = CmdVector({Cmd(CMD_MOVE_LINE, 5, true), Cmd(CMD_WAIT, 2, false),
                                Cmd(CMD_TURN, 1, true), Cmd(CMD_WAIT, 3, false)});
    cEdFlow idle;
    idle.m_nTrigger = TRIGGER_ALWAYS;
    idle.m_nKeyTolerance = 3;
    idle.m_KeyConds = KeyCondVector({Press(4), Press(8), Press(12)});
    for (int i = 0; i < 500; ++i) {
      cChara& c = charas.emplace_back();
      c.Reset(nullptr, 0, 0, 0);
      c.m_Def.m_Flows = FlowVector({running, running, running, idle, idle});
      SetupFlows(c, c.m_Def.m_Flows, 0, 0);
      for (int f = 0; f < 3; ++f) c.m_FlowRuns[f].Start(&c);
    }
  }
  cCharaList charas;
};

// One frame: the trigger latches cleared, then per sub-step trigger 0 and one step of every
// running flow (a finished flow starts again, so that three keep running).
void BM_FlowFrame(benchmark::State& state) {
  static sFlowWorld world;
  for (auto _ : state) {
    for (cChara& c : world.charas) ResetFlowTriggers(c);
    for (int sub = 0; sub < g_nHitLevel; ++sub) {
      for (cChara& c : world.charas) {
        c.FireTrigger(TRIGGER_ALWAYS);
        CurChara() = &c;
        for (cFlowRun& run : c.m_FlowRuns) {
          if (!run.m_bRunning) continue;
          if (run.Step()) {
            run.Stop(&c);
            run.Start(&c);
          }
        }
        CurChara() = nullptr;
        CurFlow() = nullptr;
        CurCmd() = nullptr;
      }
    }
  }
}
BENCHMARK(BM_FlowFrame)->Unit(benchmark::kMillisecond);

// The set-up of the large stage (with the placements of characters and items that later work
// completes).
void BM_SetStage(benchmark::State& state) {
  static bool built = false;
  if (!built) {
    BuildLargeStage();
    g_StageCopy.TakePlayData(g_Stage);
    built = true;
  }
  cPlayScene scene;
  g_pPlayScene = &scene;
  for (auto _ : state) SetStage(1, 1);
  for (auto& group : scene.m_CharaGroup) group.clear();
  g_CharaList.clear();
  g_ItemList.clear();
  g_Heroes.clear();
  g_pPlayScene = nullptr;
}
BENCHMARK(BM_SetStage)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
