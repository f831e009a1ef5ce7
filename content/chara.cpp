#include "content/chara.h"

#include "content/block.h"
#include "content/content_refs.h"

// The member initialisers hold the defaults; bindings are made when first used.
cEdChara::cEdChara() { m_Inherit.assign(kCharaInheritGroups, 0); }

void cEdChara::SetupItems(int version) {
  ClearItems();
  AddByte(&m_nBasePalette);
  AddShort(&m_sBaseIndex);
  AddByte(&m_nCondMode);
  AddByte(&m_bCondOnce);
  AddByte(&m_nFacing);
  AddByte(&m_nCopies);
  AddShort(&m_sCopyOffsetX);
  AddShort(&m_sCopyStepX);
  AddShort(&m_sCopyOffsetY);
  AddShort(&m_sCopyStepY);
  AddByte(&m_bCopyMirrorX);
  AddByte(&m_bCopyMirrorY);
  AddShort(&m_sGraphic);
  AddByte(&m_nGraphicKind);
  AddShort(&m_sGraphicFrame);
  AddShort(&m_sAnimeSet);
  AddByte(&m_nZ);
  AddByte(&m_bTransparent);
  AddShort(&m_sCharaEffect);
  if (version >= 196) AddByte(&m_nCharaEffectMode);
  AddByte(&m_bCharaEffectRepeat);
  AddShort(&m_sDeathEffect);
  if (version >= 196) AddByte(&m_nDeathEffectMode);
  AddByte(&m_nMarkShow);
  AddShort(&m_sMark);
  AddByte(&m_nControl);
  AddByte(&m_nInput);
  AddByte(&m_nGroup);
  AddByte(&m_nCharaId);
  AddByte(&m_nFlyMode);
  AddByte(&m_bFixedFacing);
  AddByte(&m_nInvincible);
  if (version >= 285) AddByte(&m_nInvincibleShow);
  AddByte(&m_bNoHitBox);
  AddByte(&m_nScale);
  if (version >= 210) AddByte(&m_bScrollSync);
  AddByte(&m_nLight);
  AddByte(&m_nViewRange);
  AddInt(&m_nMaxHP);
  AddInt(&m_nMaxSP);
  AddShort(&m_sStopEase);
  if (version >= 201) AddByte(&m_nHitSize);
  AddInt(&m_nPower);
  AddByte(&m_nImpact);
  AddShort(&m_sHitEffect);
  if (version >= 168) AddInt(&m_nDefence);
  AddByte(&m_nImpactResist);
  AddInt(&m_nScore);
  AddByte(&m_nExtra4);
  AddByte(&m_bSetSwitch);
  AddShort(&m_sSwitch);
  AddByte(&m_nActiveRange);
  AddByte(&m_nActiveOpt);
  AddString(&m_strName);
}

void cEdChara::Clear() {
  cFileData::Clear();
  m_nDropItem = 0;
  m_Inherit.assign(kCharaInheritGroups, 0);
  m_nControl = 1;
  m_nGroup = 1;
  m_nZ = 3;
  m_bCharaEffectRepeat = 1;
  m_nMaxHP = 10;
  m_nDefence = 0;
  m_nGraphicKind = 1;
  m_sGraphic = 0;
  m_nScale = 1;
  m_sStopEase = 10;
  m_bFixedFacing = 1;
  m_nExtra4 = 1;
}

namespace {
// A field that an old version lacked takes its group from the base: the flags of the later
// groups move up one place and the new group's flag is set.
void InsertInheritFlag(cVector<std::uint8_t>& flags, int group) {
  flags.resize(kCharaInheritGroups, 0);
  for (int g = kCharaInheritGroups - 1; g > group; --g) flags[g] = flags[g - 1];
  flags[group] = 1;
}
}  // namespace

void cEdChara::Read(cDataFile& file) {
  const int version = file.Version();
  if (!ReadDefinitionHead(*this, file) || !LoadFlowList(m_Flows, file)) return;
  if (!KeepTestPlayOnlyFlows()) RemoveTestPlayOnlyFlows(m_Flows);
  if (version < 168) {
    m_nDefence = 0;
    InsertInheritFlag(m_Inherit, 27);
  }
  if (version < 196) {
    m_nCharaEffectMode = 0;
    m_nDeathEffectMode = 0;
  }
  if (version < 201) {
    m_nHitSize = 0;
    InsertInheritFlag(m_Inherit, 24);
  }
  if (version < 206 && static_cast<std::int8_t>(m_nHitSize) >= 2) ++m_nHitSize;
  if (version < 210) {
    m_bScrollSync = 0;
    InsertInheritFlag(m_Inherit, 21);
  }
  UpgradeShotGraphic(m_sGraphic, m_nGraphicKind, version);
  if (version < 285) m_nInvincibleShow = 1;
  ApplyInheritance();
  Validate();
  ReleaseItems();
}

void cEdChara::Write(cDataFile& file) {
  WriteDefinitionHead(*this, file);
  WriteFlowList(m_Flows, file);
}

void cEdChara::Validate() {
  const cContentRefs& refs = ContentRefs();
  ValidateBaseRef(*this, PLIST_CHARA);
  if (m_nGraphicKind == GRAPHIC_DEDICATED &&
      !IndexInTable(m_sGraphic, refs.TableSize(REF_BMP_CHARA_EXC)))
    m_sGraphic = 1;
  if (static_cast<std::int8_t>(m_nScale) <= 0) m_nScale = 1;
  if (!IndexInTable(m_sAnimeSet, refs.TableSize(REF_ANIME_SET))) m_sAnimeSet = 0;
  if (!IndexInTable(m_sCharaEffect, refs.TableSize(REF_CHARA_EFFECT))) m_sCharaEffect = 0;
  if (!IndexInTable(m_sDeathEffect, refs.TableSize(REF_CHARA_EFFECT))) m_sDeathEffect = 0;
  if (!IndexInTable(m_sHitEffect, refs.TableSize(REF_EFFECT))) m_sHitEffect = 0;
  if (m_nControl == 0) {
    m_bNoHitBox = 0;
    m_nCopies = 0;
  }
  for (cEdFlow& flow : m_Flows) flow.Validate();
  std::erase_if(m_Flows, [](const cEdFlow& flow) {
    return flow.m_Conds.empty() && flow.m_KeyConds.empty() && flow.m_Cmds.empty() &&
           flow.m_nID == 0 && flow.m_nGroup == 0 && flow.m_nTrigger == 0;
  });
}

void cEdChara::ClampIndexes() {
  for (cEdFlow& flow : m_Flows) flow.ClampIndexes();
}

double cEdChara::GetPlaceOffsetX(int i, int facing) const {
  const double offset = static_cast<double>(i) * m_sCopyStepX + m_sCopyOffsetX;
  return facing == 1 && m_bCopyMirrorX ? -offset : offset;
}

double cEdChara::GetPlaceOffsetY(int i, int facing) const {
  const double offset = static_cast<double>(i) * m_sCopyStepY + m_sCopyOffsetY;
  return facing == 1 && m_bCopyMirrorY ? -offset : offset;
}
