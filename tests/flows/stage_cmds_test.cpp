// The stage clear, warp, set target, character state, vanish and item acquisition commands on
// a small stage.
#include "flows/stage_cmds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "content/command.h"
#include "content/command_tables.h"
#include "content/palette.h"
#include "flows/cmd_dispatch.h"
#include "flows/flow_run.h"
#include "flows/move_cmds.h"
#include "foundation/message_box.h"
#include "objects/chara.h"
#include "objects/shot.h"
#include "play/input.h"
#include "project/database.h"
#include "project/world_map.h"
#include "tests/objects/play_world.h"
#include "tests/support/scoped_value.h"

namespace {

class StageCmds : public cPlayWorld {
 protected:
  void SetUp() override {
    MakeMap(20, 10);
    // The scene's camera is the one the objects follow.
    m_Scene.m_ScrollX = m_Axes.x;
    m_Scene.m_ScrollY = m_Axes.y;
    g_Inputs.assign(1, cInputState());
    cHero& hero = m_Heroes.Add();
    hero.m_nNumber = 1;
    hero.m_nFacing = 1;
    hero.m_HP.m_nValue = 10;
  }
  static cEdCmd Cmd(int kind, std::initializer_list<int> params = {}, int set = CMDSET_CHARA) {
    cEdCmd cmd;
    cmd.m_nCmdSet = static_cast<std::int8_t>(set);
    cmd.m_nKind = static_cast<std::int8_t>(kind);
    cmd.m_Params.assign(CmdParamCount(set, kind), 0);
    int i = 0;
    for (int p : params) cmd.m_Params[i++] = p;
    return cmd;
  }
  // A computer character of group at map column and row (stage cells), owned by owner.
  cChara& Make(int group = 0, int column = 5, int row = 5, int flyMode = MOVE_GROUND,
               cCharaBase* owner = nullptr) {
    cEdChara def;
    def.m_nFlyMode = static_cast<std::uint8_t>(flyMode);
    def.m_nGroup = static_cast<std::uint8_t>(group);
    cChara& c = g_CharaList.emplace_back();
    c.InitFromDef(static_cast<int>(g_CharaList.size()) + 1, def, nullptr, 0, 0, 0, nullptr);
    c.InitTargets(owner);
    c.SetBlockPos(column, row);
    c.UpdateScreenRect();
    c.m_bPresent = 1;
    c.m_bActivated = 1;
    c.m_bOnScreen = 1;
    m_Scene.m_CharaGroup[group].push_back(&c);
    return c;
  }
  cShot& Shot(cCharaBase& owner, int group = 0) {
    cShot& shot = m_Scene.m_ShotList.emplace_back();
    shot.m_Def.m_nGroup = static_cast<std::uint8_t>(group);
    shot.m_bPresent = 1;
    shot.m_bOnScreen = 1;
    shot.m_pOwner = &owner;
    owner.m_ShotLinks.push_back({&shot, kOwnerSlot});
    m_Scene.m_ShotGroup[group].push_back(&shot);
    return shot;
  }

  cScopedValue<cVector<cInputState>> m_Inputs{g_Inputs};
  cScopedValue<cWorldMapData> m_Map{g_WorldMap};
  cScopedHeroes m_Heroes;
  cPlayScene m_Scene;
  cScopedGlobal<cPlayScene*> m_ScenePtr{g_pPlayScene, &m_Scene};
  cScopedValue<cCharaList> m_Charas{g_CharaList, {}};
};

std::string g_BoxText;
int RecordBox(const char* text, const char*, int) {
  g_BoxText = text;
  return IDOK;
}

TEST_F(StageCmds, StageClearChoosesTheNextStageAndTheMapPosition) {
  g_PlayData.m_nPartNo = 4;
  g_WorldMap.m_nWidth = 12;
  g_WorldMap.m_nHeight = 9;
  struct {
    const char* name;
    std::initializer_list<int> params;
    const char* text;
    int part;
    const char* stage;
  } const cases[] = {
      {"next", {0}, "", 5, ""},
      {"a number", {1, 9}, "", 9, ""},
      {"a file", {2}, "next.stg4", 4, "next."},
      {"a file of no name", {2}, "", 4, ""},
      {"world clear", {3}, "", 0, ""},
  };
  for (const auto& c : cases) {
    m_Scene.m_strNextStage = "old.";
    cEdCmd cmd = Cmd(CMD_STAGE_CLEAR, c.params);
    cmd.m_strText = c.text;
    g_BoxText.clear();
    SetDeviceBoxHook(&RecordBox);
    EXPECT_EQ(ExecStageClear(nullptr, cmd), 1) << c.name;
    SetDeviceBoxHook(nullptr);
    EXPECT_EQ(m_Scene.m_nNextPart, c.part) << c.name;
    EXPECT_EQ(m_Scene.m_strNextStage, c.stage) << c.name;
    EXPECT_EQ(!g_BoxText.empty(), std::string(c.name) == "a file of no name") << c.name;
  }

  g_PlayData.m_nMapDir = 3;
  cEdCmd map = Cmd(CMD_STAGE_CLEAR, {0, 0, 1, 40, 2, 1, 7, 8, 2});
  ExecStageClear(nullptr, map);
  EXPECT_EQ(g_PlayData.m_nMapX, 11);  // the last column
  EXPECT_EQ(g_PlayData.m_nMapY, 2);
  EXPECT_EQ(g_PlayData.m_nMapDir, 0);
  EXPECT_EQ(g_PlayData.m_bStartPos, 1);
  EXPECT_EQ(g_PlayData.m_nStartX, 7);
  EXPECT_EQ(g_PlayData.m_nStartY, 8);
  EXPECT_EQ(g_PlayData.m_nStartDir, 1);  // the hero's facing
  cEdCmd noStart = Cmd(CMD_STAGE_CLEAR, {0});
  ExecStageClear(nullptr, noStart);
  EXPECT_EQ(g_PlayData.m_bStartPos, 0);
  EXPECT_EQ(g_PlayData.m_nMapX, 11);
}

TEST_F(StageCmds, WarpMovesAtOnceUnlessTheNewPlaceIsSolidOrOutside) {
  const double k = 1.0 / std::sqrt(2.0);
  auto warp = [](int mode, int dir, int halfBlocks) {
    cEdCmd cmd = Cmd(CMD_WARP);
    NewMove(cmd.m_pMove);
    cmd.m_pMove->m_nMode = static_cast<std::int8_t>(mode);
    cmd.m_pMove->m_nDirection = static_cast<std::int8_t>(dir);
    cmd.m_pMove->m_sDistance = static_cast<std::int16_t>(halfBlocks);
    return cmd;
  };
  PutSolid(7, 5);
  struct {
    const char* name;
    int mode, dir, halfBlocks, fly;
    double dx, dy, vy;
  } const cases[] = {
      {"up and left", 0, MOVEDIR_UP_LEFT, 4, MOVE_GROUND, -64 * k, -64 * k, 0},
      {"right, flying keeps its speed", 0, MOVEDIR_RIGHT, 2, MOVE_FLY, 32, 0, 3},
      {"into a solid block", 0, MOVEDIR_RIGHT, 4, MOVE_GROUND, 0, 0, 3},
      {"into the margin", 0, MOVEDIR_LEFT, 20, MOVE_GROUND, 0, 0, 3},
      {"an empty target slot", 2, MOVEDIR_RIGHT, 2, MOVE_GROUND, 0, 0, 3},
  };
  for (const auto& c : cases) {
    cChara& chara = Make(0, 5, 5, c.fly);
    const double x = chara.m_dX, y = chara.m_dY, right = chara.m_dRight;
    chara.m_dVY = 3;
    chara.m_bAnchorX = 1;
    cEdCmd cmd = warp(c.mode, c.dir, c.halfBlocks);
    ExecWarp(&chara, cmd);
    EXPECT_DOUBLE_EQ(chara.m_dX - x, c.dx) << c.name;
    EXPECT_DOUBLE_EQ(chara.m_dY - y, c.dy) << c.name;
    EXPECT_DOUBLE_EQ(chara.m_dRight - right, c.dx) << c.name;
    EXPECT_EQ(chara.m_dVY, c.vy) << c.name;
    EXPECT_EQ(chara.m_bAnchorX, 0) << c.name;
  }
  // A point on the screen fixes the character's screen anchor there.
  cChara& chara = Make();
  cEdCmd screen = warp(5, 0, 0);
  screen.m_pMove->m_nCoordOrigin = 2;
  screen.m_pMove->m_sTargetBlockX = 3;
  screen.m_pMove->m_sTargetDotX = 4;
  screen.m_pMove->m_sTargetBlockY = 2;
  ExecWarp(&chara, screen);
  EXPECT_EQ(chara.m_Rect.m_nLeft, 100);
  EXPECT_EQ(chara.m_Rect.m_nTop, 64);
  EXPECT_EQ(chara.m_bAnchorX, 1);
  EXPECT_EQ(chara.m_bAnchorY, 1);
  EXPECT_EQ(chara.m_nAnchorLeft, 100);
  EXPECT_EQ(chara.m_nAnchorTop, 64);
}

TEST_F(StageCmds, SetTargetFillsEmptiesOrKeepsASlot) {
  cChara& self = Make(0);
  cHero& hero = g_Heroes.front();
  ASSERT_EQ(self.m_Targets[0], &hero);  // set up holding the hero
  // Nothing in any group: p15 0 empties the slot, 1 keeps it, anything else changes nothing.
  m_Scene.m_CharaGroup[0].clear();
  for (int keep : {1, 2}) {
    cEdCmd nearest = Cmd(CMD_SET_TARGET, {0, 2, 0, 1, 1});
    nearest.m_Params[15] = keep;
    ExecSetTarget(&self, nearest);
    EXPECT_EQ(self.m_Targets[0], &hero) << keep;
  }
  cEdCmd empties = Cmd(CMD_SET_TARGET, {0, 2, 0, 1, 1});
  ExecSetTarget(&self, empties);
  EXPECT_EQ(self.m_Targets[0], nullptr);

  // The nearest over every group; the owner; the newest child; another slot.
  cChara& far = Make(1, 12, 5);
  cChara& near = Make(3, 7, 5);
  cChara& child1 = Make(2, 2, 2, MOVE_GROUND, &self);
  cChara& child2 = Make(2, 3, 2, MOVE_GROUND, &self);
  struct {
    int slot, what;
    cCharaBase* expected;
  } const cases[] = {
      {1, 2, &near}, {2, 4, nullptr}, {3, 5, &child2}, {0, 8, &near}, {0, 0, &hero},
  };
  for (const auto& c : cases) {
    cEdCmd cmd = Cmd(CMD_SET_TARGET, {c.slot, c.what, 0, 1, 1});
    ExecSetTarget(&self, cmd);
    EXPECT_EQ(self.m_Targets[c.slot], c.expected) << c.what;
  }
  cEdCmd owner = Cmd(CMD_SET_TARGET, {0, 4});
  ExecSetTarget(&child1, owner);
  EXPECT_EQ(child1.m_Targets[0], &self);
  (void)far;

  // A slot outside the four changes nothing: no link that would read as ownership.
  const auto refs = hero.m_BackRefs;
  cEdCmd fifth = Cmd(CMD_SET_TARGET, {4, 0});
  ExecSetTarget(&self, fifth);
  EXPECT_EQ(hero.m_BackRefs, refs);
}

TEST_F(StageCmds, StatesOfACharacterAndTheAutoScroll) {
  cChara& self = Make();
  cChara& other = Make(1, 8, 5);
  self.m_Targets[1] = &other;
  struct {
    int which, state, value;
  } const cases[] = {{0, 1, 1}, {0, 2, 0}, {0, 4, 2}, {2, 6, 255}, {2, 0, 0}};
  for (const auto& c : cases) {
    cEdCmd cmd = Cmd(CMD_STATUS_OP2, {c.which, c.state, c.value});
    ExecStatusOperation2(&self, cmd);
  }
  EXPECT_EQ(self.m_Def.m_bTransparent, 1);
  EXPECT_EQ(self.m_Def.m_bFixedFacing, 0);
  EXPECT_EQ(self.m_Def.m_nInvincible, 2);
  EXPECT_EQ(other.m_Def.m_bScrollSync, 255);
  EXPECT_EQ(other.m_bScreenBound, 255);
  EXPECT_EQ(other.m_bRemoveReq, 1);  // taken out of play, defeated this frame
  EXPECT_EQ(m_Scene.m_bCheckDefeats, 1);
  EXPECT_EQ(self.m_bRemoveReq, 0);

  const int width = self.m_nWidth;
  cEdCmd size = Cmd(CMD_STATUS_OP2, {0, 5, 2});
  ExecStatusOperation2(&self, size);
  EXPECT_EQ(self.m_Def.m_nScale, 2);
  EXPECT_EQ(self.m_nWidth, 2 * width);

  g_Stage.m_nAutoScrollSpeedX = 3;
  cEdCmd scroll = Cmd(CMD_STATUS_OP2, {5, 0, 1});
  ExecStatusOperation2(&self, scroll);
  EXPECT_EQ(g_Stage.m_bAutoScrollX, 1);
  EXPECT_NE(m_Scene.m_ScrollX.m_dSpeed, 0);
  // An empty target slot: nothing.
  cEdCmd empty = Cmd(CMD_STATUS_OP2, {4, 1, 1});
  ExecStatusOperation2(&self, empty);
}

TEST_F(StageCmds, VanishTakesDescendantsAndShotsOutOfPlay) {
  cChara& self = Make();
  cChara& child = Make(1, 6, 5, MOVE_GROUND, &self);
  cChara& grandchild = Make(1, 7, 5, MOVE_GROUND, &child);
  cChara& idle = Make(1, 8, 5, MOVE_GROUND, &self);
  cChara& idleChild = Make(1, 9, 5, MOVE_GROUND, &idle);
  idle.m_bActivated = 0;  // not running: neither it nor its own are taken
  Shot(self);
  Shot(grandchild);
  cEdCmd descendants = Cmd(CMD_VANISH, {5});
  ExecVanish(&self, descendants);
  EXPECT_EQ(child.m_bRemoveReq, 1);
  EXPECT_EQ(grandchild.m_bRemoveReq, 1);
  EXPECT_EQ(idle.m_bRemoveReq, 0);
  EXPECT_EQ(idleChild.m_bRemoveReq, 0);
  EXPECT_EQ(self.m_bRemoveReq, 0);
  // Before the attack hits are tested the grandchild's shot goes at once, the own one stays.
  ASSERT_EQ(m_Scene.m_ShotList.size(), 1u);
  EXPECT_EQ(m_Scene.m_ShotList.front().m_pOwner, &self);
  EXPECT_TRUE(grandchild.m_ShotLinks.empty());
  EXPECT_EQ(m_Scene.m_ShotGroup[0].size(), 1u);

  // Once they are tested a shot only gets its removal request.
  m_Scene.m_bHitsDone = 1;
  cEdCmd own = Cmd(CMD_VANISH, {3});
  ExecVanish(&self, own);
  ASSERT_EQ(m_Scene.m_ShotList.size(), 1u);
  EXPECT_EQ(m_Scene.m_ShotList.front().m_bVanish, 1);
  m_Scene.m_bHitsDone = 0;
  ExecVanish(&self, own);
  EXPECT_TRUE(m_Scene.m_ShotList.empty());
  EXPECT_TRUE(m_Scene.m_ShotGroup[0].empty());

  // A group's characters: those off the screen only with p2.
  idle.m_bActivated = 1;
  idle.m_bOnScreen = 0;
  cEdCmd group = Cmd(CMD_VANISH, {0, 1, 0});
  ExecVanish(&self, group);
  EXPECT_EQ(idle.m_bRemoveReq, 0);
  group.m_Params[2] = 1;
  ExecVanish(&self, group);
  EXPECT_EQ(idle.m_bRemoveReq, 1);
}

int g_ItemRuns = 0;
int CountRun(cCharaBase*, cEdCmd&) {
  ++g_ItemRuns;
  return 0;
}

TEST_F(StageCmds, ItemAcquisitionKeepsAnEndAndStopsNestingAtItsLimit) {
  cScopedGlobal<ItemVector> items(g_CommonPalette.m_Items);
  cScopedGlobal<ItemCmdHandler> counter(ItemCmdFunc[7], &CountRun);
  g_CommonPalette.m_Items.resize(4);
  g_CommonPalette.m_Items[1].m_Cmds.push_back(Cmd(2, {}, CMDSET_ITEM));  // clears the stage
  g_CommonPalette.m_Items[2].m_Cmds.push_back(Cmd(7, {}, CMDSET_ITEM));  // does nothing
  // Item 3 acquires itself.
  g_CommonPalette.m_Items[3].m_Cmds.push_back(Cmd(7, {}, CMDSET_ITEM));
  g_CommonPalette.m_Items[3].m_Cmds.push_back(Cmd(ITEMCMD_GET_ITEM, {0, 3}, CMDSET_ITEM));

  cEdCmd clear = Cmd(CMD_GET_ITEM, {0, 1});
  ExecGetItem(nullptr, clear);
  EXPECT_EQ(m_Scene.m_nStageEndReq, 1);
  cEdCmd nothing = Cmd(CMD_GET_ITEM, {0, 2});
  ExecGetItem(nullptr, nothing);
  EXPECT_EQ(m_Scene.m_nStageEndReq, 1);  // a 0 does not cancel it
  for (auto params : {std::initializer_list<int>{2, 1}, {0, 99}, {0, 65537}, {1, 1}}) {
    cEdCmd bad = Cmd(CMD_GET_ITEM, params);
    ExecGetItem(nullptr, bad);
  }
  EXPECT_EQ(g_ItemRuns, 1);

  m_Scene.m_nStageEndReq = 0;
  g_ItemRuns = 0;
  cEdCmd self = Cmd(CMD_GET_ITEM, {0, 3});
  ExecGetItem(nullptr, self);
  EXPECT_EQ(g_ItemRuns, kMaxItemDepth);
  EXPECT_EQ(m_Scene.m_nStageEndReq, 0);
  ExecGetItem(nullptr, self);  // the count of levels starts again
  EXPECT_EQ(g_ItemRuns, 2 * kMaxItemDepth);
  ResetItemDepthReport();
}

// A one-shot animation started by an item's commands belongs to no flow (key -1), also when
// a flow's item acquisition ran them: starting or stopping a flow of the same serial later
// leaves it alone. The flow's own command keys it by the flow's serial.
TEST_F(StageCmds, AnAnimationAnItemStartsBelongsToNoFlow) {
  cScopedGlobal<ItemVector> items(g_CommonPalette.m_Items);
  cScopedGlobal<AnimeRuns> animes(g_AnimeSequences);
  g_AnimeSequences.resize(1);
  g_CommonPalette.m_Items.resize(2);
  g_CommonPalette.m_Items[1].m_Cmds.push_back(Cmd(CMD_ANIME - 15, {0}, CMDSET_ITEM));
  cChara& runner = Make();
  cFlowRun flow;
  flow.m_nSerial = 5;
  cFlowContextGuard context;
  CurChara() = &runner;
  CurFlow() = &flow;
  cEdCmd get = Cmd(CMD_GET_ITEM, {0, 1});
  ExecGetItem(&runner, get);
  const cHero& hero = g_Heroes.front();
  ASSERT_EQ(hero.m_OneShotAnime.size(), 1u);
  EXPECT_EQ(hero.m_OneShotAnime.front().m_nKey, -1);

  cEdCmd anime = Cmd(CMD_ANIME, {0});
  cCmdRun run;
  run.m_pCmd = &anime;
  ExecCmd(&runner, run);
  ASSERT_EQ(runner.m_OneShotAnime.size(), 1u);
  EXPECT_EQ(runner.m_OneShotAnime.front().m_nKey, 5);
}

}  // namespace
