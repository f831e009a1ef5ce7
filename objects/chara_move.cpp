// Character movement: jumps, gravity, landing and ceilings, riding, the saved position and
// knock-back.
#include <cmath>

#include "content/block.h"
#include "foundation/play_math.h"
#include "objects/chara_base.h"
#include "objects/shot_attack.h"
#include "play/hits.h"
#include "project/stage.h"
#include "project/system_data.h"

double cCharaBase::JumpSpeed(double height) const {
  const double root = (8 * height + g_dGravity) * g_dGravity;
  // A negative root (a negative height) has no rise: the jump starts at rest.
  if (root < 0) return 0;
  double u = (-g_dGravity - std::sqrt(root)) * 0.5;
  if (m_nControl == 0) u = u * (0.99 - g_Stage.m_dGravity * 0.025);
  return u;
}

double cCharaBase::JumpSpeedFromHalfBlocks(std::int8_t halfBlocks) const {
  return JumpSpeed(HalfBlocksToPixels(halfBlocks));
}

int cCharaBase::JumpTimeTenths(std::int8_t halfBlocks) const {
  return SubStepsToTop(JumpSpeedFromHalfBlocks(halfBlocks)) / g_nHitLevel / 6 + 1;
}

void cCharaBase::ApplyCharaGravity() {
  if (m_bNoGravity || m_bRiding || m_bGravityOff || m_dPushY < 0) return;
  m_dVY = m_dVY + g_dGravity;
}

int cCharaBase::IsOnGround() {
  if (m_pGroundBlock && m_pGroundBlock->GetHitMode(m_nGroup) != 0) return 1;
  return m_bRiding ? 1 : 0;
}

void cCharaBase::OnLand() {
  m_dVY = 0;
  m_dInertiaY = 0;
  m_bContactBottom = 1;
  m_nAirTimer = 0;
  m_bAirLock = m_bRiseEnded = m_bJumping = m_bKnockedBack = 0;
  if (m_nControl != 0) m_bHeadBumped = 0;
  // The bottom edge goes to the last pixel row of the cell above the one it entered.
  m_dY = m_dY - (TruncToInt32(m_dBottom) % 32 + 1);
  OnPosChangedY();
  FireTrigger(9);
  FireTrigger(13);
  FireTrigger(15);
}

void cCharaBase::OnHitCeiling() {
  m_bRiseEnded = 1;
  m_bJumping = 1;
  m_bContactTop = 1;
  m_bHeadBumped = 1;
  m_dVY = 0;
  m_dInertiaY = 0;
  if (!g_SystemData.bCompatCeiling) m_dPushY = 0;
  // The top edge goes to the first pixel row of the next cell.
  m_dY = m_dY + (32 - TruncToInt32(m_dY) % 32);
  OnPosChangedY();
  FireTrigger(9);
  FireTrigger(13);
  FireTrigger(14);
}

void cCharaBase::Unride(int dismount) {
  m_bRiding = 0;
  if (m_dPushY == 0) m_dVY = 0;
  if (dismount) m_bDismounted = 1;
}

void cCharaBase::RestorePos() {
  m_dX = m_SavedExtent.m_dLeft;
  m_dY = m_SavedExtent.m_dTop;
  m_dRight = m_SavedExtent.m_dRight;
  m_dBottom = m_SavedExtent.m_dBottom;
}

namespace {

// Both beyond 1e-8 in size and of opposite signs.
bool Opposes(double speed, double push) {
  return std::fabs(speed) > 1e-8 && std::fabs(push) > 1e-8 && (speed < 0) != (push < 0);
}

}  // namespace

void cCharaBase::ApplyKnockback(int strength, double dirX, double dirY) {
  if (strength == 0) return;
  const int resist = ImpactResist();
  int d = 0;
  if (strength < 0) {
    const int t = strength + resist;
    d = t < -20 ? -20 : (t <= 0 ? t : 0);
  } else {
    const int t = strength - resist;
    d = t >= 0 ? (t < 20 ? t : 20) : 0;
  }
  CalcPushSpeeds(m_dPushX, m_dPushY, d, dirX, dirY);
  if (Opposes(m_dInertiaX, m_dPushX)) m_dInertiaX = 0;
  if (Opposes(m_dInertiaY, m_dPushY)) m_dInertiaY = 0;
  if (Opposes(m_dVY, m_dPushY)) m_dVY = 0;
  m_bKnockedBack = 1;
}

namespace {

double PushFor(double a) {
  if (a == 0) return 0;
  const double push = (std::sqrt(1 + 128 * g_dHitLevel * std::fabs(a)) - 1) / (2 * g_dHitLevel);
  return a < 0 ? -push : push;
}

}  // namespace

void CalcPushSpeeds(double& pushX, double& pushY, int strength, double dirX, double dirY) {
  if (strength == 0) return;
  const double s = std::fabs(dirX) + std::fabs(dirY);
  if (s == 0) {
    pushX = pushY = 0;
    return;
  }
  pushX = PushFor(strength * dirX / s);
  pushY = PushFor(strength * dirY / s);
}

void cCharaBase::KnockbackFromChara(const cCharaBase& attacker) {
  const double dirX = attacker.m_dVX;
  double dirY = attacker.m_dVY;
  // A ground character that has not been falling for about 8 frames pushes only sideways.
  if (attacker.m_Def.m_nFlyMode == MOVE_GROUND && attacker.m_dVY < g_nHitLevel8 * g_dGravity)
    dirY = 0;
  ApplyKnockback(attacker.Impact(), dirX, dirY);
}

void cCharaBase::KnockbackFromShot(const cShot& shot) {
  const sShotAttack attack = ShotAttack(shot);
  if (attack.bDirFromSpeed)
    ApplyKnockback(attack.nImpact, attack.dVX, attack.dVY);
  else
    ApplyKnockback(attack.nImpact, attack.nFacingSign, 0);
}

void cCharaBase::ApplyPushY() {
  if (m_dPushY != 0) {
    if (m_bNoGravity) {
      m_dVY = m_dVY + m_dPushY;
    } else if (m_dPushY > 0 && IsOnGround()) {
      m_dPushY = 0;
    } else {
      // The push replaces its own part of the last sub-step; gravity keeps accumulating.
      m_dVY = m_dVY - m_dAppliedPushY + m_dPushY;
    }
  }
  m_dAppliedPushY = m_dPushY;
}

namespace {

void Decay(double& push) {
  if (push > 0) {
    push = push - 1.0 / g_dHitLevel;
    if (push < 0) push = 0;
  } else if (push < 0) {
    push = push + 1.0 / g_dHitLevel;
    if (push > 0) push = 0;
  }
}

}  // namespace

void cCharaBase::DecayPushX() { Decay(m_dPushX); }
void cCharaBase::DecayPushY() { Decay(m_dPushY); }
