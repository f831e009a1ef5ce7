#include "play/input.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/input.h"
#include "tests/support/scoped_value.h"
#include "tests/support/temp_folder.h"

namespace {

// Keys up, no joystick, and the key configuration restored when the test ends.
class cInputGuard {
 public:
  cInputGuard() : m_saved(g_KeyConfig) { Clear(); }
  ~cInputGuard() {
    Clear();
    g_KeyConfig = m_saved;
  }

 private:
  static void Clear() {
    platform::ReleaseAllKeys();
    platform::WithdrawAllJoysticks();
  }
  cKeyConfig m_saved;
};

platform::sJoystickState Stick(std::uint32_t x, std::uint32_t y, std::uint32_t buttons = 0) {
  platform::sJoystickState s;
  s.dwXpos = x;
  s.dwYpos = y;
  s.dwButtons = buttons;
  return s;
}

cInputState Fresh() {
  cInputState r;
  r.SetDefaultJoyButtons();
  r.SetKeyRepeat(18, 6);
  return r;
}

TEST(InputState, StartsWithEmptyRingsAndHistoriesOfThirtyTwoRuns) {
  cInputState r;
  ASSERT_EQ(r.m_DirHistories.size(), 10u);
  ASSERT_EQ(r.m_ButtonHistories.size(), 9u);
  for (const auto& h : r.m_DirHistories) EXPECT_EQ(h, cVector<sInputRun>(32));
  for (const auto& h : r.m_ButtonHistories) EXPECT_EQ(h, cVector<sInputRun>(32));
  EXPECT_EQ(r.m_nDirection, 0);
  EXPECT_EQ(r.GetPast(0, 0), 0);
  EXPECT_EQ(r.GetPast(1, 100), 0);
}

// A scripted sequence of button words through the rings and histories.
TEST(InputState, HistoriesFollowAScriptedSequence) {
  cInputState r = Fresh();
  r.Reset();
  const std::vector<std::int16_t> buttons = {0, 1, 1, 1, 3, 0, 0};
  for (std::int16_t b : buttons) {
    r.m_wButton = b;
    r.m_wDirection = KEY_LEFT | KEY_UP;  // up-left throughout
    r.RecordRing();
    r.UpdateHistories();
  }
  // Button 1 (bit test): off 1 frame, on 4 frames (1, 1, 1, 3), off 2 frames.
  const auto& b1 = r.m_ButtonHistories[1];
  ASSERT_EQ(b1.size(), 32u);
  EXPECT_EQ(b1[0], (sInputRun{0, 2}));
  EXPECT_EQ(b1[1], (sInputRun{1, 4}));
  EXPECT_EQ(b1[2], (sInputRun{0, 1}));  // the first {0, 0} run counted the first frame
  EXPECT_EQ(b1[3], (sInputRun{0, 0}));
  // Button 2 held in one frame only.
  EXPECT_EQ(r.m_ButtonHistories[2][1], (sInputRun{1, 1}));
  // No button (equality test).
  EXPECT_EQ(r.m_ButtonHistories[0][0], (sInputRun{1, 2}));
  // Direction tests: up-left (index 5) on all frames, left only (index 1) never.
  EXPECT_EQ(r.m_DirHistories[5][0], (sInputRun{1, 7}));
  EXPECT_EQ(r.m_DirHistories[5][1], (sInputRun{0, 0}));
  EXPECT_EQ(r.m_DirHistories[1][0], (sInputRun{0, 7}));
  EXPECT_EQ(r.m_DirHistories[9][0], (sInputRun{1, 7}));

  // GetPast walks back through the runs of the ring.
  const std::vector<std::int16_t> expected = {0, 0, 3, 1, 1, 1, 0, 0, 0};
  for (int n = 0; n < static_cast<int>(expected.size()); ++n)
    EXPECT_EQ(r.GetPast(1, n), expected[static_cast<std::size_t>(n)]) << "frames ago " << n;

  // The first held frame of a fresh history inserts {1, 1}; the length stays 32.
  cVector<sInputRun> h(32);
  cInputState::UpdateHistory(h, 4, 4, 1);
  EXPECT_EQ(h[0], (sInputRun{1, 1}));
  EXPECT_EQ(h.size(), 32u);
}

TEST(InputState, RunsSaturateAndTheRingWraps) {
  cInputState r = Fresh();
  r.Reset();
  // 40 alternating words: the ring of 32 has wrapped.
  for (int f = 0; f < 40; ++f) {
    r.m_wButton = static_cast<std::int16_t>(f % 2 ? 2 : 1);
    r.RecordRing();
  }
  EXPECT_EQ(r.m_nButtonRingHead, 40 % 32);
  EXPECT_EQ(r.GetPast(1, 0), 2);
  EXPECT_EQ(r.GetPast(1, 1), 1);
  EXPECT_EQ(r.GetPast(1, 31), 1);
  // Beyond the 32 runs kept, the walk has gone round the ring once and ends where it began.
  EXPECT_EQ(r.GetPast(1, 200), 2);

  r.m_ButtonRing[r.m_nButtonRingHead].nFrames = 2147483647;
  r.RecordRing();
  EXPECT_EQ(r.m_ButtonRing[r.m_nButtonRingHead].nFrames, 2147483647);
  cVector<sInputRun> h(32);
  h[0] = {1, 2147483647};
  cInputState::UpdateHistory(h, 1, 1, 1);
  EXPECT_EQ(h[0].nFrames, 2147483647);
}

TEST(InputFilters, AHeldDirectionRepeatsAfterTheDelayThenEveryInterval) {
  cInputState r = Fresh();
  std::vector<int> reported;
  for (int f = 0; f < 60; ++f) {
    r.m_wDirection = KEY_DOWN;
    ApplyKeyRepeat(r);
    if (r.m_wDirection) reported.push_back(f);
  }
  EXPECT_EQ(reported, (std::vector<int>{0, 18, 24, 30, 36, 42, 48, 54}));

  // Frame 60 repeats; in frame 61 left joins: reported at once, while down keeps its count.
  r.m_wDirection = KEY_DOWN;
  ApplyKeyRepeat(r);
  EXPECT_EQ(r.m_wDirection, KEY_DOWN);
  r.m_wDirection = KEY_DOWN | KEY_LEFT;
  ApplyKeyRepeat(r);
  EXPECT_EQ(r.m_wDirection, KEY_LEFT);
}

TEST(InputFilters, LatchReportsEachPressOnce) {
  cInputState r = Fresh();
  struct sStep {
    std::int16_t held;
    std::int16_t reported;
  };
  // Button 2 pressed and held, button 1 added and both held, both released, button 1 again.
  const std::vector<sStep> steps = {{2, 2}, {2, 0}, {3, 0}, {1, 0}, {0, 0}, {1, 1}, {1, 0}};
  for (std::size_t i = 0; i < steps.size(); ++i) {
    r.m_wButton = steps[i].held;
    LatchButtons(r, 0);
    EXPECT_EQ(r.m_wButton, steps[i].reported) << "frame " << i;
  }
  // Two buttons pressed in the same frame are reported together; buttons outside the mask pass.
  cInputState s = Fresh();
  s.m_wButton = 3;
  LatchButtons(s, 0);
  EXPECT_EQ(s.m_wButton, 3);
  s.m_wButton = 3 | 8;
  LatchButtons(s, 3);
  EXPECT_EQ(s.m_wButton, 8);
}

TEST(InputPoll, DefaultLayoutJoystickBeatsKeysButKeyButtonsStillCount) {
  cInputGuard guard;
  SetDefaultKeyConfig(g_KeyConfig);
  cInputState r = Fresh();

  platform::PublishJoystick(0, Stick(0, 32768));  // held left
  platform::SetKeyDown(platform::VK_RIGHT, true);
  platform::SetKeyDown('X', true);
  EXPECT_EQ(r.PollDefaultKeys(0, 3, 60), 1);
  EXPECT_EQ(r.m_wDirection, KEY_LEFT);
  EXPECT_EQ(r.m_nDirection, 4);
  EXPECT_EQ(r.m_wButton, KEY_BUTTON2);

  // A joystick button wins over the keys' buttons.
  platform::PublishJoystick(0, Stick(32768, 65535, 1u << 2));
  EXPECT_EQ(r.PollDefaultKeys(0, 3, 60), 1);
  EXPECT_EQ(r.m_wDirection, KEY_DOWN);
  EXPECT_EQ(r.m_nDirection, 8);
  EXPECT_EQ(r.m_wButton, KEY_BUTTON3);

  // Stick centred: the keys give the direction; left and right together give both bits, 5.
  platform::PublishJoystick(0, Stick(32768, 32768));
  platform::SetKeyDown(platform::VK_LEFT, true);
  platform::SetKeyDown(platform::VK_UP, true);
  r.PollDefaultKeys(0, 3, 60);
  EXPECT_EQ(r.m_wDirection, KEY_LEFT | KEY_RIGHT | KEY_UP);
  EXPECT_EQ(r.m_nDirection, 2);

  // With the bindings asked for, the fixed layout reads nothing.
  g_KeyConfig.m_bUseBinds = 1;
  r.m_wButton = 0x55;
  EXPECT_EQ(r.PollDefaultKeys(0, 3, 60), 0);
  EXPECT_EQ(r.m_wButton, 0x55);
}

// A key pressed and let go again between two polls counts as down in the next poll only, with
// the fixed layout and with bindings; a held key's repeated presses do not outlast it.
TEST(InputPoll, APressShorterThanAFrameCountsInOnePoll) {
  for (int binds : {0, 1}) {
    SCOPED_TRACE(binds ? "bindings" : "fixed layout");
    cInputGuard guard;
    SetDefaultKeyConfig(g_KeyConfig);
    g_KeyConfig.m_bUseBinds = binds;
    cInputState r = Fresh();
    const auto poll = [&] { binds ? r.PollKeyConfig(1, 60) : r.PollDefaultKeys(0, 3, 60); };
    poll();
    platform::SetKeyDown(platform::VK_UP, true);
    platform::SetKeyDown(platform::VK_UP, false);
    platform::SetKeyDown('Z', true);
    platform::SetKeyDown('Z', false);
    poll();
    EXPECT_EQ(r.m_wDirection, KEY_UP);
    EXPECT_EQ(r.m_wButton, KEY_BUTTON1);
    poll();
    EXPECT_EQ(r.m_wDirection, 0);
    EXPECT_EQ(r.m_wButton, 0);
    // Held over a poll, with the window's repeated key-down events, then let go.
    platform::SetKeyDown(platform::VK_LEFT, true);
    poll();
    platform::SetKeyDown(platform::VK_LEFT, true);
    platform::SetKeyDown(platform::VK_LEFT, false);
    poll();
    EXPECT_EQ(r.m_wDirection, 0);
    // A press before the focus was lost is gone with it.
    platform::SetKeyDown('X', true);
    platform::ReleaseAllKeys();
    poll();
    EXPECT_EQ(r.m_wButton, 0);
  }
}

TEST(InputPoll, AMissingJoystickIsRetriedAfterTwiceTheCountOfPolls) {
  cInputGuard guard;
  SetDefaultKeyConfig(g_KeyConfig);
  cInputState r = Fresh();
  platform::SetKeyDown('Z', true);
  r.PollDefaultKeys(0, 3, 2);  // fails: 4 polls before the next try
  EXPECT_EQ(r.m_bJoyOk, 0);
  EXPECT_EQ(r.m_nJoyRetry, 4);
  EXPECT_EQ(r.m_wButton, KEY_BUTTON1);
  platform::PublishJoystick(0, Stick(32768, 32768, 1));
  platform::SetKeyDown('Z', false);
  for (int i = 0; i < 4; ++i) r.PollDefaultKeys(0, 3, 2);
  EXPECT_EQ(r.m_bJoyOk, 0);
  r.PollDefaultKeys(0, 3, 2);
  EXPECT_EQ(r.m_bJoyOk, 1);
  EXPECT_EQ(r.m_wButton, KEY_BUTTON1);
}

TEST(InputPoll, StickThresholds) {
  struct sCase {
    std::uint32_t x, y;
    std::int16_t word;
  };
  const std::vector<sCase> cases = {
      {10000, 32768, KEY_LEFT}, {10001, 32768, 0},       {55535, 32768, KEY_RIGHT},
      {55534, 32768, 0},        {32768, 10000, KEY_UP},  {32768, 10001, 0},
      {32768, 55535, KEY_DOWN}, {32768, 55534, 0},       {0, 65535, KEY_LEFT | KEY_DOWN}};
  cInputGuard guard;
  SetDefaultKeyConfig(g_KeyConfig);
  for (const sCase& c : cases) {
    cInputState r = Fresh();
    platform::PublishJoystick(0, Stick(c.x, c.y));
    r.PollDefaultKeys(0, 1, 60);
    EXPECT_EQ(r.m_wDirection, c.word) << c.x << "," << c.y;
    sJoyInfo info{c.x, c.y, 0};
    EXPECT_EQ(IsJoyAxisPushed(info, JOY_STICK_LEFT) * KEY_LEFT +
                  IsJoyAxisPushed(info, JOY_STICK_RIGHT) * KEY_RIGHT +
                  IsJoyAxisPushed(info, JOY_STICK_UP) * KEY_UP +
                  IsJoyAxisPushed(info, JOY_STICK_DOWN) * KEY_DOWN,
              c.word);
  }
  EXPECT_EQ(IsJoyAxisPushed(sJoyInfo{0, 0, 0}, 0x10000 | JOY_STICK_LEFT), 1);  // low 16 bits
  EXPECT_EQ(IsJoyAxisPushed(sJoyInfo{0, 0, 0}, 4096), 0);
}

TEST(InputPoll, BindingsLeftBeatsRightAndJoysticksAreBoundedByTheirCount) {
  cInputGuard guard;
  SetDefaultKeyConfig(g_KeyConfig);
  g_KeyConfig.m_bUseBinds = 1;
  g_KeyConfig.m_nJoyCount = 2;
  g_KeyConfig.m_Binds[2] = {1, JOY_STICK_UP, 0};  // up: joystick 1's stick
  g_KeyConfig.m_Binds[4] = {0, 0x30, 0};          // button 1: joystick 0, buttons 4 or 5
  g_KeyConfig.m_Binds[5] = {5, 1, 0};             // button 2: joystick 5, beyond the count
  g_KeyConfig.m_Binds[6] = {-3, 1, 0};            // button 3: no such device
  cInputState r = Fresh();
  platform::PublishJoystick(0, Stick(32768, 32768, 0x20));
  platform::PublishJoystick(1, Stick(32768, 0));
  platform::PublishJoystick(5, Stick(32768, 32768, 1));
  platform::SetKeyDown(platform::VK_LEFT, true);
  platform::SetKeyDown(platform::VK_RIGHT, true);
  platform::SetKeyDown('V', true);
  EXPECT_EQ(r.PollKeyConfig(1, 60), 1);
  EXPECT_EQ(r.m_wDirection, KEY_LEFT | KEY_UP);
  EXPECT_EQ(r.m_nDirection, 1);
  EXPECT_EQ(r.m_wButton, KEY_BUTTON1 | KEY_BUTTON4);

  // Hostile counts: the 8 joysticks and 12 bindings that exist are read, nothing beyond.
  for (int k = 2; k < 8; ++k) platform::PublishJoystick(k, Stick(32768, 32768, k == 5 ? 1 : 0));
  g_KeyConfig.m_nBindCount = 1000;
  g_KeyConfig.m_nJoyCount = 1000;
  r.PollKeyConfig(1, 60);
  EXPECT_EQ(r.m_wButton, KEY_BUTTON1 | KEY_BUTTON2 | KEY_BUTTON4);
  g_KeyConfig.m_nBindCount = -5;
  g_KeyConfig.m_nJoyCount = -5;
  r.PollKeyConfig(1, 60);
  EXPECT_EQ(r.m_wButton, 0);
  EXPECT_EQ(r.m_wDirection, KEY_LEFT);
  // A binding count of 5 gives button 1 only.
  g_KeyConfig.m_nBindCount = 5;
  g_KeyConfig.m_nJoyCount = 1;
  r.PollKeyConfig(1, 60);
  EXPECT_EQ(r.m_wButton, KEY_BUTTON1);

  // Without the bindings flag nothing is read.
  g_KeyConfig.m_bUseBinds = 0;
  EXPECT_EQ(r.PollKeyConfig(1, 60), 0);
}

TEST(InputPoll, AFailedJoystickSkipsTheJoysticksAfterItInThatPoll) {
  cInputGuard guard;
  SetDefaultKeyConfig(g_KeyConfig);
  g_KeyConfig.m_bUseBinds = 1;
  g_KeyConfig.m_nJoyCount = 2;
  g_KeyConfig.m_Binds[4] = {1, 1, 0};
  platform::PublishJoystick(1, Stick(32768, 32768, 1));  // joystick 0 is missing
  cInputState r = Fresh();
  r.PollKeyConfig(1, 60);
  EXPECT_EQ(r.m_wButton, 0);
  EXPECT_EQ(r.m_nJoyRetry, 119);
}

TEST(KeyConfig, FileFullShortMissing) {
  cTempFolder folder;
  cKeyConfig config;
  SetDefaultKeyConfig(config);
  EXPECT_EQ(LoadKeyConfig("user_data\\KeyConfig.dat", config), 0);
  EXPECT_EQ(config.m_nBindCount, 12);
  EXPECT_EQ(config.m_Binds[4].nCode, 'Z');

  cBytes full;
  for (int i = 0; i < 12; ++i) full.I32(i % 9).I16(static_cast<std::int16_t>(100 + i)).I16(0);
  full.I32(7).I32(3).I32(1);
  ASSERT_EQ(full.data.size(), 108u);
  std::vector<std::uint8_t> longer = full.data;
  longer.resize(500, 0xEE);
  WriteBytes("KeyConfig.dat", longer);
  ASSERT_EQ(LoadKeyConfig("KeyConfig.dat", config), 1);
  EXPECT_EQ(config.m_Binds[11].nDevice, 2);
  EXPECT_EQ(config.m_Binds[11].nCode, 111);
  EXPECT_EQ(config.m_nBindCount, 7);
  EXPECT_EQ(config.m_nJoyCount, 3);
  EXPECT_EQ(config.m_bUseBinds, 1);

  // A short file fills only its own bytes.
  SetDefaultKeyConfig(config);
  WriteBytes("KeyConfig.dat", std::vector<std::uint8_t>(full.data.begin(), full.data.begin() + 10));
  ASSERT_EQ(LoadKeyConfig("KeyConfig.dat", config), 1);
  EXPECT_EQ(config.m_Binds[0].nDevice, 0);
  EXPECT_EQ(config.m_Binds[0].nCode, 100);
  EXPECT_EQ(config.m_Binds[1].nCode, platform::VK_RIGHT);
  EXPECT_EQ(config.m_nBindCount, 12);
  EXPECT_EQ(config.m_bUseBinds, 0);
}

TEST(InputRecords, FrameInputPollsRecordZeroAndOtherNumbersReadIt) {
  cInputGuard guard;
  cScopedGlobal records(g_Inputs);
  InitInputs(1);
  SetDefaultKeyConfig(g_KeyConfig);
  cVector<cInputState> inputs(1);
  inputs[0] = Fresh();
  platform::SetKeyDown('F', true);
  PollFrameInput(inputs);
  EXPECT_EQ(inputs[0].m_wButton, KEY_BUTTON8);
  g_KeyConfig.m_bUseBinds = 1;
  platform::SetKeyDown('F', false);
  platform::SetKeyDown('A', true);
  PollFrameInput(inputs);
  EXPECT_EQ(inputs[0].m_wButton, KEY_BUTTON5);

  ASSERT_EQ(g_Inputs.size(), 1u);
  EXPECT_EQ(&GetInput(3), &g_Inputs[0]);
  EXPECT_EQ(&GetInput(-1), &g_Inputs[0]);

  cInputState copy;
  copy.Copy(inputs[0]);
  EXPECT_EQ(copy.m_wButton, KEY_BUTTON5);
  EXPECT_EQ(GetDirection(copy), 5);
  copy.m_wDirection = KEY_LEFT | KEY_RIGHT | KEY_UP | KEY_DOWN;
  EXPECT_EQ(GetDirection(copy), 1);
  copy.Reset();
  EXPECT_EQ(copy.m_nDirection, 5);
  EXPECT_EQ(copy.m_wDirection, 0);
  EXPECT_EQ(copy.m_wButton, 0);
}

}  // namespace
