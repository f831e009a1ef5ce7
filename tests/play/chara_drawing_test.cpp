// Characters on the screen: the frame their animations show, the cell of their state, the
// character effect that draws them, their icon, the finishing of a defeated character and the
// HP and SP gauges, checked on small surfaces by the pixels they leave.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/blit.h"
#include "media/palette.h"
#include "objects/chara.h"
#include "objects/chara_effect_table.h"
#include "objects/hero.h"
#include "play/scene_manager.h"
#include "play_fixture.h"
#include "project/database.h"
#include "project/system_data.h"
#include "tests/objects/play_world.h"
#include "tests/support/scoped_value.h"

namespace {

constexpr std::uint32_t kGreen = 0x00FF00, kBlue = 0x0000FF, kRed = 0xFF0000;

// What the test handler was asked to do.
struct sEffectCall {
  bool draw;
  bool target;
};
std::vector<sEffectCall> g_EffectCalls;
int g_nEffectResult = 0;

int NoteEffect(cCharaBase&, DDSURFACEDATA* target, sGraphicSrc*, int, int draw) {
  g_EffectCalls.push_back({draw != 0, target != nullptr});
  return g_nEffectResult;
}

class CharaDrawing : public cPlayTarget {
 protected:
  void SetUp() override {
    cPlayTarget::SetUp();
    m_Axes.x.m_dPos = m_Axes.y.m_dPos = 320;
    // Character 1 stands with its cell at (100, 50) on the screen.
    m_Chara.m_Vars.assign(kCharaVariables, 0);
    m_Chara.m_dX = 420;
    m_Chara.m_dY = 370;
    m_Chara.m_Rect.m_nWidth = m_Chara.m_Rect.m_nHeight = 32;
    m_Chara.m_Rect.m_nBaseWidth = m_Chara.m_Rect.m_nBaseHeight = 32;
    m_Chara.m_nControl = 1;
    m_Chara.UpdateScreenRect();
    // Effect entry 1 is of kind 3, handled by the test.
    g_DataBase.m_CharaEffect.resize(2);
    g_DataBase.m_CharaEffect[1].m_nKind = 3;
    g_EffectCalls.clear();
    g_nEffectResult = 0;
  }
  // A system surface of w x h cleared to the transparent colour.
  static DDSURFACEDATA& Sheet(int entry, int w, int h) {
    DDSURFACEDATA& s = g_SystemSurface[entry];
    EXPECT_TRUE(DDCreateSurface(&s, w, h, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0));
    DDClear(&s, 0);
    return s;
  }
  std::uint32_t Pixel(int x, int y) { return At(m_Target, x, y) & 0xFFFFFF; }
  std::uint32_t Empty() { return At(m_Target, 639, 479) & 0xFFFFFF; }

  cScopedAxes m_Axes;
  cScopedGlobal<cVector<cDbCharaEffect>> m_Effects{g_DataBase.m_CharaEffect};
  cScopedGlobal<cVector<cDbAnimeSet>> m_AnimeSets{g_DataBase.m_AnimeSet};
  cScopedGlobal<cSystemData> m_System{g_SystemData};
  cScopedGlobal<CharaEffectFunc> m_Handler{g_CharaEffectFunc[3], NoteEffect};
  cChara m_Chara;
};

// A run that shows frame for n ticks and then loops (or ends).
AnimeRuns OneRun(int frame, int ticks, bool ends) {
  return {AnimeRun{{frame, ticks, 0}, {ends ? kAnimeEnd : kAnimeLoop, 0, 0}}};
}

TEST_F(CharaDrawing, TheNewestRunningOneShotAnimationShowsElseTheBase) {
  m_Chara.m_Anime.Init(OneRun(1, 100, false));
  m_Chara.m_Anime.Set(0, 1);
  for (int frame : {5, 7}) {  // the newer goes to the front
    cOneShotAnime& a = m_Chara.m_OneShotAnime.emplace_front();
    a.m_Anime.Init(OneRun(frame, 100, true));
    a.m_Anime.Set(0, 1);
  }
  EXPECT_EQ(m_Chara.UpdateAnimes(0), 7);
  m_Chara.m_OneShotAnime.front().m_bPaused = 1;
  EXPECT_EQ(m_Chara.UpdateAnimes(0), 5);
  m_Chara.m_OneShotAnime.back().m_bPaused = 1;
  EXPECT_EQ(m_Chara.UpdateAnimes(1), 1);

  // A one-shot animation that reaches its end is dropped; a paused one waits.
  m_Chara.m_OneShotAnime.back().m_bPaused = 0;
  m_Chara.m_OneShotAnime.back().m_Anime.Init(OneRun(5, 2, true));
  m_Chara.m_OneShotAnime.back().m_Anime.Set(0, 1);
  for (int i = 0; i < 4; ++i) m_Chara.UpdateAnimes(0);
  ASSERT_EQ(m_Chara.m_OneShotAnime.size(), 1u);
  EXPECT_EQ(m_Chara.UpdateAnimes(0), 1);
  // Frozen frames step nothing.
  m_Chara.m_OneShotAnime.front().m_bPaused = 0;
  const int tick = m_Chara.m_OneShotAnime.front().m_Anime.GetTick();
  m_Chara.UpdateAnimes(1);
  EXPECT_EQ(m_Chara.m_OneShotAnime.front().m_Anime.GetTick(), tick);
}

TEST_F(CharaDrawing, TheCellOfTheStateAndTheInvincibleColour) {
  // Character sheet 1: cell 2 green, cell 3 blue (frame 0 of graphic 0 plus the offsets).
  DDSURFACEDATA& sheet = Sheet(4, 512, 480);
  DDBoxFillColor(&sheet, 64, 0, 32, 32, kGreen);
  DDBoxFillColor(&sheet, 96, 0, 32, 32, kBlue);
  g_DataBase.m_AnimeSet.resize(1);
  g_DataBase.m_AnimeSet[0].m_nInvincibleCell = 1;
  g_DataBase.m_AnimeSet[0].m_nFlyCell = 10;
  m_Chara.m_Def.m_nGraphicKind = GRAPHIC_CHARA;
  m_Chara.m_Def.m_sGraphicFrame = 2;
  m_Chara.Draw(&m_Target, 0);
  EXPECT_EQ(Pixel(100, 50), kGreen);
  EXPECT_EQ(Pixel(131, 81), kGreen);
  EXPECT_EQ(Pixel(132, 50), Empty());
  m_Chara.m_Def.m_nInvincible = 1;
  m_Chara.m_Def.m_sAnimeSet = 9;  // outside the table: set 0
  m_Chara.Draw(&m_Target, 0);
  EXPECT_EQ(Pixel(100, 50), kBlue);
}

TEST_F(CharaDrawing, TheInvincibleColourBlendsOnlyInDirect3DWithTheSwitchOn) {
  cScopedGlobal<sFlashColour> colour4(g_FlashColours[4], sFlashColour{0x00123456, 7});
  struct sCase {
    bool d3d;
    int colourSwitch, colour, blend;
  };
  m_Chara.m_Def.m_nInvincible = 1;
  for (const sCase& c : {sCase{true, 1, 4, 1}, sCase{false, 1, 4, 0}, sCase{true, 0, 4, 0},
                         sCase{true, 1, 0, 0}, sCase{true, 1, 10, 0}}) {
    SCOPED_TRACE(testing::Message() << c.d3d << c.colourSwitch << " " << c.colour);
    DDReleaseSurface(&m_Target);
    DDRelease();
    Init(c.d3d ? 1 : 0, 32);
    ASSERT_TRUE(DDCreateSurface(&m_Target, 640, 480, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0));
    g_SystemData.m_bCharaColourAnim = c.colourSwitch;
    m_Chara.m_Def.m_nInvincibleShow = static_cast<std::uint8_t>(c.colour);
    sGraphicSrc src;
    src.bBlend = 1;
    m_Chara.GetGraphicOffset(src);
    EXPECT_EQ(src.bBlend, c.blend);
    EXPECT_EQ(src.Blend[0], c.blend ? 0x00123456 : 0);
  }
}

TEST_F(CharaDrawing, TheIconComesFromItsCellOfTheIconSheet) {
  DDSURFACEDATA& icons = Sheet(43, 128, 480);
  DDBoxFillColor(&icons, 32, 32, 32, 32, kRed);  // icon 16: column 1, row 1
  m_Chara.m_Def.m_nMarkShow = 2;                 // shown in the editor only
  m_Chara.m_Def.m_sMark = 16;
  m_Chara.Draw(&m_Target, 0);
  EXPECT_EQ(Pixel(100, 50), Empty());
  m_Chara.m_Def.m_nMarkShow = 1;
  m_Chara.Draw(&m_Target, 0);
  EXPECT_EQ(Pixel(100, 50), kRed);
  EXPECT_EQ(Pixel(131, 81), kRed);
  EXPECT_EQ(Pixel(132, 81), Empty());
}

TEST_F(CharaDrawing, AHiddenCharacterIsNotDrawnButItsEffectRunsOn) {
  m_Chara.m_CharaEffect.m_nEntry = 1;
  m_Chara.m_Def.m_bTransparent = 1;
  m_Chara.Draw(&m_Target, 0);
  m_Chara.m_Def.m_bTransparent = 0;
  m_Chara.m_bHiddenThisStep = 1;
  g_nEffectResult = 1;
  m_Chara.Draw(&m_Target, 0);
  ASSERT_EQ(g_EffectCalls.size(), 2u);
  EXPECT_FALSE(g_EffectCalls[0].draw || g_EffectCalls[0].target);
  EXPECT_EQ(m_Chara.m_CharaEffect.m_nEntry, 0);  // over
  // Drawn again through its effect.
  m_Chara.m_bHiddenThisStep = 0;
  m_Chara.m_CharaEffect.m_nEntry = 1;
  g_nEffectResult = 0;
  m_Chara.Draw(&m_Target, 0);
  EXPECT_TRUE(g_EffectCalls.back().draw && g_EffectCalls.back().target);
  EXPECT_EQ(m_Chara.m_CharaEffect.m_nEntry, 1);
  // An entry outside the table or a kind outside the handlers draws plainly.
  m_Chara.m_CharaEffect.m_nEntry = 5;
  m_Chara.Draw(&m_Target, 0);
  EXPECT_EQ(g_EffectCalls.size(), 3u);
}

TEST_F(CharaDrawing, AFinishedComputerCharacterGoesWithItsEffectAPlayerASecondLater) {
  cScopedGlobal<std::int32_t> fps(g_SceneManager.m_nFps, 60);
  m_Chara.m_bFinished = 1;
  EXPECT_EQ(m_Chara.RunEndEffect(&m_Target, 0), 1);
  m_Chara.m_CharaEffect.m_nEntry = 1;
  EXPECT_EQ(m_Chara.RunEndEffect(&m_Target, 0), 0);
  g_nEffectResult = 1;
  EXPECT_EQ(m_Chara.RunEndEffect(&m_Target, 0), 1);
  EXPECT_EQ(m_Chara.m_CharaEffect.m_nEntry, 0);

  cHero hero;
  hero.m_bFinished = 1;
  hero.m_CharaEffect.m_nEntry = 1;
  EXPECT_EQ(hero.RunEndEffect(&m_Target, 0), 0);  // its effect ends: still there
  EXPECT_EQ(hero.m_CharaEffect.m_nEntry, 0);
  for (int i = 0; i < 60; ++i) {
    ASSERT_EQ(hero.RunEndEffect(&m_Target, 0), 0) << i;
    ASSERT_EQ(hero.RunEndEffect(&m_Target, 1), 0) << i;  // frozen calls do not count
  }
  EXPECT_EQ(hero.RunEndEffect(&m_Target, 0), 1);
}

TEST_F(CharaDrawing, GaugesShowTheLossShrinkingAwayAndGoAfterTwoSeconds) {
  // Gauge rows of the small sheet layout, 16 pixels apart from y 128: the background,
  // the value, the warning value, the loss and the gain; the SP column at x 64.
  const std::uint32_t rowColours[5] = {0x101010, kGreen, 0xFFFF00, kRed, kBlue};
  DDSURFACEDATA& sheet = Sheet(49, 128, 208);
  for (int r = 0; r < 5; ++r) DDBoxFillColor(&sheet, 0, 128 + 16 * r, 50, 2, rowColours[r]);
  DDBoxFillColor(&sheet, 64, 128, 50, 2, 0x202020);
  g_SystemData.m_DisplayItems.clear();
  m_Chara.m_Def.m_nMaxHP = 50;
  m_Chara.m_Def.m_nMaxSP = 10;
  m_Chara.m_HP.m_nValue = 25;
  m_Chara.StartHPGauge(-25);
  m_Chara.m_SP.m_nValue = 5;
  m_Chara.StartSPGauge(5);
  // The gauge spans 91 to 140 at y 47: the value bar to 115, the loss after it.
  m_Chara.DrawHPGauge(&m_Target);
  m_Chara.DrawSPGauge(&m_Target);
  EXPECT_EQ(Pixel(91, 47), kGreen);
  EXPECT_EQ(Pixel(115, 48), kGreen);
  EXPECT_EQ(Pixel(116, 47), kRed);
  EXPECT_EQ(Pixel(140, 48), kRed);
  EXPECT_EQ(Pixel(141, 47), Empty());
  EXPECT_EQ(Pixel(91, 43), 0x202020u);  // the SP gauge, 4 pixels higher
  for (int frame = 1; frame < 12; ++frame) m_Chara.DrawHPGauge(&m_Target);
  EXPECT_NEAR(m_Chara.m_HP.m_dChange, -20, 1e-9);  // 25/60 a frame
  DDClear(&m_Target, 0);
  m_Chara.DrawHPGauge(&m_Target);
  EXPECT_EQ(Pixel(130, 47), kRed);
  EXPECT_EQ(Pixel(137, 47), 0x101010u);
  for (int frame = 13; frame < 60; ++frame) m_Chara.DrawHPGauge(&m_Target);
  DDClear(&m_Target, 0);
  m_Chara.DrawHPGauge(&m_Target);  // the 61st frame: the loss is gone
  EXPECT_EQ(Pixel(116, 47), 0x101010u);
  EXPECT_EQ(m_Chara.m_HP.m_dChange, 0);
  for (int frame = 61; frame < 120; ++frame) m_Chara.DrawHPGauge(&m_Target);
  EXPECT_EQ(m_Chara.m_HP.m_nGauge, 0);
  DDClear(&m_Target, 0);
  m_Chara.DrawHPGauge(&m_Target);
  EXPECT_EQ(Pixel(91, 47), Empty());

  // At or below the warning threshold the value bar takes the warning row.
  g_SystemData.m_DisplayItems.resize(3);
  g_SystemData.m_DisplayItems[2].m_bWarnPercent = 1;
  g_SystemData.m_DisplayItems[2].m_nWarnLevel = 50;
  m_Chara.StartHPGauge(-1);
  m_Chara.DrawHPGauge(&m_Target);
  EXPECT_EQ(Pixel(91, 47), 0xFFFF00u);
  // A finished character shows no gauge.
  DDClear(&m_Target, 0);
  m_Chara.m_bFinished = 1;
  m_Chara.DrawHPGauge(&m_Target);
  EXPECT_EQ(Pixel(91, 47), Empty());
}

TEST_F(CharaDrawing, TheHerosBoxesAreDrawnInTheirModesAndStepThroughTheirColours) {
  const PALETTEENTRY blue{0, 0, 255, 0}, red{255, 0, 0, 0};
  cScopedGlobal<PALETTEENTRY> colour208(g_Palette[208], blue), work208(g_WorkPalette[208], blue);
  cScopedGlobal<PALETTEENTRY> colour209(g_Palette[209], red), work209(g_WorkPalette[209], red);
  cHero hero;
  hero.m_dX = 424;  // the collision box 4 pixels into the cell at (100, 50)
  hero.m_dY = 370;
  hero.m_Rect.m_nWidth = hero.m_Rect.m_nHeight = 32;
  hero.m_Rect.m_nOffsetX = 4;
  hero.m_HitBoxA.m_nOffsetX = 2;
  sHitRect frame{HITRECT_HIT_A, 1, 208, 0, 0, 10, 8, 6};
  sHitRect fill{HITRECT_COLLISION, 2, 208, 0, 0, 4, 4, 8};
  hero.m_HitRects = {fill, frame};
  hero.Draw(&m_Target, 0);
  // The filled collision box at (104, 50) in colour 209 (counter 8).
  EXPECT_EQ(Pixel(104, 50), 0xFF0000u);
  EXPECT_EQ(Pixel(107, 53), 0xFF0000u);
  // Hit box A's outline at (106, 50), 10 x 8, in colour 208 (counter 7 now); its inside is
  // left.
  DDClear(&m_Target, 0);
  hero.m_HitRects[0].nMode = 0;
  hero.Draw(&m_Target, 0);
  EXPECT_EQ(Pixel(106, 50), 0x0000FFu);
  EXPECT_EQ(Pixel(115, 57), 0x0000FFu);
  EXPECT_EQ(Pixel(108, 52), Empty());
  EXPECT_EQ(hero.m_HitRects[1].nCounter, 8);
  EXPECT_EQ(hero.m_HitRects[0].nCounter, 9);  // no mode: its counter stays
  hero.m_HitRects[1].nCounter = 31;
  hero.Draw(&m_Target, 0);
  EXPECT_EQ(hero.m_HitRects[1].nCounter, 0);
}

}  // namespace
