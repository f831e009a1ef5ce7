// The whole program in the test process, on the sample game, with one scene that paints the
// screen a single colour.
#include "shell/entry.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "../support/empty_queue.h"
#include "../support/env_guard.h"
#include "../support/temp_folder.h"
#include "../support/value_guard.h"
#include "foundation/report.h"
#include "foundation/shell_services.h"
#include "foundation/thread.h"
#include "media/blit.h"
#include "media/surface.h"
#include "platform/clock.h"
#include "platform/close_request.h"
#include "platform/instance_lock.h"
#include "platform/thread_messages.h"
#include "platform/video.h"
#include "play/scene_manager.h"
#include "project/system_ini.h"
#include "tools/sample_game.h"

namespace {

constexpr std::uint32_t kColour = 0x336699;
std::atomic<int> g_nInits{0};

class cColourScene : public cScene {
 public:
  cColourScene() { SetPhases<cColourScene>({&cColourScene::Paint}); }
  void Init() override {
    ErrLogSetup(1, "EC_Game.txt");
    ++g_nInits;
  }
  void Paint() { DDClearColor(&BackBuffer, 0xFF000000u | kColour); }
};

bool FrameShowsColour() {
  std::vector<std::uint32_t> pixels;
  int w = 0, h = 0;
  return platform::LastPresentedFrame(pixels, w, h) && w == 640 && h == 480 &&
         pixels[240 * 640 + 320] == kColour && pixels[0] == kColour;
}

// With a display (the virtual one of the test command) the window is a real one. The GL
// driver that its renderer loads keeps a few buffers for good and is unloaded at the end:
// kept loaded, the leak checker can name it (and lets it be).
const char* TestVideoDriver() {
  if (!std::getenv("DISPLAY")) return "dummy";
  for (const char* library : {"libGLX_mesa.so.0", "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"})
    dlopen(library, RTLD_NOW | RTLD_NODELETE);
  return "x11";
}

TEST(Entry, TheWindowShowsTheScenesFramesAndACloseEndsEverythingInOrder) {
  cEnvGuard driver("SDL_VIDEODRIVER", TestVideoDriver());
  cTempFolder folder;
  cEmptyQueue queue;  // a close another test left must not end this program at once
  ASSERT_TRUE(MakeSampleGame(folder.HostPath()));
  std::filesystem::create_directories("user_data");
  platform::SetInstanceLockFolder(folder.HostPath());
  cValueGuard<std::int32_t> windowMode(g_SystemIni.WindowMode, 1);
  SetSceneCreator(SCENE_TITLE, [] { return static_cast<cScene*>(new cColourScene); });

  // Once the colour is on the screen, the program is asked to close from outside (SIGTERM).
  struct sigaction previous = {};
  sigaction(SIGTERM, nullptr, &previous);
  std::atomic<bool> seen{false}, ended{false};
  std::thread watcher([&] {
    // No time limit: a slow machine only takes longer; a program that never shows the colour
    // and never ends is caught by the test command's own timeout.
    while (!seen && !ended) {
      if (FrameShowsColour()) seen = true;
      platform::SleepMs(1);
    }
    if (seen) kill(getpid(), SIGTERM);
  });
  char name[] = "tarnwick";
  char* argv[] = {name, nullptr};
  const int code = WinMain(1, argv);
  ended = true;
  watcher.join();

  EXPECT_EQ(code, 0);
  EXPECT_TRUE(seen);
  EXPECT_EQ(g_nInits.load(), 1);
  EXPECT_TRUE(std::filesystem::exists("user_data/Window.dat"));
  std::vector<std::string> wanted = {"WM_CLOSE \xE6\x88\x90\xE5\x8A\x9F\xEF\xBC\x81",
                                     "thPause.Exit()", "thGame.Exit()", "WM_DESTROY"};
  std::size_t next = 0;
  for (const std::string& line : ReadLines("EC_Game.txt"))
    if (next < wanted.size() && line == wanted[next]) ++next;
  EXPECT_EQ(next, wanted.size()) << "missing from the error log: "
                                 << wanted[std::min(next, wanted.size() - 1)];
  EXPECT_EQ(g_SceneManager.m_pTitle, nullptr);
  EXPECT_FALSE(thGame.HasThread());

  sigaction(SIGTERM, &previous, nullptr);
  SetSceneCreator(SCENE_TITLE, nullptr);
  platform::ResetShutdown();
  platform::ResetCloseRequest();
  // The folder goes with the test: later starts look for their lock where they were told.
  platform::SetInstanceLockFolder("");
  ErrLogSetup(0, "EC_Game.txt");
}

}  // namespace
