#pragma once
// STAND-INS. What the character base calls of the flow triggers, shots, effect animations,
// character effects and item effects, declared here under the names those parts will give
// them. Their bodies in objects_later.cpp are minimal and are replaced, one by one, when
// each part is built; this file then empties.
#include <cstdint>

#include "objects/object.h"

class cCharaBase;
class cEdCond;
class cItem;
class cShot;
struct sShotLink;

// What an attack by a shot brings to the character it hits.
struct sShotAttack {
  std::int32_t nPower = 0;
  std::int32_t nImpact = 0;  // signed half-blocks
  std::int32_t nHitEffect = 0;
  sDRect hitBox;
  std::int32_t nScale = 1;
  double dVX = 0, dVY = 0;
  std::int32_t bDirFromSpeed = 0;
  std::int32_t nFacingSign = -1;
  cCharaBase* pOwner = nullptr;
  std::int32_t bNotifyOwner = 0;  // the owner hears of the shot's hits
  std::int32_t nNotifyId = 0;
};
sShotAttack ShotAttack(const cShot& shot);

// Gives an item's effect to a character; 1 when the item asked for the stage to end.
int ApplyItemEffect(cItem& item, cCharaBase& hero);

