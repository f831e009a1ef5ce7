#pragma once
// The choice of colour depth and vertical sync from System.ini, the desktop and the project,
// and whether that combination can be shown.

enum eScreenModeError : int {
  SCREEN_MODE_OK = 0,
  SCREEN_MODE_WINDOW_DEPTH = 1,  // a window at 16 or 32 bits that the desktop does not have
  SCREEN_MODE_INVALID = 2,       // any other combination that cannot be shown
};

struct sScreenModeInput {
  int nDirect3D = 0;    // 0 DirectDraw, otherwise Direct3D
  int nWindowMode = 0;  // 0 full screen, 1 window, 2 resizable window
  int nBpp = 0;         // 8, 16, 32, or 0 to choose
  int nVSync = 0;       // 0 off, 1 on, 2 or more to choose
  int nDesktopDepth = 32;
  int bTransColour = 0;  // the project gives its own transparent colour: 8 bits cannot show it
  int nBppCodeD3D = 0;   // the project's full-screen depth codes
  int nBppCodeDD = 0;
  int bVistaOrLater = 1;
};

struct sScreenMode {
  int bWindowMode = 0;
  int nBpp = 0;    // also written back into System.ini's setting
  int nVSync = 0;  // the setting as decided
  int bResizable = 0;
  eScreenModeError nError = SCREEN_MODE_OK;
};

sScreenMode DecideScreenMode(const sScreenModeInput& in);
// The error box text of a refused mode (cp932); empty for SCREEN_MODE_OK.
const char* ScreenModeMessage(eScreenModeError error);
