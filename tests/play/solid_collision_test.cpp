#include "play/solid_collision.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../support/temp_folder.h"
#include "foundation/report.h"
#include "stage_fixture.h"

namespace {

// A 20 x 15 stage set up for real with a hero somewhere else; the object under test is a
// computer character of 16 x 32 at map pixel (500, 500), its box 500..515 x 500..531, not in
// the character list. Solid characters are added to the list with their own boxes.
class SolidTest : public cStageFixture {
 protected:
  void Build(int speedLevel) {
    g_CharaList.clear();
    g_Stage.m_PlacedCharas = CharaVector({Chara(0, 1, 1)});
    SetUpStage(speedLevel);
    next = 100;
    object = std::make_unique<cChara>();
    object->m_nNumber = 900;
    object->m_nControl = 1;
    object->SetMoveKind(MOVE_GROUND);
    Place(*object, 500, 500, 16, 32);
    object->SavePos();
  }
  static void Place(cCharaBase& o, double x, double y, int w, int h) {
    o.m_nWidth = o.m_nBaseWidth = w;
    o.m_nHeight = o.m_nBaseHeight = h;
    o.m_dX = x;
    o.m_dY = y;
    o.ClampX(CLAMP_MAP);
    o.ClampY(CLAMP_MAP);
  }
  cChara& Solid(double x, double y, int w, int h, double vx = 0, double vy = 0) {
    cChara& c = g_CharaList.emplace_back();
    c.m_nNumber = next++;
    c.m_nControl = 1;
    c.m_Def.m_bNoHitBox = 1;
    c.m_bPresent = 1;
    Place(c, x, y, w, h);
    c.m_dVX = vx;
    c.m_dVY = vy;
    c.SavePos();
    return c;
  }
  // A block in the map cell (16, 16), where the object's bottom-right corner lies.
  static void BlockAtCorner() { Put(6, 6, BLOCK_HIT_SOLID); }

  std::unique_ptr<cChara> object;
  int next = 100;
};

struct sSolidCase {
  const char* name;
  std::function<void(cChara& o)> setUp;  // adds the solid characters, may change the object
  int result;
  double x, y, vy;
  int left, right, top, bottom, riding;
};

TEST_F(SolidTest, PushOutSituations) {
  // Shapes used below: a platform under the feet (490..530 x 525..540), a character over the
  // head (490..530 x 485..505), and characters beside the upper or the lower half.
  auto platform = [this](double vy) { return &Solid(490, 525, 41, 16, 0, vy); };
  auto above = [this](double vy) { return &Solid(490, 485, 41, 21, 0, vy); };
  const std::vector<sSolidCase> cases = {
      {"a wall block on the left and a solid character on the right crush it",
       [&](cChara& o) {
         o.m_bContactLeft = 1;
         Solid(514, 490, 30, 20);
       },
       2, 497.5, 500, 0, 1, 1, 0, 0, 0},
      {"a ceiling block and a rising platform crush it",
       [&](cChara& o) {
         o.m_bContactTop = 1;
         platform(-1);
       },
       2, 500, 493, 0, 0, 0, 1, 1, 1},
      {"wedged at the head: put under the first character over its upper half",
       [&](cChara&) {
         Solid(480, 490, 21, 16, 0, 0.25);
         Solid(515, 490, 21, 16);
       },
       0, 500, 506, 0.25, 0, 0, 0, 0, 0},
      {"wedged at the feet with nothing over the head: stays",
       [&](cChara&) {
         Solid(480, 520, 21, 12);
         Solid(515, 520, 21, 12);
       },
       0, 500, 500, 0, 0, 0, 0, 0, 0},
      {"a rising platform lifts it and it rides", [&](cChara&) { platform(-1); }, 0, 500, 493,
       0, 0, 0, 0, 1, 1},
      {"a rising character above pushes it down into free room", [&](cChara&) { above(-1); }, 0,
       500, 506, -1, 0, 0, 0, 0, 0},
      {"... not into another solid character: only the side push",
       [&](cChara&) {
         above(-1);
         Solid(514, 520, 27, 12);
       },
       0, 497.5, 500, 0, 0, 1, 0, 0, 0},
      {"... not into a block (older nudge: by contacts, none here)",
       [&](cChara&) {
         g_SystemData.bCompatSolidPush2 = 1;
         BlockAtCorner();
         above(-1);
       },
       0, 500, 500, 0, 0, 0, 0, 0, 0},
      {"a platform moving down does not land a rider whose corners meet a block",
       [&](cChara& o) {
         g_SystemData.bCompatSolidPush2 = 1;
         BlockAtCorner();
         o.m_bRiding = 1;
         platform(1);
       },
       0, 500, 500, 0, 0, 0, 0, 0, 0},
      {"equal stands: the first keeps its own speed, so no probe refuses the landing",
       [&](cChara&) {
         g_SystemData.bCompatSolidPush2 = 1;
         BlockAtCorner();
         Solid(490, 528, 20, 16, 0, 0);
         Solid(510, 528, 21, 16, 0, 0.5);
       },
       0, 500, 496, 0, 0, 0, 0, 0, 1},
      {"flying, passing through: nothing",
       [&](cChara& o) {
         o.SetMoveKind(MOVE_FLY_THROUGH);
         Solid(470, 490, 32, 51);
       },
       0, 500, 500, 0, 0, 0, 0, 0, 0},
      {"flying, dying on contact: crushed by any push",
       [&](cChara& o) {
         o.SetMoveKind(MOVE_FLY_DIE);
         Solid(470, 490, 32, 51);
       },
       2, 500, 500, 0, 1, 0, 0, 0, 0},
      {"flying, colliding: pushed out sideways",
       [&](cChara& o) {
         o.SetMoveKind(MOVE_FLY);
         Solid(470, 490, 32, 51);
       },
       0, 502, 500, 0, 1, 0, 0, 0, 0},
      {"flying: a push from a character moving away is refused and the other axis probed",
       [&](cChara& o) {
         o.SetMoveKind(MOVE_FLY);
         Solid(470, 490, 32, 51, -1, 0);
       },
       0, 500, 458, 0, 0, 0, 1, 1, 0},
      {"an empty list unrides a rider",
       [&](cChara& o) {
         o.m_bRiding = 1;
         o.m_dVY = 0.3;
       },
       0, 500, 500, 0, 0, 0, 0, 0, 0},
  };
  for (const sSolidCase& c : cases) {
    Build(1);
    c.setUp(*object);
    cChara& o = *object;
    EXPECT_EQ(PushOutOfSolidCharacters(o), c.result) << c.name;
    EXPECT_DOUBLE_EQ(o.m_dX, c.x) << c.name;
    EXPECT_DOUBLE_EQ(o.m_dY, c.y) << c.name;
    EXPECT_DOUBLE_EQ(o.m_dVY, c.vy) << c.name;
    EXPECT_EQ(o.m_bContactLeft, c.left) << c.name;
    EXPECT_EQ(o.m_bContactRight, c.right) << c.name;
    EXPECT_EQ(o.m_bContactTop, c.top) << c.name;
    EXPECT_EQ(o.m_bContactBottom, c.bottom) << c.name;
    EXPECT_EQ(o.m_bRiding, c.riding) << c.name;
    if (c.riding) {
      EXPECT_EQ(o.m_nRiddenNumber, 100) << c.name;
    }
  }
}

TEST_F(SolidTest, AFastFallOntoAPlatformLandsAndIsTraced) {
  for (int level : {1, 10}) {
    Build(level);
    std::remove("EC_Game.txt");
    ErrLogSetup(1, "EC_Game.txt");
    cChara& o = *object;
    // It was 20 pixels higher at the sub-step's start and has sunk into the platform's top.
    o.m_SavedExtent = sDRect{500, 480, 515, 511};
    o.m_dVY = 2.5 / g_dHitLevel;  // above 2 pixels a frame
    Solid(490, 505, 41, 16);
    EXPECT_EQ(PushOutOfSolidCharacters(o), 0);
    ErrLogSetup(0, "EC_Game.txt");
    EXPECT_DOUBLE_EQ(o.m_dY, 505 - 32);
    EXPECT_EQ(o.m_bRiding, 1);
    EXPECT_EQ(ReadLines("EC_Game.txt"), std::vector<std::string>{"D Hit"}) << level;
  }
}

TEST_F(SolidTest, OlderProjectsKeepThePushUnderACharacterAndNudgeByContacts) {
  struct sCase {
    int compat808, compat818;
    double pushY, y;
  };
  // A rising character above pushes the object down from 470 to 496, where its lower-left
  // corner meets a block deep inside; the nudge of newer projects moves it up by 15 tenths.
  double nudged = 496;
  for (int i = 0; i < 15; ++i) nudged = nudged - 0.1;
  const sCase cases[] = {{0, 0, 0, nudged}, {1, 0, -2, nudged}, {0, 1, 0, 496}};
  for (const sCase& c : cases) {
    Build(1);
    g_SystemData.bCompatSolidPush = c.compat808;
    g_SystemData.bCompatSolidPush2 = c.compat818;
    cChara& o = *object;
    Place(o, 500, 470, 16, 32);
    o.SavePos();
    o.m_dPushY = -2;
    Solid(490, 455, 41, 41, 0, -1);
    Put(5, 6, BLOCK_HIT_SOLID);  // map cell (15, 16)
    EXPECT_EQ(PushOutOfSolidCharacters(o), 0);
    EXPECT_DOUBLE_EQ(o.m_dPushY, c.pushY) << c.compat808;
    EXPECT_DOUBLE_EQ(o.m_dY, c.y) << c.compat818;
    EXPECT_EQ(o.m_bHeadBumped, 1);
  }
}

TEST_F(SolidTest, ARiderIsCarriedAndChangesPlatformsWithinFivePixels) {
  for (int flying : {0, 1}) {
    Build(1);
    cChara& o = *object;
    cChara& p = Solid(490, 525, 41, 16);
    p.m_bNoGravity = flying;
    ASSERT_EQ(PushOutOfSolidCharacters(o), 0);
    ASSERT_EQ(o.m_bRiding, 1);
    ASSERT_DOUBLE_EQ(o.m_dY, 493);

    // The platform moves by (3, -2): the rider takes its step, vertically only from a flyer.
    Place(p, 493, 523, 41, 16);
    o.m_dVX = 0.5;
    o.m_dVY = 0.25;
    RideAlong(o);
    EXPECT_DOUBLE_EQ(o.m_dVX, 3.5);
    EXPECT_DOUBLE_EQ(o.m_dVY, flying ? -2 : 0.25);

    // Standing 2 pixels above it the ride goes on and the ridden box follows.
    Place(o, 503, 491 - 2, 16, 32);
    o.ClearContacts();
    EXPECT_EQ(PushOutOfSolidCharacters(o), 0);
    EXPECT_EQ(o.m_bRiding, 1);
    EXPECT_DOUBLE_EQ(o.m_RiddenBox.m_dLeft, 493);
    EXPECT_DOUBLE_EQ(o.m_RiddenBox.m_dTop, 523);

    // Another platform 5 pixels below once the first is gone: it rides that one.
    Place(p, 900, 900, 41, 16);
    cChara& q = Solid(480, 489 + 32 + 4, 60, 16);
    EXPECT_EQ(PushOutOfSolidCharacters(o), 0);
    EXPECT_EQ(o.m_bRiding, 1);
    EXPECT_EQ(o.m_nRiddenNumber, q.m_nNumber);

    // Nothing within 5 pixels: the ride ends.
    Place(q, 480, 489 + 32 + 6, 60, 16);
    EXPECT_EQ(PushOutOfSolidCharacters(o), 0);
    EXPECT_EQ(o.m_bRiding, 0);
    EXPECT_EQ(o.m_bDismounted, 1);
  }
}

TEST_F(SolidTest, OverlapTestsSkipItselfTheGivenNumberAndNonSolids) {
  Build(1);
  cChara& o = *object;
  cChara& a = Solid(510, 520, 20, 20);
  EXPECT_EQ(OverlapsSolidCharacter(o, g_CharaList), 1);
  EXPECT_EQ(OverlapsOtherSolidCharacter(o, a.m_nNumber), 0);
  EXPECT_EQ(FindCharacterBelow(o), &a);
  a.m_bFinished = 1;
  EXPECT_EQ(OverlapsSolidCharacter(o, g_CharaList), 0);
  a.m_bFinished = 0;
  a.m_nNumber = o.m_nNumber;  // itself
  EXPECT_EQ(OverlapsSolidCharacter(o, g_CharaList), 0);
  a.m_nNumber = 100;
  o.SetMoveKind(MOVE_FLY_THROUGH);
  EXPECT_EQ(OverlapsSolidCharacter(o, g_CharaList), 0);
  // Squeezed: every corner, now or at the start, inside some solid character.
  o.SetMoveKind(MOVE_GROUND);
  g_CharaList.clear();
  EXPECT_EQ(IsSqueezedBySolids(o, sDRect{500, 500, 515, 531}), 0);
  Solid(490, 490, 20, 60);
  EXPECT_EQ(IsSqueezedBySolids(o, sDRect{500, 500, 515, 531}), 0);
  Solid(510, 490, 20, 60);
  EXPECT_EQ(IsSqueezedBySolids(o, sDRect{500, 500, 515, 531}), 1);
}

TEST_F(SolidTest, TheSolidCharactersFollowTheListAndSetUps) {
  Build(1);
  cChara& o = *object;
  cChara& a = Solid(510, 520, 20, 20);
  EXPECT_EQ(FindCharacterBelow(o), &a);
  // One put before it in the list is found first; once that one is gone, the other again.
  cChara& b = Solid(505, 520, 20, 20);
  EXPECT_EQ(FindCharacterBelow(o), &a);
  g_CharaList.push_front(cChara(b));
  g_CharaList.pop_back();
  EXPECT_EQ(FindCharacterBelow(o), &g_CharaList.front());
  g_CharaList.pop_front();
  EXPECT_EQ(FindCharacterBelow(o), &a);
  // A character set up from a solid definition is solid; set up again from another, not.
  cChara& c = g_CharaList.emplace_front();
  EXPECT_EQ(FindCharacterBelow(o), &a);
  cEdChara def;
  def.m_bNoHitBox = 1;
  c.Reset(&def, 0, 0, 0);
  c.m_nNumber = next++;
  c.m_bPresent = 1;
  Place(c, 500, 520, 20, 20);
  EXPECT_EQ(FindCharacterBelow(o), &c);
  def.m_bNoHitBox = 0;
  c.Reset(&def, 0, 0, 0);
  c.m_bPresent = 1;
  Place(c, 500, 520, 20, 20);
  EXPECT_EQ(FindCharacterBelow(o), &a);
}

}  // namespace
