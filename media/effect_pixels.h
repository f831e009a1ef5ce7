#pragma once
// What the software effects share beyond the pixel rules: the area of a locked surface that
// holds pixels, and the split and composition of channels in the current drawing mode.
#include <algorithm>
#include <cstdint>

#include "media/palette.h"
#include "media/pixel_access.h"

// Width and height of a locked surface that are backed by pixels: an effect reads and writes
// nothing outside them, whatever rectangle it is given.
struct sLockArea {
  int w = 0, h = 0;
};
inline sLockArea LockArea(const cDDLock& lock) {
  const cPixelSurface* px = lock.m_lpSD->Pixels();
  return {std::min(lock.m_lpSD->nWidth, px->Width()), std::min(lock.m_lpSD->nHeight, px->Height())};
}

// The offsets [from, to) of a span of n at start s whose points lie in [0, size).
inline void Overlap(long long s, long long n, long long size, int& from, int& to) {
  from = static_cast<int>(std::clamp(-s, 0LL, std::max(n, 0LL)));
  to = static_cast<int>(std::clamp(size - s, static_cast<long long>(from), std::max(n, 0LL)));
}

// Calls f(destination pixel, source pixel) for every offset of a w x h rectangle whose
// destination point (x + i, y + j) and source point (sx + i, sy + j) both lie on their
// surfaces, row by row.
template <class T, class F>
void ForEachPixelPair(cEffectLocks& locks, int x, int y, int w, int h, int sx, int sy, F f) {
  const sLockArea da = LockArea(locks.Dst()), sa = LockArea(locks.Src());
  int i0, i1, j0, j1, si0, si1, sj0, sj1;
  Overlap(x, w, da.w, i0, i1);
  Overlap(y, h, da.h, j0, j1);
  Overlap(sx, w, sa.w, si0, si1);
  Overlap(sy, h, sa.h, sj0, sj1);
  i0 = std::max(i0, si0);
  i1 = std::min(i1, si1);
  for (int j = std::max(j0, sj0); j < std::min(j1, sj1); ++j) {
    T* out = LockRow<T>(locks.Dst(), y + j);
    const T* in = LockRow<T>(locks.Src(), sy + j);
    for (int i = i0; i < i1; ++i) f(out[x + i], static_cast<std::uint32_t>(in[sx + i]));
  }
}

// Channels of 16- and 32-bit pixels as the effects mix them (in their own units) and the
// result composed for the destination: into the full-screen back buffer, into a texture with
// the alpha bit, or into a DirectDraw surface with its own byte 3 kept.
struct sEffectCodec {
  int bpp = 32;
  bool toBack = false;

  sChannels Split(std::uint32_t p) const {
    return bpp == 16 ? SplitPixel16(p, g_PixelLayout) : SplitPixel32(p);
  }
  std::uint32_t Compose(int r, int g, int b, std::uint32_t old) const {
    if (bpp == 32) return Compose32(r, g, b, old);
    return lpDTCon ? ComposeD3D16(r, g, b, toBack) : ComposeDD16(r, g, b);
  }
  // A source pixel copied whole in the Direct3D mode: into the full-screen back buffer at 16
  // bits converted to its layout, at 32 bits made opaque.
  std::uint32_t CopyD3D(std::uint32_t p) const {
    if (bpp == 32) return p | 0xFF000000u;
    return toBack ? TextureToBack16(p) : p;
  }
};
inline sEffectCodec EffectCodec(cEffectLocks& locks, int bpp) {
  return {bpp, bpp == 16 && lpDTCon && DDIsFullscreenBack(locks.Dst().m_lpSD)};
}

// The Direct3D quads of the effects. ResolveQuadPair: the surfaces a drawing reaches and the
// source rectangle of a mirrored view (sw, sh may turn negative); false when either surface
// has no texture part. QuadPath: whether the pair is drawn as a quad (a render target from a
// texture outside system memory) rather than pixel by pixel. BeginQuadOn opens the scene with
// the destination as render target (false: nothing may be drawn); EndQuadOn restores the
// default target.
bool ResolveQuadPair(DDSURFACEDATA*& dst, DDSURFACEDATA*& src, int& sx, int& sy, int& sw,
                     int& sh);
bool QuadPath(const DDSURFACEDATA* dst, const DDSURFACEDATA* src);
bool BeginQuadOn(DDSURFACEDATA* dst);
void EndQuadOn();
