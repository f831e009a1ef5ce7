#pragma once
// Keyboard and joysticks as the game reads them.
//
// Keys are kept by Windows virtual-key code, the codes the key configuration file stores. The
// main thread feeds the table from the window system's key events (the event pump calls
// StartInput and UpdateInputDevices itself); any thread may read it. Every key counts as up
// once the window has lost the focus.
//
// Joysticks 0 to 7 are the devices in the order they were attached. The main thread
// publishes one snapshot of each per turn of its loop: the stick's x and y scaled to 0..65535
// and the buttons, button i as bit i. Reading a number that has no joystick fails.
#include <cstdint>

namespace platform {

// Virtual-key codes the game names itself.
enum : int {
  VK_BACK = 0x08,
  VK_TAB = 0x09,
  VK_RETURN = 0x0D,
  VK_SHIFT = 0x10,
  VK_CONTROL = 0x11,
  VK_MENU = 0x12,
  VK_ESCAPE = 0x1B,
  VK_SPACE = 0x20,
  VK_LEFT = 0x25,
  VK_UP = 0x26,
  VK_RIGHT = 0x27,
  VK_DOWN = 0x28,
  VK_F1 = 0x70,
  VK_F2 = 0x71,
  VK_F3 = 0x72,
  VK_LSHIFT = 0xA0,
  VK_RSHIFT = 0xA1,
  VK_LCONTROL = 0xA2,
  VK_RCONTROL = 0xA3,
  VK_LMENU = 0xA4,
  VK_RMENU = 0xA5,
};

// True while the key of that virtual-key code is down. Codes outside 0..255 are never down.
// VK_SHIFT, VK_CONTROL and VK_MENU are down while either key of their pair is.
bool IsKeyDown(int virtualKey);
// True when the key went down since the last call for it, and clears that mark: a press that
// began and ended between two reads of the key state still counts once. Codes outside 0..255
// never went down.
bool TakeKeyPress(int virtualKey);
// Main thread (and tests): the key went down or up.
void SetKeyDown(int virtualKey, bool down);
// Every key up and every mark of a press cleared (focus lost, or a test's clean start).
void ReleaseAllKeys();
// The virtual-key code of a physical key given by its USB HID usage (the numbering of the
// event layer's scancodes), as a Japanese or US keyboard reports it on Windows; 0 for a key
// that has none.
int VirtualKeyFromScancode(int scancode);

inline constexpr int kJoystickCount = 8;

struct sJoystickState {
  std::uint32_t dwXpos = 32768;
  std::uint32_t dwYpos = 32768;
  std::uint32_t dwButtons = 0;
};

// The latest snapshot of joystick number; false when that joystick is not attached (or the
// number is outside 0..7).
bool ReadJoystick(int number, sJoystickState& state);
// Main thread (and tests): publishes a joystick's snapshot, or its absence.
void PublishJoystick(int number, const sJoystickState& state);
void WithdrawJoystick(int number);
void WithdrawAllJoysticks();
// Scales a stick axis of the event layer (-32768..32767) to 0..65535.
std::uint32_t ScaleJoystickAxis(int value);

// Main thread, once the window system runs: listens to key, focus and device events and opens
// the attached joysticks. Repeated calls do nothing.
void StartInput();
// Main thread, every turn after the window system's events were pumped: opens joysticks that
// were plugged in, closes those that went, and publishes their snapshots.
void UpdateInputDevices();
// Main thread: closes the joysticks and stops listening.
void StopInput();

// Test hooks: queue a key event (the key by its USB HID usage) or the loss of the keyboard
// focus as the window system would; the next pump delivers them.
void SimulateKeyEvent(int scancode, bool down);
void SimulateFocusLoss();

}  // namespace platform
