// The message and game-wait commands on a running play scene: windows kept, replaced and
// closed by their ID, and the waits of the windows that stop the game.
#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "content/command.h"
#include "content/command_tables.h"
#include "flows/stage_cmds.h"
#include "foundation/window_messages.h"
#include "media/font.h"
#include "platform/thread_messages.h"
#include "play/message.h"
#include "message_font.h"
#include "stage_end_fixture.h"

namespace {

class MessageCmd : public StageEndScene {
 protected:
  void SetUp() override {
    StageEndScene::SetUp();
    m_Font.emplace(nullptr);
  }
  void TearDown() override {
    m_Font.reset();
    for (DDSURFACEDATA& s : g_MessageSurfaces) DDReleaseSurface(&s);
    g_MessageSurfaces.clear();
    g_MessageBmpInfo.clear();
    StageEndScene::TearDown();
  }
  // A window of text in the screen's centre until closed, with an ID when id is not 0.
  static cEdCmd Message(const std::string& text, int id = 0) {
    cEdCmd cmd;
    cmd.m_nKind = CMD_MESSAGE;
    cmd.m_Params.assign(CmdParamCount(CMDSET_CHARA, CMD_MESSAGE), 0);
    cmd.m_strText = text;
    cmd.m_Params[6] = 1;
    cmd.m_Params[12] = id != 0;
    cmd.m_Params[13] = id;
    return cmd;
  }
  // The same stopping the game: timer mode 0 waits for the key, 2 for tenths, 1 for nothing.
  static cEdCmd Stopping(int timerMode, int tenths = 0) {
    cEdCmd cmd = Message("AB");
    cmd.m_Params[8] = 1;
    cmd.m_Params[6] = timerMode;
    cmd.m_Params[7] = tenths;
    return cmd;
  }
  // Button 1 per frame from the first; a wait still open at frame 40 is ended by WM_QUIT.
  void Keys(std::string keys) {
    clock.Script([keys](int frame) {
      const bool down = frame - 1 < static_cast<int>(keys.size()) && keys[frame - 1] == '1';
      platform::SetKeyDown('Z', down);
      if (frame == 40) platform::PostThreadMessage(platform::CurrentThreadId(), WM_QUIT, 0, 0);
    });
  }
  static const cMessage& At(int i) { return *std::next(g_pPlayScene->m_MessageList.begin(), i); }

  std::optional<cScopedMessageFont> m_Font;
};

TEST_F(MessageCmd, IdsKeepReplaceOrCloseTheirWindow) {
  cEdCmd first = Message("AB", 5);
  ExecMessage(nullptr, first, 0);
  cEdCmd second = Message("XY", 6);
  ExecMessage(nullptr, second, 0);
  ASSERT_EQ(scene.m_MessageList.size(), 2u);
  const cMessage* kept = &At(0);
  const DDSURFACEDATA* surface = kept->m_pSurface;

  // The same size: the window and its surface are used again.
  cEdCmd same = Message("CD", 5);
  ExecMessage(nullptr, same, 0);
  ASSERT_EQ(scene.m_MessageList.size(), 2u);
  EXPECT_EQ(&At(0), kept);
  EXPECT_EQ(At(0).m_pSurface, surface);
  EXPECT_EQ(At(0).m_strText, "CD");
  EXPECT_EQ(g_MessageSurfaces.size(), 2u);

  // Longer: a new window in the old one's place, its new surface at the end of the surfaces.
  cEdCmd longer = Message("ABCDEF", 5);
  ExecMessage(nullptr, longer, 0);
  ASSERT_EQ(scene.m_MessageList.size(), 2u);
  EXPECT_EQ(At(0).m_strText, "ABCDEF");
  EXPECT_EQ(At(1).m_strText, "XY");
  ASSERT_EQ(g_MessageSurfaces.size(), 2u);
  EXPECT_EQ(&g_MessageSurfaces.front(), At(1).m_pSurface);
  EXPECT_EQ(&g_MessageSurfaces.back(), At(0).m_pSurface);
  EXPECT_EQ(At(0).m_pSurface->nWidth, 6 * 8 + 2);

  // Closing an ID that is not shown, or closing without an ID, does nothing.
  cEdCmd unknown = Message("", 9);
  unknown.m_Params[15] = 1;
  ExecMessage(nullptr, unknown, 0);
  cEdCmd noId = Message("", 0);
  noId.m_Params[15] = 1;
  ExecMessage(nullptr, noId, 0);
  EXPECT_EQ(scene.m_MessageList.size(), 2u);
  cEdCmd close = Message("", 5);
  close.m_Params[15] = 1;
  ExecMessage(nullptr, close, 0);
  ASSERT_EQ(scene.m_MessageList.size(), 1u);
  EXPECT_EQ(At(0).m_strText, "XY");
  EXPECT_EQ(g_MessageSurfaces.size(), 1u);
}

TEST_F(MessageCmd, AKeyWaitWindowTakesOnlyANewPress) {
  struct {
    const char* name;
    int continued;
    const char* keys;
    int frame;  // the frame that closes it, 0 none
    std::vector<int> sounds;
  } const cases[] = {
      {"first window: sound 11 and a delay", 0, "00000000001", 11, {11, 12}},
      {"pressed in the delay and held past it", 0, "000011111111111101", 18, {11, 12}},
      {"continued: no sound, no delay", 1, "01", 2, {12}},
      {"continued, the button still held from before", 1, "1110001", 7, {12}},
      {"continued, held throughout", 1, "1111111111", 0, {}},
  };
  for (const auto& c : cases) {
    cSoundLog::Clear();
    ResetDrawnFrames();
    Keys(c.keys);
    const int before = cScriptClock::Reads();
    cEdCmd cmd = Stopping(0);
    ExecMessage(nullptr, cmd, c.continued);
    EXPECT_EQ(cScriptClock::Reads() - before, c.frame ? c.frame : 40) << c.name;
    EXPECT_EQ(cSoundLog::Sounds(), c.sounds) << c.name;
    // The window went with its wait, and with it its surface.
    EXPECT_TRUE(scene.m_MessageList.empty()) << c.name;
    EXPECT_TRUE(g_MessageSurfaces.empty()) << c.name;
  }
}

TEST_F(MessageCmd, TimedWaitsAndAWaitOfNoTimerServeTheLastWait) {
  // A window of 1 tenth stands the game still for 6 drawn frames.
  cEdCmd timed = Stopping(2, 1);
  ExecMessage(nullptr, timed, 0);
  EXPECT_EQ(DrawnFrames(), 6);
  EXPECT_TRUE(scene.m_MessageList.empty());

  // Timer mode 1 sets no wait. After a counted wait it ends unseen on its first turn...
  ResetDrawnFrames();
  cEdCmd untimed = Stopping(1);
  ExecMessage(nullptr, untimed, 0);
  EXPECT_EQ(DrawnFrames(), 0);
  EXPECT_TRUE(scene.m_MessageList.empty());
  EXPECT_TRUE(g_MessageSurfaces.empty());

  // ...after a key wait it waits for a new press, without delay or sound 11.
  Keys("01");
  cEdCmd key = Stopping(0);
  ExecMessage(nullptr, key, 1);
  cSoundLog::Clear();
  Keys("1101");
  const int before = cScriptClock::Reads();
  ExecMessage(nullptr, untimed, 0);
  EXPECT_EQ(cScriptClock::Reads() - before, 4);
  EXPECT_EQ(cSoundLog::Sounds(), std::vector<int>{12});
  EXPECT_TRUE(scene.m_MessageList.empty());
}

TEST_F(MessageCmd, ABrandNewSceneLetsAWaitOfNoTimerEndAtOnce) {
  cEdCmd untimed = Stopping(1);
  const int before = cScriptClock::Reads();
  ExecMessage(nullptr, untimed, 0);
  EXPECT_EQ(cScriptClock::Reads() - before, 1);
  EXPECT_EQ(DrawnFrames(), 0);
  EXPECT_TRUE(scene.m_MessageList.empty());
}

TEST_F(MessageCmd, AGameWaitStandsTheStageStillForItsTime) {
  scene.m_MessageList.emplace_back();  // a message of the stage stays
  cEdCmd wait;
  wait.m_nKind = CMD_GAME_WAIT;
  wait.m_Params.assign(CmdParamCount(CMDSET_CHARA, CMD_GAME_WAIT), 0);
  wait.m_Params[0] = 2;
  ExecGameWait(nullptr, wait);
  EXPECT_EQ(DrawnFrames(), 12);
  EXPECT_EQ(scene.m_MessageList.size(), 1u);
  EXPECT_EQ(scene.m_MsgWait.m_nFrames, -1);
}

TEST_F(MessageCmd, NothingIsShownWhileTheWindowCloses) {
  cAtomicGuard quit{scene.m_bQuit, 1};
  cEdCmd cmd = Message("AB");
  ExecMessage(nullptr, cmd, 0);
  EXPECT_TRUE(scene.m_MessageList.empty());
}

}  // namespace
