// Scripts and condition lists, both evaluated per sub-step by the flows that use them: the
// run-code command's text on a character, and a four-condition appearance list.
#include <benchmark/benchmark.h>

#include "content/condition.h"
#include "flows/run_code.h"
#include "flows/status_ops.h"
#include "foundation/compare.h"
#include "objects/chara.h"
#include "objects/object_services.h"
#include "play/play_scene.h"
#include "project/play_data.h"

namespace {

struct sScriptWorld {
  sScriptWorld() {
    InstallObjectServices();
    g_pPlayScene = &scene;
    g_PlayData.m_CommonVar.assign(1001, 0);
    g_PlayData.m_CommonVar[3] = 11;
    g_PlayData.m_CommonVar[5] = 2;
    chara.Reset(nullptr, 0, 0, 0);
    chara.m_Def.m_nMaxHP = 300;
    chara.m_HP.m_nValue = 200;
    chara.m_Vars[4] = 6;
  }
  ~sScriptWorld() { g_pPlayScene = nullptr; }
  cPlayScene scene;
  cChara chara;
};

void BM_ExecCodeArithmetic(benchmark::State& state) {
  sScriptWorld world;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ExecCode("my.v1 = my.v1 + (C3 * 2) % 7", &world.chara));
    world.chara.m_Vars[1] &= 0xFFFF;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ExecCodeArithmetic);

void BM_ExecCodeRand(benchmark::State& state) {
  sScriptWorld world;
  for (auto _ : state) benchmark::DoNotOptimize(ExecCode("C1 = rand(1, 6)", &world.chara));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ExecCodeRand);

cEdCond Cond(int kind, int index, int op, int constant) {
  cEdCond c;
  c.m_nKind = static_cast<std::int8_t>(kind);
  c.m_nIndex = static_cast<std::int16_t>(index);
  c.m_nOperator = static_cast<std::int8_t>(op);
  c.m_nConst = constant;
  return c;
}

// Common variable, stage variable, character variable and HP at half its maximum: all hold,
// so every record is evaluated.
void BM_CheckConditionsFour(benchmark::State& state) {
  sScriptWorld world;
  CondVector list;
  list.push_back(Cond(COND_COMMON_VAR, 5, COMPARE_AT_LEAST, 1));
  list.push_back(Cond(COND_STAGE_VAR, 7, COMPARE_EQUAL, 0));
  list.push_back(Cond(COND_CHARA_VAR, 4, COMPARE_DIVISIBLE, 3));
  cEdCond hp = Cond(COND_STATUS, 0, COMPARE_AT_LEAST, 50);
  hp.m_nItem = STATUS_HP;
  hp.m_bPercent = 1;
  list.push_back(hp);
  for (auto _ : state) benchmark::DoNotOptimize(CheckConditions(list, COND_MODE_ALL, &world.chara));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CheckConditionsFour);

}  // namespace

BENCHMARK_MAIN();
