#pragma once
// What the player presses: one input record per player, polled once a frame from the keyboard
// and the joysticks, either in the fixed default layout or with the bindings of the key
// configuration file, with the memory of past frames that the flows' key conditions test and
// the key repeat and button latch of the menus.
#include <cstdint>
#include <string>

#include "foundation/containers.h"

// Bits of the direction word and of the button word.
enum eKeyBit : std::int16_t {
  KEY_LEFT = 1,
  KEY_RIGHT = 2,
  KEY_UP = 4,
  KEY_DOWN = 8,
  KEY_DIRECTIONS = 15,
  KEY_BUTTON1 = 1,  // button i is bit i - 1 of the button word
  KEY_BUTTON2 = 2,
  KEY_BUTTON3 = 4,
  KEY_BUTTON4 = 8,
  KEY_BUTTON5 = 16,
  KEY_BUTTON6 = 32,
  KEY_BUTTON7 = 64,
  KEY_BUTTON8 = 128,
};

// Joystick codes of a binding; any other code is a mask of the joystick's buttons.
enum : std::int32_t {
  JOY_STICK_LEFT = 256,
  JOY_STICK_RIGHT = 512,
  JOY_STICK_UP = 1024,
  JOY_STICK_DOWN = 2048,
};

inline constexpr int kInputRingSize = 32;
inline constexpr int kHistoryLength = 32;
inline constexpr int kDirectionTests = 10;
inline constexpr int kButtonTests = 9;
inline constexpr int kButtonCount = 8;

// One run of a history: whether the test held, and for how many frames.
struct sInputRun {
  std::int32_t nState = 0;
  std::int32_t nFrames = 0;
  bool operator==(const sInputRun&) const = default;
};

// One run of a word's ring: the word's value and for how many frames it kept it.
struct sInputRingEntry {
  std::int16_t wValue = 0;
  std::int32_t nFrames = 0;
};

// A joystick as the system reports it: x and y in 0..65535, button i as bit i.
struct sJoyInfo {
  std::uint32_t dwXpos = 0;
  std::uint32_t dwYpos = 0;
  std::uint32_t dwButtons = 0;
};

class cInputState {
 public:
  cInputState() { Init(); }

  // Rings, heads, histories (10 and 9 of 32 runs {0, 0}) and every other field 0.
  void Init();
  void Copy(const cInputState& other) { *this = other; }

  // The fixed layout: flags bit 0 reads joystick number joystick, bit 1 the keyboard; a is the
  // poll count that stretches the retry after a failed joystick read (2 * a polls). 0 without
  // reading anything when the key configuration asks for its bindings.
  int PollDefaultKeys(int joystick, int flags, int a);
  // The bindings of g_KeyConfig; 0 without reading anything when it does not ask for them.
  int PollKeyConfig(int players, int a);

  // Once per frame of play: feeds the two rings with this frame's words.
  void RecordRing();
  // The value word w (0 directions, 1 buttons) had n frames ago (0: now).
  std::int16_t GetPast(int w, int n) const;
  // Once per frame of play after RecordRing: the 10 direction and 9 button tests.
  void UpdateHistories();
  // One test: (word & value) != 0 in bit mode, word == value otherwise.
  static void UpdateHistory(cVector<sInputRun>& history, int word, int value, int bitMode);

  void ClearRings();
  void ClearHistories();
  void ClearDirections();
  void ClearButtons();
  // The four clears in order: a stage starts without memory of the frames before it.
  void Reset();
  // Joystick button i + 1 is the joystick's bit i.
  void SetDefaultJoyButtons();
  void SetKeyRepeat(int delay, int interval);

  std::int16_t m_wDirection = 0;  // eKeyBit directions of this frame
  std::int16_t m_wButton = 0;     // eKeyBit buttons of this frame
  std::int16_t m_wPrevDirections = 0;  // the last frames' direction words, 4 bits each
  sInputRingEntry m_DirRing[kInputRingSize];
  sInputRingEntry m_ButtonRing[kInputRingSize];
  std::int32_t m_nDirRingHead = 0;
  std::int32_t m_nButtonRingHead = 0;
  cVector<cVector<sInputRun>> m_DirHistories;     // newest run first
  cVector<cVector<sInputRun>> m_ButtonHistories;  // newest run first
  std::int32_t m_nDirection = 0;  // 1..9, the numeric keypad's layout, 5 none
  std::int32_t m_nRepeatH = 0;
  std::int32_t m_nRepeatV = 0;
  std::int32_t m_nRepeatDelay = 0;
  std::int32_t m_nRepeatInterval = 0;
  std::int32_t m_bLatch = 0;
  std::int16_t m_JoyButtonMask[kButtonCount] = {};
  std::int32_t m_bJoyOk = 0;
  std::int32_t m_nJoyRetry = 0;

 private:
  // The joystick step shared by both polls: 1 with info filled when it was read.
  bool ReadJoystickCounted(int number, int a, sJoyInfo& info);
};

// 1 when code is one of the four stick codes and the stick is pushed that way.
int IsJoyAxisPushed(const sJoyInfo& state, std::int32_t code);
// The direction number of the record's direction word (left beats right, up beats down).
int GetDirection(const cInputState& record);
// Menus: a held direction is reported when it changes, after the repeat delay, then every
// repeat interval.
void ApplyKeyRepeat(cInputState& record);
// Menus: a press of a button in mask (0: all eight) is reported in one frame only.
void LatchButtons(cInputState& record, int mask);

// One binding of the key configuration: device 0..7 a joystick, 8 the keyboard.
struct sKeyBind {
  std::int32_t nDevice = 0;
  std::int16_t nCode = 0;
  std::int16_t nUnused = 0;
};

inline constexpr int kKeyBindCount = 12;
inline constexpr int kKeyboardDevice = 8;

// The 108 bytes of user_data\KeyConfig.dat, in file order.
struct cKeyConfig {
  sKeyBind m_Binds[kKeyBindCount];  // left, right, up, down, buttons 1 to 8
  std::int32_t m_nBindCount = 0;
  std::int32_t m_nJoyCount = 0;
  std::int32_t m_bUseBinds = 0;
};
static_assert(sizeof(cKeyConfig) == 108);

// 1 when the file was opened (a short file fills only its own bytes); 0 when it is missing.
int LoadKeyConfig(const std::string& path, cKeyConfig& config);
void SetDefaultKeyConfig(cKeyConfig& config);

// g_Inputs := n fresh records.
void InitInputs(int n);
// Input record number; record 0 for a number g_Inputs does not hold.
cInputState& GetInput(int number);
// One frame's poll of input record 0 (the scene manager's and the modal loops' input step):
// the configured bindings when the key configuration asks for them, else the fixed layout.
void PollFrameInput(cVector<cInputState>& inputs);

extern cVector<cInputState> g_Inputs;
extern cKeyConfig g_KeyConfig;
