#pragma once
// Windows bitmap files (.bmp) read into plain memory: the file's own colour depth, its colour
// table and its pixels top-down. Every header value is checked against the file's size and
// the engine's limits before any pixel is decoded, so that a damaged or hostile file is
// refused with a reason and never read out of bounds.
#include <cstdint>
#include <string_view>
#include <vector>

namespace platform {

// Largest bitmap the engine accepts: per side, and in pixels (128 MB at 32 bits).
inline constexpr int kMaxBitmapSide = 16384;
inline constexpr std::int64_t kMaxBitmapPixels = std::int64_t{1} << 25;

struct sBitmapImage {
  int nWidth = 0;
  int nHeight = 0;
  int nBitCount = 0;                   // 1, 4, 8, 16, 24 or 32, as stored in the file
  std::vector<std::uint32_t> palette;  // colour table as 0x00RRGGBB, 256 entries for <= 8 bits
  std::vector<std::uint8_t> indices;   // <= 8 bits: one colour-table index per pixel, top-down
  std::vector<std::uint32_t> pixels;   // 16, 24, 32 bits: 0x00RRGGBB per pixel, top-down

  bool Indexed() const { return nBitCount <= 8; }
  // The colour of pixel (x, y) as 0x00RRGGBB; the caller keeps x and y inside the image.
  std::uint32_t Rgb(int x, int y) const {
    const std::size_t i = static_cast<std::size_t>(y) * nWidth + x;
    return Indexed() ? palette[indices[i]] : pixels[i];
  }
};

enum class eBitmapError { None, CannotOpen, NotBitmap, TooLarge, Damaged };

// Reads a bitmap file named by a program path. With sizeOnly, only the header is read and
// checked (width, height and depth are filled, no pixels).
eBitmapError LoadBitmapFile(std::string_view programPath, sBitmapImage& out, bool sizeOnly = false);
// The same from bytes in memory.
eBitmapError DecodeBitmap(const std::uint8_t* data, std::size_t size, sBitmapImage& out,
                          bool sizeOnly = false);
// A short English reason for the error log.
const char* BitmapErrorText(eBitmapError error);

}  // namespace platform
