#include "media/rotation.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <vector>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "media/effect_pixels.h"
#include "media/raster.h"
#include "media/surface_create.h"

namespace {

// Floor of v / size's remainder: a texel index wrapped into the texture.
inline int WrapTexel(long long v, int size) {
  if (v >= 0 && v < size) return static_cast<int>(v);
  const long long m = v % size;
  return static_cast<int>(m < 0 ? m + size : m);
}

// Pixel x of a row of pixels of the given size in bytes.
inline std::uint32_t ReadPixel(const std::uint8_t* row, int x, int bytes) {
  if (bytes == 2) return reinterpret_cast<const std::uint16_t*>(row)[x];
  if (bytes == 4) return reinterpret_cast<const std::uint32_t*>(row)[x];
  return row[x];
}
// The floor of a float of magnitude below 2^31.
inline int FloorToInt(float f) {
  const int t = static_cast<int>(f);
  return static_cast<float>(t) > f ? t - 1 : t;
}

inline void WritePixel(std::uint8_t* row, int x, int bytes, std::uint32_t value) {
  if (bytes == 2)
    reinterpret_cast<std::uint16_t*>(row)[x] = static_cast<std::uint16_t>(value);
  else if (bytes == 4)
    reinterpret_cast<std::uint32_t*>(row)[x] = value;
  else
    row[x] = static_cast<std::uint8_t>(value);
}

// The rotated quad: every destination pixel whose centre falls inside the turned rectangle
// takes the point-sampled texel under it, combined with the stage and blended with its alpha.
// The corners sit half a pixel up and left of the pixel grid, as every quad of the engine.
void RotatedQuad(cPixelSurface& dst, int cx, int cy, int w, int h, int px, int py, float s,
                 float c, const cPixelSurface& tex, int sx, int sy, int sw, int sh,
                 const sQuadStage& stage) {
  const float ox = static_cast<float>(cx) - 0.5f + static_cast<float>(px - (w >> 1));
  const float oy = static_cast<float>(cy) - 0.5f + static_cast<float>(py - (h >> 1));
  // Corner (u, v) of the rectangle on the screen.
  auto cornerX = [&](float u, float v) {
    return ox + (u - static_cast<float>(px)) * c - (v - static_cast<float>(py)) * s;
  };
  auto cornerY = [&](float u, float v) {
    return oy + (u - static_cast<float>(px)) * s + (v - static_cast<float>(py)) * c;
  };
  const float fw = static_cast<float>(w), fh = static_cast<float>(h);
  const float xs[4] = {cornerX(0, 0), cornerX(0, fh), cornerX(fw, 0), cornerX(fw, fh)};
  const float ys[4] = {cornerY(0, 0), cornerY(0, fh), cornerY(fw, 0), cornerY(fw, fh)};
  const int x0 = std::max(0, static_cast<int>(std::floor(*std::min_element(xs, xs + 4))));
  const int x1 = std::min(dst.Width() - 1, static_cast<int>(std::ceil(*std::max_element(xs, xs + 4))));
  const int y0 = std::max(0, static_cast<int>(std::floor(*std::min_element(ys, ys + 4))));
  const int y1 =
      std::min(dst.Height() - 1, static_cast<int>(std::ceil(*std::max_element(ys, ys + 4))));
  const D3DFORMAT df = dst.Format(), tf = tex.Format();
  const int texW = tex.Width(), texH = tex.Height(), texBytes = tex.Bytes();
  const int dstBytes = dst.Bytes();
  const float fsw = static_cast<float>(sw), fsh = static_cast<float>(sh);
  // The pixel centre of column x of a row in the rectangle's own coordinates.
  struct sPoint {
    float u, v;
  };
  auto point = [&](int x, float dys, float dyc) {
    const float dx = static_cast<float>(x) - xs[0];
    return sPoint{dx * c + dys, dyc - dx * s};
  };
  // A row's pixels inside the rectangle and their texels, combined with the stage together.
  thread_local std::vector<int> tus, tvs;
  thread_local std::vector<std::uint32_t> colours, under;
  for (int y = y0; y <= y1; ++y) {
    std::uint8_t* row = dst.Row(y);
    const float dy = static_cast<float>(y) - ys[0];
    const float dys = dy * s, dyc = dy * c;
    // Each bound holds on one side of a column (u and v are monotonic along the row, in
    // floats too), so the pixels inside form one span, found by halving.
    int from = x0, to = x1;
    auto cut = [&](auto holds, double estimate) {
      if (from > to) return;
      const bool first = holds(from), last = holds(to);
      if (first && last) return;
      if (!first && !last) {
        from = to + 1;
        return;
      }
      // The boundary between the columns that hold and those that do not, most often right
      // at the estimate's column, found by halving from there.
      int lo = from, hi = to;  // holds(lo) == first, holds(hi) == last
      if (estimate > lo && estimate < hi) {
        const int e = static_cast<int>(estimate);
        for (int probe : {e, e + 1})
          if (probe > lo && probe < hi) (holds(probe) == first ? lo : hi) = probe;
      }
      while (hi - lo > 1) {
        const int mid = lo + (hi - lo) / 2;
        (holds(mid) == first ? lo : hi) = mid;
      }
      if (first)
        to = lo;
      else
        from = hi;
    };
    // Where u and v meet their bounds along the row, in doubles (only a guess: the bounds
    // themselves are tested in floats).
    const double x0f = xs[0], dc = c, ds = s;
    auto at = [](double value, double over) { return over != 0 ? value / over : -1.0; };
    cut([&](int x) { return point(x, dys, dyc).u >= 0; }, x0f + at(-dys, dc));
    cut([&](int x) { return point(x, dys, dyc).u < fw; }, x0f + at(fw - dys, dc));
    cut([&](int x) { return point(x, dys, dyc).v >= 0; }, x0f + at(dyc, ds));
    cut([&](int x) { return point(x, dys, dyc).v < fh; }, x0f + at(dyc - fh, ds));
    if (from > to) continue;
    const int n = to - from + 1;
    tus.resize(static_cast<std::size_t>(n));
    tvs.resize(static_cast<std::size_t>(n));
    colours.resize(static_cast<std::size_t>(n));
    int* tu = tus.data();
    int* tv = tvs.data();
    int k = 0;
#ifdef __SSE2__
    // Four pixels at a time, with the same float operations in the same order.
    {
      const __m128 vx0 = _mm_set1_ps(xs[0]), vc = _mm_set1_ps(c), vs = _mm_set1_ps(s);
      const __m128 vdys = _mm_set1_ps(dys), vdyc = _mm_set1_ps(dyc);
      const __m128 vsw = _mm_set1_ps(fsw), vsh = _mm_set1_ps(fsh);
      const __m128 vw = _mm_set1_ps(fw), vh = _mm_set1_ps(fh);
      auto floor4 = [](__m128 f) {
        const __m128i t = _mm_cvttps_epi32(f);
        return _mm_add_epi32(t, _mm_castps_si128(_mm_cmpgt_ps(_mm_cvtepi32_ps(t), f)));
      };
      for (; k + 4 <= n; k += 4) {
        const __m128 x = _mm_cvtepi32_ps(
            _mm_add_epi32(_mm_set1_epi32(from + k), _mm_setr_epi32(0, 1, 2, 3)));
        const __m128 dx = _mm_sub_ps(x, vx0);
        const __m128 u = _mm_add_ps(_mm_mul_ps(dx, vc), vdys);
        const __m128 v = _mm_sub_ps(vdyc, _mm_mul_ps(dx, vs));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(tu + k),
                         floor4(_mm_div_ps(_mm_mul_ps(u, vsw), vw)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(tv + k),
                         floor4(_mm_div_ps(_mm_mul_ps(v, vsh), vh)));
      }
    }
#endif
    for (; k < n; ++k) {
      const sPoint p = point(from + k, dys, dyc);
      tu[k] = FloorToInt(p.u * fsw / fw);
      tv[k] = FloorToInt(p.v * fsh / fh);
    }
    // The offsets grow or shrink along the row: when both ends land on the texture, all do.
    auto onTexture = [](int first, int last, long long origin, int size) {
      return origin + first >= 0 && origin + first < size && origin + last >= 0 &&
             origin + last < size;
    };
    const std::uint8_t* bits = tex.Bits();
    const std::size_t pitch = static_cast<std::size_t>(tex.PitchBytes());
    std::uint32_t* out = colours.data();
    if (onTexture(tu[0], tu[n - 1], sx, texW) && onTexture(tv[0], tv[n - 1], sy, texH)) {
      const std::uint8_t* origin = bits + static_cast<std::size_t>(sy) * pitch;
      if (texBytes == 4) {
        const std::uint32_t* base = reinterpret_cast<const std::uint32_t*>(origin) + sx;
        const std::ptrdiff_t step = static_cast<std::ptrdiff_t>(pitch / 4);
        for (k = 0; k < n; ++k) out[k] = base[tv[k] * step + tu[k]];
      } else if (texBytes == 2) {
        const std::uint16_t* base = reinterpret_cast<const std::uint16_t*>(origin) + sx;
        const std::ptrdiff_t step = static_cast<std::ptrdiff_t>(pitch / 2);
        for (k = 0; k < n; ++k) out[k] = base[tv[k] * step + tu[k]];
      } else {
        for (k = 0; k < n; ++k)
          out[k] = ReadPixel(bits + static_cast<std::size_t>(sy + tv[k]) * pitch, sx + tu[k],
                             texBytes);
      }
    } else {
      for (k = 0; k < n; ++k) {
        const int u = WrapTexel(sx + static_cast<long long>(tu[k]), texW);
        const int v = WrapTexel(sy + static_cast<long long>(tv[k]), texH);
        out[k] = ReadPixel(bits + static_cast<std::size_t>(v) * pitch, u, texBytes);
      }
    }
    PixelsToArgb(colours.data(), n, tf);
    CombineTexels(colours.data(), n, stage);
    // Opaque colours replace their pixels without reading them; any other colour in the row
    // has the row's pixels read and blended under the colours.
    bool opaque = true;
    for (k = 0; k < n; ++k) opaque &= colours[k] >> 24 == 255;
    if (!opaque) {
      under.resize(static_cast<std::size_t>(n));
      if (dstBytes == 4)
        std::memcpy(under.data(), row + static_cast<std::size_t>(from) * 4,
                    static_cast<std::size_t>(n) * 4);
      else
        for (k = 0; k < n; ++k) under[k] = ReadPixel(row, from + k, dstBytes);
      PixelsToArgb(under.data(), n, df);
      BlendOverRow(out, under.data(), n);
    }
    ArgbsToFormat(colours.data(), n, df);
    if (dstBytes == 4) {
      std::memcpy(row + static_cast<std::size_t>(from) * 4, colours.data(),
                  static_cast<std::size_t>(n) * 4);
    } else if (dstBytes == 2) {
      std::uint16_t* out16 = reinterpret_cast<std::uint16_t*>(row) + from;
      for (k = 0; k < n; ++k) out16[k] = static_cast<std::uint16_t>(colours[k]);
    } else {
      for (k = 0; k < n; ++k) WritePixel(row, from + k, dstBytes, colours[k]);
    }
  }
}

// Inverse mapping in fixed point with 10 fraction bits. Right shifts of negative products are
// floor divisions by 1024.
template <class T>
void RotatePixels(cEffectLocks& locks, int cx, int cy, int w, int h, int px, int py, double theta,
                  int sx, int sy, int flags) {
  const sLockArea da = LockArea(locks.Dst()), sa = LockArea(locks.Src());
  const long long S = static_cast<long long>(std::sin(theta) * 1024);
  const long long C = static_cast<long long>(std::cos(theta) * 1024);
  long long minX = 0, maxX = 0, minY = 0, maxY = 0;
  bool firstCorner = true;
  for (const long long a0 : {0LL, static_cast<long long>(w) - 1}) {
    for (const long long b0 : {0LL, static_cast<long long>(h) - 1}) {
      const long long a = a0 - px, b = b0 - py;
      const long long xr = ((a * C - b * S) >> 10) + px, yr = ((a * S + b * C) >> 10) + py;
      minX = firstCorner ? xr : std::min(minX, xr);
      maxX = firstCorner ? xr : std::max(maxX, xr);
      minY = firstCorner ? yr : std::min(minY, yr);
      maxY = firstCorner ? yr : std::max(maxY, yr);
      firstCorner = false;
    }
  }
  const long long Si = static_cast<long long>(std::sin(-theta) * 1024);
  const long long Ci = static_cast<long long>(std::cos(-theta) * 1024);
  // The box widened by 2, cut to the rows and columns that land on the destination.
  const long long yFrom = std::max(minY - 2, static_cast<long long>(py) - cy);
  const long long yTo = std::min(maxY + 2, static_cast<long long>(py) - cy + da.h);
  const long long xFrom = std::max(minX - 2, static_cast<long long>(px) - cx);
  const long long xTo = std::min(maxX + 2, static_cast<long long>(px) - cx + da.w);
  for (long long y = yFrom; y < yTo; ++y) {
    T* out = LockRow<T>(locks.Dst(), static_cast<int>(cy + (y - py)));
    const long long ry = y - py;
    for (long long x = xFrom; x < xTo; ++x) {
      const long long rx = x - px;
      const long long u = ((rx * Ci - ry * Si) >> 10) + px;
      const long long v = ((rx * Si + ry * Ci) >> 10) + py;
      if (u < 0 || u >= w || v < 0 || v >= h) continue;
      const long long tu = sx + u, tv = sy + v;
      if (tu < 0 || tv < 0 || tu >= sa.w || tv >= sa.h) continue;
      const T p = LockRow<T>(locks.Src(), static_cast<int>(tv))[tu];
      if (flags == 1 && p == static_cast<T>(g_dwTransmit)) continue;
      out[cx + rx] = p;
    }
  }
}

}  // namespace

bool DDBltRotate(DDSURFACEDATA* dst, int cx, int cy, int w, int h, int px, int py, int angle,
                 DDSURFACEDATA* src, int sx, int sy, int flags) {
  if (!dst || !src) return true;
  if (w <= 0 || h <= 0 || !SaneCoords({cx, cy, w, h, px, py, sx, sy})) return true;
  const double theta = angle * std::numbers::pi / 180.0;
  if (lpDTCon) {
    int sw = w, sh = h;
    if (!ResolveQuadPair(dst, src, sx, sy, sw, sh)) return true;
    if (QuadPath(dst, src)) {
      cPixelSurface* dpx = dst->Pixels();
      cPixelSurface* spx = src->Pixels();
      if (!dpx || !spx || spx->Width() <= 0 || spx->Height() <= 0) return true;
      if (!BeginQuadOn(dst)) return true;
      sQuadStage stage;
      stage.dwColor = lpDTCon->dwColor;
      stage.dwColorOp = lpDTCon->dwColorOp;
      stage.dwAlphaOp = lpDTCon->dwAlphaOp;
      const float ft = static_cast<float>(theta);
      RotatedQuad(*dpx, cx, cy, w, h, px, py, std::sin(ft), std::cos(ft), *spx, sx, sy, sw, sh,
                  stage);
      EndQuadOn();
      return true;
    }
    if (g_nBpp != 16 && g_nBpp != 32) return true;
  }
  cEffectLocks locks(dst, src, g_nBpp);
  if (!locks.Ok()) return false;
  ForPixelType([&](auto pixel) {
    RotatePixels<decltype(pixel)>(locks, cx, cy, w, h, px, py, theta, sx, sy, flags);
  });
  return true;
}
