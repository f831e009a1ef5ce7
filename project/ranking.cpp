#include "project/ranking.h"

#include <cstring>

#include "foundation/path_utils.h"
#include "foundation/report.h"
#include "project/paths.h"
#include "project/play_data.h"
#include "project/player_file.h"

cRanking g_Ranking;

namespace {

// Genre by genre: whether a higher value ranks first. Only the clear time ranks lower first.
constexpr std::int32_t kHighFirst[kRankGenreCount] = {1, 1, 0, 1, 1};

// Files written before version 181 held fewer genres and no order for the last two.
constexpr int kFiveGenresVersion = 181;

cRankTable DefaultTable() {
  cRankTable table;
  table.Reset();
  return table;
}

RankingStateSource g_pfnPlayMode = nullptr;
RankingStateSource g_pfnTestPlay = nullptr;

}  // namespace

// ---- records ------------------------------------------------------------------------------

void cRankEntry::SetupItems(int) {
  ClearItems();
  AddInt(&m_bUsed);
  AddString(&m_strName);
  AddInt(&m_nValue);
}

void cRankTable::SetupItems(int) {
  ClearItems();
  AddInt(&m_bHighFirst);
}

void cRankTable::Read(cDataFile& file) {
  cFileData::Read(file);
  if (file.Failed()) return;
  ReadRecordList(file, m_Entries, "ranking entries");
}

void cRankTable::Write(cDataFile& file) {
  cFileData::Write(file);
  WriteRecordList(file, m_Entries);
}

int cRankTable::FindRank(int value) const {
  for (int i = 0; i < static_cast<int>(m_Entries.size()); ++i) {
    const cRankEntry& entry = m_Entries[i];
    if (!entry.m_bUsed) return i;
    if (m_bHighFirst ? value > entry.m_nValue : value < entry.m_nValue) return i;
  }
  return -1;
}

void cRankTable::AddEntry(const std::string& name, int value) {
  const int position = FindRank(value);
  cRankEntry entry;
  entry.m_bUsed = 1;
  entry.m_strName = name;
  entry.m_nValue = value;
  if (position >= 0 && position < static_cast<int>(m_Entries.size()))
    m_Entries.insert(m_Entries.begin() + position, std::move(entry));
  else
    m_Entries.push_back(std::move(entry));
  // The entry that falls out is the last one: with no position, the new entry itself.
  m_Entries.pop_back();
}

void cRankTable::Reset() {
  m_bHighFirst = 0;
  m_Entries.resize(kRankEntryCount);
}

cRanking::cRanking() { Reset(); }

void cRanking::SetupItems(int) { ClearItems(); }

void cRanking::Read(cDataFile& file) {
  cFileData::Read(file);
  if (file.Failed()) return;
  if (!ReadRecordList(file, m_Tables, "ranking tables")) return;
  if (g_nReadVersion < kFiveGenresVersion) {
    m_Tables.resize(kRankGenreCount, DefaultTable());
    m_Tables[3].m_bHighFirst = 1;
    m_Tables[4].m_bHighFirst = 1;
  }
  // A later file that holds fewer tables gets the missing genres in their usual order, so
  // that showing or registering any genre finds its table.
  for (int genre = static_cast<int>(m_Tables.size()); genre < kRankGenreCount; ++genre) {
    m_Tables.push_back(DefaultTable());
    m_Tables.back().m_bHighFirst = kHighFirst[genre];
  }
}

void cRanking::Write(cDataFile& file) {
  cFileData::Write(file);
  WriteRecordList(file, m_Tables);
}

void cRanking::Reset() {
  m_Tables.assign(kRankGenreCount, DefaultTable());
  for (int genre = 0; genre < kRankGenreCount; ++genre)
    m_Tables[genre].m_bHighFirst = kHighFirst[genre];
}

// ---- files --------------------------------------------------------------------------------

int MakeRankingPath(std::string& out, int playMode, const std::string& stageName, int variantFlag,
                    int variantA, int variantB) {
  if (playMode < 0 || playMode > 2) return 0;
  std::string name = stageName;
  if (playMode == 0) MakeStageVariantName(name, variantFlag, variantA, variantB);
  StripDir(name.data());
  name.resize(std::strlen(name.c_str()));
  std::string path = g_PathTable[PATH_RANKING_STORY + playMode];
  path += name;
  path += g_ExtTable[EXT_RANKING];
  if (path.size() >= static_cast<std::size_t>(kMaxPath)) {
    Report("%s : the ranking file's path is too long", path.c_str());
    return 0;
  }
  out = std::move(path);
  return 1;
}

int LoadRanking(cRanking& ranking, int playMode, const std::string& stageName, int variantFlag,
                int variantA, int variantB) {
  std::string path;
  if (MakeRankingPath(path, playMode, stageName, variantFlag, variantA, variantB) &&
      LoadPlayerFile(ranking, path) == PLAYER_FILE_LOADED)
    return 1;
  ranking.Reset();
  return 0;
}

int SaveRanking(cRanking& ranking, int playMode, const std::string& stageName, int variantFlag,
                int variantA, int variantB) {
  std::string path;
  if (!MakeRankingPath(path, playMode, stageName, variantFlag, variantA, variantB)) return 0;
  // A file kept because it could not be read is not written over; the refusal is shown.
  if (IsKeptPlayerFile(path)) return SavePlayerFile(ranking, path);
  return ranking.SaveFile(path);
}

int GetRankingValue(const cPlayData& play, int genre) {
  switch (genre) {
    case 0:
      return play.m_nTotalScore;
    case 1:
      return play.m_nTimeTotal;
    case 2:
      return play.m_nPlayTime;
    case 3:
      return play.m_nHpTotal;
    case 4:
      return play.m_nSpTotal;
    default:
      return 0;
  }
}

// ---- what the program above provides ------------------------------------------------------

void SetRankingPlayModeSource(RankingStateSource source) { g_pfnPlayMode = source; }
void SetRankingTestPlaySource(RankingStateSource source) { g_pfnTestPlay = source; }
int RankingPlayMode() { return g_pfnPlayMode ? g_pfnPlayMode() : 0; }
int RankingTestPlay() { return g_pfnTestPlay ? g_pfnTestPlay() : 0; }
