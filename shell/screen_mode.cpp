#include "shell/screen_mode.h"

namespace {

// A project's full-screen depth code: 0 32 bits, 1 16 bits, 2 8 bits (DirectDraw only, and not
// with a transparent colour of its own), anything else 32 bits.
int DepthOfCode(int code, bool directDraw, bool transColour) {
  switch (code) {
    case 1: return 16;
    case 2: return directDraw && !transColour ? 8 : 32;
    default: return 32;
  }
}

}  // namespace

sScreenMode DecideScreenMode(const sScreenModeInput& in) {
  sScreenMode out;
  const bool d3d = in.nDirect3D != 0;
  out.bWindowMode = in.nWindowMode != 0 ? 1 : 0;

  out.nVSync = in.nVSync;
  if (d3d) {
    if (out.nVSync >= 2) out.nVSync = 1;
  } else if (out.bWindowMode) {
    out.nVSync = 0;
  } else if (out.nVSync >= 2) {
    out.nVSync = in.bVistaOrLater ? 0 : 1;
  }

  out.nBpp = in.nBpp;
  if (out.nBpp == 0) {
    out.nBpp = out.bWindowMode ? in.nDesktopDepth
                               : DepthOfCode(d3d ? in.nBppCodeD3D : in.nBppCodeDD, !d3d,
                                             in.bTransColour != 0);
  }

  bool allowed = out.nBpp == 16 || out.nBpp == 32 || (!d3d && !in.bTransColour && out.nBpp == 8);
  if (out.bWindowMode && (out.nBpp != in.nDesktopDepth || out.nBpp == 8)) allowed = false;
  if (!allowed) {
    out.nError = out.bWindowMode && (out.nBpp == 16 || out.nBpp == 32) ? SCREEN_MODE_WINDOW_DEPTH
                                                                       : SCREEN_MODE_INVALID;
    return out;
  }
  out.bResizable = d3d && in.nWindowMode == 2 ? 1 : 0;
  return out;
}

const char* ScreenModeMessage(eScreenModeError error) {
  switch (error) {
    case SCREEN_MODE_WINDOW_DEPTH:
      return "画面モードが不正です！\nウインドウモードではSystem.iniの設定と画面の色の設定を合わせて下さい！";
    case SCREEN_MODE_INVALID:
      return "画面モードが不正です！\nSystem.iniと画面の設定を見直して下さい！";
    default:
      return "";
  }
}
