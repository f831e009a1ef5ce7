#include "foundation/timer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

std::uint64_t g_now = 0;
std::uint64_t FakeNow() { return g_now; }
bool g_direct3D = true;
std::vector<std::string> g_drawn;

class TimerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_now = 0;
    g_direct3D = true;
    g_drawn.clear();
    SetTimerClock(&FakeNow);
    ResetTimers();
    sFrameWaitHooks hooks;
    hooks.isDirect3D = [] { return g_direct3D; };
    hooks.drawText = [](DDSURFACEDATA*, int x, int y, const char* text) {
      EXPECT_EQ(x, 0);
      EXPECT_EQ(y, 16);
      g_drawn.push_back(text);
    };
    SetFrameWaitHooks(hooks);
  }
  void TearDown() override {
    SetTimerClock(nullptr);
    SetFrameWaitHooks(sFrameWaitHooks());
    ResetTimers();
  }
};

DDSURFACEDATA* const kFont = reinterpret_cast<DDSURFACEDATA*>(0x1000);

}  // namespace

TEST_F(TimerTest, StopwatchAndCallCounter) {
  g_now = 100;
  EXPECT_EQ(TimerStart(), 100u);
  g_now = 130;
  EXPECT_EQ(TimerElapsedCached(0), 1u);
  EXPECT_EQ(TimerElapsed(1), 30u);
  g_now = 135;
  EXPECT_EQ(TimerElapsedCached(1), 5u);
  g_now = 200;
  EXPECT_EQ(TimerElapsedCached(0), 5u);

  // Values are the low 32 bits of the clock, and differences survive their wrap.
  g_now = 0xFFFFFFF0ull;
  TimerRestart();
  g_now = 0x100000010ull;
  EXPECT_EQ(TimeGetTime(), 0x10u);
  EXPECT_EQ(TimerElapsed(0), 0x20u);

  CountEvery(0, 60);
  std::vector<int> fired;
  for (int call = 1; call <= 120; ++call)
    if (CountEvery(1, 60)) {
      fired.push_back(call);
      EXPECT_EQ(CountEvery(2, 60), 1);
    } else {
      EXPECT_EQ(CountEvery(2, 60), 0);
    }
  EXPECT_EQ(fired, (std::vector<int>{60, 120}));
}

TEST_F(TimerTest, FramesPerSecondOverWholeSeconds) {
  // One frame every 16 ms from 0: the call that closes a second is counted in neither second.
  for (g_now = 0; g_now <= 3100; g_now += 16) {
    unsigned value = CountFps(1);
    unsigned expected = g_now < 1008 ? 0 : g_now < 2016 ? 63 : 62;
    ASSERT_EQ(value, expected) << g_now;
    ASSERT_EQ(CountFps(0), expected);
  }
}

TEST_F(TimerTest, WaitRateHoldsFramesApart) {
  g_now = 500;
  EXPECT_TRUE(WaitRate(60));
  std::vector<std::uint64_t> released;
  for (g_now = 501; g_now <= 560; ++g_now)
    if (WaitRate(60)) released.push_back(g_now);
  EXPECT_EQ(released, (std::vector<std::uint64_t>{516, 532, 548}));
  EXPECT_TRUE(WaitRate(0));
}

TEST_F(TimerTest, FrameWaitReleasesWithoutDriftWithinAPacingSecond) {
  std::vector<std::uint64_t> released;
  for (g_now = 1000; g_now <= 2010; ++g_now)
    if (FrameWait(60, 0, nullptr)) released.push_back(g_now);
  ASSERT_EQ(released.size(), 62u);
  for (int k = 0; k < 60; ++k)
    EXPECT_EQ(released[k], static_cast<std::uint64_t>(std::ceil(1000 + k * 1000.0 / 60))) << k;
  // Frame 59 starts the next pacing second at its own time; its frame 0 goes at once.
  EXPECT_EQ(released[59], 1984u);
  EXPECT_EQ(released[60], 1985u);
  EXPECT_EQ(released[61], 2001u);
  EXPECT_TRUE(g_drawn.empty());
}

// A frame held up (a stage loading, a dialog) makes up at most one frame: the game does not
// run the frames it missed all at once, and the measured rate never passes the target.
TEST_F(TimerTest, AHeldFrameIsNotFollowedByABurstOfFrames) {
  for (std::uint64_t stall : {20u, 500u, 2500u}) {
    SCOPED_TRACE(stall);
    ResetTimers();
    std::vector<std::uint64_t> released;
    unsigned highest = 0;
    bool stalled = false;
    for (g_now = 1000; g_now <= 5000; ++g_now) {
      if (!FrameWait(60, 0, nullptr)) continue;
      released.push_back(g_now);
      highest = std::max(highest, CountFps(1));
      if (!stalled && g_now >= 1500) {
        stalled = true;
        g_now += stall;
      }
    }
    EXPECT_LE(highest, 61u);
    for (std::size_t i = 2; i < released.size(); ++i)
      EXPECT_GE(released[i] - released[i - 2], 16u) << "frames " << i - 2 << " and " << i;
  }
}

TEST_F(TimerTest, FrameWaitLetsEverythingGoOutsideDirect3DOrAtZeroRate) {
  g_now = 10;
  EXPECT_TRUE(FrameWait(0, 1, kFont));
  g_direct3D = false;
  EXPECT_TRUE(FrameWait(60, 1, kFont));
  EXPECT_TRUE(FrameWait(60, 1, kFont));
  EXPECT_TRUE(g_drawn.empty());
}

TEST_F(TimerTest, FrameWaitTakesOneSamplePerShownFrame) {
  g_now = 1000;
  TimerRestart();
  g_now = 1005;
  TimerElapsedCached(1);  // 5 ms of frame work
  int shown = 0;
  for (g_now = 1005; shown < 16; ++g_now)
    if (FrameWait(60, 1, kFont)) ++shown;
  ASSERT_EQ(g_drawn.size(), 16u);
  // Averages change only when 16 samples of shown frames are in, whatever the calls between.
  EXPECT_EQ(g_drawn[14], "FPS-Ave 0(0)\ndwTime_OneSec 1005\nnFrameCt_OneSec 15");
  EXPECT_EQ(g_drawn[15], "FPS-Ave 0(5)\ndwTime_OneSec 1005\nnFrameCt_OneSec 16");
}
