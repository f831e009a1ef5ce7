// The player's own files: progress (story saves, challenge file) and options. The first byte
// chooses the record, the rest is the file.
#include "project/option_data.h"
#include "project/play_data.h"
#include "tests/fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzSetUp();
  if (size < 1) return 0;
  DataFilePtr file =
      DataFileFromBytes("fuzz.dat", std::vector<std::uint8_t>(data + 1, data + size));
  if (!file) return 0;
  if (data[0] & 1) {
    cOptionData options;
    if (ReadRecordChecked(options, *file)) {
      cDataFile out("out");
      options.Write(out);
    }
    return 0;
  }
  cPlayData record;
  if (!ReadRecordChecked(record, *file)) return 0;
  // What the world map and the play scene ask of a loaded save must stay inside its lists.
  record.IsFlagSet(record.m_nStageNo);
  record.GetCommonVar(record.m_nVariantVar);
  record.CycleRankingGenre(record.m_nStageNo, 1);
  record.StartNextLap();
  record.KeepStageStart();
  record.RestoreStageStart(0);
  std::int32_t hp = 0, sp = 0;
  record.GetInheritValues(0, hp, sp);
  record.RecountStageResults();
  cDataFile out("out");
  record.Write(out);
  return 0;
}
