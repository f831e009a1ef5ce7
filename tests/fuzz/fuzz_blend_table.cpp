// The 8-bit blend table: a file of exactly 65536 bytes is taken as it stands; anything else is
// refused and leaves the table in use unchanged.
#include <cstring>

#include "media/translucency.h"
#include "tests/fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  cFuzzRun run;
  static std::uint8_t before[kBlendTableSize];
  for (std::size_t i = 0; i < kBlendTableSize; ++i) g_BlendTable[i] = static_cast<std::uint8_t>(i * 7);
  std::memcpy(before, g_BlendTable, kBlendTableSize);
  const std::string path = FuzzInputFile(data, size, "hbt00.dat");
  const bool loaded = DDLoadBlendTable(g_BlendTable, path.c_str());
  if (loaded != (size == kBlendTableSize)) FuzzFail("a blend table of the wrong size was taken");
  if (loaded && std::memcmp(g_BlendTable, data, kBlendTableSize) != 0)
    FuzzFail("the table differs from the file");
  if (!loaded && std::memcmp(g_BlendTable, before, kBlendTableSize) != 0)
    FuzzFail("a refused file changed the table");
  return 0;
}
