// Loading the large stage of bench/large_stage.h from its file.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "bench/large_stage.h"
#include "platform/host_file.h"
#include "project/stage.h"
#include "project/stage_loader.h"

namespace {

const char* const kStagePath = "large.stg4_000";

void Prepare() {
  static bool prepared = false;
  if (prepared) return;
  prepared = true;
  char folder[] = "/tmp/bench_stage_XXXXXX";
  if (!mkdtemp(folder) || !platform::ChangeCurrentFolder(folder)) std::abort();
  BuildLargeStage();
  if (!g_Stage.SaveFile(kStagePath)) std::abort();
}

// The read on one thread, as the loader thread does it.
void BM_StageRead(benchmark::State& state) {
  Prepare();
  for (auto _ : state) {
    g_Stage.m_strPath = kStagePath;
    if (!LoadStageThreadProc(nullptr)) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(g_Stage.m_PlacedBlocks.size());
  }
}
BENCHMARK(BM_StageRead)->Unit(benchmark::kMillisecond);

// The whole load: trailer test, loader thread, hero test and the copy of the play data.
void BM_LoadStageFile(benchmark::State& state) {
  Prepare();
  for (auto _ : state) {
    if (!LoadStageFile(kStagePath, 0, &g_StageCopy)) state.SkipWithError("load failed");
  }
}
BENCHMARK(BM_LoadStageFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
