// The start dialog's choice, user_data\Boot.dat: a damaged, short or newer file leaves the
// choice as it was; one that loads saves and loads again to the same values.
#include "project/paths.h"
#include "shell/boot_data.h"
#include "tests/fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const cFuzzRun run;
  FuzzMakeFolders({"user_data"});
  FuzzWriteHostFile(g_PathTable[PATH_BOOT], data, size);
  cBootData boot;
  boot.m_nDrawMode = 7;
  boot.m_bNoAsk = 9;
  if (!boot.Load()) {
    if (boot.m_nDrawMode != 7 || boot.m_bNoAsk != 9) FuzzFail("a failed load changed the choice");
    return 0;
  }
  FuzzCheckRecordRewrite(boot);
  if (!boot.Save()) FuzzFail("the choice cannot be saved");
  cBootData again;
  if (!again.Load() || again.m_nDrawMode != boot.m_nDrawMode || again.m_bNoAsk != boot.m_bNoAsk)
    FuzzFail("a saved choice loads different");
  return 0;
}
