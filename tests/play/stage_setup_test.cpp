#include "play/stage_setup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "content/flow.h"
#include "flows/cmd_dispatch.h"
#include "flows/flow_run.h"
#include "foundation/random.h"
#include "foundation/report.h"
#include "objects/chara.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "play/input.h"
#include "play/map_cells.h"
#include "play/play_scene.h"
#include "play/replay_log.h"
#include "play/scene_manager.h"
#include "play_fixture.h"
#include "project/play_data.h"
#include "project/stage.h"
#include "project/system_data.h"

namespace {

std::string Flags(const cVector<std::int32_t>& steps) {
  std::string s;
  for (std::int32_t f : steps) s += f ? '1' : '.';
  return s;
}

TEST(StageSetup, AttackChecksPerFrame) {
  struct sCase {
    int n, m;
    const char* flags;
  };
  const sCase cases[] = {
      {10, 3, "1..1..1..."}, {1, 3, "1"},          {10, 0, "1111111111"},
      {10, -2, "1111111111"}, {4, 3, "111."},       {10, 4, "1.1..1.1.."},
      {10, 10, "1111111111"}, {3, 2000000000, "111"},
  };
  for (const sCase& c : cases)
    EXPECT_EQ(Flags(BuildAttackHitSteps(c.n, c.m)), c.flags) << c.n << " " << c.m;
}

TEST(StageSetup, MusicIsAskedForUnlessItMayGoOn) {
  struct sCase {
    int fresh, keep, current, stage;
    int want;
  };
  const sCase cases[] = {
      {0, 0, 3, 3, -1}, {0, 0, 2, 3, 3}, {0, 1, 2, 3, 3},  // a retry keeps the playing music
      {1, 0, 3, 3, 3},  {1, 1, 3, 3, -1}, {1, 1, 2, 3, 3},  // a fresh entry restarts it
      {1, 1, 0, 0, 0},  {1, 0, 0, 0, 0},  {0, 0, 0, 0, -1},  // unless kept
  };
  for (const sCase& c : cases)
    EXPECT_EQ(StageMusicRequest(c.fresh, c.keep, c.current, c.stage), c.want)
        << c.fresh << c.keep << c.current << c.stage;
}

// Runs the set-up on a small stage: a hero, computer characters (one carrying an item, one
// carrying an item that does not exist, one that vanishes before the stage starts), a second
// player-controlled placement, two placed items and a block.
class StageSetupTest : public cPlayDevice {
 protected:
  void SetUp() override {
    Init(0, 32);
    InitInputs(1);
    g_pPlayScene = &scene;
    g_SceneManager.m_nGameKind = GAME_FREEPLAY;
    g_Stage.SetDefault();
    g_Stage.m_nWidth = 20;
    g_Stage.m_nHeight = 15;
    g_Stage.m_nSpeedLevel = 2;
    g_Stage.m_nAttackHitLevel = 1;
    g_Stage.m_nScrollExtraX = 20 * 32;
    g_Stage.m_nScrollExtraY = 15 * 32;
    cEdChara hero = Chara(0, 2, 3);
    cEdChara carrier = Chara(1, 5, 5);
    carrier.m_nDropItem = 0;
    cEdChara lost = Chara(1, 6, 5);
    lost.m_nDropItem = 7;
    cEdChara vanishing = Chara(1, 7, 5);
    cEdFlow flow;
    flow.m_nTrigger = TRIGGER_BEFORE_STAGE_START;
    cEdCmd cmd;
    cmd.m_nKind = CMD_STATUS_OP2;
    cmd.m_bParallel = 1;
    cmd.m_Params.assign(CmdParamCount(CMDSET_CHARA, CMD_STATUS_OP2), 0);
    flow.m_Cmds.push_back(cmd);
    vanishing.m_Flows.push_back(flow);
    g_Stage.m_PlacedCharas = CharaVector({hero, carrier, lost, vanishing, Chara(0, 8, 8)});
    cEdItem item;
    item.m_sPosX = 9;
    g_Stage.m_PlacedItems = ItemVector({item, item});
    cEdBlock block;
    block.m_sPosX = 1;
    block.m_sPosY = 1;
    block.m_sGraphic = 5;
    g_Stage.m_PlacedBlocks = BlockVector({block});
    g_StageCopy.TakePlayData(g_Stage);
    platform::ResetCloseRequest();
  }
  void TearDown() override {
    g_pPlayScene = nullptr;
    for (auto& group : scene.m_CharaGroup) group.clear();
    g_CharaList.clear();
    g_ItemList.clear();
    g_Heroes.clear();
    cPlayDevice::TearDown();
  }
  static cEdChara Chara(int control, int column, int row) {
    cEdChara c;
    c.m_nControl = static_cast<std::uint8_t>(control);
    c.m_sGraphic = 1;
    c.m_sPosX = static_cast<std::int16_t>(column);
    c.m_sPosY = static_cast<std::int16_t>(row);
    c.m_nDropItem = -1;
    c.m_nGroup = static_cast<std::uint8_t>(control == 0 ? 0 : 1);
    return c;
  }
  // The vanishing character's flow takes it out of play.
  static void Vanish(cCharaBase* chara, cCmdRun&) {
    if (chara) chara->m_bRemoveReq = 1;
  }

  cRestore<cStage> stage{g_Stage};
  cRestore<cStage> copy{g_StageCopy};
  cRestore<cSystemData> system{g_SystemData};
  cRestore<cPlayData> play{g_PlayData};
  cRestore<cPlayData> atStart{g_PlayDataAtStart};
  cRestore<cPlayData> prevAtStart{g_PrevPlayDataAtStart};
  cRestore<cReplayKeyLog> log{g_ReplayLog};
  cRestore<cReplayKeyLog> prevLog{g_PrevReplayLog};
  cRestore<cSceneManager> manager{g_SceneManager};
  cRestore<cVector<cInputState>> inputs{g_Inputs};
  cRestore<cVector<cMapCell>> cells{g_MapCells};
  cRestore<cVector<sCellHit>> hits{g_MapCellHits};
  cRestore<CmdExecutor> vanish{CmdExecFunc[CMD_STATUS_OP2], Vanish};
  cPlayScene scene;
};

TEST_F(StageSetupTest, BuildsTheStageAndRunsTheBeforeStartFlows) {
  g_Stage.m_bTimeLimit = 0;
  ErrLogSetup(1, "err.txt");
  SetStage(0, 1);
  ErrLogSetup(0, nullptr);
  EXPECT_EQ(ReadLines("err.txt"),
            (std::vector<std::string>{"In SetStage bLoadStage = 0", "A", "B", "10", "11", "12",
                                      "C", "D", "Out SetStage"}));

  EXPECT_EQ(g_nHitLevel, 2);
  EXPECT_EQ(scene.m_ScrollX.m_nCells, 40);
  EXPECT_EQ(scene.m_ScrollX.m_nStride, 64);
  EXPECT_EQ(scene.m_ScrollY.m_nStride, 35);
  EXPECT_EQ(g_MapCells.size(), 35u * 64u);
  ASSERT_NE(MapCellAtBlock(1, 1), nullptr);
  EXPECT_EQ(MapCellAtBlock(1, 1)->m_sGraphic, 5);
  EXPECT_EQ(Flags(scene.m_AttackHitStep), "1.");
  EXPECT_EQ(scene.m_nTime, 999);
  EXPECT_EQ(scene.m_bNoTimeLimit, 1);

  ASSERT_EQ(g_Heroes.size(), 1u);
  EXPECT_EQ(g_Heroes.front().m_nNumber, 0);
  // The carrier, the one whose item is missing (placed without it), not the vanished one nor
  // the second player placement.
  ASSERT_EQ(g_CharaList.size(), 2u);
  EXPECT_EQ(scene.m_nCharaNo, 4);
  EXPECT_EQ(g_ItemList.size(), 1u);  // item 0 is carried
  EXPECT_EQ(scene.m_nItemNo, 2);
  EXPECT_EQ(scene.m_CharaGroup[0].size(), 1u);
  EXPECT_EQ(scene.m_CharaGroup[1].size(), 2u);
  for (cChara& c : g_CharaList) EXPECT_EQ(c.m_Targets[0], &g_Heroes.front());
  EXPECT_EQ(g_SceneManager.m_nFps, 60);
  EXPECT_EQ(scene.m_bShowStatus, 1);

  // With a time limit, it counts from there.
  g_Stage.m_bTimeLimit = 1;
  g_Stage.m_nTimeLimit = 90;
  g_StageCopy.TakePlayData(g_Stage);
  SetStage(1, 0);
  EXPECT_EQ(scene.m_nTime, 90);
  EXPECT_EQ(scene.m_bNoTimeLimit, 0);
  EXPECT_EQ(g_CharaList.size(), 2u);
}

TEST_F(StageSetupTest, SeedsFollowTheReplaySetting) {
  for (int record : {0, 1}) {
    g_SystemData.m_bRecordReplay = record;
    scene.m_nSeed = 1234;
    g_ReplayLog.Clear();
    g_ReplayLog.m_nSeed = 77;
    g_ReplayLog.m_DirWords.push_back(3);
    g_PlayData.m_nLives = 5;
    g_PlayDataAtStart.m_nLives = 4;
    SetStage(0, 1);
    if (record) {
      EXPECT_EQ(g_PrevReplayLog.m_nSeed, 77);
      EXPECT_EQ(g_PrevReplayLog.m_DirWords.size(), 1u);
      EXPECT_TRUE(g_ReplayLog.m_DirWords.empty());
      EXPECT_EQ(scene.m_nSeed, g_ReplayLog.m_nSeed);
      EXPECT_EQ(g_PrevPlayDataAtStart.m_nLives, 4);
      EXPECT_EQ(g_PlayDataAtStart.m_nLives, 5);
    } else {
      EXPECT_EQ(scene.m_nSeed, 1234);
      EXPECT_EQ(g_ReplayLog.m_nSeed, 77);
    }
    const int drawn = RandNext();
    RandSeed(static_cast<std::uint32_t>(scene.m_nSeed));
    EXPECT_EQ(RandNext(), drawn) << record;
  }
  // A replay takes its log's seed and plays it from the start.
  g_SceneManager.m_nGameKind = GAME_REPLAY;
  g_ReplayLog.m_nSeed = 99;
  g_ReplayLog.m_nDirIndex = 3;
  SetStage(0, 1);
  EXPECT_EQ(scene.m_nSeed, 99);
  EXPECT_EQ(g_ReplayLog.m_nDirIndex, 0);
}

TEST_F(StageSetupTest, AGridNoProgramCouldHoldIsRefused) {
  g_Stage.m_nWidth = 5000;
  g_Stage.m_nHeight = 5000;
  g_StageCopy.TakePlayData(g_Stage);
  SetStage(1, 1);
  EXPECT_TRUE(platform::IsCloseRequested());
  EXPECT_TRUE(g_MapCells.empty());
  EXPECT_TRUE(g_Heroes.empty());
  platform::ResetCloseRequest();
  // A negative size counts as 0.
  g_Stage.m_nWidth = -3;
  g_Stage.m_nHeight = -3;
  g_StageCopy.TakePlayData(g_Stage);
  SetStage(1, 1);
  EXPECT_FALSE(platform::IsCloseRequested());
  EXPECT_EQ(g_Heroes.size(), 1u);
}

TEST(ReplayKeyLog, ClearAndAssignment) {
  cReplayKeyLog a, b;
  a.m_nSeed = 5;
  a.m_DirWords = {1, 2};
  a.m_ButtonRuns = {3};
  b.m_nDirIndex = 4;
  b = a;
  EXPECT_EQ(b.m_nSeed, 5);
  EXPECT_EQ(b.m_DirWords.size(), 2u);
  EXPECT_EQ(b.m_nDirIndex, 4);  // the cursors stay
  b.Clear();
  EXPECT_EQ(b.m_nSeed, 0);
  EXPECT_TRUE(b.m_DirWords.empty());
  EXPECT_TRUE(b.m_ButtonRuns.empty());
  EXPECT_EQ(b.m_nDirIndex, 0);
}

}  // namespace
