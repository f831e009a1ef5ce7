#include "shell/challenge_scene.h"

#include "media/palette.h"
#include "menu_scene_fixture.h"

namespace {

using ChallengeScene = cMenuSceneTest;

TEST_F(ChallengeScene, StageFileByNumber) {
  EXPECT_EQ(ChallengeStageFile(7), "data\\stg4\\c07-1.stg4");
  EXPECT_EQ(ChallengeStageFile(12), "data\\stg4\\c12-1.stg4");
  MakeChallengeStageName(7);
  EXPECT_NE(g_PlayData.m_strStageName.find("c07."), std::string::npos);
}

TEST_F(ChallengeScene, SelectableStagesAndRows) {
  struct sCase {
    int allOpen, count, unlocked, top;
    int total, rows;
  } cases[] = {
      {1, 25, 1, 0, 25, 10}, {1, 25, 1, 20, 25, 5}, {0, 25, 1, 0, 1, 1}, {0, 25, 13, 10, 13, 3}};
  for (const sCase& c : cases) {
    g_SystemData.m_bChallengeAllOpen = c.allOpen;
    g_SystemData.m_nChallengeCount = c.count;
    g_PlayData.m_nChallengeOpen = c.unlocked;
    cChallengeScene scene;
    scene.m_nTop = c.top;
    scene.Recount();
    EXPECT_EQ(scene.m_nTotal, c.total);
    EXPECT_EQ(scene.m_nRows, c.rows);
  }
}

TEST_F(ChallengeScene, PositionAndScrollComeBackAndAMissingStageStays) {
  g_SystemData.m_bChallengeAllOpen = 1;
  g_SystemData.m_nChallengeCount = 25;
  g_SceneManager.m_nChallengeCursor = 12;
  g_SceneManager.m_nChallengeScroll = 5;
  cChallengeScene scene;
  scene.Init();
  EXPECT_EQ(g_Cursor.m_pCur->row, 12);
  EXPECT_EQ(scene.m_nTop, 5);
  EXPECT_NE(g_PlayData.m_strStageName.find("c13."), std::string::npos);
  ASSERT_EQ(g_MenuSurfaces.size(), 1u);

  scene.m_nPhase = CHALLENGE_MAIN;
  Press(0, KEY_DOWN);
  scene.Main();
  EXPECT_EQ(g_Cursor.m_pCur->row, 13);
  EXPECT_NE(g_PlayData.m_strStageName.find("c14."), std::string::npos);
  sounds.Take();
  Press(KEY_BUTTON1);
  scene.Main();  // no such file: refused, the scene stays
  EXPECT_EQ(sounds.Take(), std::vector<int>{3});
  EXPECT_EQ(scene.m_nPhase, CHALLENGE_MAIN);
  EXPECT_EQ(g_SceneManager.m_nChallengeCursor, 12);
  Press(KEY_BUTTON2);
  scene.Main();
  EXPECT_EQ(scene.m_nPhase, CHALLENGE_FADEOUT);
  scene.FadeOut();
  EXPECT_EQ(g_SceneManager.m_nScene, SCENE_TITLE);
  EXPECT_EQ(g_SceneManager.m_nPrevScene, SCENE_CHALLENGE);
}

TEST_F(ChallengeScene, RankingButtonFollowsTheProjectSwitch) {
  for (int on : {1, 0}) {
    g_SystemData.m_RankingSets[PLAY_MODE_CHALLENGE].m_bRanking = on;
    g_PlayData.m_bShowRanking = 1;
    cChallengeScene scene;
    scene.m_nPhase = CHALLENGE_MAIN;
    Press(KEY_BUTTON3);
    scene.Main();
    // On, the button toggles the ranking off; off, it only hides it.
    EXPECT_EQ(g_PlayData.m_bShowRanking, 0);
    scene.Main();
    EXPECT_EQ(g_PlayData.m_bShowRanking, on);
  }
}

}  // namespace

namespace {

// The pixels of the band where the best-score heading stands, left of the ranking table.
std::vector<std::uint32_t> HeadingBand(DDSURFACEDATA& s) {
  std::vector<std::uint32_t> out;
  for (int y = 128; y < 144; ++y)
    for (int x = 32; x < 290; ++x) out.push_back(s.Pixels()->Get(x, y));
  return out;
}

TEST_F(ChallengeScene, BestScoreHeadingOnlyWithoutTheRanking) {
  cRestore<PALETTEENTRY> ink{g_WorkPalette[255]};
  cRestore<PALETTEENTRY> inkToo{g_Palette[255]};
  g_WorkPalette[255] = g_Palette[255] = PALETTEENTRY{255, 255, 255, 0};
  DDSURFACEDATA box;
  // The font must not keep this test's box surface once the test is over.
  cRestore<DDSURFACEDATA*> boxPic{g_Font[2].m_pBoxPic};
  ASSERT_TRUE(DDCreateSurface(&box, 64, 64, 1, 1, DTMEMORYTYPE_VIDEO_RT, 0, 0));
  box.Pixels()->Fill(0x203040);
  g_Font[2].Init("ＭＳ ゴシック", 0, 16, 16, 16, 255, &box, 1, 240, nullptr, 0);
  ASSERT_TRUE(g_Font[2].HasFace());
  g_SystemData.m_RankingSets[PLAY_MODE_CHALLENGE].m_bRanking = 1;
  struct sCase {
    int bestScores, rankingShown;
  } cases[] = {{1, 0}, {1, 1}, {0, 1}};
  std::vector<std::vector<std::uint32_t>> bands;
  for (const sCase& c : cases) {
    g_SystemData.m_bChallengeShowHiScore = c.bestScores;
    g_PlayData.m_bShowRanking = c.rankingShown;
    DDSURFACEDATA screen;
    ASSERT_TRUE(DDCreateSurface(&screen, 640, 480, 0, 1, DTMEMORYTYPE_VIDEO_RT, 0, 0));
    cChallengeScene scene;
    scene.DrawScreen(&screen);
    bands.push_back(HeadingBand(screen));
    DDReleaseSurface(&screen);
  }
  g_Font[2].Release();
  DDReleaseSurface(&box);
  EXPECT_NE(bands[0], bands[2]);  // the heading is drawn
  EXPECT_EQ(bands[1], bands[2]);  // with the ranking shown it is not
}

}  // namespace
