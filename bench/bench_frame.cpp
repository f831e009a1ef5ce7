// One frame of play logic (10 sub-steps, no drawing) on a heavy stage: 200 x 30 cells with a
// floor, 500 characters walking, flying or solid (50), about 100 of them on screen, each
// moving to and fro by its flows, and 300 shots in flight (topped up between frames).
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/heavy_stage.h"
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
  state.counters["substeps"] =
      static_cast<double>(scene.m_nSubStepTotal) / static_cast<double>(state.iterations());
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
