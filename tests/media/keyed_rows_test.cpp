// Keyed blits of rows long enough for every width of the row loops (whole vectors of each
// size and their tails), against the plain rule: every source pixel but the key is copied.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "media/blit.h"
#include "media/device.h"
#include "media/palette.h"
#include "media/raster.h"
#include "media/surface_create.h"
#include "media/wide_vectors.h"

namespace {

TEST(KeyedRows, DirectDrawCopiesAllButTheKeyAtEveryDepth) {
  for (int bpp : {8, 16, 32}) {
    SCOPED_TRACE(bpp);
    ASSERT_TRUE(DDInit(0, nullptr, 64, 8, bpp, 0, 1, 1, 60, 0, nullptr, nullptr, 0));
    DDSetTransmit(0xFF, 0, 0xFF);
    const std::uint32_t mask = bpp == 8 ? 0xFF : bpp == 16 ? 0xFFFF : 0xFFFFFFFF;
    DDSURFACEDATA src;
    ASSERT_TRUE(DDCreateSurface(&src, 45, 2, 1, 1, DTMEMORYTYPE_VIDEO_RT, 0, 0));
    std::uint32_t seed = 11;
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 45; ++x) {
        seed = seed * 1664525u + 1013904223u;
        // Runs of key, of other pixels and a mix: every branch of the vector loops.
        const bool key = x < 16 ? x >= 8 : x < 32 ? (seed >> 20) & 1 : x % 7 == 0;
        std::uint32_t value = (seed >> 8) & mask;
        if (value == g_dwTransmit) value ^= 1;
        src.Pixels()->Put(x, y, key ? g_dwTransmit : value);
      }
    BackBuffer.Pixels()->Fill(0x5A5A5A5A);
    ASSERT_EQ(DDBlt(&BackBuffer, 3, 2, 45, 2, &src, 0, 0, 1), 1);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 64; ++x) {
        std::uint32_t want = 0x5A5A5A5A & mask;
        if (x >= 3 && x < 48 && y >= 2 && y < 4) {
          const std::uint32_t p = src.Pixels()->Get(x - 3, y - 2);
          if (p != g_dwTransmit) want = p;
        }
        ASSERT_EQ(BackBuffer.Pixels()->Get(x, y), want) << "at " << x << ", " << y;
      }
    DDDestroySurface(&src);
    DDRelease();
  }
  g_dwTransmit = 0;
}

// The 32-bit rows take the 256-bit vector path where the machine has it: it must give the same
// pixels as the narrower one, for keyed copies and for texels of every alpha.
TEST(KeyedRows, WideAndNarrowPathsDrawTheSamePixels) {
  for (int d3d : {0, 1}) {
    SCOPED_TRACE(d3d ? "Direct3D" : "DirectDraw");
    auto draw = [d3d] {
      std::vector<std::uint32_t> frame;
      EXPECT_TRUE(DDInit(d3d, nullptr, 64, 8, 32, 0, 1, 1, 60, 0, nullptr, nullptr, 0));
      DDSetTransmit(0xFF, 0, 0xFF);
      DDSURFACEDATA src;
      EXPECT_TRUE(DDCreateSurface(&src, 45, 3, 1, 1, DTMEMORYTYPE_VIDEO_RT, 0, 0));
      std::uint32_t seed = 7;
      for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 45; ++x) {
          seed = seed * 1664525u + 1013904223u;
          // Groups all keyed, all opaque, opaque with keyed, and partly transparent.
          const int kind = x < 8    ? 0
                           : x < 16 ? 1
                           : x < 32 ? int((seed >> 20) & 1)
                                    : int(seed >> 30);
          std::uint32_t p = seed & 0x00FFFFFF;
          if (kind == 0)
            p = d3d ? 0 : g_dwTransmit;
          else if (kind == 1 || !d3d)
            p |= 0xFF000000;
          else
            p |= (seed & 0x7F000000) | 0x01000000;
          if (!d3d && p == g_dwTransmit) p ^= 1;
          src.Pixels()->Put(x, y, p);
        }
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 64; ++x) BackBuffer.Pixels()->Put(x, y, 0x10203 * (x + 8 * y));
      EXPECT_EQ(DDBlt(&BackBuffer, 3, 2, 45, 3, &src, 0, 0, 1), 1);
      if (d3d) {
        // Tinted and half transparent: the texels are modulated by a colour first.
        DDSetColor(0x80C08040);
        DDSetAlphaOp(D3DTOP_MODULATE);
        EXPECT_EQ(DDBlt(&BackBuffer, 11, 4, 45, 3, &src, 0, 0, 1), 1);
        DDResetColor();
        DDResetAlphaOp();
      }
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 64; ++x) frame.push_back(BackBuffer.Pixels()->Get(x, y));
      DDDestroySurface(&src);
      DDRelease();
      return frame;
    };
    const std::vector<std::uint32_t> wide = draw();
    std::vector<std::uint32_t> narrow;
    {
      cNarrowVectorsScope scope;
      narrow = draw();
    }
    EXPECT_EQ(wide, narrow);
  }
  g_dwTransmit = 0;
}

}  // namespace
