// Keyed blits of rows long enough for every width of the row loops (whole vectors of each
// size and their tails), against the plain rule: every source pixel but the key is copied.
#include <gtest/gtest.h>

#include <cstdint>

#include "media/blit.h"
#include "media/device.h"
#include "media/palette.h"
#include "media/surface_create.h"

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

}  // namespace
