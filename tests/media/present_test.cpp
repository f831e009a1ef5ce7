#include "media/present.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "foundation/timer.h"
#include "media/device.h"
#include "platform/video.h"

namespace {

std::uint64_t g_now = 0;

// The timers on a clock the test owns: sleeping moves it on, and nothing waits for real time.
class cFakeTimeScope {
 public:
  cFakeTimeScope() {
    g_now = 1000;
    SetTimerClock([] { return g_now; });
    SetTimerSleep([](std::uint32_t ms) { g_now += ms == 0 ? 1 : ms; });
    ResetTimers();
  }
  ~cFakeTimeScope() {
    SetTimerClock(nullptr);
    SetTimerSleep(nullptr);
    ResetTimers();
  }
};

class cVSyncScope {
 public:
  explicit cVSyncScope(int on) : m_nWas(g_bVSync) { g_bVSync = on; }
  ~cVSyncScope() { g_bVSync = m_nWas; }

 private:
  int m_nWas;
};

// Vertical sync changes only when a frame is shown: ten frames at 60 fps take the same
// 150 ms of the game thread's time either way, one frame every 16 or 17 ms, each handed over.
TEST(Present, TheGameRunsAtItsRateWithVerticalSyncOnAndOff) {
  for (int vsync : {0, 1}) {
    SCOPED_TRACE(vsync);
    cFakeTimeScope time;
    ASSERT_TRUE(DDInit(1, nullptr, 64, 48, 32, 0, 1, 1, 60, 0, nullptr, nullptr, 0));
    cVSyncScope sync(vsync);
    std::vector<std::uint64_t> released;
    for (int i = 0; i < 10; ++i) {
      ASSERT_EQ(DDPresent(60, 0, nullptr), 1);
      released.push_back(g_now);
      EXPECT_TRUE(platform::PresentPendingFrame());
    }
    EXPECT_EQ(released.back() - released.front(), 150u);
    for (std::size_t i = 1; i < released.size(); ++i) {
      const std::uint64_t step = released[i] - released[i - 1];
      EXPECT_TRUE(step == 16 || step == 17) << step;
    }
    DDRelease();
  }
}

}  // namespace
