#include "shell/wnd.h"

#include <gtest/gtest.h>

#include "shell/dlg.h"

namespace {

TEST(WindowPlacement, KeptInsideTheWorkArea) {
  const cRect work{0, 0, 1024, 768};
  struct {
    int x, y, w, h, ex, ey;
  } cases[] = {
      {100, 100, 300, 200, 100, 100},  // inside: unchanged
      {-5, -20, 300, 200, 0, 0},       // negative coordinates become 0
      {900, 100, 300, 200, 724, 100},  // past the right edge: against it
      {724, 568, 300, 200, 724, 568},  // reaching the edges: set against them, no change
      {725, 569, 300, 200, 724, 568},  // one past: moved back
      {100, 700, 300, 200, 100, 568},
  };
  for (auto& c : cases) {
    int x = c.x, y = c.y;
    ClampToWorkArea(x, y, c.w, c.h, work);
    EXPECT_EQ(x, c.ex) << c.x << "," << c.y;
    EXPECT_EQ(y, c.ey) << c.x << "," << c.y;
  }
}

TEST(Mouse, PressesAreLatchedOncePerButtonAndReleasesSeenOnce) {
  ResetMouseLatches();
  cMouse a, b;
  a.Update(7, true, false);
  EXPECT_EQ(a.bLeftPressed, 1);
  b.Update(7, true, false);  // the latch is shared: another window sees no new press
  EXPECT_EQ(b.bLeftPressed, 0);
  a.Update(7, true, false);
  EXPECT_EQ(a.bLeftPressed, 0);
  a.Update(7, false, false);
  EXPECT_EQ(a.bLeftReleased, 1);
  a.Update(7, false, false);
  EXPECT_EQ(a.bLeftReleased, 0);
  a.Update(7, true, true);
  EXPECT_EQ(a.bLeftPressed, 1);
  EXPECT_EQ(a.bRightPressed, 1);
  ResetMouseLatches();
}

TEST(KeyboardHook, WhatTheDialogGetsOfEachKey) {
  struct {
    int key;
    bool release, composing;
    std::uint32_t message;
  } cases[] = {
      {0x0D, false, false, WM_KEYDOWN},  // Enter acts on the dialog
      {0x0D, false, true, 0},            // unless it confirms a composition
      {0x09, false, false, 0},           // Tab moves the focus only
      {0x20, false, false, WM_HOOKKEY},  // space, arrows, Delete, F1 to F8
      {0x26, false, false, WM_HOOKKEY},
      {0x2E, false, false, WM_HOOKKEY},
      {0x77, false, false, WM_HOOKKEY},
      {0x78, false, false, WM_KEYDOWN},  // F9 is an ordinary key
      {0x25, false, true, WM_KEYDOWN},   // during a composition too
      {0x41, true, false, WM_KEYUP},
  };
  for (auto& c : cases) {
    cHook hook;
    hook.Set(nullptr, 0);
    EXPECT_EQ(hook.HookKey(c.key, c.release, c.composing), c.message) << c.key;
  }
  // With the hook's flag, keys are held back while Ctrl is down.
  cHook hook;
  hook.Set(nullptr, 1);
  EXPECT_EQ(hook.HookKey(0x11, false, false), 0u);
  EXPECT_EQ(hook.HookKey(0x41, false, false), 0u);
  EXPECT_EQ(hook.HookKey(0x11, true, false), static_cast<std::uint32_t>(WM_KEYUP));
  EXPECT_EQ(hook.HookKey(0x41, false, false), static_cast<std::uint32_t>(WM_KEYDOWN));
}

}  // namespace
