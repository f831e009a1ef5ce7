#include "objects/shot_fire.h"

#include <cmath>

#include "content/command_tables.h"
#include "content/palette.h"
#include "flows/flow_run.h"
#include "foundation/play_math.h"
#include "foundation/random.h"
#include "objects/aim.h"
#include "objects/chara.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "objects/play_units.h"
#include "play/play_scene.h"
#include "play/scroll_axis.h"
#include "play/spawn.h"
#include "project/system_data.h"

const double g_DirAngle[12] = {0, 0, 0, 180, 0, 0, 90, 270, 45, 315, 135, 225};
const std::int32_t g_DirAngleInt[12] = {0, 0, 0, 180, 0, 0, 90, 270, 45, 315, 135, 225};

const FormationHandler g_FormationFunc[FORMATION_COUNT] = {
    FireStraightA, FireStraightB, FireSpread, FireThunder, FireExplosion, FireSurround,
};

namespace {

// The firing's own degree factors.
constexpr double kDegRad = kAngleDegToRad;
constexpr double kRadDeg = 57.29577951308232;
const double& kK = g_dDiagonal;

// The angle of a direction code; a code without one (13 and above) has 0.
double DirAngle(int code) { return code >= 0 && code < 12 ? g_DirAngle[code] : 0.0; }

// The velocity of the record's speed in the direction theta (degrees).
void SetVelocity(sVolley& v, double theta) {
  v.dVX = -PlayCos(theta * kDegRad) * v.dSpeed;
  v.dVY = -PlaySin(theta * kDegRad) * v.dSpeed;
}

// What the layouts read: the object size, count and spacings of the formation, the camera,
// and an object's screen rectangle of its graphic cell.
struct sGeom {
  int w, h, n, S, q;
  int cx, cy;
  double camX, camY;
  int L, T, R, B, W, H, Mx, My;
};

sGeom Geom(const sVolley& v, const cEdShot* def, const cObject& o) {
  const cScrollAxis& ax = ScrollAxisX();
  const cScrollAxis& ay = ScrollAxisY();
  sGeom g{};
  g.w = v.nCellWidth;
  g.h = v.nCellHeight;
  if (def) {
    g.n = def->m_nCount;
    g.S = def->m_sFormationValue[0] * 16;
    g.q = def->m_sFormationValue[0] * 8;
  }
  g.camX = ax.m_dPos;
  g.camY = ay.m_dPos;
  g.cx = TruncToInt32(g.camX);
  g.cy = TruncToInt32(g.camY);
  const sDrawRect& r = o.m_Rect;
  g.L = r.m_nLeft;
  g.T = r.m_nTop;
  g.R = r.m_nRight;
  g.B = r.m_nBottom;
  g.W = r.m_nWidth;
  g.H = r.m_nHeight;
  g.Mx = g.L + (g.W >> 1);
  g.My = g.T + (g.H >> 1);
  return g;
}

// The diagonal anchor points beside the owner.
int X8(const sGeom& g) {
  return TruncToInt32(g.cx + g.Mx + kK * (1 - (g.W >> 1) - (g.w >> 1)) - (g.w >> 1));
}
int X10(const sGeom& g) {
  return TruncToInt32(g.cx + g.Mx + kK * (g.R - g.L - (g.W >> 1) + (g.w >> 1) + 1) - (g.w >> 1));
}
int Y8(const sGeom& g) {
  return TruncToInt32(g.cy + g.My - kK * ((g.H >> 1) + (g.h >> 1)) - (g.h >> 1));
}
int Y9(const sGeom& g) {
  return TruncToInt32(g.cy + g.My + kK * (g.B - g.T - (g.H >> 1) + (g.h >> 1) + 1) - (g.h >> 1));
}

void AddLaunchOffsets(sVolley& v) {
  v.nBaseX = AddWrap32(v.nBaseX, v.nLaunchX);
  v.nBaseY = AddWrap32(v.nBaseY, v.nLaunchY);
}

// The velocity of the straight formations by code (other codes leave it).
void StraightVelocity(sVolley& v) {
  const double s = v.dSpeed;
  switch (v.nDirection) {
    case 2:
      v.dVX = -s;
      v.dVY = 0;
      break;
    case 3:
      v.dVX = s;
      v.dVY = 0;
      break;
    case 6:
      v.dVX = 0;
      v.dVY = -s;
      break;
    case 7:
      v.dVX = 0;
      v.dVY = s;
      break;
    case 8:
      v.dVX = -kK * s;
      v.dVY = -kK * s;
      break;
    case 9:
      v.dVX = -kK * s;
      v.dVY = kK * s;
      break;
    case 10:
      v.dVX = kK * s;
      v.dVY = -kK * s;
      break;
    case 11:
      v.dVX = kK * s;
      v.dVY = kK * s;
      break;
    default:
      break;
  }
}

// The aim or the direction, from a point, plus the record's angle.
double AimOrDirection(double x, double y, cCharaBase& owner, cEdShot& def, sVolley& v) {
  const double a = ShotAimFlag(def) ? AimAngle(x, y, owner, def, v) : DirAngle(v.nDirection);
  return a + v.nAngle;
}

// The record's angle: the offset, mirrored for an owner facing right, plus a random spread.
std::int32_t FiringAngle(const cEdShot& def, const cObject& owner, std::int32_t offset) {
  std::int32_t angle = offset;
  if (def.m_bMirrorAngle && owner.m_nFacing == 1) angle = 360 - angle;
  if (def.m_sSpreadAngle != 0) angle += RandRange(-def.m_sSpreadAngle, def.m_sSpreadAngle);
  return angle;
}

// The reference object of THUNDER and SURROUND, or none.
cCharaBase* ReferenceObject(cCharaBase& owner, const cEdShot& def) {
  switch (ShotBaseObject(def)) {
    case 0:
      return owner.m_Targets[ShotAimSlot(def)];
    case 1:
      return g_Heroes.empty() ? nullptr : &g_Heroes.front();
    case 2:
      return &owner;
    default:
      return nullptr;
  }
}

void StartAtBase(sVolley& v) {
  v.nSpawnX = v.nBaseX;
  v.nSpawnY = v.nBaseY;
}

// n objects along the row or column from the base point.
void SpawnRow(cShotList* list, cCharaBase& owner, cCmdRun& run, cEdShot& def, sVolley& v) {
  StartAtBase(v);
  for (int i = 0; i < def.m_nCount; ++i) {
    SpawnAt(list, v, owner, run, def);
    v.nSpawnX = AddWrap32(v.nSpawnX, v.nStepX);
    v.nSpawnY = AddWrap32(v.nSpawnY, v.nStepY);
  }
}

// The palettes of the summons: the stage's unless the choice is 0.
sPaletteLists SummonPalette(const cEdShot& params) {
  return PaletteLists(params.m_nSummonPalette != 0 ? 2 : 1);
}

template <class T>
bool InPalette(const cVector<T>* list, int index) {
  return list && index >= 0 && index < static_cast<int>(list->size());
}

// The common part of the summons: the record set up for one copy of the formation.
void Summon(cCharaBase& owner, cCmdRun& run, cEdShot& params, int cell, bool blocks) {
  sVolley v{};
  v.nCellWidth = v.nCellHeight = cell;
  v.nDirection = ShotDirCode(params.m_nDirection, owner.m_nFacing);
  v.dSpeed = 1.0;
  owner.UpdateScreenRect();
  // Each cell toggles at most once within one volley.
  if (blocks && ShotBlockChangeKind(params) == BLOCKCHANGE_TOGGLE && g_pPlayScene)
    g_pPlayScene->m_ToggledCells.clear();
  v.nLaunchX = TruncToInt32(params.GetOffsetX(0, owner.m_nFacing));
  v.nLaunchY = TruncToInt32(params.GetOffsetY(0, owner.m_nFacing));
  const int formation = params.m_nFormation;
  if (formation >= 0 && formation < FORMATION_COUNT)
    g_FormationFunc[formation](nullptr, owner, run, params, v);
}

void AddLink(cCharaBase* chara, cShot* shot, int kind) {
  if (!chara) return;
  const sShotLink link{shot, kind};
  if (!HasShotLink(chara->m_ShotLinks, link)) chara->m_ShotLinks.push_back(link);
}

}  // namespace

int ShotDirCode(int choice, int facing) {
  const bool right = facing == 1;
  switch (choice) {
    case 0:
      return right ? 3 : 2;
    case 1:
      return right ? 2 : 3;
    case 4:
      return right ? 7 : 6;
    case 5:
      return right ? 6 : 7;
    case 12: {
      const cFlowRun* flow = CurFlow();
      return MapDirection(flow ? flow->m_nFirstKey : 0, 0, facing);
    }
    default:
      return choice;
  }
}

// ---- layouts ------------------------------------------------------------------------------

void LayoutStraightA(sVolley& v, const cEdShot& def, const cObject& owner) {
  const sGeom g = Geom(v, &def, owner);
  const int n = g.n;
  const double across = kK * (n - 1);
  switch (v.nDirection) {
    case 2:
    case 3:
      v.nBaseX = v.nDirection == 2 ? g.cx + g.L + 1 - g.w : g.cx + g.R + 1;
      v.nBaseY = g.cy + g.My - (n - 1) * g.q - n * (g.h >> 1);
      v.nStepX = 0;
      v.nStepY = g.S + g.h;
      break;
    case 6:
    case 7:
      v.nBaseX = g.cx + g.Mx - (n - 1) * g.q - n * (g.w >> 1);
      v.nBaseY = v.nDirection == 6 ? g.cy + g.T - g.h : g.cy + g.B + 1;
      v.nStepX = g.S + g.w;
      v.nStepY = 0;
      break;
    case 8:
    case 9:
      v.nBaseX = TruncToInt32(X8(g) - across * (g.q + (g.w >> 1)));
      v.nBaseY = v.nDirection == 8 ? TruncToInt32(Y8(g) + across * (g.q + (g.h >> 1)))
                                   : TruncToInt32(Y9(g) - across * (g.q + (g.h >> 1)));
      v.nStepX = g.S + g.w;
      v.nStepY = v.nDirection == 8 ? -g.S - g.h : g.S + g.h;
      break;
    case 10:
    case 11:
      v.nBaseX = TruncToInt32(X10(g) - across * (g.q + (g.w >> 1)));
      v.nBaseY = v.nDirection == 10 ? TruncToInt32(Y8(g) - across * (g.q + (g.h >> 1)))
                                    : TruncToInt32(Y9(g) + across * (g.q + (g.h >> 1)));
      v.nStepX = g.S + g.w;
      v.nStepY = v.nDirection == 10 ? g.S + g.h : -g.S - g.h;
      break;
    default:
      break;
  }
  StraightVelocity(v);
  AddLaunchOffsets(v);
}

void PlaceRotatedFromOwner(sVolley& v, const cObject& owner, double theta) {
  const sGeom g = Geom(v, nullptr, owner);
  const double phi = (theta + 225) * kDegRad;
  const double a = kK * (g.B - g.T - (g.H >> 1) + (g.h >> 1) + 1);
  const double b = kK * (g.R - g.L - (g.W >> 1) + (g.w >> 1) + 1);
  const double sinPhi = PlaySin(phi), cosPhi = PlayCos(phi);
  v.nBaseX = TruncToInt32(g.L + (g.W >> 1) + g.camX + a * sinPhi + b * cosPhi - (g.w >> 1));
  v.nBaseY = TruncToInt32(g.T + (g.H >> 1) + g.camY + b * sinPhi - a * cosPhi - (g.h >> 1));
}

void LayoutStraightAAngled(sVolley& v, cEdShot& def, cCharaBase& owner) {
  if (!ShotRotateFlag(def)) {
    LayoutStraightA(v, def, owner);
    const double theta = AimOrDirection(v.nBaseX + (v.nCellWidth >> 1),
                                        v.nBaseY + (v.nCellHeight >> 1), owner, def, v);
    SetVelocity(v, theta);
    return;
  }
  const sGeom g = Geom(v, &def, owner);
  const double theta0 =
      AimOrDirection(g.cx + g.Mx + v.nLaunchX, g.cy + g.My + v.nLaunchY, owner, def, v);
  PlaceRotatedFromOwner(v, owner, theta0);
  const double theta = ShotAimFlag(def)
                           ? AimAngle(v.nBaseX + v.nLaunchX + (g.w >> 1),
                                      v.nBaseY + v.nLaunchY + (g.h >> 1), owner, def, v) +
                                 static_cast<double>(v.nAngle)
                           : theta0;
  const double d = PlaySin(theta * kDegRad);
  const double e = PlayCos(theta * kDegRad);
  const int alongX = (g.q + (g.w >> 1)) * (g.n - 1);
  const int alongY = (g.q + (g.h >> 1)) * (g.n - 1);
  if ((d >= 0) == (e >= 0)) {
    v.nBaseX = TruncToInt32(v.nBaseX - d * alongX);
    v.nStepX = TruncToInt32(d * (g.S + g.w));
    v.nBaseY = TruncToInt32(v.nBaseY + e * alongY);
    v.nStepY = TruncToInt32(e * (-g.S - g.h));
  } else {
    v.nBaseX = TruncToInt32(v.nBaseX + d * alongX);
    v.nStepX = TruncToInt32(d * (-g.S - g.w));
    v.nBaseY = TruncToInt32(v.nBaseY - e * alongY);
    v.nStepY = TruncToInt32(e * (g.S + g.h));
  }
  AddLaunchOffsets(v);
  v.dVX = -e * v.dSpeed;
  v.dVY = -d * v.dSpeed;
}

void LayoutStraightB(sVolley& v, const cEdShot& def, const cObject& owner) {
  const sGeom g = Geom(v, &def, owner);
  v.nBaseY = g.cy + g.B - g.h + 1;
  v.nStepX = 0;
  v.nStepY = -g.S - g.h;
  const int left = g.cx + g.L + 1 - g.w, right = g.cx + g.R + 1;
  switch (v.nDirection) {
    case 2:
    case 8:
    case 9:
      v.nBaseX = left;
      break;
    case 3:
    case 10:
    case 11:
      v.nBaseX = right;
      break;
    case 6:
    case 7:
      v.nBaseX = owner.m_nFacing == 1 ? right : left;
      break;
    default:
      break;
  }
  StraightVelocity(v);
  AddLaunchOffsets(v);
}

void LayoutStraightBAngled(sVolley& v, cEdShot& def, cCharaBase& owner) {
  LayoutStraightB(v, def, owner);
  const double theta = AimOrDirection(v.nBaseX + (v.nCellWidth >> 1),
                                      v.nBaseY + (v.nCellHeight >> 1), owner, def, v);
  SetVelocity(v, theta);
}

void LayoutSpread(sVolley& v, const cEdShot& def, const cObject& owner) {
  const sGeom g = Geom(v, &def, owner);
  switch (v.nDirection) {
    case 2:
      v.nBaseX = g.cx + g.L - g.w + 1;
      v.nBaseY = g.cy + g.My - (g.h >> 1);
      break;
    case 3:
      v.nBaseX = g.cx + g.R + 1;
      v.nBaseY = g.cy + g.My - (g.h >> 1);
      break;
    case 6:
      v.nBaseX = g.cx + g.Mx - (g.w >> 1);
      v.nBaseY = g.cy + g.T - g.h;
      break;
    case 7:
      v.nBaseX = g.cx + g.Mx - (g.w >> 1);
      v.nBaseY = g.cy + g.B + 1;
      break;
    case 8:
      v.nBaseX = X8(g);
      v.nBaseY = Y8(g);
      break;
    case 9:
      v.nBaseX = X8(g);
      v.nBaseY = Y9(g);
      break;
    case 10:
      v.nBaseX = X10(g);
      v.nBaseY = Y8(g);
      break;
    case 11:
      v.nBaseX = X10(g);
      v.nBaseY = Y9(g);
      break;
    default:
      break;
  }
  AddLaunchOffsets(v);
}

void LayoutSpreadAngled(sVolley& v, cEdShot& def, cCharaBase& owner) {
  if (!ShotRotateFlag(def)) {
    LayoutSpread(v, def, owner);
    return;
  }
  const sGeom g = Geom(v, &def, owner);
  const double theta0 =
      AimOrDirection(g.cx + g.Mx + v.nLaunchX, g.cy + g.My + v.nLaunchY, owner, def, v);
  PlaceRotatedFromOwner(v, owner, theta0);
  AddLaunchOffsets(v);
}

void LayoutThunder(sVolley& v, const cEdShot& def, const cObject& owner, const cObject& ref) {
  const sGeom g = Geom(v, &def, ref);
  const int w = g.w, h = g.h;
  const int sp = g_SystemData.bCompatShot ? 0 : g.S;
  const int G = def.m_sFormationValue[2] * 16;
  const int r = def.m_sFormationValue[1];
  const int dx = TruncToInt32((w + sp) * kK), dy = TruncToInt32((h + sp) * kK);
  const int ndx = TruncToInt32(-(w + sp) * kK), ndy = TruncToInt32(-(h + sp) * kK);
  switch (v.nDirection) {
    case 2:
      v.nBaseX = TruncToInt32(g.camX + 640 - w);
      v.nBaseY = g.cy + g.My - (h >> 1);
      v.nStepX = -(w + sp);
      v.nStepY = 0;
      break;
    case 3:
      v.nBaseX = g.cx;
      v.nBaseY = g.cy + g.My - (h >> 1);
      v.nStepX = w + sp;
      v.nStepY = 0;
      break;
    case 6:
      v.nBaseX = g.cx + g.Mx - (w >> 1);
      v.nBaseY = TruncToInt32(g.camY + 480 - h);
      v.nStepX = 0;
      v.nStepY = -(h + sp);
      break;
    case 7:
      v.nBaseX = g.cx + g.Mx - (w >> 1);
      v.nBaseY = g.cy;
      v.nStepX = 0;
      v.nStepY = h + sp;
      break;
    case 8: {
      const int a = 640 - g.Mx, b = 480 - g.My;
      if (a < b) {
        v.nBaseX = TruncToInt32(g.camX + 640 - w);
        v.nBaseY = TruncToInt32(g.My + g.camY + a - h);
      } else {
        v.nBaseX = TruncToInt32(g.Mx + g.camX + b - w);
        v.nBaseY = TruncToInt32(g.camY + 480 - h);
      }
      v.nStepX = ndx;
      v.nStepY = ndy;
      break;
    }
    case 9: {
      const int a = 640 - g.Mx, b = g.My;
      if (a < b) {
        v.nBaseX = TruncToInt32(g.camX + 640 - w);
        v.nBaseY = TruncToInt32(g.My + g.camY - a);
      } else {
        v.nBaseX = TruncToInt32(g.Mx + g.camX + b - w);
        v.nBaseY = g.cy;
      }
      v.nStepX = ndx;
      v.nStepY = dy;
      break;
    }
    case 10: {
      const int a = g.Mx, b = 480 - g.My;
      if (a < b) {
        v.nBaseX = g.cx;
        v.nBaseY = TruncToInt32(g.My + g.camY + a - h);
      } else {
        v.nBaseX = TruncToInt32(g.Mx + g.camX - b);
        v.nBaseY = TruncToInt32(g.camY + 480 - h);
      }
      v.nStepX = dx;
      v.nStepY = ndy;
      break;
    }
    case 11: {
      const int a = g.Mx, b = g.My;
      if (a < b) {
        v.nBaseX = g.cx;
        v.nBaseY = TruncToInt32(g.My + g.camY - a);
      } else {
        v.nBaseX = TruncToInt32(g.Mx + g.camX - b);
        v.nBaseY = g.cy;
      }
      v.nStepX = dx;
      v.nStepY = dy;
      break;
    }
    default:
      break;
  }
  StraightVelocity(v);
  if (r >= 2) {
    const int f = ((r - 1) >> 1) * G + (r % 2 == 0 ? (G >> 1) : 0);
    const int fk = TruncToInt32(f * kK), gk = TruncToInt32(G * kK);
    switch (v.nDirection) {
      case 2:
      case 3:
        v.nRowStepX = 0;
        v.nRowStepY = G;
        v.nBaseY -= f;
        break;
      case 6:
      case 7:
        v.nRowStepX = G;
        v.nRowStepY = 0;
        v.nBaseX -= f;
        break;
      case 8:
      case 11:
        v.nRowStepX = gk;
        v.nRowStepY = TruncToInt32(-G * kK);
        v.nBaseX -= fk;
        v.nBaseY += fk;
        break;
      case 9:
      case 10:
        v.nRowStepX = gk;
        v.nRowStepY = gk;
        v.nBaseX -= fk;
        v.nBaseY -= fk;
        break;
      default:
        break;
    }
  }
  AddLaunchOffsets(v);
}

void LayoutThunderAngled(sVolley& v, const cEdShot& def, const cObject& owner, const cObject& ref) {
  LayoutThunder(v, def, owner, ref);
  SetVelocity(v, v.nAngle + DirAngle(v.nDirection));
}

void LayoutAtOwnerCentre(sVolley& v, const cEdShot& def, const cObject& owner) {
  const sGeom g = Geom(v, &def, owner);
  v.nBaseX = AddWrap32(TruncToInt32(g.L + (g.W >> 1) + g.camX - (g.w >> 1)), v.nLaunchX);
  v.nBaseY = AddWrap32(TruncToInt32(g.T + (g.H >> 1) + g.camY - (g.h >> 1)), v.nLaunchY);
}

// ---- aiming -------------------------------------------------------------------------------

int AimAngle(double x, double y, cCharaBase& owner, cEdShot& def, sVolley& volley) {
  const cCharaBase* target = owner.m_Targets[ShotAimSlot(def)];
  if (!target) return owner.m_nFacing == 1 ? 180 : 0;
  const cScrollAxis& ax = ScrollAxisX();
  const cScrollAxis& ay = ScrollAxisY();
  const int cx = TruncToInt32(ax.m_dPos), cy = TruncToInt32(ay.m_dPos);
  const int tMx = CellCentreX(*target), tMy = CellCentreY(*target);
  const bool scrolling =
      (ax.m_dSpeed != 0 && !ax.m_bAtLimit) || (ay.m_dSpeed != 0 && !ay.m_bAtLimit);
  if (scrolling && !ShotScreenBound(def) && target->m_bScreenBound) {
    // The lead on a target that keeps its place on the scrolling screen, for the speed of a
    // shot of this copy.
    cShot probe;
    probe.SetUp(0, owner, kShotCmdKind, def, volley);
    probe.m_bScreenBound = 0;
    const double speed =
        (def.m_sSpeed + probe.m_sCopyIndex * def.m_sSpeedClone) * 0.1 / g_dHitLevel;
    double vx = 0, vy = 0;
    std::int32_t request = 0;
    CalcAimVelocity(vx, vy, request, target, x - cx, y - cy, tMx, tMy, speed, 0, 1, 0);
    volley.dSpeed = std::sqrt(vx * vx + vy * vy) * g_dHitLevel;
    return TruncToInt32(PlayAtan2(vy, vx) * kRadDeg + 180);
  }
  return TruncToInt32(PlayAtan2(cy + tMy - y, cx + tMx - x) * kRadDeg + 180 + 0.5);
}

// ---- formations ---------------------------------------------------------------------------

void FireStraightA(cShotList* list, cCharaBase& owner, cCmdRun& run, cEdShot& def, sVolley& v) {
  if (v.nAngle != 0 || ShotAimFlag(def))
    LayoutStraightAAngled(v, def, owner);
  else
    LayoutStraightA(v, def, owner);
  SpawnRow(list, owner, run, def, v);
}

void FireStraightB(cShotList* list, cCharaBase& owner, cCmdRun& run, cEdShot& def, sVolley& v) {
  if (v.nAngle != 0 || ShotAimFlag(def))
    LayoutStraightBAngled(v, def, owner);
  else
    LayoutStraightB(v, def, owner);
  SpawnRow(list, owner, run, def, v);
}

void FireSpread(cShotList* list, cCharaBase& owner, cCmdRun& run, cEdShot& def, sVolley& v) {
  if (v.nAngle != 0 || ShotAimFlag(def))
    LayoutSpreadAngled(v, def, owner);
  else
    LayoutSpread(v, def, owner);
  const double a = ShotAimFlag(def) ? AimAngle(v.nBaseX + (v.nCellWidth >> 1),
                                               v.nBaseY + (v.nCellHeight >> 1), owner, def, v)
                                    : DirAngle(v.nDirection);
  const int n = def.m_nCount;
  const double fan = def.m_sFormationValue[0];
  const double k = n % 2 != 0 ? (n >> 1) : (n >> 1) - 0.5;
  double theta = a + v.nAngle - fan * k;
  StartAtBase(v);
  for (int i = 0; i < n; ++i) {
    SetVelocity(v, theta);
    SpawnAt(list, v, owner, run, def);
    theta += fan;
  }
}

void FireThunder(cShotList* list, cCharaBase& owner, cCmdRun& run, cEdShot& def, sVolley& v) {
  const cCharaBase* ref = ReferenceObject(owner, def);
  if (!ref) return;
  if (v.nAngle == 0)
    LayoutThunder(v, def, owner, *ref);
  else
    LayoutThunderAngled(v, def, owner, *ref);
  const int rows = def.m_sFormationValue[1];
  StartAtBase(v);
  for (int i = 0; i < def.m_nCount; ++i) {
    sVolley column = v;
    for (int j = 0; j < rows; ++j) {
      SpawnAt(list, column, owner, run, def);
      column.nSpawnX = AddWrap32(column.nSpawnX, column.nRowStepX);
      column.nSpawnY = AddWrap32(column.nSpawnY, column.nRowStepY);
    }
    v.nSpawnX = AddWrap32(v.nSpawnX, v.nStepX);
    v.nSpawnY = AddWrap32(v.nSpawnY, v.nStepY);
  }
}

void FireExplosion(cShotList* list, cCharaBase& owner, cCmdRun& run, cEdShot& def, sVolley& v) {
  LayoutAtOwnerCentre(v, def, owner);
  StartAtBase(v);
  const int n = def.m_nCount;
  double e = DirAngle(v.nDirection) + v.nAngle;
  for (int i = 0; i < n; ++i) {
    SetVelocity(v, e);
    SpawnAt(list, v, owner, run, def);
    e += 360.0 / n;
  }
}

void FireSurround(cShotList* list, cCharaBase& owner, cCmdRun& run, cEdShot& def, sVolley& v) {
  const cCharaBase* ref = ReferenceObject(owner, def);
  if (!ref) return;
  const sGeom g = Geom(v, &def, *ref);
  v.nBaseX = TruncToInt32(g.L + (g.W >> 1) + g.camX - (g.w >> 1) + v.nLaunchX);
  v.nBaseY = TruncToInt32(g.T + (g.H >> 1) + g.camY - (g.h >> 1) + v.nLaunchY);
  const double rho = def.m_sFormationValue[0] * 16.0;
  const int n = def.m_nCount;
  double u = DirAngle(v.nDirection) + v.nAngle;
  for (int i = 0; i < n; ++i) {
    v.nSpawnX = AddWrap32(TruncToInt32(rho * PlayCos(u * kDegRad) + 0.5), v.nBaseX);
    v.nSpawnY = AddWrap32(TruncToInt32(rho * PlaySin(u * kDegRad) + 0.5), v.nBaseY);
    SetVelocity(v, u);
    SpawnAt(list, v, owner, run, def);
    u += 360.0 / n;
  }
}

// ---- firing and summoning -----------------------------------------------------------------

void FireShot(cShotList& list, cCharaBase& owner, cCmdRun& run, cEdShot& def) {
  sVolley v{};
  v.nCellWidth = v.nCellHeight = def.m_nSizeFactor * 16;
  v.nDirection = ShotDirCode(def.m_nDirection, owner.m_nFacing);
  if (owner.m_nControl != 0) owner.UpdateScreenRect();
  const int aimSlot = ShotAimSlot(def), targetSlot = ShotTargetSlot(def);
  if (cCharaBase* aimed = owner.m_Targets[aimSlot]; aimed && aimed->m_nControl != 0)
    aimed->UpdateScreenRect();
  if (targetSlot != aimSlot && targetSlot >= 0 &&
      targetSlot < static_cast<int>(owner.m_Targets.size())) {
    cCharaBase* target = owner.m_Targets[targetSlot];
    if (target && target->m_nControl != 0) target->UpdateScreenRect();
  }
  v.dSpeed = def.m_sSpeed * 0.1;
  v.nAngle = FiringAngle(def, owner, def.m_sAngleDev);
  v.nRange = def.m_sRange;
  v.nLifetime = def.m_sLifetime;
  const int formation = def.m_nFormation;
  for (int i = 0; i <= def.m_nClonesPerShot; ++i) {
    v.sCopyIndex = static_cast<std::int16_t>(i);
    v.nLaunchX = TruncToInt32(def.GetOffsetX(i, owner.m_nFacing));
    v.nLaunchY = TruncToInt32(def.GetOffsetY(i, owner.m_nFacing));
    if (formation >= 0 && formation < FORMATION_COUNT)
      g_FormationFunc[formation](&list, owner, run, def, v);
    v.dSpeed = v.dSpeed + def.m_sSpeedClone * 0.1;
    v.nAngle = FiringAngle(def, owner, def.m_sAngleDev + def.m_sAngleDevClone * (i + 1));
    v.nRange += def.m_sRangeClone;
    v.nLifetime += def.m_sLifetimeClone;
  }
}

void SummonCharaFromPalette(cCharaBase& owner, cCmdRun& run, cEdShot& params) {
  const CharaVector* list = SummonPalette(params).pCharas;
  if (!InPalette(list, params.m_sSummonIndex)) return;
  const cEdChara& def = list->data()[params.m_sSummonIndex];
  if (def.m_nControl != 1) return;
  Summon(owner, run, params, def.m_nScale * 32, false);
}

void SummonItemFromPalette(cCharaBase& owner, cCmdRun& run, cEdShot& params) {
  const ItemVector* list = SummonPalette(params).pItems;
  if (!InPalette(list, params.m_sSummonIndex)) return;
  Summon(owner, run, params, list->data()[params.m_sSummonIndex].m_nScale * 32, false);
}

void SummonBlockFromPalette(cCharaBase& owner, cCmdRun& run, cEdShot& params) {
  if (!InPalette(SummonPalette(params).pBlocks, params.m_sSummonIndex)) return;
  Summon(owner, run, params, 32, true);
}

void SpawnAt(cShotList* list, sVolley& v, cCharaBase& owner, cCmdRun& run, cEdShot& def) {
  if (!run.m_pCmd || !g_pPlayScene) return;
  cPlayScene& scene = *g_pPlayScene;
  const double x = v.nSpawnX, y = v.nSpawnY;
  switch (run.m_pCmd->m_nKind) {
    case CMD_SHOT: {
      if (!list || RunTimeListFull(list->size())) return;
      cShot temp;
      temp.SetUp(scene.m_nShotNo, owner, kShotCmdKind, def, v);
      cShot& shot = AddShotToList(*list, temp);
      scene.m_nShotNo = AddWrap32(scene.m_nShotNo, 1);
      const int guide = shot.m_Def.m_nGuide;
      if (guide == GUIDE_AIM_TARGET || guide == GUIDE_HOME_TARGET)
        AddLink(shot.m_pTarget, &shot, 0);
      else
        shot.m_pTarget = nullptr;
      AddLink(shot.m_pOwner, &shot, kOwnerSlot);
      break;
    }
    case CMD_SUMMON_BLOCK: {
      BlockVector* blocks = SummonPalette(def).pBlocks;
      if (!blocks) return;
      ChangeBlock(x, y, def, (*blocks)[def.m_sSummonIndex]);
      break;
    }
    case CMD_SUMMON_CHARA: {
      CharaVector* charas = SummonPalette(def).pCharas;
      if (!charas) return;
      const int facing = ShotReverseFacing(def) ? 1 - (owner.m_nFacing != 0) : owner.m_nFacing;
      const cEdChara& chara = (*charas)[def.m_sSummonIndex];
      int group = 0;
      switch (ShotGroupChoice(def)) {
        case 0:
          group = chara.m_nGroup;
          break;
        case 1:
          group = owner.m_Def.m_nGroup;
          break;
        case 2:
          group = def.m_nGroup;
          break;
        default:
          return;  // no group named: nothing summoned
      }
      SpawnCharacter(g_CharaList, x, y, group, facing, def, chara, scene.m_nCharaNo, &owner);
      break;
    }
    case CMD_SUMMON_ITEM: {
      ItemVector* items = SummonPalette(def).pItems;
      if (!items) return;
      SpawnItem(g_ItemList, x, y, def, (*items)[def.m_sSummonIndex], scene.m_nItemNo);
      break;
    }
    default:
      break;
  }
}
