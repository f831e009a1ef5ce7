#pragma once
// The project database as the definitions see it: the sizes of its tables and the frame
// times of its sword types. Start-up installs it once the database is loaded.
#include "content/content_refs.h"

class cDataBaseRefs : public cContentRefs {
 public:
  std::int32_t TableSize(eRefTable table) const override;
  std::vector<std::int32_t> SwordFrameTimes(std::int32_t swordType) const override;
};

// Installs the refs over g_DataBase (kept for the life of the program).
void InstallDataBaseRefs();
