// A sprite-heavy frame on the 640x480 back buffer: 2,000 colour-keyed 32x32 sprites and 200
// 64x64 quads (blended at half alpha in Direct3D, copied opaque in DirectDraw), in each drawing
// mode and colour depth. Each iteration also lets pixman do the same work in the same pixel
// formats where it has them (see PixmanWorkFor), and the counters give our time over pixman's.
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

// What pixman is given to match the work of one mode and depth: the formats of its screen,
// sprite and quad images, and how the quads are drawn. pixman has no colour key: a keyed
// sprite is an image whose transparent pixels have alpha 0, composited OVER.
struct sPixmanWork {
  pixman_format_code_t screen, sprite, quad;
  bool quadsBlended;  // OVER through a half-alpha mask; else an opaque SRC copy
  const char* label;
};

sPixmanWork PixmanWorkFor(int d3d, int bpp) {
  if (d3d && bpp == 16)  // the windowed back buffer and the textures are 1-5-5-5
    return {PIXMAN_a1r5g5b5, PIXMAN_a1r5g5b5, PIXMAN_a1r5g5b5, true, "pixman 1555 on 1555"};
  if (d3d) return {PIXMAN_x8r8g8b8, PIXMAN_a8r8g8b8, PIXMAN_a8r8g8b8, true, "pixman 8888 on x888"};
  // DirectDraw copies opaque what DDBltBlend is given.
  if (bpp == 8)  // no indexed compositing in pixman: one-byte a8 images stand in
    return {PIXMAN_a8, PIXMAN_a8, PIXMAN_a8, false, "pixman a8 stands in for 8-bit indexed"};
  if (bpp == 16)
    return {PIXMAN_r5g6b5, PIXMAN_a1r5g5b5, PIXMAN_r5g6b5, false, "pixman 1555/565 on 565"};
  return {PIXMAN_x8r8g8b8, PIXMAN_a8r8g8b8, PIXMAN_x8r8g8b8, false, "pixman 8888/x888 on x888"};
}

// An image of the given format holding 0xAARRGGBB pixels (converted by pixman itself).
struct sPixmanImage {
  std::vector<std::uint32_t> bits;
  pixman_image_t* image = nullptr;
  sPixmanImage(pixman_format_code_t format, int w, int h, const std::vector<std::uint32_t>& argb)
      : bits(static_cast<std::size_t>(w) * h) {
    image = pixman_image_create_bits(format, w, h, bits.data(), w * 4);
    std::vector<std::uint32_t> copy(argb);
    pixman_image_t* from = pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, copy.data(), w * 4);
    pixman_image_composite32(PIXMAN_OP_SRC, from, nullptr, image, 0, 0, 0, 0, 0, 0, w, h);
    pixman_image_unref(from);
  }
  ~sPixmanImage() { pixman_image_unref(image); }
  sPixmanImage(const sPixmanImage&) = delete;
  sPixmanImage& operator=(const sPixmanImage&) = delete;
};

std::vector<std::uint32_t> SpriteArgb() {
  std::vector<std::uint32_t> out;
  for (int y = 0; y < kSprite; ++y)
    for (int x = 0; x < kSprite; ++x) out.push_back(Transparent(x, y, kSprite) ? 0 : Colour(x, y));
  return out;
}
std::vector<std::uint32_t> QuadArgb() {
  std::vector<std::uint32_t> out;
  for (int y = 0; y < kQuad; ++y)
    for (int x = 0; x < kQuad; ++x) out.push_back(Colour(x % 32, y % 32));
  return out;
}

struct sPixmanScene {
  sPixmanWork work;
  sPixmanImage sprite, quad, screen;
  pixman_image_t* mask = nullptr;
  explicit sPixmanScene(const sPixmanWork& w)
      : work(w),
        sprite(w.sprite, kSprite, kSprite, SpriteArgb()),
        quad(w.quad, kQuad, kQuad, QuadArgb()),
        screen(w.screen, 640, 480, std::vector<std::uint32_t>(640 * 480, 0xFF000000)) {
    pixman_color_t half = {0x8080, 0x8080, 0x8080, 0x8080};
    mask = pixman_image_create_solid_fill(&half);
  }
  ~sPixmanScene() { pixman_image_unref(mask); }
  void Draw(const std::vector<sPos>& sprites, const std::vector<sPos>& quads, bool withQuads) {
    for (const sPos& p : sprites)
      pixman_image_composite32(PIXMAN_OP_OVER, sprite.image, nullptr, screen.image, 0, 0, 0, 0, p.x,
                               p.y, kSprite, kSprite);
    if (!withQuads) return;
    for (const sPos& p : quads)
      pixman_image_composite32(work.quadsBlended ? PIXMAN_OP_OVER : PIXMAN_OP_SRC, quad.image,
                               work.quadsBlended ? mask : nullptr, screen.image, 0, 0, 0, 0, p.x,
                               p.y, kQuad, kQuad);
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
  sPixmanScene pixman(PixmanWorkFor(d3d, bpp));
  state.SetLabel(pixman.work.label);
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
