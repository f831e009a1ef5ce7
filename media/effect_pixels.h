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

// Channels of 16- and 32-bit pixels as the effects mix them (in their own units), the result
// composed for the destination (into the full-screen back buffer, into a texture with the
// alpha bit, or into a DirectDraw surface with its own byte 3 kept), and the transparency of
// a source pixel. The settings are copied in once, so that a pixel loop reads no globals;
// the rules are those of pixel_access.h.
struct sEffectCodec {
  int bpp = 32;
  bool d3d = false;
  bool toBack = false;
  std::uint32_t key = 0;
  DDPIXELLAYOUT tex, back;

  sChannels Split(std::uint32_t p) const {
    if (bpp != 16) return SplitPixel32(p);
    return sChannels{static_cast<int>((p >> tex.nShiftR) & tex.nMaxR),
                     static_cast<int>((p >> tex.nShiftG) & tex.nMaxG),
                     static_cast<int>((p >> tex.nShiftB) & tex.nMaxB), 0};
  }
  std::uint32_t Compose(int r, int g, int b, std::uint32_t old) const {
    if (bpp == 32) {
      const std::uint32_t rgb = ((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF);
      return d3d ? 0xFF000000u | rgb : (old & 0xFF000000u) | rgb;
    }
    if (d3d && toBack)
      return ((b << back.nShiftB) | ((g * 2) << back.nShiftG) | (r << back.nShiftR)) & 0xFFFF;
    const std::uint32_t rgb = ((r & tex.nMaxR) << tex.nShiftR) | ((g & tex.nMaxG) << tex.nShiftG) |
                              ((b & tex.nMaxB) << tex.nShiftB);
    return d3d ? rgb | ((tex.nMaxA & 1) << tex.nShiftA) : rgb & 0xFFFF;
  }
  bool Transparent(std::uint32_t p) const {
    if (!d3d) return p == key;
    return bpp == 32 ? (p >> 24) == 0 : (p & 0xA000u) == 0;
  }
  // A source pixel copied whole in the Direct3D mode: into the full-screen back buffer at 16
  // bits converted to its layout, at 32 bits made opaque.
  std::uint32_t CopyD3D(std::uint32_t p) const {
    if (bpp == 32) return p | 0xFF000000u;
    if (!toBack) return p;
    const sChannels c = Split(p);
    return Compose(c.r, c.g, c.b, 0);
  }
};
inline sEffectCodec EffectCodec(cEffectLocks& locks, int bpp) {
  sEffectCodec codec;
  codec.bpp = bpp;
  codec.d3d = lpDTCon != nullptr;
  codec.toBack = bpp == 16 && codec.d3d && DDIsFullscreenBack(locks.Dst().m_lpSD);
  codec.key = g_dwTransmit;
  codec.tex = g_PixelLayout;
  codec.back = g_BackPixelLayout;
  return codec;
}

// Runs body with a value of the pixel type of the current depth (8 bits only in the DirectDraw
// mode); at other depths nothing runs.
template <class F>
void ForPixelType(F body) {
  if (g_nBpp == 8 && !lpDTCon)
    body(std::uint8_t{});
  else if (g_nBpp == 16)
    body(std::uint16_t{});
  else if (g_nBpp == 32)
    body(std::uint32_t{});
}

// Division of a sum of at most 255 per pixel by the count of pixels n (1 to kMaxCount) as a
// 32 x 32-bit multiply and a shift, exact for every sum below 2^31. With l the bits of n - 1,
// shift = 31 + l and m = ceil(2^shift / n), m < 2^32 and m * n - 2^shift < n <= 2^l, so the
// error the multiply adds stays below 1 / n: floor(s * m / 2^shift) = floor(s / n).
struct sReciprocal {
  static constexpr std::uint32_t kMaxCount = 1u << 23;  // 255 * kMaxCount < 2^31
  std::uint32_t m = 1u << 31, shift = 31;
  static sReciprocal Of(std::uint32_t n) {
    const std::uint32_t bits = n > 1 ? 32 - static_cast<std::uint32_t>(__builtin_clz(n - 1)) : 0;
    sReciprocal r;
    r.shift = 31 + bits;
    r.m = static_cast<std::uint32_t>(((std::uint64_t{1} << r.shift) + n - 1) / n);
    return r;
  }
  std::uint32_t Divide(std::uint32_t sum) const {
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(sum) * m) >> shift);
  }
};

// The Direct3D quads of the effects. ResolveQuadPair: the surfaces a drawing reaches and the
// source rectangle of a mirrored view (sw, sh may turn negative); false when either surface
// has no texture part. QuadPath: whether the pair is drawn as a quad (a render target from a
// texture outside system memory) rather than pixel by pixel. BeginQuadOn opens the scene with
// the destination as render target (false: nothing may be drawn); EndQuadOn restores the
// default target.
bool ResolveQuadPair(DDSURFACEDATA*& dst, DDSURFACEDATA*& src, int& sx, int& sy, int& sw, int& sh);
bool QuadPath(const DDSURFACEDATA* dst, const DDSURFACEDATA* src);
bool BeginQuadOn(DDSURFACEDATA* dst);
void EndQuadOn();
