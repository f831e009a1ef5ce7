#include "media/draw_routines.h"

#include <gtest/gtest.h>

#include <string>

#include "media/sprite_batch.h"
#include "tests/media/screen_fixture.h"
#include "tests/support/scoped_value.h"

namespace {

using V = std::vector<std::uint32_t>;

class DrawRoutines : public cScreenTest {
 protected:
  // DirectDraw at 32 bits: pixel values are copied as they are.
  void SetUp() override {
    Init(0, 32);
    Make(dst, 64, 48, 0);
  }
  DDSURFACEDATA dst, src, src2;
};

TEST_F(DrawRoutines, NumbersFromADigitStrip) {
  // Digit d's cell (4 x 2) holds the value 10 + d.
  Make(src, 40, 2, 0);
  for (int d = 0; d < 10; ++d) FillRect(src, d * 4, 0, 4, 2, 10 + d);
  struct Case {
    const char* name;
    int value, minDigits, centre;
    V cells;  // what the first 8 cells of 4 pixels show
  };
  const Case cases[] = {
      {"7 with three digits", 7, 3, 0, V{0, 0, 17, 0, 0, 0, 0, 0}},
      {"7 with three digits centred", 7, 3, 1, V{0, 17, 0, 0, 0, 0, 0, 0}},
      {"zero", 0, 0, 0, V{10, 0, 0, 0, 0, 0, 0, 0}},
      {"most significant first", 4096, 2, 0, V{14, 10, 19, 16, 0, 0, 0, 0}},
      {"largest value", 2147483647, 0, 0, V{12, 11, 14, 17, 14, 18, 13, 16}},
      {"negative shows zero", -35, 1, 0, V{10, 0, 0, 0, 0, 0, 0, 0}},
      {"padding beyond any surface", 5, 2147483647, 0, V{0, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    dst.Pixels()->Fill(0);
    DrawNumber(&dst, 0, 0, 4, 2, &src, 0, 0, 0, c.value, c.minDigits, c.centre);
    V cells;
    for (int i = 0; i < 8; ++i) cells.push_back(At(dst, i * 4 + 1, 1));
    EXPECT_EQ(cells, c.cells) << c.name;
  }
}

TEST_F(DrawRoutines, FramesAndFramedPictures) {
  g_Palette[5] = PALETTEENTRY{1, 2, 3, 0};
  DrawRectFrame(&dst, 2, 2, 8, 6, 2, 5);
  const std::uint32_t f = 0x010203;
  EXPECT_EQ(Row(dst, 2, 0, 12), (V{0, 0, f, f, f, f, f, f, f, f, 0, 0}));
  EXPECT_EQ(Row(dst, 4, 0, 12), (V{0, 0, f, f, 0, 0, 0, 0, f, f, 0, 0}));
  EXPECT_EQ(Column(dst, 5, 0, 10), (V{0, 0, f, f, 0, 0, f, f, 0, 0}));

  dst.Pixels()->Fill(0);
  Make(src, 16, 16, 9);
  DrawFramedBlt(&dst, 4, 4, 3, 2, &src, 1, 5);
  EXPECT_EQ(Row(dst, 3, 2, 7), (V{0, f, f, f, f, f, 0}));
  EXPECT_EQ(Row(dst, 4, 2, 7), (V{0, f, 9, 9, 9, f, 0}));
  EXPECT_EQ(Row(dst, 6, 2, 7), (V{0, f, f, f, f, f, 0}));
}

TEST_F(DrawRoutines, StripesShiftAlternateStripsAndDropTheRemainder) {
  Make(src, 64, 16, 0);
  for (int x = 0; x < 64; ++x) FillRect(src, x, 0, 1, 16, 100 + x);
  DrawStripeBlt(&dst, 0, 8, 50, 16, 16, 2, &src, 0, 0, 0, 1);
  // Strip 0 moves down, strip 1 up, strip 2 down; columns 48 and 49 are left out.
  EXPECT_EQ(Column(dst, 5, 9, 2), (V{0, 105}));
  EXPECT_EQ(Column(dst, 20, 5, 2), (V{0, 120}));
  EXPECT_EQ(Column(dst, 40, 9, 2), (V{0, 140}));
  EXPECT_EQ(At(dst, 48, 15), 0u);
  EXPECT_EQ(At(dst, 47, 15), 147u);

  dst.Pixels()->Fill(0);
  DrawStripeBlt(&dst, 0, 0, 50, 3, 0, 2, &src, 0, 0, 0, 1);  // strip 0: a plain blit
  EXPECT_EQ(Row(dst, 2, 47, 4), (V{147, 148, 149, 0}));
}

TEST_F(DrawRoutines, CardFlipSteps) {
  Make(src, 64, 4, 1);
  Make(src2, 64, 4, 2);
  struct Case {
    int step;
    std::uint32_t picture;
    int left, width;
  };
  const Case cases[] = {
      {0, 1, 0, 64},  {31, 1, 31, 2}, {32, 2, 31, 2},  {63, 2, 0, 64},  {64, 2, 0, 64},
      {95, 2, 31, 2}, {96, 1, 31, 2}, {127, 1, 0, 64}, {16, 1, 16, 32}, {2147483647, 1, 0, 64},
  };
  for (const Case& c : cases) {
    dst.Pixels()->Fill(0);
    DrawFlipBlt(&dst, 0, 0, 64, 4, &src, 0, 0, &src2, 0, 0, 64, 4, 0, c.step, 0);
    int left = -1, width = 0;
    for (int x = 0; x < 64; ++x)
      if (At(dst, x, 1) == c.picture) {
        if (left < 0) left = x;
        ++width;
      } else {
        EXPECT_EQ(At(dst, x, 1), 0u) << "step " << c.step;
      }
    EXPECT_EQ(left, c.left) << "step " << c.step;
    EXPECT_EQ(width, c.width) << "step " << c.step;
  }
  // A side too small to turn, a negative step and an unknown axis draw nothing.
  dst.Pixels()->Fill(0);
  DrawFlipBlt(&dst, 0, 0, 1, 4, &src, 0, 0, &src2, 0, 0, 1, 4, 0, 3, 0);
  DrawFlipBlt(&dst, 0, 0, 64, 4, &src, 0, 0, &src2, 0, 0, 64, 4, 0, -1, 0);
  DrawFlipBlt(&dst, 0, 0, 64, 4, &src, 0, 0, &src2, 0, 0, 64, 4, 0, 0, 2);
  EXPECT_EQ(Row(dst, 1, 0, 4), (V{0, 0, 0, 0}));
  // Axis 1 squeezes the height.
  DrawFlipBlt(&dst, 0, 0, 4, 8, &src, 0, 0, &src2, 0, 0, 4, 4, 0, 2, 1);
  EXPECT_EQ(Column(dst, 0, 0, 8), (V{0, 0, 1, 1, 1, 1, 0, 0}));
}

TEST_F(DrawRoutines, WaveDisplacesStripsAlongASine) {
  Make(src, 16, 8, 7);
  // Four columns of 4: angles 90, 180, 270 and 360 degrees give offsets 3, 0, -3, 0.
  DrawWaveBlt(&dst, 8, 10, 16, 8, 1, 3.0, 0.0, 4, &src, 0, 0, 0, 1);
  EXPECT_EQ(Column(dst, 9, 12, 2), (V{0, 7}));
  EXPECT_EQ(Column(dst, 13, 9, 2), (V{0, 7}));
  EXPECT_EQ(Column(dst, 17, 6, 2), (V{0, 7}));
  EXPECT_EQ(Column(dst, 23, 17, 2), (V{7, 0}));
  // Rows: a last strip narrower than the others, and nothing for an empty picture.
  dst.Pixels()->Fill(0);
  DrawWaveBlt(&dst, 8, 0, 16, 6, 1, 2.0, 0.0, 4, &src, 0, 0, 0, 0);
  // Strip 0 (rows 0-3) at 240 degrees: -1.7, cut to -1; strip 1 (rows 4-5) at 480: +1.
  EXPECT_EQ(Row(dst, 1, 6, 3), (V{0, 7, 7}));
  EXPECT_EQ(Row(dst, 5, 8, 3), (V{0, 7, 7}));
  EXPECT_EQ(Row(dst, 6, 8, 3), (V{0, 0, 0}));
  dst.Pixels()->Fill(0);
  DrawWaveBlt(&dst, 8, 0, 0, 6, 1, 2.0, 0.0, 4, &src, 0, 0, 0, 0);
  DrawWaveBlt(&dst, 8, 0, 16, 6, 1, 2.0, 0.0, 0, &src, 0, 0, 0, 0);
  EXPECT_EQ(Row(dst, 1, 6, 6), (V{0, 0, 0, 0, 0, 0}));
}

TEST_F(DrawRoutines, QuadrantsMoveApart) {
  Make(src, 4, 4, 0);
  FillRect(src, 0, 0, 2, 2, 1);
  FillRect(src, 2, 0, 2, 2, 2);
  FillRect(src, 0, 2, 2, 2, 3);
  FillRect(src, 2, 2, 2, 2, 4);
  DrawQuadSplitBlt(&dst, 10, 10, 4, 4, &src, 0, 0, 1, 0);
  EXPECT_EQ(Row(dst, 9, 9, 6), (V{1, 1, 0, 0, 2, 2}));
  EXPECT_EQ(Row(dst, 11, 9, 6), (V{0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Row(dst, 13, 9, 6), (V{3, 3, 0, 0, 4, 4}));
}

TEST(Palettes, BlendTowardAColour) {
  PALETTEENTRY source[256], out[256];
  for (int i = 0; i < 256; ++i) source[i] = PALETTEENTRY{200, 100, 0, 0};
  struct Case {
    int level;
    PALETTEENTRY expected;
  };
  const Case cases[] = {
      {256, {200, 100, 0, PC_RESERVED}},
      {0, {10, 20, 250, PC_RESERVED}},
      {128, {105, 60, 125, PC_RESERVED}},
      {300, {200, 100, 0, PC_RESERVED}},  // beyond the scale: the source
      {-5, {10, 20, 250, PC_RESERVED}},
  };
  for (const Case& c : cases) {
    for (PALETTEENTRY& e : out) e = PALETTEENTRY{1, 1, 1, 9};
    BlendPalette(out, 3, 4, c.level, 10, 20, 250, source);
    for (int i : {3, 4}) {
      EXPECT_EQ(out[i].peRed, c.expected.peRed) << c.level;
      EXPECT_EQ(out[i].peGreen, c.expected.peGreen) << c.level;
      EXPECT_EQ(out[i].peBlue, c.expected.peBlue) << c.level;
      EXPECT_EQ(out[i].peFlags, c.expected.peFlags) << c.level;
    }
    EXPECT_EQ(out[2].peFlags, 9) << "entries outside the range are left";
    EXPECT_EQ(out[5].peFlags, 9);
  }
  BlendPalette(out, 250, 300, 0, 0, 0, 0, source);  // a range beyond the palette: nothing
  EXPECT_EQ(out[250].peRed, 1);
}

TEST(Palettes, RotateWithinARange) {
  PALETTEENTRY source[256], out[256];
  for (int i = 0; i < 256; ++i) source[i] = PALETTEENTRY{static_cast<std::uint8_t>(i), 0, 0, 0};
  cScopedGlobal keepBpp(g_nBpp);
  struct Case {
    int shift, direction;
    V reds;  // entries 9..14
  };
  const Case cases[] = {
      {1, 0, V{9, 13, 10, 11, 12, 14}},
      {1, 1, V{9, 11, 12, 13, 10, 14}},
      {5, 0, V{9, 13, 10, 11, 12, 14}},  // more than the range: round more than once
      {0, 0, V{9, 10, 11, 12, 13, 14}},
      {1, 2, V{9, 10, 11, 12, 13, 14}},  // unknown direction: a plain copy
  };
  for (int bpp : {8, 16, 32}) {
    g_nBpp = bpp;
    for (const Case& c : cases) {
      RotatePalette(out, 10, 13, c.shift, c.direction, source);
      V reds;
      for (int i = 9; i <= 14; ++i) reds.push_back(out[i].peRed);
      EXPECT_EQ(reds, c.reds) << bpp << " bits, shift " << c.shift;
    }
  }
  g_nBpp = 24;
  out[10].peRed = 77;
  RotatePalette(out, 10, 13, 1, 0, source);
  EXPECT_EQ(out[10].peRed, 77) << "other depths leave the output";
}

}  // namespace
