// The palette bitmap: the game palette of the 8-bit mode and the transparent colour taken
// from its first entry.
#include "media/palette.h"
#include "tests/fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const cFuzzRun run;
  const std::string path = FuzzInputFile(data, size, "pal.bmp");
  PALETTEENTRY palette[256] = {};
  if (DDLoadPaletteFromFile(palette, path.c_str())) {
    for (const PALETTEENTRY& entry : palette) DDPalToRGB16(entry);
  }
  DDSetTransmitFromFile(path.c_str());
  return 0;
}
