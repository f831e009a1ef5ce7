// A replay file as the title's replay command loads it: a file that does not load changes
// none of the records it would fill; one that loads plays its keys back for a few hundred
// frames, and saved again it loads back to the same log and progress.
#include <vector>

#include "play/input.h"
#include "play/replay_log.h"
#include "project/play_data.h"
#include "project/project_refs.h"
#include "project/stage.h"
#include "tests/fuzz/fuzz_target.h"

namespace {
template <class Record>
std::vector<std::uint8_t> Image(Record& record) {
  return FuzzWrittenFile([&](cDataFile& f) { record.Write(f); });
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  InstallProjectRefs();
  const cFuzzRun run;
  const std::string path = FuzzInputFile(data, size, "fuzz.rpl4_821");
  static cStage stage, second;
  cReplayKeyLog log;
  log.m_nSeed = 12345;
  cPlayData progress;
  progress.m_nStageNo = 7;
  const auto logBefore = Image(log), progressBefore = Image(progress);
  const auto stageBefore = Image(stage);
  if (!LoadReplayFile(log, path, stage, second, progress)) {
    if (Image(log) != logBefore || Image(progress) != progressBefore || Image(stage) != stageBefore)
      FuzzFail("a replay that did not load changed a record");
    return 0;
  }
  cInputState input;
  for (int frame = 0; frame < 600 && log.Play(input) == 0; ++frame) input.UpdateHistories();

  if (!SaveReplayFile(log, "again.rpl4_821", stage, stage, progress))
    FuzzFail("a loaded replay cannot be saved");
  cReplayKeyLog again;
  cPlayData againProgress;
  static cStage againStage, againSecond;
  if (!LoadReplayFile(again, "again.rpl4_821", againStage, againSecond, againProgress))
    FuzzFail("a saved replay does not load");
  if (Image(again) != Image(log) || Image(againProgress) != Image(progress))
    FuzzFail("a saved replay loads different");
  return 0;
}
