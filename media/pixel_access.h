#pragma once
// Pixel-level rules shared by the blits and the software effects: how a pixel of each format
// is split into channels and put together again, which source pixels count as transparent,
// and the pair of locks an effect holds on its destination and its source.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "media/palette.h"
#include "media/surface.h"

// True exactly for BackBuffer itself in full-screen mode, whose 16-bit layout differs from
// the textures' layout.
bool DDIsFullscreenBack(const DDSURFACEDATA* sd);

struct sChannels {
  int r = 0, g = 0, b = 0, a = 0;
};

// Channels of a 16-bit pixel in a layout, each in its own range (0 to max).
inline sChannels SplitPixel16(std::uint32_t p, const DDPIXELLAYOUT& l) {
  return sChannels{
      static_cast<int>((p >> l.nShiftR) & l.nMaxR), static_cast<int>((p >> l.nShiftG) & l.nMaxG),
      static_cast<int>((p >> l.nShiftB) & l.nMaxB), static_cast<int>((p >> l.nShiftA) & l.nMaxA)};
}
// Channels of a 32-bit pixel: byte 2 red, 1 green, 0 blue, 3 alpha.
inline sChannels SplitPixel32(std::uint32_t p) {
  return sChannels{static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                   static_cast<int>(p & 0xFF), static_cast<int>(p >> 24)};
}

// A 16-bit result of the Direct3D mode. Into the full-screen back buffer red and blue keep
// their 5 bits and the 5-bit green of a texture is doubled into the buffer's 6 bits (no masks,
// no alpha); anywhere else each channel is masked into the texture layout with the alpha bit set.
std::uint16_t ComposeD3D16(int r, int g, int b, bool fullscreenBack);
// A 16-bit result of the DirectDraw mode: channels masked and shifted, no alpha, 16 bits.
std::uint16_t ComposeDD16(int r, int g, int b);
// A 32-bit result: red, green and blue into bytes 2, 1, 0. The Direct3D mode sets byte 3 to
// 0xFF; the DirectDraw mode keeps byte 3 of old.
inline std::uint32_t Compose32(int r, int g, int b, std::uint32_t old) {
  const std::uint32_t rgb = ((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF);
  return lpDTCon ? 0xFF000000u | rgb : (old & 0xFF000000u) | rgb;
}
// A 16-bit texture pixel copied into the full-screen back buffer: 5-5-5 to 5-6-5.
std::uint16_t TextureToBack16(std::uint32_t p);

// Eight-bit units of a channel of max steps, and back (truncating).
inline int ChannelTo8(int c, int max) { return max > 0 ? c * 255 / max : 0; }
inline int ChannelFrom8(int c8, int max) { return c8 * max / 255; }

// Whether a source pixel is left out by a blit or effect with flags 1: in the DirectDraw mode
// the transparent colour's exact value, in the Direct3D mode alpha 0 (at 16 bits: bits 15 and
// 13 both clear).
inline bool IsTransparentPixel(std::uint32_t p, int bpp) {
  if (!lpDTCon) return p == g_dwTransmit;
  if (bpp == 32) return (p >> 24) == 0;
  return (p & 0xA000u) == 0;
}

// The two locks of one pass of an effect: the destination first, then the source; released
// source first. Ok() is false when either failed; nothing has been written then, and the
// effect returns false. The same surface as both fails at the second lock.
class cEffectLocks {
 public:
  cEffectLocks(DDSURFACEDATA* destination, DDSURFACEDATA* source, int bpp)
      : m_Dst(destination, bpp) {
    if (m_Dst.m_lpBits) m_Src.emplace(source, bpp);
  }
  bool Ok() const { return m_Dst.m_lpBits && m_Src && m_Src->m_lpBits; }
  cDDLock& Dst() { return m_Dst; }
  cDDLock& Src() { return *m_Src; }

 private:
  cDDLock m_Dst;
  std::optional<cDDLock> m_Src;
};

// Row y of a lock's pixels as elements of type T.
template <class T>
T* LockRow(const cDDLock& lock, int y) {
  return reinterpret_cast<T*>(lock.m_lpBits) + static_cast<std::ptrdiff_t>(y) * lock.m_nPitch;
}
