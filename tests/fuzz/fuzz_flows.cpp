// A list of flows with their commands, read as a character definition reads them (the
// conversions of older versions included), then checked against the default database and
// the palettes, as the definition loaders do.
#include "content/flow.h"
#include "project/database.h"
#include "project/database_refs.h"
#include "tests/fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const cFuzzRun run;
  InstallDataBaseRefs();
  DataFilePtr file = DataFileFromBytes("flows.dat", std::vector<std::uint8_t>(data, data + size));
  if (!file) return 0;
  FlowVector flows(2);
  auto write = [&flows](cDataFile& f) { WriteFlowList(flows, f); };
  const std::vector<std::uint8_t> before = FuzzWrittenFile(write);
  if (!LoadFlowList(flows, *file) || file->Failed()) {
    if (FuzzWrittenFile(write) != before) FuzzFail("a failed load changed the flows");
    return 0;
  }
  for (cEdFlow& flow : flows) flow.ClampIndexes();
  FlowVector copy = flows;
  RemoveTestPlayOnlyFlows(copy);
  FlowVector again;
  const std::vector<std::uint8_t> written =
      FuzzCheckRewrite(write,
                       [&](cDataFile& f) { return LoadFlowList(again, f); });
  if (FuzzWrittenFile([&](cDataFile& f) { WriteFlowList(again, f); }) != written)
    FuzzFail("written flows read back different");
  return 0;
}
