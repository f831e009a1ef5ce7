// Cost of a status-bar line drawn every frame: through the glyph caches (one blit a
// character) and rendered directly, in both drawing modes.
#include <benchmark/benchmark.h>

#include "media/device.h"
#include "media/font.h"
#include "media/palette.h"
#include "media/surface.h"

namespace {

constexpr int kInk = 241;

void BM_DrawStatusLine(benchmark::State& state) {
  const int d3d = static_cast<int>(state.range(0));
  const int fast = static_cast<int>(state.range(1));
  if (!DDInit(d3d, nullptr, 640, 480, d3d ? 32 : 8, 0, 1, 1, 60, 0, nullptr, nullptr, 0)) {
    state.SkipWithError("no device");
    return;
  }
  DDSetTransmit(0xFF, 0, 0xFF);
  // White ink on a black screen, so that the text really is drawn.
  g_WorkPalette[kInk] = g_Palette[kInk] = PALETTEENTRY{255, 255, 255, 0};
  cPixelSurface& screen = *BackBuffer.Pixels();
  screen.Fill(0);
  {
    cFont font;
    font.Init("ＭＳ ゴシック", 0, 16, 16, 16, kInk, nullptr, 0, 0, nullptr, fast);
    for (auto _ : state) font.Draw(&BackBuffer, 8, 8, "ＨＰ 120/250  スコア 0012345  残り時間 99");
    font.Release();
  }
  int inked = 0;
  for (int y = 8; y < 24; ++y)
    for (int x = 8; x < 640; ++x) inked += (screen.Get(x, y) & 0xFFFFFF) != 0;
  if (inked == 0) state.SkipWithError("no text was drawn");
  state.counters["inked_pixels"] = inked;
  DDRelease();
}
BENCHMARK(BM_DrawStatusLine)->Args({0, 0})->Args({0, 1})->Args({1, 0})->Args({1, 1});

}  // namespace
BENCHMARK_MAIN();
