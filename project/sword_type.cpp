#include "project/sword_type.h"

#include "project/db_extra.h"

cDbSwordFrame::cDbSwordFrame() { SetupItems(g_nDataVersion); }

void cDbSwordFrame::SetupItems(int version) {
  ClearItems();
  AddInt(&m_nOffsetX);
  AddInt(&m_nOffsetY);
  if (version >= 138) {
    AddInt(&m_bFlipOffsetX);
    AddInt(&m_bFlipOffsetY);
  }
  AddInt(&m_nAnchor);
  AddInt(&m_nSrcX);
  AddInt(&m_nSrcY);
  AddInt(&m_nWidth);
  AddInt(&m_nHeight);
  AddInt(&m_nTime);
}

cDbSwordType::cDbSwordType() { SetDefault(); }

void cDbSwordType::SetupItems(int version) {
  ClearItems();
  AddString(&m_strName);
  if (version >= 151) AddInt(&m_nExtra);
  AddString(&m_strImage);
  AddString(&m_strImage2);
}

void cDbSwordType::SetDefault() {
  Clear();
  m_Frames.assign(1, cDbSwordFrame());
  m_Frames[0].m_nTime = 1;
}

void cDbSwordType::Read(cDataFile& file) {
  const int version = file.Version();
  cFileData::Read(file);
  if (file.Failed()) return;
  if (!ReadRecordList(file, m_Frames, "sword frames")) return;
  ClearStaleExtra(version, m_nExtra);
}

void cDbSwordType::Write(cDataFile& file) {
  cFileData::Write(file);
  WriteRecordList(file, m_Frames);
}
