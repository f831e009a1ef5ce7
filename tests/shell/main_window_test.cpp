#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <atomic>

#include "../support/empty_queue.h"
#include "../support/temp_folder.h"
#include "../support/value_guard.h"
#include "foundation/report.h"
#include "foundation/thread.h"
#include "foundation/window_messages.h"
#include "play/requests.h"
#include "platform/clock.h"
#include "platform/close_request.h"
#include "platform/host_file.h"
#include "platform/thread_messages.h"
#include "platform/video.h"
#include "project/paths.h"
#include "project/system_ini.h"
#include "shell/wnd.h"

namespace {

std::atomic<int> g_nQuitFlags{0};

std::uint32_t PauseLoop(void*) {
  for (;;) {
    platform::sThreadMessage message;
    if (platform::PeekThreadMessage(message, true) && message.message == WM_QUIT) return 0;
    platform::SleepMs(1);
  }
}

bool LogHas(const std::string& line) {
  for (const std::string& l : ReadLines("EC_Game.txt"))
    if (l == line) return true;
  return false;
}

TEST(Closing, ACloseThatWaitsForThePauseLoopRunsAgainOnceItEnded) {
  cTempFolder folder;
  cEmptyQueue queue;
  ErrLogSetup(1, "EC_Game.txt");
  platform::BecomeMainThread();
  SetPauseQuitHandler([] { ++g_nQuitFlags; });
  ASSERT_TRUE(thPause.Start(&PauseLoop, nullptr));
  while (!platform::PostThreadMessage(thPause.ThreadId(), WM_APP, 0, 0)) platform::SleepMs(1);

  CloseMainWindow();
  EXPECT_TRUE(LogHas("WM_CLOSE thPause.m_hThread"));
  EXPECT_EQ(g_nQuitFlags.load(), 1);
  EXPECT_TRUE(platform::ShutdownBegun());
  EXPECT_FALSE(LogHas("WM_CLOSE \xE6\x88\x90\xE5\x8A\x9F\xEF\xBC\x81"));

  // The pause loop ends on the quit it was sent; nobody asks for the close again.
  while (thPause.Running()) platform::SleepMs(1);
  EXPECT_TRUE(ResumePendingClose());
  EXPECT_TRUE(LogHas("WM_CLOSE \xE6\x88\x90\xE5\x8A\x9F\xEF\xBC\x81"));
  EXPECT_TRUE(LogHas("WM_DESTROY"));
  EXPECT_FALSE(thPause.HasThread());
  platform::sThreadMessage message;
  ASSERT_TRUE(platform::PeekThreadMessage(message, true));
  EXPECT_EQ(message.message, static_cast<std::uint32_t>(WM_QUIT));
  EXPECT_FALSE(ResumePendingClose());

  SetPauseQuitHandler(nullptr);
  ResetMainWindowState();
  platform::ResetShutdown();
  platform::LeaveMainThread();
  ErrLogSetup(0, "EC_Game.txt");
}

// A resizable window in Direct3D mode: the size the player dragged it to is the one the
// close saves, and the next start takes.
TEST(Closing, TheSizeTheWindowWasDraggedToIsSaved) {
  cTempFolder folder;
  cEmptyQueue queue;
  ASSERT_TRUE(platform::MakeHostFolder("user_data"));
  cValueGuard<std::int32_t> windowMode(g_SystemIni.WindowMode, 2);
  cValueGuard<std::int32_t> d3d(g_SystemIni.Direct3D, 1);
  platform::BecomeMainThread();
  ASSERT_TRUE(platform::OpenVideo(platform::sVideoMode{}));
  platform::SetWindowResizable(true);
  g_MainWnd.Setup(640, 480, 100, 100, 640, 480, WS_MAIN_WINDOW | WS_THICKFRAME);
  g_hWnd.store(&g_MainWnd);
  g_bStarted.store(1);
  DispatchWindowEvents();

  platform::SetWindowClientSize(800, 600);  // as the window system reports a drag
  platform::PumpVideoEvents();
  DispatchWindowEvents();
  EXPECT_EQ(g_MainWnd.m_rcClient.Width(), 800);
  CloseMainWindow();
  cWindowPos saved;
  ASSERT_EQ(saved.LoadFile(g_PathTable[PATH_WINDOW]), 1);
  EXPECT_EQ(saved.m_nWidth, 800);
  EXPECT_EQ(saved.m_nHeight, 600);

  ResetMainWindowState();
  platform::ResetShutdown();
  platform::LeaveMainThread();
  platform::CloseVideo();
}

TEST(WindowPlacementFile, ACornerOffTheScreenIsReadBackOnIt) {
  cTempFolder folder;
  ASSERT_TRUE(platform::OpenVideo(platform::sVideoMode{}));
  int width = 0, height = 0;
  ASSERT_TRUE(platform::DisplaySize(width, height));
  struct {
    int x, y, ex, ey;
  } cases[] = {{-50, 10, 0, 10}, {width + 5, height + 9, width, height}, {30, -1, 30, 0}};
  for (auto& c : cases) {
    cWindowPos pos;
    pos.Set(c.x, c.y, 640, 480, 1);
    ASSERT_EQ(pos.SaveFile("Window.dat"), 1);
    cWindowPos back;
    ASSERT_EQ(back.LoadFile("Window.dat"), 1);
    EXPECT_EQ(back.m_nX, c.ex);
    EXPECT_EQ(back.m_nY, c.ey);
    EXPECT_EQ(back.m_nWidth, 640);  // the size is taken as it is
    EXPECT_EQ(back.m_bMaximized, 1);
  }
  // The placement is saved at every close: the same record saved twice still reads back.
  cWindowPos pos;
  pos.Set(12, 34, 640, 480, 0);
  ASSERT_EQ(pos.SaveFile("Window.dat"), 1);
  ASSERT_EQ(pos.SaveFile("Window.dat"), 1);
  cWindowPos back;
  ASSERT_EQ(back.LoadFile("Window.dat"), 1);
  EXPECT_EQ(back.m_nX, 12);
  EXPECT_EQ(back.m_nY, 34);
  platform::CloseVideo();
}

}  // namespace

namespace {

TEST(MainWindow, EscClosesAndActivationIsKept) {
  platform::ResetCloseRequest();
  HWND hwnd = &g_MainWnd;
  g_MainWnd.WndProc(hwnd, 0x0100 /* WM_KEYDOWN */, 0x41, 0);
  EXPECT_EQ(platform::CloseRequestCount(), 0);
  g_MainWnd.WndProc(hwnd, 0x0100, 0x1B, 0);
  EXPECT_EQ(platform::CloseRequestCount(), 1);
  g_MainWnd.WndProc(hwnd, WM_ACTIVATEAPP, 1, 0);
  EXPECT_EQ(g_bActive.load(), 1);
  g_MainWnd.WndProc(hwnd, WM_ACTIVATEAPP, 0, 0);
  EXPECT_EQ(g_bActive.load(), 0);
  ResetMainWindowState();
  platform::ResetCloseRequest();
}

}  // namespace
