#include "objects/aim.h"

#include <cmath>

#include "content/command.h"
#include "content/move.h"
#include "flows/flow_run.h"
#include "foundation/compare.h"
#include "foundation/play_math.h"
#include "objects/chara_base.h"
#include "objects/object.h"
#include "play/scroll_axis.h"
#include "project/stage.h"
#include "project/system_data.h"

const double g_dDiagonal = 1.0 / std::sqrt(2.0);

std::int32_t CellCentreX(const cObject& object) {
  return AddWrap32(object.m_Rect.m_nLeft, object.m_Rect.m_nWidth >> 1);
}

std::int32_t CellCentreY(const cObject& object) {
  return AddWrap32(object.m_Rect.m_nTop, object.m_Rect.m_nHeight >> 1);
}

namespace {

// An axis scrolls by itself with a live speed while it has a speed and is not held at a
// limit.
bool HasLiveSpeed(const cScrollAxis& axis) { return axis.m_dSpeed != 0.0 && !axis.m_bAtLimit; }

// Adds (sign 1) or subtracts (sign -1) the live scroll speeds.
void ApplyLiveSpeeds(double& vx, double& vy, int sign) {
  const cScrollAxis& ax = ScrollAxisX();
  const cScrollAxis& ay = ScrollAxisY();
  if (HasLiveSpeed(ax)) vx = sign > 0 ? vx + ax.m_dSpeed : vx - ax.m_dSpeed;
  if (HasLiveSpeed(ay)) vy = sign > 0 ? vy + ay.m_dSpeed : vy - ay.m_dSpeed;
}

std::int32_t FacingRequest(double vx) { return vx < 0 ? 1 : vx > 0 ? 2 : 0; }

bool ScreenBound(int flag) { return flag != 0; }

// One case of the intercept, along the main axis (the one of the larger distance): the other
// axis's terms enter the same formulas in the other roles. dx and dy keep their order in the
// mixed products.
bool SolveIntercept(double dMain, double dOther, double sMain, double sOther, double dx, double dy,
                    double cross, double u, double fromMain, double toMain, double& vMain,
                    double& vOther) {
  const double main2 = dMain * dMain;
  const double w = 1 + dOther * dOther / main2;
  const double y = (2 * (dOther * dOther) * sMain - 2 * sOther * dx * dy) / main2;
  const double k = cross / main2 - u * u;
  const double d = y * y - 4 * w * k;
  if (d < 0) return false;
  const double q = (y + std::sqrt(d)) / (2 * w);
  vMain = dMain >= 0 ? q : -q;
  if (sMain - vMain == 0) return false;
  const double t = (fromMain - toMain) / (sMain - vMain);
  if (t == 0) return false;
  vOther = (dOther + t * sOther) / t;
  return true;
}

// The velocity that meets a partner moving with the screen at (Sx, Sy) per sub-step, at the
// speed of (vx, vy); false when there is none (vx and vy then hold what was reached).
bool Intercept(double& vx, double& vy, double fromX, double fromY, double toX, double toY) {
  const cScrollAxis& ax = ScrollAxisX();
  const cScrollAxis& ay = ScrollAxisY();
  const double sx = ax.m_bAtLimit ? 0.0 : ax.m_dSpeed;
  const double sy = ay.m_bAtLimit ? 0.0 : ay.m_dSpeed;
  const double dx = toX - fromX;
  const double dy = toY - fromY;
  const double u = std::sqrt(vx * vx + vy * vy);
  const double cross = sy * sy * (dx * dx) + sx * sx * (dy * dy) - 2 * sx * sy * dx * dy;
  if (std::fabs(dy) < std::fabs(dx))
    return SolveIntercept(dx, dy, sx, sy, dx, dy, cross, u, fromX, toX, vx, vy);
  if (dy == 0) return false;
  return SolveIntercept(dy, dx, sy, sx, dx, dy, cross, u, fromY, toY, vy, vx);
}

}  // namespace

int CalcAimVelocity(double& vx, double& vy, std::int32_t& faceReq, const cObject* partner,
                    double fromX, double fromY, double toX, double toY, double s,
                    int moverScreenBound, int noFlee, int arrivalTest) {
  vx = 0;
  vy = 0;
  const double dx = toX - fromX;
  const double dy = toY - fromY;
  const bool carry = g_SystemData.m_bScrollCarry != 0;
  const bool moverBound = ScreenBound(moverScreenBound);
  if (s < 0 && !noFlee) {
    // Away from the point on both axes; an axis on which the two are level goes + .
    const double p = -s * g_dDiagonal;
    vx = fromX < toX ? -p : p;
    vy = fromY < toY ? -p : p;
    faceReq = FacingRequest(vx);
    if (carry)
      ApplyLiveSpeeds(vx, vy, 1);
    else if (partner && ScreenBound(partner->m_bScreenBound) != moverBound)
      ApplyLiveSpeeds(vx, vy, -1);
    return 0;
  }
  double d = std::sqrt(dx * dx + dy * dy);
  if (d == 0) d = 1.0;
  vx = dx / d * s;
  vy = dy / d * s;
  if (carry) {
    ApplyLiveSpeeds(vx, vy, 1);
  } else if (partner) {
    const bool partnerBound = ScreenBound(partner->m_bScreenBound);
    if (moverBound) {
      if (!partnerBound) ApplyLiveSpeeds(vx, vy, -1);
    } else if (!partnerBound) {
      ApplyLiveSpeeds(vx, vy, -1);
    } else if (HasLiveSpeed(ScrollAxisX()) || HasLiveSpeed(ScrollAxisY())) {
      if (!Intercept(vx, vy, fromX, fromY, toX, toY)) return 0;
    }
  }
  faceReq = FacingRequest(vx);
  return arrivalTest && std::fabs(dx) <= std::fabs(s) && std::fabs(dy) <= std::fabs(s) ? 1 : 0;
}

namespace {

// The axis speed a mover that does not keep its place on the screen adds to follow a
// partner that does, under the flying-auto-scroll setting.
double FollowSpeed(const cScrollAxis& axis, const cObject* partner, int moverScreenBound) {
  if (moverScreenBound || !partner || !partner->m_bScreenBound || !g_SystemData.m_bScrollCarry)
    return 0.0;
  return HasLiveSpeed(axis) ? axis.m_dSpeed : 0.0;
}

}  // namespace

int CalcMoveTowardX(double& vx, double& vy, std::int32_t& faceReq, const cObject* partner,
                    double from, double to, double s, int moverScreenBound, int arrivalTest) {
  if (from < to) {
    faceReq = 2;
    vx = s;
  } else {
    faceReq = 1;
    vx = -s;
  }
  const double follow = FollowSpeed(ScrollAxisX(), partner, moverScreenBound);
  if (follow != 0.0) vx = vx + follow;
  vy = 0;
  return arrivalTest && std::fabs(s) > std::fabs(from - to) ? 1 : 0;
}

int CalcMoveTowardY(double& vx, double& vy, std::int32_t& faceReq, const cObject* partner,
                    double from, double to, double s, int moverScreenBound, int arrivalTest) {
  vy = from < to ? s : -s;
  faceReq = 0;
  const double follow = FollowSpeed(ScrollAxisY(), partner, moverScreenBound);
  if (follow != 0.0) vy = vy + follow;
  vx = 0;
  return arrivalTest && std::fabs(s) > std::fabs(from - to) ? 1 : 0;
}

namespace {

const cEdMove* MoveRecord(const cCmdRun& run) {
  return run.m_pCmd && run.m_pCmd->m_pMove ? run.m_pCmd->m_pMove.get() : nullptr;
}

// On arrival at a move whose record stops there: the screen rectangles the snap reads are
// refreshed unless the move keeps its inertia.
bool StopsAtArrival(cObject& self, cObject* partner, const cCmdRun& run) {
  const cEdMove* move = MoveRecord(run);
  if (!move || !move->m_bStopAtTarget) return false;
  if (!move->m_bSpeedLimit) {
    self.UpdateScreenRect();
    if (partner) partner->UpdateScreenRect();
  }
  return true;
}

}  // namespace

int cObject::MoveToward(cCmdRun& run, cObject* partner, double x, double y, int screenBound,
                        int stop) {
  const int arrived =
      CalcAimVelocity(run.m_dVelX, run.m_dVelY, run.m_nFaceReq, partner, CellCentreX(*this),
                      CellCentreY(*this), x, y, run.m_dSpeed, screenBound, 0, stop);
  if (arrived && StopsAtArrival(*this, partner, run))
    SetCentreAndStop(TruncToInt32(x), TruncToInt32(y), &run);
  return arrived;
}

int cObject::MoveTowardX(cCmdRun& run, cObject* partner, double x, int screenBound, int stop) {
  const int arrived = CalcMoveTowardX(run.m_dVelX, run.m_dVelY, run.m_nFaceReq, partner,
                                      CellCentreX(*this), x, run.m_dSpeed, screenBound, stop);
  if (arrived && StopsAtArrival(*this, partner, run)) SetCentreXAndStop(TruncToInt32(x), &run);
  return arrived;
}

int cObject::MoveTowardY(cCmdRun& run, cObject* partner, double y, int screenBound, int stop) {
  const int arrived = CalcMoveTowardY(run.m_dVelX, run.m_dVelY, run.m_nFaceReq, partner,
                                      CellCentreY(*this), y, run.m_dSpeed, screenBound, stop);
  if (arrived && StopsAtArrival(*this, partner, run)) SetCentreYAndStop(TruncToInt32(y), &run);
  return arrived;
}

void cObject::GetAttachPos(double& x, double& y, const cCmdRun& run) const {
  const cEdMove* move = MoveRecord(run);
  if (!move || !move->m_bLockX)
    x = static_cast<double>(AddWrap32(CellCentreX(*this), run.m_nTargetX));
  if (!move || !move->m_bLockY)
    y = static_cast<double>(AddWrap32(CellCentreY(*this), run.m_nTargetY));
}

namespace {

// The filters of a search, as its caller passed them.
struct sCharaFilter {
  sCharaFilter(int idTest, std::int8_t id, int varTest, std::int16_t var, std::int32_t value,
               std::int32_t compare, int skipSelf, int skipInvincible1, int skipInvincible2,
               int skipBlockChara, std::int32_t ownNumber)
      : bIdTest(idTest),
        nId(id),
        bVarTest(varTest),
        sVar(var),
        nValue(value),
        nCompare(compare),
        bSkipSelf(skipSelf),
        bSkipInvincible1(skipInvincible1),
        bSkipInvincible2(skipInvincible2),
        bSkipBlockChara(skipBlockChara),
        nOwnNumber(ownNumber) {}
  int bIdTest;
  std::int8_t nId;
  int bVarTest;
  std::int16_t sVar;
  std::int32_t nValue;
  std::int32_t nCompare;
  int bSkipSelf, bSkipInvincible1, bSkipInvincible2, bSkipBlockChara;
  std::int32_t nOwnNumber;
};

bool PassesId(const cCharaBase& c, const sCharaFilter& f) {
  return !f.bIdTest || static_cast<std::int8_t>(c.m_Def.m_nCharaId) == f.nId;
}

bool PassesSkips(const cCharaBase& c, const sCharaFilter& f) {
  if (f.bSkipSelf && c.m_nNumber == f.nOwnNumber) return false;
  if (f.bSkipInvincible1 && c.m_Def.m_nInvincible == 1) return false;
  if (f.bSkipInvincible2 && c.m_Def.m_nInvincible == 2) return false;
  if (f.bSkipBlockChara && c.m_Def.m_bNoHitBox) return false;
  return true;
}

// The variable is read only here, after every other test passed.
bool PassesVar(const cCharaBase& c, const sCharaFilter& f) {
  return !f.bVarTest ||
         CompareByOp(c.m_Vars[f.sVar], f.nValue, static_cast<eCompareOp>(f.nCompare)) != 0;
}

enum class eState { kOnScreen, kOffScreen, kAny };

bool PassesState(const cCharaBase& c, eState state) {
  if (!c.m_bPresent || c.m_bFinished) return false;
  switch (state) {
    case eState::kOnScreen:
      return c.m_bOnScreen != 0;
    case eState::kOffScreen:
      return c.m_bOnScreen == 0;
    case eState::kAny:
      break;
  }
  return true;
}

cCharaBase* NearestWalk(std::int32_t x, std::int32_t y, const cList<cCharaBase*>& list,
                        eState state, const sCharaFilter& f) {
  cCharaBase* best = nullptr;
  std::int64_t bestDistance = 2147483647;
  for (cCharaBase* c : list) {
    if (!c || !PassesId(*c, f) || !PassesState(*c, state) || !PassesSkips(*c, f) ||
        !PassesVar(*c, f))
      continue;
    const std::int64_t distance = std::llabs(static_cast<std::int64_t>(CellCentreY(*c)) - y) +
                                  std::llabs(static_cast<std::int64_t>(CellCentreX(*c)) - x);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = c;
    }
  }
  return best;
}

// A character that passes the filters and is not finished (present or not, on the screen or
// not).
bool MatchesStatus(const cCharaBase& c, const sCharaFilter& f) {
  return PassesId(c, f) && !c.m_bFinished && PassesSkips(c, f) && PassesVar(c, f);
}

}  // namespace

cCharaBase* FindNearestChara(std::int32_t x, std::int32_t y, const cList<cCharaBase*>& list,
                             int mode, int idTest, std::int8_t id, int varTest, std::int16_t var,
                             std::int32_t value, std::int32_t compare, int skipSelf,
                             int skipInvincible1, int skipInvincible2, int skipBlockChara,
                             std::int32_t ownNumber) {
  const sCharaFilter f(idTest, id, varTest, var, value, compare, skipSelf, skipInvincible1,
                       skipInvincible2, skipBlockChara, ownNumber);
  switch (mode) {
    case NEAREST_SCREEN_FIRST:
      if (cCharaBase* c = NearestWalk(x, y, list, eState::kOnScreen, f)) return c;
      return NearestWalk(x, y, list, eState::kOffScreen, f);
    case NEAREST_ALL:
      return NearestWalk(x, y, list, eState::kAny, f);
    case NEAREST_SCREEN:
      return NearestWalk(x, y, list, eState::kOnScreen, f);
    default:
      return nullptr;
  }
}

cCharaBase* FindNearestDefault(std::int32_t x, std::int32_t y, const cList<cCharaBase*>& list) {
  return FindNearestChara(x, y, list,
                          g_Stage.m_bHitOnlyActive ? NEAREST_SCREEN : NEAREST_SCREEN_FIRST, 0, 0, 0,
                          0, 0, 0, 0, 0, 1, 0, 0);
}

cCharaBase* cObject::FindNearestFromCentre(const cList<cCharaBase*>& list) const {
  return FindNearestDefault(CellCentreX(*this), CellCentreY(*this), list);
}

cCharaBase* FindCharaByStatus(const cList<cCharaBase*>& list, int idTest, std::int8_t id,
                              int varTest, std::int16_t var, std::int32_t value,
                              std::int32_t compare, int skipSelf, int skipInvincible1,
                              int skipInvincible2, int skipBlockChara, std::int32_t ownNumber) {
  const sCharaFilter f(idTest, id, varTest, var, value, compare, skipSelf, skipInvincible1,
                       skipInvincible2, skipBlockChara, ownNumber);
  for (cCharaBase* c : list)
    if (c && MatchesStatus(*c, f)) return c;
  return nullptr;
}

cCharaBase* FindLinkedCharaByStatus(const cVector<sTargetRef>& links, int slot, int group,
                                    int allGroups, int idTest, std::int8_t id, int varTest,
                                    std::int16_t var, std::int32_t value, std::int32_t compare,
                                    int skipSelf, int skipInvincible1, int skipInvincible2,
                                    int skipBlockChara, std::int32_t ownNumber) {
  const sCharaFilter f(idTest, id, varTest, var, value, compare, skipSelf, skipInvincible1,
                       skipInvincible2, skipBlockChara, ownNumber);
  for (auto it = links.rbegin(); it != links.rend(); ++it) {
    cCharaBase* c = it->pObject;
    if (it->nSlot != slot || !c) continue;
    if (!allGroups && c->m_nGroup != group) continue;
    if (MatchesStatus(*c, f)) return c;
  }
  return nullptr;
}
