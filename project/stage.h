#pragma once
// The record of one stage file: its settings, off-screen erase areas, its own palette, the
// placed blocks, characters and items, background layers and variable names.
#include <cstdint>
#include <string>

#include "content/palette.h"
#include "foundation/containers.h"
#include "foundation/file_data.h"

// The last four bytes of every stage file from version 173 on.
inline constexpr std::uint32_t kStageTrailer = 123456789;
// Speed levels a stage file may hold: 1 to 10, 11 to 19, and the larger levels older editors
// allowed, up to a bound that keeps a frame's sub-steps finite.
inline constexpr int kMinSpeedLevel = 1;
inline constexpr int kMaxSpeedLevel = 100;

// An off-screen area beyond which objects are removed.
class cEraseArea : public cFileData {
 public:
  cEraseArea() { SetupItems(g_nDataVersion); }
  void SetupItems(int version) override;
  void Set(int l, int r, int t, int b, int ml, int mr, int mt, int mb);

  std::int32_t m_bLeft = 0;
  std::int32_t m_bRight = 0;
  std::int32_t m_bTop = 0;
  std::int32_t m_bBottom = 0;
  std::int32_t m_nMarginLeft = 0;  // in 32-pixel blocks
  std::int32_t m_nMarginRight = 0;
  std::int32_t m_nMarginTop = 0;
  std::int32_t m_nMarginBottom = 0;
};

class cStageBackLayer : public cFileData {
 public:
  cStageBackLayer() { SetDefault(); }
  void SetupItems(int version) override;
  void SetDefault();

  std::int32_t m_bShow = 1;
  std::int32_t m_bFill = 0;  // fill the screen with a colour instead of the picture
  std::int32_t m_nFillColour = 16;
  std::int32_t m_nPass = 0;  // 0 before the map, 1 after
  double m_dSpeedX = 0.1;
  double m_dSpeedY = 0.1;
  std::int32_t m_bAutoX = 0;
  std::int32_t m_bAutoY = 0;
  std::string m_strImage;
  double m_dOffsetX = 0;
  double m_dOffsetY = 0;
};

class cVarName : public cFileData {
 public:
  cVarName() { SetupItems(g_nDataVersion); }
  void SetupItems(int version) override;

  std::string m_strName;
};

enum eEraseArea : int {
  ERASE_CHARA = 0,
  ERASE_CHARA_NO_HIT_BOX = 1,
  ERASE_ITEM = 2,
  ERASE_PLAYER_SHOT = 3,
  ERASE_COMPUTER_SHOT = 4,
  ERASE_AREA_COUNT = 5,
};

class cStage : public cFileData {
 public:
  cStage();

  void SetupItems(int version) override;
  void Read(cDataFile& file) override;
  void Write(cDataFile& file) override;
  void SetDefault();
  void Validate();
  // Validates this record, then writes the stage body: the settings, result switches, erase
  // areas, layers and names of playCopy with this record's palette and placed lists.
  void WriteMerged(cDataFile& file, cStage& playCopy);

  static bool ReadBackLayers(cVector<cStageBackLayer>& list, cDataFile& file);
  static bool ReadVarNames(cVector<cVarName>& list, cDataFile& file);

  // Derives the sub-steps per frame and the speed limits from a speed level.
  void SetSpeedLevel(int level);
  // The first placed character with a picture that the player controls; -1 when none.
  int FindHeroDef() const;
  bool HasHero() const { return FindHeroDef() >= 0; }
  // The play data of source (settings, name, result switches, erase areas, layers, names),
  // with no definition lists.
  void TakePlayData(const cStage& source);

  sPaletteLists PaletteLists() { return {&m_PalBlocks, &m_PalCharas, &m_PalItems}; }

  std::string m_strName;
  BlockVector m_PlacedBlocks;
  CharaVector m_PlacedCharas;
  ItemVector m_PlacedItems;
  BlockVector m_PalBlocks;
  CharaVector m_PalCharas;
  ItemVector m_PalItems;
  cVector<cStageBackLayer> m_BackLayers;
  cVector<cVarName> m_VarNames;

  std::int32_t m_nWidth = 0;
  std::int32_t m_nMapOptA = 0;
  std::int32_t m_nMapOptB = 0;
  std::int32_t m_nHeight = 0;
  std::int32_t m_bLimitLeft = 0;
  std::int32_t m_bLimitRight = 0;
  std::int32_t m_bLimitTop = 0;
  std::int32_t m_bLimitBottom = 0;
  std::int32_t m_nLimitLeft = 0;
  std::int32_t m_nLimitRight = 0;
  std::int32_t m_nLimitTop = 0;
  std::int32_t m_nLimitBottom = 0;
  std::int32_t m_nFrameRate = 60;
  std::int32_t m_bTimeLimit = 0;
  std::int32_t m_nTimeLimit = 200;
  std::int32_t m_nTimeWarning = 20;
  std::int32_t m_bAutoScrollX = 0;
  std::int32_t m_bAutoScrollY = 0;
  std::int32_t m_nAutoScrollSpeedX = 0;
  std::int32_t m_nAutoScrollSpeedY = 0;
  double m_dGravity = 0.4;
  std::int32_t m_nSpeedLevel = 10;
  std::int32_t m_nAttackHitLevel = 0;
  std::int32_t m_nBgm = 0;
  std::int32_t m_nBgmOptA = 0;
  std::int32_t m_nBgmOptB = 0;
  std::int32_t m_bZOrder = 1;
  std::int32_t m_bCarryIn = 0;
  std::int32_t m_bCarryOut = 0;
  std::int32_t m_nSceneOpt = 1;
  std::int32_t m_bAutoEnd = 0;
  std::int32_t m_bStartCaption1 = 0;
  std::int32_t m_bStartCaption2 = 1;
  std::int32_t m_bClearCaption = 1;
  std::int32_t m_bGameOverCaption = 1;
  std::int32_t m_nHeroW = 16, m_nHeroH = 24;
  std::int32_t m_nHeroFlyW = 16, m_nHeroFlyH = 16;
  std::int32_t m_nHeroHitW = 16, m_nHeroHitH = 24;
  std::int32_t m_nHeroFlyHitW = 16, m_nHeroFlyHitH = 16;
  std::int32_t m_nHeroHitBW = 12, m_nHeroHitBH = 8;
  std::int32_t m_nHeroBoxCW = 16, m_nHeroBoxCH = 16;
  std::int32_t m_bHeroBottom = 1, m_bHeroFlyBottom = 0;
  std::int32_t m_bHeroHitBottom = 1, m_bHeroFlyHitBottom = 0;
  std::int32_t m_nShowMode[4] = {};
  std::int32_t m_nShowColour[4] = {};
  std::int32_t m_nCharaW = 16, m_nCharaH = 24;
  std::int32_t m_nCharaFlyW = 16, m_nCharaFlyH = 16;
  std::int32_t m_nCharaHitW = 12, m_nCharaHitH = 24;
  std::int32_t m_nCharaFlyHitW = 12, m_nCharaFlyHitH = 16;
  std::int32_t m_nCharaShotHitW = 30, m_nCharaShotHitH = 30;
  std::int32_t m_bCharaBottom = 1, m_bCharaFlyBottom = 0;
  std::int32_t m_bCharaHitBottom = 1, m_bCharaFlyHitBottom = 0;
  std::int32_t m_nItemW = 28, m_nItemH = 28;
  std::int32_t m_nPlayerShotW = 16, m_nPlayerShotH = 16;
  std::int32_t m_nShotWC = 16, m_nShotHC = 16;
  std::int32_t m_nComputerShotW = 16, m_nComputerShotH = 16;
  std::int32_t m_nShotWD = 16, m_nShotHD = 16;
  std::int32_t m_nGeomFlag = 1;
  std::int32_t m_nScrollExtraX = 0;
  std::int32_t m_nScrollExtraY = 0;
  std::int32_t m_nSubSteps = 10;
  double m_dSubSteps = 10;
  double m_dSubSteps2 = 100;
  double m_dSpeedLimit = 60;
  double m_dGravityStep = 0.004;
  double m_dSpeedLimitStep = 6;
  std::int32_t m_nSubSteps8 = 80;
  std::int32_t m_bHitOnlyActive = 1;
  std::int32_t m_nHeroHitGap = 30;
  std::int32_t m_nHeroInvincible = 0;
  std::int32_t m_nCharaHitGap = 30;
  std::int32_t m_nCharaInvincible = 0;

  cVector<std::int32_t> m_ResultItems;
  cEraseArea m_EraseArea[ERASE_AREA_COUNT];
  std::string m_strPath;
  std::int32_t m_bFindNewest = 0;
  std::int32_t m_bLoaded = 0;
  std::int32_t m_nStepsPerTenth = 60;
};

// The stage being loaded or played, and the kept play data each attempt starts from.
extern cStage g_Stage;
extern cStage g_StageCopy;
// The sub-steps per frame of the running stage.
inline int HitLevel() { return g_Stage.m_nSubSteps; }
