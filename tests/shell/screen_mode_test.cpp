#include "shell/screen_mode.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ScreenMode, DecisionsFromTheSettingsTheDesktopAndTheProject) {
  struct sCase {
    const char* what;
    sScreenModeInput in;
    int bpp, vsync, resizable;
    eScreenModeError error;
  };
  auto in = [](int d3d, int window, int bpp, int vsync, int desktop = 32, int trans = 0,
               int codeD3D = 0, int codeDD = 0) {
    sScreenModeInput i;
    i.nDirect3D = d3d;
    i.nWindowMode = window;
    i.nBpp = bpp;
    i.nVSync = vsync;
    i.nDesktopDepth = desktop;
    i.bTransColour = trans;
    i.nBppCodeD3D = codeD3D;
    i.nBppCodeDD = codeDD;
    return i;
  };
  const std::vector<sCase> cases = {
      {"D3D window takes the desktop depth", in(1, 1, 0, 2), 32, 1, 0, SCREEN_MODE_OK},
      {"D3D resizable window", in(1, 2, 0, 0), 32, 0, 1, SCREEN_MODE_OK},
      {"DD never resizable", in(0, 2, 0, 1), 32, 0, 0, SCREEN_MODE_OK},
      {"DD window: no vsync", in(0, 1, 32, 1), 32, 0, 0, SCREEN_MODE_OK},
      {"DD full screen: automatic vsync off", in(0, 0, 0, 2), 32, 0, 0, SCREEN_MODE_OK},
      {"DD full screen keeps vsync on", in(0, 0, 0, 1), 32, 1, 0, SCREEN_MODE_OK},
      {"D3D full screen code 1", in(1, 0, 0, 0, 32, 0, 1, 0), 16, 0, 0, SCREEN_MODE_OK},
      {"D3D full screen code 2 is 32", in(1, 0, 0, 0, 32, 0, 2, 0), 32, 0, 0, SCREEN_MODE_OK},
      {"DD full screen code 2", in(0, 0, 0, 0, 32, 0, 0, 2), 8, 0, 0, SCREEN_MODE_OK},
      {"DD code 2 with a colour key", in(0, 0, 0, 0, 32, 1, 0, 2), 32, 0, 0, SCREEN_MODE_OK},
      {"DD code 7 is 32", in(0, 0, 0, 0, 32, 0, 0, 7), 32, 0, 0, SCREEN_MODE_OK},
      {"DD 8 bits full screen", in(0, 0, 8, 0), 8, 0, 0, SCREEN_MODE_OK},
      {"DD 8 bits with a colour key", in(0, 0, 8, 0, 32, 1), 8, 0, 0, SCREEN_MODE_INVALID},
      {"DD 8 bits in a window", in(0, 1, 8, 0, 8), 8, 0, 0, SCREEN_MODE_INVALID},
      {"D3D 8 bits", in(1, 0, 8, 0), 8, 0, 0, SCREEN_MODE_INVALID},
      {"D3D 16 in a 32-bit window", in(1, 1, 16, 0), 16, 0, 0, SCREEN_MODE_WINDOW_DEPTH},
      {"D3D 16 on a 16-bit desktop", in(1, 1, 16, 0, 16), 16, 0, 0, SCREEN_MODE_OK},
      {"24 bits", in(1, 0, 24, 0), 24, 0, 0, SCREEN_MODE_INVALID},
      {"24-bit desktop window", in(1, 1, 0, 0, 24), 24, 0, 0, SCREEN_MODE_INVALID},
  };
  for (const sCase& c : cases) {
    const sScreenMode mode = DecideScreenMode(c.in);
    EXPECT_EQ(mode.nError, c.error) << c.what;
    EXPECT_EQ(mode.nBpp, c.bpp) << c.what;
    if (c.error != SCREEN_MODE_OK) continue;
    EXPECT_EQ(mode.nVSync, c.vsync) << c.what;
    EXPECT_EQ(mode.bResizable, c.resizable) << c.what;
    EXPECT_EQ(mode.bWindowMode, c.in.nWindowMode != 0) << c.what;
  }
  sScreenModeInput old = in(0, 0, 0, 2);
  old.bVistaOrLater = 0;
  EXPECT_EQ(DecideScreenMode(old).nVSync, 1);
  EXPECT_STREQ(ScreenModeMessage(SCREEN_MODE_OK), "");
  EXPECT_NE(ScreenModeMessage(SCREEN_MODE_WINDOW_DEPTH), ScreenModeMessage(SCREEN_MODE_INVALID));
}

}  // namespace
