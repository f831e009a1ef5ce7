#include <gtest/gtest.h>

#include "bmp_fixture.h"
#include "foundation/report.h"
#include "media/device.h"
#include "media/palette.h"
#include "media/present.h"
#include "media/surface_create.h"
#include "media/surface_list.h"
#include "platform/bitmap_file.h"
#include "platform/close_request.h"
#include "platform/video.h"

namespace {

constexpr std::uint32_t kMagenta = 0xFF00FF, kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

// A 4x2 picture: the transparent colour, then three colours.
const std::vector<std::uint32_t> kTable = {kMagenta, kRed, kGreen, kBlue};
const std::vector<std::uint32_t> kIdx = {0, 1, 2, 3, 3, 2, 1, 0};
std::vector<std::uint32_t> Colours() {
  std::vector<std::uint32_t> c;
  for (auto i : kIdx) c.push_back(kTable[i]);
  return c;
}

class Surfaces : public ::testing::Test {
 protected:
  void Init(int d3d, int bpp) {
    ASSERT_TRUE(DDInit(d3d, nullptr, 64, 48, bpp, 0, 1, 1, 60, 0, nullptr, nullptr, 0));
  }
  void TearDown() override {
    DDRelease();
    g_dwTransmit = 0;
    platform::ResetCloseRequest();
  }
  cTempFolder folder;
};

TEST(BitmapFile, EveryDepthDecodesToTheSameColours) {
  cTempFolder folder;
  for (int bits : {1, 4, 8, 16, 24, 32}) {
    SCOPED_TRACE(bits);
    std::vector<std::uint32_t> px;
    std::vector<std::uint32_t> table = kTable;
    if (bits == 1) {
      table = {kMagenta, kRed};
      for (auto i : kIdx) px.push_back(i & 1);
    } else if (bits <= 8) {
      px.assign(kIdx.begin(), kIdx.end());
    } else {
      px = Colours();
    }
    WriteBytes("a.bmp", MakeBmp(4, 2, bits, px, table));
    platform::sBitmapImage image;
    ASSERT_EQ(platform::LoadBitmapFile("A.BMP", image), platform::eBitmapError::None);
    EXPECT_EQ(image.nBitCount, bits);
    for (int i = 0; i < 8; ++i) {
      const std::uint32_t want = bits == 1 ? table[kIdx[i] & 1] : Colours()[i];
      // 16-bit files keep 5 bits a channel.
      EXPECT_EQ(image.Rgb(i % 4, i / 4) & (bits == 16 ? 0xF8F8F8 : 0xFFFFFF),
                want & (bits == 16 ? 0xF8F8F8 : 0xFFFFFF));
    }
  }
}

TEST(BitmapFile, DamagedFilesAreRefusedWithAReason) {
  cTempFolder folder;
  auto good = MakeBmp(4, 2, 24, Colours());
  auto truncated = good;
  truncated.resize(good.size() - 5);
  auto unknownDepth = good;
  unknownDepth[28] = 7;
  auto huge = good;
  huge[18] = 0xFF;
  huge[19] = 0xFF;
  huge[20] = 0;
  huge[21] = 0;  // 65535 wide
  auto negativeWidth = good;
  negativeWidth[21] = 0x80;
  auto compressed = good;
  compressed[30] = 9;
  struct sCase {
    const char* name;
    std::vector<std::uint8_t> bytes;
    platform::eBitmapError want;
  };
  const sCase cases[] = {
      {"truncated", truncated, platform::eBitmapError::Damaged},
      {"depth", unknownDepth, platform::eBitmapError::NotBitmap},
      {"huge", huge, platform::eBitmapError::TooLarge},
      {"negative", negativeWidth, platform::eBitmapError::Damaged},
      {"compression", compressed, platform::eBitmapError::NotBitmap},
      {"text", std::vector<std::uint8_t>{'h', 'i'}, platform::eBitmapError::NotBitmap},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    platform::sBitmapImage image;
    EXPECT_EQ(platform::DecodeBitmap(c.bytes.data(), c.bytes.size(), image), c.want);
    EXPECT_EQ(image.nWidth, 0);
  }
  platform::sBitmapImage image;
  EXPECT_EQ(platform::LoadBitmapFile("missing.bmp", image), platform::eBitmapError::CannotOpen);
}

// How each mode and depth keeps a picture whose first colour is the transparent colour.
TEST_F(Surfaces, LoadedPicturesKeepTheTransparentColourRules) {
  WriteBytes("p8.bmp",
             MakeBmp(4, 2, 8, std::vector<std::uint32_t>(kIdx.begin(), kIdx.end()), kTable));
  WriteBytes("p24.bmp", MakeBmp(4, 2, 24, Colours()));
  struct sCase {
    int d3d, bpp;
    const char* file;
    std::uint32_t key, red, blue;
  };
  const sCase cases[] = {
      {1, 32, "p8.bmp", 0, 0xFFFF0000, 0xFF0000FF},
      {1, 32, "p24.bmp", 0, 0xFFFF0000, 0xFF0000FF},
      {1, 16, "p24.bmp", 0, 0xFC00, 0x801F},
      {0, 32, "p24.bmp", 0xFF00FF, 0xFF0000, 0x0000FF},
      {0, 16, "p24.bmp", 0xF81F, 0xF800, 0x001F},
      {0, 16, "p8.bmp", 0xF81F, 0xF800, 0x001F},
      {0, 8, "p8.bmp", 0, 1, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.d3d << " " << c.bpp << " " << c.file);
    Init(c.d3d, c.bpp);
    if (c.bpp == 16 && c.d3d) lpDTCon->rgbTransmit_16 = RGBTRIPLE{0xFF, 0, 0xFF};
    if (c.bpp == 16 && !c.d3d) lpDDCon->rgbTransmit_16 = RGBTRIPLE{0xFF, 0, 0xFF};
    if (c.d3d && c.bpp == 32) DDSetTransmit(0xFF, 0, 0xFF);
    if (!c.d3d && c.bpp > 8) DDSetTransmit(0xFF, 0, 0xFF);
    DDSURFACEDATA s;
    ASSERT_EQ(DDCreateSurfaceFromFile(&s, c.file, 1, c.bpp, 0, 0, 0, 0, 0, 0, 0), 0);
    cPixelSurface* px = s.Pixels();
    EXPECT_EQ(px->Get(0, 0), c.key);
    EXPECT_EQ(px->Get(1, 0), c.red);
    EXPECT_EQ(px->Get(3, 0), c.blue);
    EXPECT_EQ(s.nWidth, 4);
    DDDestroySurface(&s);
    DDRelease();
  }
}

TEST_F(Surfaces, SixteenBitKeyNudgesALookAlikeColourOneStep) {
  Init(0, 16);
  lpDDCon->rgbTransmit_16 = RGBTRIPLE{0xFF, 0, 0xFF};
  DDSetTransmit(0xFF, 0, 0xFF);  // 0xF81F
  // 0xFF03FF is not the key colour but converts to the key's pixel value.
  WriteBytes("n.bmp", MakeBmp(2, 1, 24, {kMagenta, 0xFF03FF}));
  DDSURFACEDATA s;
  ASSERT_EQ(DDCreateSurfaceFromFile(&s, "n.bmp", 1, 16, 0, 0, 0, 0, 0, 0, 0), 0);
  EXPECT_EQ(s.Pixels()->Get(0, 0), 0xF81Fu);
  EXPECT_EQ(s.Pixels()->Get(1, 0), 0xF81Eu);  // blue at its maximum: one down
  DDDestroySurface(&s);
}

TEST_F(Surfaces, TransparentColourForms) {
  Init(1, 32);
  g_Palette[5] = PALETTEENTRY{1, 2, 3, 0};
  DDSetTransmit(255, 0, 255);
  EXPECT_EQ(lpDTCon->dwTransmitTex, 0u);
  EXPECT_EQ(lpDTCon->dwTransmitBack, 0xFFFF00FFu);
  EXPECT_EQ(g_dwTransmit, 0u);
  EXPECT_EQ(PalNumToRGB(0), 0u);
  EXPECT_EQ(PalNumToRGB(5), 0xFF010203u);
  EXPECT_EQ(PalNumToRGB(256), 0u);
  DDRelease();
  Init(0, 32);
  DDSetTransmit(255, 0, 0);
  EXPECT_EQ(g_dwTransmit, 0x00FF0000u);
  DDRelease();
  Init(0, 16);
  DDSetTransmit(255, 255, 255);
  EXPECT_EQ(g_dwTransmit, 0xFFFFu);
  DDRelease();
  Init(1, 16);
  DDSetTransmit(31, 0, 31);
  EXPECT_EQ(lpDTCon->wTransmitBack_16, 0xFC1Fu);
  EXPECT_EQ(lpDTCon->dwTransmitBack, 0xFFFF00FFu);  // widened to 8 bits, not 5-bit values
}

TEST_F(Surfaces, TransparentColourFromThePaletteFile) {
  WriteBytes("pal.bmp", MakeBmp(4, 2, 24, Colours()));
  for (int d3d : {0, 1}) {
    Init(d3d, 32);
    ASSERT_TRUE(DDSetTransmitFromFile("pal.bmp"));
    if (d3d)
      EXPECT_EQ(lpDTCon->dwTransmitBack, 0xFFFF00FFu);
    else
      EXPECT_EQ(g_dwTransmit, 0xFF00FFu);
    EXPECT_FALSE(DDSetTransmitFromFile("none.bmp"));
    DDRelease();
  }
}

TEST_F(Surfaces, PaletteFromAnIndexedFileAtEightBits) {
  std::vector<std::uint32_t> table(256);
  for (int i = 0; i < 256; ++i) table[i] = static_cast<std::uint32_t>(i) << 8;
  WriteBytes("pal8.bmp", MakeBmp(16, 24, 8, std::vector<std::uint32_t>(16 * 24, 0), table));
  Init(0, 8);
  PALETTEENTRY pal[256];
  ASSERT_TRUE(DDLoadPaletteFromFile(pal, "pal8.bmp"));
  EXPECT_EQ(pal[9].peFlags, PC_EXPLICIT);
  EXPECT_EQ(pal[10].peFlags, PC_RESERVED);
  EXPECT_EQ(pal[246].peFlags, PC_EXPLICIT);
  EXPECT_EQ(pal[77].peGreen, 77);
  EXPECT_EQ(g_lpDDPalette->entries[77].peGreen, 77);
  // An 8-bit screen cannot take its palette from a picture without a colour table.
  WriteBytes("pal24.bmp", MakeBmp(16, 24, 24, std::vector<std::uint32_t>(16 * 24, 0)));
  EXPECT_FALSE(DDLoadPaletteFromFile(pal, "pal24.bmp"));
}

TEST_F(Surfaces, PaletteReadFromTheBlockAtRowEight) {
  std::vector<std::uint32_t> px(16 * 24, 0);
  px[8 * 16 + 5] = 0x102030;  // entry 5
  px[9 * 16 + 0] = 0x405060;  // entry 16
  WriteBytes("pal.bmp", MakeBmp(16, 24, 24, px));
  Init(0, 32);
  PALETTEENTRY pal[256] = {};
  ASSERT_TRUE(DDLoadPaletteFromFile(pal, "pal.bmp"));
  EXPECT_EQ(pal[5].peRed, 0x10);
  EXPECT_EQ(pal[16].peBlue, 0x60);
  // A picture smaller than the block gives what it holds, nothing beyond it.
  WriteBytes("small.bmp", MakeBmp(4, 9, 24, std::vector<std::uint32_t>(36, 0x010101)));
  PALETTEENTRY small[256] = {};
  ASSERT_TRUE(DDLoadPaletteFromFile(small, "small.bmp"));
  EXPECT_EQ(small[3].peRed, 1);
  EXPECT_EQ(small[4].peRed, 0);
}

TEST_F(Surfaces, IndexMapTakesTheFirstEntryOfAColour) {
  Init(0, 32);
  g_Palette[7] = g_Palette[9] = PALETTEENTRY{0x12, 0x34, 0x56, 0};
  WriteBytes("m.bmp", MakeBmp(2, 1, 24, {0x123456, 0x123457}));
  DDSURFACEDATA s;
  ASSERT_EQ(DDCreateSurfaceFromFile(&s, "m.bmp", 0, 32, 1, 0, 0, 1, 0, 0, 0), 0);
  ASSERT_FALSE(s.lpDDData->lpIndexMap.empty());
  EXPECT_EQ(s.lpDDData->lpIndexMap[0], 7);
  EXPECT_EQ(s.lpDDData->lpIndexMap[1], 7);  // no exact entry: the nearest
  DDDestroySurface(&s);
}

TEST_F(Surfaces, ASecondLockOfTheSameSurfaceFails) {
  Init(1, 32);
  DDSURFACEDATA s;
  ASSERT_TRUE(DDCreateSurface(&s, 8, 8, 1, 0, 0, 0, 0));
  {
    cDDLock first(&s, 32);
    ASSERT_NE(first.m_lpBits, nullptr);
    EXPECT_EQ(first.m_nPitch % 4, 0);
    cDDLock second(&s, 32);
    EXPECT_EQ(second.m_lpBits, nullptr);
  }
  cDDLock again(&s, 32);
  EXPECT_NE(again.m_lpBits, nullptr);
  cDDLock wrongDepth(&WorkSD, 16);
  EXPECT_EQ(wrongDepth.m_lpBits, nullptr);
}

TEST_F(Surfaces, TextureSizesAreRounded) {
  Init(1, 16);
  lpDTCon->bPow2 = 1;
  DDSURFACEDATA s;
  ASSERT_TRUE(DDCreateSurface(&s, 100, 60, 1, 0, 0, 0, 0));
  EXPECT_EQ(s.nTexWidth, 128);
  EXPECT_EQ(s.nTexHeight, 64);
  EXPECT_EQ(s.nWidth, 100);
  DDDestroySurface(&s);
  lpDTCon->bSquareOnly = 1;
  ASSERT_TRUE(DDCreateSurface(&s, 100, 60, 1, 0, 0, 0, 0));
  EXPECT_EQ(s.nTexHeight, 128);
  DDDestroySurface(&s);
}

TEST(Mirror, CellFormulaAndRectangles) {
  const int want[] = {3, 2, 1, 0, 7, 6, 5, 4};
  for (int x = 0; x < 8; ++x) EXPECT_EQ(MirrorIndex(x, 4), want[x]);
  DDSURFACEDATA view;
  view.nMirrorW = 32;
  struct sCase {
    int sx, sw, wantX, wantW;
  };
  for (const sCase& c : {sCase{0, 32, 32, -32}, sCase{40, 8, 56, -8}, sCase{0, 64, 0, 64}}) {
    int sx = c.sx, sy = 0, sw = c.sw, sh = 16;
    DDMirrorRect(&view, &sx, &sy, &sw, &sh);
    EXPECT_EQ(sx, c.wantX);
    EXPECT_EQ(sw, c.wantW);  // a narrow rectangle keeps its own width, flipped
    EXPECT_EQ(sh, 16);
  }
}

TEST_F(Surfaces, MirroredLoadsAndViews) {
  WriteBytes("m.bmp", MakeBmp(4, 2, 24, Colours()));
  Init(0, 32);
  DDSURFACEDATA flipped;
  ASSERT_EQ(DDCreateSurfaceFromFile(&flipped, "m.bmp", 1, 32, 0, 0, 1, 0, 2, 0, 0), 0);
  EXPECT_EQ(flipped.Pixels()->Get(0, 0), kRed);  // cells of 2: columns 1, 0, 3, 2
  EXPECT_EQ(flipped.Pixels()->Get(2, 0), kBlue);
  DDDestroySurface(&flipped);
  DDRelease();

  Init(1, 32);
  DDSURFACEDATA source, view;
  ASSERT_EQ(DDCreateSurfaceFromFile(&source, "m.bmp", 1, 32, 0, 0, 0, 0, 0, 0, 0), 0);
  view.lpMirror = &source;
  ASSERT_EQ(DDCreateSurfaceFromFile(&view, "m.bmp", 1, 32, 0, 0, 1, 0, 2, 0, 0), 0);
  EXPECT_EQ(view.Pixels(), nullptr);  // no pixels of its own
  EXPECT_EQ(view.lpMirror, &source);
  EXPECT_EQ(view.nMirrorW, 2);
  cDDLock lock(&view, 32);
  EXPECT_EQ(lock.m_lpSD, &source);
  EXPECT_EQ(g_SurfaceRestoreList.size(), 3u);  // VirBackBuffer, WorkSD, source
}

TEST_F(Surfaces, DeviceLossRestoresEverySurface) {
  WriteBytes("f.bmp", MakeBmp(4, 2, 24, Colours()));
  Init(1, 32);
  DDSetTransmit(255, 0, 255);
  cVector<DDSURFACEDATA> surfaces(4);
  ASSERT_EQ(DDCreateSurfaceFromFile(&surfaces[0], "f.bmp", 1, 32, 0, 0, 0, 0, 0, 0, 0), 0);
  ASSERT_TRUE(DDCreateSurface(&surfaces[1], 4, 4, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
  ASSERT_TRUE(DDCreateSurface(&surfaces[2], 4, 4, 1, 0, DTMEMORYTYPE_SYSTEM, 0, 0));
  ASSERT_EQ(
      DDCreateSurfaceFromFile(&surfaces[3], "f.bmp", 1, 32, 0, DTMEMORYTYPE_SYSTEM, 0, 0, 0, 0, 0),
      0);
  surfaces[1].Pixels()->Put(0, 0, 0xFF123456);
  surfaces[2].Pixels()->Put(0, 0, 0xFF654321);
  surfaces[3].Pixels()->Put(1, 0, 0xFF0000FF);  // drawn on after the load
  surfaces.reserve(100);                        // records move: the restore list follows them
  EXPECT_EQ(DDRestoreSurface(), 0);             // nothing lost: nothing released
  EXPECT_EQ(surfaces[1].Pixels()->Get(0, 0), 0xFF123456u);
  DDSimulateDeviceLoss();
  ASSERT_EQ(DDRestoreSurface(), 1);
  EXPECT_EQ(surfaces[0].Pixels()->Get(1, 0), 0xFFFF0000u);
  EXPECT_EQ(surfaces[0].bLost, 0);
  EXPECT_EQ(surfaces[1].Pixels()->Get(0, 0), 0xFFFF00FFu);  // the key colour, not stale pixels
  EXPECT_EQ(surfaces[1].bLost, 1);
  EXPECT_EQ(surfaces[2].Pixels()->Get(0, 0), 0xFF654321u);
  // A system-memory texture from a file survives the reset as it is: not loaded again.
  const cPixelSurface* kept = surfaces[3].Pixels();
  EXPECT_EQ(kept->Get(1, 0), 0xFF0000FFu);
  EXPECT_EQ(kept->Get(2, 0), 0xFF00FF00u);
  EXPECT_EQ(surfaces[3].bLost, 0);
  DDReleaseSurfaces(surfaces);
}

TEST_F(Surfaces, SurfaceLossRestoresFromFilesOffScreen) {
  WriteBytes("f.bmp", MakeBmp(4, 2, 24, Colours()));
  cBmpInfo infos[2];
  infos[0].Set("f.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  infos[1].Set("E", 1, 0, 0, 0, 0, 0, 0, 0, 8, 8);
  DDSURFACEDATA surfaces[2];
  ASSERT_TRUE(DDInit(0, nullptr, 64, 48, 32, 0, 1, 1, 60, 0, surfaces, infos, 2));
  ASSERT_TRUE(DDLoadSurfaces(surfaces, nullptr, 2));
  DDSimulateDeviceLoss();
  EXPECT_NE(surfaces[0].Pixels()->Get(1, 0), kRed);
  ASSERT_TRUE(DDRestore());
  EXPECT_EQ(surfaces[0].Pixels()->Get(1, 0), kRed);
  EXPECT_EQ(surfaces[1].bLost, 1);
  DDRelease();  // before the surface table goes
}

TEST_F(Surfaces, ListsInsertAndRemove) {
  Init(0, 32);
  cList<DDSURFACEDATA> list;
  cList<cBmpInfo> infos;
  ASSERT_TRUE(DDAddSurfaceToList(list, infos, 4, 4, 1, 0, 0, 0));
  ASSERT_TRUE(DDInsertSurface(list, infos, 1, 5, 5, 1, 0, 0, 0));   // index == count appends
  ASSERT_TRUE(DDInsertSurface(list, infos, -3, 6, 6, 1, 0, 0, 0));  // negative appends
  ASSERT_TRUE(DDInsertSurface(list, infos, 0, 7, 7, 1, 0, 0, 0));   // front
  std::vector<int> widths;
  for (auto& s : list) widths.push_back(s.nWidth);
  EXPECT_EQ(widths, (std::vector<int>{7, 4, 5, 6}));
  EXPECT_EQ(infos.size(), 4u);
  DDSURFACEDATA stranger;
  EXPECT_EQ(DDRemoveSurface(list, infos, &stranger), 0);
  EXPECT_EQ(DDRemoveSurface(list, infos, &list.front()), 1);
  EXPECT_EQ(list.size(), 3u);
  EXPECT_EQ(infos.size(), 3u);
}

TEST_F(Surfaces, SetUpFailuresAndFallBack) {
  EXPECT_FALSE(DDInit(1, nullptr, 64, 48, 24, 0, 1, 1, 60, 0, nullptr, nullptr, 0));
  DDRelease();
  EXPECT_EQ(lpDTCon, nullptr);
  ASSERT_TRUE(DDInit(0, nullptr, 64, 48, 16, 0, 1, 1, 60, 0, nullptr, nullptr, 0));
  EXPECT_EQ(lpDTCon, nullptr);
  EXPECT_NE(lpDDCon, nullptr);
  EXPECT_EQ(g_PixelLayout.nMaxG, 63);
  EXPECT_TRUE(DDLogInitError(0));
  EXPECT_TRUE(DDLogInitError(LOADIMAGE_ERR));
  EXPECT_FALSE(DDLogInitError(SETDISPLAYMODE_ERR));
  DDRelease();
  EXPECT_FALSE(DDInit(0, nullptr, 64, 48, 32, 0, 5, 1, 60, 0, nullptr, nullptr, 0));
}

TEST_F(Surfaces, PaletteChangesReachThePresentedFrame) {
  Init(0, 8);
  while (platform::PresentPendingFrame()) {
  }
  BackBuffer.Pixels()->Fill(7);
  PALETTEENTRY entry{10, 20, 30, 0};
  g_lpDDPalette->SetEntries(7, 1, &entry);
  DDHandOverFrame();
  entry = PALETTEENTRY{200, 100, 50, 0};
  g_lpDDPalette->SetEntries(7, 1, &entry);
  DDHandOverFrame();  // each frame keeps the palette it was handed over with
  std::vector<std::uint32_t> shown;
  int w = 0, h = 0;
  ASSERT_TRUE(platform::PresentPendingFrame());
  ASSERT_TRUE(platform::LastPresentedFrame(shown, w, h));
  EXPECT_EQ(w, 64);
  EXPECT_EQ(shown[100], 0x0A141Eu);
  ASSERT_TRUE(platform::PresentPendingFrame());
  EXPECT_FALSE(platform::PresentPendingFrame());
  ASSERT_TRUE(platform::LastPresentedFrame(shown, w, h));
  EXPECT_EQ(shown[100], 0xC86432u);
}

TEST_F(Surfaces, DisplayLinesOfTheSystemReport) {
  ReportOpen("Report_Game.txt");
  Init(1, 16);
  ASSERT_EQ(ReportDisplay(1), 1);
  const std::string text = ReadText("Report_Game.txt");
  EXPECT_NE(text.find("Mode : Window"), std::string::npos);
  EXPECT_NE(text.find("Bpp : 16"), std::string::npos);
  // One line each: no empty line between them.
  EXPECT_EQ(text.find("\n\n"), std::string::npos) << text;
}

}  // namespace
