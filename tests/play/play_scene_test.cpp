#include "play/play_scene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "effect_tables.h"
#include "foundation/report.h"
#include "foundation/shell_services.h"
#include "media/present.h"
#include "media/surface_list.h"
#include "objects/chara.h"
#include "objects/chara_effect_table.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "objects/shot.h"
#include "platform/input.h"
#include "play/effect_anim.h"
#include "play/input.h"
#include "play/play_graphics.h"
#include "play/stage_draw.h"
#include "play/stage_end.h"
#include "play/stage_setup.h"
#include "play_fixture.h"
#include "project/database.h"
#include "project/option_data.h"
#include "project/play_data.h"
#include "project/stage.h"
#include "project/system_data.h"
#include "tests/play/call_log.h"
#include "tests/support/temp_folder.h"

namespace {

using Calls = std::vector<std::string>;

// Draws nothing and notes which kind of character the plain drawing was asked to draw.
int NoteDrawnChara(cCharaBase& chara, DDSURFACEDATA*, sGraphicSrc*, int, int draw) {
  if (draw) g_PlayLaterCalls.emplace_back(dynamic_cast<cHero*>(&chara) ? "Hero" : "Chara");
  return 0;
}

// A scene over a stage with one hero and the settings the tests change, all restored after.
class PlayScene : public cPlayDevice {
 protected:
  void SetUp() override {
    Init(0, 32);
    InitInputs(1);
    g_Heroes.emplace_back();
    g_pPlayScene = &scene;
    g_PlayLaterCalls.clear();
  }
  void TearDown() override {
    g_pPlayScene = nullptr;
    g_CharaList.clear();
    g_ItemList.clear();
    g_Heroes.clear();
    g_PlayLaterCalls.clear();
    platform::ReleaseAllKeys();
    cPlayDevice::TearDown();
  }
  // Runs step with the error log on; true when the stage was set up again meanwhile (the
  // set-up writes its trace there).
  template <class F>
  bool SetsTheStageUp(F step) {
    cTempFolder folder;
    std::string log = folder.HostPath() + "/err.txt";
    ErrLogSetup(1, log.c_str());
    step();
    ErrLogSetup(0, nullptr);
    std::vector<std::string> lines = ReadLines(log);
    return std::find(lines.begin(), lines.end(), "In SetStage bLoadStage = 1") != lines.end();
  }
  // Frames run until the phase leaves from (at most limit); the number run.
  int FramesIn(int from, int limit = 1000) {
    int frames = 0;
    while (scene.m_nPhase == from && frames < limit) {
      ++frames;
      scene.Run();
    }
    return frames;
  }

  cRestore<cStage> stage{g_Stage};
  cRestore<cSystemData> system{g_SystemData};
  cRestore<cPlayData> play{g_PlayData};
  cRestore<cOptionData> option{g_OptionData};
  cRestore<cSceneManager> manager{g_SceneManager};
  cRestore<int> testPlay{g_bTestPlay};
  cRestore<int> editor{g_bEditorLaunch};
  cRestore<cVector<cInputState>> inputs{g_Inputs};
  cPlayScene scene;
};

TEST_F(PlayScene, StartCaptionsTakeTheirFramesBeforePlay) {
  struct sCase {
    const char* name;
    int first, second;
    eGameKind kind;
    int testPlay, editor;
    int frames;  // frames run in phase 1, the last one setting play
  };
  const sCase cases[] = {
      {"both off", 0, 0, GAME_FREEPLAY, 0, 0, 1},
      {"first only", 1, 0, GAME_FREEPLAY, 0, 0, 80},
      {"second only", 0, 1, GAME_FREEPLAY, 0, 0, 80},
      {"both", 1, 1, GAME_FREEPLAY, 0, 0, 159},
      {"replay", 0, 0, GAME_REPLAY, 0, 0, 80},
      {"test play", 1, 1, GAME_FREEPLAY, 1, 0, 159},
      {"editor test play", 1, 1, GAME_FREEPLAY, 1, 1, 1},
  };
  for (const sCase& c : cases) {
    g_Stage.m_bStartCaption1 = c.first;
    g_Stage.m_bStartCaption2 = c.second;
    g_SceneManager.m_nGameKind = c.kind;
    g_bTestPlay = c.testPlay;
    g_bEditorLaunch = c.editor;
    scene.m_nCaptionCount = scene.m_nCaptionCount2 = 0;
    scene.m_nPhase = PLAYPHASE_START;
    EXPECT_EQ(FramesIn(PLAYPHASE_START), c.frames) << c.name;
    EXPECT_EQ(scene.m_nPhase, PLAYPHASE_PLAY) << c.name;
    EXPECT_EQ(scene.m_nCaptionCount, 0) << c.name;
  }
  // The second caption's counter is only reset by set-up: play resumed from phase 1 without
  // a set-up shows the first caption again but not the second.
  g_bTestPlay = g_bEditorLaunch = 0;
  g_SceneManager.m_nGameKind = GAME_FREEPLAY;
  scene.m_nCaptionCount = scene.m_nCaptionCount2 = 0;
  scene.m_nPhase = PLAYPHASE_START;
  EXPECT_EQ(FramesIn(PLAYPHASE_START), 159);
  scene.m_nPhase = PLAYPHASE_START;
  EXPECT_EQ(FramesIn(PLAYPHASE_START), 80);
}

TEST_F(PlayScene, StageEndConfirmsOnceTheClearCaptionIsShown) {
  struct sCase {
    const char* name;
    int caption, autoEnd, press;
    int frames;  // the frame that decides
  };
  const sCase cases[] = {
      {"clear caption", 1, 0, 1, 51},
      {"no clear caption", 0, 0, 1, 2},
      {"auto end", 1, 1, 0, 51},
      {"auto end, no caption", 0, 1, 0, 2},
  };
  cInputState& input = GetInput(0);
  for (const sCase& c : cases) {
    g_Stage.m_bClearCaption = c.caption;
    g_Stage.m_bAutoEnd = c.autoEnd;
    scene.m_nPhase = PLAYPHASE_STAGEEND;
    scene.m_nStep = 0;
    g_PlayLaterCalls.clear();
    int frames = 0;
    while (scene.m_nPhase == PLAYPHASE_STAGEEND && frames < 300) {
      // A fresh press of button 1 in every frame.
      input.m_wButton = c.press ? KEY_BUTTON1 : 0;
      input.m_bLatch = 0;
      ++frames;
      scene.Run();
    }
    EXPECT_EQ(frames, c.frames) << c.name;
    EXPECT_EQ(scene.m_nPhase, PLAYPHASE_FADEOUT) << c.name;
    // The next scene was decided: a new story without a map point goes back to the map.
    EXPECT_EQ(g_SceneManager.m_nNextScene, SCENE_WORLDMAP) << c.name;
  }
  // Without a press the stage end waits; the space key pauses it, but not with auto end.
  g_Stage.m_bAutoEnd = 0;
  scene.m_nPhase = PLAYPHASE_STAGEEND;
  scene.m_nStep = 0;
  input.m_wButton = 0;
  EXPECT_EQ(FramesIn(PLAYPHASE_STAGEEND, 300), 300);
  platform::SetKeyDown(platform::VK_SPACE, true);
  scene.Run();
  EXPECT_EQ(scene.m_nPhase, PLAYPHASE_PAUSE);
  EXPECT_EQ(scene.m_nPausedPhase, PLAYPHASE_STAGEEND);
  g_Stage.m_bAutoEnd = 1;
  g_Stage.m_bClearCaption = 1;
  scene.m_nPhase = PLAYPHASE_STAGEEND;
  scene.m_nStep = 0;
  EXPECT_EQ(FramesIn(PLAYPHASE_STAGEEND), 51);
}

TEST_F(PlayScene, UseLifeTakesALifeUnlessTheyAreUnlimited) {
  struct sCase {
    int testPlay, lives;
    int result, left;
  };
  const sCase cases[] = {
      {1, 0, 1, 0}, {0, 999999, 1, 999999}, {0, 1, 1, 0}, {0, 5, 1, 4}, {0, 0, 0, 0}};
  for (const sCase& c : cases) {
    g_bTestPlay = c.testPlay;
    g_PlayData.m_nLives = c.lives;
    EXPECT_EQ(scene.UseLife(g_PlayData), c.result) << c.testPlay << " " << c.lives;
    EXPECT_EQ(g_PlayData.m_nLives, c.left) << c.testPlay << " " << c.lives;
  }
}

TEST_F(PlayScene, AFinishedHeroLeadsToTheNextAttemptTheRetryMenuOrGameOver) {
  struct sCase {
    const char* name;
    eGameKind kind;
    ePlayMode mode;
    int retryMenu, lives;
    int phase;
    bool setUp;
  };
  const sCase cases[] = {
      {"replay", GAME_REPLAY, PLAYMODE_REPLAY, 0, 0, PLAYPHASE_START, true},
      {"last miss", GAME_NEWSTORY, PLAYMODE_STORY, 1, 0, PLAYPHASE_GAMEOVER, false},
      {"story retry menu", GAME_NEWSTORY, PLAYMODE_STORY, 1, 2, PLAYPHASE_RETRY, false},
      {"again", GAME_CHALLENGE, PLAYMODE_CHALLENGE, 1, 2, PLAYPHASE_START, true},
  };
  for (const sCase& c : cases) {
    g_SceneManager.m_nGameKind = c.kind;
    g_SceneManager.m_nPlayMode = c.mode;
    g_SystemData.m_bStoryRetryMenu = c.retryMenu;
    g_PlayData.m_nLives = c.lives;
    if (g_Heroes.empty()) g_Heroes.emplace_back();
    g_Heroes.front().m_bFinished = 1;
    // The player's character without an effect waits out its last second first.
    g_Heroes.front().m_nFinishWait = g_SceneManager.m_nFps;
    scene.m_nPhase = PLAYPHASE_PLAY;
    EXPECT_EQ(SetsTheStageUp([&] { scene.DrawHero(0); }), c.setUp) << c.name;
    EXPECT_EQ(scene.m_nPhase, c.phase) << c.name;
  }
}

TEST_F(PlayScene, DrawFrameDrawsTheStageInLayers) {
  cRestore<CharaEffectFunc> plain(g_CharaEffectFunc[0], NoteDrawnChara);
  g_Stage.m_bZOrder = 0;
  g_CharaList.emplace_back().m_bOnScreen = 1;
  g_ItemList.emplace_back().m_bOnScreen = 1;
  cRestore<cVector<cDbEffect>> effects{g_DataBase.m_Effect};
  cRestore<cVector<AnimeRun>> sequences{g_EffectSequences};
  g_DataBase.m_Effect.resize(2);
  BuildEffectFrameTable(g_EffectSequences);
  scene.m_EffectList.emplace_back(sEffectRecord{1, 0, 0, 32, 32, 0});
  scene.m_EffectList.emplace_back();                    // never started: ends at once
  scene.m_MessageList.emplace_back().m_nTimerMode = 2;  // its count is over: it goes
  scene.m_MessageList.emplace_back();
  g_bTestPlay = 1;
  scene.DrawFrame(1, 0, 1, 1);
  // (the layers, blocks, items, pictures, light, status bar, time and flash are drawn for real
  // and leave no trace)
  const Calls oneLayer = {"Hero", "Chara"};
  EXPECT_EQ(g_PlayLaterCalls, oneLayer);
  EXPECT_EQ(scene.m_EffectList.size(), 1u);
  EXPECT_EQ(scene.m_MessageList.size(), 1u);

  // Drawing layers: each object in the pass of its definition's layer.
  g_Stage.m_bZOrder = 1;
  g_Heroes.front().m_Def.m_nZ = 3;
  g_CharaList.front().m_Def.m_nZ = 1;
  g_PlayLaterCalls.clear();
  scene.DrawFrame(1, 0, 1, 1);
  const Calls objects(g_PlayLaterCalls.begin(), g_PlayLaterCalls.begin() + 2);
  EXPECT_EQ(objects, (Calls{"Chara", "Hero"}));

  // The pause that hides the stage stops after the front layers and the flash.
  g_SystemData.m_bPauseHidesStage = 1;
  scene.m_nPhase = PLAYPHASE_PAUSE;
  g_PlayLaterCalls.clear();
  scene.DrawFrame(0, 1, 0, 1);
  EXPECT_TRUE(g_PlayLaterCalls.empty());  // no object, picture or message

  // A finished character whose end is over goes, from its group list too.
  scene.m_nPhase = PLAYPHASE_PLAY;
  cChara& chara = g_CharaList.front();
  chara.m_bFinished = 1;
  chara.m_nControl = 1;  // a computer character without an effect goes at once
  const int group = chara.m_Def.m_nGroup;
  scene.m_CharaGroup[group].push_back(&chara);
  scene.DrawFrame(1, 0, 1, 1);
  EXPECT_TRUE(g_CharaList.empty());
  EXPECT_TRUE(scene.m_CharaGroup[group].empty());
}

TEST_F(PlayScene, AScreenEffectDrawsTheFrameIntoTheVirtualBackBuffer) {
  DDRelease();
  Init(1, 32);
  cEffectTables tables;
  scene.m_ScrEffect.Start(tables.Screen(SCR_EFFECT_MOSAIC, {10, 1, 60}), 0, 0);
  scene.DrawFrame(1, 0, 1, 1);
  EXPECT_EQ(lpDTCon->bVirBackBuffer, 1);
  DDSetVirBackBuffer(0);
}

TEST_F(PlayScene, ALostShotSheetIsRebuiltBeforeTheFrameIsDrawn) {
  for (int i : {kShotSheet, kShotSheet + 1})
    ASSERT_TRUE(DDCreateSurface(&g_SystemSurface[i], 128, 480, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0));
  for (int i : {kShotWorkSheet, kShotWorkSheet + 1}) {
    ASSERT_TRUE(DDCreateSurface(&g_SystemSurface[i], 256, 960, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0));
    DDClearColor(&g_SystemSurface[i], 0x123456);
  }
  DDSURFACEDATA& work = g_SystemSurface[kShotWorkSheet];
  const std::uint32_t stale = work.Pixels()->Get(0, 0);
  g_SystemSurface[kShotWorkSheet + 1].bLost = 1;
  scene.DrawFrame(1, 0, 1, 1);
  EXPECT_NE(work.Pixels()->Get(0, 0), stale);
  EXPECT_EQ(work.bLost, 0);
  EXPECT_EQ(g_SystemSurface[kShotWorkSheet + 1].bLost, 0);
}

TEST_F(PlayScene, AStageWithoutHeroIsNeitherSteppedNorDrawn) {
  g_Heroes.clear();
  scene.m_nPhase = PLAYPHASE_PLAY;
  scene.Run();
  EXPECT_TRUE(g_PlayLaterCalls.empty());
  EXPECT_EQ(scene.m_nPhase, PLAYPHASE_PLAY);
}

TEST_F(PlayScene, FadeOutRestartsAFreePlayFileAndHandsOverToTheNextScene) {
  struct sCase {
    const char* name;
    eGameKind kind;
    int multiPart, testPlay;
    bool restarts;
  };
  const sCase cases[] = {
      {"free play", GAME_FREEPLAY, 0, 0, true},
      {"next part of a free play", GAME_FREEPLAY, 1, 0, false},
      {"test play", GAME_NEWSTORY, 1, 1, true},
      {"story", GAME_NEWSTORY, 1, 0, false},
  };
  // A path the program cannot hold: the restart fails at once and asks for the close.
  g_Stage.m_strPath = std::string(300, 'a');
  g_SceneManager.m_nFadeStep = 0;  // every fade ends in its first frame
  for (const sCase& c : cases) {
    platform::ResetCloseRequest();
    g_SceneManager.m_nGameKind = c.kind;
    g_SceneManager.m_nNextScene = SCENE_WORLDMAP;
    g_SceneManager.m_nScene = SCENE_PLAY;
    g_PlayData.m_bMultiPart = c.multiPart;
    g_bTestPlay = c.testPlay;
    scene.m_nPhase = PLAYPHASE_FADEOUT;
    scene.Run();
    EXPECT_EQ(platform::IsCloseRequested(), c.restarts) << c.name;
    EXPECT_EQ(g_PlayData.m_bMultiPart, c.restarts ? 0 : c.multiPart) << c.name;
    EXPECT_EQ(g_SceneManager.m_nScene, SCENE_WORLDMAP) << c.name;
    EXPECT_EQ(g_SceneManager.m_nPrevScene, SCENE_PLAY) << c.name;
    EXPECT_EQ(g_SceneManager.m_nFps, 60) << c.name;
    EXPECT_EQ(scene.m_nPhase, PLAYPHASE_INIT) << c.name;
  }
}

TEST_F(PlayScene, InitLoadsTheImagesItNeedsAndSetsTheStageUp) {
  // The system bitmap table as start-up hands it to the device.
  cRestore<cBmpInfo*> table{g_lpDDBmpInfo, g_SystemBmpInfo};
  cRestore<DDSURFACEDATA*> surfaces{g_lpDDSurfaces, g_SystemSurface};
  cRestore<int> count{g_nDDSurfaceCount, kSystemSurfaceCount};
  std::vector<std::unique_ptr<cRestore<cBmpInfo>>> layerSlots;
  for (int i = 55; i < 63; ++i)
    layerSlots.push_back(std::make_unique<cRestore<cBmpInfo>>(g_SystemBmpInfo[i]));
  g_Stage.m_BackLayers.resize(2);
  g_Stage.m_BackLayers[0].m_bFill = 1;
  g_Stage.m_BackLayers[1].m_bFill = 0;
  g_Stage.m_BackLayers[1].m_strImage = "bmp\\back.bmp";

  // A stage that follows a stage loads only the (optional) layer images.
  g_SceneManager.m_nPrevScene = SCENE_PLAY;
  g_SceneManager.m_nFadeStep = 0;
  EXPECT_TRUE(SetsTheStageUp([&] { scene.Run(); }));
  EXPECT_EQ(g_SystemBmpInfo[55].szFile, "");
  EXPECT_EQ(g_SystemBmpInfo[56].szFile, "bmp\\back.bmp");
  EXPECT_EQ(g_SystemBmpInfo[57].szFile, "");
  EXPECT_FALSE(platform::IsCloseRequested());
  EXPECT_EQ(scene.m_RankPos.size(), 5u);
  EXPECT_EQ(scene.m_nPhase, PLAYPHASE_START);  // the fade-in ran in the same frame

  // From another scene the 65 images are needed: without them the program closes and the
  // stage is not set up.
  g_SceneManager.m_nPrevScene = SCENE_TITLE;
  g_PlayLaterCalls.clear();
  scene.m_nPhase = PLAYPHASE_INIT;
  EXPECT_FALSE(SetsTheStageUp([&] { scene.Run(); }));
  EXPECT_TRUE(platform::IsCloseRequested());
}

TEST_F(PlayScene, ReleasingThePicturesEmptiesTheSceneListToo) {
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(DDAddSurfaceToList(g_PictureSurfaces, g_PictureBmpInfo, 8, 8, 1, 1, 0, 0));
    ASSERT_TRUE(DDAddSurfaceToList(g_MessageSurfaces, g_MessageBmpInfo, 8, 8, 1, 1, 0, 0));
    scene.m_PictureList.emplace_back();
  }
  ReleasePictures();
  EXPECT_TRUE(g_PictureSurfaces.empty());
  EXPECT_TRUE(g_PictureBmpInfo.empty());
  EXPECT_TRUE(scene.m_PictureList.empty());
  EXPECT_EQ(g_MessageSurfaces.size(), 2u);
  ReleaseMessageBitmaps();
  EXPECT_TRUE(g_MessageSurfaces.empty());
  EXPECT_TRUE(g_MessageBmpInfo.empty());
}

TEST_F(PlayScene, TheSceneStartsAsTheManagerExpects) {
  EXPECT_EQ(scene.m_nPhase, PLAYPHASE_INIT);
  EXPECT_EQ(scene.m_Flash.m_nLevel, 255);
  EXPECT_EQ(scene.m_pCurChara, nullptr);
  EXPECT_EQ(scene.m_bQuit.load(), 0);
  EXPECT_EQ(scene.m_bHitsDone, 0);
  EXPECT_EQ(scene.m_StageVar.size(), 1001u);
  EXPECT_EQ(scene.m_CharaGroup.size(), 8u);
  EXPECT_EQ(scene.m_Phase.size(), 8u);
  sMessageWait wait;
  wait.Set(1, 1, 30, 0);
  EXPECT_EQ(wait.m_nDelay, 10);
  wait.Set(1, 1, 30, 1);
  EXPECT_EQ(wait.m_nDelay, 0);
  wait.Set(4, 1, 30, 0);
  EXPECT_EQ(wait.m_nDelay, 0);
}

}  // namespace

TEST(PlaySceneCreation, TheManagerCreatesThePlaySceneOnceRegistered) {
  cRestore<cSceneManager> manager{g_SceneManager};
  cRestore<cPlayData> play{g_PlayData};
  RegisterPlayScene();
  g_SceneManager.Switch(SCENE_PLAY);
  ASSERT_NE(g_pPlayScene, nullptr);
  EXPECT_EQ(static_cast<cScene*>(g_pPlayScene), g_SceneManager.m_pPlay);
  EXPECT_EQ(g_pPlayScene->m_nPhase, PLAYPHASE_INIT);
  g_SceneManager.DeleteAll();
  EXPECT_EQ(g_pPlayScene, nullptr);
  SetSceneCreator(SCENE_PLAY, nullptr);
  SetPlaySurfaceRestorer(nullptr);
}

TEST(PlaySceneLifetime, ShotsThatGoWithTheSceneLeaveNoRecordInTheCharacters) {
  cRestore<cPlayData> play{g_PlayData};
  auto* scene = new cPlayScene;
  cChara& chara = g_CharaList.emplace_back();
  cHero& hero = g_Heroes.emplace_back();
  cShot& shot = scene->m_ShotList.emplace_back();
  shot.m_pOwner = &chara;
  shot.m_pTarget = &hero;
  chara.m_ShotLinks.push_back({&shot, 4});
  hero.m_ShotLinks.push_back({&shot, 0});
  delete scene;
  EXPECT_TRUE(chara.m_ShotLinks.empty());
  EXPECT_TRUE(hero.m_ShotLinks.empty());
  // Neither writes into the shot that is gone.
  g_CharaList.clear();
  g_Heroes.clear();
}
