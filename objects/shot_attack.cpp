// The attack a shot or a sword brings to the character it hits.
#include "objects/shot_attack.h"

#include "objects/shot.h"

sShotAttack ShotAttack(const cShot& shot) {
  sShotAttack a;
  a.nPower = shot.m_Def.m_nPower;
  a.nImpact = shot.m_Def.m_nImpact;
  a.nHitEffect = shot.m_Def.m_sHitEffect;
  a.hitBox = shot.m_HitBox.m_Rect;
  a.nScale = shot.m_Def.m_nSizeFactor;
  a.dVX = shot.m_dVX;
  a.dVY = shot.m_dVY;
  // A flying shot pushes along its course; a sword, which moves with its owner, along its
  // facing.
  a.bDirFromSpeed = shot.m_bIsShot;
  a.nFacingSign = shot.GetFacingSign();
  a.pOwner = shot.m_pOwner;
  a.bNotifyOwner = shot.m_bHitTrigger;
  a.nNotifyId = shot.m_cHitTriggerId;
  return a;
}
