// The presentation commands on a play scene: effect animations placed and sized, pictures
// shown, replaced and closed with their surface lists kept in step, background layers,
// screen effects, sounds and music.
#include "flows/present_cmds.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../media/bmp_fixture.h"
#include "../play/effect_tables.h"
#include "../play/play_fixture.h"
#include "../support/scoped_value.h"
#include "content/command.h"
#include "content/command_tables.h"
#include "foundation/window_messages.h"
#include "media/present.h"
#include "media/sound.h"
#include "objects/hero.h"
#include "platform/thread_messages.h"
#include "play/effect_anim.h"
#include "play/play_graphics.h"
#include "play/play_scene.h"
#include "project/database.h"
#include "project/stage.h"

namespace {

class PresentCmds : public cPlayDevice {
 protected:
  void SetUp() override {
    Init(0, 32);
    g_pPlayScene = &scene;
    scene.m_ScrollX.m_dPos = 100;
    scene.m_ScrollY.m_dPos = 50;
    cHero& hero = g_Heroes.emplace_back();
    hero.m_nNumber = 7;
    hero.m_Rect.m_nLeft = 200;
    hero.m_Rect.m_nTop = 100;
    hero.m_Rect.m_nWidth = hero.m_Rect.m_nHeight = 32;
    g_DataBase.m_Effect.assign(2, cDbEffect());
    BuildEffectFrameTable(g_EffectSequences);
    g_DataBase.m_Picture.assign(4, cDbPicture());
    const char* files[] = {"", "a.bmp", "b.bmp", "missing.bmp"};
    for (int i = 0; i < 4; ++i) g_DataBase.m_Picture[i].m_strFile = files[i];
    WriteBytes(folder.HostPath() + "/a.bmp",
               MakeBmp(8, 4, 24, std::vector<std::uint32_t>(32, 0xFF)));
    WriteBytes(folder.HostPath() + "/b.bmp",
               MakeBmp(6, 2, 24, std::vector<std::uint32_t>(12, 0xFF00)));
  }
  void TearDown() override {
    ReleasePictures();
    g_pPlayScene = nullptr;
    g_Heroes.clear();
    cPlayDevice::TearDown();
  }
  static cEdCmd Cmd(int kind, std::vector<int> params) {
    cEdCmd cmd;
    cmd.m_nKind = static_cast<std::int8_t>(kind);
    cmd.m_Params.assign(CmdParamCount(CMDSET_CHARA, kind), 0);
    for (std::size_t i = 0; i < params.size(); ++i) cmd.m_Params[i] = params[i];
    return cmd;
  }
  void Effect(std::vector<int> p) {
    cEdCmd cmd = Cmd(CMD_EFFECT, std::move(p));
    ExecEffect(&g_Heroes.front(), cmd);
  }
  // Picture p0 with an ID (none when id is 0).
  void Picture(int picture, int id = 0) {
    cEdCmd cmd = Cmd(CMD_PICTURE, {picture, 0, 0, 0, 0, 0, 0, 100, 1, 0, 0, 0, id != 0, id});
    ExecShowPicture(&g_Heroes.front(), cmd);
  }
  // The pictures as "number:ID", and whether the surface and description lists keep in step.
  std::vector<std::string> Pictures() {
    std::vector<std::string> out;
    auto info = g_PictureBmpInfo.begin();
    auto surface = g_PictureSurfaces.begin();
    for (const cPicture& p : scene.m_PictureList) {
      if (info == g_PictureBmpInfo.end() || surface == g_PictureSurfaces.end()) {
        out.push_back("lists out of step");
        break;
      }
      const std::string& file = g_DataBase.m_Picture[p.m_nPicture].m_strFile;
      const bool matches = info->szFile == file && surface->nWidth == (p.m_nPicture == 1 ? 8 : 6);
      out.push_back(std::to_string(p.m_nPicture) + ":" + std::to_string(p.m_nId) +
                    (matches ? "" : " (surface of another)"));
      ++info;
      ++surface;
    }
    if (info != g_PictureBmpInfo.end() || surface != g_PictureSurfaces.end())
      out.push_back("lists out of step");
    return out;
  }

  cScopedGlobal<cVector<cDbEffect>> effects{g_DataBase.m_Effect};
  cScopedGlobal<cVector<AnimeRun>> sequences{g_EffectSequences};
  cScopedGlobal<cVector<cDbPicture>> pictures{g_DataBase.m_Picture};
  cScopedGlobal<cStage> stage{g_Stage};
  cPlayScene scene;
};

TEST_F(PresentCmds, EffectsAreSizedByPercentAndPlacedByPosition) {
  struct sCase {
    const char* name;
    std::vector<int> p;
    double x, y;
    int size, scaled;
  } cases[] = {
      {"centre at 150 %", {1, 0, 0, 0, 0, 0, 150}, 100 + 320 - 24, 50 + 240 - 24, 48, 1},
      {"screen block (0, 0)", {1, 3, 0, 0, 0, 0, 100}, 100, 50, 32, 0},
      {"screen block with offset", {1, 3, 2, 1, 5, -3, 100}, 100 + 64 + 5, 50 + 32 - 3, 32, 0},
      {"map block", {1, 4, 2, 1, 0, 0, 100}, 12 * 32, 11 * 32, 32, 0},
      {"on the hero's cell", {1, 2, 0, 0, 1, 2, 50}, 1 + 216 + 100 - 8, 2 + 116 + 50 - 8, 16, 1},
      {"a position outside the table",
       {1, 9, 3, 3, 0, 0, 100},
       100 + 320 - 16,
       50 + 240 - 16,
       32,
       0},
  };
  for (const sCase& c : cases) {
    scene.m_EffectList.clear();
    Effect(c.p);
    ASSERT_EQ(scene.m_EffectList.size(), 1u) << c.name;
    const cEffectAnim& e = scene.m_EffectList.front();
    EXPECT_EQ(e.m_dX, c.x) << c.name;
    EXPECT_EQ(e.m_dY, c.y) << c.name;
    EXPECT_EQ(e.m_nWidth, c.size) << c.name;
    EXPECT_EQ(e.m_nHeight, c.size) << c.name;
    EXPECT_EQ(e.m_bScaled, c.scaled) << c.name;
  }
  Effect({1, 0, 0, 0, 0, 0, 100});
  Effect({0});
  EXPECT_TRUE(scene.m_EffectList.empty());
  // A quitting scene takes no new effects.
  scene.m_bQuit = 1;
  Effect({1, 0, 0, 0, 0, 0, 100});
  EXPECT_TRUE(scene.m_EffectList.empty());
}

TEST_F(PresentCmds, PicturesAreReplacedInPlaceAndClosedByTheirID) {
  Picture(1, 5);
  Picture(2, 6);
  Picture(1);
  EXPECT_EQ(Pictures(), (std::vector<std::string>{"1:5", "2:6", "1:0"}));
  Picture(1, 6);  // takes the place of the one with ID 6
  EXPECT_EQ(Pictures(), (std::vector<std::string>{"1:5", "1:6", "1:0"}));
  Picture(0, 5);
  EXPECT_EQ(Pictures(), (std::vector<std::string>{"1:6", "1:0"}));
  Picture(0, 9);  // no such ID: nothing
  EXPECT_EQ(Pictures(), (std::vector<std::string>{"1:6", "1:0"}));
  Picture(0);
  EXPECT_TRUE(Pictures().empty());
}

TEST_F(PresentCmds, APictureThatFailsToLoadLeavesTheListsInStepAndCloses) {
  Picture(1, 5);
  Picture(2);
  Picture(3);
  EXPECT_EQ(Pictures(), (std::vector<std::string>{"1:5", "2:0"}));
  EXPECT_TRUE(platform::IsCloseRequested());
  platform::ResetCloseRequest();
  Picture(3, 5);  // the one it replaces is gone, and no new one is added
  EXPECT_EQ(Pictures(), (std::vector<std::string>{"2:0"}));
  EXPECT_TRUE(platform::IsCloseRequested());
}

TEST_F(PresentCmds, BackgroundLayersAreShownHiddenAndToggled) {
  g_Stage.m_BackLayers.assign(3, cStageBackLayer());
  auto Background = [](int layer, int mode) {
    cEdCmd cmd = Cmd(CMD_BACKGROUND, {layer, mode});
    ExecBackground(nullptr, cmd);
  };
  Background(3, 2);
  EXPECT_EQ(g_Stage.m_BackLayers[2].m_bShow, 0);
  Background(3, 2);
  EXPECT_EQ(g_Stage.m_BackLayers[2].m_bShow, 1);
  Background(1, 1);
  Background(1, 7);  // no such mode
  EXPECT_EQ(g_Stage.m_BackLayers[0].m_bShow, 0);
  Background(1, 0);
  EXPECT_EQ(g_Stage.m_BackLayers[0].m_bShow, 1);
  for (int outside : {0, 4, -2147483647 - 1}) Background(outside, 1);
  for (const cStageBackLayer& layer : g_Stage.m_BackLayers) EXPECT_EQ(layer.m_bShow, 1);
}

TEST_F(PresentCmds, StoppingTheScreenEffectSwitchesTheVirtualBackBufferOffAtOnce) {
  DDRelease();
  Init(1, 32);
  cEffectTables tables;
  const int mosaic = tables.Screen(SCR_EFFECT_MOSAIC, {10, 1, 60});
  cEdCmd start = Cmd(CMD_SCREEN_EFFECT, {mosaic, 1, 0});
  ExecScreenEffect(nullptr, start);
  EXPECT_EQ(scene.m_ScrEffect.m_nEntry, mosaic);
  EXPECT_EQ(scene.m_ScrEffect.m_dValue, 60);  // reversed
  DDSetVirBackBuffer(1);
  cEdCmd stop = Cmd(CMD_SCREEN_EFFECT, {0, 0, 0});
  ExecScreenEffect(nullptr, stop);
  EXPECT_EQ(scene.m_ScrEffect.m_nEntry, 0);
  EXPECT_EQ(lpDTCon->bVirBackBuffer, 0);
}

TEST_F(PresentCmds, ACharacterEffectStartsOnTheExecutingCharacter) {
  cEffectTables tables;
  const int burst = tables.Chara(CHARA_EFFECT_BURST, {5, 0, 32});
  cEdCmd cmd = Cmd(CMD_CHARA_EFFECT, {burst, 2, 1});
  cHero& hero = g_Heroes.front();
  ExecCharaEffect(&hero, cmd);
  EXPECT_EQ(hero.m_CharaEffect.m_nEntry, burst);
  EXPECT_EQ(hero.m_CharaEffect.m_nPlayMode, 2);
  EXPECT_EQ(hero.m_CharaEffect.m_bRepeat, 1);
}

std::vector<int> g_Heard;

TEST_F(PresentCmds, AnOnScreenOnlySoundIsSilentOffTheScreen) {
  SetPlaySoundSender([](int n) { g_Heard.push_back(n); });
  g_Heard.clear();
  cHero& hero = g_Heroes.front();
  hero.m_dX = hero.m_dRight = hero.m_dY = hero.m_dBottom = -5000;  // far off the screen
  cEdCmd cmd = Cmd(CMD_SOUND, {3});
  cmd.m_bSoundOnScreen = 0;
  ExecSound(&hero, cmd);
  cmd.m_bSoundOnScreen = 1;
  ExecSound(&hero, cmd);
  cEdCmd none = Cmd(CMD_SOUND, {0});
  none.m_bSoundOnScreen = 0;
  ExecSound(&hero, none);
  SetPlaySoundSender(nullptr);
  EXPECT_EQ(g_Heard, (std::vector<int>{19}));
}

std::vector<std::intptr_t> g_Requests;

TEST_F(PresentCmds, MusicGoesToTheStageSlotAndZeroStopsIt) {
  platform::BecomeMainThread();
  platform::SetRequestHandler([](std::uint32_t message, std::uintptr_t slot, std::intptr_t bgm) {
    if (message == WM_PLAYBGM) {
      g_Requests.push_back(static_cast<std::intptr_t>(slot));
      g_Requests.push_back(bgm);
    }
    return std::intptr_t{1};
  });
  cScopedGlobal progress(g_PlayData);
  g_Requests.clear();
  cEdCmd cmd = Cmd(CMD_BGM, {0, 3});
  ExecBgm(nullptr, cmd);
  platform::SetRequestHandler(nullptr);
  platform::LeaveMainThread();
  EXPECT_EQ(g_Requests, (std::vector<std::intptr_t>{BGM_STAGE, 0}));
  EXPECT_EQ(g_PlayData.m_nStageBgmLoop, 3);
}

}  // namespace
