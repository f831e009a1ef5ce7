#include <gtest/gtest.h>

#include "media/blit.h"
#include "media/device.h"
#include "media/font.h"
#include "media/surface_create.h"
#include "project/story_save.h"

namespace {

bool RowHasInk(DDSURFACEDATA& s, int x0, int x1, int y, std::uint32_t value) {
  for (int x = x0; x < x1; ++x)
    if (s.Pixels()->Get(x, y) == value) return true;
  return false;
}

bool AreaHasInk(DDSURFACEDATA& s, int x0, int x1, int y0, int y1, std::uint32_t value) {
  for (int y = y0; y < y1; ++y)
    if (RowHasInk(s, x0, x1, y, value)) return true;
  return false;
}

TEST(SlotListDrawing, NumbersDatesAndSeparatorsStopAtTheLastSlot) {
  ASSERT_TRUE(DDInit(0, nullptr, 640, 480, 8, 0, 1, 1, 60, 0, nullptr, nullptr, 0));
  DDSURFACEDATA box;
  ASSERT_TRUE(DDCreateSurface(&box, 640, 480, 1, 1, 0, 0, 0));
  box.Pixels()->Fill(7);
  g_Font[1].Init("ＭＳ ゴシック", 0, 16, 16, 16, 241, &box, 1, 240, nullptr, 0);
  ASSERT_TRUE(g_Font[1].HasFace());

  cVector<cSlotInfo> headers(kStorySlotCount);
  headers[96].m_bValid = 1;
  headers[96].m_nState = SLOT_SAVED;
  headers[96].m_SaveTime = {2026, 3, 2, 9, 7, 5, 59, 999};
  headers[97].m_nState = SLOT_UNREADABLE;

  BackBuffer.Pixels()->Fill(0);
  const int x = 100, y = 40;
  DrawSlotList(&BackBuffer, x, y, headers, 95, 10);
  // Lines of slots 96 to 99 hold their numbers; the list stops after the last slot, so the
  // fifth line has its separator and nothing more is drawn below it.
  for (int line = 0; line < 4; ++line)
    EXPECT_TRUE(AreaHasInk(BackBuffer, x + 16, x + 48, y + 16 * line, y + 16 * line + 15, 241))
        << line;
  for (int line = 0; line < 5; ++line)
    EXPECT_TRUE(RowHasInk(BackBuffer, x, x + 320, y + 16 * line + 15, 240)) << line;
  EXPECT_FALSE(RowHasInk(BackBuffer, x + 1, x + 319, y + 16 * 5 + 15, 240));
  // Only the saved slot and the unreadable one show a text after the number.
  EXPECT_FALSE(AreaHasInk(BackBuffer, x + 64, x + 319, y, y + 15, 241));
  EXPECT_TRUE(AreaHasInk(BackBuffer, x + 64, x + 319, y + 16, y + 31, 241));
  EXPECT_TRUE(AreaHasInk(BackBuffer, x + 64, x + 319, y + 32, y + 47, 241));
  EXPECT_FALSE(AreaHasInk(BackBuffer, x + 64, x + 319, y + 48, y + 63, 241));

  g_Font[1].Release();
  DDReleaseSurface(&box);
  DDRelease();
}

}  // namespace
