#pragma once
// Device set-up and release of the media library, and the restore paths after a (simulated)
// loss of the device or of surfaces. The hand-over of finished frames is in present.h.
#include "media/bmp_info.h"
#include "media/surface.h"

bool DDInit(int bD3D, void* hwnd, int width, int height, int bpp, int vsync, int windowMode,
            int backBufferCount, int refreshRate, int useRefreshRate, DDSURFACEDATA* surfaces,
            cBmpInfo* bitmapTable, int count);
void DDRelease();
void DDEnd();
bool DDLogInitError(int code);

// Test hook: the device (Direct3D) or the video-memory surfaces (DirectDraw) are lost: their
// pixels are gone until the restore below runs.
void DDSimulateDeviceLoss();
int DDRestoreSurface();
bool DDRestore();
bool DDReloadSurface(DDSURFACEDATA* surface, int bpp);
