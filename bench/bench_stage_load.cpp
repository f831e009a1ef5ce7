// Loading a large stage file: 1,000 x 100 map cells each holding a placed block, 500 placed
// characters with flows and 200 placed items.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/host_file.h"
#include "project/stage.h"
#include "project/stage_loader.h"

namespace {

const char* const kStagePath = "large.stg4_000";

void BuildLargeStage() {
  g_Stage.SetDefault();
  g_Stage.m_nWidth = 1000;
  g_Stage.m_nHeight = 100;
  g_Stage.m_PalBlocks.resize(20);
  g_Stage.m_PalCharas.resize(20);
  g_Stage.m_PalItems.resize(10);
  g_Stage.m_PlacedBlocks.resize(1000 * 100);
  for (int i = 0; i < 1000 * 100; ++i) {
    cEdBlock& block = g_Stage.m_PlacedBlocks[i];
    block.m_sPosX = static_cast<std::int16_t>(i % 1000);
    block.m_sPosY = static_cast<std::int16_t>(i / 1000);
    block.m_sGraphic = static_cast<std::int16_t>(1 + i % 40);
  }
  g_Stage.m_PlacedCharas.resize(500);
  for (int i = 0; i < 500; ++i) {
    cEdChara& chara = g_Stage.m_PlacedCharas[i];
    chara.m_sGraphic = 1;
    chara.m_nControl = i == 0 ? 0 : 1;
    chara.m_nBasePalette = 2;
    chara.m_sBaseIndex = static_cast<std::int16_t>(1 + i % 19);
    chara.m_Inherit[23] = 1;
    chara.m_Conds.resize(1);
    chara.m_Flows.resize(3);
    for (cEdFlow& flow : chara.m_Flows) {
      flow.m_nTrigger = 3;
      flow.m_Conds.resize(2);
      flow.m_Cmds.resize(4);
    }
  }
  g_Stage.m_PlacedItems.resize(200);
  for (cEdItem& item : g_Stage.m_PlacedItems) {
    item.m_sGraphic = 3;
    item.m_Cmds.resize(2);
  }
  g_Stage.m_VarNames.resize(1000);
}

// The temporary folder the stage is written into (about 7 MB); removed when the run ends.
std::string g_strFolder, g_strPrevious;

void Prepare() {
  if (!g_strFolder.empty()) return;
  char folder[] = "/tmp/bench_stage_XXXXXX";
  g_strPrevious = platform::CurrentFolder();
  if (!mkdtemp(folder)) std::abort();
  g_strFolder = folder;
  if (!platform::ChangeCurrentFolder(folder)) std::abort();
  BuildLargeStage();
  if (!g_Stage.SaveFile(kStagePath)) std::abort();
}

void RemoveFolder() {
  if (g_strFolder.empty()) return;
  std::vector<std::string> names;
  if (platform::ListHostFolder("", names))
    for (const std::string& name : names) platform::RemoveHostFile(name);
  platform::ChangeCurrentFolder(g_strPrevious);
  rmdir(g_strFolder.c_str());
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
BENCHMARK(BM_StageRead)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole load: trailer test, loader thread, hero test and the copy of the play data.
void BM_LoadStageFile(benchmark::State& state) {
  Prepare();
  for (auto _ : state) {
    if (!LoadStageFile(kStagePath, 0, &g_StageCopy)) state.SkipWithError("load failed");
  }
}
// Real time: most of the work is on the loader thread.
BENCHMARK(BM_LoadStageFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  RemoveFolder();
  return 0;
}
