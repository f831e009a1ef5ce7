#include "objects/shot.h"

#include <algorithm>
#include <cmath>

#include "foundation/play_math.h"
#include "media/blit.h"
#include "media/surface.h"
#include "objects/aim.h"
#include "objects/chara.h"
#include "play/map_cells.h"
#include "play/play_graphics.h"
#include "play/play_scene.h"
#include "play/scroll_axis.h"
#include "project/database.h"
#include "project/stage.h"
#include "project/system_bitmaps.h"
#include "project/system_data.h"
#include "project/system_ini.h"

const AnimeRuns& ShotAnimeRuns() {
  static const AnimeRuns runs = {
      AnimeRun{{0, 7, 0}, {1, 7, 0}, {2, 7, 0}, {kAnimeEnd, 0, 0}},
      AnimeRun{{0, 8, 0}, {1, 8, 0}, {kAnimeLoop, 0, 0}},
  };
  return runs;
}

sShotTraits ShotTraitsOf(const cEdShot& def) {
  sShotTraits t;
  t.nGuide = def.m_nGuide;
  t.bRange = def.m_bRange;
  t.bLifetime = def.m_bLifetime;
  t.bPassesBlocks = static_cast<std::int8_t>(ShotPassesBlocks(def));
  t.bBreakable = def.m_byReserved47;
  return t;
}

cShot::cShot() {
  m_Def.SetDefaults();
  KeepTraits();
}

cShot::cShot(const cShot& other)
    : cObject(other),
      m_bIsShot(other.m_bIsShot),
      m_nLifeLeft(other.m_nLifeLeft),
      m_nRangeLeft(other.m_nRangeLeft),
      m_bAccel(other.m_bAccel),
      m_bGuideDone(other.m_bGuideDone),
      m_nStep(other.m_nStep),
      m_dBaseVX(other.m_dBaseVX),
      m_dBaseVY(other.m_dBaseVY),
      m_bVanish(other.m_bVanish),
      m_Traits(other.m_Traits),
      m_cHitTriggerId(other.m_cHitTriggerId),
      m_bHitTrigger(other.m_bHitTrigger),
      m_HitBox(other.m_HitBox),
      m_nOwnerNumber(other.m_nOwnerNumber),
      m_nSwordFrame(other.m_nSwordFrame),
      m_nGuideStart(other.m_nGuideStart),
      m_nGuideEnd(other.m_nGuideEnd),
      m_dAccel(other.m_dAccel),
      m_dAimSpeed(other.m_dAimSpeed),
      m_dWavePhase(other.m_dWavePhase),
      m_dWaveSin(other.m_dWaveSin),
      m_dWaveCos(other.m_dWaveCos),
      m_HitCharas(other.m_HitCharas),
      m_Def(other.m_Def),
      m_pTarget(other.m_pTarget),
      m_pOwner(other.m_pOwner) {}

cShot::~cShot() { Unlink(); }

namespace {

void RemoveShotLink(cCharaBase* chara, const cShot* shot, int kind) {
  if (!chara) return;
  auto& links = chara->m_ShotLinks;
  links.erase(std::remove_if(links.begin(), links.end(),
                             [&](const sShotLink& l) { return l.pShot == shot && l.nKind == kind; }),
              links.end());
}

}  // namespace

void cShot::Unlink() {
  RemoveShotLink(m_pTarget, this, 0);
  RemoveShotLink(m_pOwner, this, kOwnerSlot);
  m_pTarget = nullptr;
  m_pOwner = nullptr;
}

int HasShotLink(const cVector<sShotLink>& links, const sShotLink& link) {
  for (const sShotLink& l : links)
    if (l.pShot == link.pShot && l.nKind == link.nKind) return 1;
  return 0;
}

void cShot::OnScaled(int s) {
  m_HitBox.m_nOffsetX = MulWrap32(s, m_HitBox.m_nBaseOffsetX);
  m_HitBox.m_nOffsetY = MulWrap32(s, m_HitBox.m_nBaseOffsetY);
  m_HitBox.m_nWidth = MulWrap32(s, m_HitBox.m_nBaseWidth);
  m_HitBox.m_nHeight = MulWrap32(s, m_HitBox.m_nBaseHeight);
}

void cShot::AdjustYForScale(int newScale, int oldScale) {
  if (newScale == oldScale) return;
  m_dY = m_dY - MulWrap32(SubWrap32(newScale, oldScale), m_nBaseHeight >> 1);
  ClampY(CLAMP_MAP);
}

void cShot::UpdateHitBoxX() { PlaceHitBoxX(m_HitBox, m_dX); }
void cShot::UpdateHitBoxY() { PlaceHitBoxY(m_HitBox, m_dY); }

namespace {

// The sword type of a definition's byte: the table's entry (a number outside it is reported
// by the table and entry 0 is used), or null for an empty table.
const cDbSwordType* SwordTypeOf(const cEdShot& def) {
  auto& types = g_DataBase.m_SwordType;
  if (types.empty()) return nullptr;
  return &types[static_cast<std::int8_t>(def.m_nGuide)];
}

}  // namespace

const cDbSwordFrame* cShot::SwordFrame() const {
  const cDbSwordType* type = SwordTypeOf(m_Def);
  if (!type || m_nSwordFrame < 0 || m_nSwordFrame >= static_cast<int>(type->m_Frames.size()))
    return nullptr;
  return &type->m_Frames.data()[m_nSwordFrame];
}

void cShot::SetUp(int number, cCharaBase& owner, int kind, cEdShot& def, const sVolley& volley) {
  if (def.m_nSizeFactor == 0) def.m_nSizeFactor = 1;
  if (&def != &m_Def) m_Def = def;
  const int facing = volley.dVX > 0 ? 1 : volley.dVX < 0 ? 0 : owner.m_nFacing;
  int w = 16, h = 16;
  if (kind == kSwordCmdKind) {
    const cDbSwordType* type = SwordTypeOf(m_Def);
    w = h = 0;
    if (type && !type->m_Frames.empty()) {
      w = type->m_Frames.data()[0].m_nWidth;
      h = type->m_Frames.data()[0].m_nHeight;
    }
    m_bIsShot = 0;
  } else {
    m_bIsShot = 1;
  }
  m_nOwnerNumber = owner.m_nNumber;
  SetUpBase(number, owner.m_nControl, owner.m_nInput, m_Def.m_nGroup, m_Def.m_sGraphic,
            &ShotAnimeRuns(), m_bIsShot ? 1 : 0, 0, 0, w, h, 16, 16, facing, MOVE_FLY_THROUGH,
            volley.sCopyIndex);
  if (m_Def.m_bGroupFromFirer) {
    m_nGroup = owner.m_Def.m_nGroup;
    m_Def.m_nGroup = static_cast<std::int8_t>(owner.m_Def.m_nGroup);
  }
  KeepTraits();
  m_HitBox.Clear();
  if (!m_bIsShot) {
    m_HitBox.m_nWidth = m_HitBox.m_nBaseWidth = w;
    m_HitBox.m_nHeight = m_HitBox.m_nBaseHeight = h;
  } else {
    const bool player = owner.m_nControl == 0;
    const int bw = player ? g_Stage.m_nPlayerShotW : g_Stage.m_nComputerShotW;
    const int bh = player ? g_Stage.m_nPlayerShotH : g_Stage.m_nComputerShotH;
    m_HitBox.m_nOffsetX = m_HitBox.m_nBaseOffsetX = 8 - (bw >> 1);
    m_HitBox.m_nOffsetY = m_HitBox.m_nBaseOffsetY = 8 - (bh >> 1);
    m_HitBox.m_nWidth = m_HitBox.m_nBaseWidth = bw;
    m_HitBox.m_nHeight = m_HitBox.m_nBaseHeight = bh;
  }
  Scale(m_Def.m_nSizeFactor, 1);
  m_dX = volley.nSpawnX;
  ClampX();
  m_dY = volley.nSpawnY;
  ClampY(CLAMP_MAP);
  const double n = g_dHitLevel;
  m_dBaseVX = volley.dVX / n;
  m_dBaseVY = volley.dVY / n;
  const int copy = volley.sCopyIndex;
  if (m_Def.m_bAccel) {
    m_bAccel = 1;
    m_dAccel = (m_Def.m_sAccel + m_Def.m_sAccelClone * copy) * 0.1 / n;
    CalcShotAccel(m_dInertiaX, m_dInertiaY, volley.dVX, volley.dVY);
  } else {
    m_bAccel = 0;
    m_dAccel = m_dInertiaX = m_dInertiaY = 0;
  }
  m_dAimSpeed = (m_Def.m_sSpeed + m_Def.m_sSpeedClone * copy) * 0.1 / n;
  m_dVX = m_dVY = 0;
  m_bScreenBound = ShotScreenBound(m_Def);
  if (m_Def.m_bLifetime) m_nLifeLeft = MulWrap32(MulWrap32(volley.nLifetime, g_nHitLevel), 6);
  if (m_Def.m_bRange) {
    const double d = std::max(0.0, volley.nRange * 16.0 - m_nWidth);
    const double s = std::fabs(volley.dSpeed / n);
    if (d > 0 && s > 0) {
      m_nRangeLeft = TruncToInt32(d / s);
    } else {
      m_nRangeLeft = TruncToInt32(n);
      if (s > 0 && TruncToInt32(n * s) > m_nWidth) m_nRangeLeft = TruncToInt32(m_nWidth / s);
    }
    if (m_nRangeLeft < g_nHitLevel) {
      // The range is covered within one frame: the shot goes exactly that far in it.
      const double sum = std::fabs(volley.dVX) + std::fabs(volley.dVY);
      if (sum > 0) {
        m_dBaseVX = volley.dVX * (d / n) / sum;
        m_dBaseVY = volley.dVY * (d / n) / sum;
      }
      m_nRangeLeft = TruncToInt32(n);
    }
  }
  m_nStep = m_nSwordFrame = m_nGuideStart = m_nGuideEnd = m_bGuideDone = 0;
  const int slot = ShotTargetSlot(m_Def);
  m_pTarget = slot >= 0 && slot < static_cast<int>(owner.m_Targets.size())
                  ? owner.m_Targets.data()[slot]
                  : nullptr;
  m_pOwner = &owner;
  m_bVanish = 0;
  m_bHitTrigger = ShotHitTrigger(m_Def);
  m_cHitTriggerId = ShotHitTriggerId(m_Def);
}

void cShot::CalcShotAccel(double& ax, double& ay, double vx, double vy) const {
  const double a = m_dAccel;
  if (vx == 0 && vy == 0) {
    ax = ay = 0;
  } else if (vx == 0) {
    ax = 0;
    ay = vy > 0 ? PerFrameToPerSubStep(a) : -PerFrameToPerSubStep(a);
  } else if (vy == 0) {
    ay = 0;
    ax = vx > 0 ? PerFrameToPerSubStep(a) : -PerFrameToPerSubStep(a);
  } else {
    const double l = std::sqrt(vx * vx + vy * vy);
    ax = PerFrameToPerSubStep(vx / l * a);
    ay = PerFrameToPerSubStep(vy / l * a);
  }
}

int cShot::Update() {
  if (!m_bIsShot) return UpdateSword();
  const bool flying = m_bNoGravity != 0;
  const double autoX = AutoScrollX();
  const double autoY = AutoScrollY();
  if (g_SystemData.m_bScrollCarry) {
    m_dVX = 0;
    if (flying) m_dVY = 0;
  } else if (m_bScreenBound) {
    m_dVX = autoX;
    if (flying) m_dVY = autoY;
  } else {
    m_dVX = 0;
    if (flying) m_dVY = 0;
  }
  RunGuide();
  if (m_bAccel) {
    m_dBaseVX = m_dBaseVX + m_dInertiaX;
    if (m_bNoGravity)
      m_dBaseVY = m_dBaseVY + m_dInertiaY;
    else
      m_dVY = m_dVY + m_dInertiaY;
  }
  m_dVX = m_dVX + m_dBaseVX;
  if (m_bNoGravity) m_dVY = m_dVY + m_dBaseVY;
  const sShotTraits& traits = Traits();
  if (traits.bLifetime) {
    if (m_nLifeLeft <= 0) return 1;
    --m_nLifeLeft;
  }
  if (m_dVX != 0) m_nFacing = m_dVX > 0 ? 1 : 0;
  if (traits.bRange) {
    if (m_nRangeLeft > 0) {
      --m_nRangeLeft;
    } else {
      if (!m_Def.m_bStopAtRangeEnd) return 1;
      m_dBaseVX = m_dBaseVY = 0;
      m_Def.m_nGuide = GUIDE_STRAIGHT;
      m_Traits.nGuide = GUIDE_STRAIGHT;
      if (m_bScreenBound) {
        m_dVX = autoX;
        if (m_bNoGravity) m_dVY = autoY;
      } else {
        m_dVX = m_dVY = 0;
      }
    }
  }
  return 0;
}

void cShot::RunGuide() {
  if (m_bGuideDone) return;
  const int guide = Traits().nGuide;
  switch (guide) {
    case GUIDE_AIM_HERO:
    case GUIDE_AIM_NEAREST:
    case GUIDE_AIM_TARGET:
    case GUIDE_HOME_HERO:
    case GUIDE_HOME_NEAREST:
    case GUIDE_HOME_TARGET:
    case GUIDE_HOME_NEAREST_RETARGET:
      GuideAim(guide);
      break;
    case GUIDE_WAVE:
      GuideWave();
      break;
    case GUIDE_FALL:
      GuideFall();
      break;
    default:  // straight, and codes this program does not know
      break;
  }
}

namespace {

// Sub-steps to cover a distance of g half-blocks at the aim speed; 0 for no distance or no
// speed.
std::int32_t StepsFor(std::int16_t g, double speed) {
  if (g == 0 || speed == 0) return 0;
  return TruncToInt32(g * 16 / speed);
}

bool Alive(const cCharaBase* c) { return c && !c->m_bFinished; }

}  // namespace

void cShot::GuideAim(int kind) {
  const std::int16_t* g = m_Def.m_sGuideValue;
  const bool homing = kind >= GUIDE_HOME_HERO;
  if (m_nStep == 0) {
    m_nGuideStart = StepsFor(g[0], m_dAimSpeed);
    if (homing && g[1] != 0) m_nGuideEnd = StepsFor(g[1], m_dAimSpeed);
  }
  switch (kind) {
    case GUIDE_AIM_HERO:
    case GUIDE_AIM_NEAREST:
    case GUIDE_AIM_TARGET:
      if (m_nStep == m_nGuideStart) {
        cCharaBase* object = kind == GUIDE_AIM_HERO      ? FirstHero()
                             : kind == GUIDE_AIM_NEAREST ? NearestCharaForShot(*this, g[1])
                                                         : (Alive(m_pTarget) ? m_pTarget : nullptr);
        if (object) AimOnce(*object);
        m_bGuideDone = 1;
        return;
      }
      break;
    default:
      if (m_nStep >= m_nGuideEnd) {
        m_bGuideDone = 1;
        return;
      }
      if (m_nStep >= m_nGuideStart) {
        cCharaBase* object = kind == GUIDE_HOME_HERO     ? FirstHero()
                             : kind == GUIDE_HOME_TARGET ? (Alive(m_pTarget) ? m_pTarget : nullptr)
                                                         : NearestCharaForShot(*this, g[2]);
        if (object) AimAt(*object);
      }
      break;
  }
  ++m_nStep;
}

namespace {

// The velocity at the shot's aim speed from its cell centre toward the object's.
void AimVelocity(cShot& shot, const cObject& object, double& vx, double& vy) {
  shot.cObject::UpdateScreenRect();
  std::int32_t faceReq = 0;
  CalcAimVelocity(vx, vy, faceReq, &object, CellCentreX(shot), CellCentreY(shot),
                  CellCentreX(object), CellCentreY(object), shot.m_dAimSpeed, shot.m_bScreenBound,
                  1, 0);
}

}  // namespace

void cShot::AimOnce(cObject& object) {
  double vx = 0, vy = 0;
  AimVelocity(*this, object, vx, vy);
  m_dBaseVX = vx;
  m_dBaseVY = vy;
  if (m_bAccel) CalcShotAccel(m_dInertiaX, m_dInertiaY, vx, vy);
}

void cShot::AimAt(cObject& object) {
  double vx = 0, vy = 0;
  AimVelocity(*this, object, vx, vy);
  if (!m_bAccel || m_nStep == m_nGuideStart) {
    m_dBaseVX = vx;
    m_dBaseVY = vy;
  }
  if (m_bAccel) CalcShotAccel(m_dInertiaX, m_dInertiaY, vx, vy);
}

cCharaBase* NearestCharaForShot(const cShot& shot, int group) {
  // A group outside the eight finds nobody (the shot keeps its course).
  if (!g_pPlayScene || group < 0 || group >= static_cast<int>(g_pPlayScene->m_CharaGroup.size()))
    return nullptr;
  return shot.FindNearestFromCentre(g_pPlayScene->m_CharaGroup[group]);
}

void cShot::GuideFall() {
  if (m_nStep == 0) m_nGuideStart = StepsFor(m_Def.m_sGuideValue[0], m_dAimSpeed);
  if (m_nStep >= m_nGuideStart) {
    m_dVY = m_dBaseVY;
    m_bNoGravity = 0;
    m_bGuideDone = 1;
    return;
  }
  ++m_nStep;
}

void cShot::GuideWave() {
  std::int16_t* g = m_Def.m_sGuideValue;
  const int f = g[1];
  if (m_nStep == 0) {
    g[0] = static_cast<std::int16_t>(g[0] * 16);
    m_nStep = 1;
    if (f == 0) {
      // No wave speed: the shot keeps its course without swinging.
      m_bGuideDone = 1;
      return;
    }
    double p = g[2];
    if (m_nFacing == 0) p = p + 180;
    m_dWavePhase = p / f * g_dHitLevel;
    double theta = PlayAtan2(m_dBaseVY, m_dBaseVX);
    if (theta < 0) theta = theta + 6.283185307179586;
    const double phi = (theta * 57.29577951308239 - 90) * 0.017453292519943278;
    m_dWaveCos = PlayCos(phi);
    m_dWaveSin = PlaySin(phi);
    const double w = CalcWavePos(g[0], f, m_dWavePhase, 1.0, 0.0);
    m_dBaseVX = m_dBaseVX + m_dWaveCos * w;
    m_dBaseVY = m_dBaseVY + m_dWaveSin * w;
  } else {
    const double a = CalcWaveAccel(g[0], f, m_dWavePhase, 1.0, 0.0);
    const auto step = [](double& v, double d) {
      const double next = v + d;
      v = (v < 0 && next > 0) || (v > 0 && next < 0) ? 0.0 : next;
    };
    step(m_dBaseVX, m_dWaveCos * a);
    step(m_dBaseVY, m_dWaveSin * a);
  }
  if (m_bAccel) CalcShotAccel(m_dInertiaX, m_dInertiaY, m_dBaseVX, m_dBaseVY);
}

int cShot::UpdateSword() {
  cCharaBase* owner = FindCharaByNumber(m_nOwnerNumber);
  if (!owner) return 1;
  owner->cObject::UpdateScreenRect();
  m_nFacing = owner->m_nFacing;
  const cDbSwordFrame* frame = SwordFrame();
  if (!frame) return 1;  // a sword type without frames: the swing is over
  const cDbSwordFrame& F = *frame;
  const int s = m_Def.m_nSizeFactor;
  if (m_nStep == 0) {
    m_Rect.m_nBaseWidth = m_nBaseWidth = m_HitBox.m_nBaseWidth = F.m_nWidth;
    m_Rect.m_nBaseHeight = m_nBaseHeight = m_HitBox.m_nBaseHeight = F.m_nHeight;
    m_Rect.m_nWidth = m_nWidth = m_HitBox.m_nWidth = MulWrap32(F.m_nWidth, s);
    m_Rect.m_nHeight = m_nHeight = m_HitBox.m_nHeight = MulWrap32(F.m_nHeight, s);
  }
  const double cx = ScrollAxisX().m_dPos;
  const double cy = ScrollAxisY().m_dPos;
  const sDrawRect& o = owner->m_Rect;
  const int w = m_Rect.m_nWidth, h = m_Rect.m_nHeight;
  const bool ownerLeft = owner->m_nFacing == 0;
  switch (F.m_nAnchor) {
    case 0:
      m_dX = ownerLeft ? o.m_nLeft + cx - w : o.m_nRight + cx + 1;
      m_dY = o.m_nTop + (o.m_nHeight >> 1) + cy - (h >> 1);
      break;
    case 1:
      m_nFacing = m_nFacing ? 0 : 1;
      m_dX = ownerLeft ? o.m_nRight + cx + 1 : o.m_nLeft + cx - w;
      m_dY = o.m_nTop + (o.m_nHeight >> 1) + cy - (h >> 1);
      break;
    case 2:
      m_dX = o.m_nLeft + (o.m_nWidth >> 1) + cx - (w >> 1);
      m_dY = o.m_nTop + cy - h;
      break;
    case 3:
      m_dX = o.m_nLeft + (o.m_nWidth >> 1) + cx - (w >> 1);
      m_dY = o.m_nBottom + cy + 1;
      break;
    default:
      break;
  }
  const double ox = static_cast<double>(F.m_nOffsetX) * s;
  const double oy = static_cast<double>(F.m_nOffsetY) * s;
  if (ownerLeft) {
    m_dX = m_dX + ox;
    m_dY = m_dY + oy;
  } else {
    m_dX = F.m_bFlipOffsetX ? m_dX - ox : m_dX + ox;
    m_dY = F.m_bFlipOffsetY ? m_dY - oy : m_dY + oy;
  }
  ClampX();
  ClampY(CLAMP_MAP);
  ++m_nStep;
  if (m_nStep > static_cast<std::int64_t>(F.m_nTime) * g_nHitLevel6) {
    m_nStep = 0;
    ++m_nSwordFrame;
    if (!SwordFrame()) return 1;
  }
  return 0;
}

int cShot::ClampX() {
  const int w = m_nWidth;
  const int mapSize = ScrollAxisX().m_nMapSize;
  int code = 0;
  if (w < kMapMarginPixels) {
    if (m_dX < 0) {
      m_dX = 0;
      code = MOVE_AT_MAP_EDGE;
    } else if (m_dX + w - 1 >= mapSize) {
      m_dX = mapSize - w;
      code = MOVE_AT_MAP_EDGE;
    }
  }
  m_dRight = m_dX + w - 1;
  UpdateHitBoxX();
  m_nLeftCell = TruncToInt32(m_dX) >> 5;
  m_nRightCell = TruncToInt32(m_dRight) >> 5;
  return code;
}

int cShot::MoveX() {
  if (m_dInertiaX != 0) m_dVX = m_dVX + m_dInertiaX;
  if (m_dVX != 0) {
    if (std::isnan(m_dVX)) m_dVX = 0;
    m_dVX = std::clamp(m_dVX, -g_dSpeedMax, g_dSpeedMax);
    m_dX = m_dX + m_dVX;
    ClampX();
  }
  return 0;
}

int cShot::MoveY() {
  if (m_dInertiaY != 0) m_dVY = m_dVY + m_dInertiaY;
  if (m_dVY != 0) cObject::MoveY(CLAMP_MAP);
  return 0;
}

int cShot::HitBlocks() {
  if (Traits().bPassesBlocks) return 0;
  const int shift = ScrollAxisX().m_nShift;
  const auto blocks = [&](std::int64_t column, std::int64_t row) {
    return MapCellHitMode(column + (row << shift), m_nGroup) != 0;
  };
  const int w = m_nWidth, h = m_nHeight;
  if (w <= 32) {
    return blocks(m_nLeftCell, m_nTopCell) || blocks(m_nLeftCell, m_nBottomCell) ||
           blocks(m_nRightCell, m_nTopCell) || blocks(m_nRightCell, m_nBottomCell);
  }
  const std::int64_t x0 = TruncToInt32(m_dX);
  const std::int64_t y0 = TruncToInt32(m_dY);
  // Offsets 0, 32, ... and the last pixel column (row) of the box.
  for (std::int64_t ox = 0;; ox += 32) {
    const bool lastX = ox >= w - 1;
    if (lastX) ox = w - 1;
    for (std::int64_t oy = 0;; oy += 32) {
      const bool lastY = oy >= h - 1;
      if (lastY) oy = std::max(h - 1, 0);
      if (blocks((x0 + ox) >> 5, (y0 + oy) >> 5)) return 1;
      if (lastY) break;
    }
    if (lastX) break;
  }
  return 0;
}

void cShot::Draw(DDSURFACEDATA* target, int bStopped) {
  if (m_Def.m_bInvisible) return;
  const int x = m_Rect.m_nLeft, y = m_Rect.m_nTop;
  const int w = m_Rect.m_nWidth, h = m_Rect.m_nHeight;
  const int scale = m_Def.m_nSizeFactor;
  const bool ddStretch = lpDDCon && g_SystemIni.DD_VideoStretch;
  if (!m_bIsShot) {
    const cDbSwordFrame* F = SwordFrame();
    if (!F) return;
    const std::int64_t t = static_cast<std::int8_t>(m_Def.m_nGuide);
    std::int64_t index = t * 4 + m_nFacing;
    if (scale > 1 && !ddStretch) index += 2;
    if (index < 0 || index >= static_cast<std::int64_t>(g_SwordSurfaces.size())) return;
    DDSURFACEDATA* picture = &g_SwordSurfaces.data()[index];
    if (scale <= 1)
      DDBlt(target, x, y, w, h, picture, F->m_nSrcX, F->m_nSrcY, DDBLT_KEY);
    else
      DDBltStretch(target, x, y, w, h, picture, F->m_nSrcX, F->m_nSrcY, m_Rect.m_nBaseWidth,
                   m_Rect.m_nBaseHeight, DDBLT_KEY);
    return;
  }
  const int frame = bStopped ? m_Anime.GetFrame() : m_Anime.Update();
  const int g = m_nGraphic;
  const int sx = (g / 30 * 2 + frame) * 16;
  const int sy = g % 30 * 16;
  if (scale <= 1) {
    DDBlt(target, x, y, w, h, &g_SystemSurface[SelectSheetSurface(kShotSheet + m_nFacing, 0)], sx,
          sy, DDBLT_KEY);
  } else {
    const int entry = SelectSheetSurface(kShotSheet + m_nFacing, ddStretch ? 0 : 1);
    DDBltStretch(target, x, y, w, h, &g_SystemSurface[entry], sx, sy, m_Rect.m_nBaseWidth,
                 m_Rect.m_nBaseHeight, DDBLT_KEY);
  }
}

cShot& AddShotToList(cShotList& list, const cShot& shot) {
  cShot& copy = list.emplace_back(shot);
  copy.m_pInList = &list;
  copy.m_ListPos = std::prev(list.end());
  if (g_pPlayScene && !g_pPlayScene->m_ShotGroup.empty()) {
    cList<cShot*>& members = g_pPlayScene->m_ShotGroup[copy.m_Def.m_nGroup];
    members.push_back(&copy);
    copy.m_pInGroup = &members;
    copy.m_GroupPos = std::prev(members.end());
  }
  return copy;
}

cShotList::iterator EraseShot(cShotList& list, cShotList::iterator node) {
  if (g_pPlayScene && !g_pPlayScene->m_ShotGroup.empty()) {
    cList<cShot*>& members = g_pPlayScene->m_ShotGroup[node->m_Def.m_nGroup];
    // The node kept at the shot's entry, while the shot still names that group; otherwise
    // its pointer is looked for in the group it names now.
    if (node->m_pInGroup == &members) {
      members.erase(node->m_GroupPos);
    } else {
      auto it = std::find(members.begin(), members.end(), &*node);
      if (it != members.end()) members.erase(it);
    }
  }
  return list.erase(node);
}

namespace {
bool g_bShotMarked = false;
}  // namespace

void MarkShotForRemoval(cShot& shot) {
  shot.m_bVanish = 1;
  g_bShotMarked = true;
}

bool TakeShotMarks() {
  const bool marked = g_bShotMarked;
  g_bShotMarked = false;
  return marked;
}

void EraseShotAt(cShotList& list, cShot& shot) {
  if (shot.m_pInList == &list) {
    EraseShot(list, shot.m_ListPos);
    return;
  }
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (&*it != &shot) continue;
    EraseShot(list, it);
    return;
  }
}
