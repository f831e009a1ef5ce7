// Whole-screen software effects as the screen effects run them every frame: the finished
// picture in a work surface drawn back onto the 640x480 back buffer through a mosaic, a blur
// or a lens, in each drawing mode and colour depth. Each must stay under 2 ms a frame.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

#include "media/blur_mosaic.h"
#include "media/circle_lens.h"
#include "media/device.h"
#include "media/surface_create.h"

namespace {

enum eEffect { kMosaic, kBlur, kLens };

// A picture with detail in every channel, with some transparent pixels.
void Paint(DDSURFACEDATA& work, int bpp) {
  cPixelSurface* px = work.Pixels();
  for (int y = 0; y < px->Height(); ++y) {
    for (int x = 0; x < px->Width(); ++x) {
      const std::uint32_t v = static_cast<std::uint32_t>(x * 7 + y * 13) * 2654435761u;
      px->Put(x, y, bpp == 8 ? (v >> 24) : bpp == 16 ? (v >> 16) : (v | 0xFF000000u));
    }
  }
}

void BM_ScreenEffect(benchmark::State& state) {
  const int d3d = static_cast<int>(state.range(0)), bpp = static_cast<int>(state.range(1));
  const auto effect = static_cast<eEffect>(state.range(2));
  if (!DDInit(d3d, nullptr, 640, 480, bpp, 0, 1, 1, 60, 0, nullptr, nullptr, 0)) {
    state.SkipWithError("DDInit failed");
    return;
  }
  DDSURFACEDATA work;
  if (!DDCreateSurface(&work, 640, 480, 1, 1, DTMEMORYTYPE_VIDEO_RT, 0, 0)) {
    state.SkipWithError("no work surface");
    DDRelease();
    return;
  }
  Paint(work, bpp);
  // The lens of the screen effect around the screen's centre.
  const int radius = static_cast<int>(std::sqrt(2.0) * 320);
  for (auto _ : state) {
    bool ok = true;
    switch (effect) {
      case kMosaic:
        ok = DDMosaic(&BackBuffer, 0, 0, 640, 480, 8, &work, 0, 0, 0);
        break;
      case kBlur:
        ok = DDBlur(&BackBuffer, 0, 0, 640, 480, 4, 4, &work, 0, 0, 1);
        break;
      case kLens:
        ok = DDBltLens(&BackBuffer, 320, 240, radius, 60, &work, 320, 240, 0, 0);
        break;
    }
    benchmark::DoNotOptimize(ok);
  }
  DDDestroySurface(&work);
  DDRelease();
}

// {Direct3D, colour depth, effect}; the blur has no 8-bit form.
void Modes(benchmark::internal::Benchmark* b) {
  for (int effect : {kMosaic, kBlur, kLens}) {
    for (int bpp : {8, 16, 32})
      if (!(effect == kBlur && bpp == 8)) b->Args({0, bpp, effect});
    for (int bpp : {16, 32}) b->Args({1, bpp, effect});
  }
}

BENCHMARK(BM_ScreenEffect)->Apply(Modes)->ArgNames({"d3d", "bpp", "effect"})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
