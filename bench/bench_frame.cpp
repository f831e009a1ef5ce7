// One frame of play logic (10 sub-steps, no drawing) on a heavy stage: 200 x 30 cells with a
// floor, 500 characters walking, flying or solid (50), about 100 of them on screen.
#include <benchmark/benchmark.h>

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
  }
}

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
  state.counters["substeps"] = static_cast<double>(scene.m_nSubStepTotal) /
                               static_cast<double>(state.iterations());
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
