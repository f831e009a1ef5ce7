#pragma once
// What the definitions ask of the project once it is loaded: the database's tables, the
// palettes' list sizes and the system record's switch that keeps test-play-only flows.
#include "project/database_refs.h"

class cProjectRefs : public cDataBaseRefs {
 public:
  std::int32_t PaletteListSize(bool stagePalette, ePaletteList list) const override;
  bool KeepTestPlayFlows() const override;
};

// Installs the refs (kept for the life of the program); start-up calls it in place of
// InstallDataBaseRefs.
void InstallProjectRefs();
