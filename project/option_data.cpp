#include "project/option_data.h"

#include <algorithm>

#include "project/paths.h"
#include "project/player_file.h"

cOptionData g_OptionData;

cOptionData::cOptionData() {
  SetupItems(g_nDataVersion);
  cFileData::Clear();
  m_nPalette = 0;
  m_bBgm = 1;
  m_nSeVolume = 7;
  m_nRankMode = 0;
  m_strRankName = "aaa";
}

void cOptionData::SetupItems(int /*version*/) {
  ClearItems();
  AddInt(&m_nPalette);
  AddInt(&m_bBgm);
  AddInt(&m_nSeVolume);
  AddInt(&m_nRankMode);
  AddString(&m_strRankName);
}

void cOptionData::Read(cDataFile& file) {
  cFileData::Read(file);
  if (file.Failed()) return;
  Validate();
}

void cOptionData::Write(cDataFile& file) {
  Validate();
  cFileData::Write(file);
}

void cOptionData::Validate() {
  // The palette number names a blend-table file and the volume level indexes the volume
  // table: values written by anything but the options scene must not reach past either.
  m_nPalette = std::clamp(m_nPalette, 0, kOptionPaletteCount - 1);
  m_bBgm = m_bBgm != 0 ? 1 : 0;
  m_nSeVolume = std::clamp(m_nSeVolume, 0, kOptionVolumeLevels - 1);
  m_nRankMode = std::clamp(m_nRankMode, 0, kOptionRankModeCount - 1);
}

int cOptionData::Load() {
  return LoadPlayerFile(*this, g_PathTable[PATH_OPTION]) == PLAYER_FILE_LOADED ? 1 : 0;
}

int cOptionData::Save() { return SavePlayerFile(*this, g_PathTable[PATH_OPTION]); }
