#pragma once
// The start dialog's choice, user_data\Boot.dat: the drawing mode and whether to ask again.
#include <cstdint>

#include "foundation/file_data.h"

class cBootData : public cFileData {
 public:
  cBootData();
  void SetupItems(int version) override;

  // A missing, damaged or newer file leaves the values as they are (the last two reported).
  // 1 when loaded or saved; a save goes through the safe replace.
  int Load();
  int Save();

  std::int32_t m_nDrawMode = 1;  // 1 Direct3D, 0 DirectDraw
  std::int32_t m_bNoAsk = 0;     // 1: the start dialog is not shown again
};

extern cBootData g_BootData;
