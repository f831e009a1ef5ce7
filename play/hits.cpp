// Defeats, pick-ups and item effects.
#include "play/hits.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "content/item.h"
#include "content/palette.h"
#include "flows/flow_run.h"
#include "media/sound.h"
#include "objects/chara.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "objects/shot.h"
#include "play/play_frame.h"
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
cList<cChara>::iterator RemoveChara(cList<cChara>& list, cList<cChara>::iterator it) {
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

int DefeatObject(cCharaBase* object, cList<cChara>*) {
  if (!object) return 0;
  const int r = DeathCheck(*object);
  if (r == 1) EndStageNow();
  if (r == 2) HeroDefeat();
  return r;
}

int CheckDefeats(cList<cChara>& list) {
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
void EraseShotNow(cPlayScene& scene, cShot* shot) {
  for (auto it = scene.m_ShotList.begin(); it != scene.m_ShotList.end(); ++it) {
    if (&*it != shot) continue;
    EraseShot(scene.m_ShotList, it);
    return;
  }
}

// The members of each character group with one of their hit boxes side by side and sorted by
// their left edges, so that a scan reads no character and looks only near its box. A meeting
// that acts can move, harm, defeat or add characters, so every copy is dropped whenever one
// acted and the rest of that scan walks the group itself; until then no box and no member
// changes.
class cGroupBoxes {
 public:
  using Group = cList<cCharaBase*>;
  static constexpr int kStop = -1;  // a meeting's answer that ends the scan with 0

  explicit cGroupBoxes(sHitBox cCharaBase::*box) : m_pBox(box) {}

  // Calls meet(member, acted) for each member of group number g, in order, whose copied box
  // overlaps with; once a meeting acted, for every further member (meet tests the live box
  // itself). A non-zero answer ends the scan and is returned (kStop as 0).
  template <class Meet>
  int Scan(Group& group, int g, const sDRect& with, Meet&& meet) {
    sCopy& copy = m_Copies[static_cast<std::size_t>(g)];
    if (!copy.bTaken || copy.nTakenAt != m_nActs) Take(copy, group);
    copy.Touching(with, m_Touching);
    for (const std::uint32_t k : m_Touching) {
      const sEntry& e = copy.entries[k];
      bool acted = false;
      if (const int r = meet(**e.member, acted)) return r == kStop ? 0 : r;
      if (!acted) continue;
      ++m_nActs;
      for (auto it = std::next(e.member); it != group.end(); ++it)
        if (const int r = meet(**it, acted)) return r == kStop ? 0 : r;
      return 0;
    }
    return 0;
  }

 private:
  struct sEntry {
    Group::iterator member;
    sDRect rect;
  };
  // Edges beyond this, and those that are not numbers, are kept out of the sorted search.
  static constexpr double kFar = 1e12;
  static bool Near(double left, double right) {
    return left > -kFar && left < kFar && right > -kFar && right < kFar;
  }

  struct sCopy {
    std::vector<sEntry> entries;                      // in group order
    std::vector<std::uint32_t> byLeft, elsewhere;  // the near ones by left edge; the others
    double dMaxWidth = 0;                             // of the near ones
    std::uint64_t nTakenAt = 0;
    bool bTaken = false;

    // The positions in group order of the copied boxes that overlap with.
    void Touching(const sDRect& with, std::vector<std::uint32_t>& out) const {
      out.clear();
      auto test = [&](std::uint32_t k) {
        if (entries[k].rect.Overlaps(with)) out.push_back(k);
      };
      if (!Near(with.m_dLeft, with.m_dRight)) {
        for (std::uint32_t k = 0; k < entries.size(); ++k) test(k);
        return;
      }
      for (const std::uint32_t k : elsewhere) test(k);
      // A box that reaches with's left edge starts at most its width before it.
      const double from = with.m_dLeft - dMaxWidth - 1;
      auto it = std::lower_bound(byLeft.begin(), byLeft.end(), from,
                                 [&](std::uint32_t k, double x) { return entries[k].rect.m_dLeft < x; });
      for (; it != byLeft.end() && entries[*it].rect.m_dLeft <= with.m_dRight; ++it) test(*it);
      std::sort(out.begin(), out.end());
    }
  };

  void Take(sCopy& copy, Group& group) {
    copy.entries.clear();
    copy.byLeft.clear();
    copy.elsewhere.clear();
    copy.dMaxWidth = 0;
    for (auto it = group.begin(); it != group.end(); ++it) {
      const sDRect& rect = ((**it).*m_pBox).m_Rect;
      const auto k = static_cast<std::uint32_t>(copy.entries.size());
      copy.entries.push_back({it, rect});
      if (Near(rect.m_dLeft, rect.m_dRight)) {
        copy.byLeft.push_back(k);
        copy.dMaxWidth = std::max(copy.dMaxWidth, rect.m_dRight - rect.m_dLeft);
      } else {
        copy.elsewhere.push_back(k);
      }
    }
    std::stable_sort(copy.byLeft.begin(), copy.byLeft.end(), [&](std::uint32_t a, std::uint32_t b) {
      return copy.entries[a].rect.m_dLeft < copy.entries[b].rect.m_dLeft;
    });
    copy.nTakenAt = m_nActs;
    copy.bTaken = true;
  }

  sHitBox cCharaBase::*m_pBox;
  std::array<sCopy, kGroups> m_Copies;
  std::vector<std::uint32_t> m_Touching;
  std::uint64_t m_nActs = 0;
};

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

int ShotsAgainstCharas(cPlayScene& scene) {
  auto& shots = scene.m_ShotGroup;
  auto& charas = scene.m_CharaGroup;
  cGroupBoxes boxes(&cCharaBase::m_HitBoxB);
  for (int sg = 0; sg < kGroups; ++sg) {
    for (int cg = 0; cg < kGroups; ++cg) {
      if (cg == sg || shots[sg].empty() || charas[cg].empty()) continue;
      for (auto it = shots[sg].begin(); it != shots[sg].end();) {
        cShot& s = **it;
        auto next = std::next(it);
        if (s.m_bVanish || OutOfHits(s)) {
          it = next;
          continue;
        }
        bool due = false;
        const int r = boxes.Scan(
            charas[cg], cg, s.m_HitBox.m_Rect,
            [&](cCharaBase& c, bool& acted) { return ShotMeetsChara(s, c, due, acted); });
        if (r != 0) return r;
        if (due && !s.m_bVanish) EraseShotNow(scene, &s);
        it = next;
      }
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
  cGroupBoxes boxes(&cCharaBase::m_HitBoxA);
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

void ShotsAgainstShots(cPlayScene& scene) {
  auto& groups = scene.m_ShotGroup;
  for (int i = 0; i < kGroups; ++i) {
    for (int j = i + 1; j < kGroups; ++j) {
      for (auto it1 = groups[i].begin(); it1 != groups[i].end();) {
        cShot* s1 = *it1;
        auto next1 = std::next(it1);
        bool due = false;
        for (auto it2 = groups[j].begin(); it2 != groups[j].end();) {
          cShot* s2 = *it2;
          auto next2 = std::next(it2);
          const bool b1 = ShotBreakable(s1->m_Def) != 0;
          const bool b2 = ShotBreakable(s2->m_Def) != 0;
          if ((b1 || b2) && Overlap(BoxOf(*s1), BoxOf(*s2))) {
            const int k1 = ShotClashStrength(s1->m_Def), k2 = ShotClashStrength(s2->m_Def);
            const bool lose1 = b1 && (!b2 || k1 <= k2);
            const bool lose2 = b2 && (!b1 || k2 <= k1);
            if (lose1) due = true;
            if (lose2) EraseShotNow(scene, s2);
          }
          it2 = next2;
        }
        if (due) EraseShotNow(scene, s1);
        it1 = next1;
      }
    }
  }
}

}  // namespace

int ApplyItemDefEffect(cEdItem& def, cCharaBase& hero) {
  cItem item;
  item.SetUpFromDef(0, def, 0);
  item.m_bPresent = 1;  // it stands for what brought it, which is there
  return ApplyItemEffect(item, hero);
}

int AttackHits(cList<cChara>&) {
  if (!g_pPlayScene) return 0;
  cPlayScene& scene = *g_pPlayScene;
  scene.m_bHitsDone = 1;
  if (g_Stage.m_nAttackHitLevel == 0 || scene.m_AttackHitStep[scene.m_nSubStep - 1] != 0)
    if (const int r = ShotsAgainstCharas(scene)) return r;
  for (auto it = scene.m_ShotList.begin(); it != scene.m_ShotList.end();)
    it = it->m_bVanish ? EraseShot(scene.m_ShotList, it) : std::next(it);
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
