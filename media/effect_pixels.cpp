#include "media/effect_pixels.h"

#include "media/blit.h"
#include "media/device_scene.h"
#include "media/quad_draw.h"
#include "media/surface_create.h"

bool ResolveQuadPair(DDSURFACEDATA*& dst, DDSURFACEDATA*& src, int& sx, int& sy, int& sw, int& sh) {
  if (src->lpMirror) DDMirrorRect(src, &sx, &sy, &sw, &sh);
  DDResolveTargets(&dst, &src);
  return dst->lpDT && src->lpDT;
}

bool QuadPath(const DDSURFACEDATA* dst, const DDSURFACEDATA* src) {
  return dst->lpDT->bRenderTarget && src->lpDT->MemoryType != DTMEMORYTYPE_SYSTEM;
}

bool BeginQuadOn(DDSURFACEDATA* dst) { return DDBeginScene() && DDSetRenderTarget(0, dst); }

void EndQuadOn() { DDSetRenderTarget(0, lpDTCon->lpDefaultTarget); }
