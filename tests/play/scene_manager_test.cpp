#include "play/scene_manager.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "../media/bmp_fixture.h"
#include "../support/scoped_value.h"
#include "../support/value_guard.h"
#include "foundation/window_messages.h"
#include "media/device.h"
#include "media/palette.h"
#include "media/surface.h"
#include "media/translucency.h"
#include "platform/close_request.h"
#include "platform/thread_messages.h"
#include "play/input.h"
#include "project/system_bitmaps.h"
#include "project/system_data.h"

namespace {

// What the fake scenes did, in order.
std::vector<std::string> g_Log;

// A menu scene of three phases: fade-in, one of its own, fade-out. Its fade-in completes at
// once; its own phase moves on to the scene in g_nNext.
eSceneId g_nNext = SCENE_WORLDMAP;
bool g_bThrowInInit = false;

class cFakeScene : public cScene {
 public:
  explicit cFakeScene(std::string name) : m_strName(std::move(name)) {
    SetPhases<cFakeScene>({&cFakeScene::FadeIn, &cFakeScene::Menu, &cFakeScene::FadeOut});
  }
  ~cFakeScene() override { g_Log.push_back(m_strName + " deleted"); }
  void Init() override {
    g_Log.push_back(m_strName + " Init");
    m_nStep = 0;
    if (g_bThrowInInit) throw "Init failed";
  }
  void FadeIn() override {
    g_Log.push_back(m_strName + " FadeIn");
    m_nPhase = 1;
  }
  void Menu() {
    g_Log.push_back(m_strName + " Menu");
    g_SceneManager.m_nNextScene = g_nNext;
    m_nPhase = 2;
  }
  void FadeOut() override {
    g_Log.push_back(m_strName + " FadeOut");
    g_SceneManager.m_nPrevScene = g_SceneManager.m_nScene;
    g_SceneManager.m_nScene = g_SceneManager.m_nNextScene;
  }

 private:
  std::string m_strName;
};

class SceneManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_Log.clear();
    g_nNext = SCENE_WORLDMAP;
    g_bThrowInInit = false;
    InitInputs(1);  // restored by m_Inputs
    platform::ResetCloseRequest();
    SetSceneCreator(SCENE_TITLE, [] { return static_cast<cScene*>(new cFakeScene("title")); });
    SetSceneCreator(SCENE_WORLDMAP, [] { return static_cast<cScene*>(new cFakeScene("map")); });
    SetSceneCreator(SCENE_PLAY, [] {
      cScene* scene = new cFakeScene("play");
      g_pPlayScene = reinterpret_cast<cPlayScene*>(scene);
      return scene;
    });
  }
  void TearDown() override {
    g_SceneManager.DeleteAll();
    for (int id = 0; id < 6; ++id) SetSceneCreator(static_cast<eSceneId>(id), nullptr);
    g_SceneManager = cSceneManager{};
    platform::ResetCloseRequest();
  }
  // Direct3D behaviour without a device: the frame neither waits nor presents anything.
  cValueGuard<int> m_D3D{g_bD3D, 1};
  cScopedGlobal<cVector<cInputState>> m_Inputs{g_Inputs};
};

TEST_F(SceneManagerTest, ANewSceneRunsInitAndItsFirstFadeStepInTheFrameItBecomesCurrent) {
  g_SceneManager.m_nScene = SCENE_TITLE;
  ASSERT_EQ(g_SceneManager.Frame(), 1);
  EXPECT_EQ(g_Log, (std::vector<std::string>{"title Init", "title FadeIn"}));
  ASSERT_NE(g_SceneManager.m_pTitle, nullptr);

  g_Log.clear();
  g_SceneManager.Frame();  // the menu asks for the world map
  g_SceneManager.Frame();  // the fade-out completes: the world map becomes current
  EXPECT_EQ(g_Log, (std::vector<std::string>{"title Menu", "title FadeOut"}));
  EXPECT_EQ(g_SceneManager.m_nScene, SCENE_WORLDMAP);
  EXPECT_EQ(g_SceneManager.m_nPrevScene, SCENE_TITLE);

  g_Log.clear();
  g_SceneManager.Frame();
  EXPECT_EQ(g_Log, (std::vector<std::string>{"title deleted", "map Init", "map FadeIn"}));
  EXPECT_EQ(g_SceneManager.m_pTitle, nullptr);
  EXPECT_NE(g_SceneManager.m_pWorldMap, nullptr);
}

TEST_F(SceneManagerTest, APlaySceneIsForgottenWheneverItIsDeleted) {
  g_SceneManager.Switch(SCENE_PLAY);
  ASSERT_NE(g_pPlayScene, nullptr);
  g_SceneManager.Switch(SCENE_TITLE);
  EXPECT_EQ(g_pPlayScene, nullptr);
  EXPECT_EQ(g_SceneManager.m_pPlay, nullptr);

  g_SceneManager.Switch(SCENE_PLAY);
  ASSERT_NE(g_pPlayScene, nullptr);
  g_SceneManager.DeleteAll();
  EXPECT_EQ(g_pPlayScene, nullptr);
}

TEST_F(SceneManagerTest, AThrowingInitIsLoggedClosesAndTheSceneGoesOn) {
  g_bThrowInInit = true;
  g_SceneManager.Frame();
  EXPECT_EQ(platform::CloseRequestCount(), 1);
  EXPECT_EQ(g_Log, (std::vector<std::string>{"title Init", "title FadeIn"}));
  EXPECT_EQ(g_SceneManager.m_pTitle->m_nPhase, 1);
}

TEST_F(SceneManagerTest, AThrowingCreatorClosesAndNoSceneRuns) {
  SetSceneCreator(SCENE_TITLE, []() -> cScene* { throw std::string("no title"); });
  EXPECT_EQ(g_SceneManager.Frame(), 1);
  EXPECT_EQ(platform::CloseRequestCount(), 1);
  EXPECT_EQ(g_SceneManager.m_pTitle, nullptr);
  EXPECT_TRUE(g_Log.empty());
}

TEST_F(SceneManagerTest, SceneIdsWithoutASceneRunNothing) {
  g_SceneManager.m_nScene = SCENE_OPTION;  // no creator registered
  EXPECT_EQ(g_SceneManager.Frame(), 1);
  g_SceneManager.m_nScene = static_cast<eSceneId>(9);
  EXPECT_EQ(g_SceneManager.Frame(), 1);
  EXPECT_TRUE(g_Log.empty());
  EXPECT_EQ(platform::CloseRequestCount(), 0);
}

// The requests that reach the main window, as the handler saw them.
std::vector<std::uintptr_t> g_BgmSlots;
std::intptr_t RecordRequest(std::uint32_t message, std::uintptr_t wParam, std::intptr_t) {
  if (message == WM_PLAYBGM) g_BgmSlots.push_back(wParam);
  return 0;
}

TEST(SceneBgm, TheSameLoopingMusicIsNotRequestedAgain) {
  platform::BecomeMainThread();
  platform::SetRequestHandler(&RecordRequest);
  struct sCase {
    int bgm, loop, lastBgm, lastLoop;
    bool sent;
  } cases[] = {
      {3, 1, 3, 1, false},       // same looping music keeps playing
      {3, 0x101, 3, 1, false},   // only the loop value's low byte counts
      {3, 0, 3, 1, true},        // a non-looping request restarts it
      {3, 1, 3, 0, true},        // the last one did not loop
      {4, 1, 3, 1, true},        // other music
      {0, 1, 0, 1, true},        // music 0 always reaches the window and stops the music
      {3, 0x100, 3, 1, true},    // low byte 0: no loop
  };
  for (const sCase& c : cases) {
    cSceneManager manager;
    manager.m_nBgm = c.lastBgm;
    manager.m_bBgmLoop = c.lastLoop;
    g_BgmSlots.clear();
    manager.RequestSceneBgm(c.bgm, c.loop, BGM_OPTION);
    EXPECT_EQ(!g_BgmSlots.empty(), c.sent) << c.bgm << " " << c.loop;
    if (c.sent) {
      EXPECT_EQ(g_BgmSlots[0], static_cast<std::uintptr_t>(BGM_OPTION));
      EXPECT_EQ(manager.m_nBgm, c.bgm);
      EXPECT_EQ(manager.m_bBgmLoop, c.loop & 0xFF);
    }
  }
  platform::SetRequestHandler(nullptr);
  platform::LeaveMainThread();
}

TEST(FpsRing, TheAverageOfTheLastCompleteBlockOf16Frames) {
  sFpsRing ring;
  for (int i = 0; i < 15; ++i) EXPECT_EQ(ring.Add(10 + i), 0) << i;
  EXPECT_EQ(ring.Add(25), (10 + 11 + 12 + 13 + 14 + 15 + 16 + 17 + 18 + 19 + 20 + 21 + 22 + 23 +
                           24 + 25) / 16);  // 17 (integer division)
  for (int i = 0; i < 15; ++i) EXPECT_EQ(ring.Add(100), 17);
  EXPECT_EQ(ring.Add(4), (15 * 100 + 4) / 16);
}

class MenuColoursTest : public ::testing::Test {
 protected:
  void TearDown() override { ResetMenuColours(); }
  cValueGuard<int> m_D3D{g_bD3D, 1};
  cValueGuard<std::int32_t> m_Step{g_SystemData.m_nMenuColourStep, 100};
};

TEST_F(MenuColoursTest, LevelsRiseFallAndTurnWithinTheByteAndTheFourColoursStepAtTheBottom) {
  ResetMenuColours();
  // Each entry shows the level from before the frame's step.
  const int whites[] = {0, 100, 200, 200, 100, 100, 200};
  const int phases[] = {0, 0, 0, 0, 0, 1, 1};
  for (int i = 0; i < 7; ++i) {
    AnimateMenuColours();
    const std::uint32_t v = static_cast<std::uint32_t>(whites[i]);
    EXPECT_EQ(g_FlashColours[1].dwColour, 0xFF000000u | v << 16 | v << 8 | v) << i;
    EXPECT_EQ(g_FlashColours[1].nColourOp, 7);
    EXPECT_EQ(g_FlashColours[2].nColourOp, 10);
    EXPECT_EQ(g_FlashColours[7].dwColour, 0xFF000000u | v << 16 | v / 4) << i;
    const std::uint32_t four[] = {v << 16, v << 8, v, v << 16 | v << 8};
    EXPECT_EQ(g_FlashColours[9].dwColour, 0xFF000000u | four[phases[i]]) << i;
  }
  EXPECT_EQ(g_FlashColours[0].dwColour, 0u);
}

TEST_F(MenuColoursTest, ANegativeStepHoldsTheLevels) {
  ResetMenuColours();
  cValueGuard<std::int32_t> step(g_SystemData.m_nMenuColourStep, -30);
  for (int i = 0; i < 5; ++i) AnimateMenuColours();
  EXPECT_EQ(g_FlashColours[1].dwColour, 0xFF000000u);
}

// The menu colours at their start before and after a test.
struct cMenuColoursFromStart {
  cMenuColoursFromStart() { ResetMenuColours(); }
  ~cMenuColoursFromStart() { ResetMenuColours(); }
  cMenuColoursFromStart(const cMenuColoursFromStart&) = delete;
  cMenuColoursFromStart& operator=(const cMenuColoursFromStart&) = delete;
};

// An 8-bit DirectDraw screen with a palette bitmap whose entry i is (i, 255 - i, i / 2).
class HbtPaletteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(DDInit(0, nullptr, 64, 48, 8, 0, 1, 1, 60, 0, nullptr, nullptr, 0));
    std::vector<std::uint32_t> table(256);
    for (std::uint32_t i = 0; i < 256; ++i) table[i] = i << 16 | (255 - i) << 8 | i / 2;
    std::filesystem::create_directories("bmp/plt");
    std::filesystem::create_directories("bmp/hbt");
    WriteBytes("bmp/plt/Palette.bmp", MakeBmp(16, 16, 8, std::vector<std::uint32_t>(256, 0), table));
    for (const char* name : {"bmp/hbt/hbt03.dat", "bmp/hbt/hbt12.dat"})
      WriteBytes(name, std::vector<std::uint8_t>(kBlendTableSize, 7));
  }
  void TearDown() override {
    DDRelease();
    platform::ResetCloseRequest();
  }
  static int Red(int entry) { return g_Palette[entry].peRed; }
  cTempFolder m_Folder;
};

TEST_F(HbtPaletteTest, NumberThreeRotatesByFortyEightAndTwelveRepeatsTheFirstBand) {
  ASSERT_EQ(LoadHbtPalette(3), 1);
  EXPECT_EQ(g_BlendTable[1234], 7);
  EXPECT_EQ(Red(15), 15);
  EXPECT_EQ(Red(16), 64);
  EXPECT_EQ(Red(159), 207);
  EXPECT_EQ(Red(160), 16);  // the top 48 wrap to the bottom
  EXPECT_EQ(Red(207), 63);
  EXPECT_EQ(Red(208), 208);
  EXPECT_EQ(g_WorkPalette[16].peRed, 64);
  EXPECT_EQ(g_lpDDPalette->entries[16].peRed, 64);

  ASSERT_EQ(LoadHbtPalette(12), 1);
  for (int block = 0; block < 12; ++block)
    for (int i = 0; i < 16; ++i) EXPECT_EQ(Red(16 + block * 16 + i), 16 + i);
  EXPECT_EQ(Red(208), 208);
}

TEST_F(HbtPaletteTest, AMissingTableOrPaletteBitmapFails) {
  EXPECT_EQ(LoadHbtPalette(4), 0);  // no hbt04.dat
  std::remove("bmp/plt/Palette.bmp");
  EXPECT_EQ(LoadHbtPalette(3), 0);
  cValueGuard<int> d3d(g_bD3D, 1);
  EXPECT_EQ(LoadHbtPalette(4), 1);  // not an 8-bit DirectDraw screen
}

}  // namespace

namespace {

TEST_F(HbtPaletteTest, EightBitMenusTurnEachGroupOfFourEverySixthCall) {
  cValueGuard<std::int32_t> cycle(g_SystemData.m_bPaletteCycle, 1);
  cValueGuard<int> d3d(g_bD3D, 0);
  cScopedGlobal work(g_WorkPalette);
  cMenuColoursFromStart menuColours;  // the count of calls starts at zero
  for (int i = 0; i < 256; ++i) g_WorkPalette[i].peRed = static_cast<std::uint8_t>(i);
  for (int call = 0; call < 5; ++call) AnimateMenuColours();
  EXPECT_EQ(g_WorkPalette[208].peRed, 208);
  AnimateMenuColours();
  const int expected[] = {209, 210, 211, 208, 213, 214, 215, 212};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(g_WorkPalette[208 + i].peRed, expected[i]) << i;
  EXPECT_EQ(g_WorkPalette[236].peRed, 237);
  EXPECT_EQ(g_WorkPalette[240].peRed, 240);
  EXPECT_EQ(g_lpDDPalette->entries[208].peRed, 209);
  EXPECT_EQ(g_FlashColours[1].dwColour, 0u);  // the flash colours stay {0, 0}
}

}  // namespace
