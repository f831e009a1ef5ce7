#pragma once
// A flow's key-input condition: for each of the 19 input tests of the player's history
// (10 directions, 9 buttons) whether it is ignored, pressed or released, with the held time
// a press needs and how many of the tests must hold.
#include <cstdint>

#include "foundation/containers.h"
#include "foundation/file_data.h"

enum eKeyState : std::uint8_t { KEY_IGNORE = 0, KEY_PRESSED = 1, KEY_RELEASED = 2 };
enum eKeyCondMode : std::int8_t { KEYCOND_ALL = 0, KEYCOND_ANY = 1, KEYCOND_ONE = 2 };

// Entries 0 to 9 test the direction history, 10 to 18 the buttons.
inline constexpr int kKeyCondEntries = 19;

class cEdKeyCond : public cFileData {
 public:
  cEdKeyCond();

  void SetupItems(int version) override;
  void Read(cDataFile& file) override;
  void Write(cDataFile& file) override;

  // eKeyState per entry; a file may store another number of entries than 19, kept as stored.
  cVector<std::uint8_t> m_Keys;
  std::int8_t m_bFacingRelative = 0;
  std::int16_t m_sMinFrames = 0;
  std::int16_t m_sMaxFrames = 0;
  std::int8_t m_bAnyDuration = 0;
  std::int8_t m_nMode = 0;  // eKeyCondMode
};

using KeyCondVector = cVector<cEdKeyCond>;

// Reads a key-input condition vector (a 32-bit count, then each); on a damaged file the
// vector is left as it was.
bool LoadKeyCondList(KeyCondVector& list, cDataFile& file);
