// One frame of 300 shots at 10 sub-steps per frame on a 200 x 30 map, in the order the frame
// drives them: the shot's own update (guidance, acceleration, lifetime, range), gravity, the
// vertical and the horizontal move, in the first sub-step the far-off test, then the block
// probes. Straight, accelerating, wave and fall shots and a few swords; a shot that goes is
// fired again at once, so the count stays. The frame lasts 16.67 ms; this work should stay
// under 0.5 ms on one core.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/bench_world.h"
#include "objects/chara.h"
#include "objects/shot.h"
#include "play/map_cells.h"
#include "play/play_scene.h"
#include "play/scroll_axis.h"
#include "project/database.h"
#include "project/stage.h"

namespace {

constexpr int kWidth = 200, kHeight = 30, kShots = 300, kSwords = 10;

void BM_ShotFrame(benchmark::State& state) {
  cScrollAxis x, y;
  SetUpBenchWorld(x, y, kWidth, kHeight, 60, 10);
  for (int col = 0; col < kWidth; ++col) MapCellAtBlock(col, 27)->m_nHitMode = BLOCK_HIT_SOLID;
  for (int col = 0; col < kWidth; col += 40)
    for (int row = 0; row < kHeight; ++row) MapCellAtBlock(col, row)->m_nHitMode = BLOCK_HIT_SOLID;
  RefreshMapCellHits();

  cDbSwordType sword;
  sword.m_Frames.clear();
  for (int f = 0; f < 3; ++f) {
    cDbSwordFrame frame;
    frame.m_nWidth = 32;
    frame.m_nHeight = 16;
    frame.m_nTime = 2;
    sword.m_Frames.push_back(frame);
  }
  g_DataBase.m_SwordType.assign(1, sword);

  cPlayScene scene;
  g_pPlayScene = &scene;
  g_CharaList.clear();
  cChara& owner = g_CharaList.emplace_back();
  cEdChara ownerDef;
  owner.InitFromDef(1, ownerDef, nullptr, 0, 0, 0, nullptr);
  owner.SetBlockPos(70, 20);

  // The templates a shot is fired from again when it goes.
  std::vector<cShot> templates(kShots);
  for (int i = 0; i < kShots; ++i) {
    cEdShot def;
    def.m_nGroup = static_cast<std::int8_t>(i % 8);
    sVolley v;
    v.nSpawnX = 320 + 32 * (2 + (i * 7) % (kWidth - 4));
    v.nSpawnY = 320 + 32 * (2 + (i * 3) % 20);
    v.dVX = (i & 1) ? 3.0 : -3.0;
    v.dVY = (i % 3) - 1.0;
    v.dSpeed = 3;
    int kind = kShotCmdKind;
    switch (i % 4) {
      case 1:
        def.m_bAccel = 1;
        def.m_sAccel = 2;
        break;
      case 2:
        def.m_nGuide = GUIDE_WAVE;
        def.m_sGuideValue[0] = 2;
        def.m_sGuideValue[1] = 8;
        break;
      case 3:
        def.m_nGuide = GUIDE_FALL;
        def.m_sGuideValue[0] = 3;
        def.m_sSpeed = 30;
        break;
      default:
        def.m_bLifetime = 1;
        v.nLifetime = 30;
        break;
    }
    if (i < kSwords) kind = kSwordCmdKind;
    templates[i].SetUp(100 + i, owner, kind, def, v);
  }
  for (const cShot& shot : templates) AddShotToList(scene.m_ShotList, shot);

  for (auto _ : state) {
    for (int step = 1; step <= g_nHitLevel; ++step) {
      // Shots fired again are appended; each is walked once per sub-step.
      std::size_t left = scene.m_ShotList.size();
      for (auto it = scene.m_ShotList.begin(); left > 0; --left) {
        cShot& shot = *it;
        bool gone = shot.Update() != 0;
        if (!gone) {
          shot.ApplyGravity();
          shot.MoveY();
          shot.MoveX();
          if (shot.m_bIsShot) {
            if (step == 1 && shot.IsFarOffScreen(g_Stage.m_EraseArea[3]))
              gone = true;
            else
              gone = shot.HitBlocks() != 0;
          }
        }
        if (gone) {
          const int from = shot.m_nNumber - 100;  // the template it was fired from
          it = EraseShot(scene.m_ShotList, it);
          AddShotToList(scene.m_ShotList, templates[from]);
        } else {
          ++it;
        }
      }
    }
    benchmark::ClobberMemory();
  }
  state.counters["shots"] = static_cast<double>(scene.m_ShotList.size());
  scene.m_ShotList.clear();
  g_CharaList.clear();
  g_pPlayScene = nullptr;
  BindScrollAxes(nullptr, nullptr);
}
BENCHMARK(BM_ShotFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
