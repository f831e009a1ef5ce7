// The movement commands' side of the character base: a command's move record turned into a
// velocity and a facing request, and the step that applies them to the character.
#include <cassert>
#include <cmath>

#include "content/chara.h"
#include "content/command.h"
#include "content/move.h"
#include "content/shot.h"
#include "flows/flow_run.h"
#include "foundation/play_math.h"
#include "objects/aim.h"
#include "objects/chara.h"
#include "objects/chara_base.h"
#include "objects/chara_flows.h"
#include "objects/play_units.h"
#include "objects/shot_fire.h"
#include "play/input.h"
#include "play/map_cells.h"
#include "play/play_scene.h"
#include "play/scroll_axis.h"
#include "project/system_data.h"

namespace {

// The facing request codes.
constexpr int kFaceLeft = 1;
constexpr int kFaceRight = 2;

double NanAsZero(double v) { return std::isnan(v) ? 0.0 : v; }

// An inertial speed accelerated toward the move's velocity v, held within the speed limit.
void Accelerate(double& speed, double v, double turnFactor, double limit, std::int32_t& friction) {
  double a = NanAsZero(PerFrameToPerSubStep(v));
  if ((speed < 0 && v > 0) || (speed > 0 && v < 0))
    a = a * turnFactor;
  else
    friction = 0;
  speed = speed + NanAsZero(a);
  if (speed > limit) speed = limit;
  if (speed < -limit) speed = -limit;
}

// One axis of the return to the screen while it scrolls: the margins widen by |c + 1|, c the
// axis's auto-scroll speed, and the move keeps up with the scroll.
double AvoidWhileScrolling(bool back, bool forth, int low, int high, int far, int screen,
                           const cScrollAxis& axis, double s) {
  const double c = axis.m_dSpeed, cam = axis.m_dPos, size = axis.m_nMapSize;
  const double margin = std::fabs(c + 1);
  if (back && low > far - margin && cam > 0 && c + cam <= size - screen) return c - s;
  if (forth && high < margin + 32 && c + cam > 0 && cam < size - screen) return c + s;
  return 0;
}

}  // namespace

void cCharaBase::InitMoveAngle(cCmdRun& run) {
  const cEdMove* move = run.m_pCmd ? run.m_pCmd->m_pMove.get() : nullptr;
  if (!move) return;
  std::int32_t angle = move->m_sAngleClone * m_sCopyIndex + move->m_sAngle;
  if (move->m_bMirrorAngle && m_Def.m_nFacing == 1) angle = 360 - angle;
  if (angle >= 360) angle %= 360;  // 360 taken away until below 360
  run.m_nAngle = angle;
}

void cCharaBase::InitMoveTarget(cCmdRun& run) {
  const cEdMove* move = run.m_pCmd ? run.m_pCmd->m_pMove.get() : nullptr;
  if (!move) return;
  run.m_nTargetX = move->m_sTargetBlockX * 32 + move->m_sTargetDotX;
  run.m_nTargetY = move->m_sTargetBlockY * 32 + move->m_sTargetDotY;
  if (m_Def.m_nFacing == 1) {
    if (move->m_bMirrorTargetX) run.m_nTargetX = -run.m_nTargetX;
    if (move->m_bMirrorTargetY) run.m_nTargetY = -run.m_nTargetY;
  }
}

int cCharaBase::ResolveMoveDir(int choice, int liveInput, int allowDiagonals) {
  const bool right = m_nFacing == 1;
  int code = choice;
  switch (choice) {
    case 0:  // forward
      code = right ? 3 : 2;
      break;
    case 1:  // back
      code = right ? 2 : 3;
      break;
    case 4:  // forward on y
      code = right ? 7 : 6;
      break;
    case 5:  // back on y
      code = right ? 6 : 7;
      break;
    case 12: {  // the input direction
      int key = 0;
      if (liveInput) {
        key = FirstPressedKey(m_nControl == 0 ? GetInput(m_nInput) : GetInput(0));
      } else if (const cFlowRun* flow = CurFlow()) {
        key = flow->m_nFirstKey;
      }
      code = MapDirection(key, 0, m_nFacing);
      break;
    }
    default:
      break;
  }
  if (!allowDiagonals) {
    if (code == 8 || code == 9) code = 2;
    if (code == 10 || code == 11) code = 3;
  }
  return code;
}

void cCharaBase::DirToVelocity(double speed, int choice, double& vx, double& vy,
                               std::int32_t& request) {
  vx = vy = 0;
  const int code = ResolveMoveDir(choice, 0, m_bNoGravity);
  const bool flying = m_bNoGravity != 0;
  const double d = speed * g_dDiagonal;
  int req = 0;
  switch (code) {
    case 2:
      vx = -speed;
      req = kFaceLeft;
      break;
    case 3:
      vx = speed;
      req = kFaceRight;
      break;
    case 6:
      if (flying) vy = -speed;
      break;
    case 7:
      if (flying) vy = speed;
      break;
    case 8:
      vx = -d;
      if (flying) vy = -d;
      req = kFaceLeft;
      break;
    case 9:
      vx = -d;
      if (flying) vy = d;
      req = kFaceLeft;
      break;
    case 10:
      vx = d;
      if (flying) vy = -d;
      req = kFaceRight;
      break;
    case 11:
      vx = d;
      if (flying) vy = d;
      req = kFaceRight;
      break;
    default:
      return;  // no direction: no velocity and no request
  }
  if (m_Def.m_bFixedFacing == 0) request = req;
}

void cCharaBase::AngleDirToVelocity(double speed, int choice, int angle, double& vx, double& vy,
                                    std::int32_t& request) {
  const int code = ResolveMoveDir(choice, 0, m_bNoGravity);
  int base = 0, req = 0;
  switch (code) {
    case 2:
      base = 0;
      req = kFaceLeft;
      break;
    case 3:
      base = 180;
      req = kFaceRight;
      break;
    case 6:
      base = 90;
      break;
    case 7:
      base = 270;
      break;
    case 8:
      base = 45;
      req = kFaceLeft;
      break;
    case 9:
      base = 315;
      req = kFaceLeft;
      break;
    case 10:
      base = 135;
      req = kFaceRight;
      break;
    case 11:
      base = 225;
      req = kFaceRight;
      break;
    default:
      break;
  }
  if (m_Def.m_bFixedFacing == 0) request = req;
  const double theta =
      static_cast<double>(static_cast<std::int64_t>(base) + angle) * kAngleDegToRad;
  vx = -speed * PlayCos(theta);
  vy = m_bNoGravity ? -speed * PlaySin(theta) : 0.0;
}

void cCharaBase::AimAtPoint(double speed, int tx, int ty, const cEdMove& move, cCmdRun& run) {
  const cScrollAxis& ax = ScrollAxisX();
  const cScrollAxis& ay = ScrollAxisY();
  const double cx = CellCentreX(*this), cy = CellCentreY(*this);
  // The centre in map pixels: the screen centre plus the camera's whole pixels.
  const double mapX = cx + TruncToInt32(ax.m_dPos), mapY = cy + TruncToInt32(ay.m_dPos);
  double dx = 0, dy = 0;
  switch (move.m_nCoordOrigin) {
    case 0:  // from the spawn position
      dx = (m_dSpawnX + tx) - mapX;
      dy = (m_dSpawnY + ty) - mapY;
      break;
    case 1:  // from the character
      dx = tx;
      dy = ty;
      break;
    case 2:  // a block of the stage, past its margin
      dx = (10 * 32 + static_cast<double>(tx) + 16) - mapX;
      dy = (10 * 32 + static_cast<double>(ty) + 16) - mapY;
      break;
    case 3:  // a point of the screen
      dx = (static_cast<double>(tx) + 16) - cx;
      dy = (static_cast<double>(ty) + 16) - cy;
      break;
    default:
      break;
  }
  if (!move.m_bMoveX) dx = 0;
  if (!move.m_bMoveY) dy = 0;
  const double dist = std::sqrt(dx * dx + dy * dy);
  double vx = 0, vy = 0;
  if (dist != 0) {
    vx = move.m_bLockX ? 0.0 : dx / dist * speed;
    vy = move.m_bLockY ? 0.0 : dy / dist * speed;
  }
  if (m_Def.m_bFixedFacing == 0)
    run.m_nFaceReq = vx < -1e-8 ? kFaceLeft : (vx > 1e-8 ? kFaceRight : 0);
  if (move.m_bCountArrival && speed != 0) {
    const double steps = std::floor(std::fabs(dist) / std::fabs(speed));
    run.m_nRemain = TruncToInt32(steps);
    if (move.m_bStopAtTarget && steps < 1) {
      if (move.m_bMoveX && !move.m_bLockX) {
        vx = 0;
        run.m_nFaceReq = 0;
      }
      if (move.m_bMoveY && !move.m_bLockY) vy = 0;
    }
  }
  run.m_dVelX = vx;
  run.m_dVelY = vy;
}

void cCharaBase::ProbeGroundTurn(const cCmdRun& run, double& vx, double& vy,
                                 std::int32_t& request) {
  vy = 0;
  request = 0;
  vx = GetFacingSign() * run.m_dSpeed;
  if (m_bDismounted) {
    // Off a solid character: turn back, and make up for the way it moved meanwhile.
    request = m_nFacing == 0 ? kFaceRight : kFaceLeft;
    vx = -vx;
    const cChara* ridden = nullptr;
    for (const cChara& c : g_CharaList) {
      if (c.m_nNumber == m_nRiddenNumber) {
        ridden = &c;
        break;
      }
    }
    if (ridden) {
      const double diff = ridden->m_dX - m_RiddenBox.m_dLeft;
      if ((m_nFacing == 1 && diff < 0) || (m_nFacing == 0 && diff > 0))
        vx = vx + 2 * diff;
      else
        vx = vx + diff;
    }
    m_bDismounted = 0;
    return;
  }
  // The cells under the feet, in the row below the bottom edge.
  const cScrollAxis& ax = ScrollAxisX();
  const cScrollAxis& ay = ScrollAxisY();
  std::int64_t row = static_cast<std::int64_t>(std::floor((m_dBottom + 1.1) / 32));
  if (row > ay.m_nCells - 1) row = ay.m_nCells - 1;
  const std::int64_t rowStart = row * (std::int64_t{1} << ax.m_nShift);
  const bool left = MapCellHitMode(m_nLeftCell + rowStart, m_nGroup) != 0;
  const bool right = MapCellHitMode(m_nRightCell + rowStart, m_nGroup) != 0;
  if (left && !right) request = kFaceLeft;
  if (right && !left) request = kFaceRight;
  if (run.m_dSpeed < 0 && !g_SystemData.bCompatExecutor && request != 0)
    request = request == kFaceLeft ? kFaceRight : kFaceLeft;
}

void cCharaBase::MoveTowardTarget(cCmdRun& run, const cEdMove& move, cCharaBase* target, double x,
                                  double y) {
  const int stop = move.m_bStopAtTarget;
  if (!move.m_bLockX && !move.m_bLockY)
    MoveToward(run, target, x, y, m_bScreenBound, stop);
  else if (!move.m_bLockX)
    MoveTowardX(run, target, x, m_bScreenBound, stop);
  else if (!move.m_bLockY)
    MoveTowardY(run, target, y, m_bScreenBound, stop);
  else
    run.m_dVelX = run.m_dVelY = 0;
}

void cCharaBase::CalcAvoidOffscreen(const cCmdRun& run, const cEdMove& move, double& vx,
                                    double& vy) {
  const bool facingRight = m_nFacing == 1;
  int code = move.m_nDirection;
  if (code == 0)
    code = facingRight ? 3 : 2;
  else if (code == 1)
    code = facingRight ? 2 : 3;
  else if (code == 4)
    code = facingRight ? 7 : 6;
  else if (code == 5)
    code = facingRight ? 6 : 7;
  const bool left = code == 2 || code == 8 || code == 9;
  const bool right = code == 3 || code == 10 || code == 11;
  const bool up = code == 6 || code == 8 || code == 10;
  const bool down = code == 7 || code == 9 || code == 11;
  const double s = run.m_dSpeed;
  vx = vy = 0;
  const cScrollAxis& ax = ScrollAxisX();
  const cScrollAxis& ay = ScrollAxisY();
  const sDrawRect& r = m_Rect;
  if (ax.m_dSpeed == 0 || ax.m_bAtLimit) {
    if (left && r.m_nLeft > 608)
      vx = -s;
    else if (right && r.m_nRight < 32)
      vx = s;
    if (up && r.m_nTop > 448)
      vy = -s;
    else if (down && r.m_nBottom < 32)
      vy = s;
    return;
  }
  vx = AvoidWhileScrolling(left, right, r.m_nLeft, r.m_nRight, 608, 640, ax, s);
  vy = AvoidWhileScrolling(up, down, r.m_nTop, r.m_nBottom, 448, 480, ay, s);
}

void cCharaBase::ApplyCmdMove(double vx, double vy, int request, cCmdRun& run, const cEdMove& move,
                              int forceFacing) {
  // The move's switches as the run keeps them: the move itself is read only for a limit.
  assert(run.m_pMove == &move && run.TraitsCurrent() && "the run's move traits are stale");
  if ((m_Def.m_bFixedFacing == 0 || forceFacing == 1) && !run.HasMoveTrait(MOVETRAIT_KEEP_FACING)) {
    if (request == kFaceLeft) m_nFacing = 0;
    if (request == kFaceRight) m_nFacing = 1;
  }
  if (run.HasMoveTrait(MOVETRAIT_SPEED_LIMIT)) {
    Accelerate(m_dInertiaX, vx, move.m_dAccelFactor, run.m_dMaxSpeed, m_bFrictionX);
    Accelerate(m_dInertiaY, vy, move.m_dAccelFactor, run.m_dMaxSpeed, m_bFrictionY);
  } else {
    m_dVX = m_dVX + NanAsZero(vx);
    m_dVY = m_dVY + NanAsZero(vy);
  }
  if (!run.HasMoveTrait(MOVETRAIT_ANIME_WITH_MOVE)) {
    m_bMoving = 1;
    ShowMoveAnime();
  }
}

void cCharaBase::ShowMoveAnime() { m_Anime.Change(m_bNoGravity ? 3 : 1, 1); }
