// Aiming at screen points with and without a scrolling screen, moves that snap onto their
// point, and the searches over group lists and links, as tables of small cases.
#include "objects/aim.h"

#include <gtest/gtest.h>

#include <cmath>
#include <list>

#include "content/command.h"
#include "content/move.h"
#include "flows/flow_run.h"
#include "objects/chara_base.h"
#include "objects/shot.h"
#include "tests/objects/play_world.h"

namespace {

class AimTest : public cPlayWorld {
 protected:
  void SetUp() override { MakeMap(40, 30); }
  // Auto-scroll of the x and y axes per sub-step; held at a limit when atLimit.
  void Scroll(double sx, double sy, int atLimit = 0) {
    m_Axes.x.m_dSpeed = sx;
    m_Axes.y.m_dSpeed = sy;
    m_Axes.x.m_bAtLimit = m_Axes.y.m_bAtLimit = atLimit;
  }
};

TEST_F(AimTest, AimVelocityTable) {
  const double r = 4 * g_dDiagonal;
  struct sCase {
    const char* name;
    double sx, sy;
    int atLimit, carry;
    int moverBound, partnerBound;  // partnerBound -1: no partner
    double fromX, fromY, toX, toY, s;
    int noFlee, test;
    double vx, vy;
    int faceReq, result;
  };
  const sCase cases[] = {
      {"own point arrives", 0, 0, 0, 0, 0, -1, 50, 50, 50, 50, 3, 0, 1, 0, 0, 0, 1},
      {"3-4-5 toward", 0, 0, 0, 0, 0, -1, 0, 0, 30, 40, 5, 0, 1, 3, 4, 2, 0},
      {"within |s| on both axes arrives", 0, 0, 0, 0, 0, -1, 0, 0, -5, 5, 5, 0, 1,
       -5 / std::sqrt(2.0), 5 / std::sqrt(2.0), 1, 1},
      {"no test, no arrival", 0, 0, 0, 0, 0, -1, 0, 0, 0, 1, 5, 0, 0, 0, 5, 0, 0},
      {"flee from straight above", 0, 0, 0, 0, 0, -1, 100, 100, 100, 50, -4, 0, 1, r, r, 2, 0},
      {"flee from below right", 0, 0, 0, 0, 0, -1, 100, 100, 120, 130, -4, 0, 0, -r, -r, 1, 0},
      {"negative speed with no-flee aims away", 0, 0, 0, 0, 0, -1, 0, 0, 30, 40, -5, 1, 0, -3, -4,
       1, 0},
      {"bound mover, free partner: scroll taken off", 2, 1, 0, 0, 1, 0, 0, 0, 30, 40, 5, 0, 0, 1, 3,
       2, 0},
      {"both bound: no correction", 2, 1, 0, 0, 1, 1, 0, 0, 30, 40, 5, 0, 0, 3, 4, 2, 0},
      {"no partner: no correction", 2, 1, 0, 0, 1, -1, 0, 0, 30, 40, 5, 0, 0, 3, 4, 2, 0},
      {"flying-auto-scroll setting adds the scroll", -5, 1, 0, 1, 1, -1, 0, 0, 30, 40, 5, 0, 0, -2,
       5, 1, 0},
      {"axes at their limits: no live speed", 2, 1, 1, 1, 1, 0, 0, 0, 30, 40, 5, 0, 0, 3, 4, 2, 0},
      {"intercept leads a partner above", 1, 0, 0, 0, 0, 1, 0, 0, 0, -100, 2, 0, 0, 1,
       -std::sqrt(3.0), 2, 0},
      {"intercept at both limits is the plain aim", 1, 0, 1, 0, 0, 1, 0, 0, 0, -100, 2, 0, 0, 0, -2,
       0, 0},
      {"intercept with no answer gives up", 5, 0, 0, 0, 0, 1, 0, 0, 0, -100, 2, 0, 1, 0, -2, 7, 0},
      {"own point under the intercept gives up", 1, 0, 0, 0, 0, 1, 50, 50, 50, 50, 3, 0, 1, 0, 0, 7,
       0},
      {"flee from a partner of the other kind", 2, 0, 0, 0, 0, 1, 100, 100, 100, 50, -4, 0, 0,
       r - 2, r, 2, 0},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.name);
    Scroll(c.sx, c.sy, c.atLimit);
    g_SystemData.m_bScrollCarry = c.carry;
    cObject partner;
    partner.m_bScreenBound = c.partnerBound > 0;
    double vx = 99, vy = 99;
    std::int32_t faceReq = 7;
    const int result =
        CalcAimVelocity(vx, vy, faceReq, c.partnerBound < 0 ? nullptr : &partner, c.fromX, c.fromY,
                        c.toX, c.toY, c.s, c.moverBound, c.noFlee, c.test);
    EXPECT_NEAR(vx, c.vx, 1e-12);
    EXPECT_NEAR(vy, c.vy, 1e-12);
    EXPECT_EQ(faceReq, c.faceReq);
    EXPECT_EQ(result, c.result);
  }
}

TEST_F(AimTest, MoveAlongOneAxisArrivesOnlyStrictlyWithinTheSpeed) {
  struct sCase {
    int axis;  // 0 x, 1 y
    double from, to, s;
    double v;
    int faceReq, result;
  };
  const sCase cases[] = {
      {0, 10, 10, 3, -3, 1, 1},  // level counts as "not below": move left
      {0, 10, 13, 3, 3, 2, 0},   // exactly |s| away is not yet there
      {0, 10, 12, 3, 3, 2, 1},  {0, 20, 10, 3, -3, 1, 0},
      {1, 10, 13, 3, 3, 0, 0},  {1, 10, 8, 3, -3, 0, 1},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.axis << " " << c.from << " -> " << c.to);
    double vx = 99, vy = 99;
    std::int32_t faceReq = 7;
    const int result = c.axis == 0
                           ? CalcMoveTowardX(vx, vy, faceReq, nullptr, c.from, c.to, c.s, 0, 1)
                           : CalcMoveTowardY(vx, vy, faceReq, nullptr, c.from, c.to, c.s, 0, 1);
    EXPECT_EQ(c.axis == 0 ? vx : vy, c.v);
    EXPECT_EQ(c.axis == 0 ? vy : vx, 0);
    EXPECT_EQ(faceReq, c.faceReq);
    EXPECT_EQ(result, c.result);
  }
  // A free mover follows a partner that moves with the screen only under the setting.
  cObject partner;
  partner.m_bScreenBound = 1;
  Scroll(2, 0);
  double vx = 0, vy = 0;
  std::int32_t faceReq = 0;
  CalcMoveTowardX(vx, vy, faceReq, &partner, 0, 50, 3, 0, 0);
  EXPECT_EQ(vx, 3);
  g_SystemData.m_bScrollCarry = 1;
  CalcMoveTowardX(vx, vy, faceReq, &partner, 0, 50, 3, 0, 0);
  EXPECT_EQ(vx, 5);
  CalcMoveTowardX(vx, vy, faceReq, &partner, 0, 50, 3, 1, 0);
  EXPECT_EQ(vx, 3);
}

// An object that notes where a move snapped it.
class cSnapProbe : public cObject {
 public:
  void SetCentreAndStop(int x, int y, cCmdRun* run) override {
    m_nSnapX = x;
    m_nSnapY = y;
    run->m_dVelX = run->m_dVelY = 0;
  }
  void SetCentreXAndStop(int x, cCmdRun*) override { m_nSnapX = x; }
  int m_nSnapX = -1, m_nSnapY = -1;
};

TEST_F(AimTest, MovesSnapOntoThePointOnlyWhenTheirRecordStopsThere) {
  cEdCmd cmd;
  NewMove(cmd.m_pMove);
  cCmdRun run;
  run.m_pCmd = &cmd;
  run.m_dSpeed = 4;
  cSnapProbe self;
  self.m_dX = 420;  // the camera stands at (320, 320): the cell is at (100, 200) on screen
  self.m_dY = 520;
  self.m_Rect.m_nWidth = self.m_Rect.m_nHeight = 32;  // centre (116, 216)
  self.UpdateScreenRect();
  cObject partner;

  // Arrived, but the record does not stop: the velocity is the plain aim.
  EXPECT_EQ(self.MoveToward(run, &partner, 118.9, 213, 0, 1), 1);
  EXPECT_EQ(self.m_nSnapX, -1);
  EXPECT_NEAR(run.m_dVelX, 4 * 2.9 / std::hypot(2.9, 3.0), 1e-12);

  cmd.m_pMove->m_bStopAtTarget = 1;
  EXPECT_EQ(self.MoveToward(run, &partner, 118.9, 213, 0, 1), 1);
  EXPECT_EQ(self.m_nSnapX, 118);
  EXPECT_EQ(self.m_nSnapY, 213);
  EXPECT_EQ(run.m_dVelX, 0);
  // Not arrived: no snap.
  self.m_nSnapX = -1;
  EXPECT_EQ(self.MoveTowardX(run, &partner, 120, 0, 1), 0);
  EXPECT_EQ(self.m_nSnapX, -1);
  EXPECT_EQ(self.MoveTowardX(run, &partner, 119, 0, 1), 1);
  EXPECT_EQ(self.m_nSnapX, 119);

  // The attach point: the cell centre plus the command's offset, locked axes left alone.
  run.m_nTargetX = 5;
  run.m_nTargetY = -6;
  double x = 1, y = 2;
  self.GetAttachPos(x, y, run);
  EXPECT_EQ(x, 121);
  EXPECT_EQ(y, 210);
  cmd.m_pMove->m_bLockY = 1;
  x = 1, y = 2;
  self.GetAttachPos(x, y, run);
  EXPECT_EQ(x, 121);
  EXPECT_EQ(y, 2);
}

class SearchTest : public AimTest {
 protected:
  // A present character not finished, on the screen or not, with its cell centre at (x, y).
  cCharaBase& Add(int number, int x, int y, int onScreen = 1) {
    cCharaBase& c = m_Charas.emplace_back();
    c.m_nNumber = number;
    c.m_bPresent = 1;
    c.m_bOnScreen = onScreen;
    c.m_Vars.assign(kCharaVariables, 0);
    c.m_Rect.m_nWidth = c.m_Rect.m_nHeight = 32;
    c.m_Rect.m_nLeft = x - 16;
    c.m_Rect.m_nTop = y - 16;
    m_List.push_back(&c);
    return c;
  }
  cCharaBase* Nearest(int mode, int x = 0, int y = 0) {
    return FindNearestChara(x, y, m_List, mode, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  }
  std::list<cCharaBase> m_Charas;
  cList<cCharaBase*> m_List;
};

TEST_F(SearchTest, NearestByModePrefersTheScreenAndTheEarlierOfEqualDistances) {
  cCharaBase& offNear = Add(1, 10, 0, 0);
  cCharaBase& onFar = Add(2, 300, 0);
  cCharaBase& onTie = Add(3, 0, 300);  // as far as onFar, later in the list
  EXPECT_EQ(Nearest(NEAREST_SCREEN_FIRST), &onFar);
  EXPECT_EQ(Nearest(NEAREST_ALL), &offNear);
  EXPECT_EQ(Nearest(NEAREST_SCREEN), &onFar);
  EXPECT_EQ(Nearest(3), nullptr);
  EXPECT_EQ(Nearest(-1), nullptr);
  onFar.m_bFinished = 1;
  EXPECT_EQ(Nearest(NEAREST_SCREEN), &onTie);
  onTie.m_bPresent = 0;
  // Nobody qualifies on the screen: the nearest off it.
  Add(4, 500, 500, 0);
  EXPECT_EQ(Nearest(NEAREST_SCREEN_FIRST), &offNear);
  EXPECT_EQ(Nearest(NEAREST_SCREEN), nullptr);
}

TEST_F(SearchTest, FiltersTable) {
  cCharaBase& a = Add(1, 10, 0);
  cCharaBase& b = Add(2, 20, 0);
  a.m_Def.m_nCharaId = 200;  // the byte of ID -56
  a.m_Vars[3] = 12;
  b.m_Vars[3] = 7;
  struct sCase {
    const char* name;
    int idTest, id, varTest, var, value, compare, skipSelf, inv1, inv2, block;
    cCharaBase* expected;
  };
  const sCase cases[] = {
      {"no filter", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, &a},
      {"ID as a signed byte", 1, -56, 0, 0, 0, 0, 0, 0, 0, 0, &a},
      {"ID of nobody", 1, 5, 0, 0, 0, 0, 0, 0, 0, 0, nullptr},
      {"skip self", 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, &b},
      {"variable equal", 0, 0, 1, 3, 7, 0, 0, 0, 0, 0, &b},
      {"variable greater", 0, 0, 1, 3, 7, 4, 0, 0, 0, 0, &a},
      {"divisible by 0 always holds", 0, 0, 1, 3, 0, 6, 0, 0, 0, 0, &a},
      {"not divisible by 0 never holds", 0, 0, 1, 3, 0, 7, 0, 0, 0, 0, nullptr},
      {"divisible by 4", 0, 0, 1, 3, 4, 6, 0, 0, 0, 0, &a},
      {"comparison 8 never holds", 0, 0, 1, 3, 0, 8, 0, 0, 0, 0, nullptr},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FindNearestChara(0, 0, m_List, NEAREST_ALL, c.idTest, static_cast<std::int8_t>(c.id),
                               c.varTest, static_cast<std::int16_t>(c.var), c.value, c.compare,
                               c.skipSelf, c.inv1, c.inv2, c.block, 1),
              c.expected);
    EXPECT_EQ(FindCharaByStatus(m_List, c.idTest, static_cast<std::int8_t>(c.id), c.varTest,
                                static_cast<std::int16_t>(c.var), c.value, c.compare, c.skipSelf,
                                c.inv1, c.inv2, c.block, 1),
              c.expected);
  }
  a.m_Def.m_nInvincible = 1;
  b.m_Def.m_nInvincible = 2;
  EXPECT_EQ(FindCharaByStatus(m_List, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0), &b);
  EXPECT_EQ(FindCharaByStatus(m_List, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0), nullptr);
  a.m_Def.m_nInvincible = 0;
  a.m_Def.m_bNoHitBox = 1;
  EXPECT_EQ(FindCharaByStatus(m_List, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0), &b);
  // The first match ignores presence and the screen, but not a finished character.
  a.m_Def.m_bNoHitBox = 0;
  a.m_bPresent = a.m_bOnScreen = 0;
  EXPECT_EQ(FindCharaByStatus(m_List, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), &a);
  a.m_bFinished = 1;
  EXPECT_EQ(FindCharaByStatus(m_List, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), &b);
}

TEST_F(SearchTest, TheNewestMatchingLinkWins) {
  cCharaBase& old = Add(1, 0, 0);
  cCharaBase& other = Add(2, 0, 0);
  cCharaBase& newest = Add(3, 0, 0);
  other.m_nGroup = 5;
  const cVector<sTargetRef> links = {
      {&old, kOwnerSlot}, {nullptr, kOwnerSlot}, {&other, kOwnerSlot}, {&newest, 1}};
  const auto find = [&](int slot, int group, int all) {
    return FindLinkedCharaByStatus(links, slot, group, all, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  };
  EXPECT_EQ(find(kOwnerSlot, 0, 1), &other);
  EXPECT_EQ(find(kOwnerSlot, 0, 0), &old);
  EXPECT_EQ(find(1, 0, 1), &newest);
  EXPECT_EQ(find(2, 0, 1), nullptr);
  other.m_bFinished = 1;
  EXPECT_EQ(find(kOwnerSlot, 5, 0), nullptr);
}

TEST_F(SearchTest, ShotSearchFollowsTheOnScreenHitsSwitch) {
  cScopedValue<std::int32_t> onScreenHits(g_Stage.m_bHitOnlyActive, 1);
  cCharaBase& off = Add(1, 5, 0, 0);
  cCharaBase& inv2 = Add(2, 6, 0);
  Add(3, 400, 0).m_Def.m_nInvincible = 1;
  inv2.m_Def.m_nInvincible = 2;
  EXPECT_EQ(FindNearestDefault(0, 0, m_List), &m_Charas.back());
  g_Stage.m_bHitOnlyActive = 0;
  EXPECT_EQ(FindNearestDefault(0, 0, m_List), &m_Charas.back());  // the screen first
  m_Charas.back().m_bOnScreen = 0;
  EXPECT_EQ(FindNearestDefault(0, 0, m_List), &off);
}

}  // namespace
