#include "media/blit.h"
#include "media/circle_lens.h"
#include "media/raster.h"
#include "media/rotation.h"
#include "media/surface_create.h"
#include "tests/media/effect_fixture.h"

namespace {

const sMode kDD8{0, 8}, kDD32{0, 32}, kD3D16{1, 16}, kD3D32{1, 32};
const sMode kD3D16Full{1, 16, 0};

// The span drawn in each row of the destination: {first column, width}, {0, 0} for none.
struct sSpan {
  int from = 0, width = 0;
  bool operator==(const sSpan&) const = default;
};
std::vector<sSpan> Spans(DDSURFACEDATA& s, int fromRow, int toRow, std::uint32_t background) {
  std::vector<sSpan> out;
  for (int y = fromRow; y <= toRow; ++y) {
    sSpan span;
    for (int x = 0; x < s.nWidth; ++x) {
      if (s.Pixels()->Get(x, y) == background) continue;
      if (span.width == 0) span.from = x;
      ++span.width;
    }
    out.push_back(span);
  }
  return out;
}

// Discs around (30, 24) from a source of one colour; rows relative to the centre.
TEST_F(EffectTest, CircleStrips) {
  struct Case {
    sMode mode;
    int hh, r, strip, fromRow;
    std::vector<sSpan> rows;  // from fromRow on, the last one below the disc
  };
  const Case cases[] = {
      // Row 0's half width 3 is cut to 2; the bottom row (+3) is never drawn.
      {kDD32, 100, 3, 1, -4,
       {{}, {}, {28, 4}, {28, 4}, {28, 4}, {28, 4}, {28, 4}, {}}},
      {kD3D32, 100, 3, 1, -4,
       {{}, {}, {28, 4}, {28, 4}, {28, 4}, {28, 4}, {28, 4}, {}}},
      // Strips of 3 starting at rows 7, 4, 1, -2, -5, -8; rows -10 and -9 stay empty.
      {kDD32, 100, 10, 3, -10,
       {{},       {},       {23, 14}, {23, 14}, {23, 14}, {21, 18}, {21, 18}, {21, 18},
        {21, 18}, {21, 18}, {21, 18}, {21, 18}, {21, 18}, {21, 18}, {22, 16}, {22, 16},
        {22, 16}, {24, 12}, {24, 12}, {24, 12}, {}}},
      // A box of half height 5: rows -5 to 4, the lowest strip moved up to end at 5.
      {kDD32, 5, 10, 3, -6,
       {{}, {21, 18}, {21, 18}, {21, 18}, {21, 18}, {21, 18}, {21, 18}, {21, 18}, {21, 18},
        {21, 18}, {21, 18}, {}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode.Name() + " r " + std::to_string(c.r) + " strip " + std::to_string(c.strip));
    Init(c.mode);
    g_dwTransmit = 0;
    Make(m_Dst, 64, 48, 0x11000000, DTMEMORYTYPE_VIDEO_RT);
    Make(m_Src, 64, 48, 0xFF000007, DTMEMORYTYPE_VIDEO_RT);
    DDBltCircle(&m_Dst, 30, 24, 100, c.hh, c.r, c.strip, &m_Src, 30, 24, 0);
    EXPECT_EQ(Spans(m_Dst, 24 + c.fromRow, 24 + c.fromRow + static_cast<int>(c.rows.size()) - 1,
                    0x11000000),
              c.rows);
    TearDown();
  }
}

TEST_F(EffectTest, CircleSourceClipAndNothingDrawn) {
  Init(kDD32);
  Make(m_Dst, 64, 48, 1);
  Make(m_Src, 64, 48, 2);
  // The source's limits are its column 0 and the box (columns 0 to 4): the span through the
  // centre is cut on both sides, moving right by what it loses on the left.
  DDBltCircle(&m_Dst, 30, 24, 3, 100, 5, 1, &m_Src, 2, 24, 0);
  EXPECT_EQ(Spans(m_Dst, 24, 24, 1), (std::vector<sSpan>{{28, 5}}));
  m_Dst.Pixels()->Fill(1);
  for (int bad : {0, -4}) {
    DDBltCircle(&m_Dst, 30, 24, 100, 100, bad, 1, &m_Src, 30, 24, 0);
    DDBltCircle(&m_Dst, 30, 24, 100, 100, 5, bad, &m_Src, 30, 24, 0);
  }
  // A disc far larger than anything on the screen ends quickly.
  DDBltCircle(&m_Dst, 30, 24, 1 << 27, 1 << 27, 1 << 27, 1, &m_Src, 30, 24, 0);
  DDBltCircle(&m_Dst, 30, 24, 1 << 27, 1 << 27, 1 << 27, 2, &m_Src, 30, 24, 0);
  EXPECT_EQ(m_Dst.Pixels()->Get(0, 0), 2u);
  EXPECT_EQ(m_Dst.Pixels()->Get(63, 47), 2u);
}

// One row through a lens of radius 100 and depth 60 (L = 116): the source is numbered by
// column, so each destination pixel shows the source offset it read.
TEST_F(EffectTest, LensOffsets) {
  Init(kDD32);
  g_dwTransmit = 0xFF00FF;
  Make(m_Dst, 256, 1, 0);
  Make(m_Src, 256, 1, 0);
  for (int x = 0; x < 256; ++x) m_Src.Pixels()->Put(x, 0, 1000 + x);
  ASSERT_TRUE(DDBltLens(&m_Dst, 120, 0, 100, 60, &m_Src, 120, 0, 0, 0));
  auto read = [&](int dx) { return static_cast<int>(m_Dst.Pixels()->Get(120 + dx, 0)) - 1120; };
  struct Case {
    int dx, offset;
  };
  for (const Case& c : {Case{0, 0}, Case{10, 5}, Case{50, 29}, Case{80, 57}, Case{100, 102},
                        Case{-10, -4}, Case{-100, -101}})
    EXPECT_EQ(read(c.dx), c.offset) << c.dx;
  // Depth 0: everything reads the centre except the rim, where s is 0 and offsets stay.
  m_Dst.Pixels()->Fill(0);
  ASSERT_TRUE(DDBltLens(&m_Dst, 120, 0, 5, 0, &m_Src, 120, 0, 0, 0));
  EXPECT_EQ(Get(m_Dst, 114, 0, 13, 1),
            (Pixels{0, 1115, 1120, 1120, 1120, 1120, 1120, 1120, 1120, 1120, 1120, 1125, 0}));
  // Refusals before any lock.
  EXPECT_FALSE(DDBltLens(&m_Dst, 120, 0, 0, 5, &m_Src, 120, 0, 0, 0));
  EXPECT_FALSE(DDBltLens(&m_Dst, 120, 0, -1, 5, &m_Src, 120, 0, 0, 0));
  EXPECT_FALSE(DDBltLens(&m_Dst, 120, 0, 5, -1, &m_Src, 120, 0, 0, 0));
  EXPECT_FALSE(DDBltLens(&m_Dst, 120, 0, 5, 60, &m_Src, 120, 0, 0, 0));  // L = 60 = d
  EXPECT_FALSE(DDBltLens(&m_Dst, 120, 0, 5, 1, &m_Dst, 120, 0, 0, 0));   // one surface
  // A lens far beyond the surfaces.
  EXPECT_TRUE(DDBltLens(&m_Dst, -1000000, 0, 1 << 27, 3, &m_Src, 1 << 27, 0, 0, 0));
}

// The pixel rules: a lens of radius 2 and depth 1 over a one-pixel source at the centre of a
// 5 x 5 destination; the corner lies outside the disc, the top middle on its rim reads a point
// above the source.
TEST_F(EffectTest, LensPixelRules) {
  struct Case {
    sMode mode;
    std::uint32_t key, pixel;
    int flags, clear;
    std::uint32_t centre, corner, top;
    bool toBack = false;
  };
  const std::uint32_t bg = 0x55;
  const Case cases[] = {
      // DirectDraw never draws the transparent colour, even with flags 0.
      {kDD32, 0x123456, 0x123456, 0, 0, bg, bg, bg},
      {kDD32, 0x123456, 0x654321, 0, 0, 0x654321, bg, bg},
      {kDD8, 3, 3, 0, 0, bg, bg, bg},
      {kDD8, 3, 7, 0, 0, 7, bg, bg},
      // Clear mode: alpha 0 and every point that cannot be filled become 0.
      {kD3D32, 0, 0x00123456, 0, 1, 0, 0, 0},
      {kD3D32, 0, 0x80123456, 0, 1, 0x80123456, 0, 0},
      {kD3D32, 0, 0x00123456, 0, 0, bg, bg, bg},
      {kD3D32, 0, 0x80123456, 0, 0, 0x80123456, bg, bg},
      {kD3D16, 0, 0x1FFF, 1, 0, bg, bg, bg},
      {kD3D16, 0, 0x1FFF, 0, 0, 0x1FFF, bg, bg},
      {kD3D16Full, 0, 0x83E0, 1, 0, 0x07C0, bg, bg, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode.Name() + " pixel " + std::to_string(c.pixel));
    Init(c.mode);
    g_dwTransmit = c.key;
    DDSURFACEDATA* dst = Target(c.toBack, 5, 5, bg);
    Make(m_Src, 1, 1, c.pixel);
    EXPECT_TRUE(DDBltLens(dst, 2, 2, 2, 1, &m_Src, 0, 0, c.flags, c.clear));
    EXPECT_EQ(dst->Pixels()->Get(2, 2), c.centre);
    EXPECT_EQ(dst->Pixels()->Get(0, 0), c.corner);
    EXPECT_EQ(dst->Pixels()->Get(2, 0), c.top);
    TearDown();
  }
}

// The sprite
//   1 2 3 4
//   5 6 7 8
// turned about its centre (2, 1) and drawn centred on (10, 10) of a 20 x 20 destination.
TEST_F(EffectTest, RotationOfAnAsymmetricSprite) {
  struct Case {
    sMode mode;
    int memory;  // VIDEO_RT: the Direct3D quad path
    int angle;
    int x, y, w, h;  // the rectangle of the result
    Pixels expected;
  };
  const int pixel = DTMEMORYTYPE_SYSTEM, quad = DTMEMORYTYPE_VIDEO_RT;
  const Case cases[] = {
      {kDD32, pixel, 0, 8, 9, 4, 2, {1, 2, 3, 4, 5, 6, 7, 8}},
      // A pixel right of the pivot lands below it.
      {kDD32, pixel, 90, 10, 8, 2, 4, {5, 1, 6, 2, 7, 3, 8, 4}},
      {kDD32, pixel, 180, 9, 10, 4, 2, {8, 7, 6, 5, 4, 3, 2, 1}},
      {kDD32, pixel, 360, 8, 9, 4, 2, {1, 2, 3, 4, 5, 6, 7, 8}},
      {kD3D32, quad, 0, 8, 9, 4, 2, {1, 2, 3, 4, 5, 6, 7, 8}},
      {kD3D32, quad, 90, 9, 8, 2, 4, {5, 1, 6, 2, 7, 3, 8, 4}},
      {kD3D32, quad, 180, 8, 9, 4, 2, {8, 7, 6, 5, 4, 3, 2, 1}},
      {kD3D32, quad, -90, 9, 8, 2, 4, {4, 8, 3, 7, 2, 6, 1, 5}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode.Name() + (c.memory == quad ? " quad" : " pixels") + " angle " +
                 std::to_string(c.angle));
    Init(c.mode);
    g_dwTransmit = 0xFF00FF;
    Make(m_Dst, 20, 20, 0, c.memory);
    Make(m_Src, 4, 2, 0, c.memory);
    Pixels sprite;
    for (std::uint32_t v = 1; v <= 8; ++v) sprite.push_back(c.mode.d3d ? 0xFF000000 | v : v);
    Put(m_Src, 0, 0, 4, sprite);
    EXPECT_TRUE(DDBltRotate(&m_Dst, 10, 10, 4, 2, 2, 1, c.angle, &m_Src, 0, 0, 1));
    Pixels expected = c.expected;
    for (std::uint32_t& v : expected) v |= c.mode.d3d ? 0xFF000000 : 0;
    EXPECT_EQ(Get(m_Dst, c.x, c.y, c.w, c.h), expected);
    // Nothing else was drawn.
    int drawn = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) drawn += m_Dst.Pixels()->Get(x, y) != 0;
    EXPECT_EQ(drawn, 8);
    TearDown();
  }
}

// The rotated quad combines and blends each texel as every quad does: texels of every alpha
// under a tinting stage and under one with the alpha stage off, at both depths, turned by 0
// and 180 degrees.
TEST_F(EffectTest, RotatedQuadBlendsByTheQuadRule) {
  const sQuadStage stages[] = {{0x80C06040u, D3DTOP_MODULATE, D3DTOP_MODULATE, 0, false},
                               {0x90FFFFFFu, D3DTOP_MODULATE, D3DTOP_DISABLE, 0, false},
                               {0xFFFFFFFFu, D3DTOP_MODULATE, D3DTOP_SELECTARG1, 0, false}};
  for (const sMode& mode : {kD3D16, kD3D32}) {
    for (const sQuadStage& stage : stages) {
      for (int angle : {0, 180}) {
        SCOPED_TRACE(mode.Name() + " angle " + std::to_string(angle) + " colour " +
                     std::to_string(stage.dwColor));
        Init(mode);
        const std::uint32_t old = mode.bpp == 16 ? 0x1234u : 0x00345678u;
        Make(m_Dst, 20, 20, old, DTMEMORYTYPE_VIDEO_RT);
        Make(m_Src, 4, 2, 0, DTMEMORYTYPE_VIDEO_RT);
        const D3DFORMAT tf = m_Src.Pixels()->Format(), df = m_Dst.Pixels()->Format();
        const Pixels sprite =
            mode.bpp == 16
                ? Pixels{0x8001, 0x7C1F, 0xFFFF, 0x0000, 0x83E0, 0x801F, 0x1234, 0xFC00}
                : Pixels{0xFF102030, 0x80FF00FF, 0x00FFFFFF, 0x01808080, 0xFE00FF00, 0x7F0000FF,
                         0xFFFFFFFF, 0x40102030};
        Put(m_Src, 0, 0, 4, sprite);
        lpDTCon->dwColor = stage.dwColor;
        lpDTCon->dwColorOp = stage.dwColorOp;
        lpDTCon->dwAlphaOp = stage.dwAlphaOp;
        EXPECT_TRUE(DDBltRotate(&m_Dst, 10, 10, 4, 2, 2, 1, angle, &m_Src, 0, 0, 1));
        for (int y = 0; y < 20; ++y)
          for (int x = 0; x < 20; ++x) {
            const int i = x - 8, j = y - 9;
            std::uint32_t want = old;
            if (i >= 0 && i < 4 && j >= 0 && j < 2) {
              const std::uint32_t texel =
                  angle == 0 ? sprite[static_cast<std::size_t>(j * 4 + i)]
                             : sprite[static_cast<std::size_t>((1 - j) * 4 + 3 - i)];
              const std::uint32_t colour = CombineStage(PixelToArgb(texel, tf), stage);
              if (colour >> 24) want = ArgbToFormat(BlendOver(colour, PixelToArgb(old, df)), df);
            }
            EXPECT_EQ(m_Dst.Pixels()->Get(x, y), want) << "at " << x << ", " << y;
          }
        TearDown();
      }
    }
  }
}

TEST_F(EffectTest, RotationKeysAndBounds) {
  for (const sMode& mode : {kDD8, kD3D16}) {
    SCOPED_TRACE(mode.Name());
    Init(mode);
    g_dwTransmit = 9;
    Make(m_Dst, 8, 8, 1);
    Make(m_Src, 2, 2, 0x8002);
    m_Src.Pixels()->Put(0, 0, 9);
    // 45 degrees: the corners of the box map outside the rectangle and stay untouched.
    EXPECT_TRUE(DDBltRotate(&m_Dst, 4, 4, 2, 2, 1, 1, 45, &m_Src, 0, 0, 1));
    EXPECT_EQ(m_Dst.Pixels()->Get(0, 0), 1u);
    EXPECT_EQ(m_Dst.Pixels()->Get(4, 4), mode.bpp == 8 ? 2u : 0x8002u);
    // The key pixel is left out with flags 1 only.
    m_Dst.Pixels()->Fill(1);
    EXPECT_TRUE(DDBltRotate(&m_Dst, 4, 4, 2, 2, 1, 1, 0, &m_Src, 0, 0, 1));
    EXPECT_EQ(m_Dst.Pixels()->Get(3, 3), 1u);
    EXPECT_TRUE(DDBltRotate(&m_Dst, 4, 4, 2, 2, 1, 1, 0, &m_Src, 0, 0, 0));
    EXPECT_EQ(m_Dst.Pixels()->Get(3, 3), 9u);
    // A rectangle beyond the source reads only the source's pixels; a huge one ends at once.
    m_Dst.Pixels()->Fill(1);
    EXPECT_TRUE(DDBltRotate(&m_Dst, 4, 4, 1 << 27, 1 << 27, 1 << 26, 1 << 26, 30, &m_Src, -3,
                            -3, 0));
    EXPECT_TRUE(DDBltRotate(&m_Dst, 4, 4, 4, 4, 2, 2, 0, &m_Src, 1, 1, 0));
    EXPECT_EQ(m_Dst.Pixels()->Get(2, 2), mode.bpp == 8 ? 2u : 0x8002u);
    EXPECT_EQ(m_Dst.Pixels()->Get(3, 3), 1u);
    EXPECT_FALSE(DDBltRotate(&m_Dst, 4, 4, 2, 2, 1, 1, 0, &m_Dst, 0, 0, 0));
    TearDown();
  }
}

}  // namespace
