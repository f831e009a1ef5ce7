// A sprite-heavy frame on the 640x480 back buffer: 2,000 colour-keyed 32x32 sprites and 200
// alpha-blended 64x64 quads, in each drawing mode and colour depth. Each iteration also lets
// pixman composite the same sprites (OVER, premultiplied, the quads through a half-alpha
// mask) onto a buffer of the same depth, and the counters give our time over pixman's.
#include <benchmark/benchmark.h>
#include <pixman.h>
#include <time.h>

#include <cstdint>
#include <vector>

#include "media/blit.h"
#include "media/device.h"
#include "media/palette.h"
#include "media/raster.h"
#include "media/sprite_batch.h"
#include "media/surface_create.h"

namespace {

constexpr int kSprites = 2000, kQuads = 200, kSprite = 32, kQuad = 64;

// Seconds of the monotonic clock (<chrono> does not compile with the program's character set).
double Now() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

struct sPos {
  int x, y;
};

// Positions spread over the screen and a little beyond its edges (the same every run).
std::vector<sPos> Positions(int n, int size) {
  std::vector<sPos> out;
  std::uint32_t seed = 12345;
  auto next = [&seed](int range) {
    seed = seed * 214013u + 2531011u;
    return static_cast<int>((seed >> 16) & 0x7FFF) % range;
  };
  for (int i = 0; i < n; ++i)
    out.push_back({next(640 + size) - size / 2, next(480 + size) - size / 2});
  return out;
}

// A sprite: a disc of opaque colours on the transparent colour (about a fifth transparent).
bool Transparent(int x, int y, int size) {
  const int dx = 2 * x - size + 1, dy = 2 * y - size + 1;
  return dx * dx + dy * dy > size * size;
}
std::uint32_t Colour(int x, int y) { return 0xFF000000u | (x * 8) << 16 | (y * 8) << 8 | 0x40; }

struct sPixmanScene {
  std::vector<std::uint32_t> sprite, quad;
  std::vector<std::uint8_t> screen;
  pixman_image_t *spriteImage = nullptr, *quadImage = nullptr, *screenImage = nullptr,
                 *mask = nullptr;
  sPixmanScene(bool sixteen) {
    for (int y = 0; y < kSprite; ++y)
      for (int x = 0; x < kSprite; ++x)
        sprite.push_back(Transparent(x, y, kSprite) ? 0 : Colour(x, y));
    for (int y = 0; y < kQuad; ++y)
      for (int x = 0; x < kQuad; ++x) quad.push_back(Colour(x % 32, y % 32));
    spriteImage =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, kSprite, kSprite, sprite.data(), kSprite * 4);
    quadImage = pixman_image_create_bits(PIXMAN_a8r8g8b8, kQuad, kQuad, quad.data(), kQuad * 4);
    const int pitch = sixteen ? 640 * 2 : 640 * 4;
    screen.assign(static_cast<std::size_t>(pitch) * 480, 0);
    screenImage = pixman_image_create_bits(sixteen ? PIXMAN_r5g6b5 : PIXMAN_x8r8g8b8, 640, 480,
                                           reinterpret_cast<std::uint32_t*>(screen.data()), pitch);
    pixman_color_t half = {0x8080, 0x8080, 0x8080, 0x8080};
    mask = pixman_image_create_solid_fill(&half);
  }
  ~sPixmanScene() {
    for (pixman_image_t* image : {spriteImage, quadImage, screenImage, mask})
      pixman_image_unref(image);
  }
  void Draw(const std::vector<sPos>& sprites, const std::vector<sPos>& quads, bool withQuads) {
    for (const sPos& p : sprites)
      pixman_image_composite32(PIXMAN_OP_OVER, spriteImage, nullptr, screenImage, 0, 0, 0, 0, p.x,
                               p.y, kSprite, kSprite);
    if (!withQuads) return;
    for (const sPos& p : quads)
      pixman_image_composite32(PIXMAN_OP_OVER, quadImage, mask, screenImage, 0, 0, 0, 0, p.x, p.y,
                               kQuad, kQuad);
  }
};

// args: Direct3D mode, colour depth, with the quads, in a sprite batch.
void BM_SpriteFrame(benchmark::State& state) {
  const int d3d = static_cast<int>(state.range(0)), bpp = static_cast<int>(state.range(1));
  const bool withQuads = state.range(2) != 0, batched = state.range(3) != 0;
  if (!DDInit(d3d, nullptr, 640, 480, bpp, 0, 1, 1, 60, 0, nullptr, nullptr, 0)) {
    state.SkipWithError("DDInit failed");
    return;
  }
  for (int i = 0; i < 256; ++i)
    g_Palette[i] = PALETTEENTRY{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                                static_cast<std::uint8_t>(i / 2), 0};
  DDSetTransmit(0xFF, 0, 0xFF);
  DDSURFACEDATA sprite, quad;
  DDCreateSurface(&sprite, kSprite, kSprite, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0);
  DDCreateSurface(&quad, kQuad, kQuad, 0, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0);
  const D3DFORMAT format = sprite.Pixels()->Format();
  auto pixel = [&](int x, int y, bool keyed) -> std::uint32_t {
    if (keyed && Transparent(x, y, kSprite)) return d3d ? 0 : g_dwTransmit;
    if (bpp == 8) return 1 + (x + y) % 200;
    return ArgbToFormat(Colour(x % 32, y % 32), format);
  };
  for (int y = 0; y < kSprite; ++y)
    for (int x = 0; x < kSprite; ++x) sprite.Pixels()->Put(x, y, pixel(x, y, true));
  for (int y = 0; y < kQuad; ++y)
    for (int x = 0; x < kQuad; ++x) quad.Pixels()->Put(x, y, pixel(x, y, false));
  const std::vector<sPos> sprites = Positions(kSprites, kSprite), quads = Positions(kQuads, kQuad);
  sPixmanScene pixman(bpp == 16);
  const int pair[2] = {static_cast<int>(0x80FFFFFFu), D3DTOP_MODULATE};
  double ours = 0, theirs = 0;
  for (auto _ : state) {
    const double t0 = Now();
    if (batched) DDSpriteBatchBegin(0);
    for (const sPos& p : sprites) DDBlt(&BackBuffer, p.x, p.y, kSprite, kSprite, &sprite, 0, 0, 1);
    if (withQuads) {
      DDSetAlphaOp(D3DTOP_MODULATE);
      for (const sPos& p : quads)
        DDBltBlend(&BackBuffer, p.x, p.y, kQuad, kQuad, &quad, 0, 0, 0, pair);
      DDResetAlphaOp();
    }
    if (batched) DDSpriteBatchFlush();
    const double t1 = Now();
    pixman.Draw(sprites, quads, withQuads);
    const double t2 = Now();
    const double a = t1 - t0;
    ours += a;
    theirs += t2 - t1;
    state.SetIterationTime(a);
  }
  benchmark::DoNotOptimize(BackBuffer.Pixels()->Bits());
  state.counters["ms_ours"] = benchmark::Counter(ours * 1000, benchmark::Counter::kAvgIterations);
  state.counters["ms_pixman"] =
      benchmark::Counter(theirs * 1000, benchmark::Counter::kAvgIterations);
  state.counters["ratio"] = theirs > 0 ? ours / theirs : 0;
  DDDestroySurface(&quad);
  DDDestroySurface(&sprite);
  DDRelease();
}

}  // namespace

// Colour-keyed sprites only, then the whole frame; DirectDraw at 8, 16 and 32 bits, Direct3D
// at 16 and 32 bits, drawn at once and through the sprite batch.
BENCHMARK(BM_SpriteFrame)
    ->ArgNames({"d3d", "bpp", "quads", "batch"})
    ->Args({0, 32, 0, 0})
    ->Args({1, 32, 0, 0})
    ->Args({0, 8, 1, 0})
    ->Args({0, 16, 1, 0})
    ->Args({0, 32, 1, 0})
    ->Args({1, 16, 1, 0})
    ->Args({1, 32, 1, 0})
    ->Args({1, 32, 1, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
