#include "media/circle_lens.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

// v truncated toward zero (by the conversion), held within +-2^30.
int LensOffset(double v) {
  constexpr double kFar = 1 << 30;
  return static_cast<int>(v < -kFar ? -kFar : v > kFar ? kFar : v);
}

// The source offsets of the lens for one |dy| = m and every |dx| = k of [kFrom, kTo], all
// inside the disc: ox[0] and oy[0] for dx (dy) >= 0, ox[1] and oy[1] for negative, at index
// k - kFrom. Offsets beyond any surface are held at a value no surface reaches.
struct sLensTaps {
  std::vector<int> ox[2], oy[2];
  void Resize(std::size_t n) {
    for (auto* v : {&ox[0], &ox[1], &oy[0], &oy[1]}) v->resize(n);
  }
  void Set(std::size_t i, double ax, double ay) {
    // Half added before truncating toward zero, as the lens has always rounded.
    ox[0][i] = LensOffset(ax + 0.5);
    ox[1][i] = LensOffset(-ax + 0.5);
    oy[0][i] = LensOffset(ay + 0.5);
    oy[1][i] = LensOffset(-ay + 0.5);
  }
  // On the rim of the lens the offsets map to themselves.
  void SetRim(std::size_t i, long long k, long long m) {
    ox[0][i] = static_cast<int>(k);
    ox[1][i] = static_cast<int>(-k);
    oy[0][i] = static_cast<int>(m);
    oy[1][i] = static_cast<int>(-m);
  }
};

// The taps of a whole lens: its radius, depth and the rows and columns it reached, with row
// m of them at (m - mLo) * (kMax - kMin + 1).
struct sLensKey {
  long long r = -1, d = 0, kMin = 0, kMax = 0, mLo = 0, mHi = 0;
  bool operator==(const sLensKey&) const = default;
};
struct sLensTable {
  sLensKey key;
  bool valid = false;
  sLensTaps taps;
};
constexpr std::size_t kLensTableTaps = std::size_t{1} << 15;

// The taps of row m for k of [kFrom, kTo] at base + k - kFrom.
void ComputeLensTaps(sLensTaps& taps, std::size_t base, long long m, long long kFrom,
                     long long kTo, long long ll, double depth) {
  long long k = kFrom;
  const double dm = static_cast<double>(m);
#ifdef __SSE2__
  // Two offsets at a time: the vector square root and division round as the scalar ones.
  const __m128d vdepth = _mm_set1_pd(depth), vm = _mm_set1_pd(dm);
  for (; k + 1 <= kTo; k += 2) {
    const long long q0 = k * k + m * m, q1 = (k + 1) * (k + 1) + m * m;
    if (q0 == ll || q1 == ll) break;  // a rim point: the scalar loop takes it
    const __m128d s = _mm_sqrt_pd(_mm_set_pd(static_cast<double>(ll - q1),
                                             static_cast<double>(ll - q0)));
    const __m128d vk = _mm_set_pd(static_cast<double>(k + 1), static_cast<double>(k));
    const __m128d ax = _mm_div_pd(_mm_mul_pd(vk, vdepth), s);
    const __m128d ay = _mm_div_pd(_mm_mul_pd(vm, vdepth), s);
    double x[2], y[2];
    _mm_storeu_pd(x, ax);
    _mm_storeu_pd(y, ay);
    const std::size_t i = base + static_cast<std::size_t>(k - kFrom);
    taps.Set(i, x[0], y[0]);
    taps.Set(i + 1, x[1], y[1]);
  }
#endif
  for (; k <= kTo; ++k) {
    const std::size_t i = base + static_cast<std::size_t>(k - kFrom);
    const long long q = k * k + m * m;
    const double s = std::sqrt(static_cast<double>(ll - q));
    if (s == 0) {
      taps.SetRim(i, k, m);
      continue;
    }
    taps.Set(i, static_cast<double>(k) * depth / s, dm * depth / s);
  }
}

// The largest k >= 0 with k * k <= v (v >= 0).
long long FloorSqrt(long long v) {
  long long t = static_cast<long long>(std::sqrt(static_cast<double>(v)));
  while (t > 0 && t * t > v) --t;
  while ((t + 1) * (t + 1) <= v) ++t;
  return t;
}

// How a lens pixel is written: the DirectDraw rule, or the Direct3D one at 32 or 16 bits.
enum eLensRule { kLensDD, kLensD3D32, kLensD3D16 };

// One row of the lens: destination offsets dx of [from, to] on row out (the centre at out[0]),
// all inside the disc and of one sign (sign 1: negative), reading the row's taps ox and oy.
template <eLensRule kRule, class T>
void LensSpan(T* out, long long from, long long to, int sign, const int* ox, const int* oy,
              long long kFrom, const std::uint8_t* srcBits, std::ptrdiff_t pitch, long long scx,
              long long scy, const sLockArea& sa, const sEffectCodec& codec, int flags,
              bool clear) {
  const std::uint32_t key = codec.key;
  for (long long dx = from; dx <= to; ++dx) {
    T& pixel = out[dx];
    const auto i = static_cast<std::size_t>((sign ? -dx : dx) - kFrom);
    const long long px = scx + ox[i];
    const long long py = scy + oy[i];
    if (px < 0 || py < 0 || px >= sa.w || py >= sa.h) {
      if (clear) pixel = 0;
      continue;
    }
    const std::uint32_t p = reinterpret_cast<const T*>(srcBits + py * pitch)[px];
    if constexpr (kRule == kLensDD) {
      // The DirectDraw lens never draws the transparent colour, whatever the flags.
      if (p != key) pixel = static_cast<T>(p);
    } else if constexpr (kRule == kLensD3D32) {
      if ((p >> 24) != 0)
        pixel = static_cast<T>(p);
      else if (clear)
        pixel = 0;
    } else if (!(flags == 1 && codec.Transparent(p))) {
      pixel = static_cast<T>(codec.CopyD3D(p));
    }
  }
}

template <eLensRule kRule, class T>
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
  const bool clear = codec.d3d && codec.bpp == 32 && clearMode != 0;
  // The taps of one |dy| serve the rows dy and -dy, and each tap of |dx| the columns dx and -dx.
  const long long kMax = std::max(std::llabs(dxLo), std::llabs(dxHi));
  const long long kMin = dxLo <= 0 && dxHi >= 0 ? 0 : std::min(std::llabs(dxLo), std::llabs(dxHi));
  const long long mLo = dyLo <= 0 && dyHi >= 0 ? 0 : std::min(std::llabs(dyLo), std::llabs(dyHi));
  const long long mHi = std::max(std::llabs(dyLo), std::llabs(dyHi));
  const auto width = static_cast<std::size_t>(kMax - kMin + 1);
  const auto rows = static_cast<std::size_t>(mHi - mLo + 1);
  // The taps of a lens that fits the table are kept for the next lens of the same size and
  // depth (the characters under one effect); a larger one computes them row by row.
  const sLensKey key{r, d, kMin, kMax, mLo, mHi};
  thread_local sLensTable tables[2];
  thread_local int nextTable = 0;
  thread_local sLensTaps rowTaps;
  sLensTable* table = nullptr;
  bool ready = false;
  if (rows * width <= kLensTableTaps) {
    for (sLensTable& t : tables)
      if (t.valid && t.key == key) table = &t;
    ready = table != nullptr;
    if (!table) {
      table = &tables[nextTable];
      nextTable = (nextTable + 1) % 2;
      table->valid = false;
      table->taps.Resize(rows * width);
    }
  } else {
    rowTaps.Resize(width);
  }
  sLensTaps& taps = table ? table->taps : rowTaps;
  const double depth = d;
  const std::uint8_t* srcBits = locks.Src().m_lpBits;
  const std::ptrdiff_t pitch = static_cast<std::ptrdiff_t>(locks.Src().m_nPitch) * sizeof(T);
  for (long long m = mLo; m <= mHi; ++m) {
    // The offsets |dx| <= K lie inside the disc (k * k + m * m <= r * r), the rest outside.
    const long long K = FloorSqrt(rr - m * m);
    const long long kIn = std::min(K, kMax);
    const std::size_t base = table ? static_cast<std::size_t>(m - mLo) * width : 0;
    if (!ready && kIn >= kMin) ComputeLensTaps(taps, base, m, kMin, kIn, ll, depth);
    for (int side = 0; side < (m == 0 ? 1 : 2); ++side) {
      const long long dy = side == 0 ? m : -m;
      if (dy < dyLo || dy > dyHi) continue;
      T* out = LockRow<T>(locks.Dst(), static_cast<int>(cy + dy)) + cx;
      // Outside the disc: cleared or left.
      if (clear) {
        for (long long dx = dxLo; dx < std::min(dxHi + 1, -K); ++dx) out[dx] = 0;
        for (long long dx = std::max(dxLo, K + 1); dx <= dxHi; ++dx) out[dx] = 0;
      }
      const int* oy = taps.oy[side].data() + base;
      const long long lo = std::max(dxLo, -K), hi = std::min(dxHi, K);
      auto span = [&](long long from, long long to, int sign) {
        if (from <= to)
          LensSpan<kRule, T>(out, from, to, sign, taps.ox[sign].data() + base, oy, kMin, srcBits,
                             pitch, scx, scy, sa, codec, flags, clear);
      };
      span(lo, std::min(hi, -1LL), 1);
      span(std::max(lo, 0LL), hi, 0);
    }
  }
  if (table) {
    table->key = key;
    table->valid = true;
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
    using T = decltype(pixel);
    if (!codec.d3d)
      Lens<kLensDD, T>(locks, codec, cx, cy, r, d, scx, scy, flags, clearMode, lensL);
    else if (codec.bpp == 32)
      Lens<kLensD3D32, T>(locks, codec, cx, cy, r, d, scx, scy, flags, clearMode, lensL);
    else
      Lens<kLensD3D16, T>(locks, codec, cx, cy, r, d, scx, scy, flags, clearMode, lensL);
  });
  return true;
}
