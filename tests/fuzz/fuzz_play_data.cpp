// A progress record read from a file, then what the world map and the play scene ask of it:
// every answer must come from inside its lists.
#include "project/play_data.h"
#include "tests/fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const cFuzzRun run;
  DataFilePtr file = DataFileFromBytes("fuzz.dat", std::vector<std::uint8_t>(data, data + size));
  if (!file) return 0;
  cPlayData record;
  if (!ReadRecordChecked(record, *file)) return 0;
  record.IsFlagSet(record.m_nStageNo);
  record.GetCommonVar(record.m_nVariantVar);
  record.CycleRankingGenre(record.m_nStageNo, 1);
  record.StartNextLap();
  record.KeepStageStart();
  record.RestoreStageStart(0);
  std::int32_t hp = 0, sp = 0;
  record.GetInheritValues(0, hp, sp);
  record.RecountStageResults();
  FuzzCheckRecordRewrite(record);
  return 0;
}
