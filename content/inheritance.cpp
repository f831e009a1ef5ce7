#include "content/inheritance.h"

#include "content/palette.h"

namespace {

template <auto... kMembers>
void Take(auto& dest, const auto& base) {
  ((dest.*kMembers = base.*kMembers), ...);
}

using B = cEdBlock;
using C = cEdChara;
using I = cEdItem;

void TakeFlows(cEdChara& dest, const cEdChara& base) {
  dest.m_Flows = base.m_Flows;
  if (dest.m_Flows.empty()) dest.m_Flows.emplace_back();
}

// The list a definition's base is taken from.
BlockVector* BaseList(const cEdBlock&, const sPaletteLists& lists) { return lists.pBlocks; }
CharaVector* BaseList(const cEdChara&, const sPaletteLists& lists) { return lists.pCharas; }
ItemVector* BaseList(const cEdItem&, const sPaletteLists& lists) { return lists.pItems; }

template <class Def, std::size_t kGroups>
void Inherit(Def& def, void (*const (&table)[kGroups])(Def&, const Def&)) {
  if (def.m_sBaseIndex == 0 || def.m_nBasePalette == 0) return;
  const Def* base = &def;  // another palette value: its own base
  if (def.m_nBasePalette == 1 || def.m_nBasePalette == 2) {
    const auto* list = BaseList(def, PaletteLists(def.m_nBasePalette));
    const auto index = static_cast<std::uint16_t>(def.m_sBaseIndex);
    if (!list || index >= list->size()) {
      def.m_nBasePalette = 0;
      return;
    }
    base = &(*list)[index];
  }
  // Groups are disjoint, so a definition that is its own base copies every field onto
  // itself unchanged.
  for (std::size_t g = 0; g < def.m_Inherit.size() && g < kGroups; ++g)
    if (def.m_Inherit[g]) table[g](def, *base);
}

}  // namespace

const BlockInheritFn g_BlockInheritFunc[kBlockInheritGroups] = {
    Take<&B::m_strName>,
    Take<&B::m_Conds, &B::m_nCondMode, &B::m_bCondOnce>,
    Take<&B::m_nGraphicKind, &B::m_sGraphic, &B::m_sGraphicFrame>,
    Take<&B::m_nLayer>,
    Take<&B::m_bHidden>,
    Take<&B::m_nMarkShow, &B::m_sMark>,
    Take<&B::m_nHitMode>,
    Take<&B::m_nPassGroup>,
    Take<&B::m_nEffect, &B::m_nEffectValue>,
    Take<&B::m_nItemPalette, &B::m_sItemIndex>,
    Take<&B::m_bNoChange>,
};

const ItemInheritFn g_ItemInheritFunc[kItemInheritGroups] = {
    Take<&I::m_strName>,
    Take<&I::m_Conds, &I::m_nCondMode, &I::m_bCondOnce>,
    Take<&I::m_sOffsetX>,
    Take<&I::m_sOffsetY>,
    Take<&I::m_nGraphicKind, &I::m_sGraphic, &I::m_sGraphicFrame>,
    Take<&I::m_nExtra5>,
    Take<&I::m_bHidden>,
    Take<&I::m_nMarkShow, &I::m_sMark>,
    Take<&I::m_nScale>,
    Take<&I::m_nTakeMode>,
    Take<&I::m_bShowOnTake>,
    Take<&I::m_sSound>,
    Take<&I::m_Cmds>,
};

const CharaInheritFn g_CharaInheritFunc[kCharaInheritGroups] = {
    Take<&C::m_strName>,
    Take<&C::m_nControl, &C::m_nInput>,
    Take<&C::m_nGroup>,
    Take<&C::m_nCharaId>,
    Take<&C::m_Conds, &C::m_nCondMode, &C::m_bCondOnce>,
    Take<&C::m_nFacing>,
    Take<&C::m_nCopies>,
    Take<&C::m_sCopyOffsetX, &C::m_sCopyStepX, &C::m_bCopyMirrorX>,
    Take<&C::m_sCopyOffsetY, &C::m_sCopyStepY, &C::m_bCopyMirrorY>,
    Take<&C::m_nGraphicKind, &C::m_sGraphic, &C::m_sGraphicFrame>,
    Take<&C::m_sAnimeSet>,
    Take<&C::m_nZ>,
    Take<&C::m_bTransparent>,
    Take<&C::m_sCharaEffect, &C::m_nCharaEffectMode, &C::m_bCharaEffectRepeat>,
    Take<&C::m_sDeathEffect, &C::m_nDeathEffectMode>,
    Take<&C::m_nMarkShow, &C::m_sMark>,
    Take<&C::m_bFixedFacing>,
    Take<&C::m_nFlyMode>,
    Take<&C::m_nInvincible, &C::m_nInvincibleShow>,
    Take<&C::m_bNoHitBox>,
    Take<&C::m_nScale>,
    Take<&C::m_bScrollSync>,
    Take<&C::m_nLight, &C::m_nViewRange>,
    Take<&C::m_nMaxHP>,
    Take<&C::m_nMaxSP>,
    Take<&C::m_nHitSize>,
    Take<&C::m_nPower>,
    Take<&C::m_nImpact>,
    Take<&C::m_sHitEffect>,
    Take<&C::m_nDefence>,
    Take<&C::m_nImpactResist>,
    Take<&C::m_sStopEase>,
    Take<&C::m_nActiveRange, &C::m_nActiveOpt>,
    Take<&C::m_sSwitch, &C::m_bSetSwitch>,
    Take<&C::m_nScore>,
    Take<&C::m_nExtra4>,
    TakeFlows,
};

void cEdBlock::ApplyInheritance() { Inherit(*this, g_BlockInheritFunc); }
void cEdChara::ApplyInheritance() { Inherit(*this, g_CharaInheritFunc); }
void cEdItem::ApplyInheritance() { Inherit(*this, g_ItemInheritFunc); }
