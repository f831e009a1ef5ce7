// Loss of the device or of surfaces, and their restore. Surfaces in CPU memory are never
// lost on their own; the loss is made by DDSimulateDeviceLoss so that the restore paths run.
#include <cstring>

#include "foundation/report.h"
#include "media/device.h"
#include "media/font.h"
#include "media/palette.h"
#include "media/surface_create.h"

namespace {

void Wipe(cPixelSurface* pixels) {
  if (!pixels) return;
  pixels->Fill(0xCDCDCDCDu);
  pixels->m_bLost = true;
}

bool HasFile(const DDSURFACEDATA& s) { return !s.szFile.empty() && s.szFile != "E"; }

}  // namespace

void DDSimulateDeviceLoss() {
  if (lpDTCon) {
    if (lpDevice) lpDevice->bLost = true;
    for (DDSURFACEDATA* s : g_SurfaceRestoreList)
      if (s->lpDT && s->lpDT->MemoryType != DTMEMORYTYPE_SYSTEM) Wipe(s->lpDT->lpSurface);
    Wipe(BackBuffer.Pixels());
    return;
  }
  if (!lpDD) return;
  Wipe(g_Primary.Pixels());
  Wipe(BackBuffer.Pixels());
  for (int i = 0; g_lpDDSurfaces && i < g_nDDSurfaceCount; ++i)
    if (g_lpDDSurfaces[i].nDDMemory == 0) Wipe(g_lpDDSurfaces[i].Pixels());
}

int DDRestoreSurface() {
  ErrLog("Restore In");
  if (!lpDTCon) {
    ErrLog("DDではDDRestoreSurfaceは未対応");
    return 1;
  }
  // Asked before anything is released: a device that is not waiting for a reset keeps its
  // textures, so a needless request cannot leave every surface without pixels.
  if (!lpDevice || !lpDevice->bLost) {
    ErrLog("復旧失敗…リセット可能な状態ではありません…");
    return 0;
  }
  for (DDSURFACEDATA* s : g_SurfaceRestoreList) {
    if (!s->lpDT || s->lpDT->MemoryType == DTMEMORYTYPE_SYSTEM) continue;
    s->lpDT->lpSurface = nullptr;
    s->lpDT->lpTexture.reset();
  }
  lpDevice->bLost = false;
  if (cPixelSurface* back = BackBuffer.Pixels()) {
    back->Fill(0);
    back->m_bLost = false;
  }
  // A copy: a re-creation may not add entries, but the list must not change under the loop.
  const std::vector<DDSURFACEDATA*> surfaces(g_SurfaceRestoreList.begin(),
                                             g_SurfaceRestoreList.end());
  for (DDSURFACEDATA* s : surfaces) {
    const DTDATA& dt = *s->lpDT;
    if (HasFile(*s)) {
      if (DDCreateSurfaceFromFile(s, s->szFile.c_str(), dt.bColorKey, g_nBpp, s->nDDMemory,
                                  dt.MemoryType, 0, 0, s->nMirrorW, s->nMirrorH, 1) != 0)
        ErrLog("Err");
    } else {
      if (!DDCreateSurface(s, s->nWidth, s->nHeight, dt.bColorKey, s->nDDMemory, dt.MemoryType, 0,
                           1))
        ErrLog("Err");
      s->bLost = 1;
    }
  }
  ResetFonts();
  ErrLog("Restore Out");
  return 1;
}

bool DDRestore() {
  if (lpDTCon) {
    ErrLog("D3DではDDRestoreは未対応");
    return true;
  }
  cPixelSurface* primary = g_Primary.Pixels();
  if (!primary || !primary->m_bLost) return true;
  primary->m_bLost = false;
  if (cPixelSurface* back = BackBuffer.Pixels()) back->m_bLost = false;
  for (int i = 0; g_lpDDSurfaces && i < g_nDDSurfaceCount; ++i) {
    DDSURFACEDATA& s = g_lpDDSurfaces[i];
    cPixelSurface* pixels = s.Pixels();
    if (!pixels || !pixels->m_bLost) continue;
    pixels->m_bLost = false;
    if (s.nDDMemory != 0) continue;
    if (HasFile(s))
      DDReloadSurface(&s, g_nBpp);
    else
      s.bLost = 1;
  }
  if (g_nBpp == 8 && g_lpDDPalette) g_lpDDPalette->SetEntries(0, 256, g_WorkPalette);
  ResetFonts();
  return true;
}

bool DDReloadSurface(DDSURFACEDATA* surface, int bpp) {
  if (lpDTCon || !surface || !surface->lpDDData) return true;
  const int indexMap = !surface->lpDDData->lpIndexMap.empty();
  return CopyBitmap(surface, surface->szFile.c_str(), bpp, indexMap, surface->nMirrorW,
                    surface->nMirrorH);
}
