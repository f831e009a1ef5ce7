#include "media/palette_effects.h"

#include <algorithm>

#include "foundation/report.h"
#include "media/blit.h"
#include "media/device_scene.h"
#include "media/pixel_access.h"
#include "media/quad_draw.h"
#include "media/raster.h"

bool DDFade_UnPal(DDSURFACEDATA* dst, int level, int red, int green, int blue, DDSURFACEDATA* src) {
  if (lpDTCon) {
    ErrLogF("D3DではDDFade_UnPalは未対応");
    return true;
  }
  if (g_nBpp != 16 && g_nBpp != 32) return true;
  cEffectLocks locks(dst, src, g_nBpp);
  if (!locks.Ok()) return false;
  const cPixelSurface* dpx = locks.Dst().m_lpSD->Pixels();
  const cPixelSurface* spx = locks.Src().m_lpSD->Pixels();
  // The source is read at every destination position: only the area it covers is drawn.
  const int w = std::min({dst->nWidth, dpx->Width(), locks.Src().m_lpSD->nWidth, spx->Width()});
  const int h = std::min({dst->nHeight, dpx->Height(), locks.Src().m_lpSD->nHeight, spx->Height()});
  level = std::clamp(level, 0, 256);
  const int k = 256 - level;
  red &= 0xFF;
  green &= 0xFF;
  blue &= 0xFF;
  if (g_nBpp == 32) {
    for (int y = 0; y < h; ++y) {
      std::uint32_t* out = LockRow<std::uint32_t>(locks.Dst(), y);
      const std::uint32_t* in = LockRow<std::uint32_t>(locks.Src(), y);
      for (int x = 0; x < w; ++x) {
        const sChannels s = SplitPixel32(in[x]);
        const std::uint32_t r = (s.r * level + red * k) >> 8;
        const std::uint32_t g = (s.g * level + green * k) >> 8;
        const std::uint32_t b = (s.b * level + blue * k) >> 8;
        out[x] = (out[x] & 0xFF000000u) | (r << 16) | (g << 8) | b;
      }
    }
    return true;
  }
  const DDPIXELLAYOUT& l = g_PixelLayout;
  auto mix = [level, k](int c, int max, int colour) {
    return ChannelFrom8((ChannelTo8(c, max) * level + colour * k) >> 8, max);
  };
  for (int y = 0; y < h; ++y) {
    std::uint16_t* out = LockRow<std::uint16_t>(locks.Dst(), y);
    const std::uint16_t* in = LockRow<std::uint16_t>(locks.Src(), y);
    for (int x = 0; x < w; ++x) {
      const sChannels s = SplitPixel16(in[x], l);
      out[x] = static_cast<std::uint16_t>((mix(s.r, l.nMaxR, red) << l.nShiftR) |
                                          (mix(s.g, l.nMaxG, green) << l.nShiftG) |
                                          (mix(s.b, l.nMaxB, blue) << l.nShiftB));
    }
  }
  return true;
}

bool DDChangeColor(DDSURFACEDATA* lpDstSD, int x, int y, int nWidth, int nHeight, int nAlpha,
                   std::uint8_t bRed, std::uint8_t bGreen, std::uint8_t bBlue) {
  return DDChangeColorSrc(lpDstSD, x, y, nWidth, nHeight, lpDstSD, nAlpha, bRed, bGreen, bBlue);
}

bool DDChangeColorSrc(DDSURFACEDATA* dst, int /*x*/, int /*y*/, int /*nWidth*/, int /*nHeight*/,
                      DDSURFACEDATA* src, int nAlpha, std::uint8_t bRed, std::uint8_t bGreen,
                      std::uint8_t bBlue) {
  if (!lpDTCon) {
    ErrLog(
        "DDrawでは DDChangeColor(DDSURFACEDATA *lpDstSD,int x,int y,int nWidth,int nHeight,int "
        "nAlpha,BYTE bRed,BYTE bGreen,BYTE bBlue) は未対応");
    return true;
  }
  if (!dst || !src) return true;
  DDResolveTargets(&dst, &src);
  if (!dst->lpDT || !src->lpDT || !dst->Pixels() || !src->Pixels()) return true;
  const std::uint32_t colour =
      (static_cast<std::uint32_t>(255 - std::clamp(nAlpha, 0, 255)) << 24) | (bRed << 16) |
      (bGreen << 8) | bBlue;
  if (!DDBeginScene() || !DDSetRenderTarget(0, dst)) return true;
  const int w = dst->nWidth, h = dst->nHeight;
  // The picture multiplied by the colour, laid over the destination with opacity
  // (255 - nAlpha) / 255 times the texel's alpha. The screen's pixels carry no alpha of their
  // own (a 16-bit back buffer keeps whatever its top bit holds): there the colour's alpha alone
  // counts.
  const std::uint32_t alphaOp = src == &BackBuffer ? D3DTOP_SELECTARG2 : D3DTOP_MODULATE;
  DDDrawQuad(dst, 0, 0, w, h, src, 0, 0, w, h, colour, D3DTOP_MODULATE, alphaOp);
  DDSetRenderTarget(0, lpDTCon->lpDefaultTarget);
  return true;
}
