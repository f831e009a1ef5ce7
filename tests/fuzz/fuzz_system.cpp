// The system record, data\System.dat, with the upgrades of older versions, then the queries
// the menus make of it.
#include <string>

#include "project/database.h"
#include "project/system_data.h"
#include "tests/fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const cFuzzRun run;
  // Music references are clamped to the default Bgm table.
  SetSystemBgmCountSource([] { return g_DataBase.TableSize(DB_BGM); });
  g_SystemData.SetDefault();
  if (!FuzzLoadRecord(g_SystemData, FuzzInputFile(data, size, "System.dat"))) return 0;
  for (int mode = -1; mode <= kPlayModeCount; ++mode) CountRankingGenres(g_SystemData, mode);
  std::string text;
  int width = 0, height = 0;
  for (int first = -1; first <= kSystemTextCount; first += 5) {
    GetSysTextBlockX(320, first, 6, first & 1);
    BuildSysTextBlock(first, 6, first & 1, text, width, height);
  }
  for (int item = -1; item <= kDisplayItemCount; ++item) {
    IsBelowDisplayThreshold(item, 10, 100);
    IsBelowDisplayThreshold(item, 10, 0);
  }
  return 0;
}
