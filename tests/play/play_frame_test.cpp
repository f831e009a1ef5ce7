#include "play/play_frame.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "../support/temp_folder.h"
#include "content/command.h"
#include "flows/status_ops.h"
#include "foundation/report.h"
#include "foundation/status_arith.h"
#include "foundation/timer.h"
#include "objects/chara_flows.h"
#include "objects/play_units.h"
#include "play/spawn.h"
#include "stage_end_fixture.h"
#include "stage_fixture.h"

namespace {

// The shared every-60th counter starts from 0 and is left at 0.
class cCountGuard {
 public:
  cCountGuard() { CountEvery(0, 0); }
  ~cCountGuard() { CountEvery(0, 0); }
  cCountGuard(const cCountGuard&) = delete;
  cCountGuard& operator=(const cCountGuard&) = delete;
};

TEST(FrameTimes, TimeFallsEverySixtiethCallAndReportsZeroAgainEverySixty) {
  cCountGuard guard;
  cPlayScene scene;
  scene.m_nTime = 2;
  std::vector<int> outs;
  for (int call = 1; call <= 240; ++call)
    if (CountTime(scene, -1)) outs.push_back(call);
  EXPECT_EQ(outs, (std::vector<int>{120, 180, 240}));
  EXPECT_EQ(scene.m_nTime, 0);

  // Above 999 the time holds; without a limit nothing is counted at all.
  scene.m_nTime = 999;
  for (int call = 0; call < 60; ++call) EXPECT_EQ(CountTime(scene, 1), 0);
  EXPECT_EQ(scene.m_nTime, 999);
  scene.m_bNoTimeLimit = 1;
  scene.m_nTime = 0;
  for (int call = 0; call < 120; ++call) EXPECT_EQ(CountTime(scene, -1), 0);
}

TEST(FrameTimes, PlayTimeInHundredthsStopsAtItsLimit) {
  struct sCase {
    int frames, time;  // before the call
    int wantFrames, wantTime;
  };
  const sCase cases[] = {
      {0, 0, 1, 1},
      {59, 98, 60, 100},
      {359998, 599996, 359999, 599998},
      {359999, 599998, 360000, 599999},
      {360000, 599999, 360000, 599999},  // at the limit nothing is counted
      {INT_MAX - 1, 0, INT_MAX, 599999},
  };
  for (const sCase& c : cases) {
    cPlayScene scene;
    scene.m_nPlayFrames = c.frames;
    scene.m_nPlayTime = c.time;
    CountPlayTime(scene);
    EXPECT_EQ(scene.m_nPlayFrames, c.wantFrames) << c.frames;
    EXPECT_EQ(scene.m_nPlayTime, c.wantTime) << c.frames;
  }
}

// A small stage set up for real: a hero and computer characters on a 20 x 15 map.
class FrameTest : public cStageFixture {
 protected:
  void Build(int speedLevel, int characters) {
    CharaVector placed;
    heroDef = Chara(0, 2, 3);
    heroDef.m_nFlyMode = 0;
    placed.push_back(heroDef);
    for (int i = 0; i < characters; ++i) placed.push_back(Flyer(1, 5 + i, 3));
    if (firstSolid && characters > 0) placed[1].m_bNoHitBox = 1;
    g_Stage.m_PlacedCharas = placed;
    SetUpStage(speedLevel);
    ASSERT_FALSE(g_Heroes.empty());
    cHero& hero = g_Heroes.front();
    hero.SetUpFromDef(0, heroDef, (2 + 10) * 32, (3 + 10) * 32, 0);
    hero.m_HP.m_nValue = 10;
    // A floor under everyone.
    cEdBlock floor;
    floor.m_sGraphic = 1;
    for (int column = 0; column < 20; ++column) SetMapCellBlock(*MapCellAtBlock(column, 5), floor);
    scene.m_nPhase = PLAYPHASE_PLAY;
  }
  static cEdChara Flyer(int control, int column, int row) {
    cEdChara c = Chara(control, column, row);
    c.m_nFlyMode = 2;
    return c;
  }
  void Frame(int buttons = 0) {
    g_Inputs.front().m_wButton = static_cast<std::int16_t>(buttons);
    scene.PhasePlay();
  }
  // The command that sets the HP of the object in target slot 2 to 0.
  static cEdCmd TakeHP() {
    cEdCmd take;
    take.m_nKind = CMD_STATUS_OP;
    take.m_Params.assign(CmdParamCount(CMDSET_CHARA, CMD_STATUS_OP), 0);
    take.m_Params[3] = STATUS_OBJ_TARGET2;
    take.m_Params[4] = STATUS_HP;
    take.m_Params[5] = ASSIGN_SET;
    return take;
  }
  // Gives killer a flow that runs the command every sub-step, with victim in target slot 2.
  static void Aim(cChara& killer, cChara& victim, const cEdCmd& cmd) {
    cEdFlow flow;
    flow.m_nTrigger = TRIGGER_ALWAYS;
    flow.m_Cmds.push_back(cmd);
    killer.m_Def.m_Flows.push_back(flow);
    SetupFlows(killer, killer.m_Def.m_Flows, 0, -1);
    SetTarget(killer, 1, &victim, 0);
  }

  cCountGuard count;
  cEdChara heroDef;
  bool firstSolid = false;  // the first computer character is solid
};

TEST_F(FrameTest, ALifeTimerOfZeroGoesInTheNextFramesFirstSubStep) {
  for (int level : {1, 10}) {
    Build(level, 2);
    ASSERT_EQ(g_CharaList.size(), 2u);
    g_CharaList.front().m_nLife = 1;
    Frame();
    if (level == 1) {
      // One sub-step a frame: the timer is at 0 and the character stays for this frame.
      EXPECT_EQ(g_CharaList.size(), 2u);
      EXPECT_EQ(g_CharaList.front().m_nLife, 0);
      Frame();
    }
    EXPECT_EQ(g_CharaList.size(), 1u) << level;
    EXPECT_EQ(g_CharaList.front().m_nLife, INT_MAX);
    EXPECT_EQ(scene.m_nSubStepTotal, level == 1 ? 2 : 10);
  }
}

TEST_F(FrameTest, ButtonsHeldThroughTheWaitForReleaseGiveNoInput) {
  Build(1, 0);
  scene.m_bWaitRelease = 1;
  Frame(1);
  EXPECT_EQ(g_Inputs.front().m_wButton, 0);
  EXPECT_EQ(scene.m_bWaitRelease, 1);
  Frame(0);
  EXPECT_EQ(scene.m_bWaitRelease, 0);
  Frame(1);
  EXPECT_EQ(g_Inputs.front().m_wButton, 1);
}

TEST_F(FrameTest, ATwoSecondLimitDefeatsTheHeroAtPlayFrame120) {
  for (int level : {1, 10}) {
    Build(level, 0);
    CountEvery(0, 0);
    scene.m_bNoTimeLimit = 0;
    scene.m_nTime = 2;
    scene.m_nPlayFrames = 0;
    scene.m_nPlayTime = 0;
    const cHero& hero = g_Heroes.front();
    for (int frame = 1; frame < 120; ++frame) Frame();
    // It fell onto the floor and stands on it.
    EXPECT_EQ(static_cast<int>(hero.m_dBottom), (5 + 10) * 32 - 1);
    EXPECT_EQ(hero.m_bFinished, 0) << level;
    const int subSteps = scene.m_nSubStepTotal;
    Frame();
    EXPECT_EQ(hero.m_bFinished, 1) << level;
    EXPECT_EQ(scene.m_nPlayFrames, 120);
    EXPECT_EQ(scene.m_nSubStepTotal, subSteps);  // the frame ended before its sub-steps
  }
}

TEST_F(FrameTest, ACharacterRemovedByTheDefeatCheckOfAnotherMidPassIsSkipped) {
  Build(1, 3);
  auto second = std::next(g_CharaList.begin());
  Aim(g_CharaList.front(), *second, TakeHP());
  second->m_bRemoveReq = 1;  // goes when the first one's check runs
  Frame();
  EXPECT_EQ(g_CharaList.size(), 2u);
  EXPECT_EQ(scene.m_nSubStepTotal, 1);
}

TEST_F(FrameTest, QuitAndPauseEndTheFrameBeforeItCounts) {
  Build(1, 0);
  scene.m_bQuit = 1;
  Frame();
  EXPECT_TRUE(platform::IsCloseRequested());
  EXPECT_EQ(scene.m_nFrame, 0);
  scene.m_bQuit = 0;
  Frame();
  EXPECT_EQ(scene.m_nFrame, 1);
  EXPECT_EQ(scene.m_nPlayFrames, 1);
}

TEST_F(FrameTest, FarOffCharactersGoInTheFirstSubStepOfEveryFrame) {
  for (int level : {1, 10}) {
    for (int areaOn : {0, 1}) {
      g_Stage.m_EraseArea[ERASE_CHARA].Set(0, areaOn, 0, 0, 0, 0, 0, 0);
      Build(level, 2);
      cChara& far = g_CharaList.back();
      far.m_dX = 1100;  // right of the screen (map pixels 320 to 959)
      far.OnPosChangedX();
      Frame();
      EXPECT_EQ(g_CharaList.size(), areaOn ? 1u : 2u) << level;
      EXPECT_EQ(scene.m_nSubStepTotal, level);
    }
  }
}

TEST_F(FrameTest, ACharacterItsOwnPassDefeatsGoesWhenThePassMovesOn) {
  Build(10, 3);
  scene.m_bCheckDefeats = 1;
  cChara& first = g_CharaList.front();
  for (cChara& c : g_CharaList) c.m_HP.m_nValue = 5;
  first.m_HP.m_nValue = 0;
  Frame();
  EXPECT_EQ(g_CharaList.size(), 2u);
  EXPECT_EQ(g_Heroes.front().m_bFinished, 0);
  EXPECT_EQ(scene.m_nSubStepTotal, 10);
}

// The first character's flow takes the HP of the character in its target slot 2. The defeat
// check it asks for runs once: the next flows to run, a character's or the hero's, take the
// notice back, so the defeated character, kept for its defeat effect, is heard once.
TEST_F(FrameTest, ADefeatByACommandIsCheckedOnceAndTheNextFlowsTakeTheNoticeBack) {
  for (int level : {1, 10}) {
    SCOPED_TRACE(testing::Message() << "level " << level);
    Build(level, 3);
    cSoundLog sounds;
    g_SystemData.m_bClearEndsFrame = 1;  // defeated characters stay for their defeat effect
    ASSERT_EQ(g_CharaList.size(), 3u);
    cChara& killer = g_CharaList.front();
    cChara& victim = *std::next(g_CharaList.begin());
    cChara& last = g_CharaList.back();
    for (cChara& c : g_CharaList) c.m_HP.m_nValue = 5;
    const cEdCmd take = TakeHP();
    Aim(killer, victim, take);

    // The command asks for the check; the flows of the next character and of the hero take
    // the notice back.
    cEdCmd once = take;
    ExecStatusOperation(&killer, once);
    EXPECT_EQ(victim.m_HP.m_nValue, 0);
    EXPECT_EQ(scene.m_bCheckDefeats, 1);
    last.RunFlows(0);
    EXPECT_EQ(scene.m_bCheckDefeats, 0);
    scene.m_bCheckDefeats = 1;
    g_Heroes.front().RunFlows(0);
    EXPECT_EQ(scene.m_bCheckDefeats, 0);

    // It has no defeat effect to show: the drawing removes it once defeated.
    victim.m_HP.m_nValue = 5;
    for (int f = 0; f < 3; ++f) Frame();
    EXPECT_EQ(g_CharaList.size(), 2u);
    EXPECT_EQ(cSoundLog::Count(9), 1);
    EXPECT_EQ(g_Heroes.front().m_bFinished, 0);
  }
}

TEST_F(FrameTest, AHeroPushedIntoADeadlyBlockDiesOrSurvivesByItsFlyChangeTimer) {
  for (int timer : {0, 5}) {
    Build(10, 1);
    for (int f = 0; f < 30; ++f) Frame();  // it lands on the floor
    cHero& hero = g_Heroes.front();
    ASSERT_EQ(static_cast<int>(hero.m_dBottom), (5 + 10) * 32 - 1);
    // A deadly wall one column left of it, and a solid flying character reaching 11 pixels
    // into its upper half from the right, which pushes it into the wall.
    Put(1, 3, BLOCK_HIT_DEADLY);
    Put(1, 4, BLOCK_HIT_DEADLY);
    cChara& solid = g_CharaList.front();
    solid.m_Def.m_bNoHitBox = 1;
    solid.m_PassDef = PassDefOf(solid.m_Def);
    ++g_nCharaChangeCount;  // a definition changed outside a set-up
    solid.m_dX = hero.m_dRight - 10;
    solid.m_dY = hero.m_dY - 4;
    solid.OnPosChangedX();
    solid.OnPosChangedY();
    hero.m_nFlyChangeTimer = timer;
    std::remove("EC_Game.txt");
    ErrLogSetup(1, "EC_Game.txt");
    const int subSteps = scene.m_nSubStepTotal;
    Frame();
    ErrLogSetup(0, "EC_Game.txt");
    EXPECT_EQ(scene.m_nSubStepTotal, subSteps + 1);  // the frame ends in its first sub-step
    EXPECT_EQ(hero.m_bFinished, timer == 0 ? 1 : 0);
    EXPECT_EQ(ReadLines("EC_Game.txt"),
              timer == 0 ? std::vector<std::string>{"Dead 7"} : std::vector<std::string>{});
  }
}

// The solid characters' pass walks their nodes alone while no character comes or goes, and
// the list from the next node on once one does: each character is stepped once a sub-step,
// solid ones first, all in list order. Each records its number in the hero's variable 1.
TEST_F(FrameTest, SolidCharactersAreSteppedOnceInListOrderWhileOthersComeAndGo) {
  for (bool removeSecond : {false, true}) {
    Build(1, 5);
    g_Heroes.front().m_Vars[1] = 0;
    int number = 0;
    for (cChara& c : g_CharaList) {
      c.m_HP.m_nValue = 5;
      ++number;
      if (number <= 3) {
        c.m_Def.m_bNoHitBox = 1;
        c.m_PassDef = PassDefOf(c.m_Def);
      }
      cEdCmd code;
      code.m_nKind = CMD_CODE;
      code.m_Params.assign(CmdParamCount(CMDSET_CHARA, CMD_CODE), 0);
      code.m_strText = "pl.v1 = pl.v1 * 10 + " + std::to_string(number);
      cEdFlow flow;
      flow.m_nTrigger = TRIGGER_ALWAYS;
      flow.m_Cmds.push_back(code);
      c.m_Def.m_Flows.push_back(flow);
      SetupFlows(c, c.m_Def.m_Flows, 0, -1);
    }
    ++g_nCharaChangeCount;  // definitions changed outside a set-up
    auto second = std::next(g_CharaList.begin());
    if (removeSecond) {
      // The first one's defeat check takes the second one out in the middle of the pass.
      Aim(g_CharaList.front(), *second, TakeHP());
      second->m_bRemoveReq = 1;
    }
    Frame();
    EXPECT_EQ(scene.m_nSubStepTotal, 1);
    EXPECT_EQ(g_Heroes.front().m_Vars[1], removeSecond ? 1345 : 12345);
    EXPECT_EQ(g_CharaList.size(), removeSecond ? 4u : 5u);
  }
}

// The passes read a character's solidity, appearance conditions and activation switch from
// a copy kept beside its flags: every way a character gets its definition (the stage's
// set-up, a summon, a new set-up, a copy) must leave the copy as the definition says.
TEST_F(FrameTest, ThePassSettingsFollowEveryNewDefinition) {
  firstSolid = true;
  Build(10, 2);
  auto matches = [](const cCharaBase& c) { return c.m_PassDef == PassDefOf(c.m_Def); };
  ASSERT_EQ(g_CharaList.size(), 2u);
  cChara& first = g_CharaList.front();
  cChara& second = g_CharaList.back();
  EXPECT_EQ(first.m_PassDef.bSolid, 1);
  EXPECT_EQ(second.m_PassDef.bSolid, 0);

  cEdChara other = Flyer(1, 0, 0);
  other.m_bNoHitBox = 1;
  other.m_bSetSwitch = 1;
  other.m_sSwitch = 7;
  other.m_nActiveOpt = 1;
  other.m_Conds.emplace_back();
  cEdShot params;
  std::int32_t counter = 10;
  SpawnCharacter(g_CharaList, (12 + 10) * 32, (1 + 10) * 32, 1, 0, params, other, counter,
                 nullptr);
  ASSERT_EQ(g_CharaList.size(), 3u);
  const sPassDef want{1, 1, 1, 1, 7};
  EXPECT_EQ(g_CharaList.back().m_PassDef, want);

  cEdChara plain = Flyer(1, 0, 0);
  first.InitFromDef(first.m_nNumber, plain, nullptr, first.m_dX, first.m_dY, 0, nullptr);
  second.InitFromDef(second.m_nNumber, other, nullptr, second.m_dX, second.m_dY, 0, nullptr);
  EXPECT_EQ(first.m_PassDef, sPassDef{});
  EXPECT_EQ(second.m_PassDef, want);
  {
    cChara probe;
    probe.m_bNoUnlink = 1;
    probe.Copy(second);
    EXPECT_EQ(probe.m_PassDef, want);
    probe.Copy(first);
    EXPECT_EQ(probe.m_PassDef, sPassDef{});
  }
  for (int f = 0; f < 3; ++f) Frame();  // the passes check the copies in debug builds
  for (const cChara& c : g_CharaList) EXPECT_TRUE(matches(c)) << c.m_nNumber;
}

}  // namespace
