#include "media/present.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "foundation/report.h"
#include "foundation/timer.h"
#include "media/blit.h"
#include "media/device.h"
#include "platform/video.h"
#include "tests/support/temp_folder.h"

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

// The colour of the frame the window shows now (its first pixel).
std::uint32_t ShownColour() {
  std::vector<std::uint32_t> shown;
  int w = 0, h = 0;
  if (!platform::LastPresentedFrame(shown, w, h)) return 0xFFFFFFFF;
  return shown[0];
}

// Frame k of a run is drawn in colour k, paced by the game's clock, and handed over.
void MakeFrame(std::uint32_t k) {
  DDClearColor(&BackBuffer, 0xFF000000u | k);
  ASSERT_EQ(DDPresent(60, 0, nullptr), 1);
}

// The main thread keeps to its own turns, sometimes two frames behind the game: every frame is
// still shown once, in the order it was made.
TEST(Present, EveryFrameIsShownOnceInOrder) {
  cFakeTimeScope time;
  ASSERT_TRUE(DDInit(1, nullptr, 64, 48, 32, 0, 1, 1, 60, 0, nullptr, nullptr, 0));
  while (platform::PresentPendingFrame()) {
  }
  std::vector<std::uint32_t> shown;
  const int bursts[] = {1, 2, 2, 1, 0, 3, 1, 0, 0, 2};
  std::uint32_t made = 0;
  for (int burst : bursts) {
    for (int i = 0; i < burst; ++i) MakeFrame(++made);
    // One present per turn of the main loop; whatever waits is shown on the next turns.
    if (platform::PresentPendingFrame()) shown.push_back(ShownColour());
  }
  while (platform::PresentPendingFrame()) shown.push_back(ShownColour());
  std::vector<std::uint32_t> expected;
  for (std::uint32_t k = 1; k <= made; ++k) expected.push_back(k);
  EXPECT_EQ(shown, expected);
  DDRelease();
}

// A main thread that cannot keep up loses the oldest frames, never the newest, and the report
// log says so once.
TEST(Present, AMainThreadTooFarBehindDropsTheOldestAndSaysSoOnce) {
  cTempFolder folder;
  ASSERT_TRUE(ReportOpen("Report_Game.txt"));
  cFakeTimeScope time;
  ASSERT_TRUE(DDInit(1, nullptr, 64, 48, 32, 0, 1, 1, 60, 0, nullptr, nullptr, 0));
  while (platform::PresentPendingFrame()) {
  }
  const std::uint32_t total = platform::kFrameQueueLength + 3;
  for (std::uint32_t k = 1; k <= total; ++k) MakeFrame(k);
  std::vector<std::uint32_t> shown;
  while (platform::PresentPendingFrame()) shown.push_back(ShownColour());
  std::vector<std::uint32_t> expected;
  for (std::uint32_t k = total - platform::kFrameQueueLength + 1; k <= total; ++k)
    expected.push_back(k);
  EXPECT_EQ(shown, expected);
  for (std::uint32_t k = 1; k <= total; ++k) MakeFrame(k);
  const std::string log = ReadText("Report_Game.txt");
  const std::string line = "presentation cannot keep up";
  const std::size_t first = log.find(line);
  EXPECT_NE(first, std::string::npos);
  EXPECT_EQ(log.find(line, first + 1), std::string::npos);
  while (platform::PresentPendingFrame()) {
  }
  DDRelease();
}

}  // namespace
