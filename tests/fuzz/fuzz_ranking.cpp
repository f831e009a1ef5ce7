// A stage's ranking file: the load, registrations in every genre, and the refusal to write
// over a file that did not load.
#include <vector>

#include "platform/host_file.h"
#include "project/ranking.h"
#include "tests/fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const cFuzzRun run;
  FuzzMakeFolders({"user_data", "user_data\\free"});
  const char* const stage = "data\\stg4\\fuzz.stg4";
  std::string path;
  if (!MakeRankingPath(path, 2, stage, 0, 0, 0)) FuzzFail("no ranking path");
  FuzzWriteHostFile(path, data, size);
  cRanking ranking;
  const int loaded = LoadRanking(ranking, 2, stage, 0, 0, 0);
  if (ranking.m_Tables.size() < 5) FuzzFail("fewer than five tables");
  if (loaded) FuzzCheckRecordRewrite(ranking);
  for (int genre = 0; genre < 5; ++genre) {
    cRankTable& table = ranking.m_Tables[genre];
    const std::size_t count = table.m_Entries.size();
    table.AddEntry("fuz", static_cast<int>(size) - 100);
    if (table.m_Entries.size() != count) FuzzFail("a registration changed the entry count");
  }
  if (!loaded) {
    if (SaveRanking(ranking, 2, stage, 0, 0, 0)) FuzzFail("a file that did not load was replaced");
    std::vector<std::uint8_t> after;
    platform::ReadHostFile(path, after, size + 1);
    if (after != std::vector<std::uint8_t>(data, data + size))
      FuzzFail("a file that did not load was changed");
  }
  return 0;
}
