// The screen effect: its prepared instances, its stepping and the fourteen handlers that
// distort the finished picture of the stage.
#include "play/scr_effect.h"

#include <cmath>
#include <cstdint>
#include <utility>

#include "foundation/play_math.h"
#include "media/present.h"
#include "objects/chara_base.h"
#include "play/chara_effect.h"
#include "play/effect_blits.h"
#include "play/play_scene.h"
#include "play/stage_draw.h"
#include "project/database.h"
#include "project/effect_records.h"
#include "project/system_bitmaps.h"

cVector<cScrEffect> g_ScrEffects;
cVector<cScrEffect> g_ScrEffectsRev;

void cScrEffect::Init(int n, int reversed) {
  m_nEntry = static_cast<std::int16_t>(n);
  m_bTimeOnly = 0;
  cDbScrEffect& entry = reversed ? g_DataBase.m_ScrEffectWork[n] : g_DataBase.m_ScrEffect[n];
  m_pEntry = &entry;
  int* p = entry.m_nParam;
  switch (entry.m_nKind) {
    case SCR_EFFECT_MOVE:
      if (reversed) {
        std::swap(p[1], p[3]);
        std::swap(p[2], p[4]);
      }
      m_dValue = 0;
      m_dStep = 1.0 / 6;
      m_nX = p[1];
      m_nY = p[2];
      break;
    case SCR_EFFECT_SHAKE_H:
    case SCR_EFFECT_SHAKE_V:
      m_dValue = 0;
      m_dShake = 0;
      m_dStep = 1.0 / 6;
      m_nX = 0;
      break;
    case SCR_EFFECT_BLINK:
      m_dValue = 0;
      m_dStep = 1.0 / 6;
      m_nX = 0;
      m_nY = 0;
      break;
    case SCR_EFFECT_SPLIT_H:
    case SCR_EFFECT_SPLIT_V:
    case SCR_EFFECT_WAVE_H:
    case SCR_EFFECT_WAVE_V:
    case SCR_EFFECT_ROTATE:
    case SCR_EFFECT_CIRCLE:
    case SCR_EFFECT_ZOOM:
    case SCR_EFFECT_LENS:
    case SCR_EFFECT_MOSAIC:
      if (reversed) std::swap(p[1], p[2]);
      m_dValue = p[1];
      m_dStep = EffectStep(p[1], p[2], p[0]);
      if (entry.m_nKind == SCR_EFFECT_WAVE_H || entry.m_nKind == SCR_EFFECT_WAVE_V) m_nX = 0;
      if (p[1] == p[2]) {
        m_bTimeOnly = 1;
        m_dStep = 1.0 / 6;
        m_dTime = 0;
        m_nTime = EffectTime(p[0]);
      }
      break;
    default:
      break;
  }
}

void cScrEffect::CopyInstance(const cScrEffect& from) {
  m_pEntry = from.m_pEntry;
  m_dValue = from.m_dValue;
  m_dShake = from.m_dShake;
  m_dStep = from.m_dStep;
  m_nX = from.m_nX;
  m_nY = from.m_nY;
  m_bTimeOnly = from.m_bTimeOnly;
  m_dTime = from.m_dTime;
  m_nTime = from.m_nTime;
}

void cScrEffect::Start(int n, int mode, int repeat) {
  StartEffect(*this, g_ScrEffects, g_ScrEffectsRev, n, mode, repeat);
}

void cScrEffect::Restart() { RestartEffect(*this, g_ScrEffects, g_ScrEffectsRev); }

int cScrEffect::Step(int start, int end, double step) {
  bool goesOn;
  if (m_bTimeOnly) {
    m_dTime += m_dStep;
    goesOn = m_dTime <= m_nTime;
  } else if (start > end) {
    m_dValue -= step;
    goesOn = TruncToInt32(m_dValue) >= end;
  } else {
    m_dValue += step;
    goesOn = TruncToInt32(m_dValue) <= end;
  }
  if (goesOn) return 0;
  if (m_bRepeat || (m_nPlayMode == 2 && !m_bReversed)) {
    Restart();
    return 0;
  }
  return 1;
}

void PrepareScrEffects() {
  g_DataBase.m_ScrEffectWork = g_DataBase.m_ScrEffect;
  const int count = static_cast<int>(g_DataBase.m_ScrEffect.size());
  g_ScrEffects.assign(count, cScrEffect());
  g_ScrEffectsRev.assign(count, cScrEffect());
  for (int i = 0; i < count; ++i) {
    g_ScrEffects[i].Init(i, 0);
    g_ScrEffectsRev[i].Init(i, 1);
  }
}

void StopVirBackBuffer() {
  if (lpDTCon && lpDTCon->bVirBackBuffer) DDSetVirBackBuffer(0);
}

namespace {

// The parameters of the running instance (the reversed copy's for a reversed instance).
const int* Params(const cScrEffect& e) { return e.m_pEntry->m_nParam; }
// A strip size or division count that can be divided by and drawn: below 1 counts as 1.
int AtLeastOne(int n) { return n < 1 ? 1 : n; }
// size / n rounded up, n at least 1.
int StripOf(int size, int n) {
  n = AtLeastOne(n);
  return Wrap32(std::int64_t{size} + n - 1) / n;
}

// The hero's centre on the screen; the screen's centre while a stage has no hero.
void HeroCentre(int& x, int& y) {
  const cCharaBase* hero = FirstHero();
  if (!hero) {
    x = 320;
    y = 240;
    return;
  }
  x = hero->m_Rect.m_nLeft + hero->m_Rect.m_nWidth / 2;
  y = hero->m_Rect.m_nTop + hero->m_Rect.m_nHeight / 2;
}

DDSURFACEDATA* Surface(int n) { return &g_SystemSurface[n]; }
constexpr int kScreenWork = 67;
constexpr int kScreenWork2 = 68;

// The ordinary ending of a handler: nothing moves while frozen.
int StepValue(cScrEffect& e, int frozen) {
  if (frozen) return 0;
  const int* p = Params(e);
  return e.Step(p[1], p[2], e.m_dStep);
}

int ScrNone(cPlayScene*, int) {
  StopVirBackBuffer();
  return 0;
}

int ScrMove(cPlayScene* scene, int frozen) {
  cScrEffect& e = scene->m_ScrEffect;
  const int* p = Params(e);
  CopyScreenTo(Surface(kScreenWork));
  FillScreen();
  {
    cAlphaOpScope alpha;
    g_EffectBlits.Blt(&BackBuffer, e.m_nX, e.m_nY, 640, 480, Surface(kScreenWork), 0, 0,
                      DDBLT_NOKEY);
  }
  if (frozen) return 0;
  const double time = EffectTime(p[0]);
  e.m_nX = TruncToInt32((static_cast<double>(p[3]) - p[1]) / time * e.m_dValue + p[1]);
  e.m_nY = TruncToInt32((static_cast<double>(p[4]) - p[2]) / time * e.m_dValue + p[2]);
  return e.Step(0, EffectTime(p[0]), e.m_dStep);
}

// One swing of the shake: moves a toward the bound in its direction and turns there.
void Swing(cScrEffect& e, const int* p) {
  const double speed = static_cast<double>(p[2]) * p[1] * 4 / (EffectTime(p[0]) * 6.0);
  double a = e.m_dShake;
  if (e.m_nX == 1) {
    a -= speed;
    if (!(a > NegWrap32(p[1]))) {
      a = NegWrap32(p[1]);
      e.m_nX = 0;
    }
  } else {
    a += speed;
    if (a >= p[1]) {
      a = p[1];
      e.m_nX = 1;
    }
  }
  e.m_dShake = a;
}

int ScrShakeH(cPlayScene* scene, int frozen) {
  cScrEffect& e = scene->m_ScrEffect;
  const int* p = Params(e);
  CopyScreenTo(Surface(kScreenWork));
  const double a = e.m_dShake;
  if (a > 0)
    g_EffectBlits.BoxFill(&BackBuffer, 0, 0, TruncToInt32(a + 1), 480, 16);
  else if (a < 0)
    g_EffectBlits.BoxFill(&BackBuffer, TruncToInt32(a + 640), 0, TruncToInt32(1 - a), 480, 16);
  {
    cAlphaOpScope alpha;
    g_EffectBlits.Blt(&BackBuffer, TruncToInt32(a), 0, 640, 480, Surface(kScreenWork), 0, 0,
                      DDBLT_NOKEY);
  }
  if (frozen) return 0;
  Swing(e, p);
  return e.Step(0, EffectTime(p[0]), e.m_dStep);
}

int ScrShakeV(cPlayScene* scene, int frozen) {
  cScrEffect& e = scene->m_ScrEffect;
  const int* p = Params(e);
  CopyScreenTo(Surface(kScreenWork));
  FillScreen();
  {
    cAlphaOpScope alpha;
    g_EffectBlits.Blt(&BackBuffer, 0, TruncToInt32(e.m_dShake), 640, 480, Surface(kScreenWork), 0,
                      0, DDBLT_NOKEY);
  }
  if (frozen) return 0;
  Swing(e, p);
  return e.Step(0, EffectTime(p[0]), e.m_dStep);
}

int Split(cPlayScene* scene, int frozen, int column) {
  cScrEffect& e = scene->m_ScrEffect;
  const int* p = Params(e);
  CopyScreenTo(Surface(kScreenWork));
  FillScreen();
  {
    cAlphaOpScope alpha;
    g_EffectBlits.Stripe(&BackBuffer, 0, 0, 640, 480, StripOf(column ? 640 : 480, p[3]),
                         TruncToInt32(e.m_dValue), Surface(kScreenWork), 0, 0, DDBLT_NOKEY, column);
  }
  return StepValue(e, frozen);
}
int ScrSplitH(cPlayScene* scene, int frozen) { return Split(scene, frozen, 0); }
int ScrSplitV(cPlayScene* scene, int frozen) { return Split(scene, frozen, 1); }

int Wave(cPlayScene* scene, int frozen, int column) {
  cScrEffect& e = scene->m_ScrEffect;
  const int* p = Params(e);
  CopyScreenTo(Surface(kScreenWork));
  FillScreen();
  {
    cAlphaOpScope alpha;
    g_EffectBlits.Wave(&BackBuffer, 0, 0, 640, 480, p[3], e.m_dValue, e.m_nX, AtLeastOne(p[4]),
                       Surface(kScreenWork), 0, 0, DDBLT_NOKEY, column);
  }
  if (frozen) return 0;
  e.m_nX = (e.m_nX + 1) % 360;
  return e.Step(p[1], p[2], e.m_dStep);
}
int ScrWaveH(cPlayScene* scene, int frozen) { return Wave(scene, frozen, 0); }
int ScrWaveV(cPlayScene* scene, int frozen) { return Wave(scene, frozen, 1); }

int ScrBlink(cPlayScene* scene, int frozen) {
  cScrEffect& e = scene->m_ScrEffect;
  const int* p = Params(e);
  if (e.m_nY == 0) {
    DrawBackLayers(&BackBuffer, 0);
    DrawBackLayers(&BackBuffer, 1);
  }
  if (e.m_nX >= p[1]) {
    e.m_nX = 0;
    e.m_nY = !e.m_nY;
  }
  if (frozen) return 0;
  e.m_nX += 1;
  return e.Step(0, EffectTime(p[0]), e.m_dStep);
}

int ScrRotate(cPlayScene* scene, int frozen) {
  cScrEffect& e = scene->m_ScrEffect;
  CopyScreenTo(Surface(kScreenWork2));
  FillScreen();
  {
    cAlphaOpScope alpha;
    g_EffectBlits.Rotate(&BackBuffer, 320, 240, 640, 480, 320, 240, TruncToInt32(e.m_dValue),
                         Surface(kScreenWork2), 0, 0, DDBLT_NOKEY);
  }
  return StepValue(e, frozen);
}

int ScrCircle(cPlayScene* scene, int frozen) {
  cScrEffect& e = scene->m_ScrEffect;
  const int* p = Params(e);
  CopyScreenTo(Surface(kScreenWork));
  FillScreen();
  int cx, cy;
  HeroCentre(cx, cy);
  {
    cAlphaOpScope alpha;
    g_EffectBlits.Circle(&BackBuffer, cx, cy, cx >= 320 ? cx : 640 - cx, cy >= 240 ? cy : 480 - cy,
                         TruncToInt32(e.m_dValue), AtLeastOne(p[3]), Surface(kScreenWork), cx, cy,
                         DDBLT_NOKEY);
  }
  return StepValue(e, frozen);
}

// The source origin of a zoomed view of size (view) on a side of size (side): centred on the
// hero, kept on the screen.
int ZoomOrigin(int centre, double view, int side) {
  int origin = TruncToInt32(centre - view * 0.5);
  if (origin + TruncToInt32(view) > side - 1) origin = TruncToInt32(side - view);
  if (origin < 0) origin = 0;
  return origin;
}

int ScrZoom(cPlayScene* scene, int frozen) {
  cScrEffect& e = scene->m_ScrEffect;
  DDSURFACEDATA* work = Surface(CharaWorkSurface(1));
  CopyScreenTo(work);
  const double k = e.m_dValue / 640;
  {
    if (k >= 1) {
      const double w = 640 / k, h = 480 / k;
      int cx, cy;
      HeroCentre(cx, cy);
      cAlphaOpScope alpha;
      g_EffectBlits.BltStretch(&BackBuffer, 0, 0, 640, 480, work, ZoomOrigin(cx, w, 640),
                               ZoomOrigin(cy, h, 480), TruncToInt32(w), TruncToInt32(h), DDBLT_KEY);
    } else {
      FillScreen();
      cAlphaOpScope alpha;
      g_EffectBlits.BltStretch(&BackBuffer, TruncToInt32((640 - k * 640) * 0.5),
                               TruncToInt32((480 - k * 480) * 0.5), TruncToInt32(k * 640),
                               TruncToInt32(k * 480), work, 0, 0, 640, 480, DDBLT_KEY);
    }
  }
  return StepValue(e, frozen);
}

int ScrLens(cPlayScene* scene, int frozen) {
  cScrEffect& e = scene->m_ScrEffect;
  const int* p = Params(e);
  int hx, hy;
  HeroCentre(hx, hy);
  const int ex = AddWrap32(hx, p[3]), cy = AddWrap32(hy, p[4]);
  const int reachX = ex >= 320 ? ex : SubWrap32(640, ex);
  const int reachY = cy >= 240 ? cy : SubWrap32(480, cy);
  const double r = std::sqrt(2.0) * (reachX > reachY ? reachX : reachY);
  const int radius = TruncToInt32(r);
  DDSURFACEDATA* work = Surface(kScreenWork2);
  const int side = MulWrap32(g_nBpp == 16 ? 4 : 2, radius);
  // (The fill is cut to the work surface.)
  g_EffectBlits.BoxFill(work, 0, 0, side, side, 0);
  CopyScreenTo(work);
  FillScreen();
  {
    cAlphaOpScope alpha;
    g_EffectBlits.Lens(&BackBuffer, ex, cy, radius, TruncToInt32(e.m_dValue), work, ex, cy,
                       DDBLT_NOKEY, 0);
  }
  return StepValue(e, frozen);
}

int ScrMosaic(cPlayScene* scene, int frozen) {
  cScrEffect& e = scene->m_ScrEffect;
  CopyScreenTo(Surface(kScreenWork2));
  FillScreen();
  {
    cAlphaOpScope alpha;
    g_EffectBlits.Mosaic(&BackBuffer, 0, 0, 640, 480, TruncToInt32(e.m_dValue),
                         Surface(kScreenWork2), 0, 0, DDBLT_NOKEY);
  }
  return StepValue(e, frozen);
}

}  // namespace

const ScrEffectFunc g_ScrEffectFunc[kScrEffectKinds] = {
    ScrNone,  ScrMove,  ScrShakeH, ScrShakeV, ScrSplitH, ScrSplitV, ScrWaveH,
    ScrWaveV, ScrBlink, ScrRotate, ScrCircle, ScrZoom,   ScrLens,   ScrMosaic};

void RunScreenEffect(cPlayScene* scene, int frozen) {
  cScrEffect& e = scene->m_ScrEffect;
  if (e.m_nEntry == 0) return;
  const int kind = g_DataBase.m_ScrEffect[e.m_nEntry].m_nKind;
  // A kind without a handler, or an instance never started from the table, ends at once.
  const bool known = kind >= 0 && kind < kScrEffectKinds && e.m_pEntry;
  if (!known || g_ScrEffectFunc[kind](scene, frozen) == 1) {
    e.m_nEntry = 0;
    DDSetVirBackBuffer(0);
  }
}
