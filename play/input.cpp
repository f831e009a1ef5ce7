#include "play/input.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include "platform/host_file.h"
#include "platform/input.h"

cVector<cInputState> g_Inputs(1);
cKeyConfig g_KeyConfig;

namespace {

constexpr std::int32_t kStickLow = 10000;
constexpr std::int32_t kStickHigh = 55535;

// The direction tests, then the button tests: {value, bit mode}.
struct sTest {
  int value;
  int bitMode;
};
constexpr sTest kDirTests[kDirectionTests] = {{0, 0}, {1, 0}, {2, 0}, {4, 0}, {8, 0},
                                              {5, 0}, {9, 0}, {6, 0}, {10, 0}, {15, 1}};
constexpr sTest kButtonTestTable[kButtonTests] = {{0, 0},  {1, 1},  {2, 1},  {4, 1},  {8, 1},
                                                  {16, 1}, {32, 1}, {64, 1}, {128, 1}};

// Run counters stop at the largest int32 instead of wrapping.
void CountFrame(std::int32_t& frames) {
  if (frames < INT_MAX) ++frames;
}

// An int16 code or mask widened as the system's 32-bit button word is tested against it.
std::uint32_t Widen(std::int16_t code) {
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(code));
}

void ReadStick(const sJoyInfo& info, std::int32_t& number, std::int16_t& word) {
  number = 5;
  word = 0;
  if (info.dwXpos <= static_cast<std::uint32_t>(kStickLow)) {
    number = 4;
    word = KEY_LEFT;
  } else if (info.dwXpos >= static_cast<std::uint32_t>(kStickHigh)) {
    number = 6;
    word = KEY_RIGHT;
  }
  if (info.dwYpos <= static_cast<std::uint32_t>(kStickLow)) {
    number -= 3;
    word |= KEY_UP;
  } else if (info.dwYpos >= static_cast<std::uint32_t>(kStickHigh)) {
    number += 3;
    word |= KEY_DOWN;
  }
}

// A key as the frame's poll reads it: down now, or pressed and let go since the last poll (a
// press shorter than a frame counts for one frame).
bool KeyPolled(int vk) {
  const bool down = platform::IsKeyDown(vk);
  return platform::TakeKeyPress(vk) || down;
}

bool JoystickAt(int number, sJoyInfo& info) {
  platform::sJoystickState state;
  if (!platform::ReadJoystick(number, state)) return false;
  info.dwXpos = state.dwXpos;
  info.dwYpos = state.dwYpos;
  info.dwButtons = state.dwButtons;
  return true;
}

}  // namespace

void cInputState::Init() {
  m_wDirection = m_wButton = m_wPrevDirections = 0;
  ClearRings();
  ClearHistories();
  m_nDirection = 0;
  m_nRepeatH = m_nRepeatV = m_nRepeatDelay = m_nRepeatInterval = 0;
  m_bLatch = 0;
  for (auto& mask : m_JoyButtonMask) mask = 0;
  m_bJoyOk = 0;
  m_nJoyRetry = 0;
}

void cInputState::ClearRings() {
  for (auto& e : m_DirRing) e = sInputRingEntry{};
  for (auto& e : m_ButtonRing) e = sInputRingEntry{};
  m_nDirRingHead = 0;
  m_nButtonRingHead = 0;
}

void cInputState::ClearHistories() {
  m_DirHistories.assign(kDirectionTests, cVector<sInputRun>(kHistoryLength));
  m_ButtonHistories.assign(kButtonTests, cVector<sInputRun>(kHistoryLength));
}

void cInputState::ClearDirections() {
  m_wDirection = 0;
  m_nDirection = 5;
}

void cInputState::ClearButtons() { m_wButton = 0; }

void cInputState::Reset() {
  ClearRings();
  ClearHistories();
  ClearDirections();
  ClearButtons();
}

void cInputState::SetDefaultJoyButtons() {
  for (int i = 0; i < kButtonCount; ++i) m_JoyButtonMask[i] = static_cast<std::int16_t>(1 << i);
}

void cInputState::SetKeyRepeat(int delay, int interval) {
  m_nRepeatDelay = delay;
  m_nRepeatInterval = interval;
}

bool cInputState::ReadJoystickCounted(int number, int a, sJoyInfo& info) {
  if (!m_bJoyOk && m_nJoyRetry > 0) {
    --m_nJoyRetry;
    return false;
  }
  if (JoystickAt(number, info)) {
    m_bJoyOk = 1;
    return true;
  }
  m_bJoyOk = 0;
  m_nJoyRetry = 2 * a;
  return false;
}

int cInputState::PollDefaultKeys(int joystick, int flags, int a) {
  if (g_KeyConfig.m_bUseBinds) return 0;
  bool joyDirection = false, joyButtons = false;
  sJoyInfo info;
  if (ReadJoystickCounted(joystick, a, info) && (flags & 1)) {
    ReadStick(info, m_nDirection, m_wDirection);
    joyDirection = m_nDirection != 5;
    m_wButton = 0;
    for (int i = 0; i < kButtonCount; ++i)
      if (info.dwButtons & Widen(m_JoyButtonMask[i])) m_wButton |= static_cast<std::int16_t>(1 << i);
    joyButtons = m_wButton != 0;
  }
  if (flags & 2) {
    // Every key of the layout is read, so that no press is kept for a later poll.
    static constexpr int kDirKeys[4] = {platform::VK_LEFT, platform::VK_RIGHT, platform::VK_UP,
                                        platform::VK_DOWN};
    static constexpr char kKeys[kButtonCount] = {'Z', 'X', 'C', 'V', 'A', 'S', 'D', 'F'};
    bool dirDown[4], buttonDown[kButtonCount];
    for (int i = 0; i < 4; ++i) dirDown[i] = KeyPolled(kDirKeys[i]);
    for (int i = 0; i < kButtonCount; ++i) buttonDown[i] = KeyPolled(kKeys[i]);
    if (!joyDirection) {
      m_nDirection = 5;
      m_wDirection = 0;
      // All four are tested: left and right together give both bits and number 5.
      if (dirDown[0]) m_wDirection |= KEY_LEFT, m_nDirection -= 1;
      if (dirDown[1]) m_wDirection |= KEY_RIGHT, m_nDirection += 1;
      if (dirDown[2]) m_wDirection |= KEY_UP, m_nDirection -= 3;
      if (dirDown[3]) m_wDirection |= KEY_DOWN, m_nDirection += 3;
    }
    if (!joyButtons) {
      m_wButton = 0;
      for (int i = 0; i < kButtonCount; ++i)
        if (buttonDown[i]) m_wButton |= static_cast<std::int16_t>(1 << i);
    }
  }
  return 1;
}

int cInputState::PollKeyConfig(int players, int a) {
  const cKeyConfig& config = g_KeyConfig;
  if (!config.m_bUseBinds) return 0;
  // A damaged file may hold any counts: only the joysticks and bindings that exist are used.
  const int joyCount = std::clamp(config.m_nJoyCount, 0, platform::kJoystickCount);
  const int bindCount = std::clamp(config.m_nBindCount, 0, kKeyBindCount);
  bool read[platform::kJoystickCount] = {};
  sJoyInfo infos[platform::kJoystickCount];
  for (int k = 0; k < joyCount; ++k) read[k] = ReadJoystickCounted(k, a, infos[k]);

  auto pressed = [&](int b) {
    const sKeyBind& bind = config.m_Binds[b];
    if (bind.nDevice == kKeyboardDevice) return KeyPolled(bind.nCode);
    if (bind.nDevice < 0 || bind.nDevice >= joyCount || !read[bind.nDevice]) return false;
    const sJoyInfo& info = infos[bind.nDevice];
    return IsJoyAxisPushed(info, bind.nCode) != 0 || (Widen(bind.nCode) & info.dwButtons) != 0;
  };
  // Every binding in use is read once, so that no press is kept for a later poll.
  bool down[kKeyBindCount] = {};
  for (int b = 0; b < kKeyBindCount; ++b) down[b] = (b < 4 || b < bindCount) && pressed(b);
  // The file holds one player's bindings.
  for (int player = 0; player < std::min(players, 1); ++player) {
    m_wDirection = 0;
    m_nDirection = 5;
    m_wButton = 0;
    if (down[0]) m_wDirection |= KEY_LEFT, m_nDirection -= 1;
    else if (down[1]) m_wDirection |= KEY_RIGHT, m_nDirection += 1;
    if (down[2]) m_wDirection |= KEY_UP, m_nDirection -= 3;
    else if (down[3]) m_wDirection |= KEY_DOWN, m_nDirection += 3;
    for (int j = 0; j + 4 < bindCount; ++j)
      if (down[4 + j]) m_wButton |= static_cast<std::int16_t>(1 << j);
  }
  return 1;
}

void cInputState::RecordRing() {
  auto record = [](sInputRingEntry* ring, std::int32_t& head, std::int16_t word) {
    sInputRingEntry& newest = ring[head];
    if (newest.wValue == word) {
      CountFrame(newest.nFrames);
    } else {
      head = (head + 1) % kInputRingSize;
      ring[head] = {word, 1};
    }
  };
  record(m_DirRing, m_nDirRingHead, m_wDirection);
  record(m_ButtonRing, m_nButtonRingHead, m_wButton);
}

std::int16_t cInputState::GetPast(int w, int n) const {
  const sInputRingEntry* ring = w == 0 ? m_DirRing : m_ButtonRing;
  int i = ((w == 0 ? m_nDirRingHead : m_nButtonRingHead) % kInputRingSize + kInputRingSize) %
          kInputRingSize;
  std::int64_t r = static_cast<std::int64_t>(n) + 1;
  // Entries never written hold 0 frames and are passed over.
  for (int step = 0; step < kInputRingSize; ++step) {
    if (r > ring[i].nFrames) {
      r -= ring[i].nFrames;
      i = (i + kInputRingSize - 1) % kInputRingSize;
    }
  }
  return ring[i].wValue;
}

void cInputState::UpdateHistory(cVector<sInputRun>& history, int word, int value, int bitMode) {
  const std::int32_t t = bitMode ? ((word & value) != 0) : (word == value);
  if (history.empty() || t != history[0].nState) {
    history.insert(history.begin(), sInputRun{t, 1});
    if (history.size() > static_cast<std::size_t>(kHistoryLength)) history.pop_back();
  } else {
    CountFrame(history[0].nFrames);
  }
}

void cInputState::UpdateHistories() {
  for (int i = 0; i < kDirectionTests && i < static_cast<int>(m_DirHistories.size()); ++i)
    UpdateHistory(m_DirHistories[i], m_wDirection, kDirTests[i].value, kDirTests[i].bitMode);
  for (int i = 0; i < kButtonTests && i < static_cast<int>(m_ButtonHistories.size()); ++i)
    UpdateHistory(m_ButtonHistories[i], m_wButton, kButtonTestTable[i].value,
                  kButtonTestTable[i].bitMode);
}

int IsJoyAxisPushed(const sJoyInfo& state, std::int32_t code) {
  switch (code & 0xFFFF) {
    case JOY_STICK_LEFT: return state.dwXpos <= static_cast<std::uint32_t>(kStickLow);
    case JOY_STICK_RIGHT: return state.dwXpos >= static_cast<std::uint32_t>(kStickHigh);
    case JOY_STICK_UP: return state.dwYpos <= static_cast<std::uint32_t>(kStickLow);
    case JOY_STICK_DOWN: return state.dwYpos >= static_cast<std::uint32_t>(kStickHigh);
    default: return 0;
  }
}

int GetDirection(const cInputState& record) {
  int number = 5;
  if (record.m_wDirection & KEY_LEFT) number = 4;
  else if (record.m_wDirection & KEY_RIGHT) number = 6;
  if (record.m_wDirection & KEY_UP) number -= 3;
  else if (record.m_wDirection & KEY_DOWN) number += 3;
  return number;
}

void ApplyKeyRepeat(cInputState& r) {
  r.m_wPrevDirections =
      static_cast<std::int16_t>((static_cast<std::uint16_t>(r.m_wPrevDirections) << 4) |
                                static_cast<std::uint16_t>(r.m_wDirection));
  const int p = (static_cast<std::uint16_t>(r.m_wPrevDirections) >> 4) & 0xF;
  // An interval of 0 would divide by zero; the program always sets 6.
  const std::int32_t interval = r.m_nRepeatInterval > 0 ? r.m_nRepeatInterval : 1;
  auto axis = [&](int bits, std::int32_t& count) {
    if ((r.m_wDirection & bits) == (p & bits)) {
      count = static_cast<std::int32_t>(static_cast<std::uint32_t>(count) + 1u);
      if (count < r.m_nRepeatDelay || count % interval != 0)
        r.m_wDirection = static_cast<std::int16_t>(r.m_wDirection & ~bits);
    } else {
      count = 0;
    }
  };
  axis(KEY_LEFT | KEY_RIGHT, r.m_nRepeatH);
  axis(KEY_UP | KEY_DOWN, r.m_nRepeatV);
}

void LatchButtons(cInputState& r, int mask) {
  if (mask == 0) mask = 0xFF;
  const int w0 = r.m_wButton;
  for (int i = 0; i < kButtonCount; ++i) {
    const int bit = 1 << i;
    if (!(mask & bit)) continue;
    if (r.m_bLatch == 1) {
      r.m_wButton = static_cast<std::int16_t>(r.m_wButton & ~bit);
    } else if (r.m_wButton & bit) {
      // This press is reported, with every other button down in it.
      r.m_bLatch = 1;
      return;
    }
  }
  if (!(w0 & mask)) r.m_bLatch = 0;
  else r.m_wButton = static_cast<std::int16_t>(r.m_wButton & ~mask);
}

int LoadKeyConfig(const std::string& path, cKeyConfig& config) {
  FILE* file = platform::OpenHostFile(path, "rb");
  if (!file) return 0;
  unsigned char bytes[sizeof(cKeyConfig)];
  const std::size_t got = std::fread(bytes, 1, sizeof bytes, file);
  std::fclose(file);
  // A short file fills only its own bytes; the rest keeps what it held.
  std::memcpy(&config, bytes, got);
  return 1;
}

void SetDefaultKeyConfig(cKeyConfig& config) {
  static constexpr std::int16_t kCodes[kKeyBindCount] = {
      platform::VK_LEFT, platform::VK_RIGHT, platform::VK_UP, platform::VK_DOWN, 'Z', 'X',
      'C', 'V', 'A', 'S', 'D', 'F'};
  for (int i = 0; i < kKeyBindCount; ++i) config.m_Binds[i] = {kKeyboardDevice, kCodes[i], 0};
  config.m_nBindCount = kKeyBindCount;
  config.m_nJoyCount = 1;
  config.m_bUseBinds = 0;
}

void InitInputs(int n) { g_Inputs.assign(static_cast<std::size_t>(std::max(n, 0)), cInputState()); }

cInputState& GetInput(int number) {
  if (g_Inputs.empty()) return cVector<cInputState>::DefaultElement();
  if (number < 0 || number >= static_cast<int>(g_Inputs.size())) number = 0;
  return g_Inputs[number];
}

void PollFrameInput(cVector<cInputState>& inputs) {
  if (inputs.empty()) return;
  if (g_KeyConfig.m_bUseBinds) inputs[0].PollKeyConfig(1, 60);
  else inputs[0].PollDefaultKeys(0, 3, 60);
}
