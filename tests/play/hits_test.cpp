#include "play/hits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "content/condition.h"
#include "content/flow.h"
#include "content/item.h"
#include "flows/status_ops.h"
#include "foundation/compare.h"
#include "objects/chara_flows.h"
#include "objects/object_services.h"
#include "bench/heavy_stage.h"
#include "stage_fixture.h"
#include "tests/objects/play_world.h"

namespace {

class HitsTest : public cStageFixture {
 protected:
  void SetUp() override {
    cStageFixture::SetUp();
    g_Stage.m_PlacedCharas = CharaVector({Chara(0, 2, 3), Chara(1, 6, 3), Chara(1, 8, 3)});
    SetUpStage(1);
  }
  static void Box(cObject& o, double x, double y) {
    o.m_dX = x;
    o.m_dY = y;
    o.m_dRight = x + 15;
    o.m_dBottom = y + 15;
  }
};

TEST_F(HitsTest, AnAnyNumberItemActsOnceUntilTheHeroTouchesItAnew) {
  cHero& hero = g_Heroes.front();
  hero.m_HP.m_nValue = 10;
  cItem& item = g_ItemList.emplace_back();
  item.m_Def.m_sGraphic = 1;
  item.m_Def.m_nTakeMode = TAKE_ALWAYS;
  item.m_nNumber = 4;
  item.m_bPresent = 1;
  Box(item, 500, 500);
  auto touch = [&](bool on) {
    hero.m_PickupBox.m_Rect = on ? sDRect{505, 505, 520, 520} : sDRect{0, 0, 10, 10};
    EXPECT_EQ(PickUpItems(hero), 0);
  };
  touch(true);
  EXPECT_EQ(hero.m_PickedItems.size(), 1u);
  touch(true);
  EXPECT_EQ(hero.m_PickedItems.size(), 1u);  // standing on it: once
  touch(false);
  EXPECT_TRUE(hero.m_PickedItems.empty());
  touch(true);
  EXPECT_EQ(hero.m_PickedItems.size(), 1u);
  EXPECT_EQ(g_ItemList.size(), 1u);

  // A ONCE item goes; a NEVER item and a carried one are never taken.
  item.m_Def.m_nTakeMode = TAKE_NEVER;
  cItem& once = g_ItemList.emplace_back(item);
  once.m_Def.m_nTakeMode = TAKE_ONCE;
  cItem& carried = g_ItemList.emplace_back(once);
  carried.m_bCarried = 1;
  touch(true);
  EXPECT_EQ(g_ItemList.size(), 2u);
  EXPECT_EQ(g_ItemList.back().m_bCarried, 1);
}

TEST_F(HitsTest, CharactersDefeatedByCommandsGoOrStayByTheKeepSwitch) {
  for (int keep : {0, 1}) {
    SetUpStage(1);
    g_Heroes.front().m_HP.m_nValue = 10;
    g_SystemData.m_bClearEndsFrame = keep;
    ASSERT_EQ(g_CharaList.size(), 2u);
    for (cChara& c : g_CharaList) c.m_HP.m_nValue = 5;
    g_CharaList.front().m_HP.m_nValue = 0;
    g_CharaList.back().m_bRemoveReq = 1;
    EXPECT_EQ(CheckDefeats(g_CharaList), 0);
    if (keep) {
      ASSERT_EQ(g_CharaList.size(), 1u);
      EXPECT_EQ(g_CharaList.front().m_bFinished, 1);
    } else {
      EXPECT_TRUE(g_CharaList.empty());
    }
    for (const auto& group : scene.m_CharaGroup)
      for (const cCharaBase* c : group) EXPECT_NE(c, nullptr);
  }
  // The hero without HP ends the frame, whatever its end says.
  g_Heroes.front().m_HP.m_nValue = 0;
  EXPECT_EQ(CheckDefeats(g_CharaList), 1);
  EXPECT_EQ(g_Heroes.front().m_bFinished, 1);
}

TEST_F(HitsTest, DeathChecks) {
  cChara& chara = g_CharaList.front();
  EXPECT_EQ(DeathCheck(g_Heroes.front()), 2);
  chara.m_nControl = 0;
  EXPECT_EQ(DeathCheck(chara), 2);
  chara.m_nControl = 1;
  EXPECT_EQ(DeathCheck(chara), 0);
  EXPECT_EQ(chara.m_bFinished, 1);
  EXPECT_EQ(DeathCheck(chara), 0);
}

}  // namespace

namespace {

TEST_F(HitsTest, TheCharacterAPassWorksOnIsUnlinkedButNotFreed) {
  cChara& current = g_CharaList.front();
  current.m_bRemoveReq = 1;
  g_Heroes.front().m_HP.m_nValue = 10;
  for (cChara& c : g_CharaList) c.m_HP.m_nValue = 5;
  {
    sPassCharaGuard guard(&current);
    EXPECT_EQ(CheckDefeats(g_CharaList), 0);
    EXPECT_TRUE(PassCharaRemoved());
    EXPECT_EQ(g_CharaList.size(), 2u);
    EXPECT_EQ(current.m_bFinished, 1);
    for (const auto& group : scene.m_CharaGroup)
      for (const cCharaBase* c : group) EXPECT_NE(c, &current);
  }
  // Without the guard it goes at once.
  EXPECT_EQ(CheckDefeats(g_CharaList), 0);
  EXPECT_EQ(g_CharaList.size(), 1u);
}

}  // namespace

namespace {

// The stage of HitsTest with the two computer characters (group 1) side by side, boxes at
// x 500 and 600, and shots built here.
class AttackTest : public HitsTest {
 protected:
  void SetUp() override {
    HitsTest::SetUp();
    Prepare();
  }
  // The stage set up again, without shots.
  void Reset() {
    for (auto& group : scene.m_ShotGroup) group.clear();
    scene.m_ShotList.clear();
    SetUpStage(1);
    Prepare();
  }
  void Prepare() {
    g_Stage.m_bHitOnlyActive = 0;
    g_Stage.m_nCharaInvincible = 30;
    scene.m_nSubStep = 1;
    cHero& hero = g_Heroes.front();
    hero.m_HP.m_nValue = 10;
    hero.m_bPresent = hero.m_bOnScreen = 1;
    hero.m_HitBoxA.m_Rect = hero.m_HitBoxB.m_Rect = sDRect{0, 0, 10, 10};
    double x = 500;
    for (cChara& c : g_CharaList) {
      c.m_bPresent = c.m_bOnScreen = 1;
      c.m_HP.m_nValue = 10;
      c.m_HitBoxA.m_Rect = c.m_HitBoxB.m_Rect = sDRect{x, 500, x + 15, 515};
      x += 100;
    }
  }
  cShot& Shot(int group, double x, int power = 0) {
    cShot s;
    s.m_Def.m_nGroup = static_cast<std::int8_t>(group);
    s.m_Def.m_nPower = power;
    s.m_Def.m_nSizeFactor = 1;
    s.m_bIsShot = 1;
    s.m_bPresent = s.m_bOnScreen = 1;
    Box(s, x, 505);
    s.m_HitBox.m_Rect = sDRect{x, 505, x + 7, 512};
    return AddShotToList(scene.m_ShotList, s);
  }
  cChara& First() { return g_CharaList.front(); }
};

TEST_F(AttackTest, ShotsAgainstCharacters) {
  struct sCase {
    const char* name;
    int power, vanish, passOrdinary, passSolid, solid, invincibleTimer, compat, invincibleTime;
    int hp, invincible, shotLeft, inHitList;
  };
  const sCase cases[] = {
      {"a harmful shot hurts, makes invincible and vanishes", 3, 1, 0, 0, 0, 0, 0, 30,
       7, 1, 0, 0},
      {"a harmless shot is used up without invincibility", 0, 1, 0, 0, 0, 0, 0, 30, 10, 0, 0, 0},
      {"older projects let a harmless shot fly on untouched", 0, 1, 0, 0, 0, 0, 1, 30, 10, 0, 1,
       0},
      {"a harmful shot passes an invincible character without a trace", 3, 1, 0, 0, 0, 5, 0, 30,
       10, 1, 1, 0},
      {"a piercing shot hits each character once", 3, 0, 0, 0, 0, 0, 0, 0, 7, 0, 1, 1},
      {"a shot passing ordinary characters goes on", 3, 1, 1, 0, 0, 0, 0, 0, 7, 0, 1, 1},
      {"against a solid character its own switch decides: on", 3, 1, 0, 1, 1, 0, 0, 0, 7, 0, 1,
       1},
      {"against a solid character its own switch decides: off", 3, 1, 1, 0, 1, 0, 0, 0, 7, 0, 0,
       0},
  };
  for (const sCase& c : cases) {
    Reset();
    g_Stage.m_nCharaInvincible = c.invincibleTime;
    g_SystemData.bCompatAttackHit1 = g_SystemData.bCompatAttackHit2 = c.compat;
    First().m_Def.m_bNoHitBox = static_cast<std::uint8_t>(c.solid);
    First().m_nInvincibleTimer = c.invincibleTimer;
    cShot& shot = Shot(0, 504, c.power);
    shot.m_Def.m_byReserved27 = static_cast<std::int8_t>(c.vanish);
    shot.m_Def.m_byReserved45 = static_cast<std::int8_t>(c.passOrdinary);
    shot.m_Def.m_byReserved46 = static_cast<std::int8_t>(c.passSolid);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(AttackHits(g_CharaList), 0) << c.name;
    EXPECT_EQ(scene.m_bHitsDone, 0);
    EXPECT_EQ(First().m_HP.m_nValue, c.hp) << c.name;
    EXPECT_EQ(First().m_nInvincibleTimer > 0, c.invincible != 0) << c.name;
    ASSERT_EQ(scene.m_ShotList.size(), static_cast<std::size_t>(c.shotLeft)) << c.name;
    EXPECT_EQ(scene.m_ShotGroup[0].size(), static_cast<std::size_t>(c.shotLeft)) << c.name;
    if (c.shotLeft) {
      EXPECT_EQ(shot.m_HitCharas.size(), static_cast<std::size_t>(c.inHitList)) << c.name;
    }
  }
}

TEST_F(AttackTest, ShotsMeetCharactersInListOrderWhereverTheirBoxesLie) {
  g_Stage.m_nCharaInvincible = 0;
  for (auto& group : scene.m_CharaGroup) group.clear();
  g_CharaList.clear();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const sDRect boxes[] = {
      {800, 500, 815, 515},
      {500, 500, 515, 515},                 // left of the one before it in the list
      {-1e13, 700, 1e13, 715},              // reaching far beyond the map both ways
      {nan, 900, nan, 915},                 // no number: it overlaps whatever its rows meet
      {0, 1100, 3000, 1115},                // wide, starting far left of what it meets
  };
  std::vector<cChara*> charas;
  for (const sDRect& box : boxes) {
    cChara& c = g_CharaList.emplace_back();
    c.m_nControl = 1;
    c.m_bPresent = c.m_bOnScreen = 1;
    c.m_HP.m_nValue = 100;
    c.m_HitBoxA.m_Rect = c.m_HitBoxB.m_Rect = box;
    scene.m_CharaGroup[1].push_back(&c);
    charas.push_back(&c);
  }
  struct sCase {
    sDRect box;
    std::vector<int> hit;  // in the order met
  };
  const sCase cases[] = {
      {{495, 505, 900, 512}, {0, 1}},
      {{5000, 705, 5007, 712}, {2}},
      {{5000, 905, 5007, 912}, {3}},
      {{2990, 1105, 2997, 1112}, {4}},
      {{1000, 505, 1007, 512}, {}},
  };
  std::vector<cShot*> shots;
  for (const sCase& c : cases) {
    cShot& shot = Shot(0, 0, 3);
    shot.m_HitBox.m_Rect = c.box;
    shots.push_back(&shot);
  }
  EXPECT_EQ(AttackHits(g_CharaList), 0);
  for (std::size_t i = 0; i < shots.size(); ++i) {
    std::vector<int> met;
    for (const cCharaBase* c : shots[i]->m_HitCharas)
      met.push_back(static_cast<int>(std::find(charas.begin(), charas.end(), c) - charas.begin()));
    EXPECT_EQ(met, cases[i].hit) << "shot " << i;
  }
}

TEST_F(AttackTest, ShotsThatVanishMidWalkAndShotsMarkedForRemoval) {
  g_Stage.m_nCharaInvincible = 0;
  // Two shots on the first character both vanish on the hit: the walk goes on to the second.
  for (int i = 0; i < 2; ++i) Shot(0, 504, 3).m_Def.m_byReserved27 = 1;
  // A shot marked for removal hits nobody and goes with the finished shots.
  cShot& marked = Shot(0, 604, 3);
  MarkShotForRemoval(marked);
  EXPECT_EQ(AttackHits(g_CharaList), 0);
  EXPECT_EQ(First().m_HP.m_nValue, 4);
  EXPECT_EQ(g_CharaList.back().m_HP.m_nValue, 10);
  EXPECT_TRUE(scene.m_ShotList.empty());
  EXPECT_TRUE(scene.m_ShotGroup[0].empty());
}

TEST_F(AttackTest, ShotsACommandRemovesDuringTheHitsGoWithTheFinishedShots) {
  cScopedObjectServices services;
  InstallObjectServices();
  g_Stage.m_nCharaInvincible = 0;
  // Defeated by a shot, the first character takes the shots of group 2 out of play: while the
  // hits are under way they are only marked, so the one on the second character meets nobody
  // and goes with the finished shots.
  cEdCmd vanish = Command(CMD_VANISH, 0);
  vanish.m_Params[0] = 1;  // the shots of a group
  vanish.m_Params[1] = 2;
  vanish.m_Params[2] = 1;  // off the screen too
  cEdFlow defeat;
  defeat.m_nTrigger = TRIGGER_DEAD;
  defeat.m_Cmds.push_back(vanish);
  cChara& first = First();
  first.m_HP.m_nValue = 3;
  first.m_Def.m_Flows = FlowVector({defeat});
  SetupFlows(first, first.m_Def.m_Flows, 0, 0);
  Shot(0, 504, 3);
  Shot(2, 604, 3);
  EXPECT_EQ(AttackHits(g_CharaList), 0);
  EXPECT_EQ(first.m_bFinished, 1);
  EXPECT_EQ(g_CharaList.back().m_HP.m_nValue, 10);
  EXPECT_EQ(scene.m_ShotList.size(), 1u);
  EXPECT_EQ(scene.m_ShotGroup[0].size(), 1u);
  EXPECT_TRUE(scene.m_ShotGroup[2].empty());
}

TEST_F(AttackTest, AShotFiredByADefeatMeetsTheCharactersOfTheWalkUnderWay) {
  cScopedObjectServices services;
  InstallObjectServices();
  // The first character's defeat fires a shot of group 0; the second character's box covers
  // the stage, wherever that shot starts.
  cEdCmd shoot = Command(CMD_SHOT, 0);
  NewShot(shoot.m_pShot);
  shoot.m_pShot->m_nCount = 1;
  shoot.m_pShot->m_sGraphic = 1;
  shoot.m_pShot->m_nPower = 2;
  shoot.m_pShot->m_bGroupFromFirer = 0;
  shoot.m_pShot->m_nGroup = 0;
  cEdFlow defeat;
  defeat.m_nTrigger = TRIGGER_DEAD;
  defeat.m_Cmds.push_back(shoot);
  // Fired while the shot that defeats is followed by another of its group, the new shot is
  // walked after that one and hits; fired while the last shot is walked, it is not reached.
  for (const bool another : {true, false}) {
    for (const bool indexed : {true, false}) {
      Reset();
      UseHitIndex(indexed);
      g_Stage.m_nCharaInvincible = 0;
      cChara& first = First();
      cChara& wide = g_CharaList.back();
      first.m_HP.m_nValue = 3;
      first.m_Def.m_Flows = FlowVector({defeat});
      SetupFlows(first, first.m_Def.m_Flows, 0, 0);
      wide.m_HitBoxB.m_Rect = sDRect{-1e6, -1e6, 1e6, 1e6};
      Shot(0, 504, 3);
      if (another) Shot(0, 0, 0).m_HitBox.m_Rect = sDRect{5e6, 0, 5e6 + 7, 7};
      const std::size_t before = scene.m_ShotGroup[0].size();
      EXPECT_EQ(AttackHits(g_CharaList), 0);
      EXPECT_EQ(first.m_bFinished, 1);
      EXPECT_EQ(scene.m_ShotGroup[0].size(), before + 1);
      EXPECT_EQ(wide.m_HP.m_nValue, another ? 5 : 7) << another << indexed;
    }
  }
  UseHitIndex(true);
}

TEST_F(AttackTest, BreakableShotsClash) {
  struct sCase {
    int breakable1, strength1, breakable2, strength2;
    bool left1, left2;
  };
  const sCase cases[] = {
      {1, 5, 1, 5, false, false},  // equal strengths cancel
      {1, 3, 1, 5, false, true},   {1, 5, 1, 3, true, false},
      {1, 5, 0, 0, false, true},   // the breakable one against an unbreakable one
      {0, 0, 1, 5, true, false},   {0, 0, 0, 0, true, true},
  };
  for (const sCase& c : cases) {
    Reset();
    cShot& s1 = Shot(0, 900);
    cShot& s2 = Shot(2, 904);
    s1.m_Def.m_byReserved47 = static_cast<std::int8_t>(c.breakable1);
    s1.m_Def.m_nVanishValue = static_cast<std::int8_t>(c.strength1);
    s2.m_Def.m_byReserved47 = static_cast<std::int8_t>(c.breakable2);
    s2.m_Def.m_nVanishValue = static_cast<std::int8_t>(c.strength2);
    s1.KeepTraits();
    s2.KeepTraits();
    EXPECT_EQ(AttackHits(g_CharaList), 0);
    EXPECT_EQ(scene.m_ShotGroup[0].size(), c.left1 ? 1u : 0u) << c.strength1 << c.strength2;
    EXPECT_EQ(scene.m_ShotGroup[2].size(), c.left2 ? 1u : 0u) << c.strength1 << c.strength2;
    EXPECT_EQ(scene.m_ShotList.size(), (c.left1 ? 1u : 0u) + (c.left2 ? 1u : 0u));
  }
  // A shot due to vanish still meets the rest of the other group.
  Reset();
  cShot& s1 = Shot(0, 900);
  s1.m_Def.m_byReserved47 = 1;
  s1.m_Def.m_nVanishValue = 5;
  s1.KeepTraits();
  Shot(2, 904);  // unbreakable: s1 is due
  cShot& last = Shot(2, 906);
  last.m_Def.m_byReserved47 = 1;
  last.m_Def.m_nVanishValue = 5;
  last.KeepTraits();
  EXPECT_EQ(AttackHits(g_CharaList), 0);
  EXPECT_TRUE(scene.m_ShotGroup[0].empty());
  EXPECT_EQ(scene.m_ShotGroup[2].size(), 1u);
  // Four groups on one spot: the strong shot of group 0 breaks the others pair by pair, and a
  // shot broken meets no group afterwards (groups 1 and 2, as strong as each other, would
  // both break).
  for (const bool indexed : {true, false}) {
    Reset();
    UseHitIndex(indexed);
    const int strengths[] = {9, 4, 4, 1};
    for (int g = 0; g < 4; ++g) {
      cShot& s = Shot(g, 900);
      s.m_Def.m_byReserved47 = 1;
      s.m_Def.m_nVanishValue = static_cast<std::int8_t>(strengths[g]);
      s.KeepTraits();
    }
    EXPECT_EQ(AttackHits(g_CharaList), 0);
    std::vector<std::size_t> left;
    for (int g = 0; g < 4; ++g) left.push_back(scene.m_ShotGroup[g].size());
    EXPECT_EQ(left, (std::vector<std::size_t>{1, 0, 0, 0})) << indexed;
    EXPECT_EQ(scene.m_ShotList.size(), 1u);
  }
  UseHitIndex(true);
}

TEST_F(AttackTest, CharactersAgainstCharacters) {
  cHero& hero = g_Heroes.front();
  cChara& a = First();
  cChara& b = g_CharaList.back();
  a.m_Def.m_nPower = 2;
  b.m_Def.m_nPower = 2;
  hero.m_HitBoxA.m_Rect = sDRect{505, 505, 530, 520};
  b.m_HitBoxA.m_Rect = sDRect{510, 505, 525, 520};  // same group as a: never
  EXPECT_EQ(AttackHits(g_CharaList), 0);
  EXPECT_EQ(hero.m_HP.m_nValue, 6);  // both hit it
  EXPECT_EQ(a.m_HP.m_nValue, 10);
  EXPECT_EQ(b.m_HP.m_nValue, 10);
  // Immune to both for a while afterwards.
  EXPECT_EQ(AttackHits(g_CharaList), 0);
  EXPECT_EQ(hero.m_HP.m_nValue, 6);
  // A solid character never takes part.
  hero.m_Immunity.clear();
  hero.m_nInvincibleTimer = 0;
  a.m_Def.m_bNoHitBox = 1;
  EXPECT_EQ(AttackHits(g_CharaList), 0);
  EXPECT_EQ(hero.m_HP.m_nValue, 4);
  // A hit that takes the hero's last HP defeats it: the hits end with 2.
  hero.m_Immunity.clear();
  hero.m_nInvincibleTimer = 0;
  hero.m_HP.m_nValue = 2;
  EXPECT_EQ(AttackHits(g_CharaList), 2);
  EXPECT_EQ(scene.m_bHitsDone, 1);
}

TEST_F(AttackTest, OlderProjectsTellTheFirstCharacterOfItsHurtBeforeThePartnerIsHarmed) {
  cScopedObjectServices services;
  InstallObjectServices();
  // The partner in a later group, so that the first character is the first of the pair.
  g_Stage.m_PlacedCharas[2].m_nGroup = 2;
  // The first character's hurt flow takes the partner as target 1 and starts only while
  // the partner's HP is still what it was before the hits.
  cEdCond untouched;
  untouched.m_nKind = COND_STATUS;
  untouched.m_nObject = STATUS_OBJ_TARGET1;
  untouched.m_nItem = STATUS_HP;
  untouched.m_nOperator = COMPARE_EQUAL;
  untouched.m_nConst = 10;
  cEdFlow hurt;
  hurt.m_nTrigger = TRIGGER_DAMAGED;
  hurt.m_bPartnerAsTarget = 1;
  hurt.m_nTargetSlot = 0;
  hurt.m_Conds.push_back(untouched);
  for (int compat : {1, 0}) {
    Reset();
    g_SystemData.bCompatAttackHit1 = g_SystemData.bCompatAttackHit2 = compat;
    cChara& a = First();
    cChara& b = g_CharaList.back();
    ASSERT_EQ(scene.m_CharaGroup[2].size(), 1u);
    ASSERT_EQ(scene.m_CharaGroup[2].front(), &b);
    a.m_Def.m_nPower = 2;
    b.m_Def.m_nPower = 2;
    a.m_Def.m_Flows = FlowVector({hurt});
    SetupFlows(a, a.m_Def.m_Flows, 0, 0);
    b.m_HitBoxA.m_Rect = sDRect{505, 505, 520, 520};
    ASSERT_FALSE(a.m_Targets.empty());
    cCharaBase* const kept = a.m_Targets[0];
    ASSERT_NE(kept, &b);
    EXPECT_EQ(AttackHits(g_CharaList), 0);
    EXPECT_EQ(a.m_HP.m_nValue, 8) << compat;
    EXPECT_EQ(b.m_HP.m_nValue, 8) << compat;
    EXPECT_EQ(a.m_FlowRuns[0].m_bRunning, compat) << compat;
    // The partner stays target 1 only when the flow started.
    EXPECT_EQ(a.m_Targets[0], compat ? &b : kept) << compat;
  }
}

}  // namespace
