#pragma once
// A character definition: the hero and every computer-controlled character are built from
// one. It is the entry of a palette's character list and of a stage's placed characters.
#include <cstdint>
#include <string>

#include "content/condition.h"
#include "content/flow.h"
#include "foundation/containers.h"
#include "foundation/file_data.h"

inline constexpr int kCharaInheritGroups = 37;

class cEdChara : public cFileData {
 public:
  cEdChara();

  void SetupItems(int version) override;
  void Read(cDataFile& file) override;
  void Write(cDataFile& file) override;
  // The defaults; the conditions, flows and position stay.
  void Clear();

  void Validate();
  void ClampIndexes();
  void ApplyInheritance();

  // The placement offset of copy i (0 = the character itself) for a facing (1 = right).
  double GetPlaceOffsetX(int i, int facing) const;
  double GetPlaceOffsetY(int i, int facing) const;

  std::int16_t m_sPosX = 0;
  std::int16_t m_sPosY = 0;
  std::int32_t m_nDropItem = 0;  // placed characters: index of the placed item it drops, -1 none
  std::uint8_t m_nBasePalette = 0;
  std::int16_t m_sBaseIndex = 0;
  cVector<std::uint8_t> m_Inherit;
  std::string m_strName;
  CondVector m_Conds;
  std::uint8_t m_nCondMode = 0;
  std::uint8_t m_bCondOnce = 0;
  std::uint8_t m_nFacing = 0;  // 0 left, 1 right
  std::uint8_t m_nCopies = 0;
  std::int16_t m_sCopyOffsetX = 0;
  std::int16_t m_sCopyStepX = 0;
  std::int16_t m_sCopyOffsetY = 0;
  std::int16_t m_sCopyStepY = 0;
  std::uint8_t m_bCopyMirrorX = 0;
  std::uint8_t m_bCopyMirrorY = 0;
  std::int16_t m_sGraphic = 0;
  std::uint8_t m_nGraphicKind = 1;
  std::int16_t m_sGraphicFrame = 0;
  std::int16_t m_sAnimeSet = 0;
  std::uint8_t m_nZ = 3;
  std::uint8_t m_bTransparent = 0;
  std::int16_t m_sCharaEffect = 0;
  std::uint8_t m_nCharaEffectMode = 0;
  std::uint8_t m_bCharaEffectRepeat = 1;
  std::int16_t m_sDeathEffect = 0;
  std::uint8_t m_nDeathEffectMode = 0;
  std::uint8_t m_nMarkShow = 0;
  std::int16_t m_sMark = 0;
  std::uint8_t m_nControl = 1;  // 0 player, 1 computer
  std::uint8_t m_nInput = 0;
  std::uint8_t m_nGroup = 1;
  std::uint8_t m_nCharaId = 0;
  std::uint8_t m_nFlyMode = 0;
  std::uint8_t m_bFixedFacing = 1;
  std::uint8_t m_nInvincible = 0;
  std::uint8_t m_nInvincibleShow = 0;
  std::uint8_t m_bNoHitBox = 0;
  std::uint8_t m_nScale = 1;
  std::uint8_t m_bScrollSync = 0;
  std::uint8_t m_nLight = 0;
  std::uint8_t m_nViewRange = 0;
  std::int32_t m_nMaxHP = 10;
  std::int32_t m_nMaxSP = 0;
  std::int16_t m_sStopEase = 10;
  std::uint8_t m_nHitSize = 0;
  std::int32_t m_nPower = 0;
  std::uint8_t m_nImpact = 0;
  std::int16_t m_sHitEffect = 0;
  std::int32_t m_nDefence = 0;
  std::uint8_t m_nImpactResist = 0;
  std::int32_t m_nScore = 0;
  std::uint8_t m_nExtra4 = 1;  // carried unchanged into spawned characters
  std::uint8_t m_bSetSwitch = 0;
  std::int16_t m_sSwitch = 0;
  std::uint8_t m_nActiveRange = 0;
  std::uint8_t m_nActiveOpt = 0;
  FlowVector m_Flows;
};
