#include "flows/move_cmds.h"

#include "content/command.h"
#include "content/move.h"
#include "flows/flow_run.h"
#include "foundation/play_math.h"
#include "media/sound.h"
#include "objects/aim.h"
#include "objects/chara_base.h"
#include "objects/play_units.h"
#include "objects/shot_fire.h"
#include "project/system_data.h"

namespace {

// The move record of the command, or null: a damaged command without one moves nothing.
// Read from the run, where it is kept with the command's traits.
const cEdMove* MoveOf(cCmdRun& run) {
  if (!run.m_pCmd) return nullptr;
  run.KeepTraits();
  return run.m_pMove;
}

// A character that moves no longer keeps its place on the screen.
void ClearAnchors(cCharaBase& chara) { chara.m_bAnchorX = chara.m_bAnchorY = 0; }

// The live character in the move's target slot, or none (an empty slot, a slot outside the
// four, or a defeated character).
cCharaBase* MoveTarget(const cCharaBase& chara, const cEdMove& move) {
  const int slot = move.m_nTargetSlot;
  if (slot < 0 || slot >= static_cast<int>(chara.m_Targets.size())) return nullptr;
  cCharaBase* target = chara.m_Targets.data()[slot];
  return target && !target->m_bFinished ? target : nullptr;
}

// The degrees of a velocity's direction, in whole degrees.
double WholeDegrees(double y, double x) {
  return TruncToInt32(PlayAtan2(y, x) * 57.29577951308239);
}

}  // namespace

void ExecCmd_MoveLine(cCharaBase* chara, cCmdRun& run) {
  const cEdMove* move = MoveOf(run);
  if (!chara || !move) return;
  ClearAnchors(*chara);
  if (!run.m_bBegun) {
    run.m_bBegun = 1;
    chara->InitMoveAngle(run);
    run.m_dVelX = run.m_dVelY = 0;
    run.m_nFaceReq = 0;
    if (move->m_nMode == 1) {
      chara->InitMoveTarget(run);
      chara->AimAtPoint(run.m_dSpeed, run.m_nTargetX, run.m_nTargetY, *move, run);
    } else if (run.m_nAngle != 0) {
      chara->AngleDirToVelocity(run.m_dSpeed, run.m_cDir, run.m_nAngle, run.m_dVelX, run.m_dVelY,
                                run.m_nFaceReq);
    } else {
      chara->DirToVelocity(run.m_dSpeed, run.m_cDir, run.m_dVelX, run.m_dVelY, run.m_nFaceReq);
    }
  } else if (run.HasMoveTrait(MOVETRAIT_TURN_WITH_CHARA) && chara->m_Def.m_bFixedFacing == 1 &&
             (run.HasMoveTrait(MOVETRAIT_MODE_0) || g_SystemData.bCompatMoveLine2) &&
             chara->m_nFacing != run.m_nLastFacing) {
    run.m_dVelX = -run.m_dVelX;
    run.m_dVelY = -run.m_dVelY;
  }
  if (!chara->m_bNoGravity) run.m_dVelY = 0;
  if (!g_SystemData.bCompatMoveLine) {
    if (run.HasMoveTrait(MOVETRAIT_LOCK_X)) run.m_dVelX = 0;
    if (run.HasMoveTrait(MOVETRAIT_LOCK_Y)) run.m_dVelY = 0;
  }
  chara->ApplyCmdMove(run.m_dVelX, run.m_dVelY, run.m_nFaceReq, run, *move, 0);
  run.m_nLastFacing = chara->m_nFacing;
}

void ExecCmd_MoveGround(cCharaBase* chara, cCmdRun& run) {
  const cEdMove* move = MoveOf(run);
  if (!chara || !move || chara->m_bNoGravity) return;
  ClearAnchors(*chara);
  double vx = 0, vy = 0;
  std::int32_t request = 0;
  if (chara->m_dPushX != 0 || chara->m_dPushY != 0)
    vx = chara->GetFacingSign() * run.m_dSpeed;  // knocked back: no turning
  else
    chara->ProbeGroundTurn(run, vx, vy, request);
  chara->ApplyCmdMove(vx, vy, request, run, *move, 1);
}

void ExecCmd_MoveCircle(cCharaBase* chara, cCmdRun& run) {
  const cEdMove* move = MoveOf(run);
  if (!chara || !move || run.m_nMoveArg1 == 0) return;
  ClearAnchors(*chara);
  if (!run.m_bBegun) {
    run.m_bBegun = 1;
    run.m_dPhaseX = run.m_dPhaseY = run.m_nMoveArg2;
  }
  bool counter = false;  // counter-clockwise
  switch (run.m_cDir) {
    case 1:
      counter = true;
      break;
    case 2:
      counter = chara->m_nFacing == 1;
      break;
    case 3:
      counter = chara->m_nFacing == 0;
      break;
    default:
      break;
  }
  // The phase runs through 360 x N per turn and advances N x the speed in degrees.
  const double amplitude = -static_cast<double>(run.m_nMoveArg1);
  const double step = g_dHitLevel * run.m_dSpeed;
  double vx = 0, vy = 0;
  if (!move->m_bLockX) vx = CalcWavePos(amplitude, 1, run.m_dPhaseX, step, 0) * run.m_dSpeed;
  if (chara->m_bNoGravity && !move->m_bLockY)
    vy = CalcWavePos(amplitude, 1, run.m_dPhaseY, step, counter ? 90 : 270) * run.m_dSpeed;
  chara->ApplyCmdMove(vx, vy, 0, run, *move, 0);
}

void ExecCmd_MoveCharge(cCharaBase* chara, cCmdRun& run) {
  const cEdMove* move = MoveOf(run);
  if (!chara || !move) return;
  ClearAnchors(*chara);
  const bool flying = chara->m_bNoGravity != 0;
  if (!run.m_bBegun) {
    run.m_bBegun = 1;
    chara->InitMoveAngle(run);
    chara->InitMoveTarget(run);
    run.m_dVelX = run.m_dVelY = 0;
    run.m_nFaceReq = 0;
    cCharaBase* target = MoveTarget(*chara, *move);
    if (!target) return;  // stands for the whole run
    if (flying) {
      double x = 0, y = 0;
      target->GetAttachPos(x, y, run);
      chara->MoveTowardTarget(run, *move, target, x, y);
    } else if (!move->m_bLockX) {
      CalcMoveTowardX(run.m_dVelX, run.m_dVelY, run.m_nFaceReq, target, CellCentreX(*chara),
                      AddWrap32(CellCentreX(*target), run.m_nTargetX), run.m_dSpeed,
                      chara->m_bScreenBound, 0);
    }
    if (run.m_nAngle != 0) {
      // The aimed course turned by the angle.
      const double s = run.m_dSpeed;
      if (!g_SystemData.bCompatCharge) {
        const double theta =
            (WholeDegrees(run.m_dVelY, run.m_dVelX) + 180 + run.m_nAngle) * kAngleDegToRad;
        run.m_dVelX = -s * PlayCos(theta);
        if (flying) run.m_dVelY = -s * PlaySin(theta);
      } else {
        const double theta =
            (WholeDegrees(run.m_dVelX, run.m_dVelY) + 90 + run.m_nAngle) * kAngleDegToRad;
        run.m_dVelX = s * PlayCos(theta);
        if (flying) run.m_dVelY = -s * PlaySin(theta);
      }
    }
  }
  if (!flying) run.m_dVelY = 0;
  chara->ApplyCmdMove(run.m_dVelX, run.m_dVelY, run.m_nFaceReq, run, *move, 0);
}

void ExecCmd_MoveHoming(cCharaBase* chara, cCmdRun& run) {
  const cEdMove* move = MoveOf(run);
  if (!chara || !move) return;
  cCharaBase* target = MoveTarget(*chara, *move);
  if (!target) return;  // waits, without counting
  if (!run.m_bBegun) {
    run.m_bBegun = 1;
    chara->InitMoveTarget(run);
  }
  const bool flying = chara->m_bNoGravity != 0;
  if (!flying && move->m_bLockX) return;
  ClearAnchors(*chara);
  // The point followed now: the target's, or on the ground its centre line.
  sSamplePoint now;
  if (flying) {
    target->GetAttachPos(now.dX, now.dY, run);
  } else {
    now.dX = AddWrap32(CellCentreX(*target), run.m_nTargetX);
    run.m_dVelY = 0;
  }
  auto aim = [&](const sSamplePoint& p) {
    if (flying)
      chara->MoveTowardTarget(run, *move, target, p.dX, p.dY);
    else
      chara->MoveTowardX(run, target, p.dX, chara->m_bScreenBound, move->m_bStopAtTarget);
  };
  const int lag = run.m_nMoveArg1;
  if (lag <= 0) {
    aim(now);
  } else if (run.m_nCount == 0) {
    run.m_Samples.clear();
    run.m_Samples.push_back(now);
    aim(now);
  } else if (run.m_nCount % lag == 0) {
    // Steers where the target was a lag ago.
    if (!run.m_Samples.empty()) aim(run.m_Samples.front());
    run.m_Samples.push_back(now);
    if (!run.m_Samples.empty()) run.m_Samples.pop_front();
  }
  if (!flying) run.m_dVelY = 0;
  chara->ApplyCmdMove(run.m_dVelX, run.m_dVelY, run.m_nFaceReq, run, *move, 0);
  run.m_nCount = AddWrap32(run.m_nCount, 1);
}

void ExecCmd_MoveAvoidOffscreen(cCharaBase* chara, cCmdRun& run) {
  const cEdMove* move = MoveOf(run);
  if (!chara || !move) return;
  ClearAnchors(*chara);
  double vx = 0, vy = 0;
  chara->CalcAvoidOffscreen(run, *move, vx, vy);
  if (!chara->m_bNoGravity) vy = 0;
  chara->ApplyCmdMove(vx, vy, 0, run, *move, 0);
  run.m_nCount = AddWrap32(run.m_nCount, 1);
}

void ExecCmd_MoveDisable(cCharaBase* chara, cCmdRun&) {
  if (!chara) return;
  ClearAnchors(*chara);
  chara->m_dVX = chara->m_dVY = 0;
  chara->m_dInertiaX = chara->m_dInertiaY = 0;
  chara->m_dPushX = chara->m_dPushY = 0;
  chara->m_dAppliedPushY = 0;
  chara->m_bGravityOff = 1;
}

void ExecCmd_Turn(cCharaBase* chara, cCmdRun& run) {
  if (!chara || !run.m_pCmd || chara->m_Def.m_bFixedFacing == 0) return;
  if (run.m_nCount == 0) {
    PlayDatabaseSound(run.m_pCmd->m_sSound);
    const int choice = CmdParam(*run.m_pCmd, 0);
    if (choice == 0) {
      chara->m_nFacing = 0;
    } else if (choice == 1) {
      chara->m_nFacing = 1;
    } else if (choice >= 2 && choice <= 9) {
      const int slot = (choice - 2) / 2;
      const cCharaBase* target =
          slot < static_cast<int>(chara->m_Targets.size()) ? chara->m_Targets[slot] : nullptr;
      if (!target) return;  // tried again, sound and all, at the next sub-step
      const double theirs = target->m_dX + target->m_nWidth / 2.0;
      const double mine = chara->m_dX + chara->m_nWidth / 2.0;
      int facing = theirs > mine ? 1 : 0;
      if (choice % 2 == 1) facing = 1 - facing;  // away from it
      chara->m_nFacing = facing;
    } else if (choice == 10 || choice == 11) {
      const int side = chara->m_nBlockSide;
      if (side == 0 || side == 1) chara->m_nFacing = choice == 10 ? side : 1 - side;
    }
  }
  run.m_nCount = run.m_nCount + 1;
  if (run.m_nCount >= g_nHitLevel6) run.m_nCount = 0;
}

void ExecCmd_Jump(cCharaBase* chara, cCmdRun& run) {
  if (!chara) return;
  ClearAnchors(*chara);
  chara->Jump(&run);
  run.m_nCount = AddWrap32(run.m_nCount, 1);
}
