#include "play/stage_end.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "foundation/window_messages.h"
#include "platform/close_request.h"
#include "platform/thread_messages.h"
#include "stage_end_fixture.h"

namespace {

// The lines of the report log that contain text.
int ReportLines(const std::string& text) {
  std::ifstream file(ReportPath());
  std::string line;
  int count = 0;
  while (std::getline(file, line)) count += line.find(text) != std::string::npos;
  return count;
}

// A stage file with one hero and title as its name.
void SaveStage(const std::string& path, const std::string& title) {
  auto stage = std::make_unique<cStage>();
  stage->SetDefault();
  stage->m_strName = title;
  stage->m_PlacedCharas.resize(1);
  stage->m_PlacedCharas[0].m_nControl = 0;  // the hero
  stage->m_PlacedCharas[0].m_sGraphic = 1;
  ASSERT_EQ(stage->SaveFile(path), 1);
}

class StageEnd : public StageEndScene {
 protected:
  void SetUp() override {
    StageEndScene::SetUp();
    g_PlayData.Reset();
    g_PlayData.m_nLives = 5;
    g_SystemData.m_bExtendLives = 0;
    cHero& hero = g_Heroes.front();
    hero.m_HP.m_nValue = 7;
    hero.m_SP.m_nValue = 3;
  }
};

TEST_F(StageEnd, TheTallyAddsTheFiveResultsWithoutAClamp) {
  struct sCase {
    const char* name;
    int noTimeLimit;
    std::int32_t total, score;
    std::int32_t newTotal, timeTotal;
  };
  const sCase cases[] = {
      {"time limit", 0, 100, 50, 150, 40},
      {"no time limit", 1, 100, 50, 150, 0},
      {"past 999999", 0, 999990, 20, 1000010, 40},
      {"32-bit wrap", 0, INT_MAX, 1, INT_MIN, 40},
  };
  for (const sCase& c : cases) {
    g_PlayData.ClearCounters();
    g_PlayData.m_nTotalScore = c.total;
    g_PlayData.m_nScore = c.score;
    scene.m_bNoTimeLimit = c.noTimeLimit;
    scene.m_nTime = 40;
    scene.m_nPlayTime = 1234;
    TallyScore(scene);
    EXPECT_EQ(g_PlayData.m_nTotalScore, c.newTotal) << c.name;
    EXPECT_EQ(g_PlayData.m_nTimeTotal, c.timeTotal) << c.name;
    EXPECT_EQ(g_PlayData.m_nPlayTime, 1234) << c.name;
    EXPECT_EQ(g_PlayData.m_nHpTotal, 7) << c.name;
    EXPECT_EQ(g_PlayData.m_nSpTotal, 3) << c.name;
  }
  EXPECT_EQ(g_PlayData.m_nLives, 5);  // extra lives are off
}

TEST_F(StageEnd, EveryStepOfTheScoreTotalGivesALifeWithItsNotice) {
  constexpr int P = 100;
  struct sCase {
    const char* name;
    int extend, step;
    std::int32_t lives;
    std::int32_t livesAfter;
    int notices;
  };
  const sCase cases[] = {
      {"three steps", 1, P, 5, 8, 3},
      {"at most 99", 1, P, 98, 99, 3},
      {"unlimited lives", 1, P, kUnlimitedLives, kUnlimitedLives, 0},
      {"extra lives off", 0, P, 5, 5, 0},
      {"no step", 1, 0, 5, 5, 0},
  };
  for (const sCase& c : cases) {
    g_SystemData.m_bExtendLives = c.extend;
    g_SystemData.m_nExtendScore = c.step;
    g_PlayData.m_nLives = c.lives;
    g_PlayData.m_nTotalScore = P - 10;
    g_PlayData.m_nScore = 2 * P + 20;  // to 3P + 10
    ResetDrawnFrames();
    cSoundLog::Clear();
    TallyScore(scene);
    EXPECT_EQ(g_PlayData.m_nLives, c.livesAfter) << c.name;
    EXPECT_EQ(cSoundLog::Count(15), c.notices) << c.name;
    EXPECT_EQ(DrawnFrames(), 30 * c.notices) << c.name;
    EXPECT_TRUE(scene.m_MessageList.empty()) << c.name;
  }
}

TEST_F(StageEnd, AWindowClosingDuringANoticeEndsTheExtraLives) {
  g_SystemData.m_bExtendLives = 1;
  g_SystemData.m_nExtendScore = 100;
  g_PlayData.m_nTotalScore = 0;
  g_PlayData.m_nScore = 500;  // five lives due
  platform::ResetCloseRequest();
  clock.Script([this](int frame) {
    if (frame == 10) scene.m_bQuit = 1;
  });
  TallyScore(scene);
  EXPECT_EQ(g_PlayData.m_nLives, 6);
  EXPECT_TRUE(platform::IsCloseRequested());
  EXPECT_TRUE(scene.m_MessageList.empty());
}

class StageFiles : public StageEnd {
 protected:
  void SetUp() override {
    StageEnd::SetUp();
    SaveStage("abc-3.stg4_002", "old");
    SaveStage("abc-3.stg4_010", "new");
    SaveStage("xyz.stg4_001", "named");
    g_Stage.SetDefault();
    g_PlayData.m_bMultiPart = 1;
    g_PlayData.m_strStageName = "abc.";
    g_PlayData.m_strStageKey = "abc.";
    g_PlayData.m_nPartNo = 1;
    g_PlayData.m_nTotalScore = 700;
  }
};

TEST_F(StageFiles, TheNextPartIsTheNewestVariantOfItsFile) {
  struct sCase {
    int multiPart;
    const char* named;
    int part;
    const char* found;
  };
  const sCase cases[] = {
      {1, "", 3, "abc-3.stg4_010"},   {1, "", 4, ""},      {1, "", 0, ""}, {0, "", 3, ""},
      {1, "xyz.", 7, "xyz.stg4_001"}, {1, "nope.", 3, ""},
  };
  for (const sCase& c : cases) {
    g_PlayData.m_bMultiPart = c.multiPart;
    scene.m_strNextStage = c.named;
    std::string out = "stale";
    EXPECT_EQ(MakeNextStageName(scene, out, c.part), *c.found ? 1 : 0) << c.named << c.part;
    EXPECT_EQ(out, c.found) << c.named << c.part;
  }
}

TEST_F(StageFiles, AStoryStageLeadsToItsNextPartOrByItsLink) {
  struct sCase {
    const char* name;
    int nextPart, afterClear;
    eSceneId scene;
    int partAfter;
    int cleared;  // the stage's flag afterwards
    int lap;
  };
  const sCase cases[] = {
      {"next part", 3, AFTER_CLEAR_NOTHING, SCENE_PLAY, 3, 0, 0},
      {"next part missing", 5, AFTER_CLEAR_NOTHING, SCENE_WORLDMAP, 1, 1, 0},
      {"last part", 0, AFTER_CLEAR_NOTHING, SCENE_WORLDMAP, 1, 1, 0},
      {"next lap", 0, AFTER_CLEAR_NEXT_LAP, SCENE_WORLDMAP, 1, 0, 1},
      {"back to the title", 0, AFTER_CLEAR_TO_TITLE, SCENE_TITLE, 1, 1, 0},
  };
  g_SceneManager.m_nGameKind = GAME_NEWSTORY;
  g_WorldMap.m_Points.resize(1);
  g_PlayData.m_nMapPoint = 0;
  g_PlayData.m_nStageNo = 4;
  for (const sCase& c : cases) {
    g_PlayData.m_nPartNo = 1;
    g_PlayData.m_nLap = 0;
    g_PlayData.m_StageClear[4] = 0;
    g_PlayData.m_Results.clear();
    g_WorldMap.m_Points[0].m_Links[0].m_nAfterClear = c.afterClear;
    scene.m_nNextPart = c.nextPart;
    // A log of one frame for each attempt: loading the next part empties both.
    cInputState frame;
    g_ReplayLog.Record(frame);
    g_PrevReplayLog.Record(frame);
    EXPECT_EQ(DecideNextStage(), c.scene) << c.name;
    EXPECT_EQ(g_PlayData.m_nPartNo, c.partAfter) << c.name;
    EXPECT_EQ(g_PlayData.m_StageClear[4], c.cleared) << c.name;
    EXPECT_EQ(g_PlayData.m_nLap, c.lap) << c.name;
    const bool loaded = c.scene == SCENE_PLAY;
    EXPECT_EQ(g_PlayData.GetStageResult("abc."), loaded ? 0 : 700) << c.name;
    EXPECT_EQ(g_ReplayLog.IsEmpty(), loaded) << c.name;
    EXPECT_EQ(g_PrevReplayLog.IsEmpty(), loaded) << c.name;
    if (loaded) {
      EXPECT_EQ(g_Stage.m_strName, "new") << c.name;
    }
  }
}

TEST_F(StageFiles, AChallengeClearKeepsTheBestAndOpensTheNextStage) {
  struct sCase {
    const char* name;
    int stageNo, open;
    std::int32_t best, total;
    std::int32_t bestAfter, challengeTotal;
    int openAfter;
  };
  const sCase cases[] = {
      {"a better score", 2, 3, 500, 700, 700, 1200, 3},
      {"a lower score", 2, 3, 500, 300, 500, 1000, 3},
      {"the highest opened stage", 2, 2, 0, 10, 10, 1010, 3},
      {"the last stage", 3, 3, 0, 10, 10, 1010, 3},
  };
  g_SceneManager.m_nGameKind = GAME_CHALLENGE;
  g_SystemData.m_nChallengeCount = 3;
  for (const sCase& c : cases) {
    g_PlayData.m_ChallengeClear.assign(3, cStageClear());
    cStageClear& record = g_PlayData.m_ChallengeClear[c.stageNo - 1];
    record.m_nBest = c.best;
    g_PlayData.m_nResultTotal = 1000;
    g_PlayData.m_nStageNo = c.stageNo;
    g_PlayData.m_nChallengeOpen = c.open;
    g_PlayData.m_nTotalScore = c.total;
    scene.m_nNextPart = 0;
    EXPECT_EQ(DecideNextStage(), SCENE_CHALLENGE) << c.name;
    EXPECT_EQ(record.m_bCleared, 1) << c.name;
    EXPECT_EQ(record.m_nBest, c.bestAfter) << c.name;
    EXPECT_EQ(g_PlayData.m_nResultTotal, c.challengeTotal) << c.name;
    EXPECT_EQ(g_PlayData.m_nChallengeOpen, c.openAfter) << c.name;
  }
  // A stage number outside the list changes nothing and is logged; so is the save that
  // failed (this folder has no user_data).
  const cPlayData before = g_PlayData;
  g_PlayData.m_nStageNo = 5;
  EXPECT_EQ(DecideNextStage(), SCENE_CHALLENGE);
  EXPECT_EQ(g_PlayData.m_nChallengeOpen, before.m_nChallengeOpen);
  EXPECT_EQ(g_PlayData.m_nResultTotal, before.m_nResultTotal);
  EXPECT_EQ(ReportLines("challenge stage 5 is outside"), 1);
  EXPECT_GE(ReportLines("the challenge progress could not be saved"), 1);
  // A next part goes on in the same challenge stage.
  scene.m_nNextPart = 3;
  EXPECT_EQ(DecideNextStage(), SCENE_PLAY);
  EXPECT_EQ(g_PlayData.m_nPartNo, 3);
}

TEST_F(StageFiles, FreePlayAndReplaysStartOverOrLeadOn) {
  struct sCase {
    const char* name;
    eGameKind kind;
    int multiPart, testPlay, nextPart;
    eSceneId scene;
  };
  const sCase cases[] = {
      {"a stage without parts", GAME_FREEPLAY, 0, 0, 3, SCENE_PLAY},
      {"test play", GAME_FREEPLAY, 1, 1, 0, SCENE_PLAY},
      {"the next part", GAME_FREEPLAY, 1, 0, 3, SCENE_PLAY},
      {"the last part", GAME_FREEPLAY, 1, 0, 0, SCENE_TITLE},
      {"a missing part", GAME_FREEPLAY, 1, 0, 4, SCENE_TITLE},
      {"a replay", GAME_REPLAY, 1, 0, 3, SCENE_PLAY},
  };
  for (const sCase& c : cases) {
    g_SceneManager.m_nGameKind = c.kind;
    g_PlayData.m_bMultiPart = c.multiPart;
    g_bTestPlay = c.testPlay;
    g_PlayData.m_bStartPos = 1;
    g_PlayData.m_nPartNo = 1;
    g_PlayData.m_nLives = 1;
    g_PlayData.m_nSavedLives = 4;
    scene.m_nNextPart = c.nextPart;
    EXPECT_EQ(DecideNextStage(), c.scene) << c.name;
    const bool again = !c.multiPart || c.testPlay;
    EXPECT_EQ(g_PlayData.m_bStartPos, again ? 0 : 1) << c.name;
    // The replay starts over from the values it started with.
    EXPECT_EQ(g_PlayData.m_nLives, c.kind == GAME_REPLAY ? 4 : 1) << c.name;
  }
}

TEST_F(StageEnd, TheEndLooksAtTheRankingOnlyAfterTheLastPart) {
  struct sCase {
    const char* name;
    int ranking, testPlay, editor, multiPart, nextPart;
    int values;  // the totals were taken
    int position0, rankIn;
  };
  const sCase cases[] = {
      {"ranking on", 1, 0, 0, 0, 0, 1, 0, 1},
      {"ranking off", 0, 0, 0, 0, 0, 0, -1, 0},
      {"test play", 0, 1, 0, 0, 0, 1, 0, 1},
      {"a part follows", 1, 0, 0, 1, 3, 0, -1, 0},
      {"a missing part follows", 1, 0, 0, 1, 4, 1, 0, 1},
      {"the editor's play", 1, 0, 1, 0, 0, 1, -1, 0},
  };
  SaveStage("abc-3.stg4_001", "part");
  g_PlayData.m_strStageName = "abc.";
  g_SceneManager.m_nPlayMode = PLAYMODE_FREE;
  g_SystemData.m_RankingSets.resize(4);
  g_SystemData.m_RankingSets[PLAYMODE_FREE].m_Genres = {1, 1, 1, 0, 0};
  g_Stage.m_ResultItems = {1, 0, 1, 1, 1};  // genre 1 is not shown by the stage
  // The clear-time table is full of better times.
  for (cRankEntry& entry : g_Ranking.m_Tables[2].m_Entries) {
    entry.m_bUsed = 1;
    entry.m_nValue = 0;
  }
  for (const sCase& c : cases) {
    g_SceneManager.m_bRanking = c.ranking;
    g_bTestPlay = c.testPlay;
    g_bEditorLaunch = c.editor;
    g_PlayData.m_bMultiPart = c.multiPart;
    scene.m_nNextPart = c.nextPart;
    scene.m_RankValue.assign(kRankingGenreCount, -5);
    scene.m_bRanked = 1;
    g_PlayData.ClearCounters();
    g_PlayData.m_nScore = 300;
    cSoundLog::Clear();
    EndStage();
    EXPECT_EQ(cSoundLog::Sounds().front(), 14) << c.name;
    EXPECT_EQ(scene.m_bRanked, 0) << c.name;
    EXPECT_EQ(scene.m_RankValue[0], c.values ? 300 : -5) << c.name;
    EXPECT_EQ(scene.m_RankPos[0], c.position0) << c.name;
    EXPECT_EQ(scene.m_RankPos[1], -1) << c.name;  // the stage does not show genre 1
    EXPECT_EQ(scene.m_RankPos[2], -1) << c.name;  // no better time
    EXPECT_EQ(scene.m_bRankIn, c.rankIn) << c.name;
  }
}

// A name-entry window that types "typed" into the play scene's name.
class cFakeNameEntry {
 public:
  cFakeNameEntry() {
    s_calls = 0;
    platform::BecomeMainThread();
    platform::SetRequestHandler(&Handle);
  }
  ~cFakeNameEntry() {
    platform::SetRequestHandler(nullptr);
    platform::LeaveMainThread();
  }
  cFakeNameEntry(const cFakeNameEntry&) = delete;
  cFakeNameEntry& operator=(const cFakeNameEntry&) = delete;
  static inline int s_calls = 0;

 private:
  static std::intptr_t Handle(std::uint32_t message, std::uintptr_t, std::intptr_t) {
    if (message != WM_NAMEENTRY) return 0;
    ++s_calls;
    g_pPlayScene->m_strRankName = "typed";
    g_bNameEntryDone = 1;
    return 1;
  }
};

TEST_F(StageEnd, TheResultIsRegisteredOnceUnderTheModesName) {
  struct sCase {
    int mode;
    const char* name;
    int asked;
  };
  const sCase cases[] = {{0, "typed", 1}, {1, "fixed", 0}, {2, "typed", 1}, {3, "fixed", 0}};
  cFakeNameEntry names;
  g_PlayData.m_strStageName = "abc.";
  g_SceneManager.m_bRanking = 1;
  g_SceneManager.m_nPlayMode = PLAYMODE_FREE;
  g_OptionData.m_strRankName = "fixed";
  // Button 1 goes down and up in turn, so each ranking display ends within two frames.
  clock.Script([](int frame) { platform::SetKeyDown('Z', frame % 2 == 1); });
  for (const sCase& c : cases) {
    g_Ranking.Reset();
    g_OptionData.m_nRankMode = c.mode;
    g_PlayData.m_strRankName = "player";
    scene.m_bRankIn = 1;
    scene.m_bRanked = 0;
    scene.m_RankPos = {0, -1, 3, -1, -1};
    scene.m_RankValue = {120, 0, 4500, 0, 0};
    cFakeNameEntry::s_calls = 0;
    cSoundLog::Clear();
    EnterRanking();
    EnterRanking();  // a second F3
    EXPECT_EQ(cFakeNameEntry::s_calls, c.asked) << c.mode;
    EXPECT_EQ(g_PlayData.m_strRankName, c.asked ? "typed" : "player") << c.mode;
    EXPECT_EQ(cSoundLog::Sounds(), (std::vector<int>{16, 1})) << c.mode;
    EXPECT_EQ(scene.m_bRanked, 1);
    const cRankEntry& score = g_Ranking.m_Tables[0].m_Entries[0];
    EXPECT_EQ(score.m_strName, c.name) << c.mode;
    EXPECT_EQ(score.m_nValue, 120) << c.mode;
    EXPECT_EQ(g_Ranking.m_Tables[2].m_Entries[0].m_nValue, 4500) << c.mode;
    EXPECT_EQ(g_Ranking.m_Tables[0].m_Entries[1].m_bUsed, 0) << c.mode;
  }
  // This folder has no ranking folder: every save failed, and each failure is logged.
  EXPECT_EQ(ReportLines("the ranking of abc. could not be saved"), 4);
  // A result that reaches no table registers nothing and asks no name.
  g_Ranking.Reset();
  scene.m_bRankIn = 0;
  scene.m_bRanked = 0;
  scene.m_RankPos.assign(kRankingGenreCount, -1);
  g_OptionData.m_nRankMode = 0;
  cFakeNameEntry::s_calls = 0;
  cSoundLog::Clear();
  EnterRanking();
  EXPECT_EQ(cFakeNameEntry::s_calls, 0);
  EXPECT_TRUE(cSoundLog::Sounds().empty());
  EXPECT_EQ(g_Ranking.m_Tables[0].m_Entries[0].m_bUsed, 0);
}

}  // namespace
