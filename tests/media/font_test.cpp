#include "media/font.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <utility>

#include "media/present.h"
#include "platform/video.h"
#include "tests/media/screen_fixture.h"

namespace {

using Points = std::set<std::pair<int, int>>;

constexpr int kInk = 241;

class Fonts : public cScreenTest {
 protected:
  void Start(int d3d, int bpp) {
    Init(d3d, bpp, 640, 480);
    g_WorkPalette[kInk] = PALETTEENTRY{255, 255, 0, 0};
    g_Palette[kInk] = g_WorkPalette[kInk];
    g_Palette[240] = PALETTEENTRY{0, 0, 255, 0};
  }
  void TearDown() override {
    font.Release();
    cScreenTest::TearDown();
  }
  void MakeFont(cFont& f, int cell, int fast, DDSURFACEDATA* box = nullptr,
                DDSURFACEDATA* icons = nullptr) {
    f.Init("ＭＳ ゴシック", 0, 16, cell, 16, kInk, box, 1, 240, icons, fast);
    ASSERT_TRUE(f.HasFace());
  }
  // The positions of the pixels that are not background (0 or the cleared value).
  static Points Ink(DDSURFACEDATA& s, std::uint32_t background = 0) {
    Points p;
    for (int y = 0; y < s.nHeight; ++y)
      for (int x = 0; x < s.nWidth; ++x)
        if (s.Pixels()->Get(x, y) != background) p.insert({x, y});
    return p;
  }
  // What text drawn alone at (x, y) inks on a cleared surface.
  Points Alone(cFont& f, int x, int y, const char* text) {
    DDSURFACEDATA s;
    Make(s, 640, 480, 0);
    f.Draw(&s, x, y, text);
    return Ink(s);
  }
  static Points Union(std::initializer_list<Points> parts) {
    Points all;
    for (const Points& p : parts) all.insert(p.begin(), p.end());
    return all;
  }
  cFont font;
  DDSURFACEDATA target;
};

TEST_F(Fonts, FixedCellsPutEachCharacterInItsCell) {
  Start(0, 8);
  MakeFont(font, 16, 0);
  Make(target, 640, 480, 0);
  font.Draw(&target, 100, 50, "Aあ\nｱ漢");
  const Points a = Alone(font, 100, 50, "A");
  const Points hiragana = Alone(font, 116, 50, "あ");
  const Points kana = Alone(font, 100, 66, "ｱ");
  const Points kanji = Alone(font, 116, 66, "漢");
  ASSERT_FALSE(a.empty() || hiragana.empty() || kana.empty() || kanji.empty());
  EXPECT_EQ(Ink(target), Union({a, hiragana, kana, kanji}));
  // A single byte sits an eighth of a cell right and a pixel up; a double byte at the cell.
  for (auto [x, y] : a) {
    EXPECT_GE(x, 102);
    EXPECT_LT(x, 116);
    EXPECT_GE(y, 49);
    EXPECT_LT(y, 66);
  }
  for (auto [x, y] : hiragana) {
    EXPECT_GE(x, 116);
    EXPECT_LT(x, 132);
    EXPECT_GE(y, 50);
    EXPECT_LT(y, 66);
  }
  // In 8-bit mode the ink is the colour's palette index.
  for (auto [x, y] : Ink(target)) ASSERT_EQ(At(target, x, y), std::uint32_t(kInk));
  // Spaces advance, the full-width space too; text off the surface is cut.
  EXPECT_EQ(Alone(font, 100, 50, "  A　あ"),
            Union({Alone(font, 132, 50, "A"), Alone(font, 164, 50, "あ")}));
  Alone(font, 630, 470, "漢字漢字");
  Alone(font, -20, -8, "漢字");
}

TEST_F(Fonts, MeasuredExtents) {
  Start(0, 8);
  MakeFont(font, 16, 0);
  struct Case {
    const char* text;
    int w, h;
  };
  const Case cases[] = {
      {"ab\ncd", 32, 32}, {"あいう", 48, 16}, {"aあ\nb", 32, 32}, {"", 0, 0}, {"x\n", 16, 16},
  };
  for (const Case& c : cases) {
    int w = -1, h = -1;
    font.MeasureText(&w, &h, c.text);
    EXPECT_EQ(w, c.w) << c.text;
    EXPECT_EQ(h, c.h) << c.text;
  }
  // A long line is measured whole.
  std::string longLine(1000, 'x');
  int w = 0, h = 0;
  font.MeasureText(&w, &h, longLine.c_str());
  EXPECT_EQ(w, 16000);

  cFont proportional;
  MakeFont(proportional, 0, 0);
  int one = 0, two = 0;
  proportional.GetExtent(&one, &h, "W");
  proportional.GetExtent(&two, &h, "i\nWW");
  EXPECT_EQ(two, 2 * one);
  EXPECT_EQ(h, 32);
  // Proportional text: each line whole, the next a pitch lower.
  Make(target, 640, 480, 0);
  proportional.Draw(&target, 10, 10, "iW\nWi");
  EXPECT_EQ(Ink(target),
            Union({Alone(proportional, 10, 10, "iW"), Alone(proportional, 10, 26, "Wi")}));
}

TEST_F(Fonts, GlyphCachesDrawWhatDirectDrawingDraws) {
  struct Mode {
    int d3d, bpp;
  };
  for (Mode m : {Mode{0, 8}, Mode{0, 16}, Mode{1, 32}, Mode{1, 16}}) {
    SCOPED_TRACE(std::to_string(m.d3d) + "/" + std::to_string(m.bpp));
    Start(m.d3d, m.bpp);
    {
      cFont direct, cached;
      MakeFont(direct, 16, 0);
      MakeFont(cached, 16, 1);
      ASSERT_TRUE(cached.m_lpFastFont_Half && cached.m_lpFastFont_FullAdd);
      cFastFont& full = *cached.m_lpFastFont_FullAdd;
      const int preset = full.m_nCount;
      EXPECT_EQ(preset, 256) << "the common characters";
      EXPECT_GE(full.Find("０"), 0);
      EXPECT_EQ(full.Find("ド"), -1) << "the list holds ト twice and not ド";

      const char* text = "Score:12 ｱ\nあ漢　字ド";
      DDSURFACEDATA a, b;
      Make(a, 640, 480, 0);
      Make(b, 640, 480, 0);
      const std::uint32_t cleared = At(a, 0, 0);
      direct.Draw(&a, 40, 30, text);
      cached.Draw(&b, 40, 30, text);
      const Points ink = Ink(a, cleared);
      EXPECT_GT(ink.size(), 100u);
      EXPECT_EQ(Ink(b, cleared), ink);
      // New characters took the next cells; the full-width space is never cached.
      EXPECT_EQ(full.m_nCount, preset + 3);
      EXPECT_EQ(full.Find("漢"), preset);
      EXPECT_EQ(full.Find("　"), -1);
      cached.Draw(&b, 40, 30, text);
      EXPECT_EQ(full.m_nCount, preset + 3) << "drawn again from the cache";
    }
    DDRelease();
  }
}

TEST_F(Fonts, TextBeyondAFullCacheIsStillDrawnWhereItBelongs) {
  Start(0, 8);
  MakeFont(font, 16, 1);
  cFastFont& full = *font.m_lpFastFont_FullAdd;
  const char filler[2] = {'\x88', '\x9F'};
  while (full.AddChar(filler)) {
  }
  EXPECT_EQ(full.m_nCount, full.m_nCapacity);
  Make(target, 640, 480, 0);
  font.Draw(&target, 200, 100, "A漢");
  cFont direct;
  MakeFont(direct, 16, 0);
  EXPECT_EQ(Ink(target), Union({Alone(direct, 200, 100, "A"), Alone(direct, 216, 100, "漢")}));
  EXPECT_EQ(full.Find("漢"), -1);
}

TEST_F(Fonts, IconLettersAndTheirSuppression) {
  Start(0, 8);
  DDSURFACEDATA icons;
  Make(icons, 26 * 16, 16, 0);
  for (int k = 0; k < 26; ++k) FillRect(icons, k * 16, 0, 16, 16, 100 + k);
  MakeFont(font, 16, 0, nullptr, &icons);
  EXPECT_TRUE(font.m_bIcons);
  struct Case {
    const char* text;
    int noIcons;
    std::uint32_t secondCell;  // at the centre of cell 1
  };
  const Case cases[] = {{"Xa", 0, 100}, {"Xx", 0, 123}, {"X\nz", 0, 0}};
  for (const Case& c : cases) {
    Make(target, 640, 480, 0);
    font.Draw(&target, 0, 0, c.text, c.noIcons);
    EXPECT_EQ(At(target, 24, 8), c.secondCell) << c.text;
    EXPECT_EQ(At(target, 8, 24), c.text[2] == 'z' ? 125u : 0u) << c.text;
  }
  // Suppressed: the letter is drawn as a letter and no icon covers it.
  Make(target, 640, 480, 0);
  font.Draw(&target, 0, 0, "Xa", 1);
  const Points ink = Ink(target);
  EXPECT_EQ(ink, Union({Alone(font, 0, 0, "X"), [&] {
                          DDSURFACEDATA s;
                          Make(s, 640, 480, 0);
                          font.Draw(&s, 16, 0, "a", 1);
                          return Ink(s);
                        }()}));
  for (auto [x, y] : ink) EXPECT_EQ(At(target, x, y), std::uint32_t(kInk));
}

TEST_F(Fonts, BoxesFramesAndFormattedText) {
  Start(0, 8);
  DDSURFACEDATA box;
  Make(box, 640, 480, 7);
  MakeFont(font, 16, 0, &box);
  Make(target, 640, 480, 0);
  font.DrawBox(&target, 10000, 100, 200, 20);
  EXPECT_EQ(At(target, 220, 100), 7u);
  EXPECT_EQ(At(target, 219, 100), 240u) << "the frame";
  EXPECT_EQ(At(target, 218, 100), 0u);
  EXPECT_EQ(At(target, 419, 119), 7u);
  EXPECT_EQ(At(target, 420, 119), 240u);

  // A box fitted to its text and margin.
  Make(target, 640, 480, 0);
  font.DrawWidth(&target, 10, 10, 0, 0, "ab", 4);
  EXPECT_EQ(At(target, 45, 25), 7u);
  EXPECT_EQ(At(target, 46, 25), 240u);
  EXPECT_EQ(At(target, 45, 26), 240u);

  // Formatting, and a formatted text longer than the drawing buffer is cut safely.
  Make(target, 640, 480, 0);
  font.DrawF(&target, 0, 0, "%d%s", 42, "あ");
  EXPECT_EQ(Ink(target), Alone(font, 0, 0, "42あ"));
  const std::string longText(400, 'W');
  font.DrawF(&target, 0, 0, "%s", longText.c_str());
  Make(target, 640, 480, 0);
  font.DrawBoxF(&target, 0, 0, 64, 16, "%d%%", 5);
  font.Draw(&target, 0, 0, "5%", 0);
}

TEST_F(Fonts, CentredCharactersAndDigitStrips) {
  Start(0, 8);
  MakeFont(font, 32, 0);
  font.m_bCentre = 1;
  Make(target, 640, 480, 0);
  font.Draw(&target, 0, 0, "l");
  int left = 640, right = -1;
  for (auto [x, y] : Ink(target)) {
    left = std::min(left, x);
    right = std::max(right, x);
  }
  EXPECT_NEAR((left + right) / 2.0, 16.0, 3.0) << "a narrow letter in the middle of its cell";

  cFont digits;
  MakeFont(digits, 16, 0);
  sFontDesc desc{};
  desc.nHeight = 16;
  desc.nLinePitch = 16;
  cBmpInfo info;
  info.bColorKey = 1;
  DDSURFACEDATA strip;
  ASSERT_TRUE(CreateFontDigitSurfaces(&strip, &info, 1, &digits, &desc));
  EXPECT_EQ(strip.nWidth, 160);
  EXPECT_EQ(strip.nHeight, 16);
  DDSURFACEDATA seven;
  Make(seven, 160, 16, 0);
  digits.Draw(&seven, 112, 0, "7");
  Points inStrip;
  for (auto [x, y] : Ink(strip, At(strip, 0, 0)))
    if (x >= 112 && x < 128) inStrip.insert({x, y});
  EXPECT_EQ(inStrip, Ink(seven));
  DDReleaseSurface(&strip);
}

TEST_F(Fonts, CachesAreDrawnAgainAfterADeviceReset) {
  Start(1, 32);
  MakeFont(font, 16, 1);
  cFont direct;
  MakeFont(direct, 16, 0);
  DDSimulateDeviceLoss();
  ASSERT_EQ(DDRestoreSurface(), 1);
  Make(target, 640, 480, 0);
  font.Draw(&target, 5, 5, "Aあ");
  EXPECT_EQ(Ink(target), Union({Alone(direct, 5, 5, "A"), Alone(direct, 21, 5, "あ")}));
}

TEST_F(Fonts, NoTypefaceMeansNoTextButNoFailure) {
  Start(0, 8);
  sFontDesc desc{};
  desc.nHeight = 0;  // no font has a cell of no height
  desc.nCellWidth = 16;
  desc.nLinePitch = 16;
  EXPECT_FALSE(CreateFonts(&font, &desc, 1));
  Make(target, 640, 480, 0);
  font.Draw(&target, 0, 0, "Aあ");
  EXPECT_TRUE(Ink(target).empty());
}

// A real window: the frame shown on the display carries the text's glyphs where the text
// puts them.
TEST(FontOnScreen, JapaneseTextReachesTheWindow) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
  platform::CloseVideo();
  setenv("SDL_VIDEODRIVER", "x11", 1);
  setenv("SDL_RENDER_DRIVER", "software", 1);
  ASSERT_TRUE(DDInit(1, nullptr, 640, 480, 32, 0, 1, 1, 60, 0, nullptr, nullptr, 0));
  DDSetTransmit(0xFF, 0, 0xFF);
  g_WorkPalette[kInk] = PALETTEENTRY{255, 255, 255, 0};
  {
    cFont font;
    font.Init("ＭＳ ゴシック", 0, 16, 16, 16, kInk, nullptr, 0, 0, nullptr, 1);
    ASSERT_TRUE(font.HasFace());
    BackBuffer.Pixels()->Fill(0xFF000000);
    font.Draw(&BackBuffer, 200, 220, "ゲーム開始 Start");
    std::vector<std::uint32_t> shown;
    int w = 0, h = 0;
    for (int i = 0; i < 3; ++i) {
      DDHandOverFrame();
      platform::PumpVideoEvents();
      platform::PresentPendingFrame();
    }
    ASSERT_TRUE(platform::ReadWindowPixels(shown, w, h));
    ASSERT_EQ(w, 640);
    ASSERT_EQ(h, 480);
    int glyphPixels = 0;
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x) {
        const bool ink = (BackBuffer.Pixels()->Get(x, y) & 0xFFFFFF) == 0xFFFFFF;
        ASSERT_EQ(shown[y * 640 + x] == 0xFFFFFFu, ink) << x << "," << y;
        if (!ink) continue;
        ++glyphPixels;
        // 16 cells from x 200, one line from y 220 (single bytes a pixel higher).
        EXPECT_GE(x, 200);
        EXPECT_LT(x, 200 + 16 * 16);
        EXPECT_GE(y, 219);
        EXPECT_LT(y, 236);
      }
    EXPECT_GT(glyphPixels, 200);
    font.Release();
  }
  DDRelease();
}

}  // namespace
