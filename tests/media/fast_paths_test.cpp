// The pixel loops that work by spans, tables and vectors against plain pixel-by-pixel forms of
// the same rules, on random pictures, geometries and settings in every drawing mode.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

#include "media/blit.h"
#include "media/circle_lens.h"
#include "media/effect_pixels.h"
#include "media/raster.h"
#include "media/rotation.h"
#include "media/surface_create.h"
#include "media/wide_vectors.h"
#include "tests/media/effect_fixture.h"

namespace {

const sMode kModes[] = {{0, 8}, {0, 16}, {0, 32}, {1, 16}, {1, 16, 0}, {1, 32}};

struct sRandom {
  std::uint32_t seed;
  std::uint32_t Next() {
    seed = seed * 1664525u + 1013904223u;
    return seed ^ (seed >> 15);
  }
  int In(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<std::uint32_t>(hi - lo + 1)); }
};

// Random pixels of the surface's size, a few of them the transparent colour, alpha 0 or the
// 16-bit alpha bits clear.
void Scribble(DDSURFACEDATA& s, sRandom& random) {
  cPixelSurface* px = s.Pixels();
  const std::uint32_t mask = px->Bytes() == 1 ? 0xFF : px->Bytes() == 2 ? 0xFFFF : 0xFFFFFFFF;
  for (int y = 0; y < px->Height(); ++y)
    for (int x = 0; x < px->Width(); ++x) {
      std::uint32_t v = random.Next();
      switch (v % 7) {
        case 0:
          v = g_dwTransmit;
          break;
        case 1:
          v &= px->Bytes() == 2 ? 0x5FFFu : 0x00FFFFFFu;
          break;
        case 2:
          v |= 0xFF008000u;
          break;
        default:
          break;
      }
      px->Put(x, y, v & mask);
    }
}

// The lens pixel by pixel.
struct sPlainTap {
  bool inside;
  int ox[2], oy[2];
};
int PlainLensOffset(double v) {
  constexpr double kFar = 1 << 30;
  return static_cast<int>(v < -kFar ? -kFar : v > kFar ? kFar : v);
}
template <class T>
void PlainLens(cEffectLocks& locks, const sEffectCodec codec, int cx, int cy, int r, int d,
               int scx, int scy, int flags, int clearMode, long long lensL) {
  const sLockArea da = LockArea(locks.Dst()), sa = LockArea(locks.Src());
  const long long rr = static_cast<long long>(r) * r, ll = lensL * lensL;
  const bool clear = codec.d3d && codec.bpp == 32 && clearMode != 0;
  for (long long dy = -r; dy <= r; ++dy) {
    if (cy + dy < 0 || cy + dy >= da.h) continue;
    T* out = LockRow<T>(locks.Dst(), static_cast<int>(cy + dy));
    for (long long dx = -r; dx <= r; ++dx) {
      if (cx + dx < 0 || cx + dx >= da.w) continue;
      T& pixel = out[cx + dx];
      const long long q = dx * dx + dy * dy;
      if (q > rr) {
        if (clear) pixel = 0;
        continue;
      }
      const double s = std::sqrt(static_cast<double>(ll - q));
      long long px = dx, py = dy;
      if (s != 0) {
        px = PlainLensOffset(static_cast<double>(dx) * d / s + 0.5);
        py = PlainLensOffset(static_cast<double>(dy) * d / s + 0.5);
      }
      px += scx;
      py += scy;
      if (px < 0 || py < 0 || px >= sa.w || py >= sa.h) {
        if (clear) pixel = 0;
        continue;
      }
      const std::uint32_t p = LockRow<T>(locks.Src(), static_cast<int>(py))[px];
      if (!codec.d3d) {
        if (p != codec.key) pixel = static_cast<T>(p);
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
void PlainBltLens(DDSURFACEDATA* dst, int cx, int cy, int r, int d, DDSURFACEDATA* src, int scx,
                  int scy, int flags, int clearMode) {
  const long long lensL = static_cast<long long>(
      std::sqrt(static_cast<double>(r) * r + static_cast<double>(d) * d));
  cEffectLocks locks(dst, src, g_nBpp);
  ASSERT_TRUE(locks.Ok());
  const sEffectCodec codec = EffectCodec(locks, g_nBpp);
  ForPixelType([&](auto pixel) {
    PlainLens<decltype(pixel)>(locks, codec, cx, cy, r, d, scx, scy, flags, clearMode, lensL);
  });
}

// The Direct3D pixel copy (a source in system memory) pixel by pixel.
void PlainPixelCopy(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx,
                    int sy, int sw, int sh, int flags) {
  cPixelSurface* dpx = dst->Pixels();
  cPixelSurface* spx = src->Pixels();
  const bool toBack = g_nBpp == 16 && DDIsFullscreenBack(dst);
  const float fx = static_cast<float>(sw) / static_cast<float>(w);
  const float fy = static_cast<float>(sh) / static_cast<float>(h);
  auto offset = [&](int k, float f, int span, int& t) {
    if (sw == w && sh == h) {
      t = k;
      return true;
    }
    t = static_cast<int>(static_cast<float>(k) * f);
    if (span >= 0) return t >= 0 && t < span;
    if (!(t > span && t <= 0)) return false;
    t -= 1;
    return true;
  };
  for (int j = 0; j < h; ++j) {
    int u;
    if (!offset(j, fy, sh, u)) continue;
    for (int k = 0; k < w; ++k) {
      int t;
      if (!offset(k, fx, sw, t)) continue;
      const int tx = x + k, ty = y + j, vx = sx + t, vy = sy + u;
      if (tx < 0 || ty < 0 || tx >= dst->nWidth || ty >= dst->nHeight || vx < 0 || vy < 0 ||
          vx >= src->nWidth || vy >= src->nHeight)
        continue;
      std::uint32_t p = spx->Get(vx, vy);
      if (flags == 1 && IsTransparentPixel(p, g_nBpp)) continue;
      if (toBack) p = TextureToBack16(p);
      dpx->Put(tx, ty, p);
    }
  }
}

// The rotated quad of the Direct3D mode pixel by pixel.
int PlainWrap(long long v, int size) {
  const long long m = v % size;
  return static_cast<int>(m < 0 ? m + size : m);
}
void PlainRotatedQuad(cPixelSurface& dst, int cx, int cy, int w, int h, int px, int py, int angle,
                      const cPixelSurface& tex, int sx, int sy, const sQuadStage& stage) {
  const float t = static_cast<float>(angle * std::numbers::pi / 180.0);
  const float s = std::sin(t), c = std::cos(t);
  const float ox = static_cast<float>(cx) - 0.5f + static_cast<float>(px - (w >> 1));
  const float oy = static_cast<float>(cy) - 0.5f + static_cast<float>(py - (h >> 1));
  const float x0 = ox + (0 - static_cast<float>(px)) * c - (0 - static_cast<float>(py)) * s;
  const float y0 = oy + (0 - static_cast<float>(px)) * s + (0 - static_cast<float>(py)) * c;
  const float fw = static_cast<float>(w), fh = static_cast<float>(h);
  for (int y = 0; y < dst.Height(); ++y)
    for (int x = 0; x < dst.Width(); ++x) {
      const float dx = static_cast<float>(x) - x0, dy = static_cast<float>(y) - y0;
      const float u = dx * c + dy * s, v = dy * c - dx * s;
      if (!(u >= 0 && u < fw && v >= 0 && v < fh)) continue;
      const int tu = PlainWrap(sx + static_cast<long long>(std::floor(u * fw / fw)), tex.Width());
      const int tv = PlainWrap(sy + static_cast<long long>(std::floor(v * fh / fh)), tex.Height());
      const std::uint32_t colour =
          CombineStage(PixelToArgb(tex.Get(tu, tv), tex.Format()), stage);
      const std::uint32_t old = PixelToArgb(dst.Get(x, y), dst.Format());
      dst.Put(x, y, ArgbToFormat(BlendOver(colour, old), dst.Format()));
    }
}

class FastPathTest : public EffectTest {
 protected:
  // The destination after draw, from the same starting pixels as after plain.
  template <class Fast, class Plain>
  void Compare(DDSURFACEDATA* dst, Fast fast, Plain plain) {
    const Pixels before = Get(*dst, 0, 0, dst->nWidth, dst->nHeight);
    fast();
    const Pixels got = Get(*dst, 0, 0, dst->nWidth, dst->nHeight);
    Put(*dst, 0, 0, dst->nWidth, before);
    plain();
    const Pixels want = Get(*dst, 0, 0, dst->nWidth, dst->nHeight);
    for (std::size_t i = 0; i < want.size(); ++i)
      ASSERT_EQ(got[i], want[i]) << "at " << i % dst->nWidth << ", " << i / dst->nWidth;
  }
};

TEST_F(FastPathTest, LensMatchesThePlainLens) {
  for (const sMode& mode : kModes) {
    SCOPED_TRACE(mode.Name());
    Init(mode);
    sRandom random{17};
    g_dwTransmit = mode.bpp == 8 ? 5 : 0x1234;
    DDSURFACEDATA* dst = Target(mode.windowMode == 0, 64, 48, 0);
    Make(m_Src, 57, 41, 0);
    for (int round = 0; round < 40; ++round) {
      Scribble(*dst, random);
      Scribble(m_Src, random);
      const int r = random.In(0, 40), d = random.In(0, 50), flags = random.In(0, 1);
      const int clearMode = random.In(0, 1);
      const int cx = random.In(-20, 80), cy = random.In(-20, 70);
      const int scx = random.In(-20, 80), scy = random.In(-20, 60);
      SCOPED_TRACE(testing::Message() << "r " << r << " d " << d << " at " << cx << ", " << cy
                                      << " from " << scx << ", " << scy);
      const long long lensL = static_cast<long long>(std::sqrt(r * r + d * d * 1.0));
      if (lensL <= d) continue;
      // Twice: the second lens of the same size and depth takes the kept offsets.
      for (int again = 0; again < 2; ++again) {
        Scribble(*dst, random);
        Compare(
            dst, [&] { DDBltLens(dst, cx, cy, r, d, &m_Src, scx, scy, flags, clearMode); },
            [&] { PlainBltLens(dst, cx, cy, r, d, &m_Src, scx, scy, flags, clearMode); });
      }
    }
    TearDown();
  }
}

TEST_F(FastPathTest, PixelCopyMatchesThePlainCopy) {
  for (const sMode& mode : kModes) {
    if (!mode.d3d) continue;
    SCOPED_TRACE(mode.Name());
    Init(mode);
    sRandom random{23};
    DDSURFACEDATA* dst = Target(mode.windowMode == 0, 64, 48, 0);
    Make(m_Src, 37, 29, 0);
    for (int round = 0; round < 60; ++round) {
      Scribble(*dst, random);
      Scribble(m_Src, random);
      const int x = random.In(-30, 70), y = random.In(-30, 50), w = random.In(1, 80);
      const int h = random.In(1, 60), sx = random.In(-10, 40), sy = random.In(-10, 30);
      // Equal sizes, stretched, and mirrored.
      const int kind = random.In(0, 2);
      const int sw = kind == 0 ? w : (kind == 1 ? 1 : -1) * random.In(1, 40);
      const int sh = kind == 0 ? h : (kind == 1 ? 1 : -1) * random.In(1, 30);
      const int flags = random.In(0, 1);
      SCOPED_TRACE(testing::Message() << x << ", " << y << " " << w << " x " << h << " from "
                                      << sx << ", " << sy << " " << sw << " x " << sh);
      Compare(
          dst, [&] { DDBltStretch(dst, x, y, w, h, &m_Src, sx, sy, sw, sh, flags); },
          [&] { PlainPixelCopy(dst, x, y, w, h, &m_Src, sx, sy, sw, sh, flags); });
    }
    TearDown();
  }
}

TEST_F(FastPathTest, RotatedQuadMatchesThePlainQuad) {
  const sQuadStage stages[] = {{},
                               {0x80C06040u, D3DTOP_MODULATE, D3DTOP_MODULATE, 0, false},
                               {0x90FFFFFFu, D3DTOP_MODULATE, D3DTOP_DISABLE, 0, false}};
  for (const sMode& mode : {sMode{1, 16}, sMode{1, 32}}) {
    SCOPED_TRACE(mode.Name());
    Init(mode);
    sRandom random{31};
    Make(m_Dst, 61, 47, 0, DTMEMORYTYPE_VIDEO_RT);
    Make(m_Src, 23, 19, 0, DTMEMORYTYPE_VIDEO_RT);
    for (int round = 0; round < 60; ++round) {
      Scribble(m_Dst, random);
      Scribble(m_Src, random);
      const int cx = random.In(-10, 70), cy = random.In(-10, 55), w = random.In(1, 40);
      const int h = random.In(1, 40), px = random.In(0, w), py = random.In(0, h);
      // Angles of every octant, right angles among them; source rectangles that run off the
      // texture and wrap.
      const int angle = random.In(0, 3) == 0 ? 90 * random.In(-4, 4) : random.In(-400, 400);
      const int sx = random.In(-30, 30), sy = random.In(-30, 30);
      const sQuadStage& stage = stages[random.In(0, 2)];
      SCOPED_TRACE(testing::Message() << cx << ", " << cy << " " << w << " x " << h << " about "
                                      << px << ", " << py << " by " << angle << " from " << sx
                                      << ", " << sy);
      lpDTCon->dwColor = stage.dwColor;
      lpDTCon->dwColorOp = stage.dwColorOp;
      lpDTCon->dwAlphaOp = stage.dwAlphaOp;
      Compare(
          &m_Dst, [&] { DDBltRotate(&m_Dst, cx, cy, w, h, px, py, angle, &m_Src, sx, sy, 1); },
          [&] {
            PlainRotatedQuad(*m_Dst.Pixels(), cx, cy, w, h, px, py, angle, *m_Src.Pixels(), sx,
                             sy, stage);
          });
    }
    TearDown();
  }
}

// The quads modulated and blended in one pass against the passes one after the other that
// the narrower vectors take.
TEST(FastPath, ModulatedQuadsMatchTheNarrowPasses) {
  const sQuadStage stages[] = {{0x80FFFFFFu, D3DTOP_MODULATE, D3DTOP_MODULATE, 0, false},
                               {0xC0408020u, D3DTOP_MODULATE, D3DTOP_MODULATE, 0, false},
                               {0x40FF80FFu, D3DTOP_MODULATE, D3DTOP_SELECTARG1, 0, false},
                               {0xFFFFFFFFu, D3DTOP_MODULATE, D3DTOP_MODULATE, 0, false}};
  sRandom random{41};
  for (D3DFORMAT target : {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8}) {
    cPixelSurface tex, wide, narrow;
    ASSERT_TRUE(tex.Create(53, 9, D3DFMT_A8R8G8B8));
    ASSERT_TRUE(wide.Create(61, 11, target));
    ASSERT_TRUE(narrow.Create(61, 11, target));
    for (int round = 0; round < 40; ++round) {
      for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 53; ++x) {
          std::uint32_t v = random.Next();
          // Runs of opaque and of clear texels, and any alpha.
          if ((x / 8 + round) % 3 == 0) v |= 0xFF000000u;
          if ((x / 8 + round) % 3 == 1 && (v & 1)) v &= 0x00FFFFFFu;
          tex.Put(x, y, v);
        }
      for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 61; ++x) {
          const std::uint32_t v = random.Next();
          wide.Put(x, y, v);
          narrow.Put(x, y, v);
        }
      const int w = random.In(1, 53), h = random.In(1, 9);
      const int x = random.In(-10, 60), y = random.In(-3, 10);
      const int sx = random.In(0, 53 - w), sy = random.In(0, 9 - h);
      const sQuadStage& stage = stages[random.In(0, 3)];
      SCOPED_TRACE(testing::Message() << FormatName(target) << " " << x << ", " << y << " " << w
                                      << " x " << h << " colour " << std::hex << stage.dwColor);
      RasterTexturedQuad(wide, x, y, w, h, tex, sx, sy, w, h, stage);
      {
        cNarrowVectorsScope narrowVectors;
        RasterTexturedQuad(narrow, x, y, w, h, tex, sx, sy, w, h, stage);
      }
      for (int j = 0; j < 11; ++j)
        for (int i = 0; i < 61; ++i) ASSERT_EQ(wide.Get(i, j), narrow.Get(i, j)) << i << ", " << j;
    }
  }
}

}  // namespace
