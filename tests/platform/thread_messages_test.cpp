#include "platform/thread_messages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "platform/clock.h"
#include "platform/close_request.h"
#include "platform/video.h"

using platform::sThreadMessage;

TEST(ThreadMessages, QueuesFollowTheWindowsRules) {
  // A thread has no queue until it uses a message function; then posts arrive in order.
  std::atomic<std::uint32_t> id{0};
  std::atomic<bool> ready{false}, posted{false};
  std::atomic<int> seen{0};
  std::thread worker([&] {
    id = platform::CurrentThreadId();
    while (!posted) std::this_thread::yield();
    sThreadMessage message;
    EXPECT_FALSE(platform::PeekThreadMessage(message, true));  // the early post was lost
    ready = true;
    while (platform::GetThreadMessage(message)) {
      EXPECT_EQ(message.message, 0x8000u + seen);
      EXPECT_EQ(message.wParam, 5u);
      EXPECT_EQ(message.lParam, -6);
      ++seen;
    }
  });
  while (id == 0) std::this_thread::yield();
  EXPECT_FALSE(platform::PostThreadMessage(id, 0x8000, 0, 0));
  posted = true;
  while (!ready) std::this_thread::yield();
  EXPECT_TRUE(platform::PostThreadMessage(id, 0x8000, 5, -6));
  EXPECT_TRUE(platform::PostThreadMessage(id, 0x8001, 5, -6));
  EXPECT_TRUE(platform::PostThreadMessage(id, platform::kQuitMessage, 0, 0));
  worker.join();
  EXPECT_EQ(seen, 2);
  // The queue goes with its thread.
  EXPECT_FALSE(platform::PostThreadMessage(id, 0x8000, 0, 0));
}

TEST(ThreadMessages, PeekCanLeaveTheMessageAndWaitTimesOut) {
  sThreadMessage message;
  while (platform::PeekThreadMessage(message, true)) {
  }
  ASSERT_TRUE(platform::PostThreadMessage(platform::CurrentThreadId(), 0x8000, 1, 2));
  EXPECT_TRUE(platform::PeekThreadMessage(message, false));
  EXPECT_TRUE(platform::PeekThreadMessage(message, true));
  EXPECT_EQ(message.wParam, 1u);
  EXPECT_FALSE(platform::PeekThreadMessage(message, true));
  EXPECT_FALSE(platform::WaitThreadMessage(5));
}

TEST(ThreadMessages, CloseRequestReachesTheMainThreadFromAnyThread) {
  platform::ResetCloseRequest();
  platform::BecomeMainThread();
  std::thread([] { platform::RequestClose(); }).join();
  sThreadMessage message;
  ASSERT_TRUE(platform::PeekThreadMessage(message, true));
  EXPECT_EQ(message.message, platform::kCloseMessage);
  EXPECT_TRUE(platform::IsCloseRequested());
  platform::LeaveMainThread();
  platform::ResetCloseRequest();
  // Without a main thread a request is not carried and fails.
  EXPECT_FALSE(platform::RunOnMainThread([] {}));
}

// The main thread's idle wait ends when another thread hands a frame over, posts to it or
// asks it for a request, not at its bound; with none of them it ends at its bound.
TEST(ThreadMessages, TheMainThreadsIdleWaitEndsOnAFrameAMessageOrARequest) {
  platform::BecomeMainThread();
  const std::uint32_t mainId = platform::MainThreadId();
  const std::uint8_t pixels[4] = {};
  auto frame = [&] {
    platform::SubmitFrame(pixels, 4, 1, 1, platform::eFrameFormat::X8R8G8B8, nullptr);
  };
  auto post = [&] { platform::PostThreadMessage(mainId, 0x8000, 0, 0); };
  auto request = [] { platform::RunOnMainThread([] {}); };
  const std::function<void()> wakers[] = {frame, post, request};
  for (const auto& wake : wakers) {
    sThreadMessage message;
    platform::sWindowEvent event;
    while (platform::PollWindowEvent(event) || platform::PeekThreadMessage(message, true) ||
           platform::PresentPendingFrame()) {
    }
    std::thread other([&] {
      platform::SleepMs(30);
      wake();
    });
    const std::uint64_t start = platform::MonotonicMs();
    platform::WaitMainThread(60000);
    EXPECT_LT(platform::MonotonicMs() - start, 30000u);
    platform::ServeRequests();
    other.join();
  }
  platform::WaitMainThread(10);  // nothing comes: the bound ends it
  sThreadMessage message;
  while (platform::PeekThreadMessage(message, true) || platform::PresentPendingFrame()) {
  }
  platform::LeaveMainThread();
}
