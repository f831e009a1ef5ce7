#include "play/requests.h"

#include <gtest/gtest.h>

#include <atomic>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "../support/empty_queue.h"
#include "../support/env_guard.h"
#include "../support/value_guard.h"
#include "foundation/message_box.h"
#include "foundation/shell_services.h"
#include "foundation/thread.h"
#include "platform/clock.h"
#include "platform/close_request.h"
#include "platform/dialog_host.h"
#include "platform/message_box.h"
#include "platform/thread_messages.h"
#include "project/stage.h"
#include "shell/dlg.h"
#include "shell/main_window.h"

namespace {

// The test thread plays the main thread, with the main window's request handler.
class RequestTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::BecomeMainThread();
    platform::SetRequestHandler(&HandleMainWindowRequest);
    platform::ResetCloseRequest();
  }
  void TearDown() override {
    SetNameEntryFactory(nullptr);
    SetFileSelectFactory(nullptr);
    SetRequestActions({});
    platform::SetDialogIdleService(nullptr);
    platform::SetRequestHandler(nullptr);
    platform::ResetShutdown();
    platform::ResetCloseRequest();
    platform::LeaveMainThread();
  }
  // The closes asked for go to this thread's queue: neither this test nor a later one may
  // find another's.
  cEmptyQueue queue;
};

TEST_F(RequestTest, ARequestAfterShutDownBeganIsCancelledAtOnce) {
  platform::BeginShutdown();
  int stage = -1, replay = -1;
  std::thread sender([&] {
    stage = RequestStageDialog();
    replay = RequestSaveReplay(0);
    RequestNameEntry();
  });
  sender.join();  // nothing serves requests here: a refused one must not wait
  EXPECT_EQ(stage, 0);
  EXPECT_EQ(replay, 0);
  EXPECT_EQ(g_bRequestDone.load(), 1);
  EXPECT_EQ(g_bNameEntryDone.load(), 1);
}

TEST_F(RequestTest, WithoutItsDialogARequestAnswersCancelled) {
  EXPECT_EQ(HandleMainWindowRequest(WM_OPENSTAGE, 0, 0), 0);
  EXPECT_EQ(g_bRequestDone.load(), 1);
  EXPECT_EQ(g_bRequestResult.load(), 0);
  EXPECT_EQ(platform::CloseRequestCount(), 0);
}

// A dialog that ends at once with the code it was given, as a user's click would.
int g_nEndWith = 1;
class cAnswerDlg : public cDlg {
 public:
  explicit cAnswerDlg(std::string* path) : m_pPath(path) {}
  void BuildLayout(platform::cHostDialog& host) override { host.AddLabel(1, "-", 0, 0, 40, 20); }
  void OnInitDialog(std::uintptr_t w, std::intptr_t l) override {
    cDlg::OnInitDialog(w, l);
    if (m_pPath) *m_pPath = "chosen.file";
    Close(g_nEndWith);
  }
  std::string* m_pPath;
};

int g_nActionResult = 1;
std::string g_strActedOn;
int g_nBoxes = 0;

TEST_F(RequestTest, FileRequestsReportWhatHappenedToTheChosenFile) {
  if (!platform::StartDialogToolkit()) GTEST_SKIP() << "no display";
  SetFileSelectFactory([](int, std::string& path) -> cDlg* { return new cAnswerDlg(&path); });
  sRequestActions actions;
  actions.startStageFile = [](const std::string& p, int) {
    g_strActedOn = p;
    return g_nActionResult;
  };
  actions.loadReplay = [](const std::string& p) {
    g_strActedOn = p;
    return g_nActionResult;
  };
  actions.saveReplay = [](const std::string& p, int) {
    g_strActedOn = p;
    return g_nActionResult;
  };
  SetRequestActions(actions);
  platform::SetMessageBoxHandler([](const std::string&, const std::string&, int) {
    ++g_nBoxes;
    return platform::kAnswerOk;
  });
  struct {
    std::uint32_t request;
    int endWith, acted, result, closes, boxes;
  } cases[] = {
      {WM_OPENSTAGE, 1, 1, 1, 0, 0},
      {WM_OPENSTAGE, 1, 0, 0, 1, 0},  // a stage that cannot start: the title stays, then the close
      {WM_OPENSTAGE, 0, 1, 0, 0, 0},  // cancelled
      {WM_LOADREPLAY, 1, 1, 1, 0, 0},
      {WM_LOADREPLAY, 1, 0, 0, 1, 0},
      {WM_SAVEREPLAY, 1, 1, 1, 0, 0},
      {WM_SAVEREPLAY, 1, 0, 0, 0, 1},  // a replay that cannot be written: a box, play goes on
  };
  for (auto& c : cases) {
    g_nEndWith = c.endWith;
    g_nActionResult = c.acted;
    g_nBoxes = 0;
    g_strActedOn.clear();
    platform::ResetCloseRequest();
    g_bRequestDone.store(0);
    HandleMainWindowRequest(c.request, 0, 0);
    EXPECT_EQ(g_bRequestDone.load(), 1) << c.request;
    EXPECT_EQ(g_bRequestResult.load(), c.result) << c.request << " " << c.acted;
    EXPECT_EQ(platform::CloseRequestCount(), c.closes) << c.request << " " << c.acted;
    EXPECT_EQ(g_nBoxes, c.boxes) << c.request;
    EXPECT_EQ(g_strActedOn, c.endWith == 1 ? "chosen.file" : "") << c.request;
  }
  EXPECT_EQ(g_Stage.m_strPath, "chosen.file");
  platform::SetMessageBoxHandler(nullptr);
}

// The name entry stays open until the idle service has run 40 times.
std::atomic<int> g_nFrames{0};
std::atomic<int> g_nTicks{0};
int g_nFramesAtTick10 = 0, g_nFramesAtTick40 = 0;
cDlg* g_pOpen = nullptr;

class cWaitingDlg : public cDlg {
 public:
  cWaitingDlg() { g_pOpen = this; }
  ~cWaitingDlg() override { g_pOpen = nullptr; }
  void BuildLayout(platform::cHostDialog& host) override { host.AddLabel(1, "-", 0, 0, 40, 20); }
};

void WaitingIdle() {
  const int tick = ++g_nTicks;
  if (tick == 10) g_nFramesAtTick10 = g_nFrames.load();
  if (tick == 40 && g_pOpen) {
    g_nFramesAtTick40 = g_nFrames.load();
    g_pOpen->Close(IDC_OK);
  }
}

std::uint32_t FrameLoop(void*) {
  for (;;) {
    platform::sThreadMessage message;
    if (platform::PeekThreadMessage(message, true) && message.message == 0x0012) return 0;
    ++g_nFrames;
    platform::SleepMs(1);
  }
}

std::uint32_t AskName(void*) {
  RequestNameEntry();
  return 0;
}

TEST_F(RequestTest, NoFrameRunsWhileADialogIsOpen) {
  if (!platform::StartDialogToolkit()) GTEST_SKIP() << "no display";
  SetNameEntryFactory([]() -> cDlg* { return new cWaitingDlg; });
  platform::SetDialogIdleService(&WaitingIdle);
  ASSERT_TRUE(thGame.Start(&FrameLoop, nullptr));
  while (g_nFrames.load() == 0) platform::SleepMs(1);
  ASSERT_TRUE(thPause.Start(&AskName, nullptr));
  // The main thread serves the request from its loop; it returns once the dialog closed.
  while (!g_bNameEntryDone.load()) {
    platform::ServeRequests();
    platform::SleepMs(1);
  }
  thPause.Wait();
  EXPECT_GE(g_nTicks.load(), 40);
  // A frame already begun may end after the gate closed; no further one starts.
  EXPECT_LE(g_nFramesAtTick40 - g_nFramesAtTick10, 1);
  const int after = g_nFrames.load();
  // The frames go on once the dialog closed (a loop that never resumes hangs the test, which
  // the test command's timeout reports).
  while (g_nFrames.load() == after) platform::SleepMs(1);
  thGame.Exit();
}

TEST(DialogToolkit, StartsWithoutChangingTheCLocale) {
  cEnvGuard locale("LC_ALL", "C.UTF-8");
  if (!platform::StartDialogToolkit()) GTEST_SKIP() << "no display";
  EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  char text[32];
  std::snprintf(text, sizeof(text), "%f", 1.5);
  EXPECT_STREQ(text, "1.500000");
}

}  // namespace
