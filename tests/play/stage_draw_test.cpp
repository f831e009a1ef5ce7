#include "play/stage_draw.h"

#include <gtest/gtest.h>

#include <vector>

#include "media/blit.h"
#include "media/palette.h"
#include "media/sound.h"
#include "foundation/timer.h"
#include "objects/hero.h"
#include "play/map_cells.h"
#include "play/play_scene.h"
#include "play_fixture.h"
#include "project/stage.h"
#include "project/system_data.h"
#include "tests/objects/play_world.h"

namespace {

class StageDraw : public cPlayDevice {
 protected:
  void SetUp() override {
    Init(0, 32);
    g_Palette[20] = {0x20, 0x80, 0x20, 0};
    g_Palette[21] = {0xC0, 0x10, 0x10, 0};
    DDCreateSurface(&m_Ref, 4, 1, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0);
    const std::uint32_t pals[4] = {0, 16, 20, 21};
    for (int i = 0; i < 4; ++i) DDBoxFill(&m_Ref, i, 0, 1, 1, pals[i]);
  }
  void TearDown() override {
    DDReleaseSurface(&m_Ref);
    cPlayDevice::TearDown();
  }
  // The pixel value of palette colour 0, 16, 20 or 21.
  std::uint32_t Colour(int pal) { return At(m_Ref, pal == 0 ? 0 : pal == 16 ? 1 : pal == 20 ? 2 : 3, 0); }
  // A layer picture of 100 x 50 in colour 20 with a column of colour 21 at x = 50 and the
  // transparent colour at (0, 0).
  void MakeLayerPicture(int slot) {
    DDSURFACEDATA& s = g_SystemSurface[55 + slot];
    ASSERT_TRUE(DDCreateSurface(&s, 100, 50, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0));
    DDBoxFill(&s, 0, 0, 100, 50, 20);
    DDBoxFill(&s, 50, 0, 1, 50, 21);
    DDBoxFill(&s, 0, 0, 1, 1, 0);
  }
  cRestore<cVector<cStageBackLayer>> m_Layers{g_Stage.m_BackLayers};
  cScopedAxes m_Axes;
  DDSURFACEDATA m_Ref;
};

TEST(StageDrawMath, TileStartsAreNonNegativeAndGapsShareTheRest) {
  struct {
    int offset, size, start;
  } const cases[] = {{205, 100, 5}, {-20, 100, 80}, {-100, 100, 0}, {7, 0, 0}, {-7, -3, 0}};
  for (const auto& c : cases) EXPECT_EQ(LayerTileStart(c.offset, c.size), c.start) << c.offset;
  // Items 2 (icon + bar = 66) and 4 (icon + 3 cells = 64) shown.
  EXPECT_EQ(StatusBarGap(66 + 64, 2), (638 - 66 - 64) / 3);
}

TEST_F(StageDraw, WithoutABackLayerTheScreenShowsColour16) {
  for (int frontOnly = 0; frontOnly < 2; ++frontOnly) {
    g_Stage.m_BackLayers.assign(frontOnly ? 1 : 0, cStageBackLayer{});
    if (frontOnly) g_Stage.m_BackLayers[0].m_nPass = 1;
    DDBoxFill(&BackBuffer, 0, 0, 640, 480, 20);
    DrawBackLayers(&BackBuffer, 0);
    EXPECT_EQ(At(BackBuffer, 300, 300), Colour(16)) << frontOnly;
  }
}

TEST_F(StageDraw, LayersScrollAtTheirFactorAndWrapBothWays) {
  MakeLayerPicture(0);
  g_Stage.m_BackLayers.assign(1, cStageBackLayer{});
  g_Stage.m_BackLayers[0].m_dSpeedX = 0.5;
  g_Stage.m_BackLayers[0].m_dSpeedY = 0;
  // Camera 100 px right of the margin: the picture moved 50 px, its column 50 at screen 0.
  m_Axes.x.m_dPos = 420;
  m_Axes.y.m_dPos = 320;
  DrawBackLayers(&BackBuffer, 0);
  EXPECT_EQ(At(BackBuffer, 0, 10), Colour(21));
  EXPECT_EQ(At(BackBuffer, 100, 10), Colour(21));
  EXPECT_EQ(At(BackBuffer, 1, 10), Colour(20));
  // 40 px left of the margin: offset -20, the column at 70, 170 ... and the seam is clean.
  m_Axes.x.m_dPos = 280;
  DrawBackLayers(&BackBuffer, 0);
  EXPECT_EQ(At(BackBuffer, 70, 10), Colour(21));
  EXPECT_EQ(At(BackBuffer, 170, 10), Colour(21));
  EXPECT_EQ(At(BackBuffer, 69, 10), Colour(20));
  // The first layer behind is opaque: its transparent pixel shows (0, 0) at screen 20.
  EXPECT_EQ(At(BackBuffer, 20, 0), Colour(0));
}

TEST_F(StageDraw, ASecondLayerIsKeyedAndAnEmptyPictureIsSkipped) {
  MakeLayerPicture(0);
  ASSERT_TRUE(DDCreateSurface(&g_SystemSurface[56], 10, 10, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0));
  DDBoxFill(&g_SystemSurface[56], 0, 0, 10, 10, 0);
  DDBoxFill(&g_SystemSurface[56], 5, 5, 1, 1, 16);
  g_Stage.m_BackLayers.assign(3, cStageBackLayer{});  // layer 2 has no picture
  for (auto& layer : g_Stage.m_BackLayers) layer.m_dSpeedX = layer.m_dSpeedY = 0;
  m_Axes.x.m_dPos = m_Axes.y.m_dPos = 320;
  DrawBackLayers(&BackBuffer, 0);
  EXPECT_EQ(At(BackBuffer, 5, 5), Colour(16));   // the second layer's pixel
  EXPECT_EQ(At(BackBuffer, 6, 5), Colour(20));   // through its transparent colour: the first
  EXPECT_EQ(At(BackBuffer, 50, 20), Colour(21));
}

std::vector<std::pair<int, int>> g_Tiles;
void RecordTile(DDSURFACEDATA*, int, int, int, int x, int y) { g_Tiles.emplace_back(x, y); }

struct sTileGuard {
  sTileGuard() { SetTileDrawer({&RecordTile, nullptr}); }
  ~sTileGuard() {
    SetTileDrawer({});
    g_Tiles.clear();
  }
};

TEST_F(StageDraw, BlocksStartAtTheCameraCellAndSkipHiddenOrOtherLayers) {
  cRestore<cVector<cMapCell>> cells{g_MapCells};
  cRestore<cVector<sCellHit>> hits{g_MapCellHits};
  sTileGuard tiles;
  m_Axes.x.SetUpX(30, 960);
  m_Axes.y.SetUpY(20, 640);
  ASSERT_TRUE(ResetMapCells(30, 20));
  auto cell = [&](int col, int row) -> cMapCell& {
    return g_MapCells[col + (static_cast<std::size_t>(row) << m_Axes.x.m_nShift)];
  };
  m_Axes.x.m_dPos = 200.75;
  m_Axes.y.m_dPos = 70;
  cell(6, 2).m_sGraphic = 1;   // first column, first row: at (-8, -6)
  cell(7, 3).m_sGraphic = 1;
  cell(7, 3).m_bHidden = 1;
  cell(8, 3).m_sGraphic = 1;
  cell(8, 3).m_nLayer = 1;
  cell(26, 2).m_sGraphic = 1;  // the 21st column
  cell(27, 2).m_sGraphic = 1;  // beyond it
  DrawMapBlocks(&BackBuffer, 0);
  EXPECT_EQ(g_Tiles, (std::vector<std::pair<int, int>>{{-8, -6}, {632, -6}}));
  g_Tiles.clear();
  DrawMapBlocks(&BackBuffer, 1);
  EXPECT_EQ(g_Tiles, (std::vector<std::pair<int, int>>{{56, 26}}));
}

TEST_F(StageDraw, TheHpBarFillsInProportionUpToItsLengthAndAZeroMaximumOnlyItsFrame) {
  cRestore<cVector<cSysDisplayItem>> items{g_SystemData.m_DisplayItems};
  struct sHeroGuard {
    ~sHeroGuard() { g_Heroes.clear(); }
  } heroGuard;
  cHero& hero = g_Heroes.emplace_back();
  hero.m_Def.m_nMaxHP = 20;
  hero.m_HP.m_nValue = 7;
  g_SystemData.m_DisplayItems.assign(5, cSysDisplayItem{});
  g_SystemData.m_DisplayItems[2].m_bShow = 1;
  g_SystemData.m_DisplayItems[2].m_bIcon = 1;
  DDSURFACEDATA& sheet = g_SystemSurface[49];
  ASSERT_TRUE(DDCreateSurface(&sheet, 128, 176, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0));
  DDBoxFill(&sheet, 0, 0, 128, 176, 0);
  DDBoxFill(&sheet, 0, 128, 50, 16, 20);  // frame
  DDBoxFill(&sheet, 0, 144, 50, 16, 21);  // fill
  DDBoxFill(&BackBuffer, 0, 0, 640, 480, 16);
  DrawStatusBar(&BackBuffer);
  const int e = (638 - 66) / 2 + 16;
  EXPECT_EQ(At(BackBuffer, e + 16, 8), Colour(21));
  EXPECT_EQ(At(BackBuffer, e + 17, 8), Colour(20));
  EXPECT_EQ(At(BackBuffer, e + 49, 8), Colour(20));
  // A value above its maximum fills the gauge and no further: the sheet's next picture stays
  // where it is.
  DDBoxFill(&sheet, 50, 144, 78, 16, 21);
  hero.m_HP.m_nValue = 30;
  DrawStatusBar(&BackBuffer);
  EXPECT_EQ(At(BackBuffer, e + 49, 8), Colour(21));
  EXPECT_EQ(At(BackBuffer, e + 50, 8), Colour(16));
  // A maximum of 0 draws the frame only.
  hero.m_Def.m_nMaxHP = 0;
  DrawStatusBar(&BackBuffer);
  EXPECT_EQ(At(BackBuffer, e, 8), Colour(20));
}

// The widths of the items from System.dat are 32-bit sums and products that wrap: two
// items of 0x07FFFFFF value cells are INT_MIN wide each, so their sum is 0 and the bar is
// laid out as if only the third item (icon and one cell, 32) counted: the gap is
// (638 - 32) / 4, the first icon at 151, the third at 151 + 2 x (INT_MIN + 151) + 151 = 453.
// A count of 0x10000001 cells is as wide as one.
TEST_F(StageDraw, StatusItemWidthsWrapAt32Bits) {
  cRestore<cVector<cSysDisplayItem>> items{g_SystemData.m_DisplayItems};
  DDSURFACEDATA& sheet = g_SystemSurface[49];
  ASSERT_TRUE(DDCreateSurface(&sheet, 128, 176, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0));
  DDBoxFill(&sheet, 0, 0, 128, 176, 0);
  DDBoxFill(&sheet, 0, 32, 16, 16, 20);   // the first item's icon
  DDBoxFill(&sheet, 64, 32, 16, 16, 21);  // the fifth item's
  g_SystemData.m_DisplayItems.assign(5, cSysDisplayItem{});
  for (int n : {0, 1, 4}) {
    g_SystemData.m_DisplayItems[n].m_bShow = 1;
    g_SystemData.m_DisplayItems[n].m_bIcon = 1;
    g_SystemData.m_DisplayItems[n].m_nValueCells = 0x07FFFFFF;
  }
  for (int cells : {1, 0x10000001}) {
    g_SystemData.m_DisplayItems[4].m_nValueCells = cells;
    DDBoxFill(&BackBuffer, 0, 0, 640, 480, 16);
    DrawStatusBar(&BackBuffer);
    EXPECT_EQ(At(BackBuffer, 150, 8), Colour(16)) << cells;
    EXPECT_EQ(At(BackBuffer, 151, 8), Colour(20)) << cells;
    EXPECT_EQ(At(BackBuffer, 452, 8), Colour(16)) << cells;
    EXPECT_EQ(At(BackBuffer, 453, 8), Colour(21)) << cells;
  }
  // The extremes draw without fault.
  for (int cells : {INT32_MAX, INT32_MIN, -1}) {
    for (cSysDisplayItem& item : g_SystemData.m_DisplayItems) {
      item.m_bShow = 1;
      item.m_nValueCells = cells;
    }
    DrawStatusBar(&BackBuffer);
  }
}

}  // namespace

namespace {

class FlashDraw : public cPlayDevice {};

TEST_F(FlashDraw, ANormalChangeHoldsItsLevelAndABackToNormalFadesIt) {
  Init(1, 32);
  sFlash flash;
  const int red[8] = {255, 0, 0, 50, 0, 10, 0, 0};  // 50 % over 1.0 s
  SetFlash(flash, red);
  EXPECT_EQ(flash.m_nDuration, 60);
  for (int i = 0; i <= 60; ++i) DrawFlashOn(flash, &BackBuffer, 0);
  EXPECT_EQ(flash.m_nLevel, 127);
  DrawFlashOn(flash, &BackBuffer, 0);
  EXPECT_EQ(flash.m_nLevel, 127);
  EXPECT_TRUE(flash.m_bActive);
  const int back[8] = {0, 0, 0, 0, 1, 5, 0, 0};  // back to normal in 0.5 s
  SetFlash(flash, back);
  EXPECT_EQ(flash.m_nRed, 255);
  for (int i = 0; i < 30; ++i) DrawFlashOn(flash, &BackBuffer, 0);
  EXPECT_TRUE(flash.m_bActive);
  DrawFlashOn(flash, &BackBuffer, 0);
  EXPECT_EQ(flash.m_nLevel, 255);
  EXPECT_FALSE(flash.m_bActive);
  // Back to normal with no change in effect is ignored.
  SetFlash(flash, back);
  EXPECT_FALSE(flash.m_bActive);
}

TEST_F(FlashDraw, DirectDrawDropsTheChangeExceptAt8BitsWhereThePaletteBlends) {
  Init(0, 32);
  sFlash flash;
  const int red[8] = {255, 0, 0, 100, 0, 10, 0, 0};
  SetFlash(flash, red);
  DrawFlashOn(flash, &BackBuffer, 1);  // stopped: nothing happens
  EXPECT_TRUE(flash.m_bActive);
  DrawFlashOn(flash, &BackBuffer, 0);
  EXPECT_FALSE(flash.m_bActive);

  cRestore<int> bpp{g_nBpp, 8};
  cPaletteGuard palette8;
  PALETTEENTRY work[256];
  std::copy(std::begin(g_WorkPalette), std::end(g_WorkPalette), work);
  g_Palette[30] = {0, 0, 0, 0};
  sFlash full;
  const int instant[8] = {255, 0, 0, 100, 0, 0, 0, 0};  // full strength at once
  SetFlash(full, instant);
  DrawFlashOn(full, &BackBuffer, 0);
  EXPECT_EQ(full.m_nLevel, 0);
  EXPECT_GT(g_WorkPalette[30].peRed, 200);
  EXPECT_EQ(g_WorkPalette[30].peGreen, 0);
  std::copy(std::begin(work), std::end(work), g_WorkPalette);
}

}  // namespace

namespace {

std::vector<int> g_Sounds;
void RecordSound(int n) { g_Sounds.push_back(n); }

// Captures the system sounds and holds the shared second counter at its wrap.
struct sSoundGuard {
  sSoundGuard() {
    SetPlaySoundSender(&RecordSound);
    CountEvery(0, 0);
  }
  ~sSoundGuard() {
    SetPlaySoundSender(nullptr);
    CountEvery(0, 0);
    g_Sounds.clear();
  }
};

TEST_F(FlashDraw, TheTimeWarnsEverySecondFromTheWarningTimeDownTo1) {
  Init(0, 32);
  cPlayScene scene;
  cRestore<cPlayScene*> current{g_pPlayScene, &scene};
  cRestore<std::int32_t> warning{g_Stage.m_nTimeWarning, 20};
  sSoundGuard sounds;
  struct {
    int time, soundOn, noLimit;
    bool beeps;
  } const cases[] = {{21, 1, 0, false}, {20, 1, 0, true}, {1, 1, 0, true}, {0, 1, 0, false},
                     {5, 0, 0, false}, {5, 1, 1, false}};
  for (const auto& c : cases) {
    scene.m_nTime = c.time;
    scene.m_bNoTimeLimit = c.noLimit;
    g_Sounds.clear();
    DrawTimeLeft(&BackBuffer, c.soundOn);
    EXPECT_EQ(g_Sounds, c.beeps ? std::vector<int>{13} : std::vector<int>{}) << c.time;
  }
}

}  // namespace

namespace {

TEST_F(StageDraw, AutoScrollingOffsetsStayInsideThePicture) {
  MakeLayerPicture(0);
  g_Stage.m_BackLayers.assign(1, cStageBackLayer{});
  cStageBackLayer& layer = g_Stage.m_BackLayers[0];
  layer.m_bAutoX = layer.m_bAutoY = 1;
  layer.m_dSpeedX = 30;   // moves left: wraps below 0 into the width
  layer.m_dSpeedY = -30;  // moves down: wraps at the height
  layer.m_dOffsetX = 10;
  layer.m_dOffsetY = 40;
  ScrollBackLayers();
  EXPECT_DOUBLE_EQ(layer.m_dOffsetX, 80);
  EXPECT_DOUBLE_EQ(layer.m_dOffsetY, 20);
}

}  // namespace
