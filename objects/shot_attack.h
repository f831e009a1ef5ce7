#pragma once
// What an attack by a shot brings to the character it hits.
#include <cstdint>

#include "objects/object.h"

class cCharaBase;
class cShot;

struct sShotAttack {
  std::int32_t nPower = 0;
  std::int32_t nImpact = 0;  // signed half-blocks
  std::int32_t nHitEffect = 0;
  sDRect hitBox;
  std::int32_t nScale = 1;
  double dVX = 0, dVY = 0;
  std::int32_t bDirFromSpeed = 0;  // knock-back along the speed, else along the facing
  std::int32_t nFacingSign = -1;
  cCharaBase* pOwner = nullptr;
  std::int32_t bNotifyOwner = 0;  // the owner hears of the shot's hits
  std::int32_t nNotifyId = 0;
};
sShotAttack ShotAttack(const cShot& shot);
