#pragma once
// The player's options, "user_data\Option.dat": the palette of the 8-bit display mode, music
// on or off, the sound-effect volume level, the ranking registration mode and the ranking
// name.
#include <cstdint>
#include <string>

#include "foundation/file_data.h"

inline constexpr int kOptionPaletteCount = 24;
inline constexpr int kOptionVolumeLevels = 11;
inline constexpr int kOptionRankModeCount = 4;

class cOptionData : public cFileData {
 public:
  cOptionData();

  void SetupItems(int version) override;
  void Read(cDataFile& file) override;
  void Write(cDataFile& file) override;

  // Brings every value into the range the options scene offers.
  void Validate();

  // The options file; a missing, damaged or newer one leaves the values as they are (and a
  // damaged or newer one is reported and not written over). 1 when loaded or saved.
  int Load();
  int Save();

  std::int32_t m_nPalette = 0;   // 0 to 23
  std::int32_t m_bBgm = 1;       // music on
  std::int32_t m_nSeVolume = 7;  // 0 to 10, an index into the volume table
  std::int32_t m_nRankMode = 0;  // 0 to 3
  std::string m_strRankName = "aaa";
};

extern cOptionData g_OptionData;
