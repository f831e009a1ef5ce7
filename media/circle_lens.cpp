#include "media/circle_lens.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "media/blit.h"
#include "media/effect_pixels.h"
#include "media/raster.h"
#include "media/sprite_batch.h"

namespace {

// Half width of the disc's strip whose middle row is m; never the full radius.
int HalfWidth(long long r, long long m) {
  const int t = static_cast<int>(std::sqrt(static_cast<double>(r * r - m * m)));
  return t >= r ? static_cast<int>(r - 1) : t;
}

// How the lens destination offsets of one |dx| and |dy| read the source: the source offsets
// for each sign of dx and dy, or outside the disc. Offsets beyond any surface are held at a
// value no surface reaches.
struct sLensTap {
  bool inside;
  int ox[2], oy[2];  // [0] for dx (dy) >= 0, [1] for negative
};

// v truncated toward zero (by the conversion), held within +-2^30.
int LensOffset(double v) {
  constexpr double kFar = 1 << 30;
  return static_cast<int>(v < -kFar ? -kFar : v > kFar ? kFar : v);
}

template <class T>
void Lens(cEffectLocks& locks, const sEffectCodec codec, int cx, int cy, int r, int d, int scx,
          int scy, int flags, int clearMode, long long lensL) {
  const sLockArea da = LockArea(locks.Dst()), sa = LockArea(locks.Src());
  const long long rr = static_cast<long long>(r) * r, ll = lensL * lensL;
  // Only offsets whose destination point lies on the destination are visited.
  const long long dyLo = std::max<long long>(-r, -static_cast<long long>(cy));
  const long long dyHi = std::min<long long>(r, static_cast<long long>(da.h) - 1 - cy);
  const long long dxLo = std::max<long long>(-r, -static_cast<long long>(cx));
  const long long dxHi = std::min<long long>(r, static_cast<long long>(da.w) - 1 - cx);
  if (dyLo > dyHi || dxLo > dxHi) return;
  const bool d3d = codec.d3d;
  const bool clear = d3d && codec.bpp == 32 && clearMode != 0;
  const std::uint32_t key = codec.key;
  // The taps of one |dy| serve the rows dy and -dy, and each tap of |dx| the columns dx and -dx.
  const long long kMax = std::max(std::llabs(dxLo), std::llabs(dxHi));
  const long long kMin = dxLo <= 0 && dxHi >= 0 ? 0 : std::min(std::llabs(dxLo), std::llabs(dxHi));
  thread_local std::vector<sLensTap> taps;
  taps.resize(static_cast<std::size_t>(kMax - kMin + 1));
  const long long mLo = dyLo <= 0 && dyHi >= 0 ? 0 : std::min(std::llabs(dyLo), std::llabs(dyHi));
  const long long mHi = std::max(std::llabs(dyLo), std::llabs(dyHi));
  const double depth = d;
  for (long long m = mLo; m <= mHi; ++m) {
    for (long long k = kMin; k <= kMax; ++k) {
      sLensTap& tap = taps[static_cast<std::size_t>(k - kMin)];
      const long long q = k * k + m * m;
      tap.inside = q <= rr;
      if (!tap.inside) continue;
      const double s = std::sqrt(static_cast<double>(ll - q));
      if (s == 0) {
        // On the rim of the lens the offsets map to themselves.
        tap.ox[0] = static_cast<int>(k);
        tap.ox[1] = static_cast<int>(-k);
        tap.oy[0] = static_cast<int>(m);
        tap.oy[1] = static_cast<int>(-m);
        continue;
      }
      // Half added before truncating toward zero, as the lens has always rounded.
      const double ax = static_cast<double>(k) * depth / s;
      const double ay = static_cast<double>(m) * depth / s;
      tap.ox[0] = LensOffset(ax + 0.5);
      tap.ox[1] = LensOffset(-ax + 0.5);
      tap.oy[0] = LensOffset(ay + 0.5);
      tap.oy[1] = LensOffset(-ay + 0.5);
    }
    for (int side = 0; side < (m == 0 ? 1 : 2); ++side) {
      const long long dy = side == 0 ? m : -m;
      if (dy < dyLo || dy > dyHi) continue;
      T* out = LockRow<T>(locks.Dst(), static_cast<int>(cy + dy));
      for (long long dx = dxLo; dx <= dxHi; ++dx) {
        T& pixel = out[cx + dx];
        const sLensTap& tap = taps[static_cast<std::size_t>(std::llabs(dx) - kMin)];
        if (!tap.inside) {
          if (clear) pixel = 0;
          continue;
        }
        const long long px = static_cast<long long>(scx) + tap.ox[dx < 0];
        const long long py = static_cast<long long>(scy) + tap.oy[side];
        if (px < 0 || py < 0 || px >= sa.w || py >= sa.h) {
          if (clear) pixel = 0;
          continue;
        }
        const std::uint32_t p = LockRow<T>(locks.Src(), static_cast<int>(py))[px];
        if (!d3d) {
          // The DirectDraw lens never draws the transparent colour, whatever the flags.
          if (p != key) pixel = static_cast<T>(p);
        } else if (codec.bpp == 32) {
          if ((p >> 24) != 0)
            pixel = static_cast<T>(p);
          else if (clear)
            pixel = 0;
        } else if (!(flags == 1 && codec.Transparent(p))) {
          pixel = static_cast<T>(codec.CopyD3D(p));
        }
      }
    }
  }
}

}  // namespace

void DDBltCircle(DDSURFACEDATA* dst, int cx, int cy, int hw, int hh, int r, int strip,
                 DDSURFACEDATA* src, int scx, int scy, int flags) {
  if (r <= 0 || strip <= 0 || !dst || !src || !SaneCoords({cx, cy, hw, hh, r, strip, scx, scy}))
    return;
  // The strips are blitted from the surfaces as given (a mirrored view draws mirrored); the
  // source limits are those of the surface whose pixels it shows.
  const DDSURFACEDATA* pixels = DDResolveMirror(src);
  const long long left = std::max<long long>(0, static_cast<long long>(scx) - hw);
  const long long right = std::min<long long>(static_cast<long long>(scx) + hw, pixels->nWidth);
  const long long dh = DDResolveMirror(dst)->nHeight;
  auto span = [&](long long row, long long rows, int t) {
    long long start = static_cast<long long>(scx) - t, to = static_cast<long long>(cx) - t;
    long long width = 2LL * t;
    if (start < left) {
      to += left - start;
      width -= left - start;
      start = left;
    }
    if (start + width > right) width = right - start;
    if (width <= 0) return;
    DDBlt(dst, static_cast<int>(to), static_cast<int>(cy + row), static_cast<int>(width),
          static_cast<int>(rows), src, static_cast<int>(start), static_cast<int>(scy + row), flags);
  };
  DDSpriteBatchBegin(0);
  if (strip == 1) {
    // Rows off the destination would draw nothing; they are not visited.
    const long long first = std::min({static_cast<long long>(r) - 1, static_cast<long long>(hh) - 1,
                                      dh - 1 - cy});
    const long long last = std::max({-static_cast<long long>(r), -static_cast<long long>(hh),
                                     -static_cast<long long>(cy)});
    for (long long i = first; i >= last; --i) span(i, 1, HalfWidth(r, i));
  } else {
    const long long s = strip;
    long long i = r - s;
    // Strips starting at or below hh are skipped.
    if (i >= hh) i -= (i - hh + s) / s * s;
    while (i >= -r) {
      if (i + s <= -static_cast<long long>(hh)) break;
      // Strips wholly below the destination, before any move at the box's edges, draw nothing.
      if (cy + i >= dh && i + s <= hh && i >= -hh) {
        const long long k = std::min((cy + i - dh) / s + 1, (i + hh) / s + 1);
        i -= k * s;
        continue;
      }
      // Strips wholly above it, with every later one higher still, end the disc.
      if (cy + i + s <= 0 && i >= -hh) break;
      if (i + s > hh)
        i = hh - s;
      else if (i < -hh)
        i = -hh;
      span(i, s, HalfWidth(r, i + (s >> 1)));
      i -= s;
    }
  }
  DDSpriteBatchFlush();
}

bool DDBltLens(DDSURFACEDATA* dst, int cx, int cy, int r, int d, DDSURFACEDATA* src, int scx,
               int scy, int flags, int clearMode) {
  if (r < 0 || d < 0) return false;
  const long long lensL = static_cast<long long>(
      std::sqrt(static_cast<double>(r) * r + static_cast<double>(d) * d));
  if (lensL <= d) return false;
  if (!SaneCoords({cx, cy, scx, scy})) return true;
  cEffectLocks locks(dst, src, g_nBpp);
  if (!locks.Ok()) return false;
  const sEffectCodec codec = EffectCodec(locks, g_nBpp);
  ForPixelType([&](auto pixel) {
    Lens<decltype(pixel)>(locks, codec, cx, cy, r, d, scx, scy, flags, clearMode, lensL);
  });
  return true;
}
