#include "project/database.h"

#include <algorithm>
#include <cstdint>
#include <type_traits>

#include "foundation/report.h"
#include "project/load_failure.h"

cDataBase g_DataBase;
AnimeRuns g_AnimeSequences;

namespace {
constexpr const char* kTablePaths[DB_TABLE_COUNT] = {
    "data\\database\\AnimeSet.dat",     "data\\database\\Anime.dat",
    "data\\database\\Bmp_CharaExc.dat", "data\\database\\SwordType.dat",
    "data\\database\\Effect.dat",       "data\\database\\CharaEffect.dat",
    "data\\database\\ScrEffect.dat",    "data\\database\\Picture.dat",
    "data\\database\\Sound.dat",        "data\\database\\Bgm.dat",
};

// Sequencer durations are in frames, record times in tenths of a second.
constexpr int kFramesPerTenth = 6;

// A time of a hostile file saturates instead of overflowing.
int TenthsToFrames(std::int32_t tenths) {
  return static_cast<int>(
      std::clamp<std::int64_t>(std::int64_t{tenths} * kFramesPerTenth, INT32_MIN, INT32_MAX));
}

template <class T>
void FillDefault(cVector<T>& table, int count) {
  table.assign(static_cast<std::size_t>(count), T());
}

// Reads a table from a file positioned after its header: a 32-bit count, then the
// elements. Elements already present are read over, so that a field the file's version
// lacks keeps its value; new elements start as copies of fresh. On a damaged file the
// table is left as it was.
template <class T>
bool ReadDbTable(cVector<T>& table, cDataFile& file, const T& fresh) {
  std::int32_t count = 0;
  if (!file.ReadCount(count, kMinRecordBytes, "table", sizeof(T))) return false;
  // Grown as the elements are read: a count the file cannot back never reserves memory.
  cVector<T> loaded = table;
  const auto wanted = static_cast<std::size_t>(count);
  if (loaded.size() > wanted) loaded.resize(wanted);
  for (std::size_t i = 0; i < wanted; ++i) {
    if (i == loaded.size()) loaded.push_back(fresh);
    loaded[i].Read(file);
    if (file.Failed()) return false;
    loaded[i].ReleaseItems();
  }
  if (loaded.empty()) {
    // Every reference falls back to entry 0, so a table without one would send each of
    // them out of bounds: an empty table gets its default entry 0.
    Report("%s : the table holds no entries; entry 0 takes its default", file.Path().c_str());
    loaded.push_back(fresh);
  }
  table.swap(loaded);
  return true;
}

template <class T>
int LoadDbTable(cVector<T>& table, const char* path, const T& fresh) {
  // A failed open leaves the flag as an earlier open set it; the message must speak of
  // this file only.
  g_bNewerDataFile = 0;
  DataFilePtr file = DataFileOpenRead(path);
  if (!file) {
    ReportLoadFailure(path);
    return 0;
  }
  const int version = file->Version();
  if (!ReadDbTable(table, *file, fresh)) {
    Report("%s : damaged data file (version %d): %s", path, version, file->FailReason().c_str());
    DataFileClose(file);
    ReportLoadFailure(path);
    return 0;
  }
  DataFileClose(file);
  return 1;
}

cDbAnimeSet DefaultAnimeSet() {
  cDbAnimeSet set;
  MakeDefaultAnimeSet(set);
  return set;
}

template <class T>
int Size(const cVector<T>& table) {
  return static_cast<int>(table.size());
}
}  // namespace

const char* DbTablePath(int table) {
  if (table < 0 || table >= DB_TABLE_COUNT) return "";
  return kTablePaths[table];
}

cDataBase::cDataBase() {
  SetupItems(g_nDataVersion);
  SetDefault();
}

void cDataBase::SetDefault() {
  cFileData::Clear();
  m_AnimeSet.assign(1, DefaultAnimeSet());
  FillDefault(m_Anime, 2);
  m_Anime[0].m_strName = "なし";
  m_Anime[1].m_strName = "アクションA";
  FillDefault(m_BmpCharaExc, 2);
  FillDefault(m_SwordType, 1);
  FillDefault(m_Effect, 2);
  FillDefault(m_CharaEffect, 2);
  FillDefault(m_ScrEffect, 2);
  FillDefault(m_Picture, 2);
  FillDefault(m_Sound, 2);
  FillDefault(m_Bgm, 2);
}

int cDataBase::Load() {
  // Each table read stops the load at once when it fails, keeping the fixed order.
  for (int table = 0; table < DB_TABLE_COUNT; ++table)
    if (!LoadTable(table)) return 0;
  FixFirstEntries();
  return 1;
}

int cDataBase::LoadTable(int table) {
  const char* path = DbTablePath(table);
  return VisitTable(table, 0, [path](auto& list) {
    using T = typename std::decay_t<decltype(list)>::value_type;
    if constexpr (std::is_same_v<T, cDbAnimeSet>)
      return LoadDbTable(list, path, DefaultAnimeSet());
    else
      return LoadDbTable(list, path, T());
  });
}

void cDataBase::FixFirstEntries() {
  if (!m_CharaEffect.empty()) m_CharaEffect[0].m_nKind = CHARA_EFFECT_NONE;
  if (!m_ScrEffect.empty()) m_ScrEffect[0].m_nKind = SCR_EFFECT_NONE;
}

void cDataBase::CopyEffectWork() {
  m_CharaEffectWork = m_CharaEffect;
  m_ScrEffectWork = m_ScrEffect;
}

int cDataBase::TableSize(int table) const {
  return VisitTable(table, 0, [](const auto& list) { return Size(list); });
}

int cDataBase::ClampIndex(int table, int index) const {
  return index >= 0 && index < TableSize(table) ? index : 0;
}

void BuildAnimeFrameTable(AnimeRuns& out) { BuildAnimeFrameTable(g_DataBase.m_Anime, out); }

void BuildAnimeFrameTable(const cVector<cDbAnime>& anime, AnimeRuns& out) {
  out.clear();
  out.resize(anime.size());
  for (int i = 0; i < Size(anime); ++i) {
    const cVector<cDbAnimeFrame>& frames = anime[i].m_Frames;
    AnimeRun& run = out[i];
    run.resize(frames.size() + 1);
    // Entry 0 is the resting animation: it loops and nothing but a forced change leaves it.
    // The others lock from their first locked frame to their end.
    std::uint8_t lock = i == 0 ? 1 : 0;
    for (int k = 0; k < Size(frames); ++k) {
      if (frames[k].m_bLock) lock = 1;
      run[k].nFrame = frames[k].m_nCell;
      run[k].nDuration = i == 0 ? 0 : TenthsToFrames(frames[k].m_nTime);
      run[k].bLock = lock;
    }
    sAnimeFrame& control = run[Size(frames)];
    control.nFrame = i == 0 ? kAnimeLoop : kAnimeEnd;
    control.nDuration = 0;
    control.bLock = i == 0 ? 1 : 0;
  }
}
