#include "media/blur_mosaic.h"

#include "media/pixel_access.h"
#include "tests/media/effect_fixture.h"

namespace {

const sMode kDD8{0, 8}, kDD16{0, 16}, kDD32{0, 32}, kD3D16{1, 16}, kD3D32{1, 32};
const sMode kD3D16Full{1, 16, 0};

// A 2 x 2 source blurred with both radii 1 onto (1, 1) of a 4 x 4 destination of one value:
// each pixel averages itself with its left, upper and upper-left neighbours inside the
// rectangle. With flags 1 the first source pixel is transparent.
TEST_F(EffectTest, BlurAveragesTheUpperLeftWindow) {
  struct Case {
    sMode mode;
    std::uint32_t key, background;
    int flags;
    Pixels source, expected;
    bool toBack = false;
  };
  const Case cases[] = {
      // Byte 3 of a DirectDraw destination is kept.
      {kDD32,
       0xFF00FF,
       0xAA000000,
       0,
       {0x10, 0x20, 0x30, 0x41},
       {0xAA000010, 0xAA000018, 0xAA000020, 0xAA000028}},
      {kDD32,
       0xFF00FF,
       0xAA000000,
       1,
       {0xFF00FF, 0x20, 0x30, 0x41},
       {0xAA000000, 0xAA000020, 0xAA000030, 0xAA000030}},
      // 5-6-5: green 63 of 63 spreads as 31 and 15; red 1 of four pixels vanishes.
      {kDD16,
       0xF81F,
       0x1234,
       0,
       {0x07E0, 0x0004, 0x0006, 0x0809},
       {0x07E0, 0x03E2, 0x03E3, 0x01E4}},
      {kDD16,
       0xF81F,
       0x1234,
       1,
       {0xF81F, 0x0004, 0x0006, 0x0809},
       {0x1234, 0x0004, 0x0006, 0x0006}},
      {kD3D32,
       0,
       0x11000000,
       0,
       {0xFF000010, 0xFF000020, 0xFF000030, 0xFF000041},
       {0xFF000010, 0xFF000018, 0xFF000020, 0xFF000028}},
      {kD3D32,
       0,
       0x11000000,
       1,
       {0x00000010, 0xFF000020, 0xFF000030, 0xFF000041},
       {0x11000000, 0xFF000020, 0xFF000030, 0xFF000030}},
      // Texture layout 1-5-5-5 with the alpha bit; 0x03E0 has bits 15 and 13 clear.
      {kD3D16, 0, 0x1234, 0, {0x83E0, 0x8004, 0x8006, 0x8409}, {0x83E0, 0x81E2, 0x81E3, 0x80E4}},
      {kD3D16, 0, 0x1234, 1, {0x03E0, 0x8004, 0x8006, 0x8409}, {0x1234, 0x8004, 0x8006, 0x8006}},
      // Into the full-screen 5-6-5 back buffer the 5-bit green is doubled, no alpha bit.
      {kD3D16Full,
       0,
       0x1234,
       0,
       {0x83E0, 0x8004, 0x8006, 0x8409},
       {0x07C0, 0x03C2, 0x03C3, 0x01C4},
       true},
      // Eight bits: only a line in the error log.
      {kDD8, 0, 9, 0, {1, 2, 3, 4}, {9, 9, 9, 9}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode.Name() + " flags " + std::to_string(c.flags));
    Init(c.mode);
    g_dwTransmit = c.key;
    DDSURFACEDATA* dst = Target(c.toBack, 4, 4, c.background);
    Make(m_Src, 4, 4, 0);
    Put(m_Src, 0, 0, 2, c.source);
    EXPECT_TRUE(DDBlur(dst, 1, 1, 2, 2, 1, 1, &m_Src, 0, 0, c.flags));
    EXPECT_EQ(Get(*dst, 1, 1, 2, 2), c.expected);
    EXPECT_EQ(dst->Pixels()->Get(0, 0), c.background);
    TearDown();
  }
}

// A picture of random pixels, some of them transparent, filling the source.
void PaintNoise(DDSURFACEDATA& s, const sMode& mode) {
  std::uint32_t seed = 7;
  for (int y = 0; y < s.Pixels()->Height(); ++y) {
    for (int x = 0; x < s.Pixels()->Width(); ++x) {
      seed = seed * 1103515245u + 12345u;
      std::uint32_t p = seed >> 8;
      if (mode.bpp == 16) p &= 0xFFFF;
      if (seed % 7 == 0) p = mode.d3d ? (mode.bpp == 16 ? 0x1234 : 0x00123456) : g_dwTransmit;
      s.Pixels()->Put(x, y, p);
    }
  }
}

// The average of the source pixels at offsets [a0, a1) x [b0, b1) from (1, 1), composed for
// the destination, or background when none takes part.
std::uint32_t PlainAverage(DDSURFACEDATA& src, const sMode& mode, int flags, int a0, int a1, int b0,
                           int b1, std::uint32_t background) {
  long long sr = 0, sg = 0, sb = 0, n = 0;
  for (int b = b0; b < b1; ++b) {
    for (int a = a0; a < a1; ++a) {
      const std::uint32_t p = src.Pixels()->Get(1 + a, 1 + b);
      if (flags == 1 && IsTransparentPixel(p, mode.bpp)) continue;
      const sChannels c = mode.bpp == 16 ? SplitPixel16(p, g_PixelLayout) : SplitPixel32(p);
      sr += c.r;
      sg += c.g;
      sb += c.b;
      ++n;
    }
  }
  if (n == 0) return background;
  const int ar = static_cast<int>(sr / n), ag = static_cast<int>(sg / n),
            ab = static_cast<int>(sb / n);
  return mode.bpp == 32 ? Compose32(ar, ag, ab, background)
         : mode.d3d     ? ComposeD3D16(ar, ag, ab, !mode.windowMode)
                        : ComposeDD16(ar, ag, ab);
}

// Larger pictures against the blur worked out pixel by pixel: the window sums kept while the
// window slides, several pixels at a time where the machine allows, and the averages divided
// through reciprocals, must give the same result in every mode, at the edges and in between.
TEST_F(EffectTest, BlurMatchesThePlainAverage) {
  struct Radii {
    int rx, ry;
  };
  for (const sMode& mode : {kDD16, kDD32, kD3D16, kD3D32, kD3D16Full}) {
    Init(mode);
    g_dwTransmit = mode.bpp == 16 ? 0xF81F : 0xFF00FF;
    // Wide enough for several passes of eight pixels and a remainder.
    const int w = 37, h = 9;
    const bool toBack = !mode.windowMode;
    const std::uint32_t background = mode.bpp == 16 ? 0x5A5A : 0xC35A5A5A;
    Make(m_Src, w + 2, h + 1, 0);
    PaintNoise(m_Src, mode);
    for (const Radii& r : {Radii{1, 1}, Radii{2, 3}, Radii{5, 1}, Radii{4, 4}, Radii{40, 40}}) {
      for (int flags : {0, 1}) {
        SCOPED_TRACE(mode.Name() + " radii " + std::to_string(r.rx) + "," + std::to_string(r.ry) +
                     " flags " + std::to_string(flags));
        DDSURFACEDATA* dst = Target(toBack, w, h, background);
        ASSERT_TRUE(DDBlur(dst, 0, 0, w, h, r.rx, r.ry, &m_Src, 1, 1, flags));
        for (int j = 0; j < h; ++j) {
          for (int i = 0; i < w; ++i) {
            const bool skip =
                flags == 1 && IsTransparentPixel(m_Src.Pixels()->Get(1 + i, 1 + j), mode.bpp);
            const std::uint32_t expected =
                skip
                    ? background
                    : PlainAverage(m_Src, mode, flags, std::max(i - r.rx, 0), std::min(i + r.rx, w),
                                   std::max(j - r.ry, 0), std::min(j + r.ry, h), background);
            ASSERT_EQ(dst->Pixels()->Get(i, j), expected) << i << "," << j;
          }
        }
        DDDestroySurface(&m_Dst);
      }
    }
    TearDown();
  }
}

// Windows of more pixels than the blur keeps reciprocals for (65536), even with the
// transparent seventh left out: with radii beyond the picture every window is the whole
// picture.
TEST_F(EffectTest, BlurOfWindowsOfManyPixels) {
  for (const sMode& mode : {kDD16, kD3D32}) {
    SCOPED_TRACE(mode.Name());
    Init(mode);
    g_dwTransmit = mode.bpp == 16 ? 0xF81F : 0xFF00FF;
    const int w = 360, h = 240, big = 1 << 20;
    Make(m_Src, w + 1, h + 1, 0);
    PaintNoise(m_Src, mode);
    for (int flags : {0, 1}) {
      Make(m_Dst, w, h, 0x5A5A);
      ASSERT_TRUE(DDBlur(&m_Dst, 0, 0, w, h, big, big, &m_Src, 1, 1, flags));
      const std::uint32_t average = PlainAverage(m_Src, mode, flags, 0, w, 0, h, 0x5A5A);
      for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
          const bool skip =
              flags == 1 && IsTransparentPixel(m_Src.Pixels()->Get(1 + i, 1 + j), mode.bpp);
          ASSERT_EQ(m_Dst.Pixels()->Get(i, j), skip ? 0x5A5Au : average) << i << "," << j;
        }
      }
      DDDestroySurface(&m_Dst);
    }
    TearDown();
  }
}

// Blocks of 2 x 2 over a checkerboard of colours A and B (A at the top left): the Direct3D
// mode and 8 bits paint the first pixel, DirectDraw at 16 and 32 bits the block's average.
TEST_F(EffectTest, MosaicBlockColours) {
  struct Case {
    sMode mode;
    std::uint32_t key, background;
    int flags;
    Pixels source;  // A, B, B, A unless given whole
    std::uint32_t expected;
    bool toBack = false;
  };
  const Case cases[] = {
      {kD3D32, 0, 0x11000000, 0, {0x00000010, 0xFF000030, 0xFF000030, 0x00000010}, 0xFF000010},
      {kD3D32, 0, 0x11000000, 1, {0x00000010, 0xFF000030, 0xFF000030, 0x00000010}, 0x11000000},
      {kD3D16, 0, 0x1234, 0, {0x8004, 0x8008, 0x8008, 0x8004}, 0x8004},
      {kD3D16, 0, 0x1234, 1, {0x1004, 0x8008, 0x8008, 0x1004}, 0x1234},
      {kD3D16Full, 0, 0x1234, 0, {0x8064, 0x8008, 0x8008, 0x8064}, 0x00C4, true},
      {kDD8, 0, 9, 0, {5, 7, 7, 5}, 5},
      {kDD8, 5, 9, 1, {5, 7, 7, 5}, 9},
      {kDD32, 0xFF00FF, 0xAA000000, 0, {0x10, 0x30, 0x30, 0x10}, 0xAA000020},
      {kDD32, 0xFF00FF, 0xAA000000, 1, {0xFF00FF, 0x30, 0x30, 0x10}, 0xAA000025},
      // Blue 15 and 31 of 31 in 8-bit units 123 and 255, their average 189 back as 22.
      {kDD16, 0xF81F, 0x1234, 0, {0x000F, 0x001F, 0x001F, 0x000F}, 0x0016},
      // Green 1 of 63 is lost in 8-bit units: the average is the transparent colour.
      {kDD16, 0xF81F, 0x1234, 0, {0xF83F, 0xF83F, 0xF83F, 0xF83F}, 0xF81F},
      {kDD16, 0xF81F, 0x1234, 1, {0xF83F, 0xF83F, 0xF83F, 0xF83F}, 0x1234},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode.Name() + " flags " + std::to_string(c.flags));
    Init(c.mode);
    g_dwTransmit = c.key;
    DDSURFACEDATA* dst = Target(c.toBack, 4, 4, c.background);
    Make(m_Src, 2, 2, 0);
    Put(m_Src, 0, 0, 2, c.source);
    EXPECT_TRUE(DDMosaic(dst, 1, 1, 2, 2, 2, &m_Src, 0, 0, c.flags));
    EXPECT_EQ(Get(*dst, 1, 1, 2, 2), Pixels(4, c.expected));
    EXPECT_EQ(dst->Pixels()->Get(3, 3), c.background);
    TearDown();
  }
}

TEST_F(EffectTest, MosaicBlocksAtTheRectangleEdgeAreNarrower) {
  Init(kDD8);
  Make(m_Dst, 12, 1, 0);
  Make(m_Src, 10, 1, 0);
  Put(m_Src, 0, 0, 10, {10, 11, 12, 13, 14, 15, 16, 17, 18, 19});
  EXPECT_TRUE(DDMosaic(&m_Dst, 0, 0, 10, 1, 4, &m_Src, 0, 0, 0));
  EXPECT_EQ(Get(m_Dst, 0, 0, 12, 1), (Pixels{10, 10, 10, 10, 14, 14, 14, 14, 18, 18, 0, 0}));
}

// Blocks of one pixel at 16 bits in DirectDraw pass each channel through 8-bit units and
// back: 5-bit values between the ends drop one step, the 6-bit green keeps some.
TEST_F(EffectTest, MosaicOfOnePixelRoundsThroughEightBits) {
  struct Case {
    std::uint32_t in, out;
  };
  const Case cases[] = {
      {0x000F, 0x000E},  // blue 15 of 31 -> 14
      {0x001F, 0x001F},  // the maximum stays
      {0x0800, 0x0000},  // red 1 of 31 -> 0
      {0x02A0, 0x02A0},  // green 21 of 63 stays (85 in 8 bits exactly)
      {0x0540, 0x0540},  // green 42 stays
      {0x0020, 0x0000},  // green 1 -> 0
      {0x03E0, 0x03C0},  // green 31 -> 30
  };
  Init(kDD16);
  g_dwTransmit = 0xF81F;
  Make(m_Dst, 7, 1, 0x1234);
  Make(m_Src, 7, 1, 0);
  for (int i = 0; i < 7; ++i) m_Src.Pixels()->Put(i, 0, cases[i].in);
  EXPECT_TRUE(DDMosaic(&m_Dst, 0, 0, 7, 1, 1, &m_Src, 0, 0, 0));
  for (int i = 0; i < 7; ++i) EXPECT_EQ(m_Dst.Pixels()->Get(i, 0), cases[i].out) << cases[i].in;
}

// Sizes below 1 return at once: not even the lock of one surface as both sides, which fails,
// is tried. A lock that fails returns false.
TEST_F(EffectTest, BlurAndMosaicRefusals) {
  Init(kDD32);
  Make(m_Dst, 4, 4, 7);
  for (int n : {0, -1, -100}) {
    EXPECT_TRUE(DDMosaic(&m_Dst, 0, 0, 4, 4, n, &m_Dst, 0, 0, 0));
    EXPECT_TRUE(DDBlur(&m_Dst, 0, 0, 4, 4, n, 1, &m_Dst, 0, 0, 0));
    EXPECT_TRUE(DDBlur(&m_Dst, 0, 0, 4, 4, 1, n, &m_Dst, 0, 0, 0));
  }
  EXPECT_FALSE(DDMosaic(&m_Dst, 0, 0, 4, 4, 2, &m_Dst, 0, 0, 0));
  EXPECT_FALSE(DDBlur(&m_Dst, 0, 0, 4, 4, 1, 1, &m_Dst, 0, 0, 0));
  EXPECT_EQ(Get(m_Dst, 0, 0, 4, 4), Pixels(16, 7));
}

// Rectangles far beyond both surfaces: only points with a source pixel are read and only
// points on the destination written; huge rectangles end at once.
TEST_F(EffectTest, BlurAndMosaicStayInsideBothSurfaces) {
  for (const sMode& mode : {kDD32, kD3D16}) {
    SCOPED_TRACE(mode.Name());
    Init(mode);
    Make(m_Dst, 8, 8, 1);
    Make(m_Src, 4, 4, 0x8005);
    // The source starts at offset 2: destination columns 0 and 1 have no source pixel.
    EXPECT_TRUE(DDBlur(&m_Dst, 0, 0, 1 << 27, 1 << 27, 3, 3, &m_Src, -2, -2, 0));
    EXPECT_EQ(m_Dst.Pixels()->Get(1, 1), 1u);
    EXPECT_EQ(m_Dst.Pixels()->Get(2, 2), 0x8005u);
    EXPECT_EQ(m_Dst.Pixels()->Get(6, 6), 1u);
    m_Dst.Pixels()->Fill(1);
    EXPECT_TRUE(DDMosaic(&m_Dst, -3, -3, 1 << 27, 1 << 27, 1, &m_Src, -1, 0, 0));
    EXPECT_TRUE(DDMosaic(&m_Dst, 0, 0, 1 << 27, 1 << 27, 3, &m_Src, 1, 1, 0));
    EXPECT_EQ(m_Dst.Pixels()->Get(0, 0), 0x8005u);
    EXPECT_EQ(m_Dst.Pixels()->Get(3, 3), 1u);  // its block starts beyond the source
    TearDown();
  }
}

}  // namespace
