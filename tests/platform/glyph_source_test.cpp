#include "platform/glyph_source.h"

#include <gtest/gtest.h>

#include "platform/dialog_host.h"
#include "tests/support/fresh_process.h"

namespace {

using platform::OpenGlyphFace;

// Test literals are cp932 bytes, as the program's own texts are.
std::shared_ptr<platform::cGlyphFace> Open(const char* name, int height, int width = 0) {
  return OpenGlyphFace(name, height, width);
}

int SetPixels(const platform::sGlyphMask& mask) {
  int n = 0;
  for (std::uint8_t b : mask.bits) n += b;
  return n;
}

TEST(GlyphSource, WindowsFacesMapToTheInstalledFaces) {
  const auto gothic = Open("ＭＳ ゴシック", 16);
  const auto pgothic = Open("ＭＳ Ｐゴシック", 16);
  const auto mincho = Open("ＭＳ 明朝", 16);
  ASSERT_TRUE(gothic && pgothic && mincho);
  EXPECT_NE(GlyphFaceFile(*gothic), GlyphFaceFile(*pgothic));
  EXPECT_NE(GlyphFaceFile(*gothic), GlyphFaceFile(*mincho));
  // A face nobody has takes the proportional Gothic; an installed one is found by its name.
  const auto unknown = Open("どこにもない書体", 16);
  ASSERT_TRUE(unknown);
  EXPECT_EQ(GlyphFaceFile(*unknown), GlyphFaceFile(*pgothic));
  const auto byName = Open("IPAMincho", 16);
  ASSERT_TRUE(byName);
  EXPECT_EQ(GlyphFaceFile(*byName), GlyphFaceFile(*mincho));
  // Sizes no font can have.
  EXPECT_FALSE(Open("ＭＳ ゴシック", 0));
  EXPECT_FALSE(Open("ＭＳ ゴシック", -3));
  EXPECT_FALSE(Open("ＭＳ ゴシック", 16, -1));
}

TEST(GlyphSource, CellHeightSizingAndOneBitGlyphs) {
  const auto face = Open("ＭＳ ゴシック", 16);
  ASSERT_TRUE(face);
  EXPECT_GT(GlyphFaceAscent(*face), 8);
  EXPECT_LT(GlyphFaceAscent(*face), 16);
  int wide = 0, narrow = 0, h = 0;
  platform::MeasureGlyphText(*face, "あ", &wide, &h);
  EXPECT_EQ(h, 16);
  platform::MeasureGlyphText(*face, "A", &narrow, nullptr);
  // The fixed-pitch Gothic: a full-width character is two half-width ones (to the rounding of
  // whole pixels), within the cell.
  EXPECT_NEAR(wide, 2 * narrow, 1);
  EXPECT_LE(wide, 16);
  EXPECT_GE(wide, 12);
  // Half-width katakana are single bytes of cp932.
  int kana = 0;
  platform::MeasureGlyphText(*face, "\xB1", &kana, nullptr);
  EXPECT_EQ(kana, narrow);

  platform::sGlyphMask mask;
  platform::RenderGlyphText(*face, "あA", mask);
  EXPECT_EQ(mask.nWidth, wide + narrow);
  EXPECT_EQ(mask.nHeight, 16);
  for (std::uint8_t b : mask.bits) EXPECT_LE(b, 1) << "no grey levels";
  platform::sGlyphMask left, right;
  platform::RenderGlyphText(*face, "あ", left);
  platform::RenderGlyphText(*face, "A", right);
  EXPECT_GT(SetPixels(left), 20);
  EXPECT_GT(SetPixels(right), 10);
  EXPECT_EQ(SetPixels(mask), SetPixels(left) + SetPixels(right));
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < narrow; ++x) EXPECT_EQ(mask.At(wide + x, y), right.At(x, y));

  // A character width makes the face narrower; bytes that are no character draw nothing.
  const auto condensed = Open("ＭＳ ゴシック", 16, 4);
  ASSERT_TRUE(condensed);
  int condensedWidth = 0;
  platform::MeasureGlyphText(*condensed, "A", &condensedWidth, nullptr);
  EXPECT_LT(condensedWidth, narrow);
  platform::RenderGlyphText(*face, "\x81", mask);
  EXPECT_EQ(mask.nWidth, 0);
  EXPECT_TRUE(mask.bits.empty());
}

// A dialog of the toolkit that shows its text for a few moments and ends.
platform::cHostDialog* g_pShown = nullptr;
int g_nShownTicks = 0;
void EndAfterAWhile() {
  if (g_pShown && ++g_nShownTicks == 50) g_pShown->End(1);
}

TEST(GlyphSource, TheProgramEndsCleanlyAfterADialogShowedText) {
  if (!platform::StartDialogToolkit()) GTEST_SKIP() << "no display";
  // The toolkit's text layout and the program's faces both use the font configuration; the
  // program must still end normally.
  InFreshProcess([] {
    ASSERT_TRUE(platform::StartDialogToolkit());
    {
      platform::cHostDialog dialog("text", 200, 60);
      dialog.AddLabel(1, "some text", 10, 10, 150, 20);
      g_pShown = &dialog;
      platform::SetDialogIdleService(&EndAfterAWhile);
      EXPECT_EQ(dialog.RunModal({}), 1);
      platform::SetDialogIdleService(nullptr);
      g_pShown = nullptr;
    }
    ASSERT_TRUE(Open("IPAGothic", 16));
  });
}

}  // namespace
