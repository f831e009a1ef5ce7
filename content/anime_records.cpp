#include "content/anime_records.h"

namespace {
constexpr const char* kAnimeSetNames[ANIMESET_COUNT] = {"立ち", "立ち移動", "飛行", "飛行移動"};

// Sets of the first editors held any number of animations; the player needs exactly four.
void BringToFourAnimations(cVector<cDbAnime>& anime) { anime.resize(ANIMESET_COUNT); }
}  // namespace

// ---- cDbAnimeFrame -------------------------------------------------------------------

cDbAnimeFrame::cDbAnimeFrame() { SetupItems(g_nDataVersion); }

void cDbAnimeFrame::SetupItems(int) {
  ClearItems();
  AddInt(&m_nCell);
  AddInt(&m_nTime);
  AddInt(&m_bLock);
}

// ---- cDbAnime ------------------------------------------------------------------------

cDbAnime::cDbAnime() { Clear(); }

void cDbAnime::SetupItems(int version) {
  ClearItems();
  AddString(&m_strName);
  if (version >= 55) {
    AddShort(&m_nValue1);
    AddByte(&m_nValue2);
    AddShort(&m_nValue3);
  }
}

void cDbAnime::Clear() {
  cFileData::Clear();
  m_Frames.assign(1, cDbAnimeFrame());
  m_nValue2 = 1;
}

void cDbAnime::Read(cDataFile& file) {
  cFileData::Read(file);
  if (file.Failed()) return;
  ReadRecordList(file, m_Frames, "animation frames");
}

void cDbAnime::Write(cDataFile& file) {
  cFileData::Write(file);
  WriteRecordList(file, m_Frames);
}

// ---- cDbAnimeSet ---------------------------------------------------------------------

cDbAnimeSet::cDbAnimeSet() {
  SetupItems(g_nDataVersion);
  cFileData::Clear();
}

void cDbAnimeSet::SetupItems(int version) {
  ClearItems();
  AddString(&m_strName);
  AddInt(&m_nInvincibleCell);
  AddInt(&m_nNoHitCell);
  if (version >= 119) AddInt(&m_nFlyCell);
}

void cDbAnimeSet::Read(cDataFile& file) {
  const int version = file.Version();
  cFileData::Read(file);
  if (file.Failed()) return;
  if (!ReadRecordList(file, m_Anime, "animations")) return;
  if (version < 119) BringToFourAnimations(m_Anime);
  if (version < 128) {
    BringToFourAnimations(m_Anime);
    m_Anime[ANIMESET_FLY].m_strName = kAnimeSetNames[ANIMESET_FLY];
    m_Anime[ANIMESET_FLY_MOVE].m_strName = kAnimeSetNames[ANIMESET_FLY_MOVE];
  }
}

void cDbAnimeSet::Write(cDataFile& file) {
  cFileData::Write(file);
  WriteRecordList(file, m_Anime);
}

void MakeDefaultAnimeSet(cDbAnimeSet& set) {
  set.cFileData::Clear();
  set.m_nInvincibleCell = 4;
  set.m_nNoHitCell = 8;
  set.m_nFlyCell = 0;
  set.m_Anime.assign(ANIMESET_COUNT, cDbAnime());
  for (int i = 0; i < ANIMESET_COUNT; ++i) set.m_Anime[i].m_strName = kAnimeSetNames[i];
}
