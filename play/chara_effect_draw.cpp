// The sixteen character-effect kinds: how each draws the character's cell and advances its
// effect. Scaled characters are drawn from a copy of their cell at the drawn size, and every
// pixel value of an effect is then multiplied by the scale.
#include "play/chara_effect_draw.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "foundation/play_math.h"
#include "media/palette.h"
#include "media/translucency.h"
#include "objects/chara_base.h"
#include "objects/chara_effect_table.h"
#include "play/chara_effect.h"
#include "play/effect_blits.h"
#include "project/effect_records.h"
#include "project/system_bitmaps.h"

namespace {

constexpr int kWorkC = 69;
const double kSqrt2 = std::sqrt(2.0);

// The blend pair the source is drawn through, or null when its blend flag is not set.
const int* BlendOf(const sGraphicSrc& src) { return src.bBlend ? src.Blend : nullptr; }

// The parameters of the running instance (the reversed copy's for a reversed instance).
const int* ParamsOf(const cCharaEffect& effect) {
  static const int kNone[5] = {};
  return effect.m_pEntry ? effect.m_pEntry->m_nParam : kNone;
}

// What every handler reads of the character and its source.
struct sCell {
  cCharaBase& chara;
  cCharaEffect& effect;
  const int* p;  // the running instance's parameters
  DDSURFACEDATA* target = nullptr;
  const sGraphicSrc* src = nullptr;
  int L = 0, T = 0, W = 0, H = 0;  // screen rectangle and drawn size
  int srcW = 0, srcH = 0;          // the cell on its sheet (c x UW by c x UH)
  int s = 1;                       // the scale byte
  bool scaled = false;
  const int* blend = nullptr;

  sCell(cCharaBase& c, DDSURFACEDATA* t, sGraphicSrc* g)
      : chara(c), effect(c.m_CharaEffect), p(ParamsOf(c.m_CharaEffect)), target(t), src(g) {
    if (!g) return;
    L = chara.m_Rect.m_nLeft;
    T = chara.m_Rect.m_nTop;
    W = chara.m_Rect.m_nWidth;
    H = chara.m_Rect.m_nHeight;
    srcW = g->nCellBlocks * chara.m_Rect.m_nBaseWidth;
    srcH = g->nCellBlocks * chara.m_Rect.m_nBaseHeight;
    s = chara.m_Def.m_nScale;
    scaled = g->bOwnCellSize ? s != g->nCellBlocks : s > 1;
    blend = BlendOf(*g);
  }
  DDSURFACEDATA* Sheet() const { return src->pDraw; }
  int SX() const { return src->nSrcX; }
  int SY() const { return src->nSrcY; }
  // A pixel value of the effect at the drawn size.
  int Px(int v) const { return scaled ? MulWrap32(v, s) : v; }
  int V() const { return TruncToInt32(effect.m_dValue); }

  // The cell copied into a work surface at (0, 0) at its drawn size, without key.
  void CopyTo(DDSURFACEDATA* work) const {
    if (scaled) {
      if (blend)
        g_EffectBlits.BltStretchBlend(work, 0, 0, W, H, Sheet(), SX(), SY(), srcW, srcH,
                                      DDBLT_NOKEY, blend);
      else
        g_EffectBlits.BltStretch(work, 0, 0, W, H, Sheet(), SX(), SY(), srcW, srcH, DDBLT_NOKEY);
    } else if (blend) {
      g_EffectBlits.BltBlend(work, 0, 0, W, H, Sheet(), SX(), SY(), DDBLT_NOKEY, blend);
    } else {
      g_EffectBlits.Blt(work, 0, 0, W, H, Sheet(), SX(), SY(), DDBLT_NOKEY);
    }
  }
  // Where an effect draws from: the scaled copy in work at (0, 0), else the sheet's cell.
  void Source(DDSURFACEDATA* work, DDSURFACEDATA*& surface, int& sx, int& sy) const {
    if (scaled) {
      CopyTo(work);
      surface = work;
      sx = sy = 0;
    } else {
      surface = Sheet();
      sx = SX();
      sy = SY();
    }
  }
};

DDSURFACEDATA* System(int n) { return &g_SystemSurface[n]; }
DDSURFACEDATA* WorkA() { return System(CharaWorkSurface(1)); }
DDSURFACEDATA* WorkB() { return System(CharaWorkSurface(2)); }

// The blend pair's colour and operation set around a blit straight from the source.
class cBlendScope {
 public:
  explicit cBlendScope(const int* blend) : m_bSet(blend != nullptr) {
    if (!m_bSet) return;
    g_EffectBlits.SetColor(static_cast<std::uint32_t>(blend[0]));
    g_EffectBlits.SetColorOp(static_cast<std::uint32_t>(blend[1]));
  }
  ~cBlendScope() {
    if (!m_bSet) return;
    g_EffectBlits.ResetColor();
    g_EffectBlits.ResetColorOp();
  }
  cBlendScope(const cBlendScope&) = delete;
  cBlendScope& operator=(const cBlendScope&) = delete;

 private:
  bool m_bSet;
};

int Advance(cCharaEffect& effect, int frozen) { return frozen ? 0 : effect.Step(); }

int AtLeastOne(int n) { return n < 1 ? 1 : n; }

// size / n rounded up (n at least 1), the sum wrapping at 32 bits.
int RoundedUp(int size, int n) { return Wrap32(std::int64_t{size} + n - 1) / n; }

// The magnitude as 32-bit code takes it: the lowest value stays itself.
int Magnitude(int v) { return v < 0 ? NegWrap32(v) : v; }

}  // namespace

int CharaEffectBurst(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                     int draw) {
  sCell cell(chara, target, src);
  if (draw) {
    DDSURFACEDATA* from;
    int sx, sy;
    cell.Source(WorkA(), from, sx, sy);
    cBlendScope blend(cell.scaled ? nullptr : cell.blend);
    g_EffectBlits.QuadSplit(target, cell.L, cell.T, cell.W, cell.H, from, sx, sy, cell.Px(cell.V()),
                            DDBLT_KEY);
  }
  return Advance(cell.effect, frozen);
}

static int Split(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen, int draw,
                 int column) {
  sCell cell(chara, target, src);
  if (draw) {
    DDSURFACEDATA* from;
    int sx, sy;
    cell.Source(WorkA(), from, sx, sy);
    // The strip comes from the height for both directions.
    const int n = AtLeastOne(cell.p[3]);
    cBlendScope blend(cell.scaled ? nullptr : cell.blend);
    g_EffectBlits.Stripe(target, cell.L, cell.T, cell.W, cell.H, RoundedUp(cell.H, n),
                         cell.Px(cell.V()), from, sx, sy, DDBLT_KEY, column);
  }
  return Advance(cell.effect, frozen);
}
int CharaEffectSplitRows(cCharaBase& c, DDSURFACEDATA* t, sGraphicSrc* s, int f, int d) {
  return Split(c, t, s, f, d, 0);
}
int CharaEffectSplitColumns(cCharaBase& c, DDSURFACEDATA* t, sGraphicSrc* s, int f, int d) {
  return Split(c, t, s, f, d, 1);
}

static int Wave(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen, int draw,
                int column) {
  sCell cell(chara, target, src);
  cCharaEffect& e = cell.effect;
  if (draw) {
    DDSURFACEDATA* from;
    int sx, sy;
    cell.Source(WorkA(), from, sx, sy);
    const double amplitude = cell.scaled ? e.m_dValue * cell.s : e.m_dValue;
    cBlendScope blend(cell.scaled ? nullptr : cell.blend);
    g_EffectBlits.Wave(target, cell.L, cell.T, cell.W, cell.H, cell.p[3], amplitude, e.m_nPhase,
                       cell.Px(AtLeastOne(cell.p[4])), from, sx, sy, DDBLT_KEY, column);
  }
  if (frozen) return 0;
  e.m_nPhase = (e.m_nPhase + 1) % 360;
  return e.Step();
}
int CharaEffectWaveRows(cCharaBase& c, DDSURFACEDATA* t, sGraphicSrc* s, int f, int d) {
  return Wave(c, t, s, f, d, 0);
}
int CharaEffectWaveColumns(cCharaBase& c, DDSURFACEDATA* t, sGraphicSrc* s, int f, int d) {
  return Wave(c, t, s, f, d, 1);
}

// The blink's counter: the toggle turns when the counter has reached the interval, frozen or
// not; the counter itself moves only with the game.
static int BlinkCounter(cCharaEffect& e, const int* p, int frozen) {
  if (e.m_nPhase >= p[1]) {
    e.m_nPhase = 0;
    e.m_bShown = !e.m_bShown;
  }
  if (frozen) return 0;
  e.m_nPhase += 1;
  return e.Step();
}

int CharaEffectBlink(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                     int draw) {
  sCell cell(chara, target, src);
  if (draw && cell.effect.m_bShown == 1) DrawCharaPlain(cell.chara, target, src, frozen, 1);
  return BlinkCounter(cell.effect, cell.p, frozen);
}

// Rotation about the cell's centre, from the cell copied at its drawn size into work when
// scaled, else straight from the sheet.
static void RotateFromCell(const sCell& cell, DDSURFACEDATA* work) {
  DDSURFACEDATA* from;
  int sx, sy;
  if (cell.scaled) {
    cell.Source(work, from, sx, sy);
    g_EffectBlits.Rotate(cell.target, cell.L + cell.W / 2, cell.T + cell.H / 2, cell.W, cell.H,
                         cell.W / 2, cell.H / 2, cell.V(), from, sx, sy, DDBLT_KEY);
    return;
  }
  cBlendScope blend(cell.blend);
  g_EffectBlits.Rotate(cell.target, cell.L + cell.W / 2, cell.T + cell.H / 2, cell.W, cell.H,
                       cell.W / 2, cell.H / 2, cell.V(), cell.Sheet(), cell.SX(), cell.SY(),
                       DDBLT_KEY);
}

int CharaEffectRotateB(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                       int draw) {
  sCell cell(chara, target, src);
  if (draw) RotateFromCell(cell, System(lpDTCon ? 67 : 68));
  return Advance(cell.effect, frozen);
}

int CharaEffectRotateA(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                       int draw) {
  if (lpDTCon) return CharaEffectRotateB(chara, target, src, frozen, draw);
  sCell cell(chara, target, src);
  if (draw && cell.scaled) {
    // The unscaled cell is turned inside a square of its diagonal, which is then stretched
    // to the drawn size's diagonal about the cell's centre.
    const int q = TruncToInt32(cell.srcW * kSqrt2);
    const int d = TruncToInt32(cell.W * kSqrt2);
    DDSURFACEDATA* work = WorkA();
    g_EffectBlits.BoxFill(work, 0, 0, q, q, 0);
    g_EffectBlits.Rotate(work, q / 2, q / 2, cell.srcW, cell.srcH, cell.srcW / 2, cell.srcH / 2,
                         cell.V(), cell.Sheet(), cell.SX(), cell.SY(), DDBLT_NOKEY);
    g_EffectBlits.BltStretch(target, cell.L + cell.W / 2 - d / 2, cell.T + cell.H / 2 - d / 2, d, d,
                             work, 0, 0, q, q, DDBLT_KEY);
  } else if (draw) {
    RotateFromCell(cell, nullptr);
  }
  return Advance(cell.effect, frozen);
}

int CharaEffectRotateDepth(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                           int draw) {
  sCell cell(chara, target, src);
  if (draw) {
    cBlendScope blend(cell.blend);
    g_EffectBlits.Flip(target, cell.L, cell.T, cell.W, cell.H, src->pDraw, cell.SX(), cell.SY(),
                       src->pDrawOther, cell.SX(), cell.SY(), cell.srcW, cell.srcH, DDBLT_KEY,
                       cell.V(), 0);
  }
  return Advance(cell.effect, frozen);
}

int CharaEffectCircle(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                      int draw) {
  sCell cell(chara, target, src);
  if (draw) {
    const int cx = cell.L + cell.W / 2, cy = cell.T + cell.H / 2;
    const int strip = cell.Px(AtLeastOne(cell.p[3]));
    if (!lpDTCon && !cell.scaled) {
      g_EffectBlits.Circle(target, cx, cy, cell.W / 2, cell.H / 2, cell.V(), strip, cell.Sheet(),
                           cell.SX() + cell.W / 2, cell.SY() + cell.H / 2, DDBLT_KEY);
    } else {
      cell.CopyTo(WorkA());
      g_EffectBlits.Circle(target, cx, cy, cell.W / 2, cell.H / 2, cell.Px(cell.V()), strip,
                           WorkA(), cell.W / 2, cell.H / 2, DDBLT_KEY);
    }
  }
  return Advance(cell.effect, frozen);
}

int CharaEffectZoom(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                    int draw) {
  sCell cell(chara, target, src);
  if (draw) {
    const double grow = cell.effect.m_dValue - 32;
    const int e = cell.scaled ? TruncToInt32(grow * cell.s) / 2 : TruncToInt32(grow);
    DDSURFACEDATA* from;
    int sx, sy;
    cell.Source(WorkA(), from, sx, sy);
    cBlendScope blend(cell.scaled ? nullptr : cell.blend);
    g_EffectBlits.BltStretch(target, SubWrap32(cell.L, e / 2), SubWrap32(cell.T, e / 2),
                             AddWrap32(cell.W, e), AddWrap32(cell.H, e), from, sx, sy, cell.W,
                             cell.H, DDBLT_KEY);
  }
  return Advance(cell.effect, frozen);
}

int CharaEffectLens(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                    int draw) {
  sCell cell(chara, target, src);
  if (draw) {
    const int dx = MulWrap32(cell.p[3], cell.s), dy = MulWrap32(cell.p[4], cell.s);
    const int m = Magnitude(dx) > Magnitude(dy) ? Magnitude(dx) : Magnitude(dy);
    const int g = TruncToInt32(kSqrt2 * AddWrap32(m, cell.W / 2));
    DDSURFACEDATA* work = WorkB();
    const int side = MulWrap32(!lpDTCon && g_nBpp != 16 ? 2 : 4, g);
    g_EffectBlits.BoxFill(work, 0, 0, side, side, 0);
    cell.CopyTo(work);
    const int depth = cell.scaled ? MulWrap32(cell.V(), cell.s) : cell.V();
    const int lensX = AddWrap32(dx, cell.W / 2), lensY = AddWrap32(dy, cell.H / 2);
    const int cx = AddWrap32(cell.L + cell.W / 2, dx), cy = AddWrap32(cell.T + cell.H / 2, dy);
    const int twice = MulWrap32(2, g);
    const bool vir = lpDTCon && lpDTCon->bVirBackBuffer;
    if (lpDTCon && (cell.blend || vir)) {
      DDSURFACEDATA* c = System(kWorkC);
      g_EffectBlits.BoxFill(c, 0, 0, MulWrap32(4, g), MulWrap32(4, g), 0);
      const int last = cell.blend ? 1 : (g_nWindowMode == 1 && g_nBpp == 32 ? 1 : 0);
      g_EffectBlits.Lens(c, g, g, g, depth, work, lensX, lensY, 1, last);
      const int x = SubWrap32(cx, g), y = SubWrap32(cy, g);
      if (cell.blend)
        g_EffectBlits.BltBlend(target, x, y, twice, twice, c, 0, 0, DDBLT_KEY, cell.blend);
      else
        g_EffectBlits.Blt(target, x, y, twice, twice, c, 0, 0, DDBLT_KEY);
    } else {
      g_EffectBlits.Lens(target, cx, cy, g, depth, work, lensX, lensY, 1, 0);
    }
  }
  return Advance(cell.effect, frozen);
}

// The source of the colour kinds: the cell copied into surface 68 when scaled or (where the
// blend counts) drawn through a blend pair, else the sheet.
static void TintSource(const sCell& cell, bool blendCounts, DDSURFACEDATA*& from, int& sx,
                       int& sy) {
  if (cell.scaled || (blendCounts && cell.blend)) {
    cell.CopyTo(System(68));
    from = System(68);
    sx = sy = 0;
    return;
  }
  from = cell.Sheet();
  sx = cell.SX();
  sy = cell.SY();
}

static void DrawTint(const sCell& cell, std::uint32_t colour, int level) {
  DDSURFACEDATA* from;
  int sx, sy;
  TintSource(cell, true, from, sx, sy);
  g_EffectBlits.Tint(cell.target, cell.L, cell.T, cell.W, cell.H, from, sx, sy, DDBLT_KEY,
                     g_Palette, g_BlendTable, colour, level);
}

int CharaEffectColour(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                      int draw) {
  sCell cell(chara, target, src);
  if (draw) DrawTint(cell, static_cast<std::uint32_t>(cell.p[3]) & 0xFF, cell.V());
  return Advance(cell.effect, frozen);
}

int CharaEffectTranslucent(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                           int draw) {
  sCell cell(chara, target, src);
  if (draw && cell.effect.m_bShown == 0) {
    DDSURFACEDATA* from;
    int sx, sy;
    TintSource(cell, lpDTCon != nullptr, from, sx, sy);
    g_EffectBlits.Trans(target, cell.L, cell.T, cell.W, cell.H, from, sx, sy, DDBLT_KEY,
                        g_BlendTable);
  }
  return BlinkCounter(cell.effect, cell.p, frozen);
}

// The area effects (mosaic, blur) with their paths: straight from the sheet or the scaled copy
// in the DirectDraw behaviour; through work surface C in the Direct3D behaviour, unless a
// scaled character without blend pair is drawn while the virtual back buffer is off.
template <class Effect>
static void DrawArea(const sCell& cell, Effect effect) {
  DDSURFACEDATA* target = cell.target;
  if (!lpDTCon) {
    DDSURFACEDATA* from;
    int sx, sy;
    cell.Source(WorkB(), from, sx, sy);
    effect(target, cell.L, cell.T, from, sx, sy);
    return;
  }
  cell.CopyTo(WorkB());
  if (cell.scaled && !cell.blend && !lpDTCon->bVirBackBuffer) {
    effect(target, cell.L, cell.T, WorkB(), 0, 0);
    return;
  }
  DDSURFACEDATA* c = System(kWorkC);
  g_EffectBlits.BoxFill(c, 0, 0, 2 * cell.W, 2 * cell.H, 0);
  effect(c, 0, 0, WorkB(), 0, 0);
  if (cell.blend)
    g_EffectBlits.BltBlend(target, cell.L, cell.T, cell.W, cell.H, c, 0, 0, DDBLT_KEY, cell.blend);
  else
    g_EffectBlits.Blt(target, cell.L, cell.T, cell.W, cell.H, c, 0, 0, DDBLT_KEY);
}

int CharaEffectMosaic(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                      int draw) {
  sCell cell(chara, target, src);
  if (draw) {
    const int size = cell.Px(cell.V());
    DrawArea(cell, [&](DDSURFACEDATA* dst, int x, int y, DDSURFACEDATA* from, int sx, int sy) {
      g_EffectBlits.Mosaic(dst, x, y, cell.W, cell.H, size, from, sx, sy, DDBLT_KEY);
    });
  }
  return Advance(cell.effect, frozen);
}

int CharaEffectBlur(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                    int draw) {
  sCell cell(chara, target, src);
  if (draw && g_nBpp == 8) {
    DrawTint(cell, 31, cell.V());
  } else if (draw) {
    const int radius = cell.Px(cell.V());
    DrawArea(cell, [&](DDSURFACEDATA* dst, int x, int y, DDSURFACEDATA* from, int sx, int sy) {
      g_EffectBlits.Blur(dst, x, y, cell.W, cell.H, radius, radius, from, sx, sy, DDBLT_KEY);
    });
  }
  return Advance(cell.effect, frozen);
}
