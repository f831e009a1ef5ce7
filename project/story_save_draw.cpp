// The drawing of the story-slot list, apart from the save records so that they need no fonts.
#include "media/blit.h"
#include "media/font.h"
#include "project/story_save.h"

namespace {
// Palette number of the separator lines between the slots.
constexpr std::uint32_t kSeparatorColour = 240;
}  // namespace

void DrawSlotDate(const cSlotInfo& header, DDSURFACEDATA* surface, int x, int y) {
  const std::string text = SlotDateText(header);
  if (text.empty()) return;
  g_Font[1].Draw(surface, x, y, text.c_str());
}

void DrawSlotList(DDSURFACEDATA* surface, int x, int y, const cVector<cSlotInfo>& headers,
                  int first, int rows) {
  if (rows <= 0) return;
  g_Font[1].DrawBox(surface, x, y, kSlotListWidth, rows * kSlotLineHeight);
  for (int i = 0; i < rows; ++i) {
    const int lineY = y + kSlotLineHeight * i;
    if (i != rows - 1) DDBoxFill(surface, x, lineY + kSlotLineHeight - 1, kSlotListWidth, 1, kSeparatorColour);
    const std::int64_t slot = static_cast<std::int64_t>(first) + i;
    if (slot >= static_cast<std::int64_t>(headers.size())) break;
    if (slot < 0) continue;
    g_Font[1].DrawF(surface, x + 16, lineY, "%d", static_cast<int>(slot) + 1);
    DrawSlotDate(headers[slot], surface, x + 64, lineY);
  }
}
