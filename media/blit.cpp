#include "media/blit.h"

#include <algorithm>
#include <cstdarg>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "foundation/report.h"
#include "media/device_scene.h"
#include "media/palette.h"
#include "media/pixel_access.h"
#include "media/quad_draw.h"
#include "media/raster.h"
#include "media/sprite_batch.h"
#include "media/surface_create.h"
#include "media/wide_vectors.h"

namespace {

// Cuts a rectangle to a surface of the given size.
void CutRect(int& x, int& y, int& w, int& h, int width, int height) {
  if (x < 0) {
    w += x;
    x = 0;
  }
  if (y < 0) {
    h += y;
    y = 0;
  }
  w = std::min(w, width - x);
  h = std::min(h, height - y);
}

// One axis of a blit of equal sizes. A negative source start becomes 0 without moving the
// destination; a negative destination start moves the source start.
void ClipAxisEqual(int& x, int& sx, int& sw, int dstSize, int srcSize) {
  if (sx < 0) {
    sw += sx;
    sx = 0;
  }
  if (sx + sw > srcSize) sw = srcSize - sx;
  if (x < 0) {
    sx -= x;
    sw += x;
    x = 0;
  }
  if (x + sw > dstSize) sw = dstSize - x;
}

// One axis of a stretched blit: the source cut to its surface, the destination size shrunk
// in proportion; in the DirectDraw mode the destination is then cut to its surface too.
void ClipAxisStretch(int& x, int& w, int& sx, int& sw, int dstSize, int srcSize, bool cutDst) {
  const bool mirrored = sw < 0;
  int left = mirrored ? sx + sw : sx;
  int span = mirrored ? -sw : sw;
  const int given = span;
  if (left < 0) {
    span += left;
    left = 0;
  }
  if (left + span > srcSize) span = srcSize - left;
  if (span != given) w = static_cast<int>(static_cast<long long>(w) * span / given);
  sx = mirrored ? left + span : left;
  sw = mirrored ? -span : span;
  if (!cutDst || w <= 0 || sw <= 0) return;
  if (x < 0) {
    const int cut = static_cast<int>(static_cast<long long>(-x) * sw / w);
    sx += cut;
    sw -= cut;
    w += x;
    x = 0;
  }
  if (w > 0 && x + w > dstSize) {
    const int cut = static_cast<int>(static_cast<long long>(x + w - dstSize) * sw / w);
    sw -= cut;
    w = dstSize - x;
  }
}

bool Inside(const DDSURFACEDATA* s, int x, int y) {
  return x >= 0 && y >= 0 && x < s->nWidth && y < s->nHeight;
}

// Width and height of a surface that are backed by pixels.
int PixelWidth(const DDSURFACEDATA* s, const cPixelSurface* px) {
  return std::min(s->nWidth, px->Width());
}
int PixelHeight(const DDSURFACEDATA* s, const cPixelSurface* px) {
  return std::min(s->nHeight, px->Height());
}

// One row of the pixel copy: the source pixels at the column offsets, each written to its
// destination column unless it is transparent (with flags 1).
template <class D, class S>
void PixelPathRow(D* out, const S* in, const int* to, const int* from, int n, bool keyed,
                  bool toBack) {
  for (int c = 0; c < n; ++c) {
    std::uint32_t p = in[from[c]];
    if (keyed && IsTransparentPixel(p, g_nBpp)) continue;
    if (toBack) p = TextureToBack16(p);
    out[to[c]] = static_cast<D>(p);
  }
}

// The pixel copy of the Direct3D mode (a destination that is not a render target, or a source
// in system memory): no clipping, every pixel tested against both surfaces.
void PixelPathBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx,
                  int sy, int sw, int sh, int flags) {
  if (g_nBpp != 16 && g_nBpp != 32) return;
  if (w <= 0 || h <= 0 || !SaneCoords({x, y, w, h, sx, sy, sw, sh})) return;
  cEffectLocks locks(dst, src, g_nBpp);
  if (!locks.Ok()) return;
  cPixelSurface* dpx = locks.Dst().m_lpSD->Pixels();
  cPixelSurface* spx = locks.Src().m_lpSD->Pixels();
  const int dw = PixelWidth(dst, dpx), dh = PixelHeight(dst, dpx);
  const int swMax = PixelWidth(src, spx), shMax = PixelHeight(src, spx);
  const bool toBack = g_nBpp == 16 && DDIsFullscreenBack(locks.Dst().m_lpSD);
  const bool equal = sw == w && sh == h;
  const float fx = static_cast<float>(sw) / static_cast<float>(w);
  const float fy = static_cast<float>(sh) / static_cast<float>(h);
  // Offset of destination position k, or false when the position takes no source pixel.
  auto offset = [equal](int k, float f, int span, int& t) {
    if (equal) {
      t = k;
      return true;
    }
    t = static_cast<int>(static_cast<float>(k) * f);
    if (span >= 0) return t >= 0 && t < span;
    if (!(t > span && t <= 0)) return false;
    t -= 1;
    return true;
  };
  // The columns that take a source pixel, found once for every row: destination and source
  // column. Only the positions inside the destination are visited.
  thread_local std::vector<int> to, from;
  to.clear();
  from.clear();
  for (int k = std::max(0, -x); k < std::min(w, dw - x); ++k) {
    int t;
    if (!offset(k, fx, sw, t)) continue;
    const int tx = x + k, vx = sx + t;
    if (tx < 0 || tx >= dw || vx < 0 || vx >= swMax) continue;
    to.push_back(tx);
    from.push_back(vx);
  }
  const int n = static_cast<int>(to.size());
  if (n == 0) return;
  const bool keyed = flags == 1;
  const int db = dpx->Bytes(), sb = spx->Bytes();
  for (int j = std::max(0, -y); j < std::min(h, dh - y); ++j) {
    int u;
    if (!offset(j, fy, sh, u)) continue;
    const int ty = y + j, vy = sy + u;
    if (ty < 0 || ty >= dh || vy < 0 || vy >= shMax) continue;
    std::uint8_t* out = dpx->Row(ty);
    const std::uint8_t* in = spx->Bits() + static_cast<std::size_t>(vy) * spx->PitchBytes();
    auto row = [&](auto* o, const auto* i) {
      PixelPathRow(o, i, to.data(), from.data(), n, keyed, toBack);
    };
    if (db == 4 && sb == 4)
      row(reinterpret_cast<std::uint32_t*>(out), reinterpret_cast<const std::uint32_t*>(in));
    else if (db == 2 && sb == 2)
      row(reinterpret_cast<std::uint16_t*>(out), reinterpret_cast<const std::uint16_t*>(in));
    else
      for (int c = 0; c < n; ++c) {
        std::uint32_t p = spx->Get(from[c], vy);
        if (keyed && IsTransparentPixel(p, g_nBpp)) continue;
        if (toBack) p = TextureToBack16(p);
        dpx->Put(to[c], ty, p);
      }
  }
}

// Pixels other than the key copied. Vectors of 16 bytes where the machine has them.
template <class T>
void KeyedCopy(T* out, const T* in, int n, T key) {
  int k = 0;
#ifdef __SSE2__
  constexpr int step = 16 / sizeof(T);
  __m128i keys;
  if constexpr (sizeof(T) == 1)
    keys = _mm_set1_epi8(static_cast<char>(key));
  else if constexpr (sizeof(T) == 2)
    keys = _mm_set1_epi16(static_cast<short>(key));
  else
    keys = _mm_set1_epi32(static_cast<int>(key));
  for (; k + step <= n; k += step) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k));
    __m128i same;
    if constexpr (sizeof(T) == 1)
      same = _mm_cmpeq_epi8(s, keys);
    else if constexpr (sizeof(T) == 2)
      same = _mm_cmpeq_epi16(s, keys);
    else
      same = _mm_cmpeq_epi32(s, keys);
    const int mask = _mm_movemask_epi8(same);
    if (mask == 0xFFFF) continue;
    auto* o = reinterpret_cast<__m128i*>(out + k);
    if (mask == 0) {
      _mm_storeu_si128(o, s);
      continue;
    }
    const __m128i d = _mm_loadu_si128(o);
    _mm_storeu_si128(o, _mm_or_si128(_mm_and_si128(same, d), _mm_andnot_si128(same, s)));
  }
#endif
  for (; k < n; ++k)
    if (in[k] != key) out[k] = in[k];
}

#if defined(__x86_64__) && defined(__GNUC__)
#define TW_BLIT_AVX2 1
// KeyedCopy of 32-bit pixels eight at a time, on machines that have the wider vectors.
__attribute__((target("avx2"))) void KeyedCopyWide(std::uint32_t* out, const std::uint32_t* in,
                                                   int n, std::uint32_t key) {
  const __m256i keys = _mm256_set1_epi32(static_cast<int>(key));
  int k = 0;
  for (; k + 8 <= n; k += 8) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + k));
    const __m256i same = _mm256_cmpeq_epi32(s, keys);
    const int mask = _mm256_movemask_ps(_mm256_castsi256_ps(same));
    if (mask == 0xFF) continue;
    auto* o = reinterpret_cast<__m256i*>(out + k);
    if (mask == 0) {
      _mm256_storeu_si256(o, s);
      continue;
    }
    _mm256_storeu_si256(o, _mm256_blendv_epi8(s, _mm256_loadu_si256(o), same));
  }
  _mm256_zeroupper();
  if (k < n) KeyedCopy(out + k, in + k, n - k, key);
}
#endif

// Rows of one pixel size copied with an exact colour key and nearest stretching. Within one
// surface the rows go bottom-up when the destination lies below, and each source row is read
// whole first, so that the copy takes what was there before.
template <class T>
void CopyRows(cPixelSurface* dpx, int x, int y, int w, int h, const cPixelSurface* spx, int sx,
              int sy, int sw, int sh, bool keyed, T key) {
  const bool same = dpx == spx;
  thread_local std::vector<T> buffer;
  for (int n = 0; n < h; ++n) {
    const int j = same && y > sy ? h - 1 - n : n;
    const int v = sy + (sh == h ? j : static_cast<int>(static_cast<long long>(j) * sh / h));
    const T* in =
        reinterpret_cast<const T*>(spx->Bits() + static_cast<std::size_t>(v) * spx->PitchBytes()) +
        sx;
    if (same) {
      buffer.assign(in, in + sw);
      in = buffer.data();
    }
    T* out = reinterpret_cast<T*>(dpx->Row(y + j)) + x;
    if (sw == w && !keyed) {
      std::memcpy(out, in, static_cast<std::size_t>(w) * sizeof(T));
    } else if (sw == w) {
#ifdef TW_BLIT_AVX2
      if constexpr (sizeof(T) == 4) {
        if (WideVectorsOn()) {
          KeyedCopyWide(out, in, w, key);
          continue;
        }
      }
#endif
      KeyedCopy(out, in, w, key);
    } else {
      for (int k = 0; k < w; ++k) {
        const T p = in[static_cast<int>(static_cast<long long>(k) * sw / w)];
        if (!keyed || p != key) out[k] = p;
      }
    }
  }
}

// The copy of the DirectDraw mode after clipping.
int DirectDrawBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx,
                  int sy, int sw, int sh, int flags) {
  cPixelSurface* dpx = dst->Pixels();
  cPixelSurface* spx = src->Pixels();
  if (!dpx || !spx || dpx->Bytes() != spx->Bytes()) return 0;
  // Rectangles beyond the pixels (a record whose size disagrees with its pixels) are refused,
  // as the blitter refuses rectangles outside a surface.
  if (x < 0 || y < 0 || x + w > dpx->Width() || y + h > dpx->Height() || sx < 0 || sy < 0 ||
      sx + sw > spx->Width() || sy + sh > spx->Height())
    return 0;
  const bool keyed = flags == 1;
  switch (dpx->Bytes()) {
    case 1:
      CopyRows<std::uint8_t>(dpx, x, y, w, h, spx, sx, sy, sw, sh, keyed,
                             static_cast<std::uint8_t>(g_dwTransmit));
      break;
    case 2:
      CopyRows<std::uint16_t>(dpx, x, y, w, h, spx, sx, sy, sw, sh, keyed,
                              static_cast<std::uint16_t>(g_dwTransmit));
      break;
    default:
      CopyRows<std::uint32_t>(dpx, x, y, w, h, spx, sx, sy, sw, sh, keyed, g_dwTransmit);
      break;
  }
  return 1;
}

void FillPixels(cPixelSurface* px, int x, int y, int w, int h, std::uint32_t value) {
  for (int j = 0; j < h; ++j) px->FillRow(x, y + j, w, value);
}

// The colour-fill blit of the DirectDraw mode: the rectangle cut to the surface.
void DirectDrawFill(DDSURFACEDATA* dst, int x, int y, int w, int h, std::uint32_t value) {
  cPixelSurface* px = dst ? dst->Pixels() : nullptr;
  if (!px || !SaneCoords({x, y, w, h})) return;
  CutRect(x, y, w, h, PixelWidth(dst, px), PixelHeight(dst, px));
  if (w > 0 && h > 0) FillPixels(px, x, y, w, h, value);
}

}  // namespace

int DDClipRect(DDSURFACEDATA* dst, int* x, int* y, int* w, int* h, DDSURFACEDATA* src, int* sx,
               int* sy, int* sw, int* sh) {
  if (!dst || !src || *w <= 0 || *h <= 0 || *sw == 0 || *sh == 0) return 0;
  if (!SaneCoords({*x, *y, *w, *h, *sx, *sy, *sw, *sh})) return 0;
  const bool swNegative = *sw < 0, shNegative = *sh < 0;
  if (*sw == *w && *sh == *h) {
    ClipAxisEqual(*x, *sx, *sw, dst->nWidth, src->nWidth);
    ClipAxisEqual(*y, *sy, *sh, dst->nHeight, src->nHeight);
    *w = *sw;
    *h = *sh;
  } else {
    // The DirectDraw blitter takes no mirrored rectangles.
    if (!lpDTCon && (swNegative || shNegative)) return 0;
    ClipAxisStretch(*x, *w, *sx, *sw, dst->nWidth, src->nWidth, !lpDTCon);
    ClipAxisStretch(*y, *h, *sy, *sh, dst->nHeight, src->nHeight, !lpDTCon);
  }
  return (*sw < 0) == swNegative && (*sh < 0) == shNegative && *sw != 0 && *sh != 0 && *w > 0 &&
         *h > 0;
}

void DDResolveTargets(DDSURFACEDATA** dst, DDSURFACEDATA** src) {
  *dst = DDResolveMirror(*dst);
  if (src) *src = DDResolveMirror(*src);
  if (lpDTCon && lpDTCon->bVirCopy) {
    *dst = &BackBuffer;
    if (src) *src = &VirBackBuffer;
    return;
  }
  DDRedirectBackBuffer(dst);
  if (src) DDRedirectBackBuffer(src);
}

void DDKeyClear(DDSURFACEDATA* dst, int x, int y, int w, int h) {
  cPixelSurface* px = dst->Pixels();
  if (!px || !lpDTCon) return;
  // The transparent colour of the target: opaque on the screen, alpha 0 in a texture. At
  // 16 bits the colour is the 8-bit form of the key, so Clear converts it to the target.
  RasterClear(*px, x, y, w, h,
              dst == &BackBuffer ? lpDTCon->dwTransmitBack : lpDTCon->dwTransmitTex);
}

void DDDrawQuad(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy,
                int sw, int sh, std::uint32_t colour, std::uint32_t colourOp,
                std::uint32_t alphaOp) {
  cPixelSurface* dpx = dst->Pixels();
  cPixelSurface* spx = src->Pixels();
  if (!dpx || !spx) return;
  sQuadStage stage;
  stage.dwColor = colour;
  stage.dwColorOp = colourOp;
  stage.dwAlphaOp = alphaOp;
  RasterTexturedQuad(*dpx, x, y, w, h, *spx, sx, sy, sw, sh, stage);
}

void DDDrawBox(DDSURFACEDATA* dst, int x, int y, int w, int h, std::uint32_t argb) {
  if (cPixelSurface* px = dst->Pixels()) RasterColourQuad(*px, x, y, w, h, argb);
}

int DDBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy,
          int flags) {
  if (lpDTCon) return DDBltStretch(dst, x, y, w, h, src, sx, sy, w, h, flags);
  int sw = w, sh = h;
  if (!DDClipRect(dst, &x, &y, &w, &h, src, &sx, &sy, &sw, &sh)) return 0;
  return DirectDrawBlt(dst, x, y, sw, sh, src, sx, sy, sw, sh, flags);
}

int DDBltStretch(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy,
                 int sw, int sh, int flags) {
  if (!dst || !src) return 0;
  if (!lpDTCon) {
    if (!DDClipRect(dst, &x, &y, &w, &h, src, &sx, &sy, &sw, &sh)) return 0;
    return DirectDrawBlt(dst, x, y, w, h, src, sx, sy, sw, sh, flags);
  }
  if (src->lpMirror) DDMirrorRect(src, &sx, &sy, &sw, &sh);
  DDResolveTargets(&dst, &src);
  if (!dst->lpDT || !src->lpDT) return 0;
  if (!dst->lpDT->bRenderTarget || src->lpDT->MemoryType == DTMEMORYTYPE_SYSTEM) {
    PixelPathBlt(dst, x, y, w, h, src, sx, sy, sw, sh, flags);
    return 1;
  }
  if (!DDClipRect(dst, &x, &y, &w, &h, src, &sx, &sy, &sw, &sh)) return 0;
  if (DDSpriteBatchRecord(dst, x, y, w, h, src, sx, sy, sw, sh, flags)) return 1;
  if (!DDBeginScene() || !DDSetRenderTarget(0, dst)) return 0;
  if (flags == 0 && src->lpDT->bColorKey) DDKeyClear(dst, x, y, w, h);
  DDDrawQuad(dst, x, y, w, h, src, sx, sy, sw, sh, lpDTCon->dwColor, lpDTCon->dwColorOp,
             lpDTCon->dwAlphaOp);
  DDSetRenderTarget(0, lpDTCon->lpDefaultTarget);
  return 1;
}

void DDBltBlend(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy,
                int flags, const int* blend) {
  if (lpDTCon)
    DDBltStretchBlend(dst, x, y, w, h, src, sx, sy, w, h, flags, blend);
  else
    DDBlt(dst, x, y, w, h, src, sx, sy, flags);
}

void DDBltStretchBlend(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx,
                       int sy, int sw, int sh, int flags, const int* blend) {
  if (!lpDTCon || !blend) {
    DDBltStretch(dst, x, y, w, h, src, sx, sy, sw, sh, flags);
    return;
  }
  DDSetColor(static_cast<std::uint32_t>(blend[0]));
  DDSetColorOp(static_cast<std::uint32_t>(blend[1]));
  DDBltStretch(dst, x, y, w, h, src, sx, sy, sw, sh, flags);
  DDResetColor();
  DDResetColorOp();
}

void DDSetColor(std::uint32_t argb) {
  if (lpDTCon) lpDTCon->dwColor = argb;
}
void DDResetColor() { DDSetColor(0xFFFFFFFF); }
void DDSetColorOp(std::uint32_t op) {
  if (lpDTCon) lpDTCon->dwColorOp = op;
}
void DDResetColorOp() { DDSetColorOp(D3DTOP_MODULATE); }
void DDSetAlphaOp(std::uint32_t op) {
  if (lpDTCon) lpDTCon->dwAlphaOp = op;
}
void DDResetAlphaOp() { DDSetAlphaOp(D3DTOP_SELECTARG1); }

void DDBoxFill(DDSURFACEDATA* dst, int x, int y, int w, int h, std::uint32_t palNum) {
  if (lpDTCon)
    DDBoxFillColor(dst, x, y, w, h, PalNumToRGB(palNum));
  else
    DirectDrawFill(dst, x, y, w, h, PalNumToRGB(palNum));
}

void DDClear(DDSURFACEDATA* dst, std::uint32_t palNum) {
  if (dst) DDBoxFill(dst, 0, 0, dst->nWidth, dst->nHeight, palNum);
}

void DDBoxFillColor(DDSURFACEDATA* dst, int x, int y, int w, int h, std::uint32_t colour) {
  if (!dst) return;
  if (!lpDTCon) {
    DirectDrawFill(dst, x, y, w, h, colour);
    return;
  }
  DDResolveTargets(&dst, nullptr);
  cPixelSurface* px = dst->Pixels();
  if (!dst->lpDT || !px || !SaneCoords({x, y, w, h})) return;
  if (dst->lpDT->bRenderTarget) {
    CutRect(x, y, w, h, dst->nWidth, dst->nHeight);
    if (w <= 0 || h <= 0) return;
    const std::uint32_t key = dst == &BackBuffer ? lpDTCon->dwTransmitBack : lpDTCon->dwTransmitTex;
    if (dst->lpDT->bColorKey && (g_nBpp == 16 || g_nBpp == 32) && colour == key) {
      if (!DDBeginScene() || !DDSetRenderTarget(0, dst)) return;
      RasterClear(*px, x, y, w, h, colour);
      DDSetRenderTarget(0, lpDTCon->lpDefaultTarget);
      return;
    }
    if (DDBoxBatchRecord(dst, x, y, w, h, colour)) return;
    if (!DDBeginScene() || !DDSetRenderTarget(0, dst)) return;
    DDDrawBox(dst, x, y, w, h, colour);
    DDSetRenderTarget(0, lpDTCon->lpDefaultTarget);
    return;
  }
  cDDLock lock(dst, g_nBpp);
  if (!lock.m_lpBits) return;
  std::uint32_t value = colour;
  if (g_nBpp == 16) {
    const DDPIXELLAYOUT& l = g_PixelLayout;
    const sChannels c = SplitPixel32(colour);
    value = (ChannelFrom8(c.r, l.nMaxR) << l.nShiftR) | (ChannelFrom8(c.g, l.nMaxG) << l.nShiftG) |
            (ChannelFrom8(c.b, l.nMaxB) << l.nShiftB) | (ChannelFrom8(c.a, l.nMaxA) << l.nShiftA);
  } else if (g_nBpp != 32) {
    return;
  }
  CutRect(x, y, w, h, PixelWidth(dst, px), PixelHeight(dst, px));
  if (w > 0 && h > 0) FillPixels(px, x, y, w, h, value);
}

void DDClearColor(DDSURFACEDATA* dst, std::uint32_t colour) {
  if (dst) DDBoxFillColor(dst, 0, 0, dst->nWidth, dst->nHeight, colour);
}

void DDPutPixel(DDSURFACEDATA* dst, int x, int y, std::uint32_t palNum) {
  if (!dst || !Inside(dst, x, y)) return;
  DDBoxFill(dst, x, y, 1, 1, palNum);
}

void DDCircle(DDSURFACEDATA* dst, int cx, int cy, int radius, std::uint32_t palNum) {
  if (!dst || radius < 1) return;
  // A circle that cannot touch the surface is not walked point by point.
  const long long left = static_cast<long long>(cx) - radius,
                  right = static_cast<long long>(cx) + radius;
  const long long top = static_cast<long long>(cy) - radius,
                  bottom = static_cast<long long>(cy) + radius;
  if (right < 0 || bottom < 0 || left >= dst->nWidth || top >= dst->nHeight) return;
  const long long far =
      std::max(std::max(std::llabs(cx), std::llabs(static_cast<long long>(cx) - dst->nWidth)),
               std::max(std::llabs(cy), std::llabs(static_cast<long long>(cy) - dst->nHeight)));
  if (radius > 2 * far + 2) return;
  int x = 0, y = radius, d = 3 - 2 * radius;
  while (x <= y) {
    const int points[8][2] = {{cx + x, cy + y}, {cx - x, cy + y}, {cx + x, cy - y},
                              {cx - x, cy - y}, {cx + y, cy + x}, {cx - y, cy + x},
                              {cx + y, cy - x}, {cx - y, cy - x}};
    for (const auto& p : points) DDPutPixel(dst, p[0], p[1], palNum);
    if (d < 0) {
      d += 4 * x + 6;
    } else {
      d += 4 * (x - y) + 10;
      --y;
    }
    ++x;
  }
}

void DDTextOut(DDSURFACEDATA* dst, int x, int y, int cellW, int cellH, DDSURFACEDATA* font,
               const char* text) {
  // Sixteen cells of the sheet must fit the coordinate limit.
  if (!dst || !font || !text || cellW <= 0 || cellH <= 0 || !SaneCoords({x, y}) ||
      cellW > kCoordLimit / 16 || cellH > kCoordLimit / 16)
    return;
  if (lpDTCon) DDSpriteBatchBegin(0);
  long long offset = 0, line = y;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
    // Lines that run far off the surface end the text.
    if (line > kCoordLimit) break;
    const int c = *p;
    if (c == '\n') {
      offset = 0;
      line += cellH;
      continue;
    }
    int row = c >> 4;
    if (c >= 0xA6 && c <= 0xBF)
      row -= 10;
    else if (c >= 0xC0 && c <= 0xDD)
      row -= 4;
    DDBlt(dst, static_cast<int>(x + offset), static_cast<int>(line), cellW, cellH, font,
          (c & 15) * cellW, row * cellH, 1);
    offset += cellW;
    // Text that reaches the right edge of the screen goes on at the start of the next line.
    if (x + offset >= g_nScreenWidth) {
      offset = 0;
      line += cellH;
    }
  }
  if (lpDTCon) DDSpriteBatchFlush();
}

void DDTextOutF(DDSURFACEDATA* dst, int x, int y, int cellW, int cellH, DDSURFACEDATA* font,
                const char* format, ...) {
  if (!format) return;
  char buffer[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  DDTextOut(dst, x, y, cellW, cellH, font, buffer);
}
