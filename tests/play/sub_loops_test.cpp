#include "play/sub_loops.h"

#include <gtest/gtest.h>

#include "foundation/thread.h"
#include "foundation/window_messages.h"
#include "platform/close_request.h"
#include "platform/thread_messages.h"
#include "stage_end_fixture.h"

namespace {

using SubLoops = StageEndScene;

// A play-surface restorer that always fails, installed for the scope (tests install none).
struct cFailingRestorer {
  cFailingRestorer() {
    SetPlaySurfaceRestorer([] { return false; });
  }
  ~cFailingRestorer() { SetPlaySurfaceRestorer(nullptr); }
  cFailingRestorer(const cFailingRestorer&) = delete;
  cFailingRestorer& operator=(const cFailingRestorer&) = delete;
};

TEST_F(SubLoops, ACountedWaitDrawsItsFramesAndLeavesOnTheNext) {
  for (int frames : {0, 1, 30}) {
    ResetDrawnFrames();
    const int before = cScriptClock::Reads();
    scene.m_MsgWait.Set(4, 0, frames, 0);
    ASSERT_EQ(RunSubLoop(thPause, MessageLoopThread), 1);
    EXPECT_EQ(DrawnFrames(), frames) << frames;
    EXPECT_EQ(cScriptClock::Reads() - before, frames + 1) << frames;
    EXPECT_EQ(scene.m_MsgWait.m_nFrames, -1);
  }
  EXPECT_TRUE(cSoundLog::Sounds().empty());
  EXPECT_EQ(scene.m_bWaitRelease, 0);
}

TEST_F(SubLoops, AKeyWaitTakesOnlyANewPressOfButtonOne) {
  struct sCase {
    const char* name;
    int immediate;     // 0: the message command's 10-frame delay
    const char* keys;  // button 1 per frame, from the first
    int frame;         // the frame that takes the press
  };
  const sCase cases[] = {
      {"held when the wait begins", 1, "111100011", 8},
      {"pressed only from the first turn", 1, "1111", 0},
      {"pressed on the second turn", 1, "01", 2},
      {"held from the first turn through the delay", 0, "11111111111110001", 17},
      {"pressed during the delay and held past it", 0, "000011111111111101", 18},
      {"pressed on the first turn after the delay", 0, "00000000001", 11},
      {"pressed after the delay", 0, "0000000000001", 13},
  };
  for (const sCase& c : cases) {
    ResetDrawnFrames();
    cSoundLog::Clear();
    scene.m_bWaitRelease = 0;
    scene.m_MsgWait.Set(1, 1, 0, c.immediate);
    const int before = cScriptClock::Reads();
    clock.Script([&c](int frame) {
      const std::string keys = c.keys;
      const bool down = frame - 1 < static_cast<int>(keys.size()) && keys[frame - 1] == '1';
      platform::SetKeyDown('Z', down);
      // A wait that never takes the press is ended by a WM_QUIT after 40 frames. The script
      // runs on the loop's thread and posts to it by its own id, which the starter's record
      // may not hold yet.
      if (frame == 40) platform::PostThreadMessage(platform::CurrentThreadId(), WM_QUIT, 0, 0);
    });
    ASSERT_EQ(RunSubLoop(thPause, MessageLoopThread), 1);
    const int frames = cScriptClock::Reads() - before;
    if (c.frame == 0) {
      EXPECT_EQ(frames, 40) << c.name;
      EXPECT_TRUE(cSoundLog::Sounds().empty()) << c.name;
      EXPECT_EQ(scene.m_bWaitRelease, 0) << c.name;
    } else {
      EXPECT_EQ(frames, c.frame) << c.name;
      EXPECT_EQ(DrawnFrames(), c.frame - 1) << c.name;
      EXPECT_EQ(cSoundLog::Sounds(), std::vector<int>{12}) << c.name;
      EXPECT_EQ(scene.m_bWaitRelease, 1) << c.name;
    }
  }
  // Outside the message command's mode the press sounds 1.
  cSoundLog::Clear();
  scene.m_MsgWait.Set(2, 1, 0, 0);
  clock.Button1("01");
  RunSubLoop(thPause, MessageLoopThread);
  EXPECT_EQ(cSoundLog::Sounds(), std::vector<int>{1});
}

TEST_F(SubLoops, TheWaitsKeysStayOutOfThePlayInput) {
  cInputState& play = GetInput(0);
  play.m_wButton = KEY_BUTTON2;
  play.RecordRing();
  play.UpdateHistories();
  const cInputState before = play;
  scene.m_MsgWait.Set(1, 1, 0, 1);
  clock.Button1("0101");
  RunSubLoop(thPause, MessageLoopThread);
  EXPECT_EQ(play.m_wButton, before.m_wButton);
  EXPECT_EQ(play.m_nButtonRingHead, before.m_nButtonRingHead);
  EXPECT_EQ(play.m_ButtonHistories, before.m_ButtonHistories);
  EXPECT_EQ(play.m_DirHistories, before.m_DirHistories);
}

TEST_F(SubLoops, AClosingWindowEndsTheMessageLoop) {
  // Already quitting: nothing runs.
  int before = cScriptClock::Reads();
  scene.m_bQuit = 1;
  scene.m_MsgWait.Set(1, 1, 0, 1);
  EXPECT_EQ(MessageLoopThread(&scene), 0u);
  EXPECT_EQ(cScriptClock::Reads(), before);

  // WM_QUIT (the closing window's) ends the loop at its next turn.
  scene.m_bQuit = 0;
  clock.Script([](int frame) {
    if (frame == 3) platform::PostThreadMessage(platform::CurrentThreadId(), WM_QUIT, 0, 0);
  });
  RunSubLoop(thPause, MessageLoopThread);
  EXPECT_EQ(cScriptClock::Reads() - before, 3);
  EXPECT_EQ(DrawnFrames(), 3);

  // The quit flag without its WM_QUIT: nothing more is drawn, and 2000 ms later the loop
  // sends WM_QUIT to itself.
  ResetDrawnFrames();
  before = cScriptClock::Reads();
  clock.Script([this](int frame) {
    if (frame == 2) scene.m_bQuit = 1;
  });
  RunSubLoop(thPause, MessageLoopThread);
  EXPECT_EQ(DrawnFrames(), 2);
  const int reads = cScriptClock::Reads() - before;
  // Two frames, then the quitting turns at 20 ms a reading until 2000 ms have passed.
  EXPECT_GE(reads, 2 + 2000 / 20);
  EXPECT_LE(reads, 2 + 2000 / 20 + 2);
}

TEST_F(SubLoops, ALostDisplayAsksTheWindowToCloseAndTheLoopRunsOn) {
  platform::ResetCloseRequest();
  cPixelSurface* primary = g_Primary.Pixels();
  ASSERT_NE(primary, nullptr);
  scene.m_MsgWait.Set(4, 0, 5, 0);
  // The play scene's surfaces cannot be restored after the display was lost.
  cFailingRestorer restorer;
  cRestore<bool> lost(primary->m_bLost, true);
  RunSubLoop(thPause, MessageLoopThread);
  EXPECT_TRUE(platform::IsCloseRequested());
  EXPECT_EQ(DrawnFrames(), 5);
}

TEST_F(SubLoops, TheRankingLoopChangesGenresOnlyWhenThereAreTwo) {
  g_SceneManager.m_nPlayMode = PLAYMODE_FREE;
  g_SystemData.m_RankingSets.resize(4);
  cRankingGenreSet& set = g_SystemData.m_RankingSets[PLAYMODE_FREE];
  set.m_bRanking = 1;
  struct sCase {
    std::vector<std::uint8_t> genres;
    int shownAfter;
    int changeSounds;
  };
  const sCase cases[] = {
      {{0, 0, 1, 0, 0}, 2, 0}, {{1, 0, 1, 0, 0}, 0, 2},  // two presses: 0 -> 2 -> 0
  };
  for (const sCase& c : cases) {
    set.m_Genres = c.genres;
    g_PlayData.m_nRankGenre = 4;
    cSoundLog::Clear();
    const int before = cScriptClock::Reads();
    // Button 4 (V) in frames 2 and 4, button 1 (Z) in frame 6.
    clock.Script([](int frame) {
      platform::SetKeyDown('V', frame == 2 || frame == 4);
      platform::SetKeyDown('Z', frame == 6);
    });
    ASSERT_EQ(RunSubLoop(g_RankingThread, RankingLoopThread), 1);
    EXPECT_EQ(cScriptClock::Reads() - before, 6);
    EXPECT_EQ(g_PlayData.m_nRankGenre, c.shownAfter);
    EXPECT_EQ(cSoundLog::Count(6), c.changeSounds);
    EXPECT_EQ(cSoundLog::Sounds().back(), 1);
  }
  // WM_QUIT ends the display without a sound.
  cSoundLog::Clear();
  clock.Script([](int frame) {
    if (frame == 2) platform::PostThreadMessage(platform::CurrentThreadId(), WM_QUIT, 0, 0);
  });
  ASSERT_EQ(RunSubLoop(g_RankingThread, RankingLoopThread), 1);
  EXPECT_TRUE(cSoundLog::Sounds().empty());
}

}  // namespace
