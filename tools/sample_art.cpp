// The sample's pictures: 8-bit bitmaps sharing the game palette, drawn from rectangles,
// discs and a small built-in letter set, so that each picture shows what it is for.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "project/system_bitmaps.h"
#include "tools/sample_parts.h"

namespace sample {
namespace {

// ---- the palette ----------------------------------------------------------------------

struct sRgb {
  std::uint8_t r, g, b;
};

// The cube's blue stops end below full blue, so that no colour of the game turns into the
// transparent colour when a screen of 16 bits drops the low bits.
constexpr int kCubeR = 6, kCubeG = 8, kCubeB = 4;
constexpr std::uint8_t kBlueStops[kCubeB] = {0, 85, 170, 238};

std::array<sRgb, 256> MakePalette() {
  std::array<sRgb, 256> p{};
  const sRgb basics[16] = {{255, 0, 255},  {0, 0, 0},       {255, 255, 255}, {224, 32, 32},
                           {32, 192, 32},  {32, 64, 224},   {248, 224, 32},  {32, 224, 224},
                           {248, 144, 32}, {136, 80, 32},   {16, 112, 32},   {128, 128, 128},
                           {64, 64, 64},   {192, 192, 192}, {120, 176, 248}, {16, 24, 96}};
  for (int i = 0; i < 16; ++i) p[i] = basics[i];
  for (int r = 0; r < kCubeR; ++r)
    for (int g = 0; g < kCubeG; ++g)
      for (int b = 0; b < kCubeB; ++b)
        p[CubeColour(r, g, b)] = {static_cast<std::uint8_t>(r * 51),
                                  static_cast<std::uint8_t>(g * 255 / 7), kBlueStops[b]};
  // 208 to 239: the menu highlight, which the palette animation turns round.
  for (int i = 0; i < 32; ++i) {
    const int level = i < 16 ? i : 31 - i;
    p[208 + i] = {255, static_cast<std::uint8_t>(128 + level * 8),
                  static_cast<std::uint8_t>(level * 12)};
  }
  p[COL_FRAME] = {0, 0, 0};
  p[COL_TEXT] = {255, 255, 255};
  for (int i = 242; i < 256; ++i) {
    const auto v = static_cast<std::uint8_t>((i - 241) * 17);
    p[i] = {v, v, v};
  }
  return p;
}

// ---- drawing --------------------------------------------------------------------------

// 5x7 letters, one byte per row, bit 4 the leftmost column.
struct sGlyph {
  char c;
  std::uint8_t rows[7];
};
constexpr sGlyph kGlyphs[] = {
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
    {'D', {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
    {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}},
    {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
    {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}},
    {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
    {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}},
    {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}},
    {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'!', {0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x04}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
    {'?', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x00, 0x04}},
    {'+', {0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00}},
};

const sGlyph* FindGlyph(char c) {
  for (const sGlyph& g : kGlyphs)
    if (g.c == c) return &g;
  return nullptr;
}

class cCanvas {
 public:
  cCanvas(int width, int height, std::uint8_t colour = COL_CLEAR)
      : m_nWidth(width),
        m_nHeight(height),
        m_Pixels(static_cast<std::size_t>(width) * height, colour) {}

  int Width() const { return m_nWidth; }
  int Height() const { return m_nHeight; }
  std::uint8_t At(int x, int y) const { return m_Pixels[Index(x, y)]; }

  void Put(int x, int y, std::uint8_t c) {
    if (x >= 0 && y >= 0 && x < m_nWidth && y < m_nHeight) m_Pixels[Index(x, y)] = c;
  }
  void Rect(int x, int y, int w, int h, std::uint8_t c) {
    for (int j = y; j < y + h; ++j)
      for (int i = x; i < x + w; ++i) Put(i, j, c);
  }
  void Frame(int x, int y, int w, int h, std::uint8_t c) {
    Rect(x, y, w, 1, c);
    Rect(x, y + h - 1, w, 1, c);
    Rect(x, y, 1, h, c);
    Rect(x + w - 1, y, 1, h, c);
  }
  void Disc(int cx, int cy, int r, std::uint8_t c) {
    for (int j = -r; j <= r; ++j)
      for (int i = -r; i <= r; ++i)
        if (i * i + j * j <= r * r) Put(cx + i, cy + j, c);
  }
  // A triangle pointing up (dir 0), right (1), down (2) or left (3) inside a w x w square.
  void Arrow(int x, int y, int w, int dir, std::uint8_t c) {
    for (int j = 0; j < w; ++j)
      for (int i = 0; i < w; ++i) {
        const int along = dir == 0 ? j : dir == 1 ? w - 1 - i : dir == 2 ? w - 1 - j : i;
        const int across = dir == 0 || dir == 2 ? i : j;
        if (2 * std::abs(2 * across - (w - 1)) <= 2 * along + 1) Put(x + i, y + j, c);
      }
  }
  static int TextWidth(const std::string& text, int scale) {
    return text.empty() ? 0 : static_cast<int>(text.size()) * 6 * scale - scale;
  }
  void Text(int x, int y, const std::string& text, std::uint8_t c, int scale = 1) {
    for (char ch : text) {
      if (const sGlyph* g = FindGlyph(ch))
        for (int row = 0; row < 7; ++row)
          for (int col = 0; col < 5; ++col)
            if (g->rows[row] & (0x10 >> col))
              Rect(x + col * scale, y + row * scale, scale, scale, c);
      x += 6 * scale;
    }
  }
  // Text centred in a box, with a one-pixel shadow for reading on any ground.
  void Caption(int x, int y, int w, int h, const std::string& text, std::uint8_t c, int scale) {
    const int tx = x + (w - TextWidth(text, scale)) / 2, ty = y + (h - 7 * scale) / 2;
    Text(tx + 1, ty + 1, text, COL_BLACK, scale);
    Text(tx, ty, text, c, scale);
  }
  // Horizontal bands from the top colour to the bottom one along the cube's grey-blue axis.
  void Sky(int x, int y, int w, int h, int fromG, int toG, int r, int b) {
    for (int j = 0; j < h; ++j) {
      const int g = fromG + (toG - fromG) * j / (h > 1 ? h - 1 : 1);
      Rect(x, y + j, w, 1, CubeColour(r, g, b));
    }
  }

  // An 8-bit bitmap file with the game palette: rows bottom-up, each padded to 4 bytes.
  std::vector<std::uint8_t> Bitmap(const std::array<sRgb, 256>& palette) const {
    const int stride = (m_nWidth + 3) & ~3;
    const std::uint32_t offset = 14 + 40 + 256 * 4;
    const std::uint32_t size = offset + static_cast<std::uint32_t>(stride) * m_nHeight;
    std::vector<std::uint8_t> out;
    out.reserve(size);
    auto u16 = [&](std::uint32_t v) {
      out.push_back(static_cast<std::uint8_t>(v));
      out.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    auto u32 = [&](std::uint32_t v) {
      u16(v & 0xFFFF);
      u16(v >> 16);
    };
    out.push_back('B');
    out.push_back('M');
    u32(size);
    u32(0);
    u32(offset);
    u32(40);
    u32(static_cast<std::uint32_t>(m_nWidth));
    u32(static_cast<std::uint32_t>(m_nHeight));
    u16(1);
    u16(8);
    u32(0);  // no compression
    u32(static_cast<std::uint32_t>(stride) * m_nHeight);
    u32(2835);  // 72 dots per inch
    u32(2835);
    u32(256);
    u32(0);
    for (const sRgb& c : palette) {
      out.push_back(c.b);
      out.push_back(c.g);
      out.push_back(c.r);
      out.push_back(0);
    }
    for (int y = m_nHeight - 1; y >= 0; --y) {
      for (int x = 0; x < m_nWidth; ++x) out.push_back(At(x, y));
      for (int x = m_nWidth; x < stride; ++x) out.push_back(0);
    }
    return out;
  }

 private:
  std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * m_nWidth + x; }
  int m_nWidth, m_nHeight;
  std::vector<std::uint8_t> m_Pixels;
};

// Cells without a picture show their number, so that an author sees which index is which.
void NumberCell(cCanvas& c, int x, int y, int size, int number) {
  c.Frame(x + 1, y + 1, size - 2, size - 2, COL_DARK_GREY);
  const std::string text = std::to_string(number);
  c.Text(x + (size - cCanvas::TextWidth(text, 1)) / 2, y + (size - 7) / 2, text, COL_GREY);
}

// ---- the pictures ---------------------------------------------------------------------

cCanvas PalettePicture() {
  // Rows 0 to 7 hold the transparent colour (its pixel at 0, 0 names it); the 16 x 16 block
  // below holds every colour in order, for the screens that read the palette from pixels.
  cCanvas c(16, 24);
  for (int k = 0; k < 16; ++k)
    for (int col = 0; col < 16; ++col) c.Put(col, 8 + k, static_cast<std::uint8_t>(k * 16 + col));
  return c;
}

cCanvas DebugPicture() {
  cCanvas c(128, 32, COL_NAVY);
  c.Frame(0, 0, 128, 32, COL_YELLOW);
  c.Caption(0, 0, 128, 32, "DEBUG", COL_YELLOW, 2);
  return c;
}

void DrawBlock(cCanvas& c, int x, int y, int block) {
  switch (block) {
    case BLOCK_GROUND:
      c.Rect(x, y, 32, 32, COL_BROWN);
      c.Rect(x, y, 32, 8, COL_GREEN);
      for (int i = 0; i < 32; i += 4) c.Rect(x + i, y + 8, 2, 2, COL_DARK_GREEN);
      break;
    case BLOCK_DIRT:
      c.Rect(x, y, 32, 32, COL_BROWN);
      for (int i = 0; i < 4; ++i) c.Rect(x + 4 + i * 7, y + 6 + (i % 2) * 12, 3, 3, COL_DARK_GREY);
      break;
    case BLOCK_BRICK:
      c.Rect(x, y, 32, 32, COL_ORANGE);
      for (int row = 0; row < 4; ++row) {
        c.Rect(x, y + row * 8 + 7, 32, 1, COL_LIGHT_GREY);
        const int offset = row % 2 ? 8 : 0;
        for (int i = offset; i < 32; i += 16) c.Rect(x + i, y + row * 8, 1, 7, COL_LIGHT_GREY);
      }
      break;
    case BLOCK_STONE:
      c.Rect(x, y, 32, 32, COL_GREY);
      c.Rect(x, y, 32, 2, COL_LIGHT_GREY);
      c.Rect(x, y, 2, 32, COL_LIGHT_GREY);
      c.Rect(x, y + 30, 32, 2, COL_DARK_GREY);
      c.Rect(x + 30, y, 2, 32, COL_DARK_GREY);
      break;
    case BLOCK_SPIKES:
      for (int i = 0; i < 4; ++i) c.Arrow(x + i * 8, y + 16, 8, 0, COL_LIGHT_GREY);
      c.Rect(x, y + 24, 32, 8, COL_DARK_GREY);
      break;
    default:
      NumberCell(c, x, y, 32, block);
  }
}

// Sheets of 32 x 32 cells numbered down columns of 15.
cCanvas BlockSheet() {
  cCanvas c(64, 480);
  for (int i = 1; i < 30; ++i) DrawBlock(c, i / 15 * 32, i % 15 * 32, i);
  return c;
}

cCanvas MarkSheet() {
  cCanvas c(64, 480);
  for (int i = 1; i < 30; ++i) {
    const int x = i / 15 * 32, y = i % 15 * 32;
    if (i <= 4)
      c.Arrow(x + 8, y + 8, 16, i - 1, COL_RED);
    else
      NumberCell(c, x, y, 32, i);
  }
  return c;
}

// A character facing left, frame 0 or 1 of its walk.
void DrawChara(cCanvas& c, int x, int y, int chara, int frame) {
  const int step = frame % 2 ? 2 : 0;
  switch (chara) {
    case CHARA_HERO:
      c.Rect(x + 10, y + 4, 12, 10, COL_ORANGE);  // head
      c.Rect(x + 10, y + 2, 12, 4, COL_RED);      // cap
      c.Rect(x + 6, y + 3, 6, 3, COL_RED);        // its peak, to the left
      c.Rect(x + 12, y + 7, 2, 2, COL_BLACK);     // eye
      c.Rect(x + 9, y + 14, 14, 10, COL_BLUE);    // body
      c.Rect(x + 10 - step, y + 24, 5, 8, COL_NAVY);
      c.Rect(x + 17 + step, y + 24, 5, 8, COL_NAVY);
      break;
    case CHARA_SLIME:
      c.Disc(x + 16, y + 22 - step, 10, COL_GREEN);
      c.Rect(x + 6, y + 22, 21, 10 - step, COL_GREEN);
      c.Rect(x + 10, y + 18 - step, 3, 3, COL_BLACK);
      c.Rect(x + 17, y + 18 - step, 3, 3, COL_BLACK);
      break;
    case CHARA_BIRD:
      c.Disc(x + 16, y + 16, 8, COL_RED);
      c.Rect(x + 4, y + 15, 5, 3, COL_YELLOW);  // beak
      c.Rect(x + 11, y + 12, 2, 2, COL_BLACK);
      c.Rect(x + 14, y + (frame % 2 ? 18 : 6), 12, 5, COL_ORANGE);  // wing up or down
      break;
    default:
      break;
  }
}

// Rows are graphics (15 per sheet), columns frames. The first sheet holds the sample's
// characters; the optional sheets show their number so that a graphic is easy to place.
cCanvas CharaSheet(int sheet) {
  cCanvas c(sheet == 1 ? 128 : 64, 480);
  for (int row = 1; row < 15; ++row) {
    for (int frame = 0; frame < c.Width() / 32; ++frame) {
      if (sheet == 1 && row <= CHARA_BIRD)
        DrawChara(c, frame * 32, row * 32, row, frame);
      else
        NumberCell(c, frame * 32, row * 32, 32, (sheet - 1) * 15 + row);
    }
  }
  return c;
}

// 16 x 16 cells in columns of 30, each shot two frames wide.
cCanvas ShotSheet() {
  cCanvas c(64, 480);
  for (int col = 0; col < 2; ++col)
    for (int row = 0; row < 30; ++row) {
      const int x = col * 32, y = row * 16, shot = col * 30 + row;
      if (shot == 0) continue;
      for (int frame = 0; frame < 2; ++frame) {
        const std::uint8_t inner = shot % 2 ? COL_YELLOW : COL_CYAN;
        c.Disc(x + frame * 16 + 8, y + 8, 6 - frame, shot % 3 == 0 ? COL_RED : COL_ORANGE);
        c.Disc(x + frame * 16 + 8, y + 8, 3 - frame, inner);
      }
    }
  return c;
}

void DrawItem(cCanvas& c, int x, int y, int size, int item, int frame) {
  const int half = size / 2;
  switch (item) {
    case ITEM_COIN: {
      const int w = frame ? size / 6 : size / 3;
      c.Rect(x + half - w, y + size / 6, 2 * w, size - size / 3, COL_YELLOW);
      c.Rect(x + half - 1, y + size / 4, 2, size / 2, COL_ORANGE);
      break;
    }
    case ITEM_GOAL:
      c.Rect(x + size / 4, y + 2, 2, size - 4, COL_LIGHT_GREY);
      c.Rect(x + size / 4 + 2, y + 3 + frame, size / 2, size / 3, COL_RED);
      c.Rect(x + size / 8, y + size - 4, size / 2, 3, COL_DARK_GREY);
      break;
    case ITEM_HEART:
      c.Disc(x + half - size / 6, y + size / 3, size / 6, COL_RED);
      c.Disc(x + half + size / 6, y + size / 3, size / 6, COL_RED);
      c.Arrow(x + size / 6, y + size / 3, size - size / 3, 2, COL_RED);
      break;
    default:
      NumberCell(c, x, y, size, item);
  }
}

cCanvas ItemSheet(int size) {
  // Columns of 15 items, each item as many frames wide as its column pitch allows.
  cCanvas c(size * 4, size * 15);
  for (int i = 1; i < 30; ++i)
    for (int frame = 0; frame < 2; ++frame)
      DrawItem(c, i / 15 * size * 2 + frame * size, i % 15 * size, size, i, frame);
  return c;
}

// The ground of every box and menu screen: one navy throughout, so that a small box (its
// top-left corner) and a whole screen look the same.
cCanvas WindowPicture() { return cCanvas(640, 480, CubeColour(0, 0, 1)); }

cCanvas StatusWindowPicture() {
  cCanvas c(640, 20, COL_NAVY);
  c.Rect(0, 19, 640, 1, COL_LIGHT_GREY);
  return c;
}

cCanvas TitlePicture() {
  cCanvas c(640, 480);
  c.Sky(0, 0, 640, 400, 2, 6, 1, 3);
  for (int i = 0; i < 640; i += 32) DrawBlock(c, i, 400, BLOCK_GROUND);
  for (int j = 432; j < 480; j += 32)
    for (int i = 0; i < 640; i += 32) DrawBlock(c, i, j, BLOCK_DIRT);
  c.Caption(0, 80, 640, 80, "TARNWICK", COL_YELLOW, 8);
  c.Caption(0, 170, 640, 40, "SAMPLE GAME", COL_WHITE, 3);
  DrawChara(c, 120, 368, CHARA_HERO, 0);
  DrawChara(c, 480, 368, CHARA_SLIME, 0);
  return c;
}

cCanvas GameModePicture() {
  const char* const captions[7] = {"NEW GAME", "CONTINUE", "CHALLENGE", "FREE PLAY",
                                   "REPLAY",   "OPTIONS",  "QUIT"};
  cCanvas c(256, 32 * 7);
  for (int i = 0; i < 7; ++i) c.Caption(0, i * 32, 256, 32, captions[i], COL_WHITE, 2);
  return c;
}

cCanvas AccessoryPicture() {
  cCanvas c(128, 208);
  c.Arrow(4, 4, 24, 1, COL_YELLOW);       // menu cursor
  c.Arrow(64, 0, 16, 1, COL_YELLOW);      // small cursor
  c.Arrow(80, 0, 16, 1, COL_CYAN);        // slot cursor
  c.Text(99, 12, "OK", COL_YELLOW, 2);    // clear mark
  DrawItem(c, 0, 48, 16, ITEM_HEART, 0);  // life
  c.Arrow(16, 48, 16, 1, COL_WHITE);      // ranking pointer
  // The hero on the world map: down, up, left, right, two frames each.
  const int figures[4][2] = {{0, 64}, {64, 64}, {64, 96}, {0, 96}};
  for (const auto& f : figures)
    for (int frame = 0; frame < 2; ++frame)
      DrawChara(c, f[0] + frame * 32, f[1], CHARA_HERO, frame);
  // Gauges, 50 pixels wide: HP at x 0, SP at x 64, one row each 16 pixels from y 128.
  const std::uint8_t hp[5] = {COL_DARK_GREY, COL_RED, COL_ORANGE, COL_YELLOW, COL_WHITE};
  const std::uint8_t sp[5] = {COL_DARK_GREY, COL_BLUE, COL_CYAN, COL_SKY, COL_WHITE};
  for (int row = 0; row < 5; ++row) {
    c.Rect(0, 128 + row * 16, 50, 8, hp[row]);
    c.Rect(64, 128 + row * 16, 50, 8, sp[row]);
  }
  return c;
}

cCanvas SymbolPicture() {
  // Icons of the texts in 16 x 16 cells, then the large digits at (32 d, 160).
  cCanvas c(320, 192);
  for (int i = 0; i < 100; ++i) {
    const int x = i % 20 * 16, y = i / 20 * 16;
    if (i < 4)
      c.Arrow(x + 2, y + 2, 12, i, COL_YELLOW);
    else
      c.Disc(x + 8, y + 8, 5, static_cast<std::uint8_t>(COL_RED + i % 12));
  }
  for (int d = 0; d < 10; ++d) c.Caption(d * 32, 160, 32, 32, std::to_string(d), COL_WHITE, 3);
  return c;
}

cCanvas WordPicture() {
  cCanvas c(320, 160);
  c.Caption(0, 0, 128, 32, "STAGE", COL_YELLOW, 3);
  c.Caption(160, 0, 80, 32, "START", COL_WHITE, 2);
  c.Caption(0, 32, 128, 32, "REPLAY", COL_CYAN, 3);
  c.Caption(0, 64, 128, 32, "CLEAR!", COL_YELLOW, 3);
  c.Caption(0, 96, 144, 32, "GAME OVER", COL_RED, 2);
  for (int d = 0; d < 10; ++d) c.Caption(d * 32, 128, 32, 32, std::to_string(d), COL_WHITE, 3);
  return c;
}

// World-map tiles, 5 per row: grass, road, water, mountain, forest, then numbered spares.
cCanvas WorldMapChipPicture() {
  cCanvas c(160, 64);
  const std::uint8_t grounds[5] = {COL_GREEN, COL_BROWN, COL_BLUE, COL_GREY, COL_DARK_GREEN};
  for (int i = 0; i < 10; ++i) {
    const int x = i % 5 * 32, y = i / 5 * 32;
    if (i >= 5) {
      NumberCell(c, x, y, 32, i);
      continue;
    }
    c.Rect(x, y, 32, 32, grounds[i]);
    if (i == 2) c.Rect(x + 6, y + 12, 12, 2, COL_SKY);
    if (i == 3) c.Arrow(x + 4, y + 4, 24, 0, COL_LIGHT_GREY);
    if (i == 4) c.Disc(x + 16, y + 14, 9, COL_GREEN);
  }
  return c;
}

// Stage entrances: one row per icon, not cleared at column 0, cleared at column 1. The last
// row is a closed gate, the same in both columns.
cCanvas WorldEventPicture() {
  cCanvas c(64, 128);
  for (int row = 0; row < 3; ++row) {
    const std::uint8_t colour = static_cast<std::uint8_t>(COL_RED + row);
    c.Disc(16, row * 32 + 16, 10, colour);
    c.Frame(6, row * 32 + 6, 21, 21, COL_WHITE);
    c.Disc(48, row * 32 + 16, 10, colour);
    c.Text(43, row * 32 + 13, "OK", COL_WHITE);
  }
  for (int x : {0, 32}) {
    c.Rect(x + 4, 96 + 8, 24, 16, COL_GREY);
    for (int bar = 0; bar < 4; ++bar) c.Rect(x + 6 + bar * 6, 96 + 4, 2, 24, COL_DARK_GREY);
    c.Frame(x + 4, 96 + 8, 24, 16, COL_WHITE);
  }
  return c;
}

cCanvas WorldBackPicture() {
  cCanvas c(640, 480);
  c.Sky(0, 0, 640, 480, 3, 7, 0, 3);
  return c;
}

// Background layers: a sky with hills of a different colour for each number.
cCanvas BackgroundPicture(int number) {
  cCanvas c(320, 240);
  c.Sky(0, 0, 320, 240, 4, 7, number % 3, 3);
  for (int i = 0; i < 4; ++i)
    c.Disc(40 + i * 80, 240, 50 + (i * 13 + number * 7) % 30, CubeColour(number % 4, 3 + i % 3, 0));
  c.Text(4, 4, std::to_string(number), COL_WHITE, 2);
  return c;
}

// The picture of one file of the system bitmap table, by the file's name.
bool PictureFor(const std::string& file, cCanvas& out) {
  struct sEntry {
    const char* name;
    cCanvas (*make)();
  };
  static const sEntry kFixed[] = {
      {"bmp\\plt\\Palette.bmp", PalettePicture},
      {"bmp\\Debug.bmp", DebugPicture},
      {"bmp\\Block.bmp", BlockSheet},
      {"bmp\\Shot.bmp", ShotSheet},
      {"bmp\\Item.bmp", [] { return ItemSheet(32); }},
      {"bmp\\Item_Mini.bmp", [] { return ItemSheet(16); }},
      {"bmp\\Mark.bmp", MarkSheet},
      {"bmp\\Window.bmp", WindowPicture},
      {"bmp\\StatusWindow.bmp", StatusWindowPicture},
      {"bmp\\Title.bmp", TitlePicture},
      {"bmp\\GameMode.bmp", GameModePicture},
      {"bmp\\Accessory.bmp", AccessoryPicture},
      {"bmp\\Symbol.bmp", SymbolPicture},
      {"bmp\\Word.bmp", WordPicture},
      {"bmp\\WorldMapChip.bmp", WorldMapChipPicture},
      {"bmp\\WorldEvent.bmp", WorldEventPicture},
      {"bmp\\WorldBack.bmp", WorldBackPicture},
  };
  for (const sEntry& e : kFixed)
    if (file == e.name) {
      out = e.make();
      return true;
    }
  for (int n = 1; n <= 8; ++n) {
    if (file == "bmp\\Character" + std::to_string(n) + ".bmp") {
      out = CharaSheet(n);
      return true;
    }
    if (file == "背景その" + std::to_string(n) + ".bmp") {
      out = BackgroundPicture(n);
      return true;
    }
  }
  return false;
}

}  // namespace

std::uint8_t CubeColour(int r, int g, int b) {
  return static_cast<std::uint8_t>(16 + r * kCubeG * kCubeB + g * kCubeB + b);
}

void WritePictures() {
  const std::array<sRgb, 256> palette = MakePalette();
  std::set<std::string> done;
  for (const cBmpInfo& info : g_SystemBmpInfo) {
    if (info.szFile == "E" || !done.insert(info.szFile).second) continue;
    cCanvas picture(1, 1);
    if (!PictureFor(info.szFile, picture)) {
      Fail("no picture is drawn for " + info.szFile);
      continue;
    }
    WriteFileBytes(info.szFile, picture.Bitmap(palette));
  }
}

}  // namespace sample
