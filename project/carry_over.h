#pragma once
// The hero values a project lets travel from one stage to the next. The project says which
// of the 25 items may be carried and which are dropped again after a miss; a stage says
// whether it stores the hero's values at its end and whether it applies them at its start.
// The stored values live in the player's progress record so that they travel with the saves.
#include <cstdint>

#include "content/chara.h"
#include "foundation/file_data.h"

enum eInheritItem : int {
  INHERIT_GRAPHIC = 0,  // graphic kind, number and frame
  INHERIT_ANIME_SET = 1,
  INHERIT_Z = 2,
  INHERIT_TRANSPARENT = 3,
  INHERIT_CHARA_EFFECT = 4,  // effect number, play mode and repeat
  INHERIT_FIXED_FACING = 5,
  INHERIT_FLY_MODE = 6,
  INHERIT_INVINCIBLE = 7,
  INHERIT_SCALE = 8,
  INHERIT_SCROLL_SYNC = 9,
  INHERIT_LIGHT = 10,  // light and view range
  INHERIT_HP = 11,     // the hero's current HP
  INHERIT_SP = 12,     // the hero's current SP
  INHERIT_MAX_HP = 13,
  INHERIT_MAX_SP = 14,
  INHERIT_HIT_SIZE = 15,
  INHERIT_POWER = 16,
  INHERIT_IMPACT = 17,
  INHERIT_DEFENCE = 18,
  INHERIT_IMPACT_RESIST = 19,
  INHERIT_STOP_EASE = 20,
  INHERIT_FLOWS = 21,
  INHERIT_TIME = 22,   // the stage time left, applied as the next stage's time limit
  INHERIT_LIVES = 23,  // applied to the progress record's lives
  INHERIT_BGM = 24,    // applied as the next stage's music
  INHERIT_ITEM_COUNT = 25,
};

// One carry-over slot: the carried definition values at their own fields of m_Chara, and the
// values that are not definition fields. In a file: the five integers as a record, then the
// definition's own record.
class cInheritData : public cFileData {
 public:
  cEdChara m_Chara;
  std::int32_t m_nValue11 = 0;     // HP
  std::int32_t m_nValue12 = 0;     // SP
  std::int32_t m_nStageValue = 0;  // time left
  std::int32_t m_nLives = 0;
  std::int32_t m_nStageBgm = 0;

  void SetupItems(int version) override;
  void Read(cDataFile& file) override;
  void Write(cDataFile& file) override;
};

// Copies the definition fields of a carry-over item (0 to 10 and 13 to 21); the other items
// are not definition fields and copy nothing.
void CopyInheritItem(int item, cEdChara& to, const cEdChara& from);
