// A bitmap of any depth: the decoder, then the surface loader of a headless device at the
// display depth and with the options the first byte chooses (transparent colour, mirrored
// copy, index map of the 8-bit mode).
#include "media/device.h"
#include "media/surface_create.h"
#include "platform/bitmap_file.h"
#include "tests/fuzz/fuzz_target.h"

namespace {
struct sMode {
  int nD3D;
  int nBpp;
};
constexpr sMode kModes[] = {{0, 8}, {0, 16}, {0, 32}, {1, 16}, {1, 32}};
int g_nMode = -1;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const cFuzzRun run;
  if (size < 1) return 0;
  const std::uint8_t options = data[0];
  ++data;
  --size;
  platform::sBitmapImage image;
  if (platform::DecodeBitmap(data, size, image) == platform::eBitmapError::None) {
    for (int y = 0; y < image.nHeight; y += 7)
      for (int x = 0; x < image.nWidth; x += 7) image.Rgb(x, y);
  }
  // Changing the device is slow: modes change with the option bits only.
  const int mode = options % std::size(kModes);
  if (mode != g_nMode) {
    if (g_nMode >= 0) DDRelease();
    g_nMode = -1;
    if (!DDInit(kModes[mode].nD3D, nullptr, 64, 48, kModes[mode].nBpp, 0, 1, 1, 60, 0, nullptr,
                nullptr, 0))
      FuzzFail("the headless device does not start");
    g_nMode = mode;
  }
  const std::string path = FuzzInputFile(data, size, "fuzz.bmp");
  const int bpp = kModes[mode].nBpp;
  const int key = options >> 3 & 1;
  const int indexMap = bpp == 8 ? options >> 4 & 1 : 0;
  const int mirror = options >> 5 & 1;
  DDSURFACEDATA surface;
  if (DDCreateSurfaceFromFile(&surface, path.c_str(), key, bpp, 0, 0, 0, indexMap, mirror * 2,
                              mirror, 0) == 0)
    DDDestroySurface(&surface);
  int tooBig = 0;
  DDCheckBitmapSize(&tooBig, path.c_str(), 640, 480);
  return 0;
}
