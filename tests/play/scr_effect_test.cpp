// Screen effects: their stepping (which ends on the truncated value), the numbers each kind
// hands to the drawing, and the picture each leaves when its numbers change nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "effect_recorder.h"
#include "effect_tables.h"
#include "media/blit.h"
#include "media/present.h"
#include "media/surface_create.h"
#include "objects/hero.h"
#include "play/play_scene.h"
#include "play_fixture.h"
#include "project/effect_records.h"

namespace {

// A play scene over a hero whose cell is centred at (cx, cy), with the screen work surfaces.
class ScreenEffect : public cPlayDevice {
 protected:
  void SetUp() override {
    Init(0, 32);
    g_pPlayScene = &scene;
    g_Heroes.emplace_back();
    PlaceHero(336, 256);
    for (int i : {67, 68, 69})
      ASSERT_TRUE(DDCreateSurface(&g_SystemSurface[i], 640, 480, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0));
  }
  void TearDown() override {
    g_pPlayScene = nullptr;
    g_Heroes.clear();
    cPlayDevice::TearDown();
  }
  void PlaceHero(int cx, int cy) {
    cHero& hero = g_Heroes.front();
    hero.m_Rect.m_nWidth = hero.m_Rect.m_nHeight = 32;
    hero.m_Rect.m_nLeft = cx - 16;
    hero.m_Rect.m_nTop = cy - 16;
  }
  // Frames run until the effect ends (at most limit); the number run, 0 when it ran on.
  int FramesToEnd(int limit = 1000) {
    for (int i = 1; i <= limit; ++i) {
      RunScreenEffect(&scene, 0);
      if (scene.m_ScrEffect.m_nEntry == 0) return i;
    }
    return 0;
  }
  cEffectTables tables;
  cPlayScene scene;
};

TEST_F(ScreenEffect, AMoveEndsWhenTheTruncatedTimePassesItsEnd) {
  cEffectRecorder recorder;
  scene.m_ScrEffect.Start(tables.Screen(SCR_EFFECT_MOVE, {10, 0, 0, 640, 0}), 0, 0);
  EXPECT_EQ(FramesToEnd(), 67);
  // The put-back of the last frame is at the offset of the frame before: 64 x 65/6.
  const sEffectCall last = cEffectRecorder::Last("Blt");
  EXPECT_EQ(last[0], -1);
  EXPECT_EQ(last[1], 693);
  EXPECT_EQ(last[2], 0);
}

TEST_F(ScreenEffect, ShakesSwingBetweenTheirBounds) {
  cEffectRecorder recorder;
  scene.m_ScrEffect.Start(tables.Screen(SCR_EFFECT_SHAKE_H, {10, 4, 4}), 0, 0);
  std::vector<double> shakes;
  for (int i = 0; i < 12; ++i) {
    RunScreenEffect(&scene, 0);
    shakes.push_back(scene.m_ScrEffect.m_dShake);
  }
  const double c = 4.0 * 4 * 4 / 60;
  EXPECT_DOUBLE_EQ(shakes[0], c);
  EXPECT_DOUBLE_EQ(shakes[2], 3 * c);
  EXPECT_EQ(shakes[3], 4);  // turns at +4
  EXPECT_DOUBLE_EQ(shakes[4], 4 - c);
  EXPECT_DOUBLE_EQ(shakes[10], 4 - 7 * c);
  EXPECT_EQ(shakes[11], -4);  // and at -4
  EXPECT_EQ(scene.m_ScrEffect.m_nX, 0);
  // The screen strip the picture leaves is filled before it is put back.
  EXPECT_EQ(cEffectRecorder::Last("BoxFill").args, (std::vector<double>{-1, 636, 0, 4, 480, 16}));
}

TEST_F(ScreenEffect, AZoomOfEqualWidthsOnlyCountsItsTime) {
  cEffectRecorder recorder;
  const int zoom = tables.Screen(SCR_EFFECT_ZOOM, {10, 640, 640});
  scene.m_ScrEffect.Start(zoom, 0, 0);
  EXPECT_EQ(scene.m_ScrEffect.m_bTimeOnly, 1);
  EXPECT_EQ(FramesToEnd(), 61);
  EXPECT_EQ(cEffectRecorder::Last("BltStretch").args,
            (std::vector<double>{-1, 0, 0, 640, 480, 68, 0, 0, 640, 480, 1}));
  // Reversed, a zoom from 640 to 1280 starts at 1280 and comes back.
  scene.m_ScrEffect.Start(tables.Screen(SCR_EFFECT_ZOOM, {10, 640, 1280}), 1, 0);
  EXPECT_EQ(scene.m_ScrEffect.m_dValue, 1280);
  RunScreenEffect(&scene, 0);
  EXPECT_LT(scene.m_ScrEffect.m_dValue, 1280);
  // Zoomed in twice on the hero at (336, 256): the view is 320 x 240 around it.
  EXPECT_EQ(cEffectRecorder::Last("BltStretch").args,
            (std::vector<double>{-1, 0, 0, 640, 480, 68, 176, 136, 320, 240, 1}));
}

TEST_F(ScreenEffect, TheCircleReachesTheFarSideOfAHeroAtTheEdge) {
  cEffectRecorder recorder;
  PlaceHero(16, 300);
  scene.m_ScrEffect.Start(tables.Screen(SCR_EFFECT_CIRCLE, {10, 640, 0, 0}), 0, 0);
  RunScreenEffect(&scene, 0);
  // half width 640 - 16; a strip of 0 counts as 1
  EXPECT_EQ(cEffectRecorder::Last("Circle").args,
            (std::vector<double>{-1, 16, 300, 624, 300, 640, 1, 67, 16, 300, 0}));
  EXPECT_EQ(cEffectRecorder::Names(),
            (std::vector<std::string>{"Blt", "BoxFill", "SetAlphaOp", "Circle", "ResetAlphaOp"}));
}

TEST_F(ScreenEffect, FrozenFramesDrawWithoutMovingButTheBlinkStillTurns) {
  cEffectRecorder recorder;
  scene.m_ScrEffect.Start(tables.Screen(SCR_EFFECT_SPLIT_H, {10, 0, 640, 15}), 0, 0);
  RunScreenEffect(&scene, 1);
  EXPECT_EQ(scene.m_ScrEffect.m_dValue, 0);
  EXPECT_EQ(cEffectRecorder::Last("Stripe")[5], 32);  // 480 / 15
  scene.m_ScrEffect.Start(tables.Screen(SCR_EFFECT_BLINK, {10, 3}), 0, 0);
  scene.m_ScrEffect.m_nX = 3;
  RunScreenEffect(&scene, 1);
  EXPECT_EQ(scene.m_ScrEffect.m_nY, 1);
  EXPECT_EQ(scene.m_ScrEffect.m_nX, 0);
  EXPECT_EQ(scene.m_ScrEffect.m_dValue, 0);
}

TEST_F(ScreenEffect, TimesAndDivisionsOfZeroEndAndDrawWhole) {
  cEffectRecorder recorder;
  for (int kind : {SCR_EFFECT_MOVE, SCR_EFFECT_SHAKE_H, SCR_EFFECT_SPLIT_V, SCR_EFFECT_WAVE_V,
                   SCR_EFFECT_ZOOM}) {
    scene.m_ScrEffect.Start(tables.Screen(kind, {0, 4, 4, 0, 0}), 0, 0);
    const int frames = FramesToEnd();
    EXPECT_GE(frames, 1) << kind;
    EXPECT_LE(frames, 13) << kind;
  }
  EXPECT_EQ(cEffectRecorder::Last("Stripe")[5], 640);
  EXPECT_EQ(cEffectRecorder::Last("Wave")[8], 1);
}

// Numbers from the table are summed and multiplied in 32 bits, wrapping: a division count of
// INT_MAX makes strips of (640 + INT_MAX - 1) / INT_MAX = 0 columns, and a lens shifted by
// INT_MAX from the hero's centre (336, 256) lies at INT_MIN + 335.
TEST_F(ScreenEffect, NumbersFromTheTableWrapAt32Bits) {
  cEffectRecorder recorder;
  scene.m_ScrEffect.Start(tables.Screen(SCR_EFFECT_SPLIT_V, {10, 4, 4, INT32_MAX, 0}), 0, 0);
  RunScreenEffect(&scene, 0);
  EXPECT_EQ(cEffectRecorder::Last("Stripe")[5], 0);
  scene.m_ScrEffect.Start(tables.Screen(SCR_EFFECT_LENS, {10, 60, 60, INT32_MAX, 0}), 0, 0);
  RunScreenEffect(&scene, 0);
  EXPECT_EQ(cEffectRecorder::Last("Lens")[1], INT32_MIN + 335.0);
}

// ... and every kind draws the extremes of every parameter without fault.
TEST_F(ScreenEffect, TheExtremesOfTheTableDrawWithoutFault) {
  for (int extreme : {INT32_MAX, INT32_MIN})
    for (int kind = SCR_EFFECT_MOVE; kind <= SCR_EFFECT_MOSAIC; ++kind) {
      scene.m_ScrEffect.Start(tables.Screen(kind, {extreme, extreme, ~extreme, extreme, extreme}),
                              0, 0);
      for (int frame = 0; frame < 3; ++frame) RunScreenEffect(&scene, 0);
    }
}

TEST_F(ScreenEffect, AnEndedEffectSwitchesTheVirtualBackBufferOff) {
  for (int i : {67, 68, 69}) DDReleaseSurface(&g_SystemSurface[i]);
  DDRelease();
  Init(1, 32);
  for (int i : {67, 68, 69})
    ASSERT_TRUE(DDCreateSurface(&g_SystemSurface[i], 640, 480, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0));
  scene.m_ScrEffect.Start(tables.Screen(SCR_EFFECT_MOSAIC, {0, 1, 2}), 0, 0);
  DDSetVirBackBuffer(1);
  EXPECT_EQ(FramesToEnd(), 13);
  EXPECT_EQ(lpDTCon->bVirBackBuffer, 0);
  // Entry kind 0 switches it off and stays.
  scene.m_ScrEffect.Start(tables.Screen(SCR_EFFECT_NONE, {}), 0, 0);
  DDSetVirBackBuffer(1);
  RunScreenEffect(&scene, 0);
  EXPECT_EQ(lpDTCon->bVirBackBuffer, 0);
  EXPECT_NE(scene.m_ScrEffect.m_nEntry, 0);
}

// Each kind with numbers that change nothing leaves the picture (seen in shown) as it was.
void ExpectNeutralKindsKeepThePicture(cEffectTables& tables, cPlayScene& scene,
                                      DDSURFACEDATA& shown) {
  cPixelSurface* px = shown.Pixels();
  ASSERT_NE(px, nullptr);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x)
      px->Put(x, y, y >= 200 && y < 240 ? 0xFF4080C0u : (x % 40 < 20 ? 0xFFC08040u : 0xFF000000u));
  // (The collected picture's alpha is not shown: the colours are compared.)
  auto at = [&shown](int x, int y) { return shown.Pixels()->Get(x, y) & 0xFFFFFF; };
  const std::uint32_t before[] = {at(5, 5), at(25, 5), at(325, 210), at(630, 470)};
  ASSERT_NE(before[0], before[1]);
  struct sCase {
    int kind;
    std::vector<int> p;
  } cases[] = {
      {SCR_EFFECT_MOVE, {10, 0, 0, 0, 0}},   {SCR_EFFECT_SHAKE_V, {10, 0, 1}},
      {SCR_EFFECT_SPLIT_H, {10, 0, 0, 15}},  {SCR_EFFECT_SPLIT_V, {10, 0, 0, 20}},
      {SCR_EFFECT_WAVE_H, {10, 0, 0, 4, 8}}, {SCR_EFFECT_WAVE_V, {10, 0, 0, 4, 10}},
      {SCR_EFFECT_ROTATE, {10, 0, 0}},       {SCR_EFFECT_ZOOM, {10, 640, 640}},
      {SCR_EFFECT_MOSAIC, {10, 1, 1}},       {SCR_EFFECT_CIRCLE, {10, 900, 900, 8}},
  };
  for (const sCase& c : cases) {
    const int entry = tables.Screen(c.kind, {});
    std::copy(c.p.begin(), c.p.end(), g_DataBase.m_ScrEffect[entry].m_nParam);
    PrepareScrEffects();
    scene.m_ScrEffect.Start(entry, 0, 0);
    RunScreenEffect(&scene, 1);
    EXPECT_EQ(at(5, 5), before[0]) << c.kind;
    EXPECT_EQ(at(25, 5), before[1]) << c.kind;
    EXPECT_EQ(at(325, 210), before[2]) << c.kind;
    EXPECT_EQ(at(630, 470), before[3]) << c.kind;
  }
  // A move by 100 shows the fill colour where the picture left.
  scene.m_ScrEffect.Start(tables.Screen(SCR_EFFECT_MOVE, {10, 100, 0, 100, 0}), 0, 0);
  RunScreenEffect(&scene, 1);
  EXPECT_NE(at(50, 5), before[0]);
  EXPECT_NE(at(50, 5), before[1]);
  EXPECT_EQ(at(105, 5), before[0]);
  EXPECT_EQ(at(125, 5), before[1]);
}

TEST_F(ScreenEffect, NeutralNumbersKeepThePicture) {
  ExpectNeutralKindsKeepThePicture(tables, scene, BackBuffer);
}

TEST_F(ScreenEffect, NeutralNumbersKeepThePictureCollectedForTheDirect3DBehaviour) {
  for (int i : {67, 68, 69}) DDReleaseSurface(&g_SystemSurface[i]);
  DDRelease();
  Init(1, 32);
  // The work surfaces as start-up makes them: 68 a view of 67.
  DDSURFACEDATA* s = g_SystemSurface;
  cRestore<DDSURFACEDATA*> mirror(s[68].lpMirror, &s[67]);
  ASSERT_TRUE(DDCreateSurface(&s[67], 640, 480, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
  ASSERT_TRUE(DDCreateSurface(&s[68], 640, 480, 1, 1, DTMEMORYTYPE_VIDEO_RT, 1, 0));
  ASSERT_TRUE(DDCreateSurface(&s[69], 1024, 1024, 1, 0, DTMEMORYTYPE_VIDEO_NORT, 0, 0));
  DDSetVirBackBuffer(1);
  ExpectNeutralKindsKeepThePicture(tables, scene, VirBackBuffer);
  DDSetVirBackBuffer(0);
  DDReleaseSurface(&s[68]);
}

TEST_F(ScreenEffect, TheLensClearsOnlyWhatItsWorkSurfaceHolds) {
  // r = sqrt 2 x 336: the square cleared reaches far past the 640 x 480 work surface, which
  // then holds the screen's copy.
  DDClearColor(&BackBuffer, 0x00A0B0C0);
  const std::uint32_t screen = At(BackBuffer, 639, 479);
  DDClearColor(&g_SystemSurface[68], 0x123456);
  scene.m_ScrEffect.Start(tables.Screen(SCR_EFFECT_LENS, {10, 60, 60, 0, 0}), 0, 0);
  RunScreenEffect(&scene, 0);
  EXPECT_NE(scene.m_ScrEffect.m_nEntry, 0);
  EXPECT_EQ(At(g_SystemSurface[68], 639, 479), screen);
}

}  // namespace
