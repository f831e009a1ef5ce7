// The sample game's first stage played without a window: scripted input words, one frame of
// play at a time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "../play/stage_fixture.h"
#include "content/command.h"
#include "content/palette.h"
#include "foundation/report.h"
#include "media/sound.h"
#include "objects/object_services.h"
#include "platform/input.h"
#include "platform/message_box.h"
#include "project/database.h"
#include "project/paths.h"
#include "project/project_refs.h"
#include "project/stage_loader.h"
#include "tests/support/scoped_value.h"
#include "tests/support/temp_folder.h"
#include "tools/sample_game.h"
#include "tools/sample_run.h"

namespace {

std::vector<int> g_Sounds;
int AnswerYes(const std::string&, const std::string&, int) { return platform::kAnswerYes; }
void RecordSound(int n) { g_Sounds.push_back(n); }

// One frame's input: the held directions and buttons (eKeyBit words).
struct sKeys {
  std::int16_t directions = 0, buttons = 0;
};

class SamplePlayTest : public cStageFixture {
 protected:
  void SetUp() override {
    cStageFixture::SetUp();
    platform::SetMessageBoxHandler(&AnswerYes);
    ASSERT_TRUE(MakeSampleGame("."));
    ASSERT_EQ(CreateDefaultData(), 1);
    CreateWorkFolders();
    ASSERT_EQ(g_DataBase.Load(), 1);
    InstallProjectRefs();
    InstallObjectServices();
    ASSERT_EQ(g_SystemData.LoadFile(g_PathTable[PATH_SYSTEM]), 1);
    ASSERT_EQ(g_CommonPalette.LoadFile(g_PathTable[PATH_COMMON_PALETTE]), 1);
    SetPlaySoundSender(&RecordSound);
    g_Sounds.clear();
  }
  void TearDown() override {
    SetPlaySoundSender(nullptr);
    SetContentRefs(nullptr);
    platform::SetMessageBoxHandler(nullptr);
    cStageFixture::TearDown();
  }
  // Stage 1 set up with a fixed seed, in play.
  void Start() {
    ASSERT_EQ(LoadStageFile("data\\stg4\\stage01.stg4", 1, &g_StageCopy), 1);
    g_SystemData.m_bRecordReplay = 0;
    g_PlayData.m_nLives = 3;
    scene.m_nSeed = 12345;
    SetStage(0, 1);
    ASSERT_FALSE(g_Heroes.empty());
    scene.m_nPhase = PLAYPHASE_PLAY;
  }
  void Frame(sKeys keys) {
    cInputState& input = g_Inputs.front();
    input.m_wDirection = keys.directions;
    input.m_wButton = keys.buttons;
    input.m_nDirection = GetDirection(input);
    scene.Run();
  }
  const cHero& Hero() { return g_Heroes.front(); }

  cScopedGlobal<int> keepStrip{g_bStripCR, 1};
  cScopedGlobal<cDataBase> keepDataBase{g_DataBase};
  cScopedGlobal<cPalette> keepPalette{g_CommonPalette};
};

// The keys of the first stage's replay script, the route to its goal, as input words; from
// the frame `walkFrom` on, Right alone.
std::vector<sKeys> ScriptKeys(int walkFrom = 1 << 30) {
  std::string error;
  const std::vector<std::vector<int>> codes =
      ParseKeyScript(ReadText(std::string(TW_REPLAY_DIR) + "/stage01.keys"), error);
  EXPECT_FALSE(codes.empty()) << error;
  std::vector<sKeys> keys;
  for (const std::vector<int>& frame : codes) {
    sKeys k;
    for (int code : frame) {
      if (code == platform::VK_LEFT) k.directions |= KEY_LEFT;
      if (code == platform::VK_RIGHT) k.directions |= KEY_RIGHT;
      if (code == 'Z') k.buttons |= KEY_BUTTON1;
      if (code == 'X') k.buttons |= KEY_BUTTON2;
    }
    if (static_cast<int>(keys.size()) >= walkFrom) k = {KEY_RIGHT, 0};
    keys.push_back(k);
  }
  return keys;
}
sKeys KeysAt(const std::vector<sKeys>& keys, int frame) {
  return frame < static_cast<int>(keys.size()) ? keys[static_cast<std::size_t>(frame)]
                                               : sKeys{KEY_RIGHT, 0};
}

bool IsGoal(const cItem& item) {
  for (const cEdCmd& cmd : item.m_Def.m_Cmds)
    if (cmd.CharaKind() == CMD_STAGE_CLEAR) return true;
  return false;
}
int Goals() {
  int n = 0;
  for (const cItem& item : g_ItemList) n += IsGoal(item) ? 1 : 0;
  return n;
}

TEST_F(SamplePlayTest, TakingTheGoalEndsTheStageOnThatFrame) {
  Start();
  ASSERT_EQ(Goals(), 1);
  const std::vector<sKeys> keys = ScriptKeys();
  int frame = 0;
  for (; frame < 2000 && scene.m_nPhase == PLAYPHASE_PLAY; ++frame) {
    ASSERT_EQ(Goals(), 1) << frame;  // still there while play goes on
    Frame(KeysAt(keys, frame));
  }
  EXPECT_EQ(scene.m_nPhase, PLAYPHASE_STAGEEND);
  EXPECT_EQ(Goals(), 0);
  EXPECT_LT(frame, 2000);
  EXPECT_EQ(Hero().m_bFinished, 0);
  // The hero's pick-up box is on the goal's place (column 117, the map starting 320 pixels in).
  EXPECT_GT(Hero().m_dX, 320 + 116 * 32);
}

TEST_F(SamplePlayTest, TheSpikePitDefeatsTheHeroAndTheStageIsSetUpAgain) {
  g_SceneManager.m_nPlayMode = PLAYMODE_FREE;
  Start();
  ErrLogSetup(1, "EC_Game.txt");
  const double startX = Hero().m_dX;
  // The route as far as the shot at the first slime, then a walk into the pit.
  const std::vector<sKeys> keys = ScriptKeys(100);
  int frame = 0;
  for (; frame < 600 && !Hero().m_bFinished; ++frame) Frame(KeysAt(keys, frame));
  ASSERT_EQ(Hero().m_bFinished, 1);
  EXPECT_GT(Hero().m_dX, 960);  // over the pit's columns 20 and 21
  EXPECT_LT(Hero().m_dX, 1024);
  const std::vector<std::string> log = ReadLines("EC_Game.txt");
  EXPECT_NE(std::find(log.begin(), log.end(), "Dead 4"), log.end());
  EXPECT_NE(std::find(g_Sounds.begin(), g_Sounds.end(), 8), g_Sounds.end());
  // The end runs its course, then the stage starts again with a life less.
  for (int f = 0; f < 600 && scene.m_nPhase == PLAYPHASE_PLAY; ++f) Frame({});
  ErrLogSetup(0, "EC_Game.txt");
  EXPECT_EQ(scene.m_nPhase, PLAYPHASE_START);
  EXPECT_EQ(g_PlayData.m_nLives, 2);
  EXPECT_EQ(Hero().m_bFinished, 0);
  EXPECT_DOUBLE_EQ(Hero().m_dX, startX);
}

// Everything that moves, frame by frame, as raw bits.
void Trace(std::vector<std::uint64_t>& out, int phase) {
  auto put = [&](double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    out.push_back(bits);
  };
  out.push_back(static_cast<std::uint64_t>(phase));
  for (const cHero& hero : g_Heroes) {
    for (double v : {hero.m_dX, hero.m_dY, hero.m_dVX, hero.m_dVY}) put(v);
    out.push_back(static_cast<std::uint64_t>(hero.m_HP.m_nValue));
  }
  for (const cChara& c : g_CharaList)
    for (double v : {c.m_dX, c.m_dY, c.m_dVX, c.m_dVY}) put(v);
  for (const cShot& shot : g_pPlayScene->m_ShotList) put(shot.m_dX), put(shot.m_dY);
  out.push_back(g_ItemList.size());
}

TEST_F(SamplePlayTest, OneScriptAndSeedGiveTheSameTraceTwice) {
  std::vector<std::uint64_t> traces[2];
  const std::vector<sKeys> keys = ScriptKeys();
  for (auto& trace : traces) {
    Start();
    for (int frame = 0; frame < 400 && scene.m_nPhase == PLAYPHASE_PLAY; ++frame) {
      // Jumping and firing (button 2) along the way.
      sKeys input = KeysAt(keys, frame);
      if (frame % 30 < 3) input.buttons = static_cast<std::int16_t>(input.buttons | KEY_BUTTON2);
      Frame(input);
      Trace(trace, scene.m_nPhase);
    }
  }
  EXPECT_GT(traces[0].size(), 4000u);
  EXPECT_TRUE(traces[0] == traces[1]);
}

}  // namespace
