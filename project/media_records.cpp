#include "project/media_records.h"

#include "project/db_extra.h"

void cDbMediaRecord::Read(cDataFile& file) {
  const int version = file.Version();
  cFileData::Read(file);
  if (file.Failed()) return;
  ClearStaleExtra(version, m_nExtra);
}

cDbPicture::cDbPicture() {
  SetupItems(g_nDataVersion);
  Clear();
}

void cDbPicture::SetupItems(int version) {
  ClearItems();
  AddString(&m_strName);
  if (version >= 151) AddInt(&m_nExtra);
  AddString(&m_strFile);
}

cDbSound::cDbSound() {
  SetupItems(g_nDataVersion);
  Clear();
}

void cDbSound::SetupItems(int version) {
  ClearItems();
  AddString(&m_strName);
  AddString(&m_strFile);
  if (version >= 151) AddInt(&m_nExtra);
}

cDbBgm::cDbBgm() {
  SetupItems(g_nDataVersion);
  Clear();
  m_nVolume = 100;
}

void cDbBgm::SetupItems(int version) {
  ClearItems();
  AddString(&m_strName);
  if (version >= 151) AddInt(&m_nExtra);
  AddString(&m_strFile);
  if (version >= 814) AddInt(&m_nVolume);
}

cDbBmpCharaExc::cDbBmpCharaExc() {
  SetupItems(g_nDataVersion);
  Clear();
  m_nCellBlocks = 2;
}

void cDbBmpCharaExc::SetupItems(int version) {
  ClearItems();
  AddString(&m_strName);
  if (version >= 152) AddInt(&m_nExtra);
  AddString(&m_strFile);
  if (version >= 172) {
    AddInt(&m_bLargeCell);
    AddInt(&m_nCellBlocks);
  }
}
