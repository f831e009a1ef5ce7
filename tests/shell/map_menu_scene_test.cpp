#include "shell/map_menu_scene.h"

#include <filesystem>

#include "menu_scene_fixture.h"

namespace {

class MapMenuScene : public cMenuSceneTest {
 protected:
  void SetUp() override {
    cMenuSceneTest::SetUp();
    SetMenu(g_SystemData.m_MapMenu, {0, 1, 2, 3}, 4);
    scene.Init();
    scene.m_nPhase = MAPMENU_MENU;
  }
  // Chooses the command on row row of the menu.
  void Choose(int row) {
    g_Cursor.m_pCur->row = row;
    Press(KEY_BUTTON1);
    scene.Menu();
    Press(0);
  }
  void RunPhase() {
    switch (scene.m_nPhase) {
      case MAPMENU_SAVE: scene.SaveSlotSelect(); break;
      case MAPMENU_AUTOSAVE: scene.AutoSaveSelect(); break;
      case MAPMENU_BACK: scene.Back(); break;
      case MAPMENU_TOTITLE: scene.ToTitle(); break;
      default: scene.Menu(); break;
    }
  }
  cMapMenuScene scene;
};

TEST_F(MapMenuScene, ShownCommands) {
  struct sCase {
    std::vector<int> enabled;
    int size;
    std::vector<int> shown;
  } cases[] = {
      {{}, 4, {0}},                       // none enabled: "save" alone
      {{1, 3}, 4, {1, 3}},
      {{0, 1, 2, 3, 4}, 5, {0, 1, 2, 3}},  // a fifth command is never shown
  };
  for (const sCase& c : cases) {
    SetMenu(g_SystemData.m_MapMenu, c.enabled, c.size);
    cMapMenuScene menu;
    menu.Init();
    EXPECT_EQ(std::vector<int>(menu.m_Entries, menu.m_Entries + menu.m_nCount), c.shown);
  }
}

TEST_F(MapMenuScene, ConfirmationsOpenOnNo) {
  g_PlayData.m_nSaveSlot = -1;
  Choose(0);
  ASSERT_EQ(scene.m_nPhase, MAPMENU_SAVE);
  RunPhase();
  // A story never saved opens the list at slot 0.
  EXPECT_EQ(g_Cursor.m_pCur->row, 0);
  EXPECT_EQ(scene.m_nListTop, 0);
  EXPECT_EQ(scene.m_nListRows, 10);
  Press(KEY_BUTTON1);
  RunPhase();
  EXPECT_EQ(g_Cursor.m_pCur->row, 1);
  Press(KEY_BUTTON1);
  RunPhase();  // "no": nothing written, back in the list
  EXPECT_FALSE(std::filesystem::exists("user_data/story/Story01.dat"));
  EXPECT_EQ(scene.m_nStep, 1);
  Press(KEY_BUTTON2);
  RunPhase();
  EXPECT_EQ(scene.m_nPhase, MAPMENU_MENU);
  EXPECT_EQ(g_Cursor.Depth(), 1);

  Choose(3);
  ASSERT_EQ(scene.m_nPhase, MAPMENU_TOTITLE);
  RunPhase();
  EXPECT_EQ(g_Cursor.m_pCur->row, 1);
  Press(KEY_BUTTON1);
  RunPhase();
  EXPECT_EQ(scene.m_nPhase, MAPMENU_MENU);
  Choose(3);
  RunPhase();
  g_Cursor.m_pCur->row = 0;
  Press(KEY_BUTTON1);
  RunPhase();
  EXPECT_EQ(scene.m_nPhase, MAPMENU_FADEOUT);
  EXPECT_EQ(scene.m_nNextScene, SCENE_TITLE);
}

TEST_F(MapMenuScene, SavingIntoAChosenSlot) {
  g_PlayData.m_nSaveSlot = 4;
  Choose(0);
  RunPhase();
  EXPECT_EQ(g_Cursor.m_pCur->row, 4);
  g_Cursor.m_pCur->row = 6;
  Press(KEY_BUTTON1);
  RunPhase();
  g_Cursor.m_pCur->row = 0;
  sounds.Take();
  Press(KEY_BUTTON1);
  RunPhase();
  EXPECT_EQ(sounds.Take(), std::vector<int>{5});
  EXPECT_EQ(g_PlayData.m_nSaveSlot, 6);
  EXPECT_TRUE(std::filesystem::exists("user_data/story/Story07.dat"));
  EXPECT_EQ(scene.m_nPhase, MAPMENU_SAVE);
  EXPECT_EQ(scene.m_nStep, 1);
}

TEST_F(MapMenuScene, AutosaveChoice) {
  struct sCase {
    int slot, autosave, row;
    int after;
    bool written;
  } cases[] = {
      {2, 0, 0, 1, true},   // on: saved at once
      {2, 1, 1, 0, false},  // off: nothing written
      {-1, 0, 0, 0, false}, // never saved: the notice, nothing changes
  };
  for (const sCase& c : cases) {
    std::filesystem::remove("user_data/story/Story03.dat");
    g_PlayData.m_nSaveSlot = c.slot;
    g_PlayData.m_bAutoSave = c.autosave;
    scene.m_nPhase = MAPMENU_MENU;
    scene.m_nStep = 0;
    g_Cursor.Reset();
    Choose(1);
    RunPhase();  // entry: opens on the current setting
    EXPECT_EQ(scene.m_nStep, c.slot == -1 ? 2 : 1);
    if (c.slot != -1) {
      EXPECT_EQ(g_Cursor.m_pCur->row, c.autosave ? 0 : 1);
    }
    g_Cursor.m_pCur->row = c.row;
    Press(KEY_BUTTON1);
    RunPhase();
    EXPECT_EQ(scene.m_nPhase, MAPMENU_MENU);
    EXPECT_EQ(g_PlayData.m_bAutoSave, c.after);
    EXPECT_EQ(std::filesystem::exists("user_data/story/Story03.dat"), c.written);
  }
}

TEST_F(MapMenuScene, CancelGoesBackToTheMap) {
  Press(KEY_BUTTON2);
  scene.Menu();
  ASSERT_EQ(scene.m_nPhase, MAPMENU_BACK);
  scene.Back();
  EXPECT_EQ(scene.m_nPhase, MAPMENU_FADEOUT);
  scene.FadeOut();
  EXPECT_EQ(g_SceneManager.m_nScene, SCENE_WORLDMAP);
  EXPECT_EQ(g_SceneManager.m_nPrevScene, SCENE_MAPMENU);
}

}  // namespace
