#include "play/pause_menus.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/close_request.h"
#include "stage_end_fixture.h"

namespace {

class Menus : public StageEndScene {
 protected:
  void SetUp() override {
    StageEndScene::SetUp();
    g_PlayData.Reset();
    g_SystemData.m_Texts.resize(30);
    for (int i = 19; i <= 24; ++i) g_SystemData.m_Texts[i] = "entry" + std::to_string(i);
    g_SceneManager.m_nPlayMode = PLAYMODE_FREE;
    g_SceneManager.m_nGameKind = GAME_FREEPLAY;
  }
  // One frame of the phase with the buttons of this frame's poll.
  void Frame(int buttons) {
    GetInput(0).m_wButton = static_cast<std::int16_t>(buttons);
    scene.Run();
  }
  // Opens the pause over play and runs its first frame.
  void Pause(int buttons = 0) {
    scene.m_nPausedPhase = PLAYPHASE_PLAY;
    scene.m_nPausedStep = 5;
    scene.m_nPhase = PLAYPHASE_PAUSE;
    scene.m_nStep = 0;
    Frame(buttons);
  }
  // Chooses the entry at row of the enabled ones.
  void Choose(int row) {
    g_Cursor.m_pCur->row = row;
    Frame(KEY_BUTTON1);
  }
};

TEST_F(Menus, ThePauseMenuShowsWhatThePlayModeAndTheStageAllow) {
  struct sCase {
    const char* name;
    ePlayMode mode;
    int cleared, retrySetting, mapSetting;
    std::vector<int> enabled;
  };
  const sCase cases[] = {
      {"free play", PLAYMODE_FREE, 0, 0, 0, {1, 1, 1, 0}},
      {"replay", PLAYMODE_REPLAY, 0, 0, 0, {1, 1, 1, 0}},
      {"story never cleared", PLAYMODE_STORY, 0, 1, 1, {1, 1, 0, 0}},
      {"story cleared", PLAYMODE_STORY, 1, 1, 1, {1, 1, 1, 1}},
      {"story cleared, no retry", PLAYMODE_STORY, 1, 0, 1, {1, 1, 0, 1}},
      {"story cleared, no map", PLAYMODE_STORY, 1, 1, 0, {1, 1, 1, 0}},
      {"challenge cleared", PLAYMODE_CHALLENGE, 1, 1, 1, {1, 1, 1, 0}},
      {"challenge never cleared", PLAYMODE_CHALLENGE, 0, 1, 1, {1, 1, 0, 0}},
      {"challenge cleared, no retry", PLAYMODE_CHALLENGE, 1, 0, 1, {1, 1, 0, 0}},
  };
  g_PlayData.m_nStageNo = 2;
  g_PlayData.m_ChallengeClear.resize(2);
  for (const sCase& c : cases) {
    g_SceneManager.m_nPlayMode = c.mode;
    g_PlayData.m_StageClear[2] = c.cleared;
    g_PlayData.m_ChallengeClear[1].m_bCleared = c.cleared;
    g_SystemData.m_bStoryPauseRetry = c.retrySetting;
    g_SystemData.m_bChallengePauseRetry = c.retrySetting;
    g_SystemData.m_bStoryPauseMap = c.mapSetting;
    // Whatever was chosen last time, the menu opens on "continue".
    g_Cursor.m_pCur->row = 3;
    Pause();
    ASSERT_EQ(scene.m_PauseMenu.size(), 4u) << c.name;
    std::vector<int> enabled;
    for (const cCmd& entry : scene.m_PauseMenu) enabled.push_back(entry.m_bEnabled);
    EXPECT_EQ(enabled, c.enabled) << c.name;
    EXPECT_EQ(scene.m_PauseMenu[1].m_strCaption, "entry20") << c.name;
    EXPECT_EQ(g_Cursor.m_pCur->row, 1) << c.name;
    EXPECT_EQ(scene.m_nPhase, PLAYPHASE_PAUSE) << c.name;
  }
}

TEST_F(Menus, AButtonHeldIntoTheMenuChoosesNothingUntilPressedAgain) {
  cInputState& input = GetInput(0);
  input.m_bLatch = 1;  // button 1 was taken before the menu opened and is still down
  Pause(KEY_BUTTON1);
  for (int frame = 0; frame < 5; ++frame) Frame(KEY_BUTTON1);
  EXPECT_EQ(scene.m_nPhase, PLAYPHASE_PAUSE);
  Frame(0);
  Frame(KEY_BUTTON1);
  EXPECT_EQ(scene.m_nPhase, PLAYPHASE_PLAY);  // continue
  EXPECT_EQ(scene.m_nStep, 5);
  EXPECT_EQ(scene.m_bWaitRelease, 1);
  EXPECT_EQ(cSoundLog::Sounds(), std::vector<int>{1});

  // Game over reads the button word as polled: the held button confirms at once.
  cSoundLog::Clear();
  input.m_bLatch = 1;
  scene.m_nPhase = PLAYPHASE_GAMEOVER;
  g_SceneManager.m_nNextScene = SCENE_WORLDMAP;
  Frame(KEY_BUTTON1);
  EXPECT_EQ(scene.m_nPhase, PLAYPHASE_FADEOUT);
  EXPECT_EQ(g_SceneManager.m_nNextScene, SCENE_TITLE);
  EXPECT_EQ(cSoundLog::Sounds(), std::vector<int>{1});
}

TEST_F(Menus, EachPauseChoiceLeadsWhereItSays) {
  g_PlayData.m_nSavedLives = 4;
  g_PlayData.m_nSavedTotal = 100;

  // Button 2 goes back to where the pause was opened.
  Pause();
  Frame(KEY_BUTTON2);
  EXPECT_EQ(scene.m_nPhase, PLAYPHASE_PLAY);
  EXPECT_EQ(scene.m_nStep, 5);
  EXPECT_EQ(cSoundLog::Sounds(), std::vector<int>{2});

  // Retry: the stage-start values and the stage again.
  g_PlayData.m_nLives = 1;
  Pause();
  scene.m_nCaptionCount2 = 80;  // set-up shows the start captions again
  Choose(PAUSE_RETRY);
  EXPECT_EQ(scene.m_nCaptionCount2, 0);
  EXPECT_EQ(g_PlayData.m_nLives, 4);
  EXPECT_EQ(scene.m_nPhase, PLAYPHASE_START);
  EXPECT_EQ(scene.m_nStep, 0);

  // Back to the map, in a story stage cleared before.
  g_SceneManager.m_nPlayMode = PLAYMODE_STORY;
  g_SystemData.m_bStoryPauseMap = 1;
  g_SystemData.m_bStoryPauseRetry = 1;
  g_PlayData.m_nStageNo = 1;
  g_PlayData.m_StageClear[1] = 1;
  g_PlayData.m_nTotalScore = 900;
  Pause();
  Choose(PAUSE_TO_MAP);
  EXPECT_EQ(g_PlayData.m_nTotalScore, 100);
  EXPECT_EQ(g_PlayData.m_bFromStage, 1);
  EXPECT_EQ(g_SceneManager.m_nNextScene, SCENE_WORLDMAP);
  EXPECT_EQ(scene.m_nPhase, PLAYPHASE_FADEOUT);

  // Quit: to the title, whose menu opens on the kind of game played.
  g_SceneManager.m_nGameKind = GAME_CONTINUE;
  Pause();
  Choose(PAUSE_QUIT);
  EXPECT_EQ(g_SceneManager.m_nNextScene, SCENE_TITLE);
  EXPECT_EQ(g_Cursor.m_pCur->row, GAME_CONTINUE);
  EXPECT_EQ(scene.m_nPhase, PLAYPHASE_FADEOUT);
  EXPECT_FALSE(platform::IsCloseRequested());

  // Quitting test play closes the program.
  g_bTestPlay = 1;
  g_SceneManager.m_nNextScene = SCENE_WORLDMAP;
  Pause();
  Choose(PAUSE_QUIT);
  EXPECT_TRUE(platform::IsCloseRequested());
  EXPECT_EQ(g_SceneManager.m_nNextScene, SCENE_WORLDMAP);
  EXPECT_EQ(scene.m_nPhase, PLAYPHASE_FADEOUT);
}

TEST_F(Menus, TheRetryMenuSetsTheStageUpOrLeavesForTheMap) {
  g_SceneManager.m_nPlayMode = PLAYMODE_STORY;
  scene.m_nPhase = PLAYPHASE_RETRY;
  scene.m_nStep = 0;
  g_Cursor.m_pCur->row = 1;
  Frame(0);
  EXPECT_EQ(g_Cursor.m_pCur->row, 0);  // opens on retry
  scene.m_nCaptionCount2 = 80;         // set-up shows the start captions again
  Frame(KEY_BUTTON1);
  EXPECT_EQ(scene.m_nCaptionCount2, 0);
  EXPECT_EQ(scene.m_nPhase, PLAYPHASE_START);

  scene.m_nPhase = PLAYPHASE_RETRY;
  scene.m_nStep = 0;
  Frame(0);
  Choose(1);
  EXPECT_EQ(g_PlayData.m_bFromStage, 1);
  EXPECT_EQ(g_SceneManager.m_nNextScene, SCENE_WORLDMAP);
  EXPECT_EQ(scene.m_nPhase, PLAYPHASE_FADEOUT);
  EXPECT_EQ(cSoundLog::Sounds(), (std::vector<int>{1, 1}));
}

}  // namespace
