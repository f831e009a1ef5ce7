#include "media/pixel_access.h"

bool DDIsFullscreenBack(const DDSURFACEDATA* sd) { return sd == &BackBuffer && g_nWindowMode == 0; }

std::uint16_t ComposeD3D16(int r, int g, int b, bool fullscreenBack) {
  if (fullscreenBack) {
    const DDPIXELLAYOUT& l = g_BackPixelLayout;
    return static_cast<std::uint16_t>((b << l.nShiftB) | ((g * 2) << l.nShiftG) | (r << l.nShiftR));
  }
  const DDPIXELLAYOUT& l = g_PixelLayout;
  return static_cast<std::uint16_t>(((r & l.nMaxR) << l.nShiftR) | ((g & l.nMaxG) << l.nShiftG) |
                                    ((b & l.nMaxB) << l.nShiftB) | ((l.nMaxA & 1) << l.nShiftA));
}

std::uint16_t ComposeDD16(int r, int g, int b) {
  const DDPIXELLAYOUT& l = g_PixelLayout;
  return static_cast<std::uint16_t>(((r & l.nMaxR) << l.nShiftR) | ((g & l.nMaxG) << l.nShiftG) |
                                    ((b & l.nMaxB) << l.nShiftB));
}

std::uint16_t TextureToBack16(std::uint32_t p) {
  const sChannels c = SplitPixel16(p, g_PixelLayout);
  return ComposeD3D16(c.r, c.g, c.b, true);
}
