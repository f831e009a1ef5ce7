#include "shell/boot_data.h"

#include "project/paths.h"
#include "project/player_file.h"

cBootData g_BootData;

cBootData::cBootData() { SetupItems(g_nDataVersion); }

void cBootData::SetupItems(int /*version*/) {
  ClearItems();
  AddInt(&m_nDrawMode);
  AddInt(&m_bNoAsk);
}

int cBootData::Load() {
  return LoadPlayerFile(*this, g_PathTable[PATH_BOOT]) == PLAYER_FILE_LOADED ? 1 : 0;
}

int cBootData::Save() { return SavePlayerFile(*this, g_PathTable[PATH_BOOT]); }
