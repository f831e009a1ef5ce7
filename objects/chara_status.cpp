// Character statuses: HP and SP with their gauges, invincibility and immunity, damage and
// the triggers of an attack, defeat, and the state, status and distance conditions.
#include <algorithm>
#include <cmath>

#include "content/condition.h"
#include "foundation/compare.h"
#include "foundation/play_math.h"
#include "foundation/shell_services.h"
#include "media/blit.h"
#include "media/surface.h"
#include "objects/chara.h"
#include "objects/chara_base.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "objects/shot_attack.h"
#include "play/effect_anim.h"
#include "play/hits.h"
#include "play/play_scene.h"
#include "project/play_data.h"
#include "project/stage.h"
#include "project/system_bitmaps.h"
#include "project/system_data.h"

namespace {

constexpr int kGaugeFrames = 120;
constexpr std::int64_t kMaxScore = 999999;

// value + change held in [0, maximum] (a maximum below 0 gives 0).
std::int32_t AddClamped(std::int32_t value, std::int64_t change, std::int32_t maximum) {
  std::int64_t v = static_cast<std::int64_t>(value) + change;
  if (v > maximum) v = maximum;
  if (v < 0) v = 0;
  return static_cast<std::int32_t>(v);
}

// A positive change limited to what the maximum leaves room for.
std::int64_t LimitGain(std::int64_t change, std::int32_t value, std::int32_t maximum) {
  if (change > 0)
    change = std::min<std::int64_t>(change, static_cast<std::int64_t>(maximum) - value);
  return change;
}

void StartGauge(sStatus& status, int change, std::int32_t maximum) {
  // Without a maximum there is no gauge to show.
  if (change == 0 || maximum <= 0) return;
  status.m_nGauge = kGaugeFrames;
  status.m_nBar = MulWrap32(status.m_nValue, 50) / maximum;
  status.m_dChange = static_cast<double>(MulWrap32(change, 50)) / maximum;
  status.m_dStep = status.m_dChange * 0.016666666666666666;
}

}  // namespace

int cCharaBase::AddHP(int change, int force, int withGauge) {
  if (!force && change <= 0 && m_Def.m_nInvincible != 0) return 0;
  const std::int64_t c = LimitGain(change, m_HP.m_nValue, m_Def.m_nMaxHP);
  m_HP.m_nValue = AddClamped(m_HP.m_nValue, c, m_Def.m_nMaxHP);
  if (m_HP.m_nValue <= 0) {
    m_HP.m_nValue = 0;
    return 1;
  }
  if (withGauge) StartHPGauge(static_cast<int>(c));
  return 0;
}

void cCharaBase::StartHPGauge(int change) { StartGauge(m_HP, change, m_Def.m_nMaxHP); }

int cCharaBase::AddSP(int change, int withGauge) {
  const std::int64_t c = LimitGain(change, m_SP.m_nValue, m_Def.m_nMaxSP);
  m_SP.m_nValue = AddClamped(m_SP.m_nValue, c, m_Def.m_nMaxSP);
  if (m_Def.m_nMaxSP <= 0) return 1;
  if (withGauge) StartSPGauge(static_cast<int>(c));
  return 0;
}

void cCharaBase::StartSPGauge(int change) { StartGauge(m_SP, change, m_Def.m_nMaxSP); }

void cCharaBase::StartInvincible() {
  m_nInvincibleTimer = MulWrap32(
      g_nHitLevel, m_nControl == 0 ? g_Stage.m_nHeroInvincible : g_Stage.m_nCharaInvincible);
}

void cCharaBase::AddImmunity(int key) {
  StartInvincible();
  m_Immunity.push_back({key, MulWrap32(g_nHitLevel, m_nControl == 0 ? g_Stage.m_nHeroHitGap
                                                                    : g_Stage.m_nCharaHitGap)});
}

void cCharaBase::TickImmunity() {
  if (m_nInvincibleTimer > 0) --m_nInvincibleTimer;
  if (m_nInvincibleTimer < 0) m_nInvincibleTimer = 0;
  for (auto it = m_Immunity.begin(); it != m_Immunity.end();) {
    if (--it->m_nLeft <= 0)
      it = m_Immunity.erase(it);
    else
      ++it;
  }
}

int cCharaBase::IsInvincible() const { return m_nInvincibleTimer > 0; }

int cCharaBase::IsImmuneTo(int key) const {
  if (m_nInvincibleTimer > 0) return 1;
  return std::any_of(m_Immunity.begin(), m_Immunity.end(),
                     [key](const sImmunity& i) { return i.m_nKey == key; });
}

namespace {

// The damage of an attack of power against defence: a positive power less the defence, held
// in 0..999999; a power of 0 or less passes unchanged (a negative power heals).
std::int32_t DamageOf(std::int32_t power, std::int32_t defence) {
  if (power <= 0) return power;
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(static_cast<std::int64_t>(power) - defence, 0, 999999));
}

}  // namespace

int cCharaBase::TakeDamage(cCharaBase& attacker) {
  const int r = AddHP(NegWrap32(DamageOf(attacker.m_Def.m_nPower, m_Def.m_nDefence)), 0, 1);
  if (attacker.m_Def.m_sHitEffect != 0)
    AddHitEffect(attacker.m_Def.m_sHitEffect, m_HitBoxA.m_Rect, attacker.m_HitBoxA.m_Rect,
                 attacker.m_Def.m_nScale);
  KnockbackFromChara(attacker);
  return r;
}

int cCharaBase::TakeShotDamage(cShot& shot) {
  const sShotAttack attack = ShotAttack(shot);
  const int r = AddHP(NegWrap32(DamageOf(attack.nPower, m_Def.m_nDefence)), 0, 1);
  if (attack.nHitEffect != 0)
    AddHitEffect(attack.nHitEffect, m_HitBoxB.m_Rect, attack.hitBox, attack.nScale);
  KnockbackFromShot(shot);
  return r;
}

void cCharaBase::FireAttackTriggers(cCharaBase& attacker) {
  auto fire = [&](int hurt, int gave) {
    if (attacker.m_pOwner && attacker.m_bOwnerNotify) {
      cCharaBase* owner = attacker.m_pOwner;
      FireTriggerEx(hurt, owner, 0);
      owner->FireTriggerEx(gave, this, attacker.m_nOwnerNotifySlot);
    } else {
      FireTriggerEx(hurt, &attacker, 0);
    }
  };
  if (attacker.m_Def.m_nPower != 0) fire(1, 18);
  if (attacker.Impact() != 0) fire(2, 19);
}

void cCharaBase::FireShotTriggers(cShot& shot) {
  const sShotAttack attack = ShotAttack(shot);
  cCharaBase* owner = attack.pOwner;
  auto fire = [&](int hurt, int gave) {
    FireTriggerEx(hurt, owner, 0);
    if (owner && attack.bNotifyOwner) owner->FireTriggerEx(gave, this, attack.nNotifyId);
  };
  if (attack.nPower != 0) fire(1, 18);
  if (attack.nImpact != 0) fire(2, 19);
}

int cCharaBase::OnDead() {
  FireTrigger(3);
  RunFlows(1);
  g_PlayData.m_nScore = static_cast<std::int32_t>(std::clamp<std::int64_t>(
      static_cast<std::int64_t>(g_PlayData.m_nScore) + m_Def.m_nScore, 0, kMaxScore));
  int itemAnswer = 0;
  if (cItem* item = GetDropItem()) {
    if (cCharaBase* hero = FirstHero()) itemAnswer = ApplyItemEffect(*item, *hero);
  }
  // Only an item that ends the stage (1) ends it; one that left the hero without HP (2) lets
  // the defeat go on, and the hero's own death checks follow.
  if ((g_pPlayScene && g_pPlayScene->m_nStageEndReq == 1) || itemAnswer == 1) return 1;
  UnlinkReferences();
  m_bFinished = 1;
  m_CharaEffect.Start(m_Def.m_sDeathEffect, m_Def.m_nDeathEffectMode, 0);
  return 0;
}

namespace {

// The object in target slot 1 to 4 of a character, or null.
cCharaBase* TargetOf(const cCharaBase& chara, int slot) {
  if (slot < 1 || slot > kTargetSlots || slot > static_cast<int>(chara.m_Targets.size()))
    return nullptr;
  return chara.m_Targets.data()[slot - 1];
}

}  // namespace

int cCharaBase::CheckStatusCond(const cEdCond& cond) {
  const int b = cond.m_nIndex;
  const auto op = static_cast<eCompareOp>(cond.m_nOperator);
  if (cond.m_nObject == STATUS_OBJ_SYSTEM) {
    if (cond.m_nItem == 0) return CompareByOp(g_Stage.m_bAutoScrollX, b, op);
    if (cond.m_nItem == 1) return CompareByOp(g_Stage.m_bAutoScrollY, b, op);
    return 0;
  }
  const cCharaBase* subject = this;
  if (cond.m_nObject >= STATUS_OBJ_TARGET1 && cond.m_nObject <= STATUS_OBJ_TARGET4) {
    subject = TargetOf(*this, cond.m_nObject);
    if (!subject) return 0;
  }
  const cEdChara& def = subject->m_Def;
  int v = 0;
  switch (cond.m_nItem) {
    case STATUS2_CLEAR:
      v = def.m_bTransparent;
      break;
    case STATUS2_FIX_DIR:
      v = def.m_bFixedFacing;
      break;
    case STATUS2_FLY:
      v = def.m_nFlyMode;
      break;
    case STATUS2_INVINCIBLE:
      v = def.m_nInvincible;
      break;
    case STATUS2_GIANT:
      v = def.m_nScale;
      break;
    case STATUS2_SYNC_SCROLL:
      v = def.m_bScrollSync;
      break;
    default:
      return 0;
  }
  return CompareByOp(v, b, op);
}

int cCharaBase::CheckStateCond(const cEdCond& cond) {
  const int item = cond.m_nItem;
  const bool fromSlot = cond.m_nObject >= 1 && cond.m_nObject <= kTargetSlots;
  cCharaBase* subject = fromSlot ? TargetOf(*this, cond.m_nObject) : this;
  if (!subject && item >= STATE_FACING_LEFT && item <= STATE_ON_SCREEN) return 0;
  bool holds = false;
  switch (item) {
    case STATE_FACING_LEFT:
      holds = subject->m_nFacing == 0;
      break;
    case STATE_FACING_RIGHT:
      holds = subject->m_nFacing == 1;
      break;
    case STATE_ON_BLOCK:
      holds = subject->m_Def.m_nFlyMode == MOVE_GROUND &&
              (subject->m_bRiding || (!subject->m_bJumping && !subject->m_bAirLock));
      break;
    case STATE_ON_SCREEN:
      holds = subject->m_nControl == 0 ? subject->IsOnScreen() != 0 : subject->m_bOnScreen != 0;
      break;
    case STATE_EXISTS:
      holds = !fromSlot || (subject && !subject->m_bFinished);
      break;
    default:
      break;
  }
  if (cond.m_nOperator == 1) holds = !holds;
  return holds ? 1 : 0;
}

namespace {

struct sSpan {
  double lo = 0, hi = 0;
};

// The area on one axis around a graphic cell starting at s, w wide: extended by `low` toward
// the lower coordinate and by `high` toward the higher one, each from the cell's centre when 0.
sSpan AreaSpan(int s, int w, int low, int high, bool centred) {
  const std::int64_t half = w >> 1;
  const std::int64_t c = s + half;
  if (centred && low == 0 && high == 0)
    return {static_cast<double>(s), static_cast<double>(s + 2 * half)};
  const std::int64_t lo = low != 0 ? static_cast<std::int64_t>(s) - low : c;
  const std::int64_t hi = high != 0 ? s + 2 * half + high : c;
  return {static_cast<double>(lo), static_cast<double>(hi)};
}

// The collision box of a character on screen, as the distance test sees it: the screen
// rectangle inset by the cell offsets (from version 733 the bottom stays when the box reaches
// the bottom of its cell).
sSpan BoxSpanX(const cObject& o) {
  return {static_cast<double>(o.m_Rect.m_nLeft) + o.m_Rect.m_nOffsetX,
          static_cast<double>(o.m_Rect.m_nRight) - o.m_Rect.m_nOffsetX};
}

sSpan BoxSpanY(const cObject& o) {
  sSpan span{static_cast<double>(o.m_Rect.m_nTop) + o.m_Rect.m_nOffsetY,
             static_cast<double>(o.m_Rect.m_nBottom) - o.m_Rect.m_nOffsetY};
  const bool reachesBottom = o.m_Rect.m_nOffsetY + o.m_nHeight >= o.m_Rect.m_nHeight;
  if (!g_SystemData.bCompatObjectBase && reachesBottom) span.hi = o.m_Rect.m_nBottom;
  return span;
}

// The circle test: the distance between the two boxes' centres is at most d.
bool WithinCircle(const cObject& a, const cObject& b, std::int32_t d) {
  const sSpan ax = BoxSpanX(a), ay = BoxSpanY(a), bx = BoxSpanX(b), by = BoxSpanY(b);
  const double dx = (ax.lo + ax.hi) / 2 - (bx.lo + bx.hi) / 2;
  const double dy = (ay.lo + ay.hi) / 2 - (by.lo + by.hi) / 2;
  return std::sqrt(dx * dx + dy * dy) <= d;
}

// The area of distance kind on one axis for a character; false for the circle and unknown
// kinds.
bool AreaOf(const cObject& self, int kind, std::int32_t d, bool& yAxis, sSpan& area) {
  const bool right = self.m_nFacing != 0;
  int low = 0, high = 0;
  bool centred = false;
  switch (kind) {
    case AXIS_HORIZONTAL:
    case AXIS_VERTICAL:
      low = high = d;
      centred = true;
      break;
    case AXIS_FRONT:
    case AXIS_FRONT_Y:
      (right ? high : low) = d;
      break;
    case AXIS_BACK:
    case AXIS_BACK_Y:
      (right ? low : high) = d;
      break;
    default:
      return false;
  }
  yAxis = kind >= AXIS_VERTICAL;
  area = yAxis ? AreaSpan(self.m_Rect.m_nTop, self.m_Rect.m_nHeight, low, high, centred)
               : AreaSpan(self.m_Rect.m_nLeft, self.m_Rect.m_nWidth, low, high, centred);
  return true;
}

std::int32_t DistanceOf(const cEdCond& cond) {
  return AddWrap32(MulWrap32(cond.m_nConst, 16), cond.m_nOperandIndex);
}

// Whether the subject's screen rectangle is refreshed for the test: not in projects older than
// version 782, nor in replays recorded by version 781 or older.
bool RefreshSubject() {
  if (g_SystemData.bCompatDistance) return false;
  const int replayVersion =
      g_nPlaybackReplayVersion != 0 ? g_nPlaybackReplayVersion : g_nDataVersion;
  return replayVersion > 781;
}

}  // namespace

int cCharaBase::CheckDistanceCond(const cEdCond& cond) {
  cCharaBase* subject = nullptr;
  if (cond.m_nObject == 0)
    subject = FirstHero();
  else if (cond.m_nObject >= 1 && cond.m_nObject <= kTargetSlots)
    subject = TargetOf(*this, cond.m_nObject);
  if (!subject) return 0;
  UpdateScreenRect();
  if (RefreshSubject()) subject->UpdateScreenRect();
  const std::int32_t d = DistanceOf(cond);
  bool inside = false;
  if (cond.m_nAxis == AXIS_CIRCLE) {
    inside = WithinCircle(*this, *subject, d);
  } else {
    bool yAxis = false;
    sSpan area;
    if (AreaOf(*this, cond.m_nAxis, d, yAxis, area)) {
      const sSpan box = yAxis ? BoxSpanY(*subject) : BoxSpanX(*subject);
      inside = box.lo <= area.hi && box.hi >= area.lo;
    }
  }
  if (inside && cond.m_nOperator == 0) return 1;
  if (!inside && cond.m_nOperator == 1) return 1;
  return 0;
}

// ---- the distance areas, drawn to check a stage ----

namespace {

// The fields of a distance condition that say how it is shown.
int DisplayOf(const cEdCond& c) { return c.m_nLeftSide; }  // 0 never, 2 editor test play only
int ColourOf(const cEdCond& c) { return std::clamp<int>(c.m_nItem, 0, 7); }
bool DrawnInactive(const cEdCond& c) { return c.m_nSource != 0; }
bool DrawnHidden(const cEdCond& c) { return c.m_nOperandObject != 0; }

int g_nDistanceCounter = 0;

// A circle of radius d. The DirectDraw back-end draws one of 65 or more as a circle of radius
// 64 on a work surface, stretched to the size.
void DrawAreaCircle(DDSURFACEDATA* target, int cx, int cy, int d, std::uint32_t colour) {
  constexpr int kWorkSide = 129;
  DDSURFACEDATA* work = &g_SystemSurface[CharaWorkSurface(1)];
  // (Radii far beyond the screen are left to the circle itself, which skips what it cannot
  // reach.)
  if (!lpDDCon || d < 65 || d > 32768 || work->nWidth < kWorkSide || work->nHeight < kWorkSide) {
    DDCircle(target, cx, cy, d, colour);
    return;
  }
  DDBoxFill(work, 0, 0, kWorkSide, kWorkSide, 0);
  DDCircle(work, 64, 64, 64, colour);
  DDBltStretch(target, cx - d, cy - d, 2 * d, 2 * d, work, 0, 0, kWorkSide, kWorkSide, DDBLT_KEY);
}

}  // namespace

bool PaletteAnimates() { return g_nBpp == 8 && g_SystemData.m_bPaletteCycle; }

void cCharaBase::DrawDistanceArea(DDSURFACEDATA* target, const cEdCond& cond, int counter) {
  const int display = DisplayOf(cond);
  if (display == 0 || (display == 2 && !g_bEditorLaunch)) return;
  if (!m_bPresent) {
    if (!DrawnInactive(cond)) return;
    UpdateScreenRect();
  }
  if (!DrawnHidden(cond) && (m_bHiddenThisStep || m_Def.m_bTransparent)) return;
  std::uint32_t colour = 208 + 4 * ColourOf(cond);
  if (!PaletteAnimates()) colour += static_cast<std::uint32_t>(counter / 8);
  const std::int32_t d = DistanceOf(cond);
  if (cond.m_nAxis == AXIS_CIRCLE) {
    const int cx = m_Rect.m_nLeft + m_Rect.m_nWidth / 2;
    const int cy = m_Rect.m_nTop + m_Rect.m_nHeight / 2;
    DrawAreaCircle(target, cx, cy, d, colour);
    return;
  }
  bool yAxis = false;
  sSpan area;
  if (!AreaOf(*this, cond.m_nAxis, d, yAxis, area)) return;
  const int lo = TruncToInt32(area.lo), hi = TruncToInt32(area.hi);
  if (yAxis) {
    DDBoxFill(target, 0, lo, 640, 1, colour);
    DDBoxFill(target, 0, hi, 640, 1, colour);
  } else {
    DDBoxFill(target, lo, 0, 1, 480, colour);
    DDBoxFill(target, hi, 0, 1, 480, colour);
  }
}

void DrawDistanceAreas(DDSURFACEDATA* target) {
  const int counter = g_nDistanceCounter;
  if (!PaletteAnimates()) g_nDistanceCounter = (g_nDistanceCounter + 1) % 32;
  if (!g_pPlayScene) return;
  for (const auto& group : g_pPlayScene->m_CharaGroup) {
    for (cCharaBase* chara : group) {
      if (!chara || chara->m_bFinished || !chara->m_bOnScreen) continue;
      auto drawList = [&](const CondVector& conds, int once, int latched) {
        if (once && latched) return;
        for (const cEdCond& cond : conds)
          if (cond.m_nKind == COND_DISTANCE) chara->DrawDistanceArea(target, cond, counter);
      };
      drawList(chara->m_Def.m_Conds, chara->m_Def.m_bCondOnce, chara->m_bAppeared);
      for (const cEdFlow& flow : chara->m_Def.m_Flows)
        drawList(flow.m_Conds, flow.m_bCondOnce, chara->m_bAppeared);
    }
  }
}
