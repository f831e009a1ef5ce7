#pragma once
// The settings of a command that puts objects into the stage: shots (formation, angles,
// offsets, graphic, guidance, speed, range, lifetime, power), swords (sword type, group, Z,
// power) and the summons of blocks, characters and items; the offset and direction rules of
// firing, and the value ranges per formation and per guidance kind.
#include <boost/shared_ptr.hpp>
#include <cstdint>

#include "foundation/file_data.h"

enum eShotFormation : std::int8_t {
  FORMATION_STRAIGHT_A,
  FORMATION_STRAIGHT_B,
  FORMATION_SPREAD,
  FORMATION_THUNDER,
  FORMATION_EXPLODE,
  FORMATION_SURROUND,
  FORMATION_COUNT
};

enum eShotGuide : std::int8_t {
  GUIDE_STRAIGHT,
  GUIDE_AIM_HERO,
  GUIDE_AIM_NEAREST,
  GUIDE_AIM_TARGET,
  GUIDE_HOME_HERO,
  GUIDE_HOME_NEAREST,
  GUIDE_HOME_TARGET,
  GUIDE_HOME_NEAREST_RETARGET,
  GUIDE_WAVE,
  GUIDE_FALL,
  GUIDE_COUNT
};

// The item a shot carries: which palette (none, common, stage).
enum ePaletteKind : std::int8_t { PALETTE_NONE = 0, PALETTE_COMMON = 1, PALETTE_STAGE = 2 };
// The palette a summon takes its definition from (numbered apart from ePaletteKind).
enum eSummonPalette : std::int8_t { SUMMON_COMMON = 0, SUMMON_STAGE = 1 };

// The shot graphics hold 120 pictures.
inline constexpr int kMaxShotGraphic = 119;

class cEdShot : public cFileData {
 public:
  cEdShot();

  void SetupItems(int version) override;
  void Read(cDataFile& file) override;
  void Write(cDataFile& file) override;
  void SetDefaults();
  // Size factor at least 1; a hit effect outside the Effect table becomes none.
  void Validate();

  // The start offset of the n-th object of one firing, mirrored for a firer facing right
  // (facing 1) when the mirror switch of that axis is on.
  double GetOffsetX(int n, int facing) const;
  double GetOffsetY(int n, int facing) const;

  std::int8_t m_nCount = 0;
  std::int8_t m_nFormation = 0;
  std::int16_t m_sFormationValue[3] = {0, 0, 0};
  std::int8_t m_byReserved4 = 0;
  std::int8_t m_nDirection = 0;
  std::int8_t m_byReserved6 = 0;
  std::int8_t m_nTargetSlot = 0;
  std::int16_t m_sAngleDev = 0;
  std::int16_t m_sAngleDevClone = 0;
  std::int8_t m_bMirrorAngle = 0;
  std::int16_t m_sSpreadAngle = 0;
  std::int8_t m_byReserved12 = 0;
  std::int8_t m_nClonesPerShot = 0;
  std::int16_t m_sOffsetX = 0;
  std::int16_t m_sOffsetXClone = 0;
  std::int16_t m_sOffsetY = 0;
  std::int16_t m_sOffsetYClone = 0;
  std::int8_t m_bMirrorX = 0;
  std::int8_t m_bMirrorY = 0;
  std::int16_t m_sGraphic = 0;
  std::int8_t m_nZ = 0;
  std::int8_t m_bInvisible = 0;
  std::int8_t m_bGroupFromFirer = 0;
  std::int8_t m_nGroup = 0;
  std::int8_t m_byReserved25 = 0;
  std::int8_t m_nSizeFactor = 0;
  std::int8_t m_byReserved27 = 0;
  std::int8_t m_nGuide = 0;  // the sword type for a sword
  std::int16_t m_sGuideValue[3] = {0, 0, 0};
  std::int8_t m_nTargetSlot2 = 0;
  std::int8_t m_bHoming = 0;
  std::int16_t m_sSpeed = 0;
  std::int16_t m_sSpeedClone = 0;
  std::int8_t m_bAccel = 0;
  std::int16_t m_sAccel = 0;
  std::int16_t m_sAccelClone = 0;
  std::int16_t m_sRange = 0;
  std::int8_t m_bRange = 0;
  std::int16_t m_sRangeClone = 0;
  std::int8_t m_bStopAtRangeEnd = 0;
  std::int8_t m_bLifetime = 0;
  std::int16_t m_sLifetime = 0;
  std::int16_t m_sLifetimeClone = 0;
  std::int8_t m_nBlockMode = 0;
  std::int8_t m_byReserved45 = 0;
  std::int8_t m_byReserved46 = 0;
  std::int8_t m_byReserved47 = 0;
  std::int8_t m_nVanishValue = 0;
  std::int32_t m_nPower = 0;
  std::int16_t m_sReserved50 = 0;
  std::int8_t m_nImpact = 0;
  std::int16_t m_sHitEffect = 0;
  std::int8_t m_nItemPalette = 0;  // ePaletteKind
  std::int16_t m_sItemIndex = 0;
  std::int8_t m_nBlockSummonMode = 0;
  std::int8_t m_byReserved56 = 0;
  std::int8_t m_byReserved57 = 0;
  std::int8_t m_nSummonPalette = 0;  // eSummonPalette
  std::int16_t m_sSummonIndex = 0;
  std::int8_t m_byReserved60 = 0;
  std::int8_t m_byReserved61 = 0;
  std::int8_t m_byReserved62 = 0;
  std::int8_t m_byReserved63 = 0;
  std::int8_t m_byReserved64 = 0;
};

using ShotPtr = boost::shared_ptr<cEdShot>;

void NewShot(ShotPtr& shot);

// The data version of the replay being played back, 0 when none is; replays recorded by older
// versions decide the input-direction rule of MapDirection themselves.
extern int g_nPlaybackReplayVersion;

// The direction code (0 none, 2 left, 3 right, 6 up, 7 down, 8 to 11 the diagonals) of a
// recorded input direction (0 none, 1 left, 2 right, 3 up, 4 down, 5 to 8 the diagonals,
// 9 any). No input takes the facing; "any" gives none when keepNone is set, else the facing.
int MapDirection(int choice, int keepNone, int facing);

// The label, range and default of one value of a formation or guidance kind (an empty
// label: the kind makes no use of that value).
struct sParamLabel {
  const char* pLabel;
  std::int16_t sMin;
  std::int16_t sMax;
  std::int16_t sDefault;
};

extern const sParamLabel g_FormationParamTable[FORMATION_COUNT * 3];
extern const sParamLabel g_GuideParamTable[GUIDE_COUNT * 3];
