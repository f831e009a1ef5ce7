#include "project/play_data.h"

#include <algorithm>

#include "foundation/shell_services.h"
#include "project/format_append.h"
#include "project/system_data.h"

cPlayData g_PlayData;
cPlayData g_PlayDataAtStart;
cPlayData g_PrevPlayDataAtStart;

namespace {

int StoryPlayMode() { return PLAY_MODE_STORY; }
PlayModeSource g_PlayModeSource = &StoryPlayMode;

// Totals grow by values a save file may hold at any size; they wrap as 32-bit sums always
// have instead of overflowing.
void AddWrapped(std::int32_t& total, std::int64_t amount) {
  total = static_cast<std::int32_t>(static_cast<std::uint32_t>(total) +
                                    static_cast<std::uint32_t>(amount));
}

// No real project has this many challenge stages; a damaged system record that claims more
// must not make every progress record allocate for them.
constexpr std::int32_t kMaxChallengeStages = 999;

int ChallengeStageCount() {
  return std::clamp(g_SystemData.m_nChallengeCount, 0, kMaxChallengeStages);
}

void FitLength(cVector<std::int32_t>& list, std::size_t length) {
  if (list.size() != length) list.resize(length, 0);
}

}  // namespace

void SetPlayModeSource(PlayModeSource source) {
  g_PlayModeSource = source ? source : &StoryPlayMode;
}

int CurrentPlayMode() { return g_PlayModeSource(); }

// ---- element records -------------------------------------------------------------------

void cStageResult::SetupItems(int version) {
  ClearItems();
  AddString(&m_strFile);
  if (version >= 759) {
    AddString(&m_strKey);
    AddInt(&m_bVariant);
    AddInt(&m_nVariantVar);
    AddInt(&m_nVariantValue);
  }
  AddInt(&m_nValue);
}

void cStageResult::Read(cDataFile& file) {
  const int version = file.Version();
  cFileData::Read(file);
  if (file.Failed()) return;
  // Results were kept by stage name alone before variants had keys of their own.
  if (version < 759) m_strKey = m_strFile;
}

void cStageClear::SetupItems(int /*version*/) {
  ClearItems();
  AddInt(&m_bCleared);
  AddInt(&m_nBest);
}

// ---- the record ------------------------------------------------------------------------

cPlayData::cPlayData() {
  SetupItems(g_nDataVersion);
  Reset();
  m_SavedVar.assign(kCommonVarCount, 0);
}

void cPlayData::SetupItems(int version) {
  ClearItems();
  AddInt(&m_bInherit);
  AddInt(&m_nMapX);
  AddInt(&m_nMapY);
  AddInt(&m_nMapPointSlot);
  AddInt(&m_nLap);
  AddString(&m_strStageName);
  if (version >= 724) AddString(&m_strStageKey);
  if (version >= 758) {
    AddInt(&m_bVariant);
    AddInt(&m_nVariantVar);
    AddInt(&m_nVariantValue);
  }
  AddInt(&m_nStageNo);
  AddInt(&m_nPartNo);
  AddInt(&m_nEntryLives);
  AddInt(&m_nLives);
  AddInt(&m_nScore);
  AddInt(&m_nTotalScore);
  AddInt(&m_nResultTotal);
  AddInt(&m_nTimeTotal);
  AddInt(&m_nPlayTime);
  if (version >= 182) {
    AddInt(&m_nHpTotal);
    AddInt(&m_nSpTotal);
  }
  AddInt(&m_bMultiPart);
  AddInt(&m_nStageBgm);
  if (version >= 166) AddInt(&m_nStageBgmLoop);
  if (version >= 190) {
    if (version >= 194) AddInt(&m_nMapDir);
    AddInt(&m_bFromStage);
    if (version >= 191) {
      AddInt(&m_nMapReturnX);
      AddInt(&m_nMapReturnY);
    }
  }
  AddInt(&m_nChallengeOpen);
  AddInt(&m_nSaveSlot);
  if (version >= 169) AddInt(&m_bAutoSave);
  AddString(&m_strRankName);
  AddInt(&m_bShowRanking);
  AddInt(&m_nRankGenre);
  if (version >= 678) {
    AddInt(&m_bStartPos);
    AddInt(&m_nStartX);
    AddInt(&m_nStartY);
  }
  if (version >= 679) AddInt(&m_nStartDir);
}

void cPlayData::Reset() {
  cFileData::Clear();
  m_InheritFlags.assign(INHERIT_ITEM_COUNT, 0);
  ResetInheritSlots(1);
  m_StageClear.assign(kStageClearCount, 0);
  m_StageClear[0] = 1;
  m_CommonVar.assign(kCommonVarCount, 0);
  m_Results.clear();
  m_ChallengeClear.clear();
  m_nChallengeOpen = 1;
  m_nSaveSlot = -1;
  m_strRankName = "aaa";
  m_nMapPoint = -1;
}

void cPlayData::Read(cDataFile& file) {
  const int version = file.Version();
  cFileData::Read(file);
  if (file.Failed() || !file.ReadValue(m_SaveTime)) return;
  if (version > 500 && !ReadValueList(file, m_InheritFlags, "carry-over flags")) return;
  if (!ReadRecordList(file, m_InheritSlots, "carry-over slots") ||
      !ReadRecordList(file, m_Results, "stage results") ||
      !ReadRecordList(file, m_ChallengeClear, "challenge stages") ||
      !ReadValueList(file, m_StageClear, "cleared stages") ||
      !ReadValueList(file, m_CommonVar, "common variables"))
    return;
  if (version <= 820) Upgrade(version);
  Validate();
}

void cPlayData::Upgrade(int version) {
  if (version < 166) m_nStageBgmLoop = 1;
  if (version < 169) m_bAutoSave = 0;
  if (version < 182) m_nHpTotal = m_nSpTotal = 0;
  if (version < 190) m_bFromStage = 0;
  if (version < 191) m_nMapReturnX = m_nMapReturnY = 0;
  if (version < 194) m_nMapDir = 0;
  // Before carry flags were stored, every stored item was carried.
  if (version < 501) m_InheritFlags.assign(INHERIT_ITEM_COUNT, 1);
  if (version < 754) {
    FitLength(m_CommonVar, kCommonVarCount);
    m_SavedVar.assign(kCommonVarCount, 0);
  }
  if (version < 804 && !m_StageClear.empty()) m_StageClear[0] = 1;
}

void cPlayData::Write(cDataFile& file) {
  Validate();
  cFileData::Write(file);
  file.WriteValue(m_SaveTime);
  WriteValueList(file, m_InheritFlags);
  WriteRecordList(file, m_InheritSlots);
  WriteRecordList(file, m_Results);
  WriteRecordList(file, m_ChallengeClear);
  WriteValueList(file, m_StageClear);
  WriteValueList(file, m_CommonVar);
}

void cPlayData::Validate() {
  // A save made for another world map loads with the cursor on this map's start point. A
  // negative position is as far off the map as a too large one.
  if (m_nMapX < 0 || m_nMapX >= g_WorldMap.m_nWidth) m_nMapX = g_WorldMap.m_nStartX;
  if (m_nMapY < 0 || m_nMapY >= g_WorldMap.m_nHeight) m_nMapY = g_WorldMap.m_nStartY;
  const int challenges = ChallengeStageCount();
  m_ChallengeClear.resize(static_cast<std::size_t>(challenges));
  if (m_nChallengeOpen > challenges) m_nChallengeOpen = challenges;
  // The lists every flag, variable and carry-over access relies on keep their lengths
  // whatever the file said.
  FitLength(m_InheritFlags, INHERIT_ITEM_COUNT);
  FitLength(m_StageClear, kStageClearCount);
  FitLength(m_CommonVar, kCommonVarCount);
  if (m_InheritSlots.empty()) ResetInheritSlots(1);
}

// ---- stage names and results -----------------------------------------------------------

void MakeStageVariantName(std::string& key, int variant, int var, int value) {
  if (variant == 0) return;
  const bool point = !key.empty() && key.back() == '.';
  if (point) key.pop_back();
  FormatAppend(key, "_c%03d_%d", var, value);
  if (point) key.push_back('.');
}

void cPlayData::SetStageName(const char* name, int variant, int var, int value) {
  m_strStageName = name ? name : "";
  m_bVariant = variant;
  m_nVariantVar = var;
  m_nVariantValue = value;
  m_bMultiPart = 0;
  std::string& cut = m_strStageName;
  std::size_t part = std::string::npos;
  for (std::size_t i = cut.size(); i-- > 1;) {
    if (cut[i - 1] == '-' && cut[i] == '1') {
      part = i - 1;
      break;
    }
  }
  if (part != std::string::npos) {
    // The first part of a multi-part stage: abc-1.stg4 is known as abc.
    m_bMultiPart = 1;
    cut[part] = '.';
    cut.erase(part + 1);
  } else {
    const std::size_t dot = cut.rfind('.');
    if (dot == std::string::npos)
      cut.clear();
    else
      cut.erase(dot + 1);
  }
  m_strStageKey = cut;
  if (m_bVariant) MakeStageVariantName(m_strStageKey, m_bVariant, var, value);
}

void cPlayData::RecordStageResult(const std::string& name, const std::string& key, int variant,
                                  int var, int value, int result) {
  for (cStageResult& stored : m_Results) {
    if (stored.m_strKey != key) continue;
    if (stored.m_nValue < result) {
      AddWrapped(m_nResultTotal, static_cast<std::int64_t>(result) - stored.m_nValue);
      stored.m_nValue = result;
    }
    return;
  }
  cStageResult& added = m_Results.emplace_back();
  added.m_strFile = name;
  added.m_strKey = key;
  added.m_bVariant = variant;
  added.m_nVariantVar = var;
  added.m_nVariantValue = value;
  added.m_nValue = result;
  AddWrapped(m_nResultTotal, result);
}

std::int32_t cPlayData::GetStageResult(const std::string& key) const {
  for (const cStageResult& stored : m_Results)
    if (stored.m_strKey == key) return stored.m_nValue;
  return 0;
}

void cPlayData::RecountStageResults() {
  std::int32_t total = 0;
  for (const cStageResult& stored : m_Results) {
    if (g_WorldMap.FindStageOnMap(stored.m_strFile, stored.m_bVariant, stored.m_nVariantVar,
                                  stored.m_nVariantValue))
      AddWrapped(total, stored.m_nValue);
  }
  m_nResultTotal = total;
}

// ---- attempts, laps and rankings -------------------------------------------------------

void cPlayData::KeepStageStart() {
  m_SavedVar = m_CommonVar;
  m_nSavedLives = m_nLives;
  m_nSavedTotal = m_nTotalScore;
}

void cPlayData::RestoreStageStart(int retry) {
  if (retry) {
    m_CommonVar = m_SavedVar;
    m_nLives = m_nSavedLives;
    m_nTotalScore = m_nSavedTotal;
    return;
  }
  const int mode = CurrentPlayMode();
  bool restoreVars = false;
  if (mode == PLAY_MODE_REPLAY)
    restoreVars = true;  // a replay must meet the variables its recording met
  else if (g_bTestPlay)
    restoreVars = g_SystemData.m_bTestRestoreVars != 0;
  else if (mode == PLAY_MODE_STORY)
    restoreVars = g_SystemData.m_bStoryRestoreVars != 0;
  else if (mode == PLAY_MODE_CHALLENGE)
    restoreVars = g_SystemData.m_bChallengeRestoreVars != 0;
  else if (mode == PLAY_MODE_FREE)
    restoreVars = g_SystemData.m_bFreeRestoreVars != 0;
  if (restoreVars) m_CommonVar = m_SavedVar;
  m_nTotalScore = m_nSavedTotal;
}

void cPlayData::StartNextLap() {
  AddWrapped(m_nLap, 1);
  std::fill(m_StageClear.begin(), m_StageClear.end(), 0);
  if (!m_StageClear.empty()) m_StageClear[0] = 1;
  m_nMapX = g_WorldMap.m_nStartX;
  m_nMapY = g_WorldMap.m_nStartY;
}

void cPlayData::CycleRankingGenre(int playMode, int steps) {
  const auto& sets = g_SystemData.m_RankingSets;
  if (playMode < 0 || playMode >= static_cast<int>(sets.size())) return;
  const cVector<std::uint8_t>& genres = sets[playMode].m_Genres;
  const int count = std::min(static_cast<int>(genres.size()), kRankingGenreCount);
  auto enabled = [&](int genre) { return genre >= 0 && genre < count && genres[genre] != 0; };
  bool any = false;
  for (int genre = 0; genre < count; ++genre) any = any || enabled(genre);
  if (!any) return;
  const int last = kRankingGenreCount - 1;
  auto forward = [&](int genre) { return genre < 0 || genre >= last ? 0 : genre + 1; };
  auto back = [&](int genre) { return genre <= 0 || genre > last ? last : genre - 1; };
  int& genre = m_nRankGenre;
  if (steps > 0) {
    for (int i = 0; i < steps; ++i) {
      do genre = forward(genre);
      while (!enabled(genre));
    }
  } else if (steps == 0) {
    while (!enabled(genre)) genre = forward(genre);
  } else {
    for (int i = 0; i > steps; --i) {
      do genre = back(genre);
      while (!enabled(genre));
    }
  }
}

void cPlayData::ClearCounters() {
  m_nTotalScore = 0;
  m_nTimeTotal = 0;
  m_nPlayTime = 0;
  m_nHpTotal = 0;
  m_nSpTotal = 0;
}

// ---- what the world map asks -----------------------------------------------------------

bool cPlayData::IsFlagSet(int flag) const {
  return flag >= 0 && flag < static_cast<int>(m_StageClear.size()) && m_StageClear[flag] != 0;
}

std::int32_t cPlayData::GetCommonVar(int number) const {
  if (number <= 0 || number >= static_cast<int>(m_CommonVar.size())) return 0;
  return m_CommonVar[number];
}
