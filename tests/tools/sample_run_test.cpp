#include "tools/sample_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "foundation/file_data.h"
#include "media/cursor.h"
#include "media/surface.h"
#include "platform/host_file.h"
#include "platform/input.h"
#include "platform/thread_messages.h"
#include "play/play_scene.h"
#include "play/scene_manager.h"
#include "project/play_data.h"
#include "project/system_bitmaps.h"
#include "project/system_data.h"
#include "shell/menu_scene.h"
#include "shell/option_scene.h"
#include "shell/title_scene.h"
#include "tests/support/temp_folder.h"
#include "tools/sample_game.h"

namespace {

bool InScene(eSceneId id) { return g_SceneManager.m_nScene == id; }

// The sample game written into a fresh folder with its data folder made, and the program to
// run on it.
class SampleRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(MakeSampleGame("."));
    ASSERT_TRUE(platform::CopyHostFolder("default", "data"));
  }
  // Starts the program and runs it until the title waits for a command.
  void StartAtTheTitleMenu() {
    ASSERT_TRUE(run.Start()) << (run.Messages().empty() ? "" : run.Messages().back());
    ASSERT_GE(run.RunUntil(
                  [] { return g_SceneManager.m_pTitle && g_SceneManager.m_pTitle->m_nPhase == 1; },
                  120, [](int) { return std::vector<int>{}; }),
              0);
  }

  cTempFolder m_Folder;
  cHeadlessRun run;
};

// A run in a process where an earlier run ended with a close and a quit left in this thread's
// queue: the new run starts with the queue empty and plays.
TEST(SampleRunQueue, ARunDoesNotInheritAnEarlierRunsQuit) {
  cTempFolder folder;
  ASSERT_TRUE(MakeSampleGame("."));
  ASSERT_TRUE(platform::CopyHostFolder("default", "data"));
  platform::sThreadMessage left;
  platform::PeekThreadMessage(left, false);  // the thread's queue exists from here
  for (std::uint32_t message : {platform::kCloseMessage, platform::kQuitMessage})
    ASSERT_TRUE(platform::PostThreadMessage(platform::CurrentThreadId(), message, 0, 0));
  cHeadlessRun run;
  ASSERT_TRUE(run.Start());
  EXPECT_GE(run.RunUntil(
                [] { return g_SceneManager.m_pTitle && g_SceneManager.m_pTitle->m_nPhase == 1; },
                120, [](int) { return std::vector<int>{}; }),
            0);
  EXPECT_FALSE(platform::PeekThreadMessage(left, false));
}

// The sample played as a person starts it: "new story" on the title, a walk to the right on
// the world map onto the first stage, and the stage's play phase.
TEST_F(SampleRunTest, FromTheTitleThroughNewStoryAndTheMapIntoTheFirstStage) {
  ASSERT_NO_FATAL_FAILURE(StartAtTheTitleMenu());

  const int toMap = run.RunUntil([] { return InScene(SCENE_WORLDMAP); }, 600, TapButton1);
  ASSERT_GE(toMap, 0) << "still in scene " << g_SceneManager.m_nScene;
  EXPECT_EQ(g_SceneManager.m_nGameKind, GAME_NEWSTORY);

  // Right onto the stage's point, then "yes" to the question whether to enter it.
  const auto toStage = [](int frame) {
    cScene* map = g_SceneManager.m_pWorldMap;
    if (!map || map->m_nPhase != 2) return std::vector<int>{platform::VK_RIGHT};
    if (g_Cursor.m_pCur->row != 0)
      return frame % 2 ? std::vector<int>{platform::VK_UP} : std::vector<int>{};
    return TapButton1(frame);
  };
  ASSERT_GE(run.RunUntil([] { return InScene(SCENE_PLAY); }, 600, toStage), 0)
      << "still in scene " << g_SceneManager.m_nScene;
  EXPECT_EQ(g_PlayData.m_nMapX, 4);
  EXPECT_EQ(g_PlayData.m_nMapY, 7);

  const auto none = [](int) { return std::vector<int>{}; };
  const int toPlay = run.RunUntil(
      [] { return g_pPlayScene && g_pPlayScene->m_nPhase == PLAYPHASE_PLAY; }, 600, none);
  ASSERT_GE(toPlay, 0) << "play scene phase " << (g_pPlayScene ? g_pPlayScene->m_nPhase : -99);
  EXPECT_EQ(g_PlayData.m_nStageNo, 1);
  for (const std::string& message : run.Messages()) ADD_FAILURE() << message;
}

// On the world map's question whether to enter the stage, one press of Up moves the cursor
// from "no" to "yes" and back: held for a single frame, or so quick that it was let go again
// before the frame read the keys; at once after the question showed, or after a rest.
TEST_F(SampleRunTest, OnePressOfUpMovesTheQuestionsCursor) {
  ASSERT_NO_FATAL_FAILURE(StartAtTheTitleMenu());
  ASSERT_GE(run.RunUntil([] { return InScene(SCENE_WORLDMAP); }, 600, TapButton1), 0);
  const auto asked = [] {
    cScene* map = g_SceneManager.m_pWorldMap;
    return map && map->m_nPhase == 2;
  };
  ASSERT_GE(run.RunUntil(asked, 600, [](int) { return std::vector<int>{platform::VK_RIGHT}; }),
            0);
  // The question shows, the hero still walking.
  ASSERT_TRUE(run.Frame({platform::VK_RIGHT}));
  ASSERT_EQ(g_Cursor.m_pCur->row, 1);
  const std::vector<int> up = {platform::VK_UP};
  const struct {
    bool tap;
    int rest;
  } presses[] = {{true, 0}, {false, 1}, {true, 1}, {false, 30}, {true, 30}};
  for (const auto& press : presses) {
    SCOPED_TRACE(testing::Message() << (press.tap ? "tapped" : "held") << " after " << press.rest
                                    << " frames without a key");
    for (int i = 0; i < press.rest; ++i) ASSERT_TRUE(run.Frame());
    const int before = g_Cursor.m_pCur->row;
    ASSERT_TRUE(press.tap ? run.Frame({}, up) : run.Frame(up));
    ASSERT_TRUE(asked());
    EXPECT_EQ(g_Cursor.m_pCur->row, 1 - before);
  }
}

// The options screen as the title's "options" opens it: every row it shows is captioned
// with the name of the item that row changes, and the last one, "back", returns to the title.
TEST_F(SampleRunTest, EachOptionsRowNamesItsItem) {
  ASSERT_NO_FATAL_FAILURE(StartAtTheTitleMenu());
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(run.Frame({platform::VK_DOWN}));
    ASSERT_TRUE(run.Frame());
  }
  const auto options = [] {
    return g_SceneManager.m_pOption && g_SceneManager.m_pOption->m_nPhase == OPTION_MAIN;
  };
  ASSERT_GE(run.RunUntil(options, 300, TapButton1), 0) << "in scene " << g_SceneManager.m_nScene;
  const auto& scene = *static_cast<cOptionScene*>(g_SceneManager.m_pOption);
  const char* const names[6] = {"Palette", "Music", "Sound", "Ranking", "Name", "Back"};
  ASSERT_GE(scene.m_nCount, 2);
  for (int i = 0; i < scene.m_nCount; ++i) {
    const int item = scene.m_Entries[i];
    ASSERT_TRUE(item >= OPTION_PALETTE && item <= OPTION_BACK) << item;
    EXPECT_STREQ(MenuCaption(g_SystemData.m_OptionMenu, item), names[item]) << "row " << i;
  }
  EXPECT_EQ(scene.m_Entries[scene.m_nCount - 1], OPTION_BACK);

  // Up from the first row wraps onto "back", and choosing it leaves for the title.
  ASSERT_TRUE(run.Frame());
  ASSERT_TRUE(run.Frame({platform::VK_UP}));
  ASSERT_TRUE(run.Frame());
  ASSERT_GE(run.RunUntil([] { return InScene(SCENE_TITLE); }, 300, TapButton1), 0);
}

// The title's command window is drawn over the title picture: where neither a command's
// picture nor the cursor lies (its cursor column, its last two rows) the picture shows
// through. Direct3D at 32 bits, as the sample asks.
TEST_F(SampleRunTest, TheTitlePictureShowsThroughTheCommandWindow) {
  ASSERT_NO_FATAL_FAILURE(StartAtTheTitleMenu());
  run.Frame();
  ASSERT_TRUE(g_bD3D);
  ASSERT_EQ(g_nBpp, 32);
  const auto* title = static_cast<cTitleScene*>(g_SceneManager.m_pTitle);
  const DDSURFACEDATA* window = MenuSurface();
  ASSERT_NE(window, nullptr);
  const int x = title->m_nWindowX, y = kTitleWindowY;
  const DDSURFACEDATA& picture = g_SystemSurface[kSurfTitle];
  for (const auto& [dx, dy] :
       {std::pair{5, 40}, std::pair{20, 100}, std::pair{100, window->nHeight - 1}})
    EXPECT_EQ(BackBuffer.Pixels()->Get(x + dx, y + dy) & 0xFFFFFF,
              picture.Pixels()->Get(x + dx, y + dy) & 0xFFFFFF)
        << dx << ", " << dy;
}

// The replays of the three stages, recorded from their key scripts by tool_record_replays,
// play to the ends recorded with them: each is loaded as the title's replay command loads it
// and played on the test clock while button 1 is pressed and released on alternate frames
// (a message that waits for the button never stops the run). A stage whose replay has not
// been recorded yet is skipped.
class SampleReplay : public SampleRunTest, public ::testing::WithParamInterface<int> {};

TEST_P(SampleReplay, PlaysToItsRecordedEnd) {
  char name[16];
  std::snprintf(name, sizeof(name), "stage%02d", GetParam());
  const std::string base = std::string(TW_REPLAY_DIR) + "/" + name;
  const std::string replay = base + ".rpl4_" + std::to_string(kDataVersion);
  if (!std::filesystem::exists(replay) || !std::filesystem::exists(base + ".end"))
    GTEST_SKIP() << name << " has no recorded replay yet";
  std::string expected = ReadText(base + ".end");
  while (!expected.empty() && (expected.back() == '\n' || expected.back() == '\r'))
    expected.pop_back();
  // The recorded frames of play, the bound of the run with a margin for the stage's start.
  const std::size_t at = expected.find(", score ");
  ASSERT_NE(at, std::string::npos) << expected;
  const int frames = std::atoi(expected.c_str() + expected.rfind(", ") + 2);
  ASSERT_GT(frames, 0) << expected;

  ASSERT_NO_FATAL_FAILURE(StartAtTheTitleMenu());
  ASSERT_TRUE(run.StartReplay(replay));
  // The run ends at the stage's end, or when the hero is lost or the replay starts over:
  // either means that the replay went its own way.
  int lastFrames = 0;
  bool startedOver = false;
  const int ran = run.RunUntil(
      [&] {
        const sPlayEnd end = CurrentPlayEnd();
        startedOver = end.nState == sPlayEnd::PLAYING && end.nFrames < lastFrames;
        lastFrames = std::max(lastFrames, end.nFrames);
        return startedOver || end.nState == sPlayEnd::CLEARED || end.nState == sPlayEnd::LOST;
      },
      frames + 600, TapButton1);
  const sPlayEnd end = CurrentPlayEnd();
  EXPECT_GE(ran, 0) << "no end within " << frames + 600 << " frames; at frame " << end.nFrames;
  EXPECT_FALSE(startedOver) << "the replay started over after frame " << lastFrames;
  EXPECT_EQ(DescribePlayEnd(end), expected)
      << "the replay went its own way by frame " << end.nFrames;
}

INSTANTIATE_TEST_SUITE_P(Stages, SampleReplay, ::testing::Values(1, 2, 3));

}  // namespace
