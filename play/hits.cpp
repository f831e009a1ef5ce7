// Defeats, pick-ups and item effects.
#include "play/hits.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "content/item.h"
#include "content/palette.h"
#include "flows/cmd_dispatch.h"
#include "flows/flow_run.h"
#include "foundation/prefetch.h"
#include "media/sound.h"
#include "objects/chara.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "objects/shot.h"
#include "play/play_frame.h"
#include "play/box_sweep.h"
#include "play/play_scene.h"
#include "play/stage_draw.h"
#include "play/stage_end.h"
#include "play/stage_setup.h"
#include "project/stage.h"
#include "project/system_data.h"

namespace {

constexpr int kSoundHit = 7;
constexpr int kSoundDefeat = 9;
constexpr int kGroups = 8;

void EndStageNow() {
  EndStage();
  if (g_pPlayScene) g_pPlayScene->m_nPhase = PLAYPHASE_STAGEEND;
}

void HeroDefeat() {
  if (g_pPlayScene) DefeatHero(*g_pPlayScene);
}

bool Overlaps(const sDRect& a, const cObject& b) {
  return a.m_dLeft <= b.m_dRight && b.m_dX <= a.m_dRight && a.m_dTop <= b.m_dBottom &&
         b.m_dY <= a.m_dBottom;
}

cChara* g_pPassChara = nullptr;
bool g_bPassCharaRemoved = false;

// Removes a character from the list, or, when it is the one the pass works on, everything but
// the freeing; the next node.
cCharaList::iterator RemoveChara(cCharaList& list, cCharaList::iterator it) {
  if (&*it != g_pPassChara) return EraseCharaNode(it);
  cChara& chara = *it;
  chara.UnlinkReferences();
  LeaveGroupList(chara);
  chara.m_bFinished = 1;
  g_bPassCharaRemoved = true;
  return std::next(it);
}

}  // namespace

sPassCharaGuard::sPassCharaGuard(cChara* chara) {
  g_pPassChara = chara;
  g_bPassCharaRemoved = false;
}
sPassCharaGuard::~sPassCharaGuard() { g_pPassChara = nullptr; }
bool PassCharaRemoved() { return g_bPassCharaRemoved; }

int KeepDefeatedCharacters() { return g_SystemData.m_bClearEndsFrame; }

int DeathCheck(cCharaBase& object) {
  if (object.m_nControl == 0) return 2;
  if (object.m_bFinished) return 0;
  return object.OnDead() == 1 ? 1 : 0;
}

int DefeatObject(cCharaBase* object, cCharaList*) {
  if (!object) return 0;
  const int r = DeathCheck(*object);
  if (r == 1) EndStageNow();
  if (r == 2) HeroDefeat();
  return r;
}

int CheckDefeats(cCharaList& list) {
  if (!g_Heroes.empty() && g_Heroes.front().m_HP.m_nValue <= 0) {
    HeroDefeat();
    return 1;
  }
  for (auto it = list.begin(); it != list.end();) {
    cChara& chara = *it;
    if (g_bPassCharaRemoved && &chara == g_pPassChara) {
      ++it;  // already removed in all but its node
      continue;
    }
    if (chara.m_bRemoveReq) {
      it = RemoveChara(list, it);
      continue;
    }
    if (chara.m_HP.m_nValue > 0) {
      ++it;
      continue;
    }
    const int a = DefeatObject(&chara, &list);
    if (KeepDefeatedCharacters()) {
      if (a == 1) {
        RemoveChara(list, it);
        return 1;
      }
      PlaySystemSound(kSoundDefeat);
      if (a != 0) return 1;
      ++it;
    } else {
      it = RemoveChara(list, it);
      if (a != 0) return 1;
    }
  }
  return 0;
}

namespace {

bool Overlap(const sDRect& a, const sDRect& b) { return a.Overlaps(b); }
sDRect BoxOf(const cObject& o) { return {o.m_dX, o.m_dY, o.m_dRight, o.m_dBottom}; }

bool IsSolidObject(const cCharaBase& c) { return c.m_Def.m_bNoHitBox != 0; }

// With the stage's on-screen-hits switch on, only objects on the screen take part.
bool OutOfHits(const cObject& o) { return g_Stage.m_bHitOnlyActive && !o.m_bOnScreen; }

cHero& PlayerHero() { return g_Heroes[0]; }

// Removes a shot from its group list and from the scene's shot list, and destroys it.
void EraseShotNow(cPlayScene& scene, cShot* shot) { EraseShotAt(scene.m_ShotList, *shot); }

bool g_bUseHitIndex = true;

// The members of each character group with one of their hit boxes, searched by place, so that
// a scan reads no character and looks only near its box. A meeting that acts can move, harm,
// defeat or add characters. Nothing but a command moves a character during the hits, and a
// command moves only the character that runs it: the boxes of the latest runners are brought
// up to date and the scan goes on from where it was. When a character was made, set up or
// destroyed, or too many commands ran to know their runners, the boxes are dropped and the
// rest of that scan walks the group itself. The buffers live from one sub-step to the next.
class cGroupBoxes {
 public:
  using Group = cList<cCharaBase*>;
  static constexpr int kStop = -1;  // a meeting's answer that ends the scan with 0

  // Starts a walk of the hits over hit box box of the members: every copy is old.
  void Begin(sHitBox cCharaBase::*box) {
    m_pBox = box;
    ++m_nWalk;
  }

  // Calls meet(member, acted) for each member of group number g, in order, whose box overlaps
  // with; meet tests the live box itself. A non-zero answer ends the scan and is returned
  // (kStop as 0).
  template <class Meet>
  int Scan(Group& group, int g, const sDRect& with, Meet&& meet) {
    if (!g_bUseHitIndex) {
      for (cCharaBase* member : group) {
        bool acted = false;
        if (const int r = meet(*member, acted)) return r == kStop ? 0 : r;
      }
      return 0;
    }
    sCopy& copy = m_Copies[static_cast<std::size_t>(g)];
    if (Refresh(copy) == eCopy::kGone) Take(copy, group);
    copy.sweep.Touching(with, m_Touching);
    for (std::size_t i = 0; i < m_Touching.size(); ++i) {
      const std::uint32_t k = m_Touching[i];
      const Group::iterator member = copy.members[k];
      bool acted = false;
      if (const int r = meet(**member, acted)) return r == kStop ? 0 : r;
      if (!acted) continue;
      switch (Refresh(copy)) {
        case eCopy::kSame:
          continue;
        case eCopy::kMoved:
          // The members after this one that overlap with now (with may have moved too).
          copy.sweep.Touching(with, m_Touching);
          i = static_cast<std::size_t>(
                  std::upper_bound(m_Touching.begin(), m_Touching.end(), k) - m_Touching.begin()) -
              1;
          continue;
        case eCopy::kGone:
          for (auto it = std::next(member); it != group.end(); ++it)
            if (const int r = meet(**it, acted)) return r == kStop ? 0 : r;
          return 0;
      }
    }
    return 0;
  }

 private:
  struct sCopy {
    std::vector<Group::iterator> members;  // in group order
    cBoxSweep sweep;
    // The members by address with their places, made when first needed.
    std::vector<std::pair<const cCharaBase*, std::uint32_t>> byAddress;
    std::uint64_t nWalk = 0, nChangeAt = 0, nCmdAt = 0;
  };
  enum class eCopy { kSame, kMoved, kGone };

  // Brings the copy up to date with the commands run since it was taken, where it can.
  eCopy Refresh(sCopy& copy) {
    if (copy.nWalk != m_nWalk || copy.nChangeAt != g_nCharaChangeCount) return eCopy::kGone;
    if (copy.nCmdAt == g_nCmdRunCount) return eCopy::kSame;
    if (g_nCmdRunCount - copy.nCmdAt > kCmdRunnerLog) return eCopy::kGone;
    if (copy.byAddress.empty()) {
      for (std::uint32_t k = 0; k < copy.members.size(); ++k)
        copy.byAddress.emplace_back(*copy.members[k], k);
      std::sort(copy.byAddress.begin(), copy.byAddress.end());
    }
    for (std::uint64_t n = copy.nCmdAt; n < g_nCmdRunCount; ++n) {
      const cCharaBase* runner = g_CmdRunners[n % kCmdRunnerLog];
      auto it = std::lower_bound(copy.byAddress.begin(), copy.byAddress.end(),
                                 std::make_pair(runner, std::uint32_t{0}));
      for (; it != copy.byAddress.end() && it->first == runner; ++it)
        copy.sweep.Move(it->second, ((*runner).*m_pBox).m_Rect);
    }
    copy.nCmdAt = g_nCmdRunCount;
    return eCopy::kMoved;
  }

  void Take(sCopy& copy, Group& group) {
    copy.members.clear();
    copy.byAddress.clear();
    copy.sweep.Clear();
    // The members lie in the group's order, not in memory's: each box is asked for a few
    // members before it is read.
    auto ahead = group.begin();
    for (int k = 0; k < kFetchAhead && ahead != group.end(); ++k) ++ahead;
    for (auto it = group.begin(); it != group.end(); ++it) {
      if (ahead != group.end()) {
        FetchLine(&((**ahead).*m_pBox).m_Rect);
        ++ahead;
      }
      copy.members.push_back(it);
      copy.sweep.Add(((**it).*m_pBox).m_Rect);
    }
    copy.sweep.Sort();
    copy.nWalk = m_nWalk;
    copy.nChangeAt = g_nCharaChangeCount;
    copy.nCmdAt = g_nCmdRunCount;
  }

  static constexpr int kFetchAhead = 4;

  sHitBox cCharaBase::*m_pBox = nullptr;
  std::array<sCopy, kGroups> m_Copies;
  std::vector<std::uint32_t> m_Touching;
  std::uint64_t m_nWalk = 0;
};

cGroupBoxes& HitGroupBoxes() {
  static cGroupBoxes boxes;
  return boxes;
}

bool CarriesItem(const cShot& s) { return s.m_Def.m_nItemPalette != PALETTE_NONE; }
bool IsHarmful(const cShot& s) {
  return s.m_Def.m_nPower != 0 || s.m_Def.m_nImpact != 0 || CarriesItem(s);
}

// One shot against one character; *due is set when the shot is to vanish, acted when the
// meeting went past its tests. Non-zero ends the hits (the stage ends or the hero is defeated).
int ShotMeetsChara(cShot& s, cCharaBase& c, bool& due, bool& acted) {
  // The tests before the triggers change nothing; the rarest to pass comes first.
  if (!Overlap(c.m_HitBoxB.m_Rect, s.m_HitBox.m_Rect)) return 0;
  if (OutOfHits(c) || !c.m_bPresent || c.m_bFinished || c.m_Def.m_nInvincible == 2) return 0;
  for (const cCharaBase* hit : s.m_HitCharas)
    if (hit == &c) return 0;
  const bool harmful = IsHarmful(s);
  if (harmful && c.IsInvincible()) return 0;
  acted = true;
  c.FireTriggerEx(TRIGGER_HIT_BY_SHOT, s.m_pOwner, 0);
  if (s.m_pOwner && s.m_bHitTrigger)
    s.m_pOwner->FireTriggerEx(TRIGGER_ATTACK_HIT, &c, s.m_cHitTriggerId);
  if (!harmful && g_SystemData.bCompatAttackHit1) return 0;
  const int d = c.TakeShotDamage(s);
  c.FireShotTriggers(s);
  if (d != 0) {
    if (c.m_nControl == 1) PlaySystemSound(kSoundDefeat);
    const int r = DeathCheck(c);
    if (r == 1 || r == 2) return r;
  } else {
    PlaySystemSound(kSoundHit);
    if (harmful) c.StartInvincible();
  }
  const int passes = IsSolidObject(c) ? ShotPassesSolidCharas(s.m_Def) : ShotPassesCharas(s.m_Def);
  if (!ShotVanishOnHit(s.m_Def) || passes == 1)
    s.m_HitCharas.push_back(&c);
  else
    due = true;
  if (CarriesItem(s)) {
    if (cEdItem* def = GetEdItem(s.m_Def.m_nItemPalette, s.m_Def.m_sItemIndex)) {
      const int r = ApplyItemDefEffect(*def, PlayerHero());
      if (r != 0) return r;
    }
  }
  return 0;
}

// The shots of one group that can take part in the hits, in list order, so that the walks
// over them for each group of characters read no shot that is off the screen (with the stage's
// on-screen-hits switch). Whether a shot is on the screen does not change during the hits, and
// the only shot that goes meanwhile is the one a walk erases itself. A shot added (a defeat's
// flow fires one) changes the group's size: the walk goes on along the list from where it was,
// as a walk of the list does, and the next walk takes the shots again.
class cShotWalk {
 public:
  using Group = cList<cShot*>;

  // Forgets the shots taken.
  void Reset() { m_bTaken = false; }

  // Calls meet(shot) on each shot of the group, in order, not marked for removal and taking
  // part; meet sets due when the shot is to go, and the walk erases it. A non-zero answer
  // ends the walk and is returned.
  template <class Meet>
  int Walk(cPlayScene& scene, Group& group, Meet&& meet) {
    if (!g_bUseHitIndex) return WalkList(scene, group, group.begin(), meet);
    if (!m_bTaken || group.size() != m_nCount) Take(group);
    assert(Holds(group) && "the shots taken are not the group's");
    for (sTaken& taken : m_Shots) {
      if (!taken.pShot) continue;
      cShot& s = *taken.pShot;
      const Group::iterator next = std::next(taken.node);
      if (s.m_bVanish) continue;
      bool due = false;
      if (const int r = meet(s, due)) return r;
      if (due && !s.m_bVanish) {
        EraseShotNow(scene, &s);
        taken.pShot = nullptr;
        --m_nCount;
      }
      if (group.size() != m_nCount) {
        m_bTaken = false;
        return WalkList(scene, group, next, meet);
      }
    }
    return 0;
  }

 private:
  struct sTaken {
    Group::iterator node;
    cShot* pShot;  // null once erased
  };

  template <class Meet>
  static int WalkList(cPlayScene& scene, Group& group, Group::iterator it, Meet& meet) {
    while (it != group.end()) {
      cShot& s = **it;
      const auto next = std::next(it);
      if (s.m_bVanish || OutOfHits(s)) {
        it = next;
        continue;
      }
      bool due = false;
      if (const int r = meet(s, due)) return r;
      if (due && !s.m_bVanish) EraseShotNow(scene, &s);
      it = next;
    }
    return 0;
  }

  void Take(Group& group) {
    m_Shots.clear();
    for (auto it = group.begin(); it != group.end(); ++it)
      if (!OutOfHits(**it)) m_Shots.push_back({it, *it});
    m_nCount = group.size();
    m_bTaken = true;
  }

  // The shots taken are those of the group that take part, in order (checked in the builds
  // with assertions).
  bool Holds(Group& group) const {
    auto taken = m_Shots.begin();
    for (auto it = group.begin(); it != group.end(); ++it) {
      if (OutOfHits(**it)) continue;
      while (taken != m_Shots.end() && !taken->pShot) ++taken;
      if (taken == m_Shots.end() || taken->node != it || taken->pShot != *it) return false;
      ++taken;
    }
    while (taken != m_Shots.end() && !taken->pShot) ++taken;
    return taken == m_Shots.end();
  }

  std::vector<sTaken> m_Shots;
  std::size_t m_nCount = 0;  // the group's size the shots taken stand for
  bool m_bTaken = false;
};

int ShotsAgainstCharas(cPlayScene& scene) {
  auto& shots = scene.m_ShotGroup;
  auto& charas = scene.m_CharaGroup;
  cGroupBoxes& boxes = HitGroupBoxes();
  boxes.Begin(&cCharaBase::m_HitBoxB);
  static cShotWalk walk;
  for (int sg = 0; sg < kGroups; ++sg) {
    walk.Reset();
    for (int cg = 0; cg < kGroups; ++cg) {
      if (cg == sg || shots[sg].empty() || charas[cg].empty()) continue;
      const int r = walk.Walk(scene, shots[sg], [&](cShot& s, bool& due) {
        return boxes.Scan(
            charas[cg], cg, s.m_HitBox.m_Rect,
            [&](cCharaBase& c, bool& acted) { return ShotMeetsChara(s, c, due, acted); });
      });
      if (r != 0) return r;
    }
  }
  return 0;
}

// Who A is hit by when B touches it: B's owner, told of the hit, when B reports to it.
cCharaBase* TouchPartner(cCharaBase& a, cCharaBase& b) {
  if (!b.m_pOwner || !b.m_bOwnerNotify) return &b;
  a.FireTriggerEx(TRIGGER_TOUCH_CHARA, b.m_pOwner, 0);
  b.m_pOwner->FireTriggerEx(TRIGGER_ATTACK_HIT, &a, b.m_nOwnerNotifySlot);
  return nullptr;
}

bool Harms(const cCharaBase& attacker) {
  return attacker.m_Def.m_nPower != 0 || attacker.Impact() != 0;
}

// After a character was harmed: defeated, or immune to the attacker for a while.
int AfterHarm(cCharaBase& victim, int d, const cCharaBase& attacker) {
  if (d == 0) {
    victim.AddImmunity(attacker.m_nNumber);
    return 0;
  }
  if (victim.m_nControl == 1) PlaySystemSound(kSoundDefeat);
  const int r = DeathCheck(victim);
  return r == 1 || r == 2 ? r : 0;
}

// Two characters whose hit boxes A overlap; acted is set unless all that happened was firing
// triggers that started no flow.
int CharaMeetsChara(cCharaBase& a, cCharaBase& b, bool& acted) {
  const std::uint64_t starts = g_nFlowStarts;
  const bool aHit = !a.IsImmuneTo(b.m_nNumber);
  const bool bHit = !b.IsImmuneTo(a.m_nNumber);
  if (aHit)
    if (cCharaBase* partner = TouchPartner(a, b)) a.FireTriggerEx(TRIGGER_TOUCH_CHARA, partner, 0);
  if (bHit)
    if (cCharaBase* partner = TouchPartner(b, a)) b.FireTriggerEx(TRIGGER_TOUCH_CHARA, partner, 0);
  const bool old = g_SystemData.bCompatAttackHit2 != 0;
  const bool aHarmed = aHit && Harms(b);
  const bool bHarmed = bHit && Harms(a);
  int dA = 0, dB = 0;
  if (aHarmed) {
    dA = a.TakeDamage(b);
    if (old) a.FireAttackTriggers(b);
  }
  if (bHarmed) {
    dB = b.TakeDamage(a);
    if (old) b.FireAttackTriggers(a);
  }
  if (!old) {
    if (aHarmed) a.FireAttackTriggers(b);
    if (bHarmed) b.FireAttackTriggers(a);
  }
  acted = aHarmed || bHarmed || g_nFlowStarts != starts;
  if (aHarmed || bHarmed) PlaySystemSound(kSoundHit);
  if (aHarmed)
    if (const int r = AfterHarm(a, dA, b)) return r;
  if (bHarmed)
    if (const int r = AfterHarm(b, dB, a)) return r;
  return 0;
}

bool OutOfCharaHits(const cCharaBase& c) {
  return OutOfHits(c) || IsSolidObject(c) || !c.m_bPresent || c.m_bFinished;
}

int CharasAgainstCharas(cPlayScene& scene) {
  auto& groups = scene.m_CharaGroup;
  cGroupBoxes& boxes = HitGroupBoxes();
  boxes.Begin(&cCharaBase::m_HitBoxA);
  for (int i = 0; i < kGroups; ++i) {
    for (int j = i + 1; j < kGroups; ++j) {
      if (groups[i].empty() || groups[j].empty()) continue;
      for (cCharaBase* a : groups[i]) {
        // What keeps a character out does not come back during the pass (its screen and
        // presence flags change only between sub-steps, a finish is for good): one left out
        // here meets nobody.
        if (OutOfCharaHits(*a)) continue;
        const int r = boxes.Scan(
            groups[j], j, a->m_HitBoxA.m_Rect,
            [&](cCharaBase& b, bool& acted) {
              if (OutOfCharaHits(*a)) return cGroupBoxes::kStop;
              if (!Overlap(a->m_HitBoxA.m_Rect, b.m_HitBoxA.m_Rect) || OutOfCharaHits(b)) return 0;
              return CharaMeetsChara(*a, b, acted);
            });
        if (r != 0) return r;
      }
    }
  }
  return 0;
}

// Shots of two groups meet where either breaks; the weaker breaks, both when they are equal.
// Each shot of group i meets those of group j whose boxes overlap its own, in group j's order:
// no shot moves or comes meanwhile, and one that broke is passed over. Each group's shots are
// taken once with their boxes; two groups none of whose shots can break never meet.
void ShotsAgainstShots(cPlayScene& scene) {
  auto& groups = scene.m_ShotGroup;
  struct sTaken {
    std::vector<cShot*> members;  // in group order
    cBoxSweep boxes;              // made when the group meets another
    std::vector<std::uint8_t> gone;
    std::size_t nLeft = 0;
    bool bBreakable = false, bTaken = false, bBoxes = false;
  };
  static std::array<sTaken, kGroups> taken;
  static std::vector<std::uint32_t> touching;
  for (sTaken& t : taken) t.bTaken = false;
  auto take = [&](int g) -> sTaken& {
    sTaken& t = taken[static_cast<std::size_t>(g)];
    if (t.bTaken) return t;
    t.members.assign(groups[g].begin(), groups[g].end());
    t.bBreakable = false;
    for (const cShot* s : t.members) t.bBreakable = t.bBreakable || s->Traits().bBreakable != 0;
    t.gone.assign(t.members.size(), 0);
    t.nLeft = t.members.size();
    t.bTaken = true;
    t.bBoxes = false;
    return t;
  };
  // The boxes of the shots taken, made before any of them goes (shots go only where both
  // groups have their boxes).
  auto placeBoxes = [](sTaken& t) {
    if (t.bBoxes) return;
    assert(t.nLeft == t.members.size());
    t.boxes.Clear();
    for (const cShot* s : t.members) t.boxes.Add(BoxOf(*s));
    t.boxes.Sort();
    t.bBoxes = true;
  };
  // A shot left is where it was taken, and the group holds the shots left (checked in the
  // builds with assertions).
  [[maybe_unused]] auto holds = [&](const sTaken& t, std::uint32_t k, int g) {
    const sDRect now = BoxOf(*t.members[k]);
    return std::memcmp(&now, &t.boxes.Box(k), sizeof now) == 0 && groups[g].size() == t.nLeft;
  };
  auto erase = [&](sTaken& t, std::uint32_t k) {
    t.gone[k] = 1;
    --t.nLeft;
    EraseShotNow(scene, t.members[k]);
  };
  for (int i = 0; i < kGroups; ++i) {
    for (int j = i + 1; j < kGroups; ++j) {
      if (groups[i].empty() || groups[j].empty()) continue;
      sTaken& first = take(i);
      sTaken& second = take(j);
      if (!first.bBreakable && !second.bBreakable) continue;
      placeBoxes(first);
      placeBoxes(second);
      for (std::uint32_t n = 0; n < first.members.size(); ++n) {
        if (first.gone[n]) continue;
        assert(holds(first, n, i) && "a shot moved or went during the clashes");
        cShot* s1 = first.members[n];
        const sDRect& box1 = first.boxes.Box(n);
        bool due = false;
        if (g_bUseHitIndex) {
          second.boxes.Touching(box1, touching);
        } else {
          touching.resize(second.members.size());
          for (std::uint32_t k = 0; k < second.members.size(); ++k) touching[k] = k;
        }
        for (const std::uint32_t k : touching) {
          if (second.gone[k]) continue;
          assert(holds(second, k, j) && "a shot moved or went during the clashes");
          cShot* s2 = second.members[k];
          const bool b1 = s1->Traits().bBreakable != 0;
          const bool b2 = s2->Traits().bBreakable != 0;
          if ((!b1 && !b2) || !Overlap(box1, second.boxes.Box(k))) continue;
          const int k1 = ShotClashStrength(s1->m_Def), k2 = ShotClashStrength(s2->m_Def);
          const bool lose1 = b1 && (!b2 || k1 <= k2);
          const bool lose2 = b2 && (!b1 || k2 <= k1);
          if (lose1) due = true;
          if (lose2) erase(second, k);
        }
        if (due) erase(first, n);
      }
    }
  }
}

}  // namespace

void UseHitIndex(bool on) { g_bUseHitIndex = on; }

int ApplyItemDefEffect(cEdItem& def, cCharaBase& hero) {
  cItem item;
  item.SetUpFromDef(0, def, 0);
  item.m_bPresent = 1;  // it stands for what brought it, which is there
  return ApplyItemEffect(item, hero);
}

int AttackHits(cCharaList&) {
  if (!g_pPlayScene) return 0;
  cPlayScene& scene = *g_pPlayScene;
  scene.m_bHitsDone = 1;
  if (g_Stage.m_nAttackHitLevel == 0 || scene.m_AttackHitStep[scene.m_nSubStep - 1] != 0)
    if (const int r = ShotsAgainstCharas(scene)) return r;
  if (TakeShotMarks()) {
    for (auto it = scene.m_ShotList.begin(); it != scene.m_ShotList.end();)
      it = it->m_bVanish ? EraseShot(scene.m_ShotList, it) : std::next(it);
  }
  assert(std::none_of(scene.m_ShotList.begin(), scene.m_ShotList.end(),
                      [](const cShot& s) { return s.m_bVanish != 0; }) &&
         "a shot was marked for removal without MarkShotForRemoval");
  if (const int r = CharasAgainstCharas(scene)) return r;
  ShotsAgainstShots(scene);
  scene.m_bHitsDone = 0;
  return 0;
}

int PickUpItems(cHero& hero) {
  for (auto it = g_ItemList.begin(); it != g_ItemList.end();) {
    cItem& item = *it;
    const int mode = item.m_Def.m_nTakeMode;
    if (!item.m_bPresent || item.m_bCarried || mode == TAKE_NEVER) {
      ++it;
      continue;
    }
    if (!Overlaps(hero.m_PickupBox.m_Rect, item)) {
      if (mode == TAKE_ALWAYS) hero.RemovePicked(item.m_nNumber);
      ++it;
      continue;
    }
    hero.FireTrigger(8);
    if (mode == TAKE_ALWAYS) {
      if (!hero.HasNotPicked(item.m_nNumber)) {
        ++it;
        continue;
      }
      hero.m_PickedItems.push_back(item.m_nNumber);
    }
    const int r = ApplyItemEffect(item, g_Heroes.empty() ? hero : g_Heroes.front());
    if (mode == TAKE_ONCE)
      it = g_ItemList.erase(it);
    else
      ++it;
    if (r != 0) return r;
  }
  return 0;
}

int ApplyItemEffect(cItem& item, cCharaBase& hero) {
  if (item.m_Def.m_sGraphic == 0 || item.m_Def.m_nTakeMode == TAKE_NEVER || !item.m_bPresent)
    return 0;
  cHero* player = dynamic_cast<cHero*>(&hero);
  if (player && item.m_Def.m_bShowOnTake)
    player->AddTextObject(item.m_Def.m_nGraphicKind, item.m_Def.m_sGraphic,
                          item.m_Def.m_sGraphicFrame);
  PlayDatabaseSound(item.m_Def.m_sSound);
  if (!player) return 0;
  return player->RunItemCmds(item.m_Def.m_Cmds);
}
