#pragma once
// The end of a frame in the Direct3D mode, and VirBackBuffer mode: while a whole-screen
// effect runs, everything aimed at BackBuffer is collected in VirBackBuffer, so that the
// effect can work on the finished picture before it reaches the screen.
#include "foundation/timer.h"
#include "media/surface.h"

// Direct3D: copies a collected picture onto BackBuffer, waits for the frame's due time
// through the frame pacer, ends the scene and hands the frame over. 1 shown, 0 the device is
// lost. DirectDraw mode: 1 without action.
//
// The pacer holds the game thread with vertical sync on as well: the hand-over never waits for
// the display, so vertical sync changes only when the main thread shows a frame, never how
// fast the game runs.
int DDPresent(unsigned fps, int showFps, DDSURFACEDATA* fpsFont);
// Hands the finished back buffer to the main thread, which presents it (in 8-bit mode through
// the palette of the display as it is now). Never waits. When the main thread falls so far
// behind that a frame is dropped, the report log says so, once for each DDInit.
void DDHandOverFrame();
void DDResetHandOverReport();
void DDSetVirBackBuffer(int on);
// The collected picture drawn opaque onto the back buffer.
void DDCopyVirBackBuffer(DDSURFACEDATA* back, DDSURFACEDATA* vir);
// What the frame pacer needs of the media library.
sFrameWaitHooks DDFrameWaitHooks();
