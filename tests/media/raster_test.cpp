#include "media/raster.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "media/surface_create.h"

namespace {

constexpr D3DFORMAT kFormats[] = {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_R5G6B5, D3DFMT_A1R5G5B5,
                                  D3DFMT_X1R5G5B5};

std::uint32_t Next(std::uint32_t& seed) {
  seed = seed * 1664525u + 1013904223u;
  return seed ^ (seed >> 15);
}

// A texel for column k: runs of opaque, transparent and mixed opaque/transparent texels
// (the whole-vector cases of the row loops), then any value.
std::uint32_t Texel(int k, std::uint32_t& seed, D3DFORMAT format) {
  std::uint32_t value = Next(seed);
  const std::uint32_t top =
      format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0x8000u;
  if (k < 8)
    value |= top;
  else if (k < 16)
    value &= ~top;
  else if (k < 24)
    value = (value & 1) ? value | top : value & ~top;
  if (format == D3DFMT_A8R8G8B8 && k >= 24 && k % 5 == 0) value &= 0x01FFFFFFu;  // alpha 0, 1
  return FormatBytes(format) == 2 ? value & 0xFFFF : value;
}

// The documented rule for one pixel: the texel widened and combined, blended over the widened
// target pixel, cut back to the target format; a result of alpha 0 leaves the pixel as it is.
std::uint32_t Expected(std::uint32_t texel, D3DFORMAT texFormat, std::uint32_t old,
                       D3DFORMAT format, const sQuadStage& stage) {
  const std::uint32_t colour = CombineStage(PixelToArgb(texel, texFormat), stage);
  if ((colour >> 24) == 0) return old;
  return ArgbToFormat(BlendOver(colour, PixelToArgb(old, format)), format);
}

// Every texture format onto every target format, for stages the engine takes its shortcuts
// with and one it does not, one to one and stretched, with rows long enough for the vector
// loops and their tails and a quad that starts left of the target.
TEST(RasterQuad, EveryPixelFollowsTheRuleInEveryFormat) {
  struct Stage {
    const char* name;
    sQuadStage stage;
  };
  const Stage stages[] = {
      {"plain", {}},
      {"half alpha", {0x80FFFFFFu, D3DTOP_MODULATE, D3DTOP_MODULATE, 0, false}},
      {"tinted", {0xC0408020u, D3DTOP_MODULATE, D3DTOP_MODULATE, 0, false}},
      {"tinted, texel alpha", {0x40FF80FFu, D3DTOP_MODULATE, D3DTOP_SELECTARG1, 0, false}},
      {"added", {0x30102030u, D3DTOP_ADD, D3DTOP_MODULATE, 0, false}},
      {"alpha off", {0xFFFFFFFFu, D3DTOP_MODULATE, D3DTOP_DISABLE, 0, false}},
      {"tinted, alpha off", {0x80408020u, D3DTOP_MODULATE, D3DTOP_DISABLE, 0, false}},
      {"texel colour, alpha off", {0x40FFFFFFu, D3DTOP_SELECTARG1, D3DTOP_DISABLE, 0, false}},
  };
  struct Geometry {
    int x, w, sx, sw;
  };
  const Geometry geometries[] = {{3, 37, 1, 37}, {-5, 40, 0, 40}, {2, 38, 4, 19}};
  constexpr int kTexW = 41, kTexH = 3, kDstW = 45, kDstH = 4;
  for (D3DFORMAT texFormat : kFormats) {
    for (D3DFORMAT format : kFormats) {
      for (const Stage& s : stages) {
        for (const Geometry& g : geometries) {
          SCOPED_TRACE(testing::Message() << FormatName(texFormat) << " onto " << FormatName(format)
                                          << ", " << s.name << ", x " << g.x << " w " << g.w);
          std::uint32_t seed = 7;
          cPixelSurface tex, dst, old;
          ASSERT_TRUE(tex.Create(kTexW, kTexH, texFormat));
          ASSERT_TRUE(dst.Create(kDstW, kDstH, format));
          ASSERT_TRUE(old.Create(kDstW, kDstH, format));
          for (int v = 0; v < kTexH; ++v)
            for (int k = 0; k < kTexW; ++k) tex.Put(k, v, Texel(k, seed, texFormat));
          for (int y = 0; y < kDstH; ++y)
            for (int x = 0; x < kDstW; ++x) {
              std::uint32_t value = Next(seed);
              if (FormatBytes(format) == 2) value &= 0xFFFF;
              dst.Put(x, y, value);
              old.Put(x, y, value);
            }
          RasterTexturedQuad(dst, g.x, 1, g.w, 2, tex, g.sx, 1, g.sw, 2, s.stage);
          for (int y = 0; y < kDstH; ++y)
            for (int x = 0; x < kDstW; ++x) {
              const int k = x - g.x, j = y - 1;
              std::uint32_t want = old.Get(x, y);
              if (k >= 0 && k < g.w && j >= 0 && j < 2) {
                const int u = g.sx + k * g.sw / g.w;  // point sampling of a whole-ratio stretch
                want = Expected(tex.Get(u, 1 + j), texFormat, want, format, s.stage);
              }
              EXPECT_EQ(dst.Get(x, y), want) << "at " << x << ", " << y;
            }
        }
      }
    }
  }
}

// A quad of one colour blends every pixel by the same rule.
TEST(RasterQuad, ColourQuadFollowsTheRule) {
  for (D3DFORMAT format : kFormats) {
    for (std::uint32_t colour : {0xFF123456u, 0x80FF8000u, 0x01FFFFFFu, 0xFE00FF7Fu}) {
      SCOPED_TRACE(testing::Message() << FormatName(format) << " " << std::hex << colour);
      std::uint32_t seed = 3;
      cPixelSurface dst, old;
      ASSERT_TRUE(dst.Create(23, 1, format));
      ASSERT_TRUE(old.Create(23, 1, format));
      for (int x = 0; x < 23; ++x) {
        std::uint32_t value = Next(seed);
        if (FormatBytes(format) == 2) value &= 0xFFFF;
        dst.Put(x, 0, value);
        old.Put(x, 0, value);
      }
      RasterColourQuad(dst, 1, 0, 21, 1, colour);
      for (int x = 0; x < 23; ++x) {
        const std::uint32_t want =
            x >= 1 && x < 22
                ? ArgbToFormat(BlendOver(colour, PixelToArgb(old.Get(x, 0), format)), format)
                : old.Get(x, 0);
        ASSERT_EQ(dst.Get(x, 0), want) << "at " << x;
      }
    }
  }
}

}  // namespace
