// Loading the large stage of bench/large_stage.h from its file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "bench/large_stage.h"
#include "platform/host_file.h"
#include "project/stage.h"
#include "project/stage_loader.h"

namespace {

const char* const kStagePath = "large.stg4_000";

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
