#include "media/raster.h"

#include <algorithm>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif
#include <vector>

#include "foundation/report.h"
#include "media/surface_create.h"
#include "media/wide_vectors.h"

namespace {

inline std::uint32_t Widen5(std::uint32_t c) { return (c << 3) | (c >> 2); }
inline std::uint32_t Widen6(std::uint32_t c) { return (c << 2) | (c >> 4); }

inline std::uint32_t Pack(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return (a << 24) | (r << 16) | (g << 8) | b;
}

inline std::uint32_t Channel(std::uint32_t c, int shift) { return (c >> shift) & 0xFF; }

// 16-bit pixels widened to 0xAARRGGBB by bit replication, and back by truncation.
inline std::uint32_t From565(std::uint32_t p) {
  return Pack(0xFF, Widen5((p >> 11) & 31), Widen6((p >> 5) & 63), Widen5(p & 31));
}
inline std::uint32_t From1555(std::uint32_t p) {
  return Pack((p & 0x8000) ? 0xFF : 0, Widen5((p >> 10) & 31), Widen5((p >> 5) & 31),
              Widen5(p & 31));
}
inline std::uint32_t From555(std::uint32_t p) { return From1555(p) | 0xFF000000u; }
inline std::uint16_t To565(std::uint32_t c) {
  return static_cast<std::uint16_t>(((c >> 8) & 0xF800) | ((c >> 5) & 0x07E0) | ((c >> 3) & 0x1F));
}
inline std::uint16_t To555(std::uint32_t c) {
  return static_cast<std::uint16_t>(((c >> 9) & 0x7C00) | ((c >> 6) & 0x03E0) | ((c >> 3) & 0x1F));
}
inline std::uint16_t To1555(std::uint32_t c) {
  return static_cast<std::uint16_t>(To555(c) | ((c >> 16) & 0x8000));
}

// Per channel of two colours.
template <class Op>
std::uint32_t PerChannel(std::uint32_t x, std::uint32_t y, Op op) {
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8)
    out |= (op(Channel(x, shift), Channel(y, shift)) & 0xFF) << shift;
  return out;
}

std::uint32_t ApplyOp(std::uint32_t op, std::uint32_t arg1, std::uint32_t arg2,
                      std::uint32_t diffuse, std::uint32_t factorAlpha) {
  switch (op) {
    case D3DTOP_DISABLE:
      return diffuse;
    case D3DTOP_SELECTARG1:
      return arg1;
    case D3DTOP_SELECTARG2:
      return arg2;
    case D3DTOP_ADD:
      return PerChannel(arg1, arg2, [](std::uint32_t a, std::uint32_t b) {
        return std::min<std::uint32_t>(a + b, 255);
      });
    case D3DTOP_SUBTRACT:
      return PerChannel(arg1, arg2,
                        [](std::uint32_t a, std::uint32_t b) { return a > b ? a - b : 0; });
    case D3DTOP_BLENDFACTORALPHA:
      return PerChannel(arg1, arg2, [factorAlpha](std::uint32_t a, std::uint32_t b) {
        return (a * factorAlpha + b * (255 - factorAlpha)) / 255;
      });
    case D3DTOP_MODULATE:
    default:
      return PerChannel(arg1, arg2, [](std::uint32_t a, std::uint32_t b) { return a * b / 255; });
  }
}

// Floor of n / d for d > 0.
inline int FloorDiv(long long n, long long d) {
  long long q = n / d;
  if ((n % d) != 0 && n < 0) --q;
  return static_cast<int>(q);
}
inline int Wrap(int v, int size) {
  v %= size;
  return v < 0 ? v + size : v;
}

// The texel offsets of destination positions first to last - 1 of n positions sampling
// (s, span) of a texture of the given size; out[0] is position first.
void SampleOffsets(std::vector<int>& out, int first, int last, int n, int s, int span, int size) {
  out.resize(last - first);
  for (int k = first; k < last; ++k)
    out[k - first] = Wrap(FloorDiv((2LL * k + 1) * span + 2LL * n * s, 2LL * n), size);
}

// The part of [x, x + w) inside [0, size).
void Span(int x, int w, int size, int& from, int& to) {
  from = static_cast<int>(std::max<long long>(x, 0));
  to = static_cast<int>(std::min<long long>(static_cast<long long>(x) + w, size));
}

}  // namespace

bool PlainStage(const sQuadStage& stage) {
  return stage.dwColor == 0xFFFFFFFF && !stage.bArg2Factor &&
         (stage.dwColorOp == D3DTOP_MODULATE || stage.dwColorOp == D3DTOP_SELECTARG1) &&
         stage.dwAlphaOp == D3DTOP_SELECTARG1;
}

std::uint32_t PixelToArgb(std::uint32_t p, D3DFORMAT format) {
  switch (format) {
    case D3DFMT_A8R8G8B8:
      return p;
    case D3DFMT_X8R8G8B8:
      return 0xFF000000u | p;
    case D3DFMT_R5G6B5:
      return From565(p);
    case D3DFMT_A1R5G5B5:
      return From1555(p);
    case D3DFMT_X1R5G5B5:
      return From555(p);
    default:
      return p;
  }
}

std::uint32_t CombineStage(std::uint32_t texel, const sQuadStage& stage) {
  const std::uint32_t arg2 = stage.bArg2Factor ? stage.dwFactor : stage.dwColor;
  const std::uint32_t factorAlpha = stage.dwFactor >> 24;
  const std::uint32_t colour =
      ApplyOp(stage.dwColorOp, texel, arg2, stage.dwColor, factorAlpha) & 0xFFFFFF;
  const std::uint32_t alpha =
      ApplyOp(stage.dwAlphaOp, texel, arg2, stage.dwColor, factorAlpha) & 0xFF000000u;
  return alpha | colour;
}

namespace {

// x / 255 for 0 <= x <= 65534, exact.
inline std::uint32_t Div255(std::uint32_t x) { return (x + 1 + (x >> 8)) >> 8; }

// src over dst with alpha a: each channel (s * a + d * (255 - a) + 127) / 255, two channels
// at a time in the 16-bit halves of a word (no half exceeds 65407, so none carries over).
inline std::uint32_t BlendPartial(std::uint32_t s, std::uint32_t d, std::uint32_t a) {
  const std::uint32_t na = 255 - a;
  std::uint32_t rb = (s & 0x00FF00FFu) * a + (d & 0x00FF00FFu) * na + 0x007F007Fu;
  rb = ((rb + 0x00010001u + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
  std::uint32_t ag = ((s >> 8) & 0x00FF00FFu) * a + ((d >> 8) & 0x00FF00FFu) * na + 0x007F007Fu;
  ag = (ag + 0x00010001u + ((ag >> 8) & 0x00FF00FFu)) & 0xFF00FF00u;
  return rb | ag;
}

#ifdef __SSE2__
// Four pixels at once, each channel as BlendPartial computes it, for any alpha (0 keeps the
// destination, 255 gives the source), in 16-bit lanes.
inline __m128i Blend4(__m128i s, __m128i d) {
  const __m128i zero = _mm_setzero_si128(), full = _mm_set1_epi16(255);
  const __m128i round = _mm_set1_epi16(127), one = _mm_set1_epi16(1);
  auto half = [&](__m128i s16, __m128i d16) {
    __m128i a = _mm_shufflelo_epi16(s16, _MM_SHUFFLE(3, 3, 3, 3));
    a = _mm_shufflehi_epi16(a, _MM_SHUFFLE(3, 3, 3, 3));
    __m128i x = _mm_add_epi16(
        _mm_add_epi16(_mm_mullo_epi16(s16, a), _mm_mullo_epi16(d16, _mm_sub_epi16(full, a))),
        round);
    x = _mm_add_epi16(_mm_add_epi16(x, one), _mm_srli_epi16(x, 8));
    return _mm_srli_epi16(x, 8);
  };
  const __m128i lo = half(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero));
  const __m128i hi = half(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero));
  return _mm_packus_epi16(lo, hi);
}
#endif

// Texels of 32 bits blended into a 32-bit row as they are; a texel of alpha 0 leaves its
// pixel as it is. Groups of four that are all opaque or all transparent are stored or skipped
// without reading the target, whose rows are mostly not in the cache.
inline void BlendStraight32(std::uint32_t* out, const std::uint32_t* in, int n,
                            std::uint32_t keep) {
  int k = 0;
#ifdef __SSE2__
  const __m128i opaque = _mm_set1_epi32(255), zero = _mm_setzero_si128();
  const __m128i keepMask = _mm_set1_epi32(static_cast<int>(keep));
  const __m128i fill = _mm_set1_epi32(static_cast<int>(~keep));
  for (; k + 4 <= n; k += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k));
    const __m128i a = _mm_srli_epi32(s, 24);
    const __m128i fullMask = _mm_cmpeq_epi32(a, opaque);
    const int full = _mm_movemask_epi8(fullMask);
    auto* o = reinterpret_cast<__m128i*>(out + k);
    if (full == 0xFFFF) {
      _mm_storeu_si128(o, _mm_and_si128(s, keepMask));
      continue;
    }
    const __m128i clearMask = _mm_cmpeq_epi32(a, zero);
    const int clear = _mm_movemask_epi8(clearMask);
    if (clear == 0xFFFF) continue;
    const __m128i d = _mm_loadu_si128(o);
    if ((full | clear) == 0xFFFF) {
      // Only opaque and transparent texels (the edge of a keyed sprite): a select.
      _mm_storeu_si128(o, _mm_or_si128(_mm_and_si128(fullMask, _mm_and_si128(s, keepMask)),
                                       _mm_andnot_si128(fullMask, d)));
      continue;
    }
    const __m128i blended = _mm_and_si128(Blend4(s, _mm_or_si128(d, fill)), keepMask);
    _mm_storeu_si128(
        o, _mm_or_si128(_mm_and_si128(clearMask, d), _mm_andnot_si128(clearMask, blended)));
  }
#endif
  for (; k < n; ++k) {
    const std::uint32_t p = in[k], pa = p >> 24;
    if (pa == 255)
      out[k] = p & keep;
    else if (pa != 0)
      out[k] = BlendPartial(p, out[k] | ~keep, pa) & keep;
  }
}

#if defined(__x86_64__) && defined(__GNUC__)
#define TW_RASTER_AVX2 1
// Blend4 for eight pixels: one half of them in 16-bit lanes, then both halves.
__attribute__((target("avx2"))) inline __m256i BlendHalf8(__m256i s16, __m256i d16) {
  const __m256i full = _mm256_set1_epi16(255), round = _mm256_set1_epi16(127),
                one = _mm256_set1_epi16(1);
  __m256i a = _mm256_shufflelo_epi16(s16, _MM_SHUFFLE(3, 3, 3, 3));
  a = _mm256_shufflehi_epi16(a, _MM_SHUFFLE(3, 3, 3, 3));
  __m256i x = _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(s16, a),
                                                _mm256_mullo_epi16(d16, _mm256_sub_epi16(full, a))),
                               round);
  x = _mm256_add_epi16(_mm256_add_epi16(x, one), _mm256_srli_epi16(x, 8));
  return _mm256_srli_epi16(x, 8);
}
__attribute__((target("avx2"))) inline __m256i Blend8(__m256i s, __m256i d) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i lo = BlendHalf8(_mm256_unpacklo_epi8(s, zero), _mm256_unpacklo_epi8(d, zero));
  const __m256i hi = BlendHalf8(_mm256_unpackhi_epi8(s, zero), _mm256_unpackhi_epi8(d, zero));
  return _mm256_packus_epi16(lo, hi);
}

// Eight texels of 32 bits blended into eight pixels at o as BlendStraight32 does.
__attribute__((target("avx2"))) inline void BlendStraight8(__m256i* o, __m256i s,
                                                          __m256i keepMask, __m256i fill) {
  const __m256i opaque = _mm256_set1_epi32(255), zero = _mm256_setzero_si256();
  const __m256i a = _mm256_srli_epi32(s, 24);
  const __m256i fullMask = _mm256_cmpeq_epi32(a, opaque);
  const int full = _mm256_movemask_ps(_mm256_castsi256_ps(fullMask));
  if (full == 0xFF) {
    _mm256_storeu_si256(o, _mm256_and_si256(s, keepMask));
    return;
  }
  const __m256i clearMask = _mm256_cmpeq_epi32(a, zero);
  const int clear = _mm256_movemask_ps(_mm256_castsi256_ps(clearMask));
  if (clear == 0xFF) return;
  const __m256i d = _mm256_loadu_si256(o);
  if ((full | clear) == 0xFF) {
    _mm256_storeu_si256(o, _mm256_blendv_epi8(d, _mm256_and_si256(s, keepMask), fullMask));
    return;
  }
  const __m256i blended = _mm256_and_si256(Blend8(s, _mm256_or_si256(d, fill)), keepMask);
  _mm256_storeu_si256(o, _mm256_blendv_epi8(blended, d, clearMask));
}

// BlendStraight32 eight texels at a time on machines that have the wider vectors, with the
// same values. The upper register halves are cleared before the narrower code takes the tail.
__attribute__((target("avx2"))) void BlendStraight32Wide(std::uint32_t* out,
                                                         const std::uint32_t* in, int n,
                                                         std::uint32_t keep) {
  const __m256i keepMask = _mm256_set1_epi32(static_cast<int>(keep));
  const __m256i fill = _mm256_set1_epi32(static_cast<int>(~keep));
  int k = 0;
  for (; k + 8 <= n; k += 8)
    BlendStraight8(reinterpret_cast<__m256i*>(out + k),
                   _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + k)), keepMask, fill);
  _mm256_zeroupper();
  if (k < n) BlendStraight32(out + k, in + k, n - k, keep);
}

// The factors of a modulation: blue, green, red, alpha in the 16-bit lanes of each pixel.
__attribute__((target("avx2"))) inline __m256i ModulationFactor(std::uint32_t cb, std::uint32_t cg,
                                                                std::uint32_t cr,
                                                                std::uint32_t ca) {
  const short b = static_cast<short>(cb), g = static_cast<short>(cg), r = static_cast<short>(cr),
              a = static_cast<short>(ca);
  return _mm256_setr_epi16(b, g, r, a, b, g, r, a, b, g, r, a, b, g, r, a);
}

// Eight texels' channels times the factors, divided by 255 exactly.
__attribute__((target("avx2"))) inline __m256i Modulate8(__m256i t, __m256i factor) {
  const __m256i zero = _mm256_setzero_si256(), one = _mm256_set1_epi16(1);
  __m256i lo = _mm256_mullo_epi16(_mm256_unpacklo_epi8(t, zero), factor);
  __m256i hi = _mm256_mullo_epi16(_mm256_unpackhi_epi8(t, zero), factor);
  lo = _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(lo, one), _mm256_srli_epi16(lo, 8)), 8);
  hi = _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(hi, one), _mm256_srli_epi16(hi, 8)), 8);
  return _mm256_packus_epi16(lo, hi);
}

// Texel channels times the colour's channels, divided by 255 exactly, eight pixels at a time
// as CombineRow does four; the pixels done are returned, the rest is left to the caller.
__attribute__((target("avx2"))) int ModulateRowWide(std::uint32_t* px, int n, std::uint32_t cb,
                                                    std::uint32_t cg, std::uint32_t cr,
                                                    std::uint32_t ca) {
  const __m256i factor = ModulationFactor(cb, cg, cr, ca);
  int k = 0;
  for (; k + 8 <= n; k += 8) {
    auto* p = reinterpret_cast<__m256i*>(px + k);
    _mm256_storeu_si256(p, Modulate8(_mm256_loadu_si256(p), factor));
  }
  _mm256_zeroupper();
  return k;
}

// Texels modulated and blended straight into a 32-bit row in one pass, eight at a time, with
// the values of ModulateRow then BlendStraight32; the texels done are returned.
__attribute__((target("avx2"))) int ModulateBlend32Wide(std::uint32_t* out,
                                                        const std::uint32_t* in, int n,
                                                        std::uint32_t c, std::uint32_t ca,
                                                        std::uint32_t keep) {
  const __m256i factor = ModulationFactor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF, ca);
  const __m256i keepMask = _mm256_set1_epi32(static_cast<int>(keep));
  const __m256i fill = _mm256_set1_epi32(static_cast<int>(~keep));
  int k = 0;
  for (; k + 8 <= n; k += 8)
    BlendStraight8(
        reinterpret_cast<__m256i*>(out + k),
        Modulate8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + k)), factor),
        keepMask, fill);
  _mm256_zeroupper();
  return k;
}
#endif

#ifdef __SSE2__
// The 16-bit formats in vectors: four pixels in the low halves of 32-bit lanes widened to
// 0xAARRGGBB by bit replication, and cut back by truncation, as From565 ... To1555 do.
inline __m128i Widen5x4(__m128i c) {
  return _mm_or_si128(_mm_slli_epi32(c, 3), _mm_srli_epi32(c, 2));
}
inline __m128i Widen6x4(__m128i c) {
  return _mm_or_si128(_mm_slli_epi32(c, 2), _mm_srli_epi32(c, 4));
}

template <D3DFORMAT kFormat>
inline __m128i Widen16x4(__m128i p) {
  const __m128i five = _mm_set1_epi32(31);
  const __m128i b = Widen5x4(_mm_and_si128(p, five));
  __m128i r, g, a;
  if constexpr (kFormat == D3DFMT_R5G6B5) {
    r = Widen5x4(_mm_and_si128(_mm_srli_epi32(p, 11), five));
    g = Widen6x4(_mm_and_si128(_mm_srli_epi32(p, 5), _mm_set1_epi32(63)));
    a = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  } else {
    r = Widen5x4(_mm_and_si128(_mm_srli_epi32(p, 10), five));
    g = Widen5x4(_mm_and_si128(_mm_srli_epi32(p, 5), five));
    if constexpr (kFormat == D3DFMT_A1R5G5B5)
      a = _mm_slli_epi32(_mm_srai_epi32(_mm_slli_epi32(p, 16), 31), 24);
    else
      a = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  }
  return _mm_or_si128(_mm_or_si128(a, _mm_slli_epi32(r, 16)),
                      _mm_or_si128(_mm_slli_epi32(g, 8), b));
}

// Four colours cut to a 16-bit format, each in the low half of its lane (the upper half 0).
template <D3DFORMAT kFormat>
inline __m128i Narrow16x4(__m128i c) {
  auto field = [&](int shift, std::uint32_t mask) {
    return _mm_and_si128(_mm_srli_epi32(c, shift), _mm_set1_epi32(static_cast<int>(mask)));
  };
  if constexpr (kFormat == D3DFMT_R5G6B5)
    return _mm_or_si128(_mm_or_si128(field(8, 0xF800), field(5, 0x07E0)), field(3, 0x1F));
  __m128i v = _mm_or_si128(_mm_or_si128(field(9, 0x7C00), field(6, 0x03E0)), field(3, 0x1F));
  if constexpr (kFormat == D3DFMT_A1R5G5B5) v = _mm_or_si128(v, field(16, 0x8000));
  return v;
}

// Two vectors of 16-bit values in 32-bit lanes packed into one of eight.
inline __m128i Pack16(__m128i lo, __m128i hi) {
  lo = _mm_srai_epi32(_mm_slli_epi32(lo, 16), 16);
  hi = _mm_srai_epi32(_mm_slli_epi32(hi, 16), 16);
  return _mm_packs_epi32(lo, hi);
}
#endif

template <D3DFORMAT kFormat, std::uint32_t (*Decode)(std::uint32_t)>
void Decode16(const std::uint16_t* p, const int* columns, int first, int n, std::uint32_t* out) {
  if (columns) {
    for (int k = 0; k < n; ++k) out[k] = Decode(p[columns[k]]);
    return;
  }
  p += first;
  int k = 0;
#ifdef __SSE2__
  const __m128i zero = _mm_setzero_si128();
  for (; k + 8 <= n; k += 8) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k),
                     Widen16x4<kFormat>(_mm_unpacklo_epi16(v, zero)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k + 4),
                     Widen16x4<kFormat>(_mm_unpackhi_epi16(v, zero)));
  }
#endif
  for (; k < n; ++k) out[k] = Decode(p[k]);
}

// Texels of one row into 0xAARRGGBB: n texels at the given column offsets, or (columns null)
// n consecutive texels from column first.
void DecodeRow(const cPixelSurface& tex, int v, const int* columns, int first, int n,
               std::uint32_t* out) {
  const std::uint8_t* row = tex.Bits() + static_cast<std::size_t>(v) * tex.PitchBytes();
  const auto* p16 = reinterpret_cast<const std::uint16_t*>(row);
  const auto* p32 = reinterpret_cast<const std::uint32_t*>(row);
  switch (tex.Format()) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8: {
      const std::uint32_t fill = tex.Format() == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0;
      if (columns)
        for (int k = 0; k < n; ++k) out[k] = p32[columns[k]] | fill;
      else
        for (int k = 0; k < n; ++k) out[k] = p32[first + k] | fill;
      break;
    }
    case D3DFMT_R5G6B5:
      Decode16<D3DFMT_R5G6B5, From565>(p16, columns, first, n, out);
      break;
    case D3DFMT_A1R5G5B5:
      Decode16<D3DFMT_A1R5G5B5, From1555>(p16, columns, first, n, out);
      break;
    case D3DFMT_X1R5G5B5:
      Decode16<D3DFMT_X1R5G5B5, From555>(p16, columns, first, n, out);
      break;
    default:
      for (int k = 0; k < n; ++k) out[k] = tex.Get(columns ? columns[k] : first + k, v);
      break;
  }
}

// Opaque texels of a 1-5-5-5 texture into a 16-bit target (5-6-5 or 1-5-5-5) as they are;
// texels without the alpha bit leave the target. The same values as widening and cutting back.
void Straight1555(std::uint16_t* out, const std::uint16_t* in, int n, bool to565) {
  int k = 0;
#ifdef __SSE2__
  const __m128i red = _mm_set1_epi16(0x7C00), green = _mm_set1_epi16(0x03E0),
                greenTop = _mm_set1_epi16(0x0200), blue = _mm_set1_epi16(0x001F);
  for (; k + 8 <= n; k += 8) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k));
    const __m128i opaque = _mm_srai_epi16(p, 15);
    const int mask = _mm_movemask_epi8(opaque);
    if (mask == 0) continue;
    __m128i c = p;
    if (to565)
      c = _mm_or_si128(
          _mm_or_si128(_mm_slli_epi16(_mm_and_si128(p, red), 1),
                       _mm_slli_epi16(_mm_and_si128(p, green), 1)),
          _mm_or_si128(_mm_srli_epi16(_mm_and_si128(p, greenTop), 4), _mm_and_si128(p, blue)));
    // Texels all opaque are stored without reading the target, whose rows are mostly not in
    // the cache.
    auto* o = reinterpret_cast<__m128i*>(out + k);
    if (mask != 0xFFFF)
      c = _mm_or_si128(_mm_and_si128(opaque, c), _mm_andnot_si128(opaque, _mm_loadu_si128(o)));
    _mm_storeu_si128(o, c);
  }
#endif
  for (; k < n; ++k)
    if (in[k] & 0x8000) out[k] = to565 ? To565(From1555(in[k])) : in[k];
}

// Colours blended into a 16-bit row: each pixel widened, blended, cut back; a colour of
// alpha 0 leaves its pixel as it is.
template <D3DFORMAT kFormat, std::uint32_t (*Decode)(std::uint32_t),
          std::uint16_t (*Encode)(std::uint32_t)>
void Blend16(std::uint16_t* out, const std::uint32_t* src, int n) {
  int k = 0;
#ifdef __SSE2__
  const __m128i zero = _mm_setzero_si128();
  for (; k + 8 <= n; k += 8) {
    auto* o = reinterpret_cast<__m128i*>(out + k);
    const __m128i sLo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + k));
    const __m128i sHi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + k + 4));
    const __m128i opaque = _mm_set1_epi32(255);
    if (_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi32(_mm_srli_epi32(sLo, 24), opaque),
                                        _mm_cmpeq_epi32(_mm_srli_epi32(sHi, 24), opaque))) ==
        0xFFFF) {
      // All opaque: the colours cut to the format, the target not read.
      _mm_storeu_si128(o, Pack16(Narrow16x4<kFormat>(sLo), Narrow16x4<kFormat>(sHi)));
      continue;
    }
    const __m128i clear = _mm_packs_epi32(_mm_cmpeq_epi32(_mm_srli_epi32(sLo, 24), zero),
                                          _mm_cmpeq_epi32(_mm_srli_epi32(sHi, 24), zero));
    const __m128i d = _mm_loadu_si128(o);
    const __m128i lo =
        Narrow16x4<kFormat>(Blend4(sLo, Widen16x4<kFormat>(_mm_unpacklo_epi16(d, zero))));
    const __m128i hi =
        Narrow16x4<kFormat>(Blend4(sHi, Widen16x4<kFormat>(_mm_unpackhi_epi16(d, zero))));
    _mm_storeu_si128(
        o, _mm_or_si128(_mm_and_si128(clear, d), _mm_andnot_si128(clear, Pack16(lo, hi))));
  }
#endif
  for (; k < n; ++k) {
    const std::uint32_t s = src[k], a = s >> 24;
    if (a == 255)
      out[k] = Encode(s);
    else if (a != 0)
      out[k] = Encode(BlendPartial(s, Decode(out[k]), a));
  }
}

// Texel channels times the colour's channels (alpha times ca), divided by 255 exactly.
void ModulateRow(std::uint32_t* px, int n, std::uint32_t c, std::uint32_t ca) {
  const std::uint32_t cr = (c >> 16) & 0xFF, cg = (c >> 8) & 0xFF, cb = c & 0xFF;
  int k = 0;
#ifdef TW_RASTER_AVX2
  if (WideVectorsOn()) k = ModulateRowWide(px, n, cb, cg, cr, ca);
#endif
#ifdef __SSE2__
  // Two pixels per half: texel channel times colour channel, divided by 255 exactly.
  const __m128i factor =
      _mm_setr_epi16(static_cast<short>(cb), static_cast<short>(cg), static_cast<short>(cr),
                     static_cast<short>(ca), static_cast<short>(cb), static_cast<short>(cg),
                     static_cast<short>(cr), static_cast<short>(ca));
  const __m128i zero = _mm_setzero_si128(), one = _mm_set1_epi16(1);
  auto half = [&](__m128i t16) {
    __m128i x = _mm_mullo_epi16(t16, factor);
    x = _mm_add_epi16(_mm_add_epi16(x, one), _mm_srli_epi16(x, 8));
    return _mm_srli_epi16(x, 8);
  };
  for (; k + 4 <= n; k += 4) {
    auto* p = reinterpret_cast<__m128i*>(px + k);
    const __m128i t = _mm_loadu_si128(p);
    _mm_storeu_si128(
        p, _mm_packus_epi16(half(_mm_unpacklo_epi8(t, zero)), half(_mm_unpackhi_epi8(t, zero))));
  }
#endif
  for (; k < n; ++k) {
    const std::uint32_t t = px[k];
    px[k] = Div255((t >> 24) * ca) << 24 | Div255(((t >> 16) & 0xFF) * cr) << 16 |
            Div255(((t >> 8) & 0xFF) * cg) << 8 | Div255((t & 0xFF) * cb);
  }
}

// Stage 0 over a row of texels. Vertex-colour modulation, the common case, runs inline, and
// so does the disabled alpha stage (every texel takes the vertex colour's alpha) that full
// screen copies draw with.
void CombineRow(std::uint32_t* px, int n, const sQuadStage& stage) {
  const std::uint32_t c = stage.dwColor;
  const bool disable = stage.dwAlphaOp == D3DTOP_DISABLE;
  const bool modulate =
      !stage.bArg2Factor && stage.dwColorOp == D3DTOP_MODULATE &&
      (stage.dwAlphaOp == D3DTOP_MODULATE || stage.dwAlphaOp == D3DTOP_SELECTARG1 || disable);
  const bool select = !stage.bArg2Factor && stage.dwColorOp == D3DTOP_SELECTARG1 && disable;
  if (!modulate && !select) {
    for (int k = 0; k < n; ++k) px[k] = CombineStage(px[k], stage);
    return;
  }
  const std::uint32_t ca = stage.dwAlphaOp == D3DTOP_MODULATE ? c >> 24 : 255;
  // Modulation by white leaves every channel as it is.
  if (modulate && ((c & 0xFFFFFF) != 0xFFFFFF || ca != 255)) ModulateRow(px, n, c, ca);
  if (disable) {
    const std::uint32_t alpha = c & 0xFF000000u;
    for (int k = 0; k < n; ++k) px[k] = (px[k] & 0xFFFFFF) | alpha;
  }
}

// A row of colours blended into n target pixels from column x0 of row j.
void BlendRow(cPixelSurface& dst, int j, int x0, const std::uint32_t* src, int n) {
  const D3DFORMAT f = dst.Format();
  std::uint8_t* row = dst.Row(j);
  if (f == D3DFMT_A8R8G8B8 || f == D3DFMT_X8R8G8B8) {
    // A target without alpha keeps its alpha byte 0, as the format's conversion does.
    const std::uint32_t keep = f == D3DFMT_X8R8G8B8 ? 0x00FFFFFFu : 0xFFFFFFFFu;
#ifdef TW_RASTER_AVX2
    if (WideVectorsOn()) {
      BlendStraight32Wide(reinterpret_cast<std::uint32_t*>(row) + x0, src, n, keep);
      return;
    }
#endif
    BlendStraight32(reinterpret_cast<std::uint32_t*>(row) + x0, src, n, keep);
    return;
  }
  auto* out16 = reinterpret_cast<std::uint16_t*>(row) + x0;
  switch (f) {
    case D3DFMT_R5G6B5:
      Blend16<D3DFMT_R5G6B5, From565, To565>(out16, src, n);
      break;
    case D3DFMT_A1R5G5B5:
      Blend16<D3DFMT_A1R5G5B5, From1555, To1555>(out16, src, n);
      break;
    case D3DFMT_X1R5G5B5:
      Blend16<D3DFMT_X1R5G5B5, From555, To555>(out16, src, n);
      break;
    default:
      break;
  }
}

}  // namespace

namespace {

// A 16-bit format's conversion over a row in place: four pixels at a time, then the tail.
template <D3DFORMAT kFormat, std::uint32_t (*Scalar)(std::uint32_t), bool kWiden>
void Convert16(std::uint32_t* px, int n) {
  int k = 0;
#ifdef __SSE2__
  for (; k + 4 <= n; k += 4) {
    auto* p = reinterpret_cast<__m128i*>(px + k);
    const __m128i v = _mm_loadu_si128(p);
    if constexpr (kWiden)
      _mm_storeu_si128(p, Widen16x4<kFormat>(v));
    else
      _mm_storeu_si128(p, Narrow16x4<kFormat>(v));
  }
#endif
  for (; k < n; ++k) px[k] = Scalar(px[k]);
}

std::uint32_t Narrow565(std::uint32_t c) { return To565(c); }
std::uint32_t Narrow555(std::uint32_t c) { return To555(c); }
std::uint32_t Narrow1555(std::uint32_t c) { return To1555(c); }

}  // namespace

void PixelsToArgb(std::uint32_t* px, int n, D3DFORMAT format) {
  switch (format) {
    case D3DFMT_A8R8G8B8:
      break;
    case D3DFMT_X8R8G8B8:
      for (int k = 0; k < n; ++k) px[k] |= 0xFF000000u;
      break;
    case D3DFMT_R5G6B5:
      Convert16<D3DFMT_R5G6B5, From565, true>(px, n);
      break;
    case D3DFMT_A1R5G5B5:
      Convert16<D3DFMT_A1R5G5B5, From1555, true>(px, n);
      break;
    case D3DFMT_X1R5G5B5:
      Convert16<D3DFMT_X1R5G5B5, From555, true>(px, n);
      break;
    default:
      break;
  }
}

void ArgbsToFormat(std::uint32_t* px, int n, D3DFORMAT format) {
  switch (format) {
    case D3DFMT_A8R8G8B8:
      break;
    case D3DFMT_X8R8G8B8:
      for (int k = 0; k < n; ++k) px[k] &= 0xFFFFFFu;
      break;
    case D3DFMT_R5G6B5:
      Convert16<D3DFMT_R5G6B5, Narrow565, false>(px, n);
      break;
    case D3DFMT_A1R5G5B5:
      Convert16<D3DFMT_A1R5G5B5, Narrow1555, false>(px, n);
      break;
    case D3DFMT_X1R5G5B5:
      Convert16<D3DFMT_X1R5G5B5, Narrow555, false>(px, n);
      break;
    default:
      for (int k = 0; k < n; ++k) px[k] = ArgbToFormat(px[k], format);
      break;
  }
}

void CombineTexels(std::uint32_t* px, int n, const sQuadStage& stage) {
  if (!PlainStage(stage)) CombineRow(px, n, stage);
}

std::uint32_t BlendOver(std::uint32_t src, std::uint32_t dst) {
  const std::uint32_t a = src >> 24;
  if (a == 255) return src;
  if (a == 0) return dst;
  return BlendPartial(src, dst, a);
}

void BlendOverRow(std::uint32_t* px, const std::uint32_t* under, int n) {
  int k = 0;
#ifdef __SSE2__
  // Blend4 gives the source for alpha 255 and the destination for alpha 0, as BlendOver does.
  for (; k + 4 <= n; k += 4) {
    auto* p = reinterpret_cast<__m128i*>(px + k);
    _mm_storeu_si128(p, Blend4(_mm_loadu_si128(p),
                               _mm_loadu_si128(reinterpret_cast<const __m128i*>(under + k))));
  }
#endif
  for (; k < n; ++k) px[k] = BlendOver(px[k], under[k]);
}

void RasterTexturedQuad(cPixelSurface& dst, int x, int y, int w, int h, const cPixelSurface& tex,
                        int sx, int sy, int sw, int sh, const sQuadStage& stage) {
  if (w <= 0 || h <= 0 || !dst.Bits() || !tex.Bits() || !SaneCoords({x, y, w, h, sx, sy, sw, sh}))
    return;
  int x0, x1, y0, y1;
  Span(x, w, dst.Width(), x0, x1);
  Span(y, h, dst.Height(), y0, y1);
  if (x0 >= x1 || y0 >= y1) return;
  const int n = x1 - x0;
  // One to one inside the texture: texels are read in a row, with no sampling table.
  const bool direct =
      sw == w && sh == h && sx >= 0 && sy >= 0 && sx + sw <= tex.Width() && sy + sh <= tex.Height();
  const bool plain = PlainStage(stage);
  const D3DFORMAT target = dst.Format();
  if (direct && plain && tex.Format() == D3DFMT_A8R8G8B8 &&
      (target == D3DFMT_A8R8G8B8 || target == D3DFMT_X8R8G8B8)) {
    // The sprite case, by the thousand each frame: texels blended straight from the texture.
    const std::uint32_t keep = target == D3DFMT_X8R8G8B8 ? 0x00FFFFFFu : 0xFFFFFFFFu;
    const std::uint8_t* in = tex.Bits() + static_cast<std::size_t>(sy + y0 - y) * tex.PitchBytes() +
                             static_cast<std::size_t>(sx + x0 - x) * 4;
    std::uint8_t* out = dst.Row(y0) + static_cast<std::size_t>(x0) * 4;
#ifdef TW_RASTER_AVX2
    if (WideVectorsOn()) {
      for (int j = y0; j < y1; ++j, in += tex.PitchBytes(), out += dst.PitchBytes())
        BlendStraight32Wide(reinterpret_cast<std::uint32_t*>(out),
                            reinterpret_cast<const std::uint32_t*>(in), n, keep);
      return;
    }
#endif
    for (int j = y0; j < y1; ++j, in += tex.PitchBytes(), out += dst.PitchBytes())
      BlendStraight32(reinterpret_cast<std::uint32_t*>(out),
                      reinterpret_cast<const std::uint32_t*>(in), n, keep);
    return;
  }
  thread_local std::vector<int> columns, rows;
  thread_local std::vector<std::uint32_t> texels;
  if (!direct) {
    SampleOffsets(columns, x0 - x, x1 - x, w, sx, sw, tex.Width());
    SampleOffsets(rows, y0 - y, y1 - y, h, sy, sh, tex.Height());
  }
  texels.resize(n);
  // Texels of 32 bits that the stage leaves as they are are blended straight from the texture.
  const bool straight = direct && plain && tex.Format() == D3DFMT_A8R8G8B8;
  // Texels of 1-5-5-5 that it leaves so are copied into a 16-bit target as they are, from the
  // texture or (stretched) from a row of the sampled texels.
  const bool straight16 = plain && tex.Format() == D3DFMT_A1R5G5B5 &&
                          (target == D3DFMT_R5G6B5 || target == D3DFMT_A1R5G5B5);
  thread_local std::vector<std::uint16_t> texels16;
  if (straight16 && !direct) texels16.resize(n);
#ifdef TW_RASTER_AVX2
  // Texels of 32 bits modulated by the vertex colour into a 32-bit target (the blended quads
  // of a frame): modulated and blended in one pass.
  const bool modulated = !stage.bArg2Factor && stage.dwColorOp == D3DTOP_MODULATE &&
                         (stage.dwAlphaOp == D3DTOP_MODULATE || stage.dwAlphaOp == D3DTOP_SELECTARG1);
  if (direct && !plain && modulated && tex.Format() == D3DFMT_A8R8G8B8 &&
      (target == D3DFMT_A8R8G8B8 || target == D3DFMT_X8R8G8B8) && WideVectorsOn()) {
    const std::uint32_t keep = target == D3DFMT_X8R8G8B8 ? 0x00FFFFFFu : 0xFFFFFFFFu;
    const std::uint32_t c = stage.dwColor;
    const std::uint32_t ca = stage.dwAlphaOp == D3DTOP_MODULATE ? c >> 24 : 255;
    for (int j = y0; j < y1; ++j) {
      const auto* in = reinterpret_cast<const std::uint32_t*>(
                           tex.Bits() + static_cast<std::size_t>(sy + j - y) * tex.PitchBytes()) +
                       (sx + x0 - x);
      auto* out = reinterpret_cast<std::uint32_t*>(dst.Row(j)) + x0;
      const int k = ModulateBlend32Wide(out, in, n, c, ca, keep);
      if (k == n) continue;
      std::copy(in + k, in + n, texels.data());
      ModulateRow(texels.data(), n - k, c, ca);
      BlendStraight32(out + k, texels.data(), n - k, keep);
    }
    return;
  }
#endif
  for (int j = y0; j < y1; ++j) {
    const int v = direct ? sy + j - y : rows[j - y0];
    if (straight16) {
      const auto* texRow =
          reinterpret_cast<const std::uint16_t*>(tex.Bits() + static_cast<std::size_t>(v) *
                                                                  tex.PitchBytes());
      const std::uint16_t* in = texRow + (sx + x0 - x);
      if (!direct) {
        for (int k = 0; k < n; ++k) texels16[k] = texRow[columns[k]];
        in = texels16.data();
      }
      Straight1555(reinterpret_cast<std::uint16_t*>(dst.Row(j)) + x0, in, n,
                   dst.Format() == D3DFMT_R5G6B5);
      continue;
    }
    const std::uint32_t* src;
    if (straight) {
      src = reinterpret_cast<const std::uint32_t*>(tex.Bits() +
                                                   static_cast<std::size_t>(v) * tex.PitchBytes()) +
            (sx + x0 - x);
    } else {
      DecodeRow(tex, v, direct ? nullptr : columns.data(), sx + x0 - x, n, texels.data());
      if (!plain) CombineRow(texels.data(), n, stage);
      src = texels.data();
    }
    BlendRow(dst, j, x0, src, n);
  }
}

void RasterColourQuad(cPixelSurface& dst, int x, int y, int w, int h, std::uint32_t argb) {
  if ((argb >> 24) == 0 || !dst.Bits() || w <= 0 || h <= 0 || !SaneCoords({x, y, w, h})) return;
  int x0, x1, y0, y1;
  Span(x, w, dst.Width(), x0, x1);
  Span(y, h, dst.Height(), y0, y1);
  if (x0 >= x1) return;
  thread_local std::vector<std::uint32_t> colours;
  colours.assign(x1 - x0, argb);
  for (int j = y0; j < y1; ++j) BlendRow(dst, j, x0, colours.data(), x1 - x0);
}

void RasterClear(cPixelSurface& dst, int x, int y, int w, int h, std::uint32_t argb) {
  if (!dst.Bits() || w <= 0 || h <= 0 || !SaneCoords({x, y, w, h})) return;
  int x0, x1, y0, y1;
  Span(x, w, dst.Width(), x0, x1);
  Span(y, h, dst.Height(), y0, y1);
  const std::uint32_t value = ArgbToFormat(argb, dst.Format());
  for (int j = y0; j < y1; ++j) dst.FillRow(x0, j, x1 - x0, value);
}
