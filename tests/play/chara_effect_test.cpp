// Character effects: how an effect steps from its start to its end value (in the exact double
// sums replays depend on), and the numbers each kind hands to the drawing.
#include <gtest/gtest.h>

#include <cmath>

#include "effect_recorder.h"
#include "effect_tables.h"
#include "media/blit.h"
#include "media/device.h"
#include "media/surface_create.h"
#include "objects/chara.h"
#include "objects/chara_effect_table.h"
#include "play_fixture.h"
#include "project/effect_records.h"

namespace {

struct sRun {
  int steps = 0;  // the step that ended it, 0 when it ran on past the limit
  double first = 0;
  double last = 0;
};

// Starts the effect and steps it until it ends (at most limit steps).
sRun RunEffect(int entry, int mode, int repeat, int limit = 400) {
  cCharaEffect e;
  e.Start(entry, mode, repeat);
  sRun run;
  run.first = e.m_dValue;
  for (int i = 1; i <= limit; ++i) {
    if (e.Step()) {
      run.steps = i;
      break;
    }
  }
  run.last = e.m_dValue;
  return run;
}

TEST(CharaEffectStepping, EndsOnTheStepTheDoubleSumsGive) {
  cEffectTables tables;
  const int burst = tables.Chara(CHARA_EFFECT_BURST, {5, 0, 32});
  const int zoom = tables.Chara(CHARA_EFFECT_ZOOM, {5, 32, 32});
  const int blink = tables.Chara(CHARA_EFFECT_BLINK, {5, 2});
  struct sCase {
    const char* name;
    int entry, mode, repeat;
    int steps;
    double first;
  } cases[] = {
      {"burst 0 to 32 in 5 tenths", burst, 0, 0, 31, 0},
      {"reversed runs 32 to 0", burst, 1, 0, 31, 32},
      {"there and back", burst, 2, 0, 62, 0},
      {"repeat never ends", burst, 0, 1, 0, 0},
      {"there and back repeated never ends", burst, 2, 1, 0, 0},
      {"zoom 32 to 32 only counts its time", zoom, 0, 0, 31, 32},
      {"blink of 5 tenths", blink, 0, 0, 31, 0},
  };
  for (const sCase& c : cases) {
    const sRun run = RunEffect(c.entry, c.mode, c.repeat);
    EXPECT_EQ(run.steps, c.steps) << c.name;
    EXPECT_EQ(run.first, c.first) << c.name;
  }
  // The last value drawn lies one step beyond the end.
  EXPECT_NEAR(RunEffect(burst, 0, 0).last, 32 + 32.0 / 30, 1e-9);
  EXPECT_NEAR(RunEffect(burst, 1, 0).last, -32.0 / 30, 1e-9);
}

TEST(CharaEffectStepping, PreparingTwiceKeepsTheReversedInstancesReversed) {
  cEffectTables tables;
  const int burst = tables.Chara(CHARA_EFFECT_BURST, {5, 0, 32});
  PrepareCharaEffects();
  EXPECT_EQ(RunEffect(burst, 1, 0).first, 32);
  EXPECT_EQ(g_DataBase.m_CharaEffect[burst].m_nParam[1], 0);  // the table itself stays
}

TEST(CharaEffectStepping, TimesOfZeroOrBelowEndAfterTheirFirstTenth) {
  cEffectTables tables;
  for (int time : {0, -5}) {
    const int burst = tables.Chara(CHARA_EFFECT_BURST, {time, 0, 32});
    const int zoom = tables.Chara(CHARA_EFFECT_ZOOM, {time, 32, 32});
    const int blink = tables.Chara(CHARA_EFFECT_BLINK, {time, 2});
    for (int entry : {burst, zoom, blink}) {
      const sRun run = RunEffect(entry, 0, 0);
      EXPECT_GE(run.steps, 1) << time;
      EXPECT_LE(run.steps, 7) << time;
      EXPECT_TRUE(std::isfinite(run.last)) << time;
      EXPECT_EQ(g_DataBase.m_CharaEffect[entry].m_nParam[0], time);
    }
  }
}

// An effect's time from the table is multiplied by 6 in 32 bits, wrapping: 0x2AAAAAAB tenths
// make 2 frames, so 0 to 32 goes in steps of 16; 0x40000000 tenths make INT_MIN frames, a
// step away from the end.
TEST(CharaEffectStepping, TheTimeInFramesWrapsAt32Bits) {
  EXPECT_EQ(EffectStep(0, 32, 0x2AAAAAAB), 16.0);
  EXPECT_EQ(EffectStep(0, 32, 0x40000000), 32.0 / INT32_MIN);
  EXPECT_EQ(EffectStep(0, 32, INT32_MAX), 32.0 / -6);
  cEffectTables tables;
  const int burst = tables.Chara(CHARA_EFFECT_BURST, {0x2AAAAAAB, 0, 32});
  EXPECT_EQ(RunEffect(burst, 0, 0).steps, 3);
}

// A character on the screen with a 32 x 32 cell at (100, 50), drawn from character sheet 4.
class CharaEffectDrawing : public cPlayDevice {
 protected:
  void SetUp() override {
    Init(0, 32);
    chara.m_Rect.m_nLeft = 100;
    chara.m_Rect.m_nTop = 50;
    SetCell(32, 32, 1);
    src.pDraw = &g_SystemSurface[4];
    src.pDrawOther = &g_SystemSurface[5];
    src.nSrcX = 64;
    src.nSrcY = 96;
  }
  void SetCell(int w, int h, int scale) {
    chara.m_Def.m_nScale = static_cast<std::uint8_t>(scale);
    chara.m_Rect.m_nBaseWidth = w;
    chara.m_Rect.m_nBaseHeight = h;
    chara.m_Rect.m_nWidth = w * scale;
    chara.m_Rect.m_nHeight = h * scale;
  }
  // Starts the entry and draws one frame through its kind's handler; its result.
  int Draw(int entry, int frozen = 0, int draw = 1) {
    if (chara.m_CharaEffect.m_nEntry != entry) chara.m_CharaEffect.Start(entry, 0, 0);
    const int kind = chara.m_CharaEffect.m_pEntry->m_nKind;
    return g_CharaEffectFunc[kind](chara, draw ? &BackBuffer : nullptr, draw ? &src : nullptr,
                                   frozen, draw);
  }
  // Every kind with every parameter at one extreme, at three scales, for three frames.
  void DrawTheExtremes() {
    for (int scale : {1, 2, 255})
      for (int extreme : {INT32_MAX, INT32_MIN})
        for (int kind = CHARA_EFFECT_BURST; kind <= CHARA_EFFECT_BLUR; ++kind) {
          SetCell(32, 32, scale);
          chara.m_CharaEffect.Clear();
          const int entry = tables.Chara(kind, {extreme, extreme, ~extreme, extreme, extreme});
          for (int frame = 0; frame < 3; ++frame) Draw(entry);
        }
  }
  cEffectTables tables;
  cEffectRecorder recorder;
  cChara chara;
  sGraphicSrc src;
};

TEST_F(CharaEffectDrawing, StripsComeFromTheHeightInBothDirections) {
  SetCell(40, 30, 1);
  for (int kind : {CHARA_EFFECT_SPLIT_H, CHARA_EFFECT_SPLIT_V}) {
    const int entry = tables.Chara(kind, {5, 6, 32, 4});
    chara.m_CharaEffect.Clear();
    Draw(entry);
    const sEffectCall c = cEffectRecorder::Last("Stripe");
    EXPECT_EQ(c[5], 8) << kind;  // 30 / 4 rounded up, not 40 / 4
    EXPECT_EQ(c[6], 6) << kind;
    EXPECT_EQ(c[11], kind == CHARA_EFFECT_SPLIT_V ? 1 : 0);
  }
  // A division of 0 or below draws whole strips instead of dividing by it.
  const int none = tables.Chara(CHARA_EFFECT_SPLIT_H, {5, 0, 32, 0});
  chara.m_CharaEffect.Clear();
  Draw(none);
  EXPECT_EQ(cEffectRecorder::Last("Stripe")[5], 30);
}

TEST_F(CharaEffectDrawing, ScaledCharactersDrawFromTheirCopyWithScaledPixelValues) {
  SetCell(32, 32, 2);
  const int wave = tables.Chara(CHARA_EFFECT_WAVE_H, {5, 8, 8, 2, 3});
  Draw(wave);
  const sEffectCall copy = cEffectRecorder::Calls().front();
  EXPECT_EQ(copy.name, "BltStretch");
  EXPECT_EQ(copy.args, (std::vector<double>{68, 0, 0, 64, 64, 4, 64, 96, 32, 32, 0}));
  const sEffectCall c = cEffectRecorder::Last("Wave");
  EXPECT_EQ(c[6], 16);  // amplitude 8 at scale 2
  EXPECT_EQ(c[8], 6);   // strip 3 at scale 2
  EXPECT_EQ(c[9], 68);  // from the copy at (0, 0)
  EXPECT_EQ(c[10], 0);
}

TEST_F(CharaEffectDrawing, ZoomGrowsByTheMarginAroundTheCentre) {
  const int zoom = tables.Chara(CHARA_EFFECT_ZOOM, {5, 37, 37});
  Draw(zoom);
  EXPECT_EQ(cEffectRecorder::Last("BltStretch").args,
            (std::vector<double>{-1, 98, 48, 37, 37, 4, 64, 96, 32, 32, 1}));
  SetCell(32, 32, 2);
  chara.m_CharaEffect.Clear();
  const int scaled = tables.Chara(CHARA_EFFECT_ZOOM, {5, 39, 39});
  Draw(scaled);
  // e = trunc((39 - 32) x 2) halved = 7
  EXPECT_EQ(cEffectRecorder::Last("BltStretch").args,
            (std::vector<double>{-1, 97, 47, 71, 71, 68, 0, 0, 64, 64, 1}));
}

TEST_F(CharaEffectDrawing, TheLensReachesOverItsShiftedCentre) {
  const int lens = tables.Chara(CHARA_EFFECT_LENS, {5, 50, 50, 2, -3});
  Draw(lens);
  // g = trunc(sqrt 2 x (3 + 16)) = 26; work B cleared over 2g at 32 bits (DirectDraw)
  EXPECT_EQ(cEffectRecorder::Last("BoxFill").args, (std::vector<double>{68, 0, 0, 52, 52, 0}));
  EXPECT_EQ(cEffectRecorder::Last("Lens").args,
            (std::vector<double>{-1, 118, 63, 26, 50, 68, 18, 13, 1, 0}));
  SetCell(32, 32, 2);
  chara.m_CharaEffect.Clear();
  Draw(lens);
  // shift and depth times 2: g = trunc(sqrt 2 x (6 + 32)) = 53
  EXPECT_EQ(cEffectRecorder::Last("Lens").args,
            (std::vector<double>{-1, 136, 76, 53, 100, 68, 36, 26, 1, 0}));
}

// Pixel values from the table are scaled, summed and rounded up in 32 bits, wrapping: a
// division count of INT_MAX gives strips of (30 + INT_MAX - 1) / INT_MAX = 0 rows, a lens
// shifted by 0x40000000 at scale 2 by INT_MIN, whose magnitude is itself and so loses to the
// other axis. Every kind draws the extremes of every parameter without fault.
TEST_F(CharaEffectDrawing, PixelValuesFromTheTableWrapAt32Bits) {
  SetCell(40, 30, 1);
  Draw(tables.Chara(CHARA_EFFECT_SPLIT_H, {5, 6, 32, INT32_MAX}));
  EXPECT_EQ(cEffectRecorder::Last("Stripe")[5], 0);
  SetCell(32, 32, 2);
  chara.m_CharaEffect.Clear();
  Draw(tables.Chara(CHARA_EFFECT_LENS, {5, 50, 50, 0x40000000, 0}));
  // g = trunc(sqrt 2 x (0 + 32)) = 45, the centre and the lens x shifted by INT_MIN.
  EXPECT_EQ(cEffectRecorder::Last("Lens").args,
            (std::vector<double>{-1, INT32_MIN + 132.0, 82, 45, 100, 68, INT32_MIN + 32.0, 32, 1,
                                 0}));
  DrawTheExtremes();
}

// ... and through the media library's own drawing.
TEST_F(CharaEffectDrawing, TheExtremesOfTheTableDrawWithoutFault) {
  cScopedGlobal media(g_EffectBlits, MediaEffectBlits());
  DrawTheExtremes();
}

TEST_F(CharaEffectDrawing, TheBlurTintsAtEightBitsPerPixel) {
  const int blur = tables.Chara(CHARA_EFFECT_BLUR, {5, 3, 3});
  {
    cScopedGlobal bpp(g_nBpp, 8);
    Draw(blur);
    EXPECT_EQ(cEffectRecorder::Last("Tint").args,
              (std::vector<double>{-1, 100, 50, 32, 32, 4, 64, 96, 1, 31, 3}));
    EXPECT_TRUE(cEffectRecorder::Last("Blur").args.empty());
  }
  Draw(blur);
  EXPECT_EQ(cEffectRecorder::Last("Blur").args,
            (std::vector<double>{-1, 100, 50, 32, 32, 3, 3, 4, 64, 96, 1}));
}

TEST_F(CharaEffectDrawing, ABlinkHidesThenShowsByTurnsAndTurnsWhileFrozen) {
  const int blink = tables.Chara(CHARA_EFFECT_BLINK, {5, 2});
  // (The shown frames are drawn plainly, straight by the media library.)
  DDSURFACEDATA& sheet = g_SystemSurface[4];
  ASSERT_TRUE(DDCreateSurface(&sheet, 256, 256, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0));
  DDClearColor(&sheet, 0x00FF00);
  src.pA = &sheet;
  std::string shown;
  for (int i = 0; i < 9; ++i) {
    DDClearColor(&BackBuffer, 0);
    Draw(blink);
    shown += (At(BackBuffer, 110, 60) & 0xFFFFFF) == 0x00FF00 ? '#' : '-';
  }
  EXPECT_EQ(shown, "---##--##");
  // Frozen at the interval: the toggle turns, the counter does not move on.
  cCharaEffect& e = chara.m_CharaEffect;
  e.m_nPhase = 2;
  const int wasShown = e.m_bShown;
  const double value = e.m_dValue;
  EXPECT_EQ(Draw(blink, 1), 0);
  EXPECT_EQ(e.m_bShown, !wasShown);
  EXPECT_EQ(e.m_nPhase, 0);
  EXPECT_EQ(e.m_dValue, value);
}

TEST_F(CharaEffectDrawing, AFrozenFrameDrawsWithoutMovingAndAnUndrawnOneMovesWithoutDrawing) {
  const int burst = tables.Chara(CHARA_EFFECT_BURST, {5, 0, 32});
  Draw(burst);
  const double value = chara.m_CharaEffect.m_dValue;
  Draw(burst, 1);
  EXPECT_EQ(chara.m_CharaEffect.m_dValue, value);
  EXPECT_EQ(cEffectRecorder::Names(), (std::vector<std::string>{"QuadSplit", "QuadSplit"}));
  Draw(burst, 0, 0);
  EXPECT_GT(chara.m_CharaEffect.m_dValue, value);
  EXPECT_EQ(cEffectRecorder::Calls().size(), 2u);
}

TEST_F(CharaEffectDrawing, AnEntryWithoutAKindOfItsOwnIsDrawnPlainlyAndEnds) {
  const int none = tables.Chara(CHARA_EFFECT_NONE, {5, 0, 32});
  chara.m_CharaEffect.Start(none, 0, 0);
  const int kind = CharaEffectKind(chara.m_CharaEffect);
  EXPECT_EQ(kind, 0);
  EXPECT_EQ(g_CharaEffectFunc[kind](chara, &BackBuffer, &src, 0, 1), 1);
  chara.m_CharaEffect.Clear();  // no effect at all: plain, for ever
  EXPECT_EQ(g_CharaEffectFunc[0](chara, &BackBuffer, &src, 0, 1), 0);
}

}  // namespace
