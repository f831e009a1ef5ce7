#include "project/stage.h"

#include <algorithm>

#include "foundation/strings.h"

cStage g_Stage;
cStage g_StageCopy;

namespace {
// Definitions name the loaded stage's palette as palette 2.
const bool g_bStagePaletteInstalled = (SetStagePaletteLists(g_Stage.PaletteLists()), true);

constexpr std::size_t kMinLayerBytes = kMinRecordBytes;

template <class Def>
void WritePlaced(cVector<Def>& list, cDataFile& file) {
  file.WriteInt(static_cast<std::int32_t>(list.size()));
  for (Def& def : list) {
    file.WriteInt(0);
    def.Write(file);
  }
}

template <class Record>
bool ReadDefaultList(cVector<Record>& list, cDataFile& file, const char* what) {
  std::int32_t count = 0;
  if (!file.ReadCount(count, kMinLayerBytes, what, sizeof(Record))) return false;
  // Grown as the records are read: a count the file cannot back never reserves memory.
  list.clear();
  for (std::int32_t i = 0; i < count; ++i) {
    list.emplace_back();
    list.back().Read(file);
    if (file.Failed()) return false;
    list.back().ReleaseItems();
  }
  return true;
}

// Lowers a scroll limit to the map size less the margin; never raises it.
void LowerTo(std::int32_t& limit, std::int32_t size, int margin) {
  const std::int64_t most = static_cast<std::int64_t>(size) - margin;
  if (limit > most) limit = static_cast<std::int32_t>(most);
}
}  // namespace

// ---- parts ------------------------------------------------------------------------------

void cEraseArea::SetupItems(int version) {
  ClearItems();
  AddInt(&m_bLeft);
  if (version >= 125) {
    AddInt(&m_bRight);
    AddInt(&m_bTop);
    AddInt(&m_bBottom);
  }
  AddInt(&m_nMarginLeft);
  AddInt(&m_nMarginRight);
  AddInt(&m_nMarginTop);
  AddInt(&m_nMarginBottom);
}

void cEraseArea::Set(int l, int r, int t, int b, int ml, int mr, int mt, int mb) {
  m_bLeft = l;
  m_bRight = r;
  m_bTop = t;
  m_bBottom = b;
  m_nMarginLeft = ml;
  m_nMarginRight = mr;
  m_nMarginTop = mt;
  m_nMarginBottom = mb;
}

void cStageBackLayer::SetupItems(int version) {
  ClearItems();
  if (version >= 62) AddInt(&m_bShow);
  AddInt(&m_bFill);
  AddInt(&m_nFillColour);
  AddInt(&m_nPass);
  if (version >= 61) {
    AddDouble(&m_dSpeedX);
    AddDouble(&m_dSpeedY);
    AddInt(&m_bAutoX);
    AddInt(&m_bAutoY);
  } else {
    AddInt(&g_nDummy);
    AddInt(&g_nDummy);
  }
  AddString(&m_strImage);
  if (version >= 62) {
    AddDouble(&m_dOffsetX);
    AddDouble(&m_dOffsetY);
  } else if (version == 61) {
    AddInt(&g_nDummy);
    AddInt(&g_nDummy);
  }
}

void cStageBackLayer::SetDefault() {
  Clear();
  m_bShow = 1;
  m_nFillColour = 16;
  m_dSpeedX = 0.1;
  m_dSpeedY = 0.1;
}

void cVarName::SetupItems(int) {
  ClearItems();
  AddString(&m_strName);
}

// ---- the stage --------------------------------------------------------------------------

cStage::cStage() { SetDefault(); }

void cStage::SetupItems(int v) {
  ClearItems();
  for (std::int32_t* field :
       {&m_nWidth, &m_nMapOptA, &m_nMapOptB, &m_nHeight, &m_bLimitLeft, &m_bLimitRight,
        &m_bLimitTop, &m_bLimitBottom, &m_nLimitLeft, &m_nLimitRight, &m_nLimitTop,
        &m_nLimitBottom, &m_nFrameRate, &m_bTimeLimit, &m_nTimeLimit, &m_nTimeWarning,
        &m_bAutoScrollX, &m_bAutoScrollY, &m_nAutoScrollSpeedX, &m_nAutoScrollSpeedY})
    AddInt(field);
  AddDouble(&m_dGravity);
  AddInt(&m_nSpeedLevel);
  AddInt(&m_nAttackHitLevel);
  AddInt(&m_nBgm);
  if (v >= 166) AddInt(&m_nBgmOptA);
  if (v >= 199) AddInt(&m_nBgmOptB);
  AddInt(&m_bZOrder);
  AddInt(&m_bCarryIn);
  AddInt(&m_bCarryOut);
  if (v >= 183) AddInt(&m_nSceneOpt);
  if (v >= 184) AddInt(&m_bAutoEnd);
  AddInt(&m_bStartCaption1);
  if (v >= 225) AddInt(&m_bStartCaption2);
  AddInt(&m_bClearCaption);
  AddInt(&m_bGameOverCaption);
  // Each box's fields: those a version before 200 (or 155) lacked are skipped.
  auto boxes = [&](std::int32_t* w, std::int32_t* h, std::int32_t* flyW, std::int32_t* flyH,
                   std::int32_t* hitW, std::int32_t* hitH, std::int32_t* flyHitW,
                   std::int32_t* flyHitH) {
    if (v >= 200) {
      AddInt(w);
      AddInt(h);
      AddInt(flyW);
      AddInt(flyH);
    }
    AddInt(hitW);
    AddInt(hitH);
    if (v >= 155) {
      AddInt(flyHitW);
      AddInt(flyHitH);
    }
  };
  auto bottoms = [&](std::int32_t* bottom, std::int32_t* flyBottom, std::int32_t* hitBottom,
                     std::int32_t* flyHitBottom) {
    if (v >= 200) {
      AddInt(bottom);
      AddInt(flyBottom);
    }
    if (v >= 155) {
      AddInt(hitBottom);
      AddInt(flyHitBottom);
    }
  };
  boxes(&m_nHeroW, &m_nHeroH, &m_nHeroFlyW, &m_nHeroFlyH, &m_nHeroHitW, &m_nHeroHitH,
        &m_nHeroFlyHitW, &m_nHeroFlyHitH);
  AddInt(&m_nHeroHitBW);
  AddInt(&m_nHeroHitBH);
  AddInt(&m_nHeroBoxCW);
  AddInt(&m_nHeroBoxCH);
  bottoms(&m_bHeroBottom, &m_bHeroFlyBottom, &m_bHeroHitBottom, &m_bHeroFlyHitBottom);
  for (std::int32_t* show : {m_nShowMode, m_nShowColour})
    for (int i = v >= 200 ? 0 : 1; i < 4; ++i) AddInt(&show[i]);
  boxes(&m_nCharaW, &m_nCharaH, &m_nCharaFlyW, &m_nCharaFlyH, &m_nCharaHitW, &m_nCharaHitH,
        &m_nCharaFlyHitW, &m_nCharaFlyHitH);
  AddInt(&m_nCharaShotHitW);
  AddInt(&m_nCharaShotHitH);
  bottoms(&m_bCharaBottom, &m_bCharaFlyBottom, &m_bCharaHitBottom, &m_bCharaFlyHitBottom);
  for (std::int32_t* field :
       {&m_nItemW, &m_nItemH, &m_nPlayerShotW, &m_nPlayerShotH, &m_nShotWC, &m_nShotHC,
        &m_nComputerShotW, &m_nComputerShotH, &m_nShotWD, &m_nShotHD, &m_nGeomFlag,
        &m_nScrollExtraX, &m_nScrollExtraY, &m_nSubSteps})
    AddInt(field);
  for (double* field : {&m_dSubSteps, &m_dSubSteps2, &m_dSpeedLimit, &m_dGravityStep,
                        &m_dSpeedLimitStep})
    AddDouble(field);
  for (std::int32_t* field : {&m_nSubSteps8, &m_bHitOnlyActive, &m_nHeroHitGap,
                              &m_nHeroInvincible, &m_nCharaHitGap, &m_nCharaInvincible})
    AddInt(field);
  AddString(&m_strName);
}

void cStage::SetDefault() {
  Clear();
  m_PlacedBlocks.clear();
  m_PlacedCharas.clear();
  m_PlacedItems.clear();
  m_PalBlocks.assign(1, cEdBlock());
  m_PalCharas.assign(1, cEdChara());
  m_PalItems.assign(1, cEdItem());
  m_nFrameRate = 60;
  m_nTimeLimit = 200;
  m_nTimeWarning = 20;
  m_dGravity = 0.4;
  m_nSpeedLevel = 10;
  m_bZOrder = 1;
  m_nSceneOpt = 1;
  m_bStartCaption2 = 1;
  m_bClearCaption = 1;
  m_bGameOverCaption = 1;
  m_bHitOnlyActive = 1;
  m_nHeroHitGap = 30;
  m_nCharaHitGap = 30;
  m_nHeroW = 16, m_nHeroH = 24, m_nHeroFlyW = 16, m_nHeroFlyH = 16;
  m_nHeroHitW = 16, m_nHeroHitH = 24, m_nHeroFlyHitW = 16, m_nHeroFlyHitH = 16;
  m_nHeroHitBW = 12, m_nHeroHitBH = 8, m_nHeroBoxCW = 16, m_nHeroBoxCH = 16;
  m_bHeroBottom = 1, m_bHeroHitBottom = 1;
  m_nCharaW = 16, m_nCharaH = 24, m_nCharaFlyW = 16, m_nCharaFlyH = 16;
  m_nCharaHitW = 12, m_nCharaHitH = 24, m_nCharaFlyHitW = 12, m_nCharaFlyHitH = 16;
  m_nCharaShotHitW = 30, m_nCharaShotHitH = 30;
  m_bCharaBottom = 1, m_bCharaHitBottom = 1;
  m_nItemW = 28, m_nItemH = 28;
  for (std::int32_t* size : {&m_nPlayerShotW, &m_nPlayerShotH, &m_nShotWC, &m_nShotHC,
                             &m_nComputerShotW, &m_nComputerShotH, &m_nShotWD, &m_nShotHD})
    *size = 16;
  m_nGeomFlag = 1;
  SetSpeedLevel(m_nSpeedLevel);
  m_BackLayers.assign(1, cStageBackLayer());
  m_BackLayers[0].m_bFill = 1;
  m_VarNames.clear();
  m_ResultItems.assign(5, 1);
  for (int i = 0; i < 3; ++i) m_EraseArea[i].Set(0, 0, 0, 0, 0, 0, 0, 0);
  m_EraseArea[ERASE_PLAYER_SHOT].Set(1, 1, 1, 1, 0, 0, 0, 0);
  m_EraseArea[ERASE_COMPUTER_SHOT].Set(1, 1, 1, 1, 10, 10, 10, 10);
}

bool cStage::ReadBackLayers(cVector<cStageBackLayer>& list, cDataFile& file) {
  return ReadDefaultList(list, file, "background layers");
}

bool cStage::ReadVarNames(cVector<cVarName>& list, cDataFile& file) {
  return ReadDefaultList(list, file, "variable names");
}

void cStage::Read(cDataFile& file) {
  const int version = file.Version();
  cFileData::Read(file);
  if (file.Failed()) return;
  if (m_nSpeedLevel < kMinSpeedLevel || m_nSpeedLevel > kMaxSpeedLevel) {
    file.Fail(FormatText("speed level %d is outside %d to %d", m_nSpeedLevel, kMinSpeedLevel,
                         kMaxSpeedLevel));
    return;
  }
  if (!ReadValueList(file, m_ResultItems, "result switches")) return;
  for (cEraseArea& area : m_EraseArea) {
    area.Read(file);
    if (file.Failed()) return;
  }
  // Each list is read in place, so that palette-2 bases see this stage's own entries.
  if (!cPalette::ReadBlocks(m_PalBlocks, file) || !cPalette::ReadCharas(m_PalCharas, file) ||
      !cPalette::ReadItems(m_PalItems, file))
    return;
  ResetNoneEntries(PaletteLists());
  if (!cPalette::ReadBlocks(m_PlacedBlocks, file, true) ||
      !cPalette::ReadCharas(m_PlacedCharas, file, true) ||
      !cPalette::ReadItems(m_PlacedItems, file, true) || !ReadBackLayers(m_BackLayers, file) ||
      !ReadVarNames(m_VarNames, file))
    return;
  std::uint32_t trailer = 0;
  if (version > 172 && !file.ReadValue(trailer)) return;
  if (version < 155) {
    m_nHeroFlyHitW = m_nHeroHitW;
    m_nHeroFlyHitH = m_nHeroHitH;
    m_nCharaFlyHitW = m_nCharaHitW;
    m_nCharaFlyHitH = m_nCharaHitH;
    m_bHeroHitBottom = m_bHeroFlyHitBottom = m_bCharaHitBottom = m_bCharaFlyHitBottom = 0;
  }
  if (version < 166) m_nBgmOptA = 1;
  if (version < 181) {
    m_ResultItems.resize(5, 0);
    m_ResultItems[3] = m_ResultItems[4] = 0;
  }
  if (version < 183) m_nSceneOpt = 1;
  if (version < 184) m_bAutoEnd = 0;
  if (version < 199) m_nBgmOptB = 0;
  if (version < 200) {
    m_nHeroW = 16, m_nHeroH = 24, m_nHeroFlyW = 16, m_nHeroFlyH = 16;
    m_bHeroBottom = 1, m_bHeroFlyBottom = 0;
    m_nShowMode[0] = 0, m_nShowColour[0] = 5;
    m_nCharaW = 16, m_nCharaH = 30, m_nCharaFlyW = 16, m_nCharaFlyH = 30;
    m_bCharaBottom = 1, m_bCharaFlyBottom = 1;
  }
  if (version < 225) m_bStartCaption2 = 0;
  if (version < 754) m_VarNames.resize(1000);
  Validate();
}

void cStage::Write(cDataFile& file) { WriteMerged(file, *this); }

void cStage::WriteMerged(cDataFile& file, cStage& playCopy) {
  Validate();
  playCopy.cFileData::Write(file);
  WriteValueList(file, playCopy.m_ResultItems);
  for (cEraseArea& area : playCopy.m_EraseArea) area.Write(file);
  WritePaletteLists(PaletteLists(), file);
  WritePlaced(m_PlacedBlocks, file);
  WritePlaced(m_PlacedCharas, file);
  WritePlaced(m_PlacedItems, file);
  WriteRecordList(file, playCopy.m_BackLayers);
  WriteRecordList(file, playCopy.m_VarNames);
  file.WriteValue(kStageTrailer);
}

void cStage::Validate() {
  LowerTo(m_nLimitLeft, m_nWidth, 20);
  LowerTo(m_nLimitRight, m_nWidth, 1);
  LowerTo(m_nLimitTop, m_nHeight, 15);
  LowerTo(m_nLimitBottom, m_nHeight, 1);
  g_Stage.SetSpeedLevel(g_Stage.m_nSpeedLevel);
  if (!IndexInTable(static_cast<std::uint32_t>(m_nBgm), ContentRefs().TableSize(REF_BGM)))
    m_nBgm = 0;
  ValidatePaletteLists(PaletteLists());
  for (cEdBlock& block : m_PlacedBlocks) {
    block.Validate();
    block.ValidateItemRef();
  }
  for (cEdChara& chara : m_PlacedCharas) {
    chara.Validate();
    chara.ClampIndexes();
  }
  for (cEdItem& item : m_PlacedItems) {
    item.Validate();
    item.ClampIndexes();
  }
}

void cStage::SetSpeedLevel(int level) {
  m_nSpeedLevel = level;
  const bool limited = level >= 11 && level <= 19;
  // A level below 1 has no sub-steps to divide by; it runs as level 1.
  const int n = std::max(limited ? level - 10 : level, 1);
  m_nSubSteps = n;
  m_dSubSteps = n;
  m_nStepsPerTenth = 6 * n;
  m_dSubSteps2 = static_cast<double>(n) * n;
  m_dSpeedLimit = limited ? 60 : 6.0 * n;
  m_dSpeedLimitStep = m_dSpeedLimit / n;
  m_nSubSteps8 = 8 * n;
  m_dGravityStep = m_dGravity / (static_cast<double>(n) * n);
}

int cStage::FindHeroDef() const {
  for (std::size_t i = 0; i < m_PlacedCharas.size(); ++i) {
    const cEdChara& chara = m_PlacedCharas.data()[i];
    if (chara.m_sGraphic != 0 && chara.m_nControl == 0) return static_cast<int>(i);
  }
  return -1;
}

void cStage::TakePlayData(const cStage& source) {
  if (&source == this) return;
  Copy(source);
  m_BackLayers = source.m_BackLayers;
  m_VarNames = source.m_VarNames;
  for (int i = 0; i < ERASE_AREA_COUNT; ++i) m_EraseArea[i] = source.m_EraseArea[i];
  m_ResultItems = source.m_ResultItems;
  m_PlacedBlocks.clear();
  m_PlacedCharas.clear();
  m_PlacedItems.clear();
  m_PalBlocks.clear();
  m_PalCharas.clear();
  m_PalItems.clear();
}
