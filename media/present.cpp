#include "media/present.h"

#include "media/blit.h"
#include "media/device.h"
#include "media/raster.h"
#include "media/scene.h"
#include "platform/clock.h"

namespace {
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
  if (!g_bVSync)
    while (!FrameWait(fps, showFps, fpsFont)) platform::SleepMs(1);
  DDEndScene();
  if (lpDevice && lpDevice->bLost) {
    // The window stays as it is: nothing here can be minimised on the host.
    return 0;
  }
  DDHandOverFrame();
  return 1;
}

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
