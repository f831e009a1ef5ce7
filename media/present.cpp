#include "media/present.h"

#include "foundation/report.h"
#include "media/blit.h"
#include "media/device_scene.h"
#include "media/palette.h"
#include "media/raster.h"
#include "platform/video.h"

namespace {
bool g_bDropReported = false;
bool IsDirect3D() { return lpDTCon != nullptr; }
void DrawPacerText(DDSURFACEDATA* font, int x, int y, const char* text) {
  DDTextOut(&BackBuffer, x, y, 8, 16, font, text);
}
}  // namespace

sFrameWaitHooks DDFrameWaitHooks() {
  sFrameWaitHooks hooks;
  hooks.isDirect3D = IsDirect3D;
  hooks.drawText = DrawPacerText;
  return hooks;
}

int DDPresent(unsigned fps, int showFps, DDSURFACEDATA* fpsFont) {
  if (!lpDTCon) return 1;
  if (lpDTCon->bVirBackBuffer) DDCopyVirBackBuffer(&BackBuffer, &VirBackBuffer);
  while (!FrameWait(fps, showFps, fpsFont)) TimerSleep(FrameWaitDueIn(fps));
  DDEndScene();
  if (lpDevice && lpDevice->bLost) {
    // The window stays as it is: nothing here can be minimised on the host.
    return 0;
  }
  DDHandOverFrame();
  return 1;
}

void DDResetHandOverReport() { g_bDropReported = false; }

void DDSetVirBackBuffer(int on) {
  if (!lpDTCon) return;
  if (lpDTCon->bVirBackBuffer && !on && VirBackBuffer.Pixels())
    DDCopyVirBackBuffer(&BackBuffer, &VirBackBuffer);
  lpDTCon->bVirBackBuffer = on ? 1 : 0;
  lpDTCon->lpDefaultTarget = on ? &BackBuffer : &VirBackBuffer;
  if (lpDTCon->lpDefaultTarget->Pixels()) DDSetRenderTarget(0, lpDTCon->lpDefaultTarget);
}

void DDCopyVirBackBuffer(DDSURFACEDATA* back, DDSURFACEDATA* vir) {
  if (!lpDTCon || !back || !vir) return;
  lpDTCon->bVirCopy = 1;
  DDSetAlphaOp(D3DTOP_DISABLE);
  DDBlt(back, 0, 0, vir->nWidth, vir->nHeight, vir, 0, 0, 0);
  DDResetAlphaOp();
  lpDTCon->bVirCopy = 0;
}

void DDHandOverFrame() {
  cPixelSurface* pixels = BackBuffer.Pixels();
  if (!pixels) return;
  platform::eFrameFormat format;
  switch (pixels->Format()) {
    case D3DFMT_P8:
      format = platform::eFrameFormat::Indexed8;
      break;
    case D3DFMT_R5G6B5:
      format = platform::eFrameFormat::R5G6B5;
      break;
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
      format = platform::eFrameFormat::X1R5G5B5;
      break;
    default:
      format = platform::eFrameFormat::X8R8G8B8;
      break;
  }
  std::uint32_t palette[256] = {};
  if (format == platform::eFrameFormat::Indexed8 && g_lpDDPalette)
    PaletteToRgb(g_lpDDPalette->entries, palette);
  if (!platform::SubmitFrame(pixels->Bits(), pixels->PitchBytes(), pixels->Width(),
                             pixels->Height(), format, palette) &&
      !g_bDropReported) {
    // Said once: the window shows fewer frames than the game makes from here on.
    g_bDropReported = true;
    Report("presentation cannot keep up: frames are dropped");
  }
}
