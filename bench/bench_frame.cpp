// One frame of play logic (10 sub-steps, no drawing) on a heavy stage: 200 x 30 cells with a
// floor, 500 characters walking, flying or solid (50), about 100 of them on screen, each
// moving to and fro by its flows, and 300 shots in flight (topped up between frames).
#include <benchmark/benchmark.h>

#include <vector>

#include "content/command.h"
#include "content/flow.h"
#include "content/move.h"
#include "flows/move_cmds.h"

#include "objects/chara.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "objects/shot.h"
#include "play/input.h"
#include "play/play_frame.h"
#include "play/play_scene.h"
#include "play/scene_manager.h"
#include "play/stage_setup.h"
#include "project/stage.h"

namespace {

constexpr int kShots = 300;

// A straight-line move by direction for a second, at a pixel a frame.
cEdCmd MoveLine(int direction) {
  cEdCmd cmd;
  cmd.m_nKind = CMD_MOVE_LINE;
  cmd.m_sTime = 10;
  cmd.m_Params.assign(static_cast<std::size_t>(CmdParamCount(CMDSET_CHARA, CMD_MOVE_LINE)), 0);
  NewMove(cmd.m_pMove);
  cmd.m_pMove->m_nDirection = static_cast<std::int8_t>(direction);
  cmd.m_pMove->m_sSpeed = 10;
  return cmd;
}

// Left for a second, then right for a second, over and over.
cEdFlow ToAndFro() {
  cEdFlow flow;
  flow.m_Cmds.push_back(MoveLine(MOVEDIR_LEFT));
  flow.m_Cmds.push_back(MoveLine(MOVEDIR_RIGHT));
  return flow;
}

void BuildHeavyStage() {
  g_Stage.SetDefault();
  g_Stage.m_nWidth = 200;
  g_Stage.m_nHeight = 30;
  g_Stage.m_nScrollExtraX = 200 * 32;
  g_Stage.m_nScrollExtraY = 30 * 32;
  g_Stage.m_nSpeedLevel = 10;
  g_Stage.m_bTimeLimit = 0;
  g_Stage.m_PlacedBlocks.resize(200);
  for (int i = 0; i < 200; ++i) {
    cEdBlock& block = g_Stage.m_PlacedBlocks[i];
    block.m_sPosX = static_cast<std::int16_t>(i);
    block.m_sPosY = 29;
    block.m_sGraphic = 1;
  }
  g_Stage.m_PlacedCharas.resize(501);
  for (int i = 0; i < 501; ++i) {
    cEdChara& chara = g_Stage.m_PlacedCharas[i];
    chara.m_sGraphic = 1;
    chara.m_nControl = i == 0 ? 0 : 1;
    chara.m_nGroup = static_cast<std::uint8_t>(i == 0 ? 0 : 1 + i % 3);
    chara.m_sPosX = static_cast<std::int16_t>(i == 0 ? 2 : (i * 7) % 200);
    chara.m_sPosY = static_cast<std::int16_t>(5 + i % 20);
    chara.m_nFlyMode = static_cast<std::uint8_t>(i != 0 && i % 3 == 0 ? 2 : 0);
    chara.m_bNoHitBox = static_cast<std::uint8_t>(i != 0 && i % 10 == 0 ? 1 : 0);
    chara.m_nDropItem = -1;
    if (i != 0) chara.m_Flows.assign(1, ToAndFro());
  }
}

// Shots of the computer characters' groups flying left and right across the view.
std::vector<cShot> ShotTemplates(cCharaBase& owner) {
  std::vector<cShot> shots(kShots);
  for (int i = 0; i < kShots; ++i) {
    cEdShot def;
    def.m_nGroup = static_cast<std::int8_t>(1 + i % 3);
    def.m_nPower = 1;
    sVolley v;
    v.nSpawnX = 320 + 32 * (2 + (i * 7) % 196);
    v.nSpawnY = 320 + 32 * (5 + (i * 3) % 20);
    v.dVX = (i & 1) ? 3.0 : -3.0;
    v.dSpeed = 3;
    shots[static_cast<std::size_t>(i)].SetUp(100000 + i, owner, kShotCmdKind, def, v);
  }
  return shots;
}

// Argument: the stage's switch that limits attack hits to objects on the screen (on by
// default).
void BM_PlayFrameLogic(benchmark::State& state) {
  BuildHeavyStage();
  g_Stage.m_bHitOnlyActive = static_cast<std::int32_t>(state.range(0));
  g_StageCopy.TakePlayData(g_Stage);
  InitInputs(1);
  cPlayScene scene;
  g_pPlayScene = &scene;
  SetStage(1, 1);
  g_Heroes.front().SetUpFromDef(0, g_Stage.m_PlacedCharas[0], (2 + 10) * 32, (5 + 10) * 32, 0);
  const std::vector<cShot> shots = ShotTemplates(g_CharaList.back());
  std::size_t next = 0;
  double flying = 0;
  for (auto _ : state) {
    state.PauseTiming();
    while (scene.m_ShotList.size() < kShots) {
      AddShotToList(scene.m_ShotList, shots[next]);
      next = (next + 1) % shots.size();
    }
    flying += static_cast<double>(scene.m_ShotList.size());
    state.ResumeTiming();
    cHero& hero = g_Heroes.front();
    hero.m_bFinished = 0;
    hero.m_HP.m_nValue = 10;
    for (int c = 1; c <= g_nHitLevel; ++c)
      if (RunSubStep(scene, c)) break;
  }
  int active = 0;
  for (const cChara& c : g_CharaList) active += c.m_bActivated;
  state.counters["characters"] = static_cast<double>(g_CharaList.size());
  state.counters["active"] = active;
  state.counters["shots"] = flying / static_cast<double>(state.iterations());
  state.counters["substeps"] = static_cast<double>(scene.m_nSubStepTotal) /
                               static_cast<double>(state.iterations());
  for (auto& group : scene.m_CharaGroup) group.clear();
  scene.m_ShotList.clear();
  g_CharaList.clear();
  g_ItemList.clear();
  g_Heroes.clear();
  g_pPlayScene = nullptr;
}
BENCHMARK(BM_PlayFrameLogic)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
