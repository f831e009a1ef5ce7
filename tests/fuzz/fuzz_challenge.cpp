// The challenge progress file, loaded as the challenge mode loads it, and written back.
#include "platform/host_file.h"
#include "project/paths.h"
#include "project/play_data.h"
#include "tests/fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const cFuzzRun run;
  FuzzMakeFolders({"user_data", "user_data\\challenge"});
  FuzzWriteHostFile(g_PathTable[PATH_CHALLENGE_DATA], data, size);
  cPlayData record;
  if (!record.LoadChallenge()) return 0;
  record.CycleRankingGenre(record.m_nStageNo, 1);
  record.RecountStageResults();
  cDataFile out("out");
  record.Write(out);
  return 0;
}
