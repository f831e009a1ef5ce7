#include "platform/video.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "platform/clock.h"
#include "platform/thread_messages.h"
#include "tests/support/fresh_process.h"

namespace {

TEST(Video, SixteenBitFramesWidenByBitReplication) {
  const std::uint16_t frame565[2] = {0xF800, 0x07E0};
  std::vector<std::uint32_t> out;
  platform::ConvertFrame(frame565, 4, 2, 1, platform::eFrameFormat::R5G6B5, nullptr, out);
  EXPECT_EQ(out[0], 0xFF0000u);
  EXPECT_EQ(out[1], 0x00FF00u);
  const std::uint16_t frame555[1] = {0x0200};  // green 16 of 31
  platform::ConvertFrame(frame555, 2, 1, 1, platform::eFrameFormat::X1R5G5B5, nullptr, out);
  EXPECT_EQ(out[0], 0x008400u);
}

// Without any display the window is an invisible one: the program says so once on standard
// error, unless the invisible driver was asked for (as the tests' own headless runs do).
TEST(Video, WithoutADisplayTheProgramSaysItRunsHeadless) {
  for (const char* driver : {"", "dummy"}) {
    InFreshProcess([driver] {
      unsetenv("DISPLAY");
      unsetenv("WAYLAND_DISPLAY");
      if (*driver)
        setenv("SDL_VIDEODRIVER", driver, 1);
      else
        unsetenv("SDL_VIDEODRIVER");
      // Software drawing: no GL library is loaded and left behind.
      setenv("SDL_RENDER_DRIVER", "software", 1);
      ::testing::internal::CaptureStderr();
      std::string error;
      const bool opened = platform::OpenVideo(platform::sVideoMode(), &error);
      platform::PumpVideoEvents();
      const std::string err = ::testing::internal::GetCapturedStderr();
      ASSERT_TRUE(opened) << error;
      EXPECT_FALSE(platform::VideoHasDisplay());
      std::size_t lines = 0, pos = 0;
      while ((pos = err.find("No display found", pos)) != std::string::npos) ++lines, ++pos;
      EXPECT_EQ(lines, *driver ? 0u : 1u) << driver << ": " << err;
      // The window stays to the end of the copy, as in the test below.
    });
  }
}

// A real window: the test suite runs this one under a virtual X display.
TEST(Video, RealWindowShowsTheSubmittedFrame) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
  platform::CloseVideo();
  setenv("SDL_VIDEODRIVER", "x11", 1);
  // The software renderer reads back exactly what it drew, and loads no GL driver.
  setenv("SDL_RENDER_DRIVER", "software", 1);
  platform::sVideoMode mode;
  mode.nWidth = 64;
  mode.nHeight = 48;
  mode.strTitle = "video test";
  std::string error;
  ASSERT_TRUE(platform::OpenVideo(mode, &error)) << error;
  EXPECT_TRUE(platform::VideoHasDisplay());
  std::vector<std::uint8_t> frame(64 * 48, 0);
  for (int x = 32; x < 64; ++x)
    for (int y = 0; y < 48; ++y) frame[y * 64 + x] = 1;
  std::uint32_t palette[256] = {0x102030, 0xFF8000};
  for (int i = 0; i < 3; ++i) {  // a few turns of the main loop
    platform::SubmitFrame(frame.data(), 64, 64, 48, platform::eFrameFormat::Indexed8, palette);
    platform::PumpVideoEvents();
    ASSERT_TRUE(platform::PresentPendingFrame());
  }
  std::vector<std::uint32_t> shown;
  int w = 0, h = 0;
  ASSERT_TRUE(platform::ReadWindowPixels(shown, w, h));
  ASSERT_GE(w, 64);
  ASSERT_GE(h, 48);
  EXPECT_EQ(shown[(h / 2) * w + w / 4], 0x102030u);
  EXPECT_EQ(shown[(h / 2) * w + 3 * w / 4], 0xFF8000u);
  // The main thread idles in the window's event wait; a frame from another thread ends it.
  platform::BecomeMainThread();
  platform::sWindowEvent event;
  while (platform::PollWindowEvent(event)) {
  }
  std::thread drawing([&] {
    platform::SleepMs(30);
    platform::SubmitFrame(frame.data(), 64, 64, 48, platform::eFrameFormat::Indexed8, palette);
  });
  const std::uint64_t start = platform::MonotonicMs();
  platform::WaitMainThread(60000);
  EXPECT_LT(platform::MonotonicMs() - start, 30000u);
  drawing.join();
  EXPECT_TRUE(platform::PresentPendingFrame());
  platform::LeaveMainThread();
  // The window stays open to the end of the program: closing it unloads the X libraries,
  // whose few kept allocations the leak checker could then no longer name.
}

}  // namespace
