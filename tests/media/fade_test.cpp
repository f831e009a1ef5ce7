#include "media/fade.h"

#include <gtest/gtest.h>

#include "media/palette_effects.h"
#include "media/pixel_access.h"
#include "media/raster.h"
#include "tests/media/screen_fixture.h"

namespace {

using V = std::vector<std::uint32_t>;

class Fades : public cScreenTest {
 protected:
  void SetUp() override { ResetScreenFades(); }
  void TearDown() override {
    ResetScreenFades();
    cScreenTest::TearDown();
  }
};

TEST_F(Fades, EightBitFadeBlendsThePaletteFrameByFrame) {
  Init(0, 8);
  PALETTEENTRY source[256], work[256];
  for (PALETTEENTRY& e : source) e = PALETTEENTRY{200, 100, 40, 0};
  // Step 30 draws the angles 90, 60, 30 and 0 (levels 256, 221, 127, 0), then starts again.
  const bool done[] = {false, false, false, true, false};
  const int reds[] = {200, 172, 99, 0, 200};
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(FadeScreenOut(work, 0, 255, 0, 0, 0, 30.0, source, 0), done[k]) << "call " << k;
    EXPECT_EQ(work[77].peRed, reds[k]) << "call " << k;
    EXPECT_EQ(work[77].peFlags, PC_RESERVED);
    EXPECT_EQ(g_lpDDPalette->entries[77].peRed, reds[k]) << "the display takes the entries";
  }
  // A fade-in step of 100 draws the colour, then clamps to the full picture and ends.
  EXPECT_FALSE(FadeScreenIn(work, 0, 255, 255, 255, 255, 100.0, source, 0));
  EXPECT_EQ(work[3].peGreen, 255);
  EXPECT_TRUE(FadeScreenIn(work, 0, 255, 255, 255, 255, 100.0, source, 0));
  EXPECT_EQ(work[3].peGreen, 100);
  // The finish flag jumps to the last frame; a step that could never end does the same.
  EXPECT_TRUE(FadeScreenOut(work, 0, 255, 0, 0, 0, 10.0, source, 1));
  EXPECT_EQ(work[3].peGreen, 0);
  EXPECT_TRUE(FadeScreenOut(work, 0, 255, 0, 0, 0, 0.0, source, 0));
  EXPECT_TRUE(FadeScreenIn(work, 0, 255, 0, 0, 0, -5.0, source, 0));
}

TEST_F(Fades, TrueColourFadeMixesTheScreenAsItWasAtTheStart) {
  Init(0, 32);
  BackBuffer.Pixels()->Fill(0x00C86428);
  EXPECT_FALSE(FadeScreenOut(nullptr, 0, 255, 0, 0, 255, 60.0, nullptr, 0));
  EXPECT_EQ(At(BackBuffer, 5, 5), 0x00C86428u);
  BackBuffer.Pixels()->Fill(0x00111111);  // the scene draws on; the fade keeps its copy
  EXPECT_FALSE(FadeScreenOut(nullptr, 0, 255, 0, 0, 255, 60.0, nullptr, 0));
  // Angle 30, level 127: (200 * 127) >> 8, (100 * 127) >> 8, (40 * 127 + 255 * 129) >> 8.
  EXPECT_EQ(At(BackBuffer, 5, 5), 0x00633194u);
  EXPECT_TRUE(FadeScreenOut(nullptr, 0, 255, 0, 0, 255, 60.0, nullptr, 0));
  EXPECT_EQ(At(BackBuffer, 63, 47), 0x000000FFu);
}

TEST_F(Fades, Direct3DFadeDrawsABlackQuad) {
  Init(1, 32);
  BackBuffer.Pixels()->Fill(0xFFFFFFFF);
  EXPECT_FALSE(FadeScreenOut(nullptr, 0, 255, 255, 0, 0, 45.0, nullptr, 0));
  EXPECT_EQ(At(BackBuffer, 1, 1) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_FALSE(FadeScreenOut(nullptr, 0, 255, 255, 0, 0, 45.0, nullptr, 0));
  const std::uint32_t half = At(BackBuffer, 1, 1) & 0xFF;
  EXPECT_GT(half, 170u);  // alpha 75 of black over white
  EXPECT_LT(half, 185u);
  EXPECT_TRUE(FadeScreenOut(nullptr, 0, 255, 255, 0, 0, 45.0, nullptr, 0));
  EXPECT_EQ(At(BackBuffer, 1, 1) & 0xFFFFFF, 0u) << "black whatever the colour asked";
}

TEST_F(Fades, PaletteLessFadeInBothDepths) {
  Init(0, 32);
  DDSURFACEDATA src, dst;
  Make(src, 64, 48, 0x00C86428);
  Make(dst, 64, 48, 0xAB000000);
  EXPECT_TRUE(DDFade_UnPal(&dst, 256, 9, 9, 9, &src));
  EXPECT_EQ(At(dst, 3, 3), 0xABC86428u) << "byte 3 is left";
  EXPECT_TRUE(DDFade_UnPal(&dst, 0, 1, 2, 3, &src));
  EXPECT_EQ(At(dst, 63, 47), 0xAB010203u);
  // A smaller source is read only where it has pixels.
  DDSURFACEDATA small;
  Make(small, 4, 4, 0x00FFFFFF);
  EXPECT_TRUE(DDFade_UnPal(&dst, 256, 0, 0, 0, &small));
  EXPECT_EQ(At(dst, 3, 3), 0xABFFFFFFu);
  EXPECT_EQ(At(dst, 4, 4), 0xAB010203u);
  // The same surface on both sides cannot be locked twice.
  EXPECT_FALSE(DDFade_UnPal(&dst, 0, 0, 0, 0, &dst));
  DDReleaseSurface(&src);
  DDReleaseSurface(&dst);
  DDReleaseSurface(&small);
  DDRelease();

  Init(0, 16);
  const DDPIXELLAYOUT& l = g_PixelLayout;
  Make(src, 8, 8, (15u << l.nShiftR) | (static_cast<unsigned>(l.nMaxG) << l.nShiftG));
  Make(dst, 8, 8, 0);
  EXPECT_TRUE(DDFade_UnPal(&dst, 256, 0, 0, 0, &src));
  // Through 8-bit units and back: red 15 of 31 comes out one step lower, a full channel stays.
  const sChannels c = SplitPixel16(At(dst, 2, 2), l);
  EXPECT_EQ(c.r, 14);
  EXPECT_EQ(c.g, l.nMaxG);
  EXPECT_EQ(c.b, 0);
  EXPECT_TRUE(DDFade_UnPal(&dst, 0, 255, 255, 255, &src));
  const sChannels w = SplitPixel16(At(dst, 2, 2), l);
  EXPECT_EQ(V({static_cast<std::uint32_t>(w.r), static_cast<std::uint32_t>(w.g),
               static_cast<std::uint32_t>(w.b)}),
            V({static_cast<std::uint32_t>(l.nMaxR), static_cast<std::uint32_t>(l.nMaxG),
               static_cast<std::uint32_t>(l.nMaxB)}));
  DDReleaseSurface(&src);
  DDReleaseSurface(&dst);
  DDRelease();

  // The Direct3D mode has no such fade: it only writes its line.
  Init(1, 32);
  Make(src, 8, 8, 0xFF102030);
  Make(dst, 8, 8, 0xFF000000);
  EXPECT_TRUE(DDFade_UnPal(&dst, 256, 0, 0, 0, &src));
  EXPECT_EQ(At(dst, 1, 1), 0xFF000000u);
}

// The overlay covers a surface with its own picture multiplied by the colour, with opacity
// (255 - nAlpha) / 255: a known picture on the screen at each depth and on a texture.
TEST_F(Fades, ColourOverlayTintsThePicture) {
  struct Case {
    const char* name;
    int bpp, windowMode;
    int alpha;
    std::uint8_t r, g, b;
    std::uint32_t expected;  // of the picture 0x80C040 (pure colours at 16 bits: 0xFF0000)
  };
  const Case cases[] = {
      {"white leaves it", 32, 1, 0, 255, 255, 255, 0x80C040},
      {"red keeps its red", 32, 1, 0, 255, 0, 0, 0x800000},
      {"a colour multiplies", 32, 1, 0, 0, 128, 255, 0x006040},
      {"alpha 255 changes nothing", 32, 1, 255, 0, 0, 0, 0x80C040},
      // Half-way between the picture and its tinted form: 192 * 127 / 255 in green.
      {"half transparent", 32, 1, 127, 255, 0, 0, 0x805F20},
      {"16 bits windowed, red on white", 16, 1, 0, 255, 0, 0, 0xFF0000},
      {"16 bits full screen, blue on white", 16, 0, 0, 0, 0, 255, 0x0000FF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Init(1, c.bpp, 64, 48, c.windowMode);
    const D3DFORMAT format = BackBuffer.Pixels()->Format();
    const std::uint32_t picture = c.bpp == 32 ? 0x80C040 : 0xFFFFFF;
    // The top bit of a 16-bit screen pixel is no alpha: cleared, it must not hide the overlay.
    BackBuffer.Pixels()->Fill(ArgbToFormat(0xFF000000 | picture, format) &
                              (c.bpp == 16 ? 0x7FFF : ~0u));
    BackBuffer.Pixels()->Put(5, 5, ArgbToFormat(0xFF000000 | picture, format));
    EXPECT_TRUE(DDChangeColor(&BackBuffer, 0, 0, 64, 48, c.alpha, c.r, c.g, c.b));
    for (int x : {10, 5}) {
      const std::uint32_t got = PixelToArgb(At(BackBuffer, x, x), format) & 0xFFFFFF;
      for (int shift : {0, 8, 16}) {
        const int want = static_cast<int>((c.expected >> shift) & 0xFF);
        const int have = static_cast<int>((got >> shift) & 0xFF);
        EXPECT_NEAR(have, want, 1) << std::hex << got << " at " << x;
      }
    }
    cScreenTest::TearDown();
  }
  // A texture: the tint weighed by each texel's alpha; alpha 0 stays as it was.
  Init(1, 32);
  DDSURFACEDATA tex;
  Make(tex, 8, 8, 0xFF808080);
  tex.Pixels()->Put(1, 1, 0x00808080);
  EXPECT_TRUE(DDChangeColor(&tex, 0, 0, 8, 8, 0, 255, 0, 128));
  EXPECT_EQ(At(tex, 3, 3), 0xFF800040u);
  EXPECT_EQ(At(tex, 1, 1), 0x00808080u);
}

TEST_F(Fades, ColourOverlayIsForDirect3DOnly) {
  Init(0, 32);
  BackBuffer.Pixels()->Fill(0x00204060);
  EXPECT_TRUE(DDChangeColor(&BackBuffer, 0, 0, 64, 48, 0, 255, 255, 255));
  EXPECT_EQ(At(BackBuffer, 10, 10), 0x00204060u);
}

TEST_F(Fades, PaletteReadPerModeAndDepth) {
  struct Case {
    const char* name;
    int d3d, bpp;
    bool opaque;     // the block pixel carries alpha
    int red, green;  // entry 5 afterwards (it starts at 1, 1)
  };
  const Case cases[] = {
      {"Direct3D skips a transparent cell", 1, 32, false, 1, 1},
      {"Direct3D takes an opaque one", 1, 32, true, 255, 255},
      {"DirectDraw takes every cell", 0, 32, false, 255, 255},
      {"Direct3D 16 bits in 8-bit units", 1, 16, true, 255, 255},
      {"DirectDraw 16 bits in channel units", 0, 16, false, 31, -1},
  };
  for (const Case& c : cases) {
    Init(c.d3d, c.bpp);
    const DDPIXELLAYOUT& l = g_PixelLayout;
    std::uint32_t white = 0x00FFFFFF;
    if (c.bpp == 16)
      white = (static_cast<std::uint32_t>(l.nMaxR) << l.nShiftR) |
              (static_cast<std::uint32_t>(l.nMaxG) << l.nShiftG) |
              (static_cast<std::uint32_t>(l.nMaxB) << l.nShiftB);
    if (c.opaque) white |= c.bpp == 16 ? 1u << l.nShiftA : 0xFF000000u;
    DDSURFACEDATA sd;
    Make(sd, 16, 24, 0);
    sd.Pixels()->Put(5, 8, white);
    PALETTEENTRY pal[256];
    for (PALETTEENTRY& e : pal) e = PALETTEENTRY{1, 1, 1, 0};
    EXPECT_TRUE(DDSetPalette_UnPal(pal, &sd));
    EXPECT_EQ(pal[5].peRed, c.red) << c.name;
    EXPECT_EQ(pal[5].peGreen, c.green < 0 ? l.nMaxG : c.green) << c.name;
    DDReleaseSurface(&sd);
    DDRelease();
  }
}

}  // namespace
