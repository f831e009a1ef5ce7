#pragma once
// The message numbers the program uses, with the values the window system gave them, and the
// requests other threads send to the main window.
#include <cstdint>

#include "platform/thread_messages.h"

enum : std::uint32_t {
  WM_DESTROY = 0x0002,
  WM_MOVE = 0x0003,
  WM_CLOSE = 0x0010,
  WM_QUIT = 0x0012,
  WM_ACTIVATEAPP = 0x001C,
  WM_USER = 0x0400,
  // Posted to a loop thread right after it starts, until the post succeeds.
  WM_APP = 0x8000,
};
static_assert(WM_CLOSE == platform::kCloseMessage && WM_QUIT == platform::kQuitMessage);

// Requests sent to the main window; the sender waits until the main thread has handled them.
enum eUserRequest : std::uint32_t {
  WM_NAMEENTRY = WM_USER + 1,
  WM_OPENSTAGE = WM_USER + 2,
  WM_LOADREPLAY = WM_USER + 3,
  WM_SAVEREPLAY = WM_USER + 4,
  WM_PLAYSOUND = WM_USER + 5,
  WM_PLAYBGM = WM_USER + 6,
  WM_RESTOREDEVICE = WM_USER + 100,
};
