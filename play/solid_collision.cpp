// Solid characters as obstacles: the push-out with its landings, head bumps and crushes, the
// re-probe of one axis, the squeeze test, riding, and the overlap tests of other checks.
#include "play/solid_collision.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "content/command_tables.h"
#include "flows/cmd_dispatch.h"
#include "foundation/report.h"
#include "objects/chara.h"
#include "objects/hero.h"
#include "objects/play_units.h"
#include "play/block_collision.h"
#include "play/box_sweep.h"
#include "play/play_scene.h"
#include "project/system_data.h"

namespace {

// The characters of g_CharaList whose definition makes them blocks, in list order, as
// characters and as list nodes: rebuilt whenever a character was made, copied, set up or
// destroyed since it was last built. Whether one is present, finished or the tested object
// itself is asked at each use.
struct sSolids {
  std::vector<cChara*> charas;
  std::vector<cCharaList::iterator> nodes;
  std::uint64_t builtAt = ~std::uint64_t{0};
};

const sSolids& Solids() {
  static sSolids solids;
  if (solids.builtAt != g_nCharaChangeCount) {
    solids.charas.clear();
    solids.nodes.clear();
    for (auto it = g_CharaList.begin(); it != g_CharaList.end(); ++it) {
      if (it->m_Def.m_bNoHitBox == 0) continue;
      solids.charas.push_back(&*it);
      solids.nodes.push_back(it);
    }
    solids.builtAt = g_nCharaChangeCount;
  }
  return solids;
}

// A loop over it runs nothing that can make or destroy a character.
const std::vector<cChara*>& SolidCandidates() { return Solids().charas; }

sDRect BoxOf(const cObject& o) { return {o.m_dX, o.m_dY, o.m_dRight, o.m_dBottom}; }

bool g_bSolidWindow = false;
bool g_bUseSolidIndex = true;
std::uint64_t g_nSolidWindowSerial = 0;

// The boxes of the solid characters by place, as they were when it was built: within a window
// only a solid character's own commands (counted) or a character made, set up or destroyed can
// move one, and either has it built again.
struct sSolidIndex {
  cBoxSweep sweep;
  std::vector<std::uint32_t> found;
  std::vector<cChara*> near;
  std::uint64_t changeAt = 0, cmdAt = 0, windowAt = 0;
  bool built = false;

  bool Current() const {
    return built && changeAt == g_nCharaChangeCount && cmdAt == g_nSolidCmdRunCount &&
           windowAt == g_nSolidWindowSerial;
  }
  void Build(const std::vector<cChara*>& all) {
    sweep.Clear();
    for (const cChara* c : all) sweep.Add(BoxOf(*c));
    sweep.Sort();
    changeAt = g_nCharaChangeCount;
    cmdAt = g_nSolidCmdRunCount;
    windowAt = g_nSolidWindowSerial;
    built = true;
  }
  // Every box still where it was built (checked in the builds with assertions).
  bool Holds(const std::vector<cChara*>& all) const {
    for (std::uint32_t k = 0; k < all.size(); ++k) {
      const sDRect now = BoxOf(*all[k]);
      if (std::memcmp(&now, &sweep.Box(k), sizeof now) != 0) return false;
    }
    return true;
  }
};

// Fewer solid characters than this are walked, not searched.
constexpr std::size_t kIndexFrom = 8;

// The solid characters whose box may overlap with, in list order: all of them outside a window
// (and when they are few). Whether one is present, finished, the tested object or really
// overlapping is asked at each use. A loop over the answer asks for no other answer.
const std::vector<cChara*>& SolidsNear(const sDRect& with) {
  const std::vector<cChara*>& all = SolidCandidates();
  if (!g_bSolidWindow || !g_bUseSolidIndex || all.size() < kIndexFrom) return all;
  static sSolidIndex index;
  if (!index.Current()) index.Build(all);
  assert(index.Holds(all) && "a solid character moved inside the window");
  index.sweep.Touching(with, index.found);
  index.near.clear();
  for (const std::uint32_t k : index.found) index.near.push_back(all[k]);
  return index.near;
}

bool IsSolidFor(const cChara& c, int number) {
  return c.m_Def.m_bNoHitBox != 0 && c.m_bFinished == 0 && c.m_bPresent != 0 &&
         c.m_nNumber != number;
}

// The box overlaps the rectangle (x1, y1)-(x2, y2); an edge is such a rectangle one pixel wide
// or high.
bool Touches(const sDRect& box, double x1, double y1, double x2, double y2) {
  return box.Overlaps(sDRect{x1, y1, x2, y2});
}

bool Contains(const sDRect& box, double x, double y) {
  return box.m_dLeft <= x && x <= box.m_dRight && box.m_dTop <= y && y <= box.m_dBottom;
}

bool PassesAll(const cCharaBase& o) {
  return o.m_bNoGravity != 0 && o.m_nBlockPass == BLOCKPASS_THROUGH;
}

// One new position per side, chosen over every solid character; ties keep the first.
struct sCandidate {
  bool bSet = false;
  double dValue = 0;
  double dSpeed = 0;  // the recorded character's speed on the push's axis
  int nNumber = 0;
  cChara* pChara = nullptr;

  bool KeepGreater(double value, const cChara& c, double speed) {
    if (bSet && !(value > dValue)) return false;
    Take(value, c, speed);
    return true;
  }
  bool KeepSmaller(double value, const cChara& c, double speed) {
    if (bSet && !(value < dValue)) return false;
    Take(value, c, speed);
    return true;
  }

 private:
  void Take(double value, const cChara& c, double speed) {
    bSet = true;
    dValue = value;
    dSpeed = speed;
    nNumber = c.m_nNumber;
    pChara = const_cast<cChara*>(&c);
  }
};

void SetX(cCharaBase& o, double x) {
  o.m_dX = x;
  o.OnPosChangedX();
}

void SetY(cCharaBase& o, double y) {
  o.m_dY = y;
  o.OnPosChangedY();
}

// A side push: dismounted unless it comes from the character the object rides.
void PushSide(cCharaBase& o, const sCandidate& c) {
  if (!(o.m_bRiding && c.nNumber == o.m_nRiddenNumber)) o.m_bDismounted = 1;
  SetX(o, c.dValue);
}

// The object bumps its head under a character moving at vy, with its top at y.
void BumpHead(cCharaBase& o, double vy, double y) {
  o.m_dInertiaY = 0;
  o.m_bJumping = o.m_bRiseEnded = o.m_bHeadBumped = 1;
  if (!g_SystemData.bCompatSolidPush) o.m_dPushY = 0;
  o.m_dVY = vy;
  SetY(o, y);
}

bool AnySolidOverlaps(cCharaList& list, const sDRect& box, int number, int other) {
  auto meets = [&](const cChara& c) {
    return IsSolidFor(c, number) && c.m_nNumber != other && box.Overlaps(BoxOf(c));
  };
  if (&list == &g_CharaList) {
    for (const cChara* c : SolidsNear(box))
      if (meets(*c)) return true;
    return false;
  }
  for (const cChara& c : list)
    if (meets(c)) return true;
  return false;
}

cChara* FirstSolidOverlapping(const sDRect& box, int number) {
  for (cChara* c : SolidsNear(box))
    if (IsSolidFor(*c, number) && box.Overlaps(BoxOf(*c))) return c;
  return nullptr;
}

// A push of a flying object. It is refused when the character it comes from moves away
// (away: the sign of that motion) while the object does not follow it; the other axis is
// probed again instead.
void ApplyFlyingPush(cCharaBase& o, const sCandidate& c, int away, bool vertical,
                     std::int32_t& contact) {
  if (!c.bSet) return;
  (vertical ? o.m_dInertiaY : o.m_dInertiaX) = 0;
  const double own = vertical ? o.m_dVY : o.m_dVX;
  const bool refused = away < 0 ? (c.dSpeed < 0 && own >= 0) : (c.dSpeed > 0 && own <= 0);
  if (refused) {
    contact = 0;
    ReprobeSolidAxis(o, vertical ? 0 : 1);
  } else if (vertical) {
    SetY(o, c.dValue);
  } else {
    o.m_bDismounted = 1;
    SetX(o, c.dValue);
  }
}

int FlyingPushOut(cCharaBase& o) {
  const sDRect box = BoxOf(o);
  sCandidate left, right, top, bottom;
  bool touched = false;
  for (const cChara* pc : SolidsNear(box)) {
    const cChara& c = *pc;
    const sDRect cb = BoxOf(c);
    if (!box.Overlaps(cb) || !IsSolidFor(c, o.m_nNumber)) continue;
    const sPenetration p = Penetration(box, cb);
    if (p.dX == 0) continue;
    touched = true;
    if (p.dX <= p.dY) {
      if (Touches(cb, box.m_dLeft, box.m_dTop + 1, box.m_dLeft, box.m_dBottom - 1)) {
        o.m_bContactLeft = 1;
        left.KeepGreater(cb.m_dRight + 1, c, c.m_dVX);
      }
      if (Touches(cb, box.m_dRight, box.m_dTop + 1, box.m_dRight, box.m_dBottom - 1)) {
        o.m_bContactRight = 1;
        right.KeepSmaller(cb.m_dLeft - o.m_nWidth, c, c.m_dVX);
      }
    } else {
      if (Touches(cb, box.m_dLeft + 1, box.m_dTop, box.m_dRight - 1, box.m_dTop)) {
        o.m_bContactTop = 1;
        top.KeepGreater(cb.m_dBottom + 1, c, c.m_dVY);
      }
      if (Touches(cb, box.m_dLeft + 1, box.m_dBottom, box.m_dRight - 1, box.m_dBottom)) {
        o.m_bContactBottom = 1;
        bottom.KeepSmaller(cb.m_dTop - o.m_nHeight, c, c.m_dVY);
      }
    }
  }
  if (touched) o.FireTrigger(TRIGGER_TOUCH_BLOCK_CHARA);
  if (o.m_nBlockPass == BLOCKPASS_DIE) {
    if (left.bSet || right.bSet || top.bSet || bottom.bSet) return 2;
    return 0;
  }
  if (o.m_nBlockPass != BLOCKPASS_COLLIDE) return 0;
  ApplyFlyingPush(o, left, -1, false, o.m_bContactLeft);
  ApplyFlyingPush(o, right, 1, false, o.m_bContactRight);
  ApplyFlyingPush(o, top, -1, true, o.m_bContactTop);
  ApplyFlyingPush(o, bottom, 1, true, o.m_bContactBottom);
  return 0;
}

// The candidates and flags the walking resolution gathers over the solid characters.
struct sWalkState {
  sDRect box, upper, feet, saved, sweep;
  sCandidate left, right, top, stand;
  bool touched = false;
  bool landed = false;
};

void RecordStand(cCharaBase& o, sWalkState& s, const cChara& c) {
  if (!s.stand.KeepSmaller(c.m_dY - o.m_nHeight, c, c.m_dVY)) return;
  o.m_nRiddenNumber = c.m_nNumber;
  o.m_RiddenBox = BoxOf(c);
}

// Step 1 for one solid character that overlaps the object.
void GatherWalking(cCharaBase& o, sWalkState& s, const cChara& c) {
  const double n = g_dHitLevel;
  const sDRect cb = BoxOf(c);
  s.touched = true;
  const sPenetration pu = Penetration(s.upper, cb);
  if (pu.dX == 0) {
    const sPenetration p = Penetration(s.box, cb);
    if (p.dY <= p.dX) {
      if (s.feet.Overlaps(cb)) {
        if (c.m_dVY < 0) o.m_bContactBottom = 1;
        RecordStand(o, s, c);
      }
      return;
    }
    if (Touches(cb, s.box.m_dRight, s.box.m_dTop, s.box.m_dRight, s.box.m_dBottom)) {
      o.m_bContactRight = 1;
      s.right.KeepSmaller(cb.m_dLeft - o.m_nWidth - 0.5, c, c.m_dVX);
    }
    if (Touches(cb, s.box.m_dLeft, s.box.m_dTop, s.box.m_dLeft, s.box.m_dBottom)) {
      o.m_bContactLeft = 1;
      s.left.KeepGreater(cb.m_dRight + 1.5, c, c.m_dVX);
    }
    return;
  }
  const sPenetration ps = Penetration(s.saved, cb);
  const sPenetration pv = Penetration(s.sweep, c.m_SavedExtent);
  if (o.m_dVY > 2 / n && pv.dX != 0 && s.saved.m_dTop < c.m_SavedExtent.m_dTop) {
    ErrLogF("D Hit");
    if (c.m_dVY < 0) o.m_bContactBottom = 1;
    RecordStand(o, s, c);
    return;
  }
  if ((pu.dX - pu.dY > 0.4 / n && s.box.m_dBottom > cb.m_dBottom) ||
      (pv.dX != 0 && s.saved.m_dTop > c.m_SavedExtent.m_dTop && ps.dX == 0)) {
    if (c.m_dVY > 0) o.m_bContactTop = 1;
    s.top.KeepGreater(cb.m_dBottom + 1, c, c.m_dVY);
    if (o.m_bRiding && o.m_dVY < 0) o.m_bContactBottom = 1;
    return;
  }
  const sDRect& u = s.upper;
  auto leftEdge = [&] {
    if (!Touches(cb, u.m_dLeft, u.m_dTop, u.m_dLeft, u.m_dBottom)) return false;
    o.m_bContactLeft = 1;
    s.left.KeepGreater(cb.m_dRight + 1.5, c, c.m_dVX);
    return true;
  };
  auto rightEdge = [&] {
    if (!Touches(cb, u.m_dRight, u.m_dTop, u.m_dRight, u.m_dBottom)) return false;
    o.m_bContactRight = 1;
    s.right.KeepSmaller(cb.m_dLeft - o.m_nWidth - 0.5, c, c.m_dVX);
    return true;
  };
  if (o.m_dVX < 0) {
    if (!leftEdge()) rightEdge();
  } else {
    if (!rightEdge()) leftEdge();
  }
}

// The object stands on the character of the stand candidate.
void Land(cCharaBase& o, sWalkState& s) {
  o.m_dInertiaY = 0;
  s.landed = true;
  if (!o.m_bRiding) {
    o.m_bRiding = 1;
    if (o.m_nControl == 0) s.stand.pChara->FireTriggerEx(TRIGGER_RIDDEN_BY_HERO, &o, 0);
    s.stand.pChara->FireTriggerEx(TRIGGER_RIDDEN_BY_CHARA, &o, 0);
  }
  SetY(o, s.stand.dValue);
  o.m_dVY = 0;
  o.m_nAirTimer = 0;
  o.m_bJumping = o.m_bRiseEnded = o.m_bAirLock = o.m_bKnockedBack = 0;
  if (o.m_nControl == 1)
    o.m_bHeadBumped = 0;
  else
    g_Heroes[0].m_bNoJump = 0;
}

// Step 3: the side pushes.
void PushSides(cCharaBase& o, sWalkState& s) {
  if (s.left.bSet) {
    o.m_dInertiaX = 0;
    PushSide(o, s.left);
  }
  if (s.right.bSet) {
    o.m_dInertiaX = 0;
    PushSide(o, s.right);
  }
  if (!(s.left.bSet && s.right.bSet) || s.stand.bSet) return;
  SetX(o, s.box.m_dLeft);
  if (cChara* c = FirstSolidOverlapping(s.upper, o.m_nNumber)) {
    if (c->m_dVY > 0) o.m_bContactTop = 1;
    BumpHead(o, c->m_dVY, c->m_dBottom + 1);
    o.m_bContactLeft = o.m_bContactRight = 0;
  }
}

// Moves the object by step along one axis while its corners meet a block, 15 steps at most.
void Nudge(cCharaBase& o, bool vertical, double step) {
  for (int i = 0; i < 15 && o.HitBlockCornersEx(0); ++i) {
    if (vertical)
      SetY(o, o.m_dY + step);
    else
      SetX(o, o.m_dX + step);
  }
}

void KeepRide(cCharaBase& o, const cChara& c) {
  o.m_nAirTimer = 0;
  o.m_bKnockedBack = 0;
  o.m_nRiddenNumber = c.m_nNumber;
  o.m_RiddenBox = BoxOf(c);
}

void RideUpkeep(cCharaBase& o) {
  if (o.m_dPushY < 0) {
    o.Unride(1);
    return;
  }
  // Character numbers are unique in the list: the one found under the object is the one a
  // walk of the list by number finds.
  if (const cChara* ridden = RiddenBelow(o)) {
    KeepRide(o, *ridden);
    return;
  }
  if (const cChara* below = FindCharacterBelow(o)) {
    KeepRide(o, *below);
    return;
  }
  o.Unride(1);
}

int WalkingPushOut(cCharaBase& o) {
  sWalkState s;
  s.box = BoxOf(o);
  const int h2 = o.m_nHeight / 2, h3 = o.m_nHeight / 3;
  s.upper = {s.box.m_dLeft, s.box.m_dTop, s.box.m_dRight, s.box.m_dTop + h2};
  s.feet = {s.box.m_dLeft + 1, s.box.m_dBottom - h3, s.box.m_dRight - 1, s.box.m_dBottom};
  s.saved = o.m_SavedExtent;
  s.sweep = {s.saved.m_dLeft, s.box.m_dTop, s.saved.m_dRight, s.box.m_dBottom};

  for (const cChara* c : SolidsNear(s.box))
    if (s.box.Overlaps(BoxOf(*c)) && IsSolidFor(*c, o.m_nNumber)) GatherWalking(o, s, *c);

  bool sides = true;
  if (s.top.bSet && !s.stand.bSet) {
    // Under a character: a rising one pushes the object down only into free room. The probe
    // keeps the object's bottom and corner cells.
    bool free = true;
    if (s.top.dSpeed < 0) {
      const sDRect probe{o.m_dX, s.top.dValue, o.m_dRight, o.m_dBottom};
      free = o.HitBlockCorners() == 0 &&
             !AnySolidOverlaps(g_CharaList, probe, o.m_nNumber, s.top.nNumber);
    }
    if (free) {
      BumpHead(o, s.top.dSpeed, s.top.dValue);
      HitBlockTopBottomAgain(o);
    }
  } else if (s.left.bSet && s.right.bSet && !s.stand.bSet) {
    // Wedged sideways in the air: put under the character above, if any, never sideways.
    if (const cChara* c = FirstSolidOverlapping(s.upper, o.m_nNumber))
      BumpHead(o, c->m_dVY, c->m_dBottom + 1);
    o.m_bContactLeft = o.m_bContactRight = 0;
    s.left = s.right = sCandidate{};
    sides = false;
  } else if (s.stand.bSet && !(s.left.bSet && s.right.bSet)) {
    // A character moving down lands nobody whose corners meet a block.
    if (s.stand.dSpeed > 0 && o.HitBlockCornersEx(0))
      o.m_bRiding = 0;
    else
      Land(o, s);
  }
  if (sides) PushSides(o, s);

  if (s.touched) o.FireTrigger(TRIGGER_TOUCH_BLOCK_CHARA);
  if (o.m_bRiding) {
    if (o.m_nControl == 0) g_Heroes[0].m_bNoJump = 0;
    if (!s.touched) o.FireTrigger(TRIGGER_TOUCH_BLOCK_CHARA);
    o.FireTrigger(TRIGGER_RIDE_BLOCK_CHARA);
  }
  if (o.m_bContactLeft && o.m_bContactRight) return 2;
  if (o.m_bContactTop && o.m_bContactBottom) return 2;
  // Untouched and not riding, the object has not moved since the gathering, and a box that is
  // not inside out holds its own top-left corner: no solid character covers that corner.
  const bool untouched = !s.touched && !o.m_bRiding && !(s.box.m_dRight < s.box.m_dLeft) &&
                         !(s.box.m_dBottom < s.box.m_dTop);
  if (!untouched && IsSqueezedBySolids(o, s.box)) return 2;

  if (!g_SystemData.bCompatSolidPush2) {
    if (s.left.bSet) Nudge(o, false, -0.1);
    if (s.right.bSet) Nudge(o, false, 0.1);
    if (s.top.bSet) Nudge(o, true, -0.1);
    if (s.stand.bSet) Nudge(o, true, 0.1);
  } else {
    if (o.m_bContactLeft) Nudge(o, false, -0.1);
    if (o.m_bContactRight) Nudge(o, false, 0.1);
    if (o.m_bContactTop) Nudge(o, true, -0.1);
    if (o.m_bContactBottom) Nudge(o, true, 0.1);
  }
  if (o.m_bRiding && !s.landed) RideUpkeep(o);
  return 0;
}

// The object's box extended 5 pixels down.
sDRect BoxAndBelow(const cCharaBase& o) { return {o.m_dX, o.m_dY, o.m_dRight, o.m_dBottom + 5}; }

}  // namespace

const std::vector<cCharaList::iterator>& SolidCharaNodes() { return Solids().nodes; }

cSolidIndexWindow::cSolidIndexWindow() {
  g_bSolidWindow = true;
  ++g_nSolidWindowSerial;
}
cSolidIndexWindow::~cSolidIndexWindow() { g_bSolidWindow = false; }

void UseSolidIndex(bool on) { g_bUseSolidIndex = on; }

sPenetration Penetration(const sDRect& a, const sDRect& b) {
  if (!a.Overlaps(b)) return {};
  sPenetration p;
  p.dX = (a.m_dRight < b.m_dLeft || b.m_dLeft <= a.m_dLeft) ? b.m_dRight - a.m_dLeft + 1
                                                              : a.m_dRight - b.m_dLeft + 1;
  p.dY = (a.m_dBottom < b.m_dTop || b.m_dTop <= a.m_dTop) ? b.m_dBottom - a.m_dTop + 1
                                                           : a.m_dBottom - b.m_dTop + 1;
  return p;
}

int PushOutOfSolidCharacters(cCharaBase& object) {
  if (PassesAll(object)) return 0;
  return object.m_bNoGravity ? FlyingPushOut(object) : WalkingPushOut(object);
}

void ReprobeSolidAxis(cCharaBase& o, int vertical) {
  const sDRect r = BoxOf(o);
  sCandidate first, second;
  for (const cChara* pc : SolidsNear(r)) {
    const cChara& c = *pc;
    if (!IsSolidFor(c, o.m_nNumber)) continue;
    const sDRect cb = BoxOf(c);
    if (!r.Overlaps(cb)) continue;
    if (!vertical) {
      if (Touches(cb, r.m_dLeft, r.m_dTop + 1, r.m_dLeft, r.m_dBottom - 1)) {
        o.m_bContactLeft = 1;
        first.KeepGreater(cb.m_dRight + 1, c, 0);
      }
      if (Touches(cb, r.m_dRight, r.m_dTop, r.m_dRight, r.m_dBottom)) {
        o.m_bContactRight = 1;
        second.KeepSmaller(cb.m_dLeft - o.m_nWidth, c, 0);
      }
    } else {
      if (Touches(cb, r.m_dLeft + 1, r.m_dTop, r.m_dRight - 1, r.m_dTop)) {
        o.m_bContactTop = 1;
        first.KeepGreater(cb.m_dBottom + 1, c, 0);
      }
      if (Touches(cb, r.m_dLeft, r.m_dBottom, r.m_dRight, r.m_dBottom)) {
        o.m_bContactBottom = 1;
        second.KeepSmaller(cb.m_dTop - o.m_nHeight, c, 0);
      }
    }
  }
  for (const sCandidate* c : {&first, &second}) {
    if (!c->bSet) continue;
    if (vertical)
      SetY(o, c->dValue);
    else
      PushSide(o, *c);
  }
}

int IsSqueezedBySolids(cCharaBase& o, const sDRect& start) {
  if (PassesAll(o)) return 0;
  const sDRect now = BoxOf(o);
  auto cornerX = [](const sDRect& b, int i) { return (i & 1) ? b.m_dRight : b.m_dLeft; };
  auto cornerY = [](const sDRect& b, int i) { return (i & 2) ? b.m_dBottom - 1 : b.m_dTop; };
  // The solid characters that may hold a corner: those overlapping the corners' bounds.
  sDRect bounds{cornerX(now, 0), cornerY(now, 0), cornerX(now, 0), cornerY(now, 0)};
  bool numbers = true;
  for (const sDRect* b : {&now, &start}) {
    for (int i = 0; i < 4; ++i) {
      const double x = cornerX(*b, i), y = cornerY(*b, i);
      numbers = numbers && std::isfinite(x) && std::isfinite(y);
      bounds = {std::min(bounds.m_dLeft, x), std::min(bounds.m_dTop, y),
                std::max(bounds.m_dRight, x), std::max(bounds.m_dBottom, y)};
    }
  }
  const std::vector<cChara*>& near = numbers ? SolidsNear(bounds) : SolidCandidates();
  for (int i = 0; i < 4; ++i) {
    bool covered = false;
    for (const cChara* c : near) {
      const sDRect cb = BoxOf(*c);
      if ((Contains(cb, cornerX(now, i), cornerY(now, i)) ||
           Contains(cb, cornerX(start, i), cornerY(start, i))) &&
          IsSolidFor(*c, o.m_nNumber)) {
        covered = true;
        break;
      }
    }
    if (!covered) return 0;
  }
  return 1;
}

void RideAlong(cCharaBase& o) {
  if (o.m_bNoGravity) return;
  for (cChara& c : g_CharaList) {
    if (c.m_nNumber != o.m_nRiddenNumber) continue;
    o.m_dVX = o.m_dVX + (c.m_dX - o.m_RiddenBox.m_dLeft);
    if (c.m_bNoGravity || c.m_bAirLock) o.m_dVY = c.m_dY - o.m_RiddenBox.m_dTop;
    if (o.m_nControl == 0) c.FireTriggerEx(TRIGGER_RIDDEN_BY_HERO, &o, 0);
    c.FireTriggerEx(TRIGGER_RIDDEN_BY_CHARA, &o, 0);
    return;
  }
}

int OverlapsSolidCharacter(cCharaBase& object, cCharaList& list) {
  if (PassesAll(object)) return 0;
  return AnySolidOverlaps(list, BoxOf(object), object.m_nNumber, object.m_nNumber) ? 1 : 0;
}

int OverlapsOtherSolidCharacter(cCharaBase& object, int number) {
  if (PassesAll(object)) return 0;
  return AnySolidOverlaps(g_CharaList, BoxOf(object), object.m_nNumber, number) ? 1 : 0;
}

int IsOnRiddenCharacter(cCharaBase& o) { return RiddenBelow(o) ? 1 : 0; }

const cChara* RiddenBelow(const cCharaBase& o) {
  const sDRect below = BoxAndBelow(o);
  for (const cChara* c : SolidsNear(below))
    if (c->m_nNumber == o.m_nRiddenNumber && IsSolidFor(*c, o.m_nNumber) &&
        below.Overlaps(BoxOf(*c)))
      return c;
  return nullptr;
}

cChara* FindCharacterBelow(cCharaBase& o) {
  const sDRect below = BoxAndBelow(o);
  for (cChara* c : SolidsNear(below))
    if (IsSolidFor(*c, o.m_nNumber) && below.Overlaps(BoxOf(*c))) return c;
  return nullptr;
}
