#include "project/carry_over.h"

#include <algorithm>

#include "content/block.h"
#include "content/content_refs.h"
#include "project/play_data.h"
#include "project/stage.h"
#include "project/system_data.h"

void cInheritData::SetupItems(int /*version*/) {
  ClearItems();
  AddInt(&m_nValue11);
  AddInt(&m_nValue12);
  AddInt(&m_nStageValue);
  AddInt(&m_nLives);
  AddInt(&m_nStageBgm);
}

void cInheritData::Read(cDataFile& file) {
  cFileData::Read(file);
  if (file.Failed()) return;
  m_Chara.Read(file);
}

void cInheritData::Write(cDataFile& file) {
  cFileData::Write(file);
  m_Chara.Write(file);
}

void CopyInheritItem(int item, cEdChara& to, const cEdChara& from) {
  switch (item) {
    case INHERIT_GRAPHIC:
      to.m_nGraphicKind = from.m_nGraphicKind;
      to.m_sGraphic = from.m_sGraphic;
      to.m_sGraphicFrame = from.m_sGraphicFrame;
      break;
    case INHERIT_ANIME_SET:
      to.m_sAnimeSet = from.m_sAnimeSet;
      break;
    case INHERIT_Z:
      to.m_nZ = from.m_nZ;
      break;
    case INHERIT_TRANSPARENT:
      to.m_bTransparent = from.m_bTransparent;
      break;
    case INHERIT_CHARA_EFFECT:
      to.m_sCharaEffect = from.m_sCharaEffect;
      to.m_nCharaEffectMode = from.m_nCharaEffectMode;
      to.m_bCharaEffectRepeat = from.m_bCharaEffectRepeat;
      break;
    case INHERIT_FIXED_FACING:
      to.m_bFixedFacing = from.m_bFixedFacing;
      break;
    case INHERIT_FLY_MODE:
      to.m_nFlyMode = from.m_nFlyMode;
      break;
    case INHERIT_INVINCIBLE:
      to.m_nInvincible = from.m_nInvincible;
      break;
    case INHERIT_SCALE:
      to.m_nScale = from.m_nScale;
      break;
    case INHERIT_SCROLL_SYNC:
      to.m_bScrollSync = from.m_bScrollSync;
      break;
    case INHERIT_LIGHT:
      to.m_nLight = from.m_nLight;
      to.m_nViewRange = from.m_nViewRange;
      break;
    case INHERIT_MAX_HP:
      to.m_nMaxHP = from.m_nMaxHP;
      break;
    case INHERIT_MAX_SP:
      to.m_nMaxSP = from.m_nMaxSP;
      break;
    case INHERIT_HIT_SIZE:
      to.m_nHitSize = from.m_nHitSize;
      break;
    case INHERIT_POWER:
      to.m_nPower = from.m_nPower;
      break;
    case INHERIT_IMPACT:
      to.m_nImpact = from.m_nImpact;
      break;
    case INHERIT_DEFENCE:
      to.m_nDefence = from.m_nDefence;
      break;
    case INHERIT_IMPACT_RESIST:
      to.m_nImpactResist = from.m_nImpactResist;
      break;
    case INHERIT_STOP_EASE:
      to.m_sStopEase = from.m_sStopEase;
      break;
    case INHERIT_FLOWS:
      to.m_Flows = from.m_Flows;
      break;
    default:
      break;
  }
}

namespace {

template <class T>
bool IsOn(const cVector<T>& list, int item) {
  return item >= 0 && item < static_cast<int>(list.size()) && list[item] != 0;
}

// Carried values come from a save that may have been made with another project or another
// database: references outside this project's tables fall back as a freshly loaded
// definition's would, so that nothing indexes past a table.
void ClampCarriedRefs(int item, cEdChara& hero, cStage& stage) {
  const cContentRefs& refs = ContentRefs();
  switch (item) {
    case INHERIT_GRAPHIC:
      // A stored graphic 0 would show nothing: the hero keeps the first graphic instead.
      if (hero.m_sGraphic == 0) hero.m_sGraphic = 1;
      if (hero.m_nGraphicKind == GRAPHIC_DEDICATED &&
          !IndexInTable(hero.m_sGraphic, refs.TableSize(REF_BMP_CHARA_EXC)))
        hero.m_sGraphic = 1;
      break;
    case INHERIT_ANIME_SET:
      if (!IndexInTable(hero.m_sAnimeSet, refs.TableSize(REF_ANIME_SET))) hero.m_sAnimeSet = 0;
      break;
    case INHERIT_CHARA_EFFECT:
      if (!IndexInTable(hero.m_sCharaEffect, refs.TableSize(REF_CHARA_EFFECT)))
        hero.m_sCharaEffect = 0;
      break;
    case INHERIT_SCALE:
      if (static_cast<std::int8_t>(hero.m_nScale) <= 0) hero.m_nScale = 1;
      break;
    case INHERIT_TIME:
      stage.m_nTimeLimit = std::max(stage.m_nTimeLimit, 0);
      break;
    case INHERIT_BGM:
      if (!IndexInTable(static_cast<std::uint32_t>(stage.m_nBgm), refs.TableSize(REF_BGM)))
        stage.m_nBgm = 0;
      break;
    default:
      break;
  }
}

}  // namespace

bool cPlayData::InheritItemOn(int item) const { return IsOn(g_SystemData.m_InheritAllowed, item); }

cInheritData* cPlayData::InheritSlot(int slot) {
  if (slot < 0 || slot >= static_cast<int>(m_InheritSlots.size())) return nullptr;
  return &m_InheritSlots[slot];
}

void cPlayData::StoreInherit(int slot, const cEdChara& hero, int hp, int sp, int effect,
                             int effectMode, int effectRepeat, int timeLeft, int lives,
                             int stageBgm) {
  cInheritData* data = InheritSlot(slot);
  if (!data) return;
  m_bInherit = 1;
  for (int item = 0; item < INHERIT_ITEM_COUNT; ++item) {
    if (!InheritItemOn(item)) continue;
    switch (item) {
      case INHERIT_CHARA_EFFECT:
        // The effect running on the hero, not the one its definition starts with.
        data->m_Chara.m_sCharaEffect = static_cast<std::int16_t>(effect);
        data->m_Chara.m_nCharaEffectMode = static_cast<std::uint8_t>(effectMode);
        data->m_Chara.m_bCharaEffectRepeat = static_cast<std::uint8_t>(effectRepeat);
        break;
      case INHERIT_HP:
        data->m_nValue11 = hp;
        break;
      case INHERIT_SP:
        data->m_nValue12 = sp;
        break;
      case INHERIT_TIME:
        data->m_nStageValue = timeLeft;
        break;
      case INHERIT_LIVES:
        data->m_nLives = lives;
        break;
      case INHERIT_BGM:
        data->m_nStageBgm = stageBgm;
        break;
      default:
        CopyInheritItem(item, data->m_Chara, hero);
        break;
    }
    if (item < static_cast<int>(m_InheritFlags.size())) m_InheritFlags[item] = 1;
  }
}

void cPlayData::ApplyInherit(int slot, cEdChara& hero, cStage& stage) {
  const cInheritData* data = InheritSlot(slot);
  if (!m_bInherit || !data) return;
  for (int item = 0; item < INHERIT_ITEM_COUNT; ++item) {
    if (item == INHERIT_HP || item == INHERIT_SP) continue;  // given by GetInheritValues
    if (!InheritItemOn(item) || !IsOn(m_InheritFlags, item)) continue;
    switch (item) {
      case INHERIT_TIME:
        stage.m_nTimeLimit = data->m_nStageValue;
        break;
      case INHERIT_LIVES:
        m_nLives = data->m_nLives;
        break;
      case INHERIT_BGM:
        stage.m_nBgm = data->m_nStageBgm;
        break;
      default:
        CopyInheritItem(item, hero, data->m_Chara);
        break;
    }
    ClampCarriedRefs(item, hero, stage);
  }
}

void cPlayData::GetInheritValues(int slot, std::int32_t& hp, std::int32_t& sp) const {
  if (!m_bInherit || slot < 0 || slot >= static_cast<int>(m_InheritSlots.size())) return;
  const cInheritData& data = m_InheritSlots[slot];
  if (InheritItemOn(INHERIT_HP) && IsOn(m_InheritFlags, INHERIT_HP)) hp = data.m_nValue11;
  if (InheritItemOn(INHERIT_SP) && IsOn(m_InheritFlags, INHERIT_SP)) sp = data.m_nValue12;
}

void cPlayData::ResetInheritFlags() {
  const cVector<std::uint8_t>& reset = g_SystemData.m_InheritReset;
  const std::size_t count = std::min(reset.size(), m_InheritFlags.size());
  for (std::size_t i = 0; i < count; ++i)
    if (reset[i] != 0) m_InheritFlags[i] = 0;
}

void cPlayData::ResetInheritSlots(int count) {
  m_InheritSlots.clear();
  m_InheritSlots.resize(static_cast<std::size_t>(std::max(count, 0)));
}
