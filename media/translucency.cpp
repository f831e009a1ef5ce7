#include "media/translucency.h"

#include <array>
#include <vector>

#include "media/effect_pixels.h"
#include "media/raster.h"
#include "platform/host_file.h"

std::uint8_t g_BlendTable[kBlendTableSize];

namespace {

// One textured quad drawn with the stage onto the destination as render target; blending
// with the texel's alpha follows in the engine. A failed scene or target draws nothing.
void DrawStageQuad(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx,
                   int sy, int sw, int sh, const sQuadStage& stage) {
  cPixelSurface* dpx = dst->Pixels();
  cPixelSurface* spx = src->Pixels();
  if (!dpx || !spx || w <= 0 || h <= 0 || !SaneCoords({x, y, w, h, sx, sy, sw, sh})) return;
  if (!BeginQuadOn(dst)) return;
  RasterTexturedQuad(*dpx, x, y, w, h, *spx, sx, sy, sw, sh, stage);
  EndQuadOn();
}

// Half-and-half mix in the Direct3D pixel path (the level plays no part).
template <class T>
void TransD3D(cEffectLocks& locks, const sEffectCodec codec, int x, int y, int w, int h, int sx,
              int sy, int flags) {
  const DDPIXELLAYOUT& bl = g_BackPixelLayout;
  ForEachPixelPair<T>(locks, x, y, w, h, sx, sy, [&](T& d, std::uint32_t s) {
    if (flags == 1 && codec.Transparent(s)) return;
    const sChannels a = codec.Split(s);
    if (codec.toBack) {
      // The back buffer's green has 6 bits: the texture's 5-bit green counts double.
      const sChannels b = SplitPixel16(d, bl);
      d = static_cast<T>((((a.r + b.r) >> 1) << bl.nShiftR) |
                         (((b.g + 2 * a.g) >> 1) << bl.nShiftG) | (((a.b + b.b) >> 1) << bl.nShiftB));
      return;
    }
    const sChannels b = codec.Split(d);
    d = static_cast<T>(codec.Compose((a.r + b.r) >> 1, (a.g + b.g) >> 1, (a.b + b.b) >> 1, d));
  });
}

// Half-and-half mix of the DirectDraw mode: over the transparent colour the source is copied.
template <class T>
void TransDD(cEffectLocks& locks, const sEffectCodec codec, int x, int y, int w, int h, int sx,
             int sy, int flags, const std::uint8_t* table) {
  const DDPIXELLAYOUT& l = g_PixelLayout;
  ForEachPixelPair<T>(locks, x, y, w, h, sx, sy, [&](T& d, std::uint32_t s) {
    if (codec.bpp == 8) {
      if (flags == 1 && s == 0) return;
      d = static_cast<T>(d == 0 ? s : table[d * 256u + s]);
      return;
    }
    if (flags == 1 && s == codec.key) return;
    if (d == codec.key) {
      d = static_cast<T>(codec.bpp == 32 ? codec.Compose(0, 0, 0, d) | (s & 0xFFFFFFu) : s);
      return;
    }
    const sChannels a = codec.Split(s), b = codec.Split(d);
    if (codec.bpp == 32) {
      d = static_cast<T>(codec.Compose((a.r + b.r) >> 1, (a.g + b.g) >> 1, (a.b + b.b) >> 1, d));
      return;
    }
    auto mix = [](int p, int q, int max) {
      return ChannelFrom8((ChannelTo8(p, max) + ChannelTo8(q, max)) >> 1, max);
    };
    d = static_cast<T>(codec.Compose(mix(a.r, b.r, l.nMaxR), mix(a.g, b.g, l.nMaxG),
                                     mix(a.b, b.b, l.nMaxB), d));
  });
}

// The tint of the Direct3D pixel path: the source's share by level, the tint in channel units.
template <class T>
void TintD3D(cEffectLocks& locks, const sEffectCodec codec, int x, int y, int w, int h, int sx,
             int sy, int flags, const PALETTEENTRY& entry, int level) {
  static constexpr int kShare[5] = {0, 0x80, 0x40, 0x20, 0x10};
  const float f = static_cast<float>(level >= 1 && level <= 4 ? kShare[level] : 0) / 255.0f;
  const float g = 1.0f - f;
  const DDPIXELLAYOUT& l = g_PixelLayout;
  const bool sixteen = codec.bpp == 16;
  const int tr = sixteen ? entry.peRed * l.nMaxR / 255 : entry.peRed;
  const int tg = sixteen ? entry.peGreen * l.nMaxG / 255 : entry.peGreen;
  const int tb = sixteen ? entry.peBlue * l.nMaxB / 255 : entry.peBlue;
  auto weigh = [f, g](int s, int t) {
    return static_cast<int>(static_cast<float>(s) * f + static_cast<float>(t) * g);
  };
  const DDPIXELLAYOUT& bl = g_BackPixelLayout;
  ForEachPixelPair<T>(locks, x, y, w, h, sx, sy, [&](T& d, std::uint32_t s) {
    if (flags == 1 && codec.Transparent(s)) return;
    const sChannels c = codec.Split(s);
    const bool half = level == 1;
    const int r = half ? (c.r + tr) >> 1 : weigh(c.r, tr);
    const int b = half ? (c.b + tb) >> 1 : weigh(c.b, tb);
    if (codec.toBack) {
      // Green into the back buffer's 6 bits: the plain sum at level 1, else doubled.
      const int g6 = half ? c.g + tg : weigh(c.g, tg) * 2;
      d = static_cast<T>((r << bl.nShiftR) | (g6 << bl.nShiftG) | (b << bl.nShiftB));
      return;
    }
    d = static_cast<T>(codec.Compose(r, half ? (c.g + tg) >> 1 : weigh(c.g, tg), b, d));
  });
}

// f applied n times to x, for a map f of 256 values, by repeated squaring: a level of any size
// costs a handful of passes over the map.
std::array<std::uint8_t, 256> IterateMap(std::array<std::uint8_t, 256> f, long long n) {
  std::array<std::uint8_t, 256> result;
  for (int v = 0; v < 256; ++v) result[v] = static_cast<std::uint8_t>(v);
  while (n > 0) {
    if (n & 1)
      for (auto& v : result) v = f[v];
    std::array<std::uint8_t, 256> square;
    for (int v = 0; v < 256; ++v) square[v] = f[f[v]];
    f = square;
    n >>= 1;
  }
  return result;
}

// The DirectDraw tint: the source halved toward the tint level times. Halving an 8-bit value
// toward another settles within nine steps, so a large level ends where sixteen steps end.
template <class T>
void TintDD(cEffectLocks& locks, const sEffectCodec codec, int x, int y, int w, int h, int sx,
            int sy, int flags, const PALETTEENTRY& entry, const std::uint8_t* table,
            std::uint32_t colour, int level) {
  const int steps = level < 0 ? 0 : level;
  if (codec.bpp == 8) {
    std::array<std::uint8_t, 256> step;
    for (int v = 0; v < 256; ++v) step[v] = table[v * 256 + (colour & 0xFF)];
    const std::array<std::uint8_t, 256> result = IterateMap(step, steps);
    ForEachPixelPair<T>(locks, x, y, w, h, sx, sy, [&](T& d, std::uint32_t s) {
      if (flags == 1 && s == codec.key) return;
      d = static_cast<T>(result[s & 0xFF]);
    });
    return;
  }
  const DDPIXELLAYOUT& l = g_PixelLayout;
  const bool sixteen = codec.bpp == 16;
  // Per channel, the result for every source value in the channel's own units.
  auto channel = [&](int tint, int max) {
    const int t8 = sixteen ? tint * 255 / max : tint;
    std::vector<int> out(static_cast<std::size_t>(max) + 1);
    for (int c = 0; c <= max; ++c) {
      int v = sixteen ? ChannelTo8(c, max) : c;
      for (int k = 0; k < std::min(steps, 16); ++k) v = (v + t8) >> 1;
      out[c] = sixteen ? ChannelFrom8(v, max) : v;
    }
    return out;
  };
  const int maxR = sixteen ? l.nMaxR : 255, maxG = sixteen ? l.nMaxG : 255,
            maxB = sixteen ? l.nMaxB : 255;
  if (maxR <= 0 || maxG <= 0 || maxB <= 0) return;
  const std::vector<int> rs = channel(entry.peRed, maxR), gs = channel(entry.peGreen, maxG),
                         bs = channel(entry.peBlue, maxB);
  ForEachPixelPair<T>(locks, x, y, w, h, sx, sy, [&](T& d, std::uint32_t s) {
    if (flags == 1 && s == codec.key) return;
    const sChannels c = codec.Split(s);
    d = static_cast<T>(codec.Compose(rs[c.r], gs[c.g], bs[c.b], d));
  });
}

// The frame of both mixing blits: in the Direct3D mode a quad drawn with stage() where the
// pair allows it, else the pixel path pixels(pixel type, locks, codec, source x, source y) at
// 16 and 32 bits; in the DirectDraw mode the pixel path at every depth (8 bits needs a table).
template <class Stage, class Pixels>
bool MixBlit(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy,
             const std::uint8_t* table, Stage stage, Pixels pixels) {
  if (lpDTCon) {
    int sw = w, sh = h;
    if (!ResolveQuadPair(dst, src, sx, sy, sw, sh)) return true;
    if (QuadPath(dst, src)) {
      DrawStageQuad(dst, x, y, w, h, src, sx, sy, sw, sh, stage());
      return true;
    }
  } else if (g_nBpp == 8 && !table) {
    return true;
  }
  cEffectLocks locks(dst, src, g_nBpp);
  if (!locks.Ok()) return false;
  const sEffectCodec codec = EffectCodec(locks, g_nBpp);
  ForPixelType([&](auto pixel) { pixels(pixel, locks, codec, sx, sy); });
  return true;
}

}  // namespace

bool DDLoadBlendTable(std::uint8_t* table, const char* path) {
  if (lpDTCon) return true;
  if (!table || !path) return false;
  std::vector<std::uint8_t> bytes;
  // A file of another size is no table of this palette: the one in use stays.
  if (platform::ReadHostFile(path, bytes, kBlendTableSize) != platform::eReadResult::Ok ||
      bytes.size() != kBlendTableSize)
    return false;
  std::copy(bytes.begin(), bytes.end(), table);
  return true;
}

bool DDBltTrans(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy,
                int flags, const std::uint8_t* table) {
  return DDBltTransEx(dst, x, y, w, h, src, sx, sy, flags, table, 128);
}

bool DDBltTransEx(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx,
                  int sy, int flags, const std::uint8_t* table, int level) {
  if (!dst || !src || w <= 0 || h <= 0 || !SaneCoords({x, y, w, h, sx, sy})) return true;
  auto stage = [level] {
    sQuadStage quad;
    quad.dwColor = ((static_cast<std::uint32_t>(255 - level) & 0xFF) << 24) | 0xFFFFFF;
    quad.dwColorOp = D3DTOP_MODULATE;
    quad.dwAlphaOp = D3DTOP_MODULATE;
    return quad;
  };
  return MixBlit(dst, x, y, w, h, src, sx, sy, table, stage,
                 [&](auto pixel, cEffectLocks& locks, const sEffectCodec& codec, int fx, int fy) {
                   using T = decltype(pixel);
                   if (codec.d3d)
                     TransD3D<T>(locks, codec, x, y, w, h, fx, fy, flags);
                   else
                     TransDD<T>(locks, codec, x, y, w, h, fx, fy, flags, table);
                 });
}

bool DDBltTint(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy,
               int flags, const PALETTEENTRY* palette, const std::uint8_t* table,
               std::uint32_t colour, int level) {
  if (level == 0 || (lpDTCon && level < 0)) return true;
  if (!dst || !src || !palette || w <= 0 || h <= 0 || !SaneCoords({x, y, w, h, sx, sy}))
    return true;
  const PALETTEENTRY& entry = palette[colour & 0xFF];
  auto stage = [&] {
    static constexpr std::uint32_t kFactor[5] = {0, 0x80, 0x50, 0x30, 0x10};
    const std::uint32_t a = level <= 4 ? kFactor[level] : 0;
    sQuadStage quad;
    quad.dwColor = 0xFFFFFFFF;
    quad.dwColorOp = D3DTOP_BLENDFACTORALPHA;
    quad.dwAlphaOp = D3DTOP_SELECTARG1;
    quad.bArg2Factor = true;
    quad.dwFactor = (a << 24) | (static_cast<std::uint32_t>(entry.peRed) << 16) |
                    (static_cast<std::uint32_t>(entry.peGreen) << 8) | entry.peBlue;
    return quad;
  };
  return MixBlit(dst, x, y, w, h, src, sx, sy, table, stage,
                 [&](auto pixel, cEffectLocks& locks, const sEffectCodec& codec, int fx, int fy) {
                   using T = decltype(pixel);
                   if (codec.d3d)
                     TintD3D<T>(locks, codec, x, y, w, h, fx, fy, flags, entry, level);
                   else
                     TintDD<T>(locks, codec, x, y, w, h, fx, fy, flags, entry, table, colour,
                               level);
                 });
}
