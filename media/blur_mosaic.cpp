#include "media/blur_mosaic.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "foundation/report.h"
#include "media/effect_pixels.h"
#include "media/raster.h"

namespace {

// Blue, green and red sums and the count of pixels that took part, added as one vector.
// Unsigned sums wrap, and sums kept by adding and taking away come out as plain sums would.
typedef std::uint32_t vSums __attribute__((vector_size(16)));
typedef std::uint8_t vBytes __attribute__((vector_size(4)));

// Division of a 32-bit sum by a count through the high half of one multiply: with
// m = ceil(2^64 / n), floor(s * m / 2^64) = floor(s / n) for every s below 2^32, because
// m * n exceeds 2^64 by less than n, which is at most 2^32. For windows too large for the
// table of reciprocals below.
struct sDivisor {
  std::uint64_t m = 0;  // 0: the count is 1
  explicit sDivisor(std::uint32_t n = 1) {
    if (n > 1) m = static_cast<std::uint64_t>(~std::uint64_t{0} / n) + 1;
  }
  std::uint32_t Divide(std::uint32_t sum) const {
    if (m == 0) return sum;
    return static_cast<std::uint32_t>((static_cast<unsigned __int128>(sum) * m) >> 64);
  }
};

// Reciprocals of the counts 0 to n (entry 0 unused), kept from call to call: they depend on
// nothing else.
constexpr std::uint32_t kMaxTableCount = 1u << 16;
static_assert(kMaxTableCount <= sReciprocal::kMaxCount);
const sReciprocal* ReciprocalTable(std::uint32_t n) {
  thread_local std::vector<sReciprocal> table(1);
  for (std::uint32_t k = static_cast<std::uint32_t>(table.size()); k <= n; ++k)
    table.push_back(sReciprocal::Of(k));
  return table.data();
}

// Each lane divided by the reciprocal's count, two lanes per multiply.
inline vSums DivideLanes(vSums sums, const sReciprocal r) {
#ifdef __SSE2__
  const __m128i v = std::bit_cast<__m128i>(sums);
  const __m128i m = _mm_set1_epi32(static_cast<int>(r.m));
  const __m128i shift = _mm_cvtsi32_si128(static_cast<int>(r.shift));
  const __m128i even = _mm_srl_epi64(_mm_mul_epu32(v, m), shift);
  const __m128i odd = _mm_srl_epi64(_mm_mul_epu32(_mm_srli_epi64(v, 32), m), shift);
  return std::bit_cast<vSums>(_mm_or_si128(even, _mm_slli_epi64(odd, 32)));
#else
  return vSums{r.Divide(sums[0]), r.Divide(sums[1]), r.Divide(sums[2]), r.Divide(sums[3])};
#endif
}

// The window sums divided by their count: through the table of reciprocals up to the most
// pixels a window can hold, and count by count for windows too large for the table.
class cWindowDivider {
 public:
  explicit cWindowDivider(long long most)
      : m_nTable(static_cast<std::uint32_t>(std::min<long long>(most, kMaxTableCount))),
        m_pTable(ReciprocalTable(m_nTable)) {}
  vSums Quotients(vSums sums, std::uint32_t n) {
    if (n <= m_nTable) [[likely]]
      return DivideLanes(sums, m_pTable[n]);
    return Large(sums, n);
  }

 private:
  [[gnu::noinline]] vSums Large(vSums sums, std::uint32_t n) {
    if (n != m_nLast) {
      m_nLast = n;
      m_Divisor = sDivisor(n);
    }
    return vSums{m_Divisor.Divide(sums[0]), m_Divisor.Divide(sums[1]), m_Divisor.Divide(sums[2]),
                 1};
  }
  std::uint32_t m_nTable;
  const sReciprocal* m_pTable;
  std::uint32_t m_nLast = 0;
  sDivisor m_Divisor;
};

// The codec with the depth and the mode fixed, so that the pixel loops drop their tests of them.
template <class T, bool kD3D>
sEffectCodec FixedCodec(sEffectCodec codec) {
  codec.bpp = static_cast<int>(sizeof(T)) * 8;
  codec.d3d = kD3D;
  return codec;
}

// The result pixel made from average lanes blue, green and red (each at most 255) as the
// codec's Compose makes it, with the lanes kept together: at 32 bits their bytes packed, at 16
// bits each masked, shifted into place by a multiply and the three put together.
template <class T, bool kD3D>
class cLaneComposer {
 public:
  explicit cLaneComposer(const sEffectCodec& codec) : m_Codec(codec) {
#ifdef __SSE2__
    if constexpr (sizeof(T) == 2) {
      const bool back = kD3D && codec.toBack;
      const DDPIXELLAYOUT& l = back ? codec.back : codec.tex;
      auto lane = [](int v) { return static_cast<short>(v & 0xFFFF); };
      auto bit = [](int shift) { return shift >= 0 && shift < 16 ? 1 << shift : 0; };
      m_Mask = back ? _mm_setr_epi16(-1, -1, -1, 0, -1, -1, -1, 0)
                    : _mm_setr_epi16(lane(l.nMaxB), lane(l.nMaxG), lane(l.nMaxR), 0, lane(l.nMaxB),
                                     lane(l.nMaxG), lane(l.nMaxR), 0);
      const short b = lane(bit(l.nShiftB)), g = lane(bit(l.nShiftG) * (back ? 2 : 1)),
                  r = lane(bit(l.nShiftR));
      m_Scale = _mm_setr_epi16(b, g, r, 0, b, g, r, 0);
      m_nFixed = kD3D && !back ? (static_cast<std::uint32_t>(l.nMaxA) & 1) << l.nShiftA : 0;
    }
#endif
  }
  T operator()(vSums q, T old) const {
#ifdef __SSE2__
    const __m128i words = _mm_packs_epi32(std::bit_cast<__m128i>(q), std::bit_cast<__m128i>(q));
    if constexpr (sizeof(T) == 4) {
      const std::uint32_t rgb =
          static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(words, words))) & 0xFFFFFFu;
      return kD3D ? 0xFF000000u | rgb : (old & 0xFF000000u) | rgb;
    } else {
      __m128i v = _mm_mullo_epi16(_mm_and_si128(words, m_Mask), m_Scale);
      v = _mm_or_si128(_mm_or_si128(v, _mm_srli_epi64(v, 16)), _mm_srli_epi64(v, 32));
      return static_cast<T>(static_cast<std::uint32_t>(_mm_cvtsi128_si32(v)) | m_nFixed);
    }
#else
    return static_cast<T>(m_Codec.Compose(static_cast<int>(q[2]), static_cast<int>(q[1]),
                                          static_cast<int>(q[0]), old));
#endif
  }

 private:
  [[maybe_unused]] sEffectCodec m_Codec;
#ifdef __SSE2__
  __m128i m_Mask = _mm_setzero_si128(), m_Scale = _mm_setzero_si128();
  std::uint32_t m_nFixed = 0;
#endif
};

// Lanes blue, green, red and the count of one source pixel; all 0 for a pixel left out. A
// 32-bit pixel's bytes widen into them at once.
template <class T, bool kKeyed>
[[gnu::always_inline]] inline vSums Channels(const sEffectCodec& codec, std::uint32_t p) {
  if (kKeyed && codec.Transparent(p)) return vSums{0, 0, 0, 0};
  if constexpr (sizeof(T) == 4) {
    vBytes bytes;
    const std::uint32_t counted = (p & 0xFFFFFFu) | 0x01000000u;
    std::memcpy(&bytes, &counted, sizeof bytes);
    return __builtin_convertvector(bytes, vSums);
  }
  const sChannels c = codec.Split(p);
  return vSums{static_cast<std::uint32_t>(c.b), static_cast<std::uint32_t>(c.g),
               static_cast<std::uint32_t>(c.r), 1};
}

// Adds the source row in to the column sums and takes the row old away, n columns.
template <class T, bool kD3D, bool kKeyed>
void SwapRows(const sEffectCodec given, const T* in, const T* old, vSums* col, int n) {
  const sEffectCodec codec = FixedCodec<T, kD3D>(given);
  int i = 0;
#ifdef __SSE2__
  if constexpr (sizeof(T) == 4) {
    // Four pixels at a time: their bytes widened into the lanes, the count lane 1 for the
    // pixels that take part and all lanes 0 for the others.
    const __m128i zero = _mm_setzero_si128(), rgb = _mm_set1_epi32(0x00FFFFFF);
    const __m128i counted = _mm_set1_epi32(0x01000000),
                  key = _mm_set1_epi32(static_cast<int>(codec.key));
    auto prepare = [&](const T* p) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      __m128i out = _mm_or_si128(_mm_and_si128(v, rgb), counted);
      if (kKeyed) {
        const __m128i gone =
            codec.d3d ? _mm_cmpeq_epi32(_mm_srli_epi32(v, 24), zero) : _mm_cmpeq_epi32(v, key);
        out = _mm_andnot_si128(gone, out);
      }
      return out;
    };
    for (; i + 4 <= n; i += 4) {
      const __m128i a = prepare(in + i), b = prepare(old + i);
      const __m128i a01 = _mm_unpacklo_epi8(a, zero), a23 = _mm_unpackhi_epi8(a, zero);
      const __m128i b01 = _mm_unpacklo_epi8(b, zero), b23 = _mm_unpackhi_epi8(b, zero);
      const __m128i d[4] = {
          _mm_sub_epi32(_mm_unpacklo_epi16(a01, zero), _mm_unpacklo_epi16(b01, zero)),
          _mm_sub_epi32(_mm_unpackhi_epi16(a01, zero), _mm_unpackhi_epi16(b01, zero)),
          _mm_sub_epi32(_mm_unpacklo_epi16(a23, zero), _mm_unpacklo_epi16(b23, zero)),
          _mm_sub_epi32(_mm_unpackhi_epi16(a23, zero), _mm_unpackhi_epi16(b23, zero))};
      for (int k = 0; k < 4; ++k) col[i + k] += std::bit_cast<vSums>(d[k]);
    }
  } else if constexpr (sizeof(T) == 2) {
    // Eight pixels at a time: each channel split in 16-bit lanes and the two rows' values taken
    // apart there, then the differences of one pixel gathered and widened with their sign.
    // Channels of 15 bits or more could not hold their differences and take the plain way.
    const DDPIXELLAYOUT& l = codec.tex;
    const bool narrow = l.nMaxR < 0x8000 && l.nMaxG < 0x8000 && l.nMaxB < 0x8000;
    const __m128i zero = _mm_setzero_si128(), ones = _mm_set1_epi16(-1);
    const __m128i one = _mm_set1_epi16(1), alphaBits = _mm_set1_epi16(static_cast<short>(0xA000));
    const __m128i key = _mm_set1_epi16(static_cast<short>(codec.key));
    const __m128i shiftR = _mm_cvtsi32_si128(l.nShiftR), shiftG = _mm_cvtsi32_si128(l.nShiftG),
                  shiftB = _mm_cvtsi32_si128(l.nShiftB);
    const __m128i maxR = _mm_set1_epi16(static_cast<short>(l.nMaxR)),
                  maxG = _mm_set1_epi16(static_cast<short>(l.nMaxG)),
                  maxB = _mm_set1_epi16(static_cast<short>(l.nMaxB));
    // Blue, green, red and the count of eight pixels, one vector each.
    auto split = [&](const T* p, __m128i* out) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      __m128i keep = ones;
      if (kKeyed) {
        const __m128i gone = codec.d3d ? _mm_cmpeq_epi16(_mm_and_si128(v, alphaBits), zero)
                                       : _mm_cmpeq_epi16(v, key);
        keep = _mm_andnot_si128(gone, ones);
      }
      out[0] = _mm_and_si128(_mm_and_si128(_mm_srl_epi16(v, shiftB), maxB), keep);
      out[1] = _mm_and_si128(_mm_and_si128(_mm_srl_epi16(v, shiftG), maxG), keep);
      out[2] = _mm_and_si128(_mm_and_si128(_mm_srl_epi16(v, shiftR), maxR), keep);
      out[3] = _mm_and_si128(one, keep);
    };
    // The four 16-bit lanes of each half of v as 32-bit lanes, their sign kept.
    auto widenLow = [](__m128i v) { return _mm_srai_epi32(_mm_unpacklo_epi16(v, v), 16); };
    auto widenHigh = [](__m128i v) { return _mm_srai_epi32(_mm_unpackhi_epi16(v, v), 16); };
    for (; narrow && i + 8 <= n; i += 8) {
      __m128i a[4], b[4];
      split(in + i, a);
      split(old + i, b);
      const __m128i db = _mm_sub_epi16(a[0], b[0]), dg = _mm_sub_epi16(a[1], b[1]),
                    dr = _mm_sub_epi16(a[2], b[2]), dc = _mm_sub_epi16(a[3], b[3]);
      const __m128i bgLow = _mm_unpacklo_epi16(db, dg), bgHigh = _mm_unpackhi_epi16(db, dg);
      const __m128i rcLow = _mm_unpacklo_epi16(dr, dc), rcHigh = _mm_unpackhi_epi16(dr, dc);
      const __m128i pairs[4] = {_mm_unpacklo_epi32(bgLow, rcLow), _mm_unpackhi_epi32(bgLow, rcLow),
                                _mm_unpacklo_epi32(bgHigh, rcHigh),
                                _mm_unpackhi_epi32(bgHigh, rcHigh)};
      for (int k = 0; k < 4; ++k) {
        col[i + 2 * k] += std::bit_cast<vSums>(widenLow(pairs[k]));
        col[i + 2 * k + 1] += std::bit_cast<vSums>(widenHigh(pairs[k]));
      }
    }
  }
#endif
  for (; i < n; ++i)
    col[i] += Channels<T, kKeyed>(codec, in[i]) - Channels<T, kKeyed>(codec, old[i]);
}

// One row of the result from the column sums: the running sum over the window's columns
// slides along the row, and each pixel whose own source pixel takes part gets the window's
// average. centre and out start at the rectangle's left edge.
template <class T, bool kD3D, bool kKeyed>
void BlurRow(const sEffectCodec given, const vSums* col, int i0, int i1, int rx, int di0, int di1,
             const T* centre, T* out, cWindowDivider& divider) {
  const sEffectCodec codec = FixedCodec<T, kD3D>(given);
  const cLaneComposer<T, kD3D> compose(codec);
  vSums run{0, 0, 0, 0};
  // The window's columns [cl, ch), in column offsets from i0.
  long long cl = 0, ch = 0;
  auto emit = [&](int i) __attribute__((always_inline)) {
    if (kKeyed && codec.Transparent(centre[i])) return;
    const std::uint32_t n = run[3];
    if (n == 0) return;
    out[i] = compose(divider.Quotients(run, n), out[i]);
  };
  // Moves the window to that of column i.
  auto slide = [&](int i) {
    const long long newCl = std::max<long long>(static_cast<long long>(i) - rx, i0) - i0;
    const long long newCh = std::min<long long>(static_cast<long long>(i) + rx, i1) - i0;
    if (cl == ch) {
      for (long long k = newCl; k < newCh; ++k) run += col[k];
    } else {
      for (long long k = ch; k < newCh; ++k) run += col[k];
      for (long long k = cl; k < newCl; ++k) run -= col[k];
    }
    cl = newCl;
    ch = newCh;
  };
  // Between the edges the window takes one column on the right and drops one on the left.
  const int fastFrom =
      static_cast<int>(std::clamp<long long>(static_cast<long long>(i0) + rx + 1, di0 + 1, di1));
  const int fastTo =
      static_cast<int>(std::clamp<long long>(static_cast<long long>(i1) - rx + 1, fastFrom, di1));
  int i = di0;
  for (; i < fastFrom; ++i) {
    slide(i);
    emit(i);
  }
  const long long toAdded = ch - i, toDropped = cl - i;
  for (; i < fastTo; ++i) {
    run += col[i + toAdded] - col[i + toDropped];
    emit(i);
  }
  cl += fastTo - fastFrom;
  ch += fastTo - fastFrom;
  for (; i < di1; ++i) {
    slide(i);
    emit(i);
  }
}

// The window of every pixel is kept as sums per column over the window's rows, moved down a
// row at a time, and a running sum of those along the row: each source pixel is added and
// taken away once per pass, whatever the radii.
template <class T, bool kD3D, bool kKeyed>
void Blur(cEffectLocks& locks, const sEffectCodec given, int x, int y, int w, int h, int rx, int ry,
          int sx, int sy) {
  const sEffectCodec codec = FixedCodec<T, kD3D>(given);
  const sLockArea da = LockArea(locks.Dst()), sa = LockArea(locks.Src());
  // Rectangle offsets whose source points exist; the others take no part in any window.
  int i0, i1, j0, j1;
  Overlap(sx, w, sa.w, i0, i1);
  Overlap(sy, h, sa.h, j0, j1);
  if (i0 >= i1 || j0 >= j1) return;
  // Destination offsets inside the destination whose centre has a source pixel.
  int di0, di1, dj0, dj1;
  Overlap(x, w, da.w, di0, di1);
  Overlap(y, h, da.h, dj0, dj1);
  di0 = std::max(di0, i0);
  di1 = std::min(di1, i1);
  dj0 = std::max(dj0, j0);
  dj1 = std::min(dj1, j1);
  if (di0 >= di1 || dj0 >= dj1) return;
  cWindowDivider divider(std::min<long long>(2LL * rx, i1 - i0) *
                         std::min<long long>(2LL * ry, j1 - j0));
  thread_local std::vector<vSums> columns;
  columns.assign(static_cast<std::size_t>(i1 - i0), vSums{0, 0, 0, 0});
  vSums* col = columns.data();
  auto sourceRow = [&](long long j) {
    return LockRow<T>(locks.Src(), sy + static_cast<int>(j)) + (sx + i0);
  };
  // The window's rows, [lo, hi), clipped to the rows that have source pixels.
  long long lo = 0, hi = 0;
  for (int j = dj0; j < dj1; ++j) {
    const long long newLo = std::max<long long>(static_cast<long long>(j) - ry, j0);
    const long long newHi = std::min<long long>(static_cast<long long>(j) + ry, j1);
    if (lo != hi && newHi == hi + 1 && newLo == lo + 1) {
      SwapRows<T, kD3D, kKeyed>(codec, sourceRow(hi), sourceRow(lo), col, i1 - i0);
    } else {
      for (long long k = lo == hi ? newLo : hi; k < newHi; ++k) {
        const T* in = sourceRow(k);
        for (int i = 0; i < i1 - i0; ++i) col[i] += Channels<T, kKeyed>(codec, in[i]);
      }
      for (long long k = lo; lo != hi && k < newLo; ++k) {
        const T* in = sourceRow(k);
        for (int i = 0; i < i1 - i0; ++i) col[i] -= Channels<T, kKeyed>(codec, in[i]);
      }
    }
    lo = newLo;
    hi = newHi;
    BlurRow<T, kD3D, kKeyed>(codec, col, i0, i1, rx, di0, di1, LockRow<T>(locks.Src(), sy + j) + sx,
                             LockRow<T>(locks.Dst(), y + j) + x, divider);
  }
}

// Eight-bit units of each 16-bit channel value of the layout, looked up rather than divided.
struct sEightBitUnits {
  DDPIXELLAYOUT layout;
  std::uint32_t r[256], g[256], b[256];
};
const sEightBitUnits& EightBitUnits() {
  thread_local sEightBitUnits units{DDPIXELLAYOUT{}, {}, {}, {}};
  const DDPIXELLAYOUT& l = g_PixelLayout;
  if (units.layout.nMaxR != l.nMaxR || units.layout.nMaxG != l.nMaxG ||
      units.layout.nMaxB != l.nMaxB) {
    units.layout = l;
    for (int c = 0; c < 256; ++c) {
      units.r[c] = static_cast<std::uint32_t>(ChannelTo8(std::min(c, l.nMaxR), l.nMaxR));
      units.g[c] = static_cast<std::uint32_t>(ChannelTo8(std::min(c, l.nMaxG), l.nMaxG));
      units.b[c] = static_cast<std::uint32_t>(ChannelTo8(std::min(c, l.nMaxB), l.nMaxB));
    }
  }
  return units;
}

// The colour of one mosaic block, or false when the block is left as it is.
template <class T>
bool BlockColour(cEffectLocks& locks, const sEffectCodec codec, int sx, int sy, int bx, int by,
                 int bw, int bh, int flags, T& colour) {
  const T first = LockRow<T>(locks.Src(), sy + by)[sx + bx];
  const bool keyed = flags == 1;
  if (codec.d3d || codec.bpp == 8) {
    if (keyed && codec.Transparent(first)) return false;
    colour = codec.d3d ? static_cast<T>(codec.CopyD3D(first)) : first;
    return true;
  }
  const DDPIXELLAYOUT& l = g_PixelLayout;
  const bool sixteen = codec.bpp == 16;
  const sEightBitUnits& units = EightBitUnits();
  std::uint32_t r = 0, g = 0, b = 0, n = 0;
  for (int k = 0; k < bh; ++k) {
    const T* in = LockRow<T>(locks.Src(), sy + by + k) + (sx + bx);
    for (int i = 0; i < bw; ++i) {
      const std::uint32_t p = in[i];
      if (keyed && p == codec.key) continue;
      const sChannels c = codec.Split(p);
      if (sixteen) {
        r += units.r[c.r];
        g += units.g[c.g];
        b += units.b[c.b];
      } else {
        r += static_cast<std::uint32_t>(c.r);
        g += static_cast<std::uint32_t>(c.g);
        b += static_cast<std::uint32_t>(c.b);
      }
      ++n;
    }
  }
  if (n == 0) return false;
  int ar = static_cast<int>(r / n), ag = static_cast<int>(g / n), ab = static_cast<int>(b / n);
  if (sixteen) {
    ar = ChannelFrom8(ar, l.nMaxR);
    ag = ChannelFrom8(ag, l.nMaxG);
    ab = ChannelFrom8(ab, l.nMaxB);
  }
  // At 32 bits byte 3 of the result is written per destination pixel below; the key test
  // sees it as 0.
  const std::uint32_t value = codec.Compose(ar, ag, ab, 0);
  if (keyed && value == codec.key) return false;
  colour = static_cast<T>(value);
  return true;
}

template <class T>
void Mosaic(cEffectLocks& locks, const sEffectCodec codec, int x, int y, int w, int h, int n,
            int sx, int sy, int flags) {
  const sLockArea da = LockArea(locks.Dst()), sa = LockArea(locks.Src());
  // Only source points inside the source surface are read: a block is cut to them, and a
  // block whose first point lies outside is left as it is.
  int i0, i1, j0, j1;
  Overlap(sx, w, sa.w, i0, i1);
  Overlap(sy, h, sa.h, j0, j1);
  int di0, di1, dj0, dj1;
  Overlap(x, w, da.w, di0, di1);
  Overlap(y, h, da.h, dj0, dj1);
  const bool keepAlpha = !codec.d3d && codec.bpp == 32;
  // Only blocks whose first point has a source pixel and that reach the destination are
  // visited, so a huge rectangle costs no more than the surfaces it touches.
  auto first = [n](int sourceFrom, int destinationFrom) {
    const long long up = (static_cast<long long>(sourceFrom) + n - 1) / n * n;
    const long long down = static_cast<long long>(destinationFrom) / n * n;
    return std::max(up, down);
  };
  for (long long by = first(j0, dj0); by < std::min(j1, dj1); by += n) {
    const int top = static_cast<int>(by);
    const int bottom = static_cast<int>(std::min<long long>(by + n, h));
    for (long long bx = first(i0, di0); bx < std::min(i1, di1); bx += n) {
      const int left = static_cast<int>(bx);
      const int right = static_cast<int>(std::min<long long>(bx + n, w));
      T colour;
      if (!BlockColour<T>(locks, codec, sx, sy, left, top, std::min(right, i1) - left,
                          std::min(bottom, j1) - top, flags, colour))
        continue;
      const int fx0 = std::max(left, di0), fx1 = std::min(right, di1);
      for (int k = std::max(top, dj0); k < std::min(bottom, dj1); ++k) {
        T* out = LockRow<T>(locks.Dst(), y + k) + (x + fx0);
        if (keepAlpha) {
          for (int i = 0; i < fx1 - fx0; ++i)
            out[i] = static_cast<T>((out[i] & 0xFF000000u) | (colour & 0xFFFFFFu));
        } else {
          std::fill(out, out + (fx1 - fx0), colour);
        }
      }
    }
  }
}

}  // namespace

bool DDBlur(DDSURFACEDATA* dst, int x, int y, int w, int h, int rx, int ry, DDSURFACEDATA* src,
            int sx, int sy, int flags) {
  if (rx <= 0 || ry <= 0) return true;
  if (w <= 0 || h <= 0 || !SaneCoords({x, y, w, h, sx, sy})) return true;
  cEffectLocks locks(dst, src, g_nBpp);
  if (!locks.Ok()) return false;
  const sEffectCodec codec = EffectCodec(locks, g_nBpp);
  if (g_nBpp == 8) {
    ErrLogF("8ビットぼかしは不可能！");
  } else {
    ForPixelType([&](auto pixel) {
      using T = decltype(pixel);
      if constexpr (sizeof(T) > 1) {
        auto blur = [&](auto d3d, auto keyed) {
          Blur<T, decltype(d3d)::value, decltype(keyed)::value>(locks, codec, x, y, w, h, rx, ry,
                                                                sx, sy);
        };
        auto keyedOrNot = [&](auto d3d) {
          if (flags == 1)
            blur(d3d, std::true_type{});
          else
            blur(d3d, std::false_type{});
        };
        if (codec.d3d)
          keyedOrNot(std::true_type{});
        else
          keyedOrNot(std::false_type{});
      }
    });
  }
  return true;
}

bool DDMosaic(DDSURFACEDATA* dst, int x, int y, int w, int h, int n, DDSURFACEDATA* src, int sx,
              int sy, int flags) {
  // A block size below 1 would never step through the rectangle.
  if (n <= 0) return true;
  if (w <= 0 || h <= 0 || !SaneCoords({x, y, w, h, sx, sy})) return true;
  cEffectLocks locks(dst, src, g_nBpp);
  if (!locks.Ok()) return false;
  const sEffectCodec codec = EffectCodec(locks, g_nBpp);
  ForPixelType(
      [&](auto pixel) { Mosaic<decltype(pixel)>(locks, codec, x, y, w, h, n, sx, sy, flags); });
  return true;
}
