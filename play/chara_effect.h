#pragma once
// The character effect a character runs (start and defeat effects). Only what the character
// base needs is declared here; the character effects complete it.
#include <cstdint>

class cCharaEffect {
 public:
  void Clear();
  // Starts database character effect entry with its play mode and option.
  void Start(int entry, int mode, int option);

  std::int32_t m_nEntry = 0;
  std::int32_t m_nMode = 0;
  std::int32_t m_nOption = 0;
  std::int32_t m_bRunning = 0;
};
