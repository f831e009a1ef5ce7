#include "play/play_graphics.h"

#include <gtest/gtest.h>

#include "media/blit.h"
#include "media/surface_list.h"
#include "platform/text_codec.h"
#include "play_fixture.h"
#include "project/database.h"
#include "project/system_data.h"

namespace {

constexpr std::uint32_t kMagenta = 0xFF00FF, kRed = 0xFF0000, kBlue = 0x0000FF;

// A 128x64 sheet, all transparent but one red pixel in its top-left corner and a blue one at
// (64, 0), the first pixel of the second 64-pixel cell.
void WriteSheet(const char* name) {
  std::vector<std::uint32_t> pixels(128 * 64, kMagenta);
  pixels[0] = kRed;
  pixels[64] = kBlue;
  WriteBytes(name, MakeBmp(128, 64, 24, pixels));
}

cDbBmpCharaExc CharaExc(const char* file, int ownCell, int blocks) {
  cDbBmpCharaExc record;
  record.m_strFile = file;
  record.m_bLargeCell = ownCell;
  record.m_nCellBlocks = blocks;
  return record;
}

// The three tables the image sets read, restored afterwards.
struct sDatabaseGuard {
  cRestore<cVector<cDbBmpCharaExc>> chara{g_DataBase.m_BmpCharaExc};
  cRestore<cVector<cDbSwordType>> sword{g_DataBase.m_SwordType};
  cRestore<cVector<cDbEffect>> effect{g_DataBase.m_Effect};
  ~sDatabaseGuard() {
    DDReleaseSurfaces(g_CharaExcSurfaces);
    DDReleaseSurfaces(g_SwordSurfaces);
    DDReleaseSurfaces(g_EffectSurfaces);
  }
};

class PlayGraphics : public cPlayDevice, public ::testing::WithParamInterface<int> {};

TEST_P(PlayGraphics, ImageSetsHoldTheirSurfacesPerEntry) {
  Init(GetParam(), 32);
  sDatabaseGuard guard;
  WriteSheet("c.bmp");
  WriteSheet("s.bmp");
  // Only the fixed entries: no dedicated or effect surfaces, but the sword's entry 0 has four.
  g_DataBase.m_BmpCharaExc.resize(1);
  g_DataBase.m_Effect.resize(1);
  g_DataBase.m_SwordType.resize(1);
  g_DataBase.m_SwordType[0].m_strImage = "s.bmp";
  g_DataBase.m_SwordType[0].m_strImage2 = "s.bmp";
  LoadCharaExcBitmaps();
  LoadSwordImages();
  LoadEffectImages();
  EXPECT_EQ(g_CharaExcSurfaces.size(), 0u);
  EXPECT_EQ(g_EffectSurfaces.size(), 0u);
  ASSERT_EQ(g_SwordSurfaces.size(), 4u);
  EXPECT_EQ(g_SwordSurfaces[2].lpMirror, &g_SwordSurfaces[0]);
  EXPECT_EQ(g_SwordSurfaces[3].lpMirror, &g_SwordSurfaces[1]);
  EXPECT_EQ(g_SwordBmpInfo[2].nDDMemory, 1);

  // Own cell size 2 mirrors in 64-pixel cells, cell size off in 32-pixel ones, and a cell
  // size past 16 blocks is held at 16.
  g_DataBase.m_BmpCharaExc.push_back(CharaExc("c.bmp", 1, 2));
  g_DataBase.m_BmpCharaExc.push_back(CharaExc("c.bmp", 0, 2));
  g_DataBase.m_BmpCharaExc.push_back(CharaExc("c.bmp", 1, 40));
  g_DataBase.m_Effect.resize(2);
  g_DataBase.m_Effect[1].m_strFile = "c.bmp";
  LoadCharaExcBitmaps();
  LoadEffectImages();
  ASSERT_EQ(g_CharaExcSurfaces.size(), 12u);
  const int widths[12] = {0, 64, 0, 64, 0, 32, 0, 32, 0, 512, 0, 512};
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(g_CharaExcBmpInfo[i].nMirrorW, widths[i]) << i;
    EXPECT_EQ(g_CharaExcBmpInfo[i].nDDMemory, i % 4 >= 2) << i;
    if (i % 4) {
      EXPECT_EQ(g_CharaExcSurfaces[i].lpMirror, &g_CharaExcSurfaces[i - i % 4]) << i;
    }
  }
  ASSERT_EQ(g_EffectSurfaces.size(), 2u);
  EXPECT_EQ(g_EffectBmpInfo[0].bOptional, 1);
  EXPECT_EQ(g_EffectSurfaces[1].lpMirror, &g_EffectSurfaces[0]);
  if (!GetParam()) {
    // The mirrored sheet has its own pixels here: each 64-pixel cell turned around.
    DDSURFACEDATA& mirrored = g_CharaExcSurfaces[1];
    EXPECT_EQ(At(mirrored, 63, 0), At(g_CharaExcSurfaces[0], 0, 0));
    EXPECT_EQ(At(mirrored, 127, 0), At(g_CharaExcSurfaces[0], 64, 0));
    EXPECT_EQ(At(g_CharaExcSurfaces[5], 31, 0), At(g_CharaExcSurfaces[0], 0, 0));
  }
}

TEST_P(PlayGraphics, AMissingBitmapIsLoggedByNameAndLeavesAnEmptySurface) {
  Init(GetParam(), 32);
  sDatabaseGuard guard;
  ErrLogSetup(1, "EC_Game.txt");
  g_DataBase.m_BmpCharaExc.assign({CharaExc("", 0, 1), CharaExc("gone.bmp", 0, 1)});
  LoadCharaExcBitmaps();
  ErrLogSetup(0, "EC_Game.txt");
  ASSERT_EQ(g_CharaExcSurfaces.size(), 4u);
  EXPECT_EQ(g_CharaExcSurfaces[0].Pixels(), nullptr);
  EXPECT_FALSE(platform::IsCloseRequested());
  const std::string failed = platform::Cp932ToUtf8("専用bmp gone.bmp 読み込み失敗！");
  int lines = 0;
  for (const std::string& line : ReadLines("EC_Game.txt"))
    lines += line.find(failed) != std::string::npos;
  EXPECT_EQ(lines, 4);
}

TEST_P(PlayGraphics, ShotCellsSitInTheMiddleOfTheirWorkCells) {
  Init(GetParam(), 32);
  for (int sheet = 0; sheet < 2; ++sheet) {
    DDSURFACEDATA& source = g_SystemSurface[kShotSheet + sheet];
    ASSERT_TRUE(DDCreateSurface(&source, 128, 480, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0));
    DDClearColor(&source, lpDTCon ? 0 : g_dwTransmit);
    ASSERT_TRUE(DDCreateSurface(&g_SystemSurface[kShotWorkSheet + sheet], 256, 960, 1, 1,
                                DTMEMORYTYPE_SYSTEM, 0, 0));
    DDBoxFill(&g_SystemSurface[kShotWorkSheet + sheet], 0, 0, 256, 960, 16);
  }
  // Cell (column 1, row 2) of the plain sheet and the last cell of the mirrored one.
  DDBoxFill(&g_SystemSurface[kShotSheet], 16 + 3, 32 + 5, 1, 1, 20);
  DDBoxFill(&g_SystemSurface[kShotSheet + 1], 7 * 16 + 15, 29 * 16 + 15, 1, 1, 20);
  PrepareWorkSurfaces();
  DDSURFACEDATA& work = g_SystemSurface[kShotWorkSheet];
  DDSURFACEDATA& workMirrored = g_SystemSurface[kShotWorkSheet + 1];
  const std::uint32_t marker = At(g_SystemSurface[kShotSheet], 16 + 3, 32 + 5);
  const std::uint32_t clear = At(g_SystemSurface[kShotSheet], 0, 0);
  EXPECT_EQ(At(work, 32 + 8 + 3, 64 + 8 + 5), marker);
  EXPECT_EQ(At(workMirrored, 7 * 32 + 8 + 15, 29 * 32 + 8 + 15), marker);
  // Everything else is the transparent colour: the old content is gone.
  EXPECT_EQ(At(work, 0, 0), clear);
  EXPECT_EQ(At(work, 32 + 8 + 2, 64 + 8 + 5), clear);
  EXPECT_EQ(At(workMirrored, 255, 959), clear);
}

TEST_P(PlayGraphics, LightSurfacesLeaveTheirHoleInTheDarkness) {
  Init(GetParam(), 32);
  DDSURFACEDATA& dark = g_SystemSurface[kDarknessSurface];
  DDSURFACEDATA& circle = g_SystemSurface[kLightCircleSurface];
  struct sCase {
    int radius, shape;
    int width, height;
    int inside[2];   // a point of the hole, from the centre
    int outside[2];  // a dark point, from the centre
  };
  const sCase cases[] = {
      {0, 1, 1280, 960, {99999, 0}, {0, 0}},      // nothing visible
      {-32, 3, 1280, 960, {99999, 0}, {0, 0}},    // a negative radius is 0
      {48, 3, 1376, 1056, {-48, -48}, {-49, 0}},  // a 96x96 square
      {48, 4, 1376, 1056, {47, 47}, {48, 0}},
      {48, 1, 1376, 1056, {0, 0}, {-46, -46}},  // a disc: the square's corners stay dark
      {48, 2, 1376, 1056, {40, 0}, {47, 47}},
  };
  for (const sCase& c : cases) {
    MakeLightSurfaces(&dark, &circle, c.radius, c.shape);
    ASSERT_NE(dark.Pixels(), nullptr);
    EXPECT_EQ(dark.nWidth, c.width);
    EXPECT_EQ(dark.nHeight, c.height);
    const int cx = c.width / 2, cy = c.height / 2;
    const std::uint32_t darkness = At(dark, 0, 0);
    EXPECT_NE(darkness, lpDTCon ? 0u : g_dwTransmit);
    EXPECT_EQ(At(dark, cx + c.outside[0], cy + c.outside[1]), darkness) << c.radius << c.shape;
    if (c.inside[0] != 99999) {
      EXPECT_NE(At(dark, cx + c.inside[0], cy + c.inside[1]), darkness) << c.radius << c.shape;
    }
    EXPECT_FALSE(platform::IsCloseRequested());
  }
}

INSTANTIATE_TEST_SUITE_P(BothModes, PlayGraphics, ::testing::Values(0, 1),
                         [](const auto& info) { return info.param ? "Direct3D" : "DirectDraw"; });

}  // namespace
