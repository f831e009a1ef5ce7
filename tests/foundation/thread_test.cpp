#include "foundation/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "foundation/window_messages.h"
#include "platform/clock.h"

namespace {

struct sLoop {
  std::atomic<int> turns{0};
  std::atomic<int> requestsOk{0};
  std::atomic<int> requestsFailed{0};
  std::atomic<std::intptr_t> result{0};
};

// A loop thread as the program runs them: looks at its queue every turn, ends on WM_QUIT,
// and sends a request to the main window when told to.
std::uint32_t LoopProc(void* param) {
  sLoop& loop = *static_cast<sLoop*>(param);
  platform::sThreadMessage message;
  for (;;) {
    while (platform::PeekThreadMessage(message, true)) {
      if (message.message == WM_QUIT) return 0;
      if (message.message == WM_USER + 50) {
        std::intptr_t result = -1;
        if (platform::SendRequest(WM_PLAYSOUND, 7, 0, &result)) {
          loop.result = result;
          ++loop.requestsOk;
        } else {
          ++loop.requestsFailed;
        }
      }
    }
    ++loop.turns;
    platform::SleepMs(1);
  }
}

cThread* g_suspendAround = nullptr;
std::atomic<std::uint32_t> g_handlerThread{0};

// The main window's handler: suspends the threads around a modal dialog as the shell does.
std::intptr_t Handler(std::uint32_t message, std::uintptr_t wParam, std::intptr_t) {
  g_handlerThread = platform::CurrentThreadId();
  if (g_suspendAround) g_suspendAround->Suspend();
  platform::SleepMs(20);
  if (g_suspendAround) g_suspendAround->Resume();
  return static_cast<std::intptr_t>(message * 100 + wParam);
}

// Serves requests on the main thread until done() holds or about two seconds pass.
template <typename F>
bool PumpUntil(F done) {
  for (int i = 0; i < 2000 && !done(); ++i) platform::WaitThreadMessage(1);
  return done();
}

class ThreadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::BecomeMainThread();
    platform::SetRequestHandler(&Handler);
  }
  void TearDown() override {
    platform::SetRequestHandler(nullptr);
    platform::LeaveMainThread();
    platform::ResetShutdown();
    g_suspendAround = nullptr;
    SetThreadExitGrace(5000);
    platform::SetEndProcessHook(nullptr);
  }
};

}  // namespace

TEST_F(ThreadTest, MessageSuspendAroundARequestResumeAndStop) {
  cThread thread;
  sLoop loop;
  ASSERT_EQ(thread.Start(&LoopProc, &loop), 1);
  EXPECT_EQ(thread.Start(&LoopProc, &loop), 0);  // one thread per object
  // The start handshake succeeds at the first try: the queue exists before the thread runs.
  EXPECT_TRUE(platform::PostThreadMessage(thread.ThreadId(), WM_APP, 0, 0));

  g_suspendAround = &thread;
  ASSERT_TRUE(platform::PostThreadMessage(thread.ThreadId(), WM_USER + 50, 0, 0));
  ASSERT_TRUE(PumpUntil([&] { return loop.requestsOk == 1; }));
  EXPECT_EQ(loop.result, WM_PLAYSOUND * 100 + 7);
  EXPECT_EQ(g_handlerThread, platform::CurrentThreadId());
  // Resumed inside the request, the loop goes on after it.
  int turns = loop.turns;
  ASSERT_TRUE(PumpUntil([&] { return loop.turns > turns + 3; }));

  // Suspended, it stops at its next wait and stays there.
  EXPECT_TRUE(thread.Suspend());
  platform::SleepMs(20);
  turns = loop.turns;
  platform::SleepMs(40);
  EXPECT_EQ(loop.turns, turns);
  EXPECT_TRUE(thread.Resume());
  ASSERT_TRUE(PumpUntil([&] { return loop.turns > turns; }));

  // Exit resumes a suspended thread so that it sees the quit message.
  thread.Suspend();
  const std::uint64_t start = platform::MonotonicMs();
  thread.Exit();
  EXPECT_LT(platform::MonotonicMs() - start, 150u);
  EXPECT_FALSE(thread.HasThread());
  EXPECT_FALSE(platform::PostThreadMessage(thread.ThreadId(), WM_APP, 0, 0));
  thread.Exit();  // idle: nothing, also twice
  thread.Exit();
}

TEST_F(ThreadTest, RequestsFailOnceShutDownBegins) {
  cThread thread;
  sLoop loop;
  ASSERT_EQ(thread.Start(&LoopProc, &loop), 1);
  // A request the main thread does not serve yet is pending until shut-down fails it.
  ASSERT_TRUE(platform::PostThreadMessage(thread.ThreadId(), WM_USER + 50, 0, 0));
  platform::SleepMs(30);
  EXPECT_EQ(loop.requestsFailed + loop.requestsOk, 0);
  platform::BeginShutdown();
  ASSERT_TRUE(PumpUntil([&] { return loop.requestsFailed == 1; }));

  // A new one fails at once, without the main thread.
  const std::uint64_t start = platform::MonotonicMs();
  ASSERT_TRUE(platform::PostThreadMessage(thread.ThreadId(), WM_USER + 50, 0, 0));
  for (int i = 0; i < 500 && loop.requestsFailed < 2; ++i) platform::SleepMs(1);
  EXPECT_EQ(loop.requestsFailed, 2);
  EXPECT_LT(platform::MonotonicMs() - start, 400u);
  EXPECT_EQ(loop.requestsOk, 0);
  thread.Exit();
}

TEST_F(ThreadTest, StoppingAThreadBlockedInARequestDoesNotDeadlock) {
  // The main window stops the game thread while that thread waits for the main window.
  platform::SetRequestHandler([](std::uint32_t, std::uintptr_t, std::intptr_t) -> std::intptr_t {
    return 1;
  });
  cThread thread;
  sLoop loop;
  ASSERT_EQ(thread.Start(&LoopProc, &loop), 1);
  ASSERT_TRUE(platform::PostThreadMessage(thread.ThreadId(), WM_USER + 50, 0, 0));
  platform::SleepMs(20);
  const std::uint64_t start = platform::MonotonicMs();
  thread.Exit();
  EXPECT_LT(platform::MonotonicMs() - start, 150u);
  EXPECT_FALSE(thread.HasThread());
  EXPECT_EQ(loop.requestsOk + loop.requestsFailed, 1);
}

TEST_F(ThreadTest, AThreadThatIgnoresItsQuitMessageDoesNotHangTheProgram) {
  static std::atomic<bool> release{false};
  static std::atomic<bool> finished{false};
  static std::atomic<int> endCode{0};
  release = false;
  finished = false;
  SetThreadExitGrace(50);
  platform::SetEndProcessHook([](int code) { endCode = code; });

  cThread thread;
  ASSERT_EQ(thread.Start(
                [](void*) -> std::uint32_t {
                  while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
                  finished = true;
                  return 0;
                },
                nullptr),
            1);
  const std::uint64_t start = platform::MonotonicMs();
  thread.Exit();
  const std::uint64_t took = platform::MonotonicMs() - start;
  EXPECT_GE(took, 240u);
  EXPECT_LT(took, 1500u);
  EXPECT_EQ(endCode, 3);
  EXPECT_FALSE(thread.HasThread());

  release = true;
  for (int i = 0; i < 1000 && !finished; ++i) platform::SleepMs(1);
  EXPECT_TRUE(finished);
}

TEST(ThreadGlobals, IdleUntilStarted) {
  for (cThread* thread : {&thGame, &thPause, &g_RankingThread, &g_StageLoadThread}) {
    EXPECT_FALSE(thread->HasThread());
    EXPECT_TRUE(thread->Suspend());
    EXPECT_TRUE(thread->Resume());
    thread->Exit();
  }
}
