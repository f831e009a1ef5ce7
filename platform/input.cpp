#include "platform/input.h"

#include <SDL.h>

#include <array>
#include <atomic>
#include <mutex>

namespace platform {
namespace {

std::array<std::atomic<std::uint8_t>, 256> g_keys{};
// Per key: it went down since TakeKeyPress last looked.
std::array<std::atomic<std::uint8_t>, 256> g_keyPresses{};

struct sJoystickSlot {
  bool present = false;
  sJoystickState state;
};
std::mutex g_joyLock;
std::array<sJoystickSlot, kJoystickCount> g_joySlots;

// Main-thread state of the opened devices.
struct sOpenDevice {
  SDL_Joystick* joystick = nullptr;
  SDL_GameController* controller = nullptr;  // set when the pad is one SDL knows
  SDL_JoystickID id = -1;
};
std::array<sOpenDevice, kJoystickCount> g_devices;
bool g_started = false;
std::atomic<bool> g_devicesChanged{false};

// Physical key (USB HID usage) to virtual-key code. Letters, digits, function keys and the
// keys around them follow Windows; the punctuation keys take the codes a Japanese 106/109-key
// keyboard gives at their positions, the layout the games' key configurations were made on.
int ScancodeToVk(int sc) {
  if (sc >= 4 && sc <= 29) return 'A' + (sc - 4);
  if (sc >= 30 && sc <= 38) return '1' + (sc - 30);
  if (sc >= 58 && sc <= 69) return VK_F1 + (sc - 58);      // F1..F12
  if (sc >= 104 && sc <= 115) return 0x7C + (sc - 104);    // F13..F24
  if (sc >= 89 && sc <= 97) return 0x61 + (sc - 89);       // keypad 1..9
  switch (sc) {
    case 39: return '0';
    case 40: return VK_RETURN;
    case 41: return VK_ESCAPE;
    case 42: return VK_BACK;
    case 43: return VK_TAB;
    case 44: return VK_SPACE;
    case 45: return 0xBD;  // -
    case 46: return 0xDE;  // ^
    case 47: return 0xC0;  // @
    case 48: return 0xDB;  // [
    case 49: return 0xDD;  // ]
    case 50: return 0xDD;  // ] (the same key as an ISO keyboard reports it)
    case 51: return 0xBB;  // ;
    case 52: return 0xBA;  // :
    case 53: return 0xF3;  // hankaku/zenkaku
    case 54: return 0xBC;  // ,
    case 55: return 0xBE;  // .
    case 56: return 0xBF;  // /
    case 57: return 0x14;  // caps lock
    case 70: return 0x2C;  // print screen
    case 71: return 0x91;  // scroll lock
    case 72: return 0x13;  // pause
    case 73: return 0x2D;  // insert
    case 74: return 0x24;  // home
    case 75: return 0x21;  // page up
    case 76: return 0x2E;  // delete
    case 77: return 0x23;  // end
    case 78: return 0x22;  // page down
    case 79: return VK_RIGHT;
    case 80: return VK_LEFT;
    case 81: return VK_DOWN;
    case 82: return VK_UP;
    case 83: return 0x90;  // num lock
    case 84: return 0x6F;  // keypad /
    case 85: return 0x6A;  // keypad *
    case 86: return 0x6D;  // keypad -
    case 87: return 0x6B;  // keypad +
    case 88: return VK_RETURN;
    case 98: return 0x60;  // keypad 0
    case 99: return 0x6E;  // keypad .
    case 100: return 0xE2;  // the extra key beside left shift
    case 101: return 0x5D;  // application
    case 133: return 0x6C;  // keypad separator
    case 135: return 0xE2;  // ro (backslash)
    case 136: return 0x15;  // katakana/hiragana
    case 137: return 0xDC;  // yen
    case 138: return 0x1C;  // henkan
    case 139: return 0x1D;  // muhenkan
    case 144: return 0x15;
    case 145: return 0x19;
    case 224: return VK_LCONTROL;
    case 225: return VK_LSHIFT;
    case 226: return VK_LMENU;
    case 227: return 0x5B;  // left Windows key
    case 228: return VK_RCONTROL;
    case 229: return VK_RSHIFT;
    case 230: return VK_RMENU;
    case 231: return 0x5C;  // right Windows key
    default: return 0;
  }
}

// Runs on the thread that pumps events (the main thread) as each event is queued, whoever
// takes the events out of the queue afterwards.
int EventWatch(void*, SDL_Event* event) {
  switch (event->type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      if (int vk = ScancodeToVk(event->key.keysym.scancode))
        SetKeyDown(vk, event->type == SDL_KEYDOWN);
      break;
    case SDL_WINDOWEVENT:
      if (event->window.event == SDL_WINDOWEVENT_FOCUS_LOST) ReleaseAllKeys();
      break;
    case SDL_JOYDEVICEADDED:
    case SDL_JOYDEVICEREMOVED:
      g_devicesChanged = true;
      break;
    default:
      break;
  }
  return 1;
}

void CloseDevice(int slot) {
  sOpenDevice& d = g_devices[static_cast<std::size_t>(slot)];
  if (d.controller) SDL_GameControllerClose(d.controller);
  else if (d.joystick) SDL_JoystickClose(d.joystick);
  d = sOpenDevice{};
  WithdrawJoystick(slot);
}

// Closes the devices that went and opens the new ones into the first free numbers.
void ReconcileDevices() {
  for (int slot = 0; slot < kJoystickCount; ++slot) {
    const sOpenDevice& d = g_devices[static_cast<std::size_t>(slot)];
    if (d.joystick && !SDL_JoystickGetAttached(d.joystick)) CloseDevice(slot);
  }
  const int count = SDL_NumJoysticks();
  for (int index = 0; index < count; ++index) {
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);
    bool open = false;
    for (const sOpenDevice& d : g_devices) open = open || (d.joystick && d.id == id);
    if (open) continue;
    int slot = 0;
    while (slot < kJoystickCount && g_devices[static_cast<std::size_t>(slot)].joystick) ++slot;
    if (slot == kJoystickCount) return;
    sOpenDevice d;
    if (SDL_IsGameController(index)) {
      d.controller = SDL_GameControllerOpen(index);
      if (d.controller) d.joystick = SDL_GameControllerGetJoystick(d.controller);
    }
    if (!d.joystick) d.joystick = SDL_JoystickOpen(index);
    if (!d.joystick) continue;
    d.id = SDL_JoystickInstanceID(d.joystick);
    g_devices[static_cast<std::size_t>(slot)] = d;
  }
}

}  // namespace

bool IsKeyDown(int vk) {
  auto down = [](int code) { return g_keys[static_cast<std::size_t>(code)].load() != 0; };
  switch (vk) {
    case VK_SHIFT: return down(VK_LSHIFT) || down(VK_RSHIFT) || down(VK_SHIFT);
    case VK_CONTROL: return down(VK_LCONTROL) || down(VK_RCONTROL) || down(VK_CONTROL);
    case VK_MENU: return down(VK_LMENU) || down(VK_RMENU) || down(VK_MENU);
    default: return vk >= 0 && vk < 256 && down(vk);
  }
}

bool TakeKeyPress(int vk) {
  return vk >= 0 && vk < 256 && g_keyPresses[static_cast<std::size_t>(vk)].exchange(0) != 0;
}

void SetKeyDown(int vk, bool down) {
  if (vk < 0 || vk >= 256) return;
  const std::size_t key = static_cast<std::size_t>(vk);
  // Only a key that was up is pressed anew; the repeats of a held key are not.
  if (g_keys[key].exchange(down ? 1 : 0) == 0 && down) g_keyPresses[key].store(1);
}

void ReleaseAllKeys() {
  for (auto& key : g_keys) key.store(0);
  for (auto& press : g_keyPresses) press.store(0);
}

int VirtualKeyFromScancode(int scancode) { return ScancodeToVk(scancode); }

bool ReadJoystick(int number, sJoystickState& state) {
  if (number < 0 || number >= kJoystickCount) return false;
  std::lock_guard<std::mutex> lock(g_joyLock);
  const sJoystickSlot& slot = g_joySlots[static_cast<std::size_t>(number)];
  if (!slot.present) return false;
  state = slot.state;
  return true;
}

void PublishJoystick(int number, const sJoystickState& state) {
  if (number < 0 || number >= kJoystickCount) return;
  std::lock_guard<std::mutex> lock(g_joyLock);
  g_joySlots[static_cast<std::size_t>(number)] = {true, state};
}

void WithdrawJoystick(int number) {
  if (number < 0 || number >= kJoystickCount) return;
  std::lock_guard<std::mutex> lock(g_joyLock);
  g_joySlots[static_cast<std::size_t>(number)] = {};
}

void WithdrawAllJoysticks() {
  for (int i = 0; i < kJoystickCount; ++i) WithdrawJoystick(i);
}

std::uint32_t ScaleJoystickAxis(int value) {
  if (value < -32768) value = -32768;
  if (value > 32767) value = 32767;
  return static_cast<std::uint32_t>(value + 32768);
}

void StartInput() {
  if (g_started) return;
  // Joysticks are read whether or not the window has the focus, as the system's joystick
  // calls the game was made against did.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) return;
  g_started = true;
  SDL_AddEventWatch(EventWatch, nullptr);
  // Without joystick support the keyboard alone plays.
  if (SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) == 0) g_devicesChanged = true;
}

void UpdateInputDevices() {
  if (!g_started || !SDL_WasInit(SDL_INIT_JOYSTICK)) return;
  if (g_devicesChanged.exchange(false)) ReconcileDevices();
  for (int slot = 0; slot < kJoystickCount; ++slot) {
    SDL_Joystick* joystick = g_devices[static_cast<std::size_t>(slot)].joystick;
    if (!joystick) continue;
    sJoystickState state;
    state.dwXpos = ScaleJoystickAxis(SDL_JoystickGetAxis(joystick, 0));
    state.dwYpos = ScaleJoystickAxis(SDL_JoystickGetAxis(joystick, 1));
    const int buttons = SDL_JoystickNumButtons(joystick);
    for (int b = 0; b < buttons && b < 32; ++b)
      if (SDL_JoystickGetButton(joystick, b)) state.dwButtons |= 1u << b;
    PublishJoystick(slot, state);
  }
}

void StopInput() {
  if (!g_started) return;
  for (int slot = 0; slot < kJoystickCount; ++slot) CloseDevice(slot);
  SDL_DelEventWatch(EventWatch, nullptr);
  if (SDL_WasInit(SDL_INIT_JOYSTICK)) SDL_QuitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER);
  SDL_QuitSubSystem(SDL_INIT_EVENTS);
  ReleaseAllKeys();
  g_started = false;
}

void SimulateKeyEvent(int scancode, bool down) {
  SDL_Event event{};
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.key.keysym.scancode = static_cast<SDL_Scancode>(scancode);
  SDL_PushEvent(&event);
}

void SimulateFocusLoss() {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
  SDL_PushEvent(&event);
}

}  // namespace platform
