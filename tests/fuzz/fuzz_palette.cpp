// The project's common palette: the three lists of definitions with their inheritance, then
// the checks of the references the definitions hold.
#include "content/palette.h"
#include "project/project_refs.h"
#include "tests/fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Base references are checked against the palettes' sizes, as the program checks them.
  InstallProjectRefs();
  const cFuzzRun run;
  g_CommonPalette = cPalette();
  if (!FuzzLoadRecord(g_CommonPalette, FuzzInputFile(data, size, "palette.dat"))) return 0;
  g_CommonPalette.Validate();
  return 0;
}
