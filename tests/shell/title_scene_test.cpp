#include "shell/title_scene.h"

#include "menu_scene_fixture.h"
#include "project/option_data.h"
#include "project/story_save.h"

namespace {

using TitleScene = cMenuSceneTest;

TEST_F(TitleScene, ShownCommandsAndTheCursorOnTheLastGameKind) {
  struct sCase {
    std::vector<int> enabled;
    eGameKind remembered;
    std::vector<int> shown;
    int row;
  } cases[] = {
      {{}, GAME_NEWSTORY, {0}, 0},                           // none enabled: command 0 alone
      {{6}, GAME_NEWSTORY, {6}, 0},                          // only quit
      {{0, 1, 2, 3, 4, 5, 6}, GAME_OPTION, {0, 1, 2, 3, 4, 5, 6}, 5},  // back from the options
      {{0, 3, 6}, GAME_FREEPLAY, {0, 3, 6}, 1},              // back from free play
      {{0, 1, 2, 5, 6}, GAME_FREEPLAY, {0, 1, 2, 5, 6}, 3},  // hidden, but inside the window
      {{0, 6}, GAME_FREEPLAY, {0, 6}, 0},                    // hidden beyond it: the first row
  };
  for (const sCase& c : cases) {
    SetMenu(g_SystemData.m_TitleMenu, c.enabled, 7);
    g_SceneManager.m_nGameKind = c.remembered;
    g_Cursor.Reset();
    cTitleScene scene;
    scene.SetupEntries();
    ASSERT_EQ(scene.m_nCount, static_cast<int>(c.shown.size()));
    EXPECT_EQ(std::vector<int>(scene.m_Entries, scene.m_Entries + scene.m_nCount), c.shown);
    EXPECT_EQ(g_Cursor.m_pCur->row, c.row) << "remembered " << c.remembered;
  }
}

TEST_F(TitleScene, NewStoryLivesAndStart) {
  g_WorldMap.SetSize(8, 8);
  g_WorldMap.m_nStartX = 3;
  g_WorldMap.m_nStartY = 5;
  struct sCase {
    int unlimited, start, entryLives, lives;
  } cases[] = {{1, 3, 999999, 999999}, {0, 3, 3, 2}, {0, 1, 1, 0}};
  for (const sCase& c : cases) {
    g_SystemData.m_bUnlimitedLives[PLAY_MODE_STORY] = c.unlimited;
    g_SystemData.m_nStartLives[PLAY_MODE_STORY] = c.start;
    g_PlayData.m_nLap = 4;
    g_PlayData.m_nSaveSlot = 7;
    StartNewStory();
    EXPECT_EQ(g_PlayData.m_nEntryLives, c.entryLives);
    EXPECT_EQ(g_PlayData.m_nLives, c.lives);
    EXPECT_EQ(g_PlayData.m_nMapX, 3);
    EXPECT_EQ(g_PlayData.m_nMapY, 5);
    EXPECT_EQ(g_PlayData.m_nLap, 0);
    EXPECT_EQ(g_PlayData.m_nSaveSlot, -1);
  }
}

// Slot 1 saved, slot 2 a damaged file, the others empty.
TEST_F(TitleScene, SlotListsRefuseTheWrongSlots) {
  g_SystemData.m_bNewStorySlot = 1;
  g_PlayData.m_nLap = 9;
  ASSERT_EQ(g_PlayData.SaveSlot(0), 1);
  WriteBytes("user_data/story/Story02.dat", {1, 2, 3});
  g_PlayData.Reset();

  struct sCase {
    eTitlePhase phase;
    int slot;
    bool taken;
  } cases[] = {
      {TITLE_NEWSTORY, 0, false}, {TITLE_NEWSTORY, 1, false}, {TITLE_NEWSTORY, 2, true},
      {TITLE_CONTINUE, 2, false}, {TITLE_CONTINUE, 1, false}, {TITLE_CONTINUE, 0, true},
  };
  for (const sCase& c : cases) {
    cTitleScene scene;
    g_Cursor.Reset();
    g_Cursor.Push(0);
    scene.m_nPhase = c.phase;
    scene.m_nStep = 0;
    Press(0);
    auto run = [&] { c.phase == TITLE_NEWSTORY ? scene.NewStory() : scene.ContinueStory(); };
    run();  // reads the headers and shows the list
    sounds.Take();
    g_Cursor.m_pCur->row = c.slot;
    Press(KEY_BUTTON1);
    run();
    EXPECT_EQ(sounds.Take(), std::vector<int>{c.taken ? 1 : 3}) << c.phase << " slot " << c.slot;
    EXPECT_EQ(scene.m_nPhase, c.taken ? TITLE_FADEOUT : c.phase);
    if (!c.taken) continue;
    EXPECT_EQ(scene.m_nNextScene, SCENE_WORLDMAP);
    if (c.phase == TITLE_NEWSTORY) {
      EXPECT_EQ(g_PlayData.m_nSaveSlot, 2);
      EXPECT_EQ(g_PlayData.m_bAutoSave, 1);
    } else {
      EXPECT_EQ(g_PlayData.m_nLap, 9);
    }
  }
}

TEST_F(TitleScene, CancelledStageDialogKeepsTheMenu) {
  SetMenu(g_SystemData.m_TitleMenu, {0, 1, 2, 3, 4, 5, 6}, 7);
  g_SceneManager.m_nGameKind = GAME_FREEPLAY;
  cTitleScene scene;
  scene.SetupEntries();
  scene.m_nPhase = TITLE_MENU;
  Press(KEY_BUTTON1);
  scene.Menu();  // no main window answers: the dialog counts as cancelled
  EXPECT_EQ(scene.m_nPhase, TITLE_MENU);
  EXPECT_EQ(g_SceneManager.m_nPlayMode, PLAYMODE_FREE);
  EXPECT_EQ(g_SceneManager.m_nGameKind, GAME_FREEPLAY);
  Press(0);
  scene.Menu();
  EXPECT_EQ(g_SceneManager.m_nPlayMode, PLAYMODE_FREE);
}

TEST_F(TitleScene, ChallengeWithoutItsFileStartsFresh) {
  SetMenu(g_SystemData.m_TitleMenu, {2}, 7);
  g_SystemData.m_nChallengeCount = 12;
  g_PlayData.m_nLap = 5;
  cTitleScene scene;
  scene.SetupEntries();
  scene.m_nPhase = TITLE_MENU;
  Press(KEY_BUTTON1);
  scene.Menu();
  EXPECT_EQ(scene.m_nPhase, TITLE_FADEOUT);
  EXPECT_EQ(scene.m_nNextScene, SCENE_CHALLENGE);
  EXPECT_EQ(g_SceneManager.m_nPlayMode, PLAYMODE_CHALLENGE);
  EXPECT_EQ(g_PlayData.m_nLap, 0);
  EXPECT_EQ(g_PlayData.m_ChallengeClear.size(), 12u);
  scene.FadeOut();
  EXPECT_EQ(g_SceneManager.m_nScene, SCENE_CHALLENGE);
  EXPECT_EQ(g_SceneManager.m_nPrevScene, SCENE_TITLE);
}

TEST_F(TitleScene, InitBuildsTheWindowForTheShownCommands) {
  SetMenu(g_SystemData.m_TitleMenu, {0, 5, 6}, 7);
  g_SystemData.m_TitleMenu[5].m_strCaption = "おぷしょん";
  cTitleScene scene;
  scene.Init();
  ASSERT_EQ(g_MenuSurfaces.size(), 1u);
  // The surface layer may round a size down to its alignment.
  EXPECT_NEAR(g_MenuSurfaces[0].nWidth, 34 + 32 * 5, 3);
  EXPECT_NEAR(g_MenuSurfaces[0].nHeight, 32 * 3 + 2, 3);
  EXPECT_FALSE(platform::IsCloseRequested());
  g_SystemData.m_bTitleMenuPictures = 1;
  scene.Init();
  EXPECT_EQ(scene.m_nWindowX, 288 - 160 / 2);
  EXPECT_NEAR(g_MenuSurfaces[0].nWidth, 160 + 32, 3);
}

}  // namespace

namespace {

// The creators installed for one test.
class cMenuSceneCreators {
 public:
  cMenuSceneCreators() { RegisterMenuScenes(); }
  ~cMenuSceneCreators() {
    g_SceneManager.DeleteAll();
    for (eSceneId id : {SCENE_TITLE, SCENE_WORLDMAP, SCENE_MAPMENU, SCENE_CHALLENGE, SCENE_OPTION})
      SetSceneCreator(id, nullptr);
  }
  cMenuSceneCreators(const cMenuSceneCreators&) = delete;
  cMenuSceneCreators& operator=(const cMenuSceneCreators&) = delete;
};

TEST_F(TitleScene, FromTheTitleToTheOptionsAndBackThroughTheManager) {
  SetMenu(g_SystemData.m_TitleMenu, {0, 5, 6}, 7);
  SetMenu(g_SystemData.m_OptionMenu, {5}, 6);
  cRestore<cOptionData> optionGuard{g_OptionData};
  g_OptionData.m_bBgm = 0;
  cMenuSceneCreators creators;
  auto frame = [](int buttons) {
    g_SceneManager.Switch(g_SceneManager.m_nScene);
    cScene* scene = g_SceneManager.Scene(g_SceneManager.m_nScene);
    ASSERT_NE(scene, nullptr);
    GetInput(0).m_wButton = static_cast<std::int16_t>(buttons);
    GetInput(0).m_wDirection = 0;
    scene->Run();
  };
  g_SceneManager.m_nScene = SCENE_TITLE;
  frame(0);  // Init and the fade-in
  ASSERT_EQ(g_SceneManager.m_pTitle->m_nPhase, TITLE_MENU);
  g_Cursor.m_pCur->row = 1;  // the options
  frame(KEY_BUTTON1);
  frame(0);
  EXPECT_EQ(g_SceneManager.m_nScene, SCENE_OPTION);
  frame(0);
  frame(0);
  frame(KEY_BUTTON1);  // "back to the title", the only row
  frame(0);
  EXPECT_EQ(g_SceneManager.m_nScene, SCENE_TITLE);
  EXPECT_EQ(g_SceneManager.m_nPrevScene, SCENE_OPTION);
  frame(0);
  EXPECT_EQ(g_SceneManager.m_pOption, nullptr);
  EXPECT_EQ(g_Cursor.m_pCur->row, 1);  // back on the options command
  EXPECT_FALSE(platform::IsCloseRequested());
}

}  // namespace
