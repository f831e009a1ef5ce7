// The drawing the play objects do themselves: block tiles through the content's tile hook and
// the distance areas drawn to check a stage.
#include <gtest/gtest.h>

#include "media/blit.h"
#include "media/palette.h"
#include "objects/chara.h"
#include "objects/object_services.h"
#include "play_fixture.h"
#include "tests/objects/play_world.h"

namespace {

class ObjectDrawing : public cPlayTarget {
 protected:
  cScopedObjectServices m_Services;
};

TEST_F(ObjectDrawing, ABlockTileComesFromItsSheetCell) {
  InstallObjectServices();
  DDSURFACEDATA& sheet = g_SystemSurface[2];
  ASSERT_TRUE(DDCreateSurface(&sheet, 64, 480, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0));
  DDClear(&sheet, 0);
  DDBoxFillColor(&sheet, 0, 32, 32, 32, 0x00FF00);  // block 1: column 0, row 1
  cEdBlock block;
  block.m_nGraphicKind = GRAPHIC_BLOCK;
  block.m_sGraphic = 1;
  block.DrawTile(&m_Target, 100, 200);
  EXPECT_EQ(At(m_Target, 100, 200) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(At(m_Target, 131, 231) & 0xFFFFFF, 0x00FF00u);
  EXPECT_NE(At(m_Target, 132, 200) & 0xFFFFFF, 0x00FF00u);
  block.m_sGraphic = 2;  // row 2 is empty: the colour key leaves the target alone
  block.DrawTile(&m_Target, 300, 200);
  EXPECT_EQ(At(m_Target, 300, 200), At(m_Target, 0, 0));
}

// Palette entry 208, the first colour of the distance areas, made yellow for the test.
struct sAreaColour {
  sAreaColour() { g_Palette[208] = g_WorkPalette[208] = {255, 255, 0, 0}; }
  ~sAreaColour() {
    g_Palette[208] = m_Saved[0];
    g_WorkPalette[208] = m_Saved[1];
  }
  PALETTEENTRY m_Saved[2] = {g_Palette[208], g_WorkPalette[208]};
};

TEST_F(ObjectDrawing, IconsAreSixteenPixelsSquare) {
  DDSURFACEDATA& items = g_SystemSurface[42];  // the small item sheet: 16 x 16 cells
  ASSERT_TRUE(DDCreateSurface(&items, 64, 240, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0));
  DDClear(&items, 0);
  DDBoxFillColor(&items, 32, 16, 16, 16, 0x00FF00);  // item 16: column 2, row 1
  const std::uint32_t empty = At(m_Target, 0, 0);
  DrawGraphicIcon(&m_Target, 50, 60, GRAPHIC_ITEM, 16, 0);
  EXPECT_EQ(At(m_Target, 50, 60) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(At(m_Target, 65, 75) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(At(m_Target, 66, 60), empty);
  // A dedicated bitmap numbered 0 or beyond the table, or an unknown kind: nothing.
  for (int kind : {static_cast<int>(GRAPHIC_DEDICATED), 9}) DrawGraphicIcon(&m_Target, 100, 60, kind, 0, 0);
  DrawGraphicIcon(&m_Target, 100, 60, GRAPHIC_DEDICATED, 500, 0);
  EXPECT_EQ(At(m_Target, 100, 60), empty);
}

TEST_F(ObjectDrawing, DistanceAreasAreTwoLinesOrACircle) {
  sAreaColour colour;
  cScopedStageUnits units;
  cScopedAxes axes;
  axes.x.SetUpX(30, 960);
  axes.y.SetUpY(20, 640);
  axes.x.m_dPos = axes.y.m_dPos = 320;
  cChara ch;
  ch.SetUpBase(1, 1, 0, 1, 0, nullptr, 0, 8, 8, 16, 24, 32, 32, 1, 0, 0);
  ch.m_dX = 500;
  ch.m_dY = 500;
  ch.m_bPresent = 1;
  ch.UpdateScreenRect();  // cell 172..203
  cEdCond cond;
  cond.m_nKind = COND_DISTANCE;
  cond.m_nAxis = AXIS_FRONT;
  cond.m_nConst = 2;      // 32 pixels in front: lines at 188 and 236
  cond.m_nLeftSide = 1;   // shown
  const std::uint32_t empty = At(m_Target, 0, 0);
  ch.DrawDistanceArea(&m_Target, cond, 0);
  EXPECT_NE(At(m_Target, 188, 10), empty);
  EXPECT_NE(At(m_Target, 236, 479), empty);
  EXPECT_EQ(At(m_Target, 189, 10), empty);
  // Not shown, shown only for the editor, or a transparent character: nothing drawn.
  DDClear(&m_Target, 0);
  cond.m_nLeftSide = 2;
  ch.DrawDistanceArea(&m_Target, cond, 0);
  cond.m_nLeftSide = 1;
  ch.m_Def.m_bTransparent = 1;
  ch.DrawDistanceArea(&m_Target, cond, 0);
  EXPECT_EQ(At(m_Target, 188, 10), empty);
  cond.m_nOperandObject = 1;  // drawn even when hidden
  ch.DrawDistanceArea(&m_Target, cond, 0);
  EXPECT_NE(At(m_Target, 188, 10), empty);
  // A circle of 100 pixels around the cell's centre (188, 188).
  DDClear(&m_Target, 0);
  cond.m_nAxis = AXIS_CIRCLE;
  cond.m_nConst = 6;
  cond.m_nOperandIndex = 4;
  ch.DrawDistanceArea(&m_Target, cond, 0);
  EXPECT_NE(At(m_Target, 288, 188), empty);
  EXPECT_NE(At(m_Target, 188, 88), empty);
  EXPECT_EQ(At(m_Target, 188, 188), empty);
}

}  // namespace
