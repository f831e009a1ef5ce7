#include "platform/input.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/video.h"

namespace {

struct sKeysUp {
  sKeysUp() { Clear(); }
  ~sKeysUp() { Clear(); }
  static void Clear() {
    platform::ReleaseAllKeys();
    platform::WithdrawAllJoysticks();
  }
};

TEST(PlatformInput, PhysicalKeysGiveTheirVirtualKeyCodes) {
  // USB HID usages of the keys the game and its key configurations name.
  struct sCase {
    int scancode;
    int vk;
  };
  const std::vector<sCase> cases = {
      {4, 'A'},   {29, 'Z'},  {30, '1'},  {39, '0'},  {44, 0x20}, {40, 0x0D}, {41, 0x1B},
      {58, 0x70}, {59, 0x71}, {60, 0x72}, {69, 0x7B}, {79, 0x27}, {80, 0x25}, {81, 0x28},
      {82, 0x26}, {89, 0x61}, {98, 0x60}, {88, 0x0D}, {225, 0xA0}, {229, 0xA1}, {224, 0xA2},
      {137, 0xDC}, {135, 0xE2}, {0, 0},    {1000, 0}};
  for (const sCase& c : cases)
    EXPECT_EQ(platform::VirtualKeyFromScancode(c.scancode), c.vk) << c.scancode;
}

TEST(PlatformInput, KeysAreSharedAcrossThreadsAndReleasedTogether) {
  sKeysUp guard;
  std::thread feeder([] {
    platform::SetKeyDown('Z', true);
    platform::SetKeyDown(platform::VK_RSHIFT, true);
  });
  feeder.join();
  EXPECT_TRUE(platform::IsKeyDown('Z'));
  EXPECT_TRUE(platform::IsKeyDown(platform::VK_SHIFT));  // either shift key
  EXPECT_FALSE(platform::IsKeyDown(platform::VK_CONTROL));
  EXPECT_FALSE(platform::IsKeyDown(-1));
  EXPECT_FALSE(platform::IsKeyDown(256));
  platform::SetKeyDown(300, true);  // outside the table: ignored
  platform::ReleaseAllKeys();        // as when the window loses the focus
  EXPECT_FALSE(platform::IsKeyDown('Z'));
  EXPECT_FALSE(platform::IsKeyDown(platform::VK_SHIFT));
}

TEST(PlatformInput, JoysticksReadAsTheSystemReportsThem) {
  sKeysUp guard;
  EXPECT_EQ(platform::ScaleJoystickAxis(-32768), 0u);
  EXPECT_EQ(platform::ScaleJoystickAxis(0), 32768u);
  EXPECT_EQ(platform::ScaleJoystickAxis(32767), 65535u);

  platform::sJoystickState state;
  EXPECT_FALSE(platform::ReadJoystick(0, state));
  platform::sJoystickState published;
  published.dwXpos = 1;
  published.dwButtons = 6;
  platform::PublishJoystick(7, published);
  ASSERT_TRUE(platform::ReadJoystick(7, state));
  EXPECT_EQ(state.dwXpos, 1u);
  EXPECT_EQ(state.dwButtons, 6u);
  EXPECT_FALSE(platform::ReadJoystick(8, state));
  EXPECT_FALSE(platform::ReadJoystick(-1, state));
  platform::WithdrawJoystick(7);
  EXPECT_FALSE(platform::ReadJoystick(7, state));
}

TEST(PlatformInput, TheWindowPumpFeedsTheKeyTableAndStopsTheDevices) {
  sKeysUp guard;
  platform::sVideoMode mode;
  ASSERT_TRUE(platform::OpenVideo(mode));
  platform::PumpVideoEvents();
  platform::SimulateKeyEvent(29, true);  // Z
  platform::SimulateKeyEvent(80, true);  // left arrow
  platform::SimulateKeyEvent(80, false);
  platform::PumpVideoEvents();
  EXPECT_TRUE(platform::IsKeyDown('Z'));
  EXPECT_FALSE(platform::IsKeyDown(platform::VK_LEFT));
  platform::SimulateFocusLoss();
  platform::PumpVideoEvents();
  EXPECT_FALSE(platform::IsKeyDown('Z'));
  platform::sJoystickState state;
  EXPECT_FALSE(platform::ReadJoystick(0, state));  // no joystick on the test machine
  platform::CloseVideo();
  platform::PumpVideoEvents();  // nothing to pump once closed
}

}  // namespace
