#pragma once
// The Direct3D scene and render-target bookkeeping, and the dialog mode that lets a message
// box appear over a full-screen display.
#include "media/surface.h"

// 1 inside a scene (opened now or before); 0 without a device.
int DDBeginScene();
void DDEndScene();
// 1 when the surface (a render target) became the render target; the int is ignored.
int DDSetRenderTarget(int unused, DDSURFACEDATA* surface);
// The surface drawing goes to now (lpDefaultTarget between drawings).
DDSURFACEDATA* DDCurrentRenderTarget();

// Full screen only: on shows the mouse cursor (and leaves the scene), off hides it again.
// 1 done, 0 failed. Windowed: 1 without any action.
int DDSetDialogMode(int on);
// A message box shown through the dialog mode; 0 when the mode could not be entered.
int DDMesBox(const char* text, const char* caption, int type);
// The program's message box takes DDMesBox while the device is ready and full screen.
void DDInstallMessageBoxHook();
