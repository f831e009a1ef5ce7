#include <gtest/gtest.h>

#include <list>
#include <string>
#include <vector>

#include "content/command.h"
#include "flows/cmd_dispatch.h"
#include "foundation/compare.h"
#include "objects/chara.h"
#include "tests/objects/play_world.h"
#include "tests/support/scoped_value.h"

namespace {

class CharaStatusTest : public cPlayWorld {
 protected:
  void SetUp() override { MakeMap(30, 20, 2); }
  static cChara& Fighter(cChara& ch, int maxHP, int hp) {
    ch.m_Def.m_nMaxHP = maxHP;
    ch.m_HP.m_nValue = hp;
    return ch;
  }
  cScopedHeroes m_Heroes;
};

TEST_F(CharaStatusTest, DamageByPowerAndDefence) {
  struct Case {
    int power, defence, hp, wantHP, dead;
  } cases[] = {
      {15, 20, 10, 10, 0}, {0, 0, 10, 10, 0},  {-5, 0, 3, 8, 0},  {-5, 0, 8, 10, 0},
      {30, 10, 25, 5, 0},  {30, 10, 20, 0, 1}, {2000000, 0, 10, 0, 1},
  };
  for (const Case& c : cases) {
    cChara victim, attacker;
    Fighter(victim, 10 + 20 * (c.hp > 10), c.hp);
    victim.m_Def.m_nDefence = c.defence;
    attacker.m_Def.m_nPower = c.power;
    EXPECT_EQ(victim.TakeDamage(attacker), c.dead) << c.power << " " << c.defence;
    EXPECT_EQ(victim.m_HP.m_nValue, c.wantHP) << c.power << " " << c.defence;
  }
}

TEST_F(CharaStatusTest, InvincibilityKindAndGauges) {
  cChara ch;
  Fighter(ch, 10, 3);
  ch.m_Def.m_nInvincible = 1;
  EXPECT_EQ(ch.AddHP(-2, 0, 1), 0);
  EXPECT_EQ(ch.m_HP.m_nValue, 3);  // damage refused
  EXPECT_EQ(ch.AddHP(9, 0, 1), 0);
  EXPECT_EQ(ch.m_HP.m_nValue, 10);  // healing is not
  EXPECT_EQ(ch.m_HP.m_nGauge, 120);
  EXPECT_EQ(ch.m_HP.m_dChange, 35);  // the 7 points that fitted, x 50 / 10
  EXPECT_EQ(ch.m_HP.m_nBar, 50);
  EXPECT_EQ(ch.m_HP.m_dStep, 35 * 0.016666666666666666);
  EXPECT_EQ(ch.AddHP(-4, 1, 0), 0);
  EXPECT_EQ(ch.m_HP.m_nValue, 6);  // a forced change is not

  cChara none;  // a maximum of 0: no HP, no gauge, no division
  Fighter(none, 0, 0);
  EXPECT_EQ(none.AddHP(-1, 0, 1), 1);
  EXPECT_EQ(none.AddHP(5, 0, 1), 1);
  EXPECT_EQ(none.m_HP.m_nValue, 0);
  none.StartHPGauge(3);
  EXPECT_EQ(none.m_HP.m_nGauge, 0);
  EXPECT_EQ(none.AddSP(4, 1), 1);
  EXPECT_EQ(none.m_SP.m_nGauge, 0);
  none.m_Def.m_nMaxSP = -5;
  EXPECT_EQ(none.AddSP(4, 1), 1);
  EXPECT_EQ(none.m_SP.m_nValue, 0);

  cChara sp;
  sp.m_Def.m_nMaxSP = 20;
  sp.m_SP.m_nValue = 18;
  EXPECT_EQ(sp.AddSP(5, 1), 0);
  EXPECT_EQ(sp.m_SP.m_nValue, 20);
  EXPECT_EQ(sp.m_SP.m_dChange, 2 * 50 / 20.0);
  EXPECT_EQ(sp.AddSP(-30, 0), 0);
  EXPECT_EQ(sp.m_SP.m_nValue, 0);
}

TEST_F(CharaStatusTest, ImmunityPerAttackerAndInvincibility) {
  g_Stage.m_nCharaInvincible = 3;
  g_Stage.m_nCharaHitGap = 10;
  g_Stage.m_nHeroInvincible = 1;
  g_Stage.m_nHeroHitGap = 2;
  cChara ch;
  ch.m_nControl = 1;
  ch.AddImmunity(7);
  EXPECT_EQ(ch.m_nInvincibleTimer, 6);  // N = 2
  EXPECT_TRUE(ch.IsImmuneTo(8));
  for (int i = 0; i < 6; ++i) ch.TickImmunity();
  EXPECT_FALSE(ch.IsInvincible());
  EXPECT_TRUE(ch.IsImmuneTo(7));  // the same attacker again: refused
  EXPECT_FALSE(ch.IsImmuneTo(8));  // another attacker: taken
  ch.AddImmunity(7);  // entries are not merged
  EXPECT_EQ(ch.m_Immunity.size(), 2u);
  for (int i = 0; i < 14; ++i) ch.TickImmunity();
  EXPECT_EQ(ch.m_Immunity.size(), 1u);
  for (int i = 0; i < 6; ++i) ch.TickImmunity();
  EXPECT_FALSE(ch.IsImmuneTo(7));
  EXPECT_EQ(ch.m_nInvincibleTimer, 0);
  cChara player;
  player.m_nControl = 0;
  player.AddImmunity(1);
  EXPECT_EQ(player.m_nInvincibleTimer, 2);
  EXPECT_EQ(player.m_Immunity.front().m_nLeft, 4);
}

cEdCond Cond(int kind, int object, int item, int op, int value = 0) {
  cEdCond c;
  c.m_nKind = static_cast<std::int8_t>(kind);
  c.m_nObject = static_cast<std::int8_t>(object);
  c.m_nItem = static_cast<std::int8_t>(item);
  c.m_nOperator = static_cast<std::int8_t>(op);
  c.m_nIndex = static_cast<std::int16_t>(value);
  return c;
}

TEST_F(CharaStatusTest, StatusAndStateConditions) {
  g_Stage.m_bAutoScrollY = 1;
  cChara self, target;
  self.m_Targets.assign(4, nullptr);
  self.m_Targets[1] = &target;
  target.m_Def.m_nScale = 3;
  target.m_Def.m_nFlyMode = 2;
  self.m_nFacing = 1;
  struct Case {
    int kind, object, item, op, value, want;
  } cases[] = {
      {COND_STATUS2, 5, 1, COMPARE_EQUAL, 1, 1},   // vertical auto-scroll on
      {COND_STATUS2, 5, 0, COMPARE_EQUAL, 0, 1},
      {COND_STATUS2, 5, 2, COMPARE_EQUAL, 0, 0},   // no such system item
      {COND_STATUS2, 2, 5, COMPARE_AT_LEAST, 2, 1},  // tg2 is giant
      {COND_STATUS2, 2, 3, COMPARE_EQUAL, 2, 1},
      {COND_STATUS2, 3, 5, COMPARE_AT_LEAST, 0, 0},  // empty slot
      {COND_STATUS2, 0, 0, COMPARE_EQUAL, 0, 0},     // "vanished" is never true
      {COND_STATUS2, 0, 5, COMPARE_DIVISIBLE, 0, 1},
      {COND_STATUS3, 0, STATE_FACING_RIGHT, 0, 0, 1},
      {COND_STATUS3, 0, STATE_FACING_LEFT, 1, 0, 1},   // negated
      {COND_STATUS3, 3, STATE_EXISTS, 1, 0, 1},        // an empty slot, negated, holds
      {COND_STATUS3, 3, STATE_EXISTS, 0, 0, 0},
      {COND_STATUS3, 3, STATE_FACING_LEFT, 1, 0, 0},   // empty slot: false whatever the negation
      {COND_STATUS3, 3, STATE_FACING_LEFT, 0, 0, 0},
      {COND_STATUS3, 2, STATE_EXISTS, 0, 0, 1},
      {COND_STATUS3, 2, STATE_ON_BLOCK, 0, 0, 0},      // tg2 flies
  };
  for (const Case& c : cases) {
    const cEdCond cond = Cond(c.kind, c.object, c.item, c.op, c.value);
    const int got = c.kind == COND_STATUS2 ? self.CheckStatusCond(cond) : self.CheckStateCond(cond);
    EXPECT_EQ(got, c.want) << c.kind << " object " << c.object << " item " << c.item << " op " << c.op;
  }
  target.m_bFinished = 1;
  EXPECT_EQ(self.CheckStateCond(Cond(COND_STATUS3, 2, STATE_EXISTS, 0)), 0);

  struct Ground {
    int riding, jumping, airLock, want;
  } ground[] = {{0, 0, 0, 1}, {0, 1, 0, 0}, {0, 0, 1, 0}, {1, 1, 1, 1}};
  for (const Ground& g : ground) {
    self.m_bRiding = g.riding;
    self.m_bJumping = g.jumping;
    self.m_bAirLock = g.airLock;
    EXPECT_EQ(self.CheckStateCond(Cond(COND_STATUS3, 0, STATE_ON_BLOCK, 0)), g.want);
  }
  // On screen: the player asks the camera, a computer character its flag.
  self.SetUpBase(1, 0, 0, 1, 0, nullptr, 0, 8, 8, 16, 24, 32, 32, 0, 0, 0);
  self.m_dX = 100;
  self.m_dY = 500;
  self.ClampX(-1);
  self.ClampY(-1);
  self.m_bOnScreen = 1;
  EXPECT_EQ(self.CheckStateCond(Cond(COND_STATUS3, 0, STATE_ON_SCREEN, 0)), 0);
  self.m_nControl = 1;
  EXPECT_EQ(self.CheckStateCond(Cond(COND_STATUS3, 0, STATE_ON_SCREEN, 0)), 1);
}

class DistanceTest : public CharaStatusTest {
 protected:
  // A character at map (x, y), 16 x 24 in a 32 x 32 cell; the camera is at (320, 320).
  static void Place(cCharaBase& ch, double x, double y, int facing) {
    ch.SetUpBase(1, 1, 0, 1, 0, nullptr, 0, 8, 8, 16, 24, 32, 32, facing, 0, 0);
    ch.m_dX = x;
    ch.m_dY = y;
    ch.ClampX(-1);
    ch.ClampY(-1);
  }
  static cEdCond Distance(int axis, int halfBlocks, int pixels, int outside, int subject = 0) {
    cEdCond c = Cond(COND_DISTANCE, subject, 0, outside);
    c.m_nAxis = static_cast<std::int8_t>(axis);
    c.m_nConst = halfBlocks;
    c.m_nOperandIndex = static_cast<std::int16_t>(pixels);
    return c;
  }
};

TEST_F(DistanceTest, AreasAroundTheCharacter) {
  cHero& hero = m_Heroes.Add();
  cChara self;
  Place(self, 500, 500, 1);  // screen cell 172..203, facing right
  struct Case {
    int axis, halfBlocks;
    double heroX, heroY;
    int outside, want;
  } cases[] = {
      {AXIS_FRONT, 2, 520, 500, 0, 1},     // box 200..215 within 188..236
      {AXIS_FRONT, 2, 560, 500, 0, 0},     // box 240..255
      {AXIS_FRONT, 2, 560, 500, 1, 1},     // outside holds
      {AXIS_FRONT, 20, 450, 500, 0, 0},    // wholly to the left: never in front
      {AXIS_BACK, 2, 450, 500, 0, 1},      // box 130..145 within 140..188
      {AXIS_HORIZONTAL, 0, 480, 500, 0, 1},  // the cell itself: box 180..195
      {AXIS_HORIZONTAL, 0, 452, 500, 0, 0},  // box 132..147
      {AXIS_FRONT_Y, 2, 500, 540, 0, 1},   // below, as the character faces right
      {AXIS_BACK_Y, 2, 500, 540, 0, 0},
      {AXIS_VERTICAL, 1, 700, 500, 0, 1},  // y only
      {AXIS_CIRCLE, 3, 530, 540, 0, 1},    // 50 pixels between the centres, d = 48 + 2
      {9, 3, 500, 500, 0, 0},              // no such area
      {9, 3, 500, 500, 1, 1},
  };
  for (const Case& c : cases) {
    Place(hero, c.heroX, c.heroY, 0);
    EXPECT_EQ(self.CheckDistanceCond(Distance(c.axis, c.halfBlocks, c.axis == AXIS_CIRCLE ? 2 : 0, c.outside)),
              c.want)
        << "axis " << c.axis << " hero " << c.heroX << "," << c.heroY << " outside " << c.outside;
  }
  Place(hero, 530, 540, 0);
  EXPECT_EQ(self.CheckDistanceCond(Distance(AXIS_CIRCLE, 3, 1, 0)), 0);  // 49 < 50
  // The subject of a target slot; an empty slot gives false.
  self.m_Targets.assign(4, nullptr);
  EXPECT_EQ(self.CheckDistanceCond(Distance(AXIS_HORIZONTAL, 40, 0, 1, 2)), 0);
  self.m_Targets[1] = &hero;
  EXPECT_EQ(self.CheckDistanceCond(Distance(AXIS_HORIZONTAL, 40, 0, 0, 2)), 1);
  EXPECT_EQ(self.CheckDistanceCond(Distance(AXIS_HORIZONTAL, 40, 0, 0, 7)), 0);
}

TEST_F(DistanceTest, OlderProjectsInsetTheBottomAndKeepStaleRectangles) {
  cHero& hero = m_Heroes.Add();
  cChara self;
  Place(self, 500, 500, 1);
  // The hero's box reaches its cell's bottom (8 + 24 = 32): from version 733 its bottom row
  // counts; older projects inset it by 8. The area is the character's cell, rows 172..204.
  for (int compat : {0, 1}) {
    g_SystemData.bCompatObjectBase = compat;
    Place(hero, 500, 470, 0);  // hero cell 142..173: box 150..173, older 150..165
    EXPECT_EQ(self.CheckDistanceCond(Distance(AXIS_VERTICAL, 0, 0, 0)), 1 - compat) << compat;
    Place(hero, 500, 430, 0);  // cell 102..133
    EXPECT_EQ(self.CheckDistanceCond(Distance(AXIS_VERTICAL, 0, 0, 0)), 0) << compat;
  }
  // Projects older than 782 do not refresh the subject's rectangle.
  g_SystemData.bCompatObjectBase = 0;
  g_SystemData.bCompatDistance = 1;
  Place(hero, 520, 500, 0);
  hero.UpdateScreenRect();
  hero.m_dX = 900;  // moved, rectangle not refreshed
  EXPECT_EQ(self.CheckDistanceCond(Distance(AXIS_FRONT, 2, 0, 0)), 1);
  g_SystemData.bCompatDistance = 0;
  EXPECT_EQ(self.CheckDistanceCond(Distance(AXIS_FRONT, 2, 0, 0)), 0);
}

// A character that notes the defeat steps it is asked for.
class cRecorder : public cChara {
 public:
  int RunFlows(int defeatMode) override {
    calls.push_back("flows " + std::to_string(defeatMode));
    return 0;
  }
  cItem* GetDropItem() override {
    calls.push_back("drop");
    return nullptr;
  }
  std::vector<std::string> calls;
};

TEST_F(CharaStatusTest, DefeatScoresUnlinksAndStartsTheDefeatEffect) {
  cPlayScene scene;
  cScopedValue<cPlayScene*> current(g_pPlayScene, &scene);
  cHero& hero = m_Heroes.Add();
  hero.Reset(nullptr, 0, 0, 0);
  struct Case {
    int score, startScore, endRequest, wantScore, result;
  } cases[] = {
      {50, 999990, 0, 999999, 0},
      {-100, 50, 0, 0, 0},
      {30, 100, 1, 130, 1},
  };
  for (const Case& c : cases) {
    g_PlayData.m_nScore = c.startScore;
    scene.m_nStageEndReq = c.endRequest;
    std::list<cRecorder> list(1);
    cRecorder& ch = list.front();
    ch.Reset(nullptr, 0, 0, 0);
    ch.m_Def.m_nScore = c.score;
    ch.m_Def.m_sDeathEffect = 4;
    ch.m_Def.m_nDeathEffectMode = 1;
    ch.InitTargets(nullptr);
    EXPECT_EQ(ch.OnDead(), c.result);
    EXPECT_EQ(ch.calls, (std::vector<std::string>{"flows 1", "drop"}));
    EXPECT_EQ(g_PlayData.m_nScore, c.wantScore);
    EXPECT_EQ(ch.m_bFinished, 1 - c.result);
    EXPECT_EQ(ch.m_CharaEffect.m_nEntry, c.result ? 0 : 4);
    EXPECT_EQ(hero.m_BackRefs.empty(), c.result == 0);  // unlinked only when play goes on
  }
}

int EndTheStage(cCharaBase*, cEdCmd&) { return 1; }

// The drop item ends the stage only when its commands ask for it. One that leaves the hero
// without HP (its answer 2) lets the defeat go on: the character finishes and shows its
// defeat effect, and the hero's own death checks follow.
TEST_F(CharaStatusTest, ADropItemEndsTheStageOnlyWhenItAsksTo) {
  cPlayScene scene;
  cScopedValue<cPlayScene*> current(g_pPlayScene, &scene);
  cScopedGlobal<ItemCmdHandler> clear(ItemCmdFunc[2], &EndTheStage);
  cHero& hero = m_Heroes.Add();
  hero.Reset(nullptr, 0, 0, 0);
  struct Case {
    int heroHP, clears, result;
  } cases[] = {{5, 0, 0}, {0, 0, 0}, {5, 1, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "hero HP " << c.heroHP << " clears " << c.clears);
    hero.m_HP.m_nValue = c.heroHP;
    cCharaList list(1);
    cChara& ch = list.front();
    ch.Reset(nullptr, 0, 0, 0);
    ch.m_Def.m_sDeathEffect = 4;
    ch.m_DropItem.m_Def.m_sGraphic = 1;
    ch.m_DropItem.m_bPresent = 1;
    if (c.clears) {
      cEdCmd end;
      end.m_nKind = 2;
      ch.m_DropItem.m_Def.m_Cmds.push_back(end);
    }
    ch.InitTargets(nullptr);
    EXPECT_EQ(ch.OnDead(), c.result);
    EXPECT_EQ(ch.m_bFinished, 1 - c.result);
    EXPECT_EQ(ch.m_CharaEffect.m_nEntry, c.result ? 0 : 4);
  }
}

}  // namespace
