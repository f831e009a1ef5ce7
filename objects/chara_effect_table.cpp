#include "objects/chara_effect_table.h"

#include "objects/chara_base.h"
#include "play/chara_effect.h"
#include "project/database.h"

CharaEffectFunc g_CharaEffectFunc[kCharaEffectKinds] = {
    DrawCharaPlain, DrawCharaPlain, DrawCharaPlain, DrawCharaPlain, DrawCharaPlain, DrawCharaPlain,
    DrawCharaPlain, DrawCharaPlain, DrawCharaPlain, DrawCharaPlain, DrawCharaPlain, DrawCharaPlain,
    DrawCharaPlain, DrawCharaPlain, DrawCharaPlain, DrawCharaPlain, DrawCharaPlain,
};

int CharaEffectKind(const cCharaEffect& effect) {
  if (effect.m_nEntry == 0) return 0;
  const auto& table = g_DataBase.m_CharaEffect;
  if (effect.m_nEntry < 0 || effect.m_nEntry >= static_cast<int>(table.size())) return 0;
  const int kind = table.data()[effect.m_nEntry].m_nKind;
  return kind >= 0 && kind < kCharaEffectKinds ? kind : 0;
}
