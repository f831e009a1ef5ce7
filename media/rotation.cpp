#include "media/rotation.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

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
  // A row's pixels inside the rectangle and their texels, combined with the stage together.
  thread_local std::vector<int> columns;
  thread_local std::vector<std::uint32_t> colours;
  columns.resize(static_cast<std::size_t>(std::max(0, x1 - x0 + 1)));
  colours.resize(columns.size());
  for (int y = y0; y <= y1; ++y) {
    std::uint8_t* row = dst.Row(y);
    const float dy = static_cast<float>(y) - ys[0];
    int n = 0;
    for (int x = x0; x <= x1; ++x) {
      // The pixel centre in the rectangle's own coordinates.
      const float dx = static_cast<float>(x) - xs[0];
      const float u = dx * c + dy * s, v = dy * c - dx * s;
      if (!(u >= 0 && u < fw && v >= 0 && v < fh)) continue;
      const int tu = WrapTexel(sx + static_cast<long long>(std::floor(u * fsw / fw)), texW);
      const int tv = WrapTexel(sy + static_cast<long long>(std::floor(v * fsh / fh)), texH);
      columns[n] = x;
      colours[n++] =
          ReadPixel(tex.Bits() + static_cast<std::size_t>(tv) * tex.PitchBytes(), tu, texBytes);
    }
    PixelsToArgb(colours.data(), n, tf);
    CombineTexels(colours.data(), n, stage);
    // An opaque colour replaces the pixel without reading it.
    for (int k = 0; k < n; ++k)
      if (colours[k] >> 24 != 255)
        colours[k] =
            BlendOver(colours[k], PixelToArgb(ReadPixel(row, columns[k], dstBytes), df));
    ArgbsToFormat(colours.data(), n, df);
    for (int k = 0; k < n; ++k) WritePixel(row, columns[k], dstBytes, colours[k]);
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
