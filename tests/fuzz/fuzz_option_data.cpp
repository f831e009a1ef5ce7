// The player's options file, loaded as the program starts, checked and written back.
#include "platform/host_file.h"
#include "project/option_data.h"
#include "project/paths.h"
#include "tests/fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const cFuzzRun run;
  FuzzMakeFolders({"user_data"});
  FuzzWriteHostFile(g_PathTable[PATH_OPTION], data, size);
  cOptionData options;
  if (!options.Load()) return 0;
  options.Validate();
  FuzzCheckRecordRewrite(options);
  return 0;
}
