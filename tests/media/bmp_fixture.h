#pragma once
// Small bitmap files written by the tests: any depth, colours given top-down as 0x00RRGGBB.
#include <cstdint>
#include <string>
#include <vector>

#include "../support/temp_folder.h"

// For depths up to 8 the pixels are colour-table indices, otherwise colours.
inline std::vector<std::uint8_t> MakeBmp(int width, int height, int bits,
                                         const std::vector<std::uint32_t>& pixels,
                                         const std::vector<std::uint32_t>& table = {}) {
  const int rowBytes = ((width * bits + 31) / 32) * 4;
  const int colours = bits <= 8 ? (1 << bits) : 0;
  cBytes b;
  const int off = 14 + 40 + colours * 4;
  b.U8('B').U8('M').I32(off + rowBytes * height).I32(0).I32(off);
  b.I32(40)
      .I32(width)
      .I32(height)
      .I16(1)
      .I16(static_cast<std::int16_t>(bits))
      .I32(0)
      .I32(rowBytes * height)
      .I32(0)
      .I32(0)
      .I32(colours)
      .I32(0);
  for (int i = 0; i < colours; ++i)
    b.I32(static_cast<std::int32_t>(i < static_cast<int>(table.size()) ? table[i] : 0));
  for (int y = height - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(rowBytes, 0);
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = pixels[y * width + x];
      switch (bits) {
        case 1:
          row[x / 8] |= static_cast<std::uint8_t>((p & 1) << (7 - x % 8));
          break;
        case 4:
          row[x / 2] |= static_cast<std::uint8_t>((p & 15) << (x % 2 ? 0 : 4));
          break;
        case 8:
          row[x] = static_cast<std::uint8_t>(p);
          break;
        case 16: {
          const std::uint16_t v = static_cast<std::uint16_t>(((p >> 19 & 31) << 10) |
                                                             ((p >> 11 & 31) << 5) | (p >> 3 & 31));
          row[x * 2] = v & 0xFF;
          row[x * 2 + 1] = v >> 8;
          break;
        }
        default:
          for (int c = 0; c < bits / 8; ++c)
            row[x * (bits / 8) + c] = c < 3 ? (p >> (8 * c)) & 0xFF : 0;
      }
    }
    b.Raw(row);
  }
  return b.data;
}
