#include "objects/chara_effect_table.h"

#include "objects/chara_base.h"
#include "play/chara_effect.h"
#include "play/chara_effect_draw.h"
#include "project/database.h"

namespace {

// No effect: the character drawn plainly. A running effect whose entry has no kind of its own
// (a damaged table's kind is read as none) is drawn the same way and ends at once, so that
// nothing waits for it, such as the removal of a defeated character.
int PlainEffect(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen, int draw) {
  DrawCharaPlain(chara, target, src, frozen, draw);
  return chara.m_CharaEffect.m_nEntry != 0 ? 1 : 0;
}

}  // namespace

CharaEffectFunc g_CharaEffectFunc[kCharaEffectKinds] = {
    PlainEffect,         CharaEffectBurst,       CharaEffectSplitRows,   CharaEffectSplitColumns,
    CharaEffectWaveRows, CharaEffectWaveColumns, CharaEffectBlink,       CharaEffectRotateA,
    CharaEffectRotateB,  CharaEffectRotateDepth, CharaEffectCircle,      CharaEffectZoom,
    CharaEffectLens,     CharaEffectColour,      CharaEffectTranslucent, CharaEffectMosaic,
    CharaEffectBlur,
};

int CharaEffectKind(const cCharaEffect& effect) {
  if (effect.m_nEntry == 0) return 0;
  const auto& table = g_DataBase.m_CharaEffect;
  if (effect.m_nEntry < 0 || effect.m_nEntry >= static_cast<int>(table.size())) return 0;
  const int kind = table.data()[effect.m_nEntry].m_nKind;
  return kind >= 0 && kind < kCharaEffectKinds ? kind : 0;
}
