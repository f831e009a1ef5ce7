// A character on the screen once per frame: its animations, the graphic of its state, its
// character effect, its icon, the finishing of a defeated character and its HP and SP gauges.
#include <cmath>

#include "content/anime_records.h"
#include "foundation/play_math.h"
#include "media/blit.h"
#include "media/draw_routines.h"
#include "media/surface.h"
#include "objects/chara_base.h"
#include "objects/chara_effect_table.h"
#include "objects/hero.h"
#include "play/chara_effect.h"
#include "play/scene_manager.h"
#include "project/database.h"
#include "project/system_data.h"

namespace {

constexpr int kIconSheet = 43;   // "bmp\Mark.bmp": 32x32 cells in columns of 15
constexpr int kGaugeSheet = 49;  // "bmp\Accessory.bmp"
constexpr int kGaugeLength = 50;

// The animation set of the definition; set 0 stands in for one outside the table (the set
// was reported when the character was reset), and none for an empty table.
const cDbAnimeSet* AnimeSetOf(const cEdChara& def) {
  const auto& sets = g_DataBase.m_AnimeSet;
  if (sets.empty()) return nullptr;
  const int set = def.m_sAnimeSet;
  return &sets.data()[set >= 0 && set < static_cast<int>(sets.size()) ? set : 0];
}

}  // namespace

int cCharaBase::UpdateAnimes(int frozen) {
  if (!frozen) {
    m_Anime.Update();
    for (auto it = m_OneShotAnime.begin(); it != m_OneShotAnime.end();) {
      if (!it->m_bPaused && it->m_Anime.Update() == kAnimeEnd)
        it = m_OneShotAnime.erase(it);
      else
        ++it;
    }
  }
  for (const cOneShotAnime& anime : m_OneShotAnime)
    if (!anime.m_bPaused) return anime.m_Anime.GetFrame();
  return m_Anime.GetFrame();
}

int cCharaBase::GetGraphicOffset(sGraphicSrc& src) const {
  const cDbAnimeSet* set = AnimeSetOf(m_Def);
  std::int32_t offset = m_Def.m_sGraphicFrame;
  if (set && m_Def.m_nFlyMode) offset = AddWrap32(offset, set->m_nFlyCell);
  if (set && m_Def.m_bNoHitBox) offset = AddWrap32(offset, set->m_nNoHitCell);
  src.bBlend = 0;
  if (m_Def.m_nInvincible) {
    if (set) offset = AddWrap32(offset, set->m_nInvincibleCell);
    // The invincible colour: an entry of the animated blend colours (entry 0 is none).
    const int colour = m_Def.m_nInvincibleShow;
    constexpr int kColours = static_cast<int>(sizeof(g_FlashColours) / sizeof(g_FlashColours[0]));
    if (lpDTCon && g_SystemData.m_bCharaColourAnim && colour != 0 && colour < kColours) {
      src.bBlend = 1;
      src.Blend[0] = static_cast<int>(g_FlashColours[colour].dwColour);
      src.Blend[1] = g_FlashColours[colour].nColourOp;
    }
  }
  return offset;
}

namespace {

// The graphic source of a character's frame, with its state's offset and blend.
void PrepareCharaSource(const cCharaBase& chara, sGraphicSrc& src, int frame) {
  sGraphicSrc state;
  const int offset = chara.GetGraphicOffset(state);
  SetGraphicSource(src, GRAPHIC_SRC_OBJECT, chara.m_Def.m_nGraphicKind, chara.m_Def.m_sGraphic,
                   frame, &chara, offset);
  src.bBlend = state.bBlend;
  src.Blend[0] = state.Blend[0];
  src.Blend[1] = state.Blend[1];
}

// The handler of the running effect; an effect that reports its end is no longer running.
int RunEffectHandler(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                     int draw) {
  const int result =
      g_CharaEffectFunc[CharaEffectKind(chara.m_CharaEffect)](chara, target, src, frozen, draw);
  if (result) chara.m_CharaEffect.m_nEntry = 0;
  return result;
}

}  // namespace

int DrawCharaPlain(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int, int draw) {
  if (!draw || !target || !src) return 0;
  const sDrawRect& r = chara.m_Rect;
  const int s = chara.m_Def.m_nScale;
  const int blocks = src->nCellBlocks;
  const bool scaled = src->bOwnCellSize ? s != blocks : s > 1;
  const int* blend = src->bBlend ? src->Blend : nullptr;
  if (!scaled) {
    if (!src->pA) return 0;
    if (blend)
      DDBltBlend(target, r.m_nLeft, r.m_nTop, r.m_nWidth, r.m_nHeight, src->pA, src->nSrcX,
                 src->nSrcY, DDBLT_KEY, blend);
    else
      DDBlt(target, r.m_nLeft, r.m_nTop, r.m_nWidth, r.m_nHeight, src->pA, src->nSrcX, src->nSrcY,
            DDBLT_KEY);
    return 0;
  }
  if (!src->pDraw) return 0;
  const int sw = MulWrap32(blocks, r.m_nBaseWidth);
  const int sh = MulWrap32(blocks, r.m_nBaseHeight);
  if (blend)
    DDBltStretchBlend(target, r.m_nLeft, r.m_nTop, r.m_nWidth, r.m_nHeight, src->pDraw, src->nSrcX,
                      src->nSrcY, sw, sh, DDBLT_KEY, blend);
  else
    DDBltStretch(target, r.m_nLeft, r.m_nTop, r.m_nWidth, r.m_nHeight, src->pDraw, src->nSrcX,
                 src->nSrcY, sw, sh, DDBLT_KEY);
  return 0;
}

void cCharaBase::Draw(DDSURFACEDATA* target, int frozen) {
  const int frame = UpdateAnimes(frozen);
  if (m_bHiddenThisStep || m_Def.m_bTransparent) {
    RunCharaEffect(frozen);
    return;
  }
  cObject::UpdateScreenRect();
  // A character warped to a screen position stays there.
  if (m_bAnchorX) {
    m_Rect.m_nLeft = m_nAnchorLeft;
    m_Rect.m_nRight = SubWrap32(AddWrap32(m_Rect.m_nLeft, m_Rect.m_nWidth), 1);
  }
  if (m_bAnchorY) {
    m_Rect.m_nTop = m_nAnchorTop;
    m_Rect.m_nBottom = SubWrap32(AddWrap32(m_Rect.m_nTop, m_Rect.m_nHeight), 1);
  }
  sGraphicSrc src;
  PrepareCharaSource(*this, src, frame);
  RunEffectHandler(*this, target, &src, frozen, 1);
  if (m_Def.m_nMarkShow != 1) return;
  const int m = m_Def.m_sMark;
  const int sx = m / 15 * 32;
  const int sy = m % 15 * 32;
  if (m_Def.m_nScale <= 1)
    DDBlt(target, m_Rect.m_nLeft, m_Rect.m_nTop, 32, 32, SystemSurfaceEntry(kIconSheet), sx, sy,
          DDBLT_KEY);
  else
    DDBltStretch(target, m_Rect.m_nLeft, m_Rect.m_nTop, m_Rect.m_nWidth, m_Rect.m_nHeight,
                 SystemSurfaceEntry(CharaWorkSurface(0)), sx, sy, m_Rect.m_nBaseWidth,
                 m_Rect.m_nBaseHeight, DDBLT_KEY);
}

int cCharaBase::RunEndEffect(DDSURFACEDATA* target, int frozen) {
  sGraphicSrc src;
  PrepareCharaSource(*this, src, 0);
  const bool running = m_CharaEffect.m_nEntry != 0;
  if (m_nControl != 0) {
    // A computer character goes as soon as its defeat effect is over.
    if (!running) return 1;
    return RunEffectHandler(*this, target, &src, frozen, 1) ? 1 : 0;
  }
  // The player's character stays about a second after its effect.
  if (running) {
    RunEffectHandler(*this, target, &src, frozen, 1);
    return 0;
  }
  if (frozen) return 0;
  if (m_nFinishWait <= g_SceneManager.m_nFps) ++m_nFinishWait;
  return m_nFinishWait > g_SceneManager.m_nFps ? 1 : 0;
}

int cCharaBase::RunCharaEffect(int frozen) {
  return RunEffectHandler(*this, nullptr, nullptr, frozen, 0);
}

namespace {

// The gauge of HP (index 0) or SP (index 1): a background, the value bar (in the warning
// colour at or below the display threshold) and the bar of the last change, which shrinks
// away in the first 60 of its 120 frames.
void DrawGauge(cCharaBase& chara, sStatus& status, std::int32_t maximum, int index,
               DDSURFACEDATA* target) {
  if (status.m_nGauge <= 0 || chara.m_bFinished) return;
  DDSURFACEDATA* sheet = SystemSurfaceEntry(kGaugeSheet);
  const bool fineRows = sheet && sheet->nHeight > 208;
  const int row0 = fineRows ? 208 : 128;
  const int rowStep = fineRows ? 2 : 16;
  const auto row = [&](int n) { return row0 + n * rowStep; };
  const int sx = index == 0 ? 0 : 64;
  const sDrawRect& r = chara.m_Rect;
  const int x = SubWrap32(AddWrap32(r.m_nLeft, r.m_nWidth >> 1), 25);
  const int y = SubWrap32(r.m_nTop, index == 0 ? 3 : 7);
  DDBlt(target, x, y, kGaugeLength, 2, sheet, sx, row(0), DDBLT_KEY);
  const int warning = IsBelowDisplayThreshold(index == 0 ? 2 : 3, status.m_nValue, maximum);
  DDBlt(target, x, y, status.m_nBar, 2, sheet, sx, row(warning ? 2 : 1), DDBLT_KEY);
  const int bar = status.m_nBar;
  if (status.m_dChange < 0) {
    DDBlt(target, AddWrap32(x, bar), y, TruncToInt32(-status.m_dChange), 2, sheet, sx, row(3),
          DDBLT_KEY);
  } else {
    const int change = TruncToInt32(status.m_dChange);
    DDBlt(target, SubWrap32(AddWrap32(x, bar), change), y, change, 2, sheet, sx, row(4), DDBLT_KEY);
  }
  --status.m_nGauge;
  if (status.m_nGauge < 60)
    status.m_dChange = 0.0;
  else
    status.m_dChange = status.m_dChange - status.m_dStep;
}

}  // namespace

void cCharaBase::DrawHPGauge(DDSURFACEDATA* target) {
  DrawGauge(*this, m_HP, m_Def.m_nMaxHP, 0, target);
}

void cCharaBase::DrawSPGauge(DDSURFACEDATA* target) {
  DrawGauge(*this, m_SP, m_Def.m_nMaxSP, 1, target);
}

void cHero::Draw(DDSURFACEDATA* target, int frozen) {
  cCharaBase::Draw(target, frozen);
  for (sHitRect& box : m_HitRects) {
    if (box.nMode == 0) continue;
    std::int32_t x = AddWrap32(m_Rect.m_nLeft, m_Rect.m_nOffsetX);
    std::int32_t y = AddWrap32(m_Rect.m_nTop, m_Rect.m_nOffsetY);
    const sHitBox* own = box.nKind == HITRECT_HIT_A    ? &m_HitBoxA
                         : box.nKind == HITRECT_PICKUP ? &m_PickupBox
                         : box.nKind == HITRECT_HIT_B  ? &m_HitBoxB
                                                       : nullptr;
    if (own) {
      x = AddWrap32(x, own->m_nOffsetX);
      y = AddWrap32(y, own->m_nOffsetY);
    }
    std::uint32_t colour = static_cast<std::uint32_t>(box.nPalette);
    if (!PaletteAnimates()) colour += static_cast<std::uint32_t>(box.nCounter >> 3);
    if (box.nMode == 1)
      DrawRectFrame(target, x, y, box.nWidth, box.nHeight, 1, colour);
    else if (box.nMode == 2)
      DDBoxFill(target, x, y, box.nWidth, box.nHeight, colour);
    if (++box.nCounter >= 32) box.nCounter = 0;
  }
}
