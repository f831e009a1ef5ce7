// One frame of play logic (10 sub-steps, no drawing) on a heavy stage: 200 x 30 cells with a
// floor, 500 characters walking, flying or solid (50), about 100 of them on screen.
#include <benchmark/benchmark.h>

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

void BM_PlayFrameLogic(benchmark::State& state) {
  BuildHeavyStage();
  g_StageCopy.TakePlayData(g_Stage);
  InitInputs(1);
  cPlayScene scene;
  g_pPlayScene = &scene;
  SetStage(1, 1);
  g_Heroes.front().SetUpFromDef(0, g_Stage.m_PlacedCharas[0], (2 + 10) * 32, (5 + 10) * 32, 0);
  for (auto _ : state) {
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
  state.counters["substeps"] =
      static_cast<double>(scene.m_nSubStepTotal) / static_cast<double>(state.iterations());
  for (auto& group : scene.m_CharaGroup) group.clear();
  scene.m_ShotList.clear();
  g_CharaList.clear();
  g_ItemList.clear();
  g_Heroes.clear();
  g_pPlayScene = nullptr;
}
BENCHMARK(BM_PlayFrameLogic)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
