#include "media/translucency.h"

#include <algorithm>

#include "platform/host_file.h"
#include "tests/media/effect_fixture.h"

namespace {

const sMode kDD8{0, 8}, kDD16{0, 16}, kDD32{0, 32}, kD3D16{1, 16}, kD3D32{1, 32};
const sMode kD3D16Full{1, 16, 0};

// A blend table whose entries are easy to work out: [a][b] = 7a + b (mod 256).
std::vector<std::uint8_t> TableBytes() {
  std::vector<std::uint8_t> bytes(kBlendTableSize);
  for (int a = 0; a < 256; ++a)
    for (int b = 0; b < 256; ++b) bytes[a * 256 + b] = static_cast<std::uint8_t>(7 * a + b);
  return bytes;
}

class Translucency : public EffectTest {
 protected:
  static void UseTable() {
    const std::vector<std::uint8_t> bytes = TableBytes();
    std::copy(bytes.begin(), bytes.end(), g_BlendTable);
  }
  void SetUp() override {
    std::fill(g_BlendTable, g_BlendTable + kBlendTableSize, 0);
    for (PALETTEENTRY& e : m_Palette) e = PALETTEENTRY{};
  }
  PALETTEENTRY m_Palette[256];
};

TEST_F(Translucency, BlendTableFiles) {
  Init(kDD8);
  ASSERT_TRUE(platform::MakeHostFolder("bmp"));
  ASSERT_TRUE(platform::MakeHostFolder("bmp\\hbt"));
  WriteBytes("bmp/hbt/hbt03.dat", TableBytes());
  ASSERT_TRUE(DDLoadBlendTable(g_BlendTable, "bmp\\hbt\\hbt03.dat"));
  EXPECT_EQ(g_BlendTable[3 * 256 + 5], 26);
  EXPECT_EQ(g_BlendTable[255 * 256 + 255], static_cast<std::uint8_t>(7 * 255 + 255));
  // A missing, short or long file leaves the table in use.
  std::vector<std::uint8_t> wrong = TableBytes();
  wrong.assign(kBlendTableSize - 1, 0xEE);
  WriteBytes("bmp/hbt/hbt04.dat", wrong);
  wrong.assign(kBlendTableSize + 1, 0xEE);
  WriteBytes("bmp/hbt/hbt05.dat", wrong);
  for (const char* path : {"bmp\\hbt\\hbt09.dat", "bmp\\hbt\\hbt04.dat", "bmp\\hbt\\hbt05.dat"}) {
    EXPECT_FALSE(DDLoadBlendTable(g_BlendTable, path)) << path;
    EXPECT_EQ(g_BlendTable[3 * 256 + 5], 26) << path;
  }
  TearDown();
  // The Direct3D mode has no use for a table and reads nothing.
  Init(kD3D32);
  std::uint8_t untouched[kBlendTableSize] = {};
  EXPECT_TRUE(DDLoadBlendTable(untouched, "bmp\\hbt\\hbt03.dat"));
  EXPECT_EQ(untouched[3 * 256 + 5], 0);
}

// Three source pixels over three destination pixels; the third source pixel is transparent
// where the mode has a transparent colour, and only flags 1 leaves it out.
TEST_F(Translucency, HalfAndHalfInEveryPixelPath) {
  struct Case {
    sMode mode;
    std::uint32_t key;
    Pixels dst, src, keyed, opaque;
    bool toBack = false;
  };
  const Case cases[] = {
      // A destination of index 0 takes the source; others look up [d][s].
      {kDD8, 0, {0, 3, 3}, {5, 5, 0}, {5, 26, 3}, {5, 26, 21}},
      // Byte 3 is kept; a transparent destination takes the source colour.
      {kDD32, 0xFF00FF, {0xAA000010, 0x00FF00FF, 0x10}, {0x31, 0x40, 0xFF00FF},
       {0xAA000020, 0x00000040, 0x10}, {0xAA000020, 0x00000040, 0x7F0087}},
      // Blue 15 and 31 of 31: 8-bit units 123 and 255, mixed 189, back 22.
      {kDD16, 0xF81F, {0x000F, 0xF81F, 0x0000}, {0x001F, 0x07E0, 0xF81F},
       {0x0016, 0x07E0, 0x0000}, {0x0016, 0x07E0, 0x780F}},
      {kD3D32, 0, {0x11000010, 0x00000000, 0x11000010}, {0xFF000031, 0x80FFFFFF, 0x00000030},
       {0xFF000020, 0xFF7F7F7F, 0x11000010}, {0xFF000020, 0xFF7F7F7F, 0xFF000020}},
      // Texture layout: blue 4 and 10 mix to 7, green 31 and 0 to 15, alpha bit set.
      {kD3D16, 0, {0x8004, 0x83E0, 0x8004}, {0x800A, 0x8000, 0x000A},
       {0x8007, 0x81E0, 0x8004}, {0x8007, 0x81E0, 0x8007}},
      // The full-screen 5-6-5 back buffer: the texture's green counts double.
      {kD3D16Full, 0, {0xFFE0, 0x0000, 0x0000}, {0x87E0, 0x8421, 0x0421},
       {0x87C0, 0x0020, 0x0000}, {0x87C0, 0x0020, 0x0020}, true},
  };
  for (const Case& c : cases) {
    for (int flags : {1, 0}) {
      SCOPED_TRACE(c.mode.Name() + " flags " + std::to_string(flags));
      Init(c.mode);
      g_dwTransmit = c.key;
      UseTable();
      DDSURFACEDATA* dst = Target(c.toBack, 4, 1, 0);
      Put(*dst, 0, 0, 3, c.dst);
      Make(m_Src, 3, 1, 0);
      Put(m_Src, 0, 0, 3, c.src);
      // The level changes nothing in the pixel paths.
      EXPECT_TRUE(DDBltTransEx(dst, 0, 0, 3, 1, &m_Src, 0, 0, flags, g_BlendTable, 250));
      EXPECT_EQ(Get(*dst, 0, 0, 3, 1), flags ? c.keyed : c.opaque);
      TearDown();
    }
  }
}

// The quad path draws the source with opacity (255 - level) / 255 of its texel alpha.
TEST_F(Translucency, QuadPathTakesTheLevel) {
  Init(kD3D32);
  Make(m_Src, 2, 1, 0, DTMEMORYTYPE_VIDEO_RT);
  Put(m_Src, 0, 0, 2, {0xFF0000FE, 0x000000FE});
  BackBuffer.Pixels()->Fill(0);
  EXPECT_TRUE(DDBltTrans(&BackBuffer, 0, 0, 2, 1, &m_Src, 0, 0, 0, g_BlendTable));
  EXPECT_EQ(Get(BackBuffer, 0, 0, 2, 1), (Pixels{0x7F, 0}));
  EXPECT_TRUE(DDBltTransEx(&BackBuffer, 0, 0, 2, 1, &m_Src, 0, 0, 0, g_BlendTable, 255));
  EXPECT_EQ(Get(BackBuffer, 0, 0, 2, 1), (Pixels{0x7F, 0}));
  EXPECT_TRUE(DDBltTransEx(&BackBuffer, 0, 0, 1, 1, &m_Src, 0, 0, 0, g_BlendTable, 0));
  EXPECT_EQ(BackBuffer.Pixels()->Get(0, 0), 0xFEu);
}

// Tints from a source channel toward the tint colour's, by level, in each path.
TEST_F(Translucency, TintWeightings) {
  struct Case {
    sMode mode;
    std::uint32_t source;
    PALETTEENTRY tint;
    std::vector<int> levels;
    Pixels expected;
    int memory = DTMEMORYTYPE_SYSTEM;
    bool toBack = false;
  };
  const PALETTEENTRY blue{0, 0, 255, 0};
  const Case cases[] = {
      // Halving toward 255 from 0; a level of a million ends where eight steps end.
      {kDD32, 0xAA000000, blue, {1, 2, 3, 4, 8, 1000000, -1},
       {0x7F, 0xBF, 0xDF, 0xEF, 0xFE, 0xFE, 0x00}},
      // The DirectDraw 16-bit palette holds channel units; the copy at level -1 goes through
      // 8-bit units (blue 15 -> 14).
      {kDD16, 0x000F, PALETTEENTRY{0, 0, 31, 0}, {1, 2, -1}, {0x0016, 0x001A, 0x000E}},
      // Pixel path: half, then source shares 64, 32, 16 of 255, then the pure colour.
      {kD3D32, 0xFF0000FF, PALETTEENTRY{0, 0, 0, 0}, {1, 2, 3, 4, 5},
       {0xFF00007F, 0xFF000040, 0xFF000020, 0xFF000010, 0xFF000000}},
      {kD3D16, 0x801F, PALETTEENTRY{0, 0, 0, 0}, {1, 2, 4}, {0x800F, 0x8007, 0x8001}},
      // Into the full-screen back buffer green at level 1 is the plain sum (30 + 31).
      {kD3D16Full, 0x83C0, PALETTEENTRY{0, 255, 0, 0}, {1, 2}, {0x07A0, 0x0780}, DTMEMORYTYPE_SYSTEM,
       true},
      // Quad path: source shares 128, 80, 48, 16 of 255; from 5 on a silhouette.
      {kD3D32, 0xFF0000FF, PALETTEENTRY{0, 0, 0, 0}, {1, 2, 3, 4, 5},
       {0xFF000080, 0xFF000050, 0xFF000030, 0xFF000010, 0xFF000000}, DTMEMORYTYPE_VIDEO_RT},
  };
  for (const Case& c : cases) {
    for (std::size_t k = 0; k < c.levels.size(); ++k) {
      SCOPED_TRACE(c.mode.Name() + " level " + std::to_string(c.levels[k]));
      Init(c.mode);
      g_dwTransmit = 0xF81F;
      m_Palette[44] = c.tint;
      DDSURFACEDATA* dst = c.toBack ? &BackBuffer : &m_Dst;
      if (!c.toBack) Make(m_Dst, 2, 1, c.memory == DTMEMORYTYPE_VIDEO_RT ? 0xFF000000 : 0);
      Make(m_Src, 1, 1, c.source, c.memory);
      if (c.memory == DTMEMORYTYPE_VIDEO_RT) m_Dst.lpDT->bRenderTarget = 1;
      // Colour 300 names entry 44.
      EXPECT_TRUE(
          DDBltTint(dst, 0, 0, 1, 1, &m_Src, 0, 0, 1, m_Palette, g_BlendTable, 300, c.levels[k]));
      EXPECT_EQ(dst->Pixels()->Get(0, 0), c.expected[k]);
      TearDown();
    }
  }
}

TEST_F(Translucency, TintThroughTheBlendTable) {
  Init(kDD8);
  UseTable();
  g_dwTransmit = 0;
  Make(m_Dst, 3, 1, 1);
  Make(m_Src, 3, 1, 0);
  Put(m_Src, 0, 0, 3, {5, 0, 5});
  // Twice [s][9]: 5 -> 44 -> 61. A source of the transparent colour is left out.
  EXPECT_TRUE(DDBltTint(&m_Dst, 0, 0, 2, 1, &m_Src, 0, 0, 1, m_Palette, g_BlendTable, 9, 2));
  EXPECT_EQ(Get(m_Dst, 0, 0, 3, 1), (Pixels{61, 1, 1}));
  // A huge level steps through the table's cycle without walking it a billion times.
  m_Dst.Pixels()->Fill(1);
  for (int v = 0; v < 256; ++v) g_BlendTable[v * 256 + 9] = static_cast<std::uint8_t>(v ^ 1);
  EXPECT_TRUE(
      DDBltTint(&m_Dst, 0, 0, 3, 1, &m_Src, 0, 0, 0, m_Palette, g_BlendTable, 9, 1000000001));
  EXPECT_EQ(Get(m_Dst, 0, 0, 3, 1), (Pixels{4, 1, 4}));
}

// Level 0 draws nothing in either mode, -1 nothing in the Direct3D mode; a failed lock is
// the only false.
TEST_F(Translucency, NothingDrawnAndFailedLocks) {
  for (const sMode& mode : {kDD32, kD3D32}) {
    SCOPED_TRACE(mode.Name());
    Init(mode);
    Make(m_Dst, 2, 2, 0x11000005);
    EXPECT_TRUE(DDBltTint(&m_Dst, 0, 0, 2, 2, &m_Dst, 0, 0, 0, m_Palette, g_BlendTable, 1, 0));
    if (mode.d3d) {
      EXPECT_TRUE(DDBltTint(&m_Dst, 0, 0, 2, 2, &m_Dst, 0, 0, 0, m_Palette, g_BlendTable, 1, -1));
    }
    EXPECT_FALSE(DDBltTint(&m_Dst, 0, 0, 2, 2, &m_Dst, 0, 0, 0, m_Palette, g_BlendTable, 1, 2));
    EXPECT_FALSE(DDBltTrans(&m_Dst, 0, 0, 2, 2, &m_Dst, 0, 0, 0, g_BlendTable));
    EXPECT_EQ(Get(m_Dst, 0, 0, 2, 2), Pixels(4, 0x11000005));
    // Rectangles reaching beyond both surfaces touch only the points both have.
    Make(m_Src, 1, 1, 0xFF000007);
    EXPECT_TRUE(DDBltTrans(&m_Dst, -5, 1, 1 << 27, 1 << 27, &m_Src, -6, 0, 0, g_BlendTable));
    EXPECT_EQ(Get(m_Dst, 0, 0, 2, 2), (Pixels{0x11000005, 0x11000005, 0x11000005,
                                             mode.d3d ? 0xFF000006u : 0x11000006u}));
    TearDown();
  }
}

}  // namespace
