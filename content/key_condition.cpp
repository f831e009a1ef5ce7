#include "content/key_condition.h"

cEdKeyCond::cEdKeyCond() {
  SetupItems(g_nDataVersion);
  Clear();
  m_Keys.assign(kKeyCondEntries, KEY_IGNORE);
}

void cEdKeyCond::SetupItems(int) {
  ClearItems();
  AddByte(&m_bFacingRelative);
  AddShort(&m_sMinFrames);
  AddShort(&m_sMaxFrames);
  AddByte(&m_bAnyDuration);
  AddByte(&m_nMode);
}

void cEdKeyCond::Read(cDataFile& file) {
  cFileData::Read(file);
  if (file.Failed()) return;
  ReadValueList(file, m_Keys, "key states");
}

void cEdKeyCond::Write(cDataFile& file) {
  cFileData::Write(file);
  WriteValueList(file, m_Keys);
}

bool LoadKeyCondList(KeyCondVector& list, cDataFile& file) {
  return ReadRecordList(file, list, "key-input conditions");
}
