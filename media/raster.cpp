#include "media/raster.h"

#include <algorithm>
#include <vector>

#include "foundation/report.h"
#include "media/surface_create.h"

namespace {

inline std::uint32_t Widen5(std::uint32_t c) { return (c << 3) | (c >> 2); }
inline std::uint32_t Widen6(std::uint32_t c) { return (c << 2) | (c >> 4); }

inline std::uint32_t Pack(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return (a << 24) | (r << 16) | (g << 8) | b;
}

inline std::uint32_t Channel(std::uint32_t c, int shift) { return (c >> shift) & 0xFF; }

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
    out[k - first] =
        Wrap(FloorDiv((2LL * k + 1) * span + 2LL * n * s, 2LL * n), size);
}

// The part of [x, x + w) inside [0, size).
void Span(int x, int w, int size, int& from, int& to) {
  from = static_cast<int>(std::max<long long>(x, 0));
  to = static_cast<int>(std::min<long long>(static_cast<long long>(x) + w, size));
}

// Whether the stage leaves an opaque texel as it is and takes its alpha from the texel.
bool PlainStage(const sQuadStage& stage) {
  return stage.dwColor == 0xFFFFFFFF && !stage.bArg2Factor &&
         (stage.dwColorOp == D3DTOP_MODULATE || stage.dwColorOp == D3DTOP_SELECTARG1) &&
         stage.dwAlphaOp == D3DTOP_SELECTARG1;
}

bool Is32(D3DFORMAT f) { return f == D3DFMT_A8R8G8B8 || f == D3DFMT_X8R8G8B8; }

}  // namespace

std::uint32_t PixelToArgb(std::uint32_t p, D3DFORMAT format) {
  switch (format) {
    case D3DFMT_A8R8G8B8:
      return p;
    case D3DFMT_X8R8G8B8:
      return 0xFF000000u | p;
    case D3DFMT_R5G6B5:
      return Pack(0xFF, Widen5((p >> 11) & 31), Widen6((p >> 5) & 63), Widen5(p & 31));
    case D3DFMT_A1R5G5B5:
      return Pack((p & 0x8000) ? 0xFF : 0, Widen5((p >> 10) & 31), Widen5((p >> 5) & 31),
                  Widen5(p & 31));
    case D3DFMT_X1R5G5B5:
      return Pack(0xFF, Widen5((p >> 10) & 31), Widen5((p >> 5) & 31), Widen5(p & 31));
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

std::uint32_t BlendOver(std::uint32_t src, std::uint32_t dst) {
  const std::uint32_t a = src >> 24;
  if (a == 255) return src;
  if (a == 0) return dst;
  return PerChannel(src, dst, [a](std::uint32_t s, std::uint32_t d) {
    return (s * a + d * (255 - a) + 127) / 255;
  });
}

void RasterTexturedQuad(cPixelSurface& dst, int x, int y, int w, int h, const cPixelSurface& tex,
                        int sx, int sy, int sw, int sh, const sQuadStage& stage) {
  if (w <= 0 || h <= 0 || !dst.Bits() || !tex.Bits() || !SaneCoords({x, y, w, h, sx, sy, sw, sh}))
    return;
  int x0, x1, y0, y1;
  Span(x, w, dst.Width(), x0, x1);
  Span(y, h, dst.Height(), y0, y1);
  if (x0 >= x1 || y0 >= y1) return;
  const D3DFORMAT df = dst.Format(), tf = tex.Format();
  // One to one inside the texture, both of 32 bits, nothing changed by the stage: the texels
  // are blended as they are (the path of most sprites).
  if (sw == w && sh == h && sx >= 0 && sy >= 0 && sx + sw <= tex.Width() &&
      sy + sh <= tex.Height() && Is32(df) && tf == D3DFMT_A8R8G8B8 && PlainStage(stage)) {
    // The alpha byte of a target without alpha is left 0, as the format's conversion does.
    const std::uint32_t keep = df == D3DFMT_X8R8G8B8 ? 0x00FFFFFFu : 0xFFFFFFFFu;
    for (int j = y0; j < y1; ++j) {
      auto* out = reinterpret_cast<std::uint32_t*>(dst.Row(j)) + x0;
      const auto* in = reinterpret_cast<const std::uint32_t*>(tex.Bits() +
                                                              static_cast<std::size_t>(sy + j - y) *
                                                                  tex.PitchBytes()) +
                       (sx + x0 - x);
      for (int k = 0; k < x1 - x0; ++k) {
        const std::uint32_t s = in[k];
        const std::uint32_t a = s >> 24;
        if (a == 255)
          out[k] = s & keep;
        else if (a != 0)
          out[k] = BlendOver(s, keep == 0xFFFFFFFFu ? out[k] : 0xFF000000u | out[k]) & keep;
      }
    }
    return;
  }
  thread_local std::vector<int> columns, rows;
  SampleOffsets(columns, x0 - x, x1 - x, w, sx, sw, tex.Width());
  SampleOffsets(rows, y0 - y, y1 - y, h, sy, sh, tex.Height());
  const bool plain = PlainStage(stage);
  for (int j = y0; j < y1; ++j) {
    const int v = rows[j - y0];
    for (int i = x0; i < x1; ++i) {
      std::uint32_t s = PixelToArgb(tex.Get(columns[i - x0], v), tf);
      if (!plain) s = CombineStage(s, stage);
      const std::uint32_t a = s >> 24;
      if (a == 0) continue;
      const std::uint32_t out = a == 255 ? s : BlendOver(s, PixelToArgb(dst.Get(i, j), df));
      dst.Put(i, j, ArgbToFormat(out, df));
    }
  }
}

void RasterColourQuad(cPixelSurface& dst, int x, int y, int w, int h, std::uint32_t argb) {
  if ((argb >> 24) == 0 || !dst.Bits() || w <= 0 || h <= 0 || !SaneCoords({x, y, w, h})) return;
  int x0, x1, y0, y1;
  Span(x, w, dst.Width(), x0, x1);
  Span(y, h, dst.Height(), y0, y1);
  const D3DFORMAT df = dst.Format();
  for (int j = y0; j < y1; ++j)
    for (int i = x0; i < x1; ++i)
      dst.Put(i, j, ArgbToFormat(BlendOver(argb, PixelToArgb(dst.Get(i, j), df)), df));
}

void RasterClear(cPixelSurface& dst, int x, int y, int w, int h, std::uint32_t argb) {
  if (!dst.Bits() || w <= 0 || h <= 0 || !SaneCoords({x, y, w, h})) return;
  int x0, x1, y0, y1;
  Span(x, w, dst.Width(), x0, x1);
  Span(y, h, dst.Height(), y0, y1);
  const std::uint32_t value = ArgbToFormat(argb, dst.Format());
  for (int j = y0; j < y1; ++j)
    for (int i = x0; i < x1; ++i) dst.Put(i, j, value);
}
