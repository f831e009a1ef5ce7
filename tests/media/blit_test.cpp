#include "media/blit.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "foundation/message_box.h"
#include "foundation/report.h"
#include "media/device.h"
#include "media/device_scene.h"
#include "media/palette.h"
#include "media/pixel_access.h"
#include "media/present.h"
#include "media/raster.h"
#include "media/sprite_batch.h"
#include "media/surface_create.h"
#include "platform/close_request.h"
#include "platform/message_box.h"
#include "tests/support/temp_folder.h"

namespace {

class Drawing : public ::testing::Test {
 protected:
  // A 64 x 48 screen; window mode 1 windowed, 0 full screen.
  void Init(int d3d, int bpp, int windowMode = 1) {
    ASSERT_TRUE(DDInit(d3d, nullptr, 64, 48, bpp, 0, windowMode, 1, 60, 0, nullptr, nullptr, 0));
    if (d3d || bpp > 8) DDSetTransmit(0xFF, 0, 0xFF);
  }
  void TearDown() override {
    DDRelease();
    g_dwTransmit = 0;
    platform::ResetCloseRequest();
  }
  // An off-screen surface filled with one value; memoryType SYSTEM makes a texture that is no
  // render target.
  void Make(DDSURFACEDATA& s, int w, int h, std::uint32_t fill, int key = 1,
            int memoryType = DTMEMORYTYPE_VIDEO_RT) {
    ASSERT_TRUE(DDCreateSurface(&s, w, h, key, 1, memoryType, 0, 0));
    s.Pixels()->Fill(fill);
  }
  static void Row(DDSURFACEDATA& s, int y, const std::vector<std::uint32_t>& values, int x = 0) {
    for (std::size_t i = 0; i < values.size(); ++i) s.Pixels()->Put(x + int(i), y, values[i]);
  }
  static std::vector<std::uint32_t> Read(DDSURFACEDATA& s, int x, int y, int n) {
    std::vector<std::uint32_t> out;
    for (int i = 0; i < n; ++i) out.push_back(s.Pixels()->Get(x + i, y));
    return out;
  }
  cTempFolder folder;
};

using V = std::vector<std::uint32_t>;

TEST(ClipRect, Table) {
  using R = std::array<int, 8>;  // x, y, w, h, sx, sy, sw, sh
  struct Case {
    const char* name;
    int d3d;
    R in;
    int result;
    R out;
  };
  const Case cases[] = {
      {"zero width", 1, R{0, 0, 0, 8, 0, 0, 0, 8}, 0, R{}},
      {"zero source height", 0, R{0, 0, 8, 8, 0, 0, 8, 0}, 0, R{}},
      {"inside", 1, R{4, 4, 8, 8, 2, 2, 8, 8}, 1, R{4, 4, 8, 8, 2, 2, 8, 8}},
      {"left of the screen", 1, R{-10, 0, 20, 4, 0, 0, 20, 4}, 1, R{0, 0, 10, 4, 10, 0, 10, 4}},
      {"source start negative keeps x", 0, R{5, 0, 20, 4, -5, 0, 20, 4}, 1,
       R{5, 0, 15, 4, 0, 0, 15, 4}},
      {"right and bottom edges", 0, R{60, 44, 20, 20, 0, 0, 20, 20}, 1,
       R{60, 44, 4, 4, 0, 0, 4, 4}},
      {"wholly right", 1, R{70, 0, 8, 8, 0, 0, 8, 8}, 0, R{}},
      {"mirror inside", 1, R{0, 0, 32, 8, 32, 0, -32, 8}, 1, R{0, 0, 32, 8, 32, 0, -32, 8}},
      {"stretch source cut", 1, R{0, 0, 64, 8, -16, 0, 32, 4}, 1, R{0, 0, 32, 8, 0, 0, 16, 4}},
      {"mirror source cut", 1, R{0, 0, 64, 8, 40, 0, -64, 4}, 1, R{0, 0, 40, 8, 40, 0, -40, 4}},
      {"stretch off screen, DirectDraw", 0, R{-32, 0, 64, 8, 0, 0, 32, 4}, 1,
       R{0, 0, 32, 8, 16, 0, 16, 4}},
      {"stretch past the right, DirectDraw", 0, R{48, 0, 32, 8, 0, 0, 16, 4}, 1,
       R{48, 0, 16, 8, 0, 0, 8, 4}},
      {"mirror refused by DirectDraw", 0, R{0, 0, 64, 8, 32, 0, -32, 4}, 0, R{}},
  };
  DDSURFACEDATA dst, src;
  dst.nWidth = 64;
  dst.nHeight = 48;
  src.nWidth = 40;
  src.nHeight = 32;
  DTCONTROL con;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    lpDTCon = c.d3d ? &con : nullptr;
    R r = c.in;
    EXPECT_EQ(DDClipRect(&dst, &r[0], &r[1], &r[2], &r[3], &src, &r[4], &r[5], &r[6], &r[7]),
              c.result);
    if (c.result) {
      EXPECT_EQ(r, c.out);
    }
  }
  lpDTCon = nullptr;
}

// A four-pixel source (transparent, red, green, and a fourth pixel) blitted at (1, 1) onto a
// destination of one colour, with flags 1 and 0, in each mode, depth and path.
TEST_F(Drawing, KeyedAndOpaqueBlitsInEveryModeAndDepth) {
  struct Case {
    const char* name;
    int d3d, bpp, windowMode;
    int dstMemory;  // SYSTEM: the destination is no render target (pixel path)
    int srcMemory;
    bool toBack;
    std::uint32_t background;
    V source;
    V keyed, opaque;
  };
  const std::uint32_t half = 0x80FFFFFF;
  const Case cases[] = {
      {"DirectDraw 8", 0, 8, 1, 0, 0, false, 9, V{0, 5, 6, 7}, V{9, 5, 6, 7}, V{0, 5, 6, 7}},
      {"DirectDraw 16", 0, 16, 1, 0, 0, false, 0x1234, V{0xF81F, 0xF800, 0x07E0, 0x001F},
       V{0x1234, 0xF800, 0x07E0, 0x001F}, V{0xF81F, 0xF800, 0x07E0, 0x001F}},
      {"DirectDraw 32", 0, 32, 1, 0, 0, false, 0x123456, V{0xFF00FF, 0xFF0000, 0xFF00, 0xFF},
       V{0x123456, 0xFF0000, 0xFF00, 0xFF}, V{0xFF00FF, 0xFF0000, 0xFF00, 0xFF}},
      // Quads blend with the texel's alpha; flags 0 clears the key area to transparent first.
      {"Direct3D 32 quad", 1, 32, 1, DTMEMORYTYPE_VIDEO_RT, DTMEMORYTYPE_VIDEO_RT, false,
       0xFF000000, V{0, 0xFFFF0000, 0xFF00FF00, half},
       V{0xFF000000, 0xFFFF0000, 0xFF00FF00, 0xBF808080}, V{0, 0xFFFF0000, 0xFF00FF00, 0x40808080}},
      // Onto the screen the key area shows the transparent colour.
      {"Direct3D 32 quad to the screen", 1, 32, 1, -1, DTMEMORYTYPE_VIDEO_RT, true, 0x000000,
       V{0, 0xFFFF0000, 0xFF00FF00, half}, V{0, 0xFF0000, 0xFF00, 0x808080},
       V{0xFF00FF, 0xFF0000, 0xFF00, 0xFF80FF}},
      // The pixel paths copy raw pixels; flags 1 leaves out alpha 0.
      {"Direct3D 32 pixel path", 1, 32, 1, DTMEMORYTYPE_SYSTEM, DTMEMORYTYPE_VIDEO_RT, false,
       0xFF000000, V{0, 0xFFFF0000, 0xFF00FF00, half}, V{0xFF000000, 0xFFFF0000, 0xFF00FF00, half},
       V{0, 0xFFFF0000, 0xFF00FF00, half}},
      {"Direct3D 16 pixel path", 1, 16, 1, DTMEMORYTYPE_SYSTEM, DTMEMORYTYPE_VIDEO_RT, false,
       0x8421, V{0x1FFF, 0xFC00, 0x83E0, 0x2000}, V{0x8421, 0xFC00, 0x83E0, 0x2000},
       V{0x1FFF, 0xFC00, 0x83E0, 0x2000}},
      // Into the full-screen 5-6-5 back buffer the pixel path doubles green; the quad path
      // widens it (31 of 31 becomes 63 of 63).
      {"Direct3D 16 pixel path to the full-screen back", 1, 16, 0, -1, DTMEMORYTYPE_SYSTEM, true,
       0x0841, V{0x0000, 0xFC00, 0x83E0, 0x2000}, V{0x0841, 0xF800, 0x07C0, 0x4000},
       V{0x0000, 0xF800, 0x07C0, 0x4000}},
      {"Direct3D 16 quad to the full-screen back", 1, 16, 0, -1, DTMEMORYTYPE_VIDEO_RT, true,
       0x0841, V{0x0000, 0xFC00, 0x83E0, 0x8000}, V{0x0841, 0xF800, 0x07E0, 0x0000},
       V{0xF81F, 0xF800, 0x07E0, 0x0000}},
  };
  for (const Case& c : cases) {
    for (int flags : {1, 0}) {
      SCOPED_TRACE(std::string(c.name) + (flags ? " keyed" : " opaque"));
      Init(c.d3d, c.bpp, c.windowMode);
      DDSURFACEDATA dst, src;
      DDSURFACEDATA* target = &BackBuffer;
      if (!c.toBack) {
        Make(dst, 8, 4, c.background, 0, c.dstMemory);
        target = &dst;
      } else {
        BackBuffer.Pixels()->Fill(c.background);
      }
      Make(src, 4, 1, 0, 1, c.srcMemory);
      Row(src, 0, c.source);
      DDBlt(target, 1, 1, 4, 1, &src, 0, 0, flags);
      EXPECT_EQ(Read(*target, 1, 1, 4), flags ? c.keyed : c.opaque);
      EXPECT_EQ(target->Pixels()->Get(0, 1), c.background);  // nothing outside the rectangle
      DDDestroySurface(&src);
      DDDestroySurface(&dst);
      TearDown();
    }
  }
}

TEST_F(Drawing, VertexColourAndStageOperations) {
  Init(1, 32);
  DDSURFACEDATA dst, src;
  Make(dst, 4, 1, 0xFF204060, 0);
  Make(src, 1, 1, 0xFF808080, 1);
  struct Case {
    int blend[2];
    std::uint32_t alphaOp;
    std::uint32_t want;
  };
  const Case cases[] = {
      {{int(0xFF808080u), D3DTOP_MODULATE}, D3DTOP_SELECTARG1, 0xFF404040},
      {{int(0xFF10C0FFu), D3DTOP_ADD}, D3DTOP_SELECTARG1, 0xFF90FFFF},
      {{int(0xFF10C0FFu), D3DTOP_SUBTRACT}, D3DTOP_SELECTARG1, 0xFF700000},
      {{int(0xFF0000FFu), D3DTOP_SELECTARG2}, D3DTOP_SELECTARG1, 0xFF0000FF},
      // Half the vertex alpha: the texel is mixed half and half with the destination.
      {{int(0x80FFFFFFu), D3DTOP_MODULATE}, D3DTOP_MODULATE, 0xBF506070},
      // The alpha of the vertex colour decides when the alpha stage is off.
      {{int(0x00FFFFFFu), D3DTOP_MODULATE}, D3DTOP_DISABLE, 0xFF204060},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.want);
    dst.Pixels()->Fill(0xFF204060);
    DDSetAlphaOp(c.alphaOp);
    DDBltBlend(&dst, 0, 0, 1, 1, &src, 0, 0, 1, c.blend);
    DDResetAlphaOp();
    EXPECT_EQ(dst.Pixels()->Get(0, 0), c.want);
    EXPECT_EQ(lpDTCon->dwColor, 0xFFFFFFFFu);  // the pair is reset after the blit
    EXPECT_EQ(lpDTCon->dwColorOp, D3DTOP_MODULATE);
  }
  DDDestroySurface(&src);
  DDDestroySurface(&dst);
}

TEST_F(Drawing, StretchAndMirrorInBothPaths) {
  for (int memory : {DTMEMORYTYPE_VIDEO_RT, DTMEMORYTYPE_SYSTEM}) {
    SCOPED_TRACE(memory);
    Init(1, 32);
    DDSURFACEDATA dst, src;
    Make(dst, 32, 32, 0, 0,
         memory == DTMEMORYTYPE_SYSTEM ? DTMEMORYTYPE_SYSTEM : DTMEMORYTYPE_VIDEO_RT);
    Make(src, 32, 32, 0, 0);
    for (int i = 0; i < 32; ++i)
      for (int j = 0; j < 32; ++j) src.Pixels()->Put(i, j, 0xFF000000u | (j << 8) | i);
    DDBltStretch(&dst, 0, 0, 32, 32, &src, 32, 32, -32, -32, 0);
    for (int k : {0, 1, 30, 31}) {
      EXPECT_EQ(dst.Pixels()->Get(k, 0), 0xFF000000u | (31 << 8) | (31 - k));
      EXPECT_EQ(dst.Pixels()->Get(0, k), 0xFF000000u | ((31 - k) << 8) | 31);
    }
    // Twice as large: each source pixel covers two.
    DDBltStretch(&dst, 0, 0, 8, 1, &src, 4, 0, 4, 1, 0);
    EXPECT_EQ(Read(dst, 0, 0, 8), (V{0xFF000004, 0xFF000004, 0xFF000005, 0xFF000005, 0xFF000006,
                                     0xFF000006, 0xFF000007, 0xFF000007}));
    DDDestroySurface(&src);
    DDDestroySurface(&dst);
    TearDown();
  }
  // DirectDraw: nearest source pixel, destination cut to the surface.
  Init(0, 32);
  DDSURFACEDATA src;
  Make(src, 4, 1, 0);
  Row(src, 0, V{1, 2, 3, 4});
  BackBuffer.Pixels()->Fill(9);
  DDBltStretch(&BackBuffer, -2, 0, 8, 1, &src, 0, 0, 4, 1, 0);
  EXPECT_EQ(Read(BackBuffer, 0, 0, 7), (V{2, 2, 3, 3, 4, 4, 9}));
  DDDestroySurface(&src);
}

TEST_F(Drawing, MirroredViewsDrawEachCellFlipped) {
  Init(1, 32);
  DDSURFACEDATA src, view, dst;
  Make(src, 4, 1, 0);
  Row(src, 0, V{0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004});
  view.lpMirror = &src;
  view.nMirrorW = 2;
  Make(dst, 4, 1, 0, 0);
  DDBlt(&dst, 0, 0, 2, 1, &view, 0, 0, 1);
  DDBlt(&dst, 2, 0, 2, 1, &view, 2, 0, 1);
  EXPECT_EQ(Read(dst, 0, 0, 4), (V{0xFF000002, 0xFF000001, 0xFF000004, 0xFF000003}));
  DDDestroySurface(&dst);
  DDDestroySurface(&src);
}

// Rectangles far beyond any surface come from damaged data: they draw nothing, or only what
// lies on the surface, without overflow or endless loops.
TEST_F(Drawing, ExtremeRectangles) {
  for (int d3d : {0, 1}) {
    SCOPED_TRACE(d3d);
    Init(d3d, 32);
    DDSURFACEDATA src, sys;
    Make(src, 4, 4, 0xFF00FF00);
    Make(sys, 4, 4, 0xFF00FF00, 1, DTMEMORYTYPE_SYSTEM);
    BackBuffer.Pixels()->Fill(0);
    const int big = 0x7FFFFFF0, limit = 1 << 28;
    DDBltStretch(&BackBuffer, -big, -big, big, big, &src, 0, 0, 4, 4, 0);
    DDBltStretch(&BackBuffer, 0, 0, 4, 4, &src, big, big, big, big, 0);
    DDBlt(&BackBuffer, big, big, big, big, &src, 0, 0, 0);
    DDBoxFillColor(&BackBuffer, -big, -big, big, big, 0xFF0000FF);
    DDCircle(&BackBuffer, 10, 10, big, 1);
    DDTextOut(&BackBuffer, big, big, 8, 16, &src, "abc");
    DDTextOut(&BackBuffer, 0, 0, limit / 16, limit / 16, &src, "\xFF\n\n\n\n\n\n\n\n\n\n\xFF");
    EXPECT_EQ(BackBuffer.Pixels()->Get(0, 0), 0u);
    // A huge stretch inside the limit draws only the visible part.
    DDBltStretch(&BackBuffer, -limit / 2, 0, limit, 4, &sys, 0, 0, 4, 4, 0);
    DDBltStretch(&BackBuffer, -limit / 2, 8, limit, 4, &src, 0, 0, 4, 4, 0);
    EXPECT_EQ(BackBuffer.Pixels()->Get(0, 0) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(BackBuffer.Pixels()->Get(63, 8) & 0xFFFFFF, 0x00FF00u);
    DDDestroySurface(&sys);
    DDDestroySurface(&src);
    TearDown();
  }
}

TEST_F(Drawing, FillsAreCutToTheSurface) {
  struct Case {
    int d3d, bpp;
    std::uint32_t colour, want;
  };
  const Case cases[] = {{0, 8, 5, 5},
                        {0, 16, 0x07E0, 0x07E0},
                        {0, 32, 0x00FF00, 0x00FF00},
                        {1, 32, 0xFF00FF00, 0xFF00FF00},
                        {1, 16, 0xFF00FF00, 0x83E0}};
  for (const Case& c : cases) {
    for (int memory : {DTMEMORYTYPE_VIDEO_RT, DTMEMORYTYPE_SYSTEM}) {
      SCOPED_TRACE(testing::Message() << c.d3d << " " << c.bpp << " " << memory);
      Init(c.d3d, c.bpp);
      DDSURFACEDATA s;
      Make(s, 16, 2, 0, 0, memory);
      DDBoxFillColor(&s, -10, 0, 20, 1, c.colour);
      EXPECT_EQ(s.Pixels()->Get(9, 0), c.want);
      EXPECT_EQ(s.Pixels()->Get(10, 0), 0u);
      DDBoxFillColor(&s, -10, 1, 100, 5, c.colour);
      EXPECT_EQ(s.Pixels()->Get(0, 1), c.want);
      EXPECT_EQ(s.Pixels()->Get(15, 1), c.want);
      DDDestroySurface(&s);
      TearDown();
    }
  }
}

TEST_F(Drawing, FillsWithTheTransparentColour) {
  Init(1, 32);
  for (int i = 0; i < 256; ++i) g_Palette[i] = PALETTEENTRY{std::uint8_t(i), 0, 0, 0};
  DDSURFACEDATA keyed;
  Make(keyed, 4, 1, 0xFF112233, 1);
  // A keyed render target is cleared to transparent, not blended.
  DDBoxFill(&keyed, 0, 0, 2, 1, 0);
  EXPECT_EQ(Read(keyed, 0, 0, 3), (V{0, 0, 0xFF112233}));
  // On the screen palette 0 is an invisible quad.
  BackBuffer.Pixels()->Fill(0x445566);
  DDClear(&BackBuffer, 0);
  EXPECT_EQ(BackBuffer.Pixels()->Get(5, 5), 0x445566u);
  DDPutPixel(&BackBuffer, 3, 3, 200);
  EXPECT_EQ(BackBuffer.Pixels()->Get(3, 3), 0xC80000u);
  DDPutPixel(&BackBuffer, 64, 3, 200);      // outside: nothing, no fault
  DDBoxFill(&BackBuffer, 0, 0, 1, 1, 256);  // beyond the palette: colour 0, logged
  EXPECT_EQ(BackBuffer.Pixels()->Get(0, 0), 0x445566u);
  DDDestroySurface(&keyed);
}

TEST_F(Drawing, CirclePoints) {
  Init(0, 8);
  auto points = [](int radius) {
    BackBuffer.Pixels()->Fill(0);
    DDCircle(&BackBuffer, 10, 10, radius, 1);
    std::vector<std::pair<int, int>> out;
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x)
        if (BackBuffer.Pixels()->Get(x, y)) out.emplace_back(x - 10, y - 10);
    return out;
  };
  EXPECT_TRUE(points(0).empty());
  EXPECT_EQ(points(1), (std::vector<std::pair<int, int>>{{0, -1}, {-1, 0}, {1, 0}, {0, 1}}));
  const auto five = points(5);
  EXPECT_EQ(five.size(), 28u);
  for (auto [x, y] : five) {
    const int d = x * x + y * y;
    EXPECT_TRUE(d >= 16 && d <= 34) << x << "," << y;
  }
  DDCircle(&BackBuffer, 0, 0, 20, 1);  // partly outside the surface
}

TEST_F(Drawing, BitmapTextLayout) {
  for (int d3d : {0, 1}) {
    SCOPED_TRACE(d3d);
    Init(d3d, 32);
    // A font sheet whose cell (column, row) holds the colour row * 16 + column + 1.
    DDSURFACEDATA font;
    Make(font, 128, 256, 0, 1);
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 128; ++x)
        font.Pixels()->Put(x, y, 0xFF000000u | ((y / 16) * 16 + x / 8 + 1));
    BackBuffer.Pixels()->Fill(0);
    auto at = [](int x, int y) { return BackBuffer.Pixels()->Get(x, y) & 0xFFFFFF; };
    DDTextOut(&BackBuffer, 0, 16, 8, 16, &font, "AB\nC");
    EXPECT_EQ(at(0, 16), 0x42u);
    EXPECT_EQ(at(8, 16), 0x43u);
    EXPECT_EQ(at(0, 32), 0x44u);
    // Half-width katakana: 0xB1 from row 1, 0xC1 from row 8.
    DDTextOutF(&BackBuffer, 16, 0, 8, 16, &font, "%c%c", 0xB1, 0xC1);
    EXPECT_EQ(at(16, 0), 0x12u);
    EXPECT_EQ(at(24, 0), 0x82u);
    // The screen is 64 wide: the ninth cell goes on the next line.
    BackBuffer.Pixels()->Fill(0);
    DDTextOut(&BackBuffer, 0, 0, 8, 16, &font, "012345678");
    EXPECT_EQ(at(56, 0), 0x38u);
    EXPECT_EQ(at(0, 16), 0x39u);
    DDDestroySurface(&font);
    TearDown();
  }
}

TEST_F(Drawing, SpriteBatchRunsAndOrder) {
  Init(1, 32);
  DDSURFACEDATA a, b, c, dst;
  Make(a, 1, 1, 0xFF0000AA);
  Make(b, 1, 1, 0xFF0000BB);
  Make(c, 1, 1, 0xFF0000CC);
  Make(dst, 8, 1, 0, 0);
  auto runs = [] {
    std::vector<std::pair<DDSURFACEDATA*, int>> out;
    for (const sBatchRun& r : DDLastBatchRuns()) out.emplace_back(r.lpSrc, r.nCount);
    return out;
  };
  DDSpriteBatchBegin(0);
  DDBlt(&dst, 0, 0, 1, 1, &a, 0, 0, 1);
  DDBlt(&dst, 1, 0, 1, 1, &b, 0, 0, 1);
  DDBlt(&dst, 2, 0, 1, 1, &a, 0, 0, 1);
  EXPECT_EQ(dst.Pixels()->Get(0, 0), 0u);  // recorded, not drawn yet
  DDSpriteBatchFlush();
  EXPECT_EQ(runs(), (std::vector<std::pair<DDSURFACEDATA*, int>>{{&a, 1}, {&b, 1}, {&a, 1}}));
  EXPECT_EQ(Read(dst, 0, 0, 3), (V{0xFF0000AA, 0xFF0000BB, 0xFF0000AA}));

  // Sorted: unregistered sources first, then by registration, each in submission order; all
  // drawn on one pixel, so the last one drawn shows.
  DDSpriteBatchBegin(1);
  DDSpriteBatchKey(&a);
  DDSpriteBatchKey(&b);
  DDSpriteBatchKey(&a);
  for (DDSURFACEDATA* s : {&b, &a, &c, &a, &b}) DDBlt(&dst, 7, 0, 1, 1, s, 0, 0, 1);
  DDSpriteBatchFlush();
  EXPECT_EQ(runs(), (std::vector<std::pair<DDSURFACEDATA*, int>>{{&c, 1}, {&a, 2}, {&b, 2}}));
  EXPECT_EQ(dst.Pixels()->Get(7, 0), 0xFF0000BBu);

  // Opening a batch inside an open one draws what was recorded first.
  dst.Pixels()->Fill(0);
  DDSpriteBatchBegin(0);
  DDBlt(&dst, 0, 0, 1, 1, &a, 0, 0, 1);
  DDSpriteBatchBegin(0);
  DDBlt(&dst, 1, 0, 1, 1, &b, 0, 0, 1);
  DDSpriteBatchFlush();
  EXPECT_EQ(Read(dst, 0, 0, 2), (V{0xFF0000AA, 0xFF0000BB}));

  DDSpriteBatchBegin(0);
  DDSpriteBatchFlush();  // an empty flush only closes: the next blit draws at once
  DDBlt(&dst, 3, 0, 1, 1, &c, 0, 0, 1);
  EXPECT_EQ(dst.Pixels()->Get(3, 0), 0xFF0000CCu);
  for (DDSURFACEDATA* s : {&a, &b, &c, &dst}) DDDestroySurface(s);
}

TEST_F(Drawing, BoxBatchRunsPerDestination) {
  Init(1, 32);
  DDSURFACEDATA one, two;
  Make(one, 4, 1, 0xFF000000, 0);
  Make(two, 4, 1, 0xFF000000, 0);
  DDBoxBatchBegin();
  DDBoxFillColor(&one, 0, 0, 1, 1, 0xFF112233);
  DDBoxFillColor(&one, 1, 0, 1, 1, 0xFF112233);
  DDBoxFillColor(&two, 0, 0, 2, 1, 0x80FFFFFF);
  EXPECT_EQ(one.Pixels()->Get(0, 0), 0xFF000000u);
  DDBoxBatchFlush();
  ASSERT_EQ(DDLastBatchRuns().size(), 2u);
  EXPECT_EQ(DDLastBatchRuns()[0].nCount, 2);
  EXPECT_EQ(Read(one, 0, 0, 3), (V{0xFF112233, 0xFF112233, 0xFF000000}));
  EXPECT_EQ(two.Pixels()->Get(1, 0), 0xBF808080u);  // alpha blended too
  DDDestroySurface(&one);
  DDDestroySurface(&two);
}

TEST_F(Drawing, BatchesDrawAtOnceInDirectDraw) {
  Init(0, 32);
  DDSURFACEDATA src;
  Make(src, 1, 1, 0x00AA00);
  BackBuffer.Pixels()->Fill(0);
  DDSpriteBatchBegin(1);
  DDSpriteBatchKey(&src);
  DDBlt(&BackBuffer, 2, 2, 1, 1, &src, 0, 0, 1);
  EXPECT_EQ(BackBuffer.Pixels()->Get(2, 2), 0x00AA00u);
  DDSpriteBatchFlush();
  DDBoxBatchBegin();
  DDBoxFillColor(&BackBuffer, 0, 0, 1, 1, 0x0000BB);
  EXPECT_EQ(BackBuffer.Pixels()->Get(0, 0), 0x0000BBu);
  DDBoxBatchFlush();
  DDDestroySurface(&src);
}

TEST_F(Drawing, VirBackBufferCollectsTheFrame) {
  Init(1, 32);
  DDSURFACEDATA src;
  Make(src, 2, 2, 0xFF00FF00, 0);
  BackBuffer.Pixels()->Fill(0x111111);
  DDSetVirBackBuffer(0);  // off while off: nothing copied
  EXPECT_EQ(BackBuffer.Pixels()->Get(0, 0), 0x111111u);

  DDSetVirBackBuffer(1);
  VirBackBuffer.Pixels()->Fill(0xFF222222);
  DDBlt(&BackBuffer, 0, 0, 2, 2, &src, 0, 0, 1);
  DDBoxFillColor(&BackBuffer, 4, 0, 1, 1, 0xFF0000FF);
  {
    cDDLock lock(&BackBuffer, 32);  // locks reach it too
    EXPECT_EQ(lock.m_lpSD, &VirBackBuffer);
  }
  EXPECT_EQ(BackBuffer.Pixels()->Get(0, 0), 0x111111u);
  EXPECT_EQ(VirBackBuffer.Pixels()->Get(0, 0), 0xFF00FF00u);
  EXPECT_FALSE(DDIsFullscreenBack(&VirBackBuffer));

  // The present shows the collected picture, opaque.
  VirBackBuffer.Pixels()->Put(5, 0, 0x00ABCDEF);
  EXPECT_EQ(DDPresent(60, 0, nullptr), 1);
  EXPECT_EQ(BackBuffer.Pixels()->Get(0, 0), 0x00FF00u);
  EXPECT_EQ(BackBuffer.Pixels()->Get(4, 0), 0x0000FFu);
  EXPECT_EQ(BackBuffer.Pixels()->Get(5, 0), 0xABCDEFu);
  EXPECT_EQ(lpDTCon->dwAlphaOp, D3DTOP_SELECTARG1);

  // Switched off, the last picture is copied once; drawing reaches the screen again.
  VirBackBuffer.Pixels()->Put(6, 0, 0xFF333333);
  DDSetVirBackBuffer(0);
  EXPECT_EQ(BackBuffer.Pixels()->Get(6, 0), 0x333333u);
  DDBoxFillColor(&BackBuffer, 7, 0, 1, 1, 0xFF444444);
  EXPECT_EQ(BackBuffer.Pixels()->Get(7, 0), 0x444444u);
  DDDestroySurface(&src);
}

// At 16 bits in full screen the collected picture keeps the texture layout; the copy at the
// present converts it to the screen's 5-6-5.
TEST_F(Drawing, VirBackBufferKeepsTheTextureLayout) {
  Init(1, 16, 0);
  DDSURFACEDATA src;
  Make(src, 1, 1, 0xFC00, 1, DTMEMORYTYPE_SYSTEM);
  BackBuffer.Pixels()->Fill(0);
  DDSetVirBackBuffer(1);
  DDBlt(&BackBuffer, 2, 2, 1, 1, &src, 0, 0, 1);
  EXPECT_EQ(VirBackBuffer.Pixels()->Get(2, 2), 0xFC00u);
  EXPECT_EQ(BackBuffer.Pixels()->Get(2, 2), 0u);
  EXPECT_EQ(DDPresent(60, 0, nullptr), 1);
  EXPECT_EQ(BackBuffer.Pixels()->Get(2, 2), 0xF800u);
  DDSetVirBackBuffer(0);
  DDDestroySurface(&src);
}

TEST_F(Drawing, PresentReportsALostDevice) {
  Init(0, 32);
  EXPECT_EQ(DDPresent(60, 0, nullptr), 1);
  TearDown();
  Init(1, 32);
  DDBeginScene();
  DDSimulateDeviceLoss();
  EXPECT_EQ(DDPresent(60, 0, nullptr), 0);
  EXPECT_EQ(lpDTCon->bInScene, 0);
}

TEST_F(Drawing, PixelRulesOfTheEffects) {
  Init(1, 16, 0);
  EXPECT_TRUE(DDIsFullscreenBack(&BackBuffer));
  EXPECT_FALSE(DDIsFullscreenBack(&WorkSD));
  struct Case {
    std::uint32_t pixel;
    bool transparent;
  };
  for (const Case& c :
       {Case{0x2000, false}, Case{0x8000, false}, Case{0x0000, true}, Case{0x1FFF, true}})
    EXPECT_EQ(IsTransparentPixel(c.pixel, 16), c.transparent) << c.pixel;
  EXPECT_TRUE(IsTransparentPixel(0x00FFFFFF, 32));
  EXPECT_FALSE(IsTransparentPixel(0x01000000, 32));
  EXPECT_EQ(ComposeD3D16(31, 31, 31, true), 0xFFDFu);   // green doubled, no alpha
  EXPECT_EQ(ComposeD3D16(31, 31, 31, false), 0xFFFFu);  // texture layout with the alpha bit
  EXPECT_EQ(ComposeD3D16(32, 0, 0, false), 0x8000u);    // channels masked
  EXPECT_EQ(ChannelTo8(15, 31), 123);
  EXPECT_EQ(ChannelFrom8(123, 31), 14);
  // One surface as destination and source: the second lock fails, nothing is held after.
  {
    cEffectLocks locks(&WorkSD, &WorkSD, 16);
    EXPECT_FALSE(locks.Ok());
  }
  {
    cEffectLocks again(&WorkSD, &VirBackBuffer, 16);
    EXPECT_TRUE(again.Ok());
  }
  TearDown();
  Init(0, 32);
  g_dwTransmit = 0x123456;
  EXPECT_TRUE(IsTransparentPixel(0x123456, 32));
  EXPECT_FALSE(IsTransparentPixel(0xFF123456, 32));
  EXPECT_EQ(Compose32(1, 2, 3, 0xAB000000), 0xAB010203u);
}

TEST_F(Drawing, MessageBoxOverAFullScreenDevice) {
  Init(1, 32, 0);
  platform::SetMessageBoxHandler(
      [](const std::string&, const std::string&, int) { return platform::kAnswerYes; });
  DDBeginScene();
  EXPECT_EQ(DDMesBox("q", "c", MB_YESNO), IDYES);
  EXPECT_EQ(lpDTCon->bInScene, 0);  // the dialog mode leaves the scene
  EXPECT_EQ(MesBox("q", "c", MB_YESNO), IDYES);
  platform::SetMessageBoxHandler(nullptr);
  TearDown();
  Init(1, 32, 1);
  DDBeginScene();
  EXPECT_EQ(DDSetDialogMode(1), 1);
  EXPECT_EQ(lpDTCon->bInScene, 1);  // windowed: nothing touched
}

}  // namespace
