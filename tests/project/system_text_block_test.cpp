#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "media/blit.h"
#include "media/device.h"
#include "media/font.h"
#include "media/palette.h"
#include "media/surface_create.h"
#include "project/system_data.h"
#include "tests/support/scoped_value.h"

namespace {

using Points = std::set<std::pair<int, int>>;

Points Ink(DDSURFACEDATA& s, std::uint32_t value) {
  Points p;
  for (int y = 0; y < s.nHeight; ++y)
    for (int x = 0; x < s.nWidth; ++x)
      if (s.Pixels()->Get(x, y) == value) p.insert({x, y});
  return p;
}

TEST(SystemTextBlock, DrawnAsOneFramedBoxWithLiteralTexts) {
  ASSERT_TRUE(DDInit(0, nullptr, 640, 480, 8, 0, 1, 1, 60, 0, nullptr, nullptr, 0));
  DDSURFACEDATA box, reference;
  ASSERT_TRUE(DDCreateSurface(&box, 640, 480, 1, 1, 0, 0, 0));
  ASSERT_TRUE(DDCreateSurface(&reference, 640, 480, 1, 1, 0, 0, 0));
  box.Pixels()->Fill(7);
  g_Font[1].Init("ＭＳ ゴシック", 0, 16, 16, 16, 241, &box, 1, 240, nullptr, 0);
  ASSERT_TRUE(g_Font[1].HasFace());
  cScopedGlobal keepSystem(g_SystemData);
  g_SystemData.SetDefault();
  g_SystemData.m_Texts[5] = "100%d";

  BackBuffer.Pixels()->Fill(0);
  DrawSysTextBlock(100, 50, 4, 2, 1);
  // (widest 7 + the cursor column) x 16 wide, two lines high, framed.
  EXPECT_EQ(BackBuffer.Pixels()->Get(100 + 127, 50 + 31), 7u);
  EXPECT_EQ(BackBuffer.Pixels()->Get(100 + 128, 50 + 31), 240u);
  EXPECT_EQ(BackBuffer.Pixels()->Get(100 + 127, 50 + 32), 240u);
  // The '%' is drawn as it stands.
  reference.Pixels()->Fill(0);
  g_Font[1].Draw(&reference, 100, 50, " トータルスコア\n 100%d\n");
  EXPECT_FALSE(Ink(reference, 241).empty());
  EXPECT_EQ(Ink(BackBuffer, 241), Ink(reference, 241));

  BackBuffer.Pixels()->Fill(0);
  DrawSysTextBlock(100, 50, 4, 0, 1);
  EXPECT_TRUE(Ink(BackBuffer, 7).empty()) << "no texts, no box";

  g_Font[1].Release();
  DDReleaseSurface(&box);
  DDReleaseSurface(&reference);
  DDRelease();
}

}  // namespace
