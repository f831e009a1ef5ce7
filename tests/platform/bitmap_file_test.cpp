#include "platform/bitmap_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace platform {
namespace {

// A 4 x 1 bitmap of 1, 4 or 8 bits whose colour table holds only the given colours
// (0x00RRGGBB) while its pixels may index past them.
std::vector<std::uint8_t> ShortTableBmp(int bits, const std::vector<std::uint32_t>& table,
                                        const std::vector<int>& pixels) {
  std::vector<std::uint8_t> b;
  auto u32 = [&b](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  auto u16 = [&b](int v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
  };
  const std::uint32_t off = 14 + 40 + static_cast<std::uint32_t>(table.size()) * 4;
  b.push_back('B');
  b.push_back('M');
  u32(off + 4);
  u32(0);
  u32(off);
  u32(40);
  u32(4);
  u32(1);
  u16(1);
  u16(bits);
  u32(0);
  u32(4);
  u32(0);
  u32(0);
  u32(static_cast<std::uint32_t>(table.size()));
  u32(0);
  for (std::uint32_t c : table) u32(c);
  std::uint8_t row[4] = {};
  for (int x = 0; x < 4; ++x) {
    const int p = pixels[x];
    if (bits == 8) row[x] = static_cast<std::uint8_t>(p);
    if (bits == 4) row[x / 2] |= static_cast<std::uint8_t>(p << (x % 2 ? 0 : 4));
    if (bits == 1) row[0] |= static_cast<std::uint8_t>(p << (7 - x));
  }
  b.insert(b.end(), row, row + 4);
  return b;
}

// Pixels past a short colour table keep their index and take black, at every indexed depth.
TEST(BitmapFile, PixelsPastAShortColourTableAreBlack) {
  struct Case {
    int bits;
    std::vector<int> pixels;
  };
  for (const Case& c : {Case{8, {0, 1, 7, 255}}, Case{4, {1, 0, 9, 15}}, Case{1, {0, 1, 1, 0}}}) {
    SCOPED_TRACE(c.bits);
    const std::vector<std::uint32_t> table = c.bits == 1
                                                 ? std::vector<std::uint32_t>{0x102030}
                                                 : std::vector<std::uint32_t>{0x102030, 0xA0B0C0};
    const std::vector<std::uint8_t> file = ShortTableBmp(c.bits, table, c.pixels);
    sBitmapImage image;
    ASSERT_EQ(DecodeBitmap(file.data(), file.size(), image), eBitmapError::None);
    ASSERT_EQ(image.nWidth, 4);
    for (int x = 0; x < 4; ++x) {
      const int p = c.pixels[x];
      EXPECT_EQ(image.indices[x], p) << x;
      EXPECT_EQ(image.Rgb(x, 0), p < static_cast<int>(table.size()) ? table[p] : 0u) << x;
    }
  }
  // Still refused: a table that runs past the end of the file.
  std::vector<std::uint8_t> cut = ShortTableBmp(8, {0x102030, 0xA0B0C0}, {0, 1, 7, 255});
  cut.resize(14 + 40 + 2);
  sBitmapImage image;
  EXPECT_NE(DecodeBitmap(cut.data(), cut.size(), image), eBitmapError::None);
}

}  // namespace
}  // namespace platform
