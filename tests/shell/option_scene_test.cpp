#include "shell/option_scene.h"

#include <filesystem>

#include "media/bgm.h"
#include "platform/message_box.h"
#include "menu_scene_fixture.h"
#include "project/option_data.h"

namespace {

class OptionScene : public cMenuSceneTest {
 protected:
  void SetUp() override {
    cMenuSceneTest::SetUp();
    SetMenu(g_SystemData.m_OptionMenu, {0, 1, 2, 3, 4, 5}, 6);
  }
  // Opens the item on row row and moves its value once in direction keys.
  void Change(cOptionScene& scene, int row, int keys) {
    scene.m_nPhase = OPTION_MAIN;
    scene.m_nStep = 1;
    g_Cursor.m_pCur->row = row;
    Press(KEY_BUTTON1);
    scene.Main();
    ASSERT_EQ(scene.m_nStep, 2);
    Press(0, keys);
    scene.Main();
  }
  cRestore<cOptionData> optionGuard{g_OptionData};
};

TEST_F(OptionScene, ValuesWrapAtBothEnds) {
  struct sCase {
    int row, from, keys, to;
    std::int32_t cOptionData::*field;
  } cases[] = {
      {0, 23, KEY_UP, 0, &cOptionData::m_nPalette},   {0, 0, KEY_DOWN, 23, &cOptionData::m_nPalette},
      {2, 10, KEY_UP, 0, &cOptionData::m_nSeVolume},  {2, 0, KEY_DOWN, 10, &cOptionData::m_nSeVolume},
      {1, 1, KEY_UP, 0, &cOptionData::m_bBgm},        {3, 3, KEY_UP, 0, &cOptionData::m_nRankMode},
      {3, 1, KEY_DOWN, 0, &cOptionData::m_nRankMode},
  };
  for (const sCase& c : cases) {
    g_OptionData.*c.field = c.from;
    cOptionScene scene;
    scene.Init();
    Change(scene, c.row, c.keys);
    EXPECT_EQ(g_OptionData.*c.field, c.to) << "row " << c.row << " from " << c.from;
  }
}

TEST_F(OptionScene, CancelRestoresAndDecideKeeps) {
  g_OptionData.m_nSeVolume = 4;
  cOptionScene scene;
  scene.Init();
  Change(scene, 2, KEY_UP);
  Press(0, KEY_UP);
  scene.Main();
  EXPECT_EQ(g_OptionData.m_nSeVolume, 6);
  Press(KEY_BUTTON2);
  scene.Main();
  EXPECT_EQ(g_OptionData.m_nSeVolume, 4);
  EXPECT_EQ(scene.m_nStep, 1);
  EXPECT_EQ(g_Cursor.Depth(), 1);
  Change(scene, 2, KEY_DOWN);
  Press(KEY_BUTTON1);
  scene.Main();
  EXPECT_EQ(g_OptionData.m_nSeVolume, 3);
  EXPECT_EQ(scene.m_nStep, 1);
}

TEST_F(OptionScene, OnlyBackShownAndTheFileWrittenOnLeaving) {
  SetMenu(g_SystemData.m_OptionMenu, {5}, 6);
  g_OptionData.m_bBgm = 0;  // the music manager is not running and stays off
  g_OptionData.m_nPalette = 7;
  cOptionScene scene;
  scene.Init();
  ASSERT_EQ(scene.m_nCount, 1);
  EXPECT_EQ(scene.m_Entries[0], OPTION_BACK);
  scene.m_nPhase = OPTION_MAIN;
  Press(KEY_BUTTON1);
  scene.Main();
  EXPECT_EQ(scene.m_nPhase, OPTION_FADEOUT);
  EXPECT_FALSE(std::filesystem::exists("user_data/Option.dat"));
  g_OptionData.m_nPalette = 0;
  scene.FadeOut();
  ASSERT_TRUE(std::filesystem::exists("user_data/Option.dat"));
  EXPECT_EQ(g_SceneManager.m_nScene, SCENE_TITLE);
  EXPECT_EQ(g_SceneManager.m_nPrevScene, SCENE_OPTION);
  g_OptionData.m_nPalette = 9;
  ASSERT_EQ(g_OptionData.Load(), 1);
  EXPECT_EQ(g_OptionData.m_nPalette, 0);
}

// The write fails: the old file is kept and no box is shown.
TEST_F(OptionScene, UnwritableOptionFileIsOnlyLogged) {
  ASSERT_TRUE(std::filesystem::remove_all("user_data") > 0);
  WriteBytes("user_data", {1});  // a file where the folder should be
  static int boxes = 0;
  boxes = 0;
  platform::SetMessageBoxHandler([](const std::string&, const std::string&, int) {
    ++boxes;
    return 1;
  });
  SaveOptionFile();
  platform::SetMessageBoxHandler(nullptr);
  EXPECT_EQ(boxes, 0);
  EXPECT_EQ(ReadBytes("user_data"), std::vector<std::uint8_t>{1});
}

TEST_F(OptionScene, MusicSwitchStartsOrReleasesTheManager) {
  g_SceneManager.m_nBgm = 5;
  g_OptionData.m_bBgm = 0;
  ApplyMusicOption();  // not running and off: nothing
  EXPECT_EQ(g_SceneManager.m_nBgm, 5);
  g_OptionData.m_bBgm = 1;
  ApplyMusicOption();
  if (!g_Bgm.IsInit()) GTEST_SKIP() << "no audio device";
  EXPECT_EQ(g_SceneManager.m_nBgm, 0);
  g_SceneManager.m_nBgm = 5;
  g_OptionData.m_bBgm = 0;
  ApplyMusicOption();
  EXPECT_FALSE(g_Bgm.IsInit());
  EXPECT_EQ(g_SceneManager.m_nBgm, 0);
}

}  // namespace
