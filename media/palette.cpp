#include "media/palette.h"

#include <unordered_map>

#include "foundation/message_box.h"
#include "foundation/report.h"
#include "foundation/shell_services.h"
#include "media/surface_create.h"
#include "platform/bitmap_file.h"

PALETTEENTRY g_Palette[256];
PALETTEENTRY g_WorkPalette[256];
std::uint32_t g_dwTransmit = 0;

namespace {

std::uint32_t ChannelTo16(int value8, int max, int shift) {
  return static_cast<std::uint32_t>(value8 * max / 255) << shift;
}

// The 16-bit form of an 8-bit colour as the off-screen conversion of 24- and 32-bit
// bitmaps makes it.
std::uint32_t Rgb8ToLayout(std::uint32_t rgb, const DDPIXELLAYOUT& l) {
  return ChannelTo16(rgb & 0xFF, l.nMaxB, l.nShiftB) |
         ChannelTo16((rgb >> 8) & 0xFF, l.nMaxG, l.nShiftG) |
         ChannelTo16((rgb >> 16) & 0xFF, l.nMaxR, l.nShiftR);
}

}  // namespace

void PaletteToRgb(const PALETTEENTRY* palette, std::uint32_t* out) {
  for (int i = 0; i < 256; ++i)
    out[i] = (palette[i].peRed << 16) | (palette[i].peGreen << 8) | palette[i].peBlue;
}

bool DDLoadPaletteFromFile(PALETTEENTRY* palette, const char* file) {
  platform::sBitmapImage image;
  const platform::eBitmapError error = platform::LoadBitmapFile(file ? file : "", image);
  if (error != platform::eBitmapError::None) {
    ErrLogF("DDLoadPaletteFromFile %s : %s", file ? file : "", platform::BitmapErrorText(error));
    return false;
  }
  const bool ddIndexed = !lpDTCon && g_nBpp == 8;
  if (ddIndexed && !image.Indexed()) {
    // Nothing would fill the palette of an 8-bit screen from such a file.
    ErrLogF("DDLoadPaletteFromFile %s : not an 8-bit bitmap", file);
    return false;
  }
  if (image.Indexed() && (lpDTCon || ddIndexed)) {
    for (int i = 0; i < 256; ++i) {
      const std::uint32_t c = image.palette[i];
      palette[i].peRed = static_cast<std::uint8_t>(c >> 16);
      palette[i].peGreen = static_cast<std::uint8_t>(c >> 8);
      palette[i].peBlue = static_cast<std::uint8_t>(c);
      palette[i].peFlags = lpDTCon ? 255 : ((i < 10 || i >= 246) ? PC_EXPLICIT : PC_RESERVED);
    }
  }
  if (ddIndexed) {
    if (g_lpDDPalette) g_lpDDPalette->SetEntries(0, 256, palette);
    return true;
  }
  if (g_nBpp >= 16) {
    DDSURFACEDATA temp;
    if (DDCreateSurfaceFromFile(&temp, file, 0, g_nBpp, 1, DTMEMORYTYPE_SYSTEM, 0, 0, 0, 0, 0) == 0)
      DDSetPalette_UnPal(palette, &temp);
    DDDestroySurface(&temp);
  }
  return true;
}

bool DDSetPalette_UnPal(PALETTEENTRY* palette, DDSURFACEDATA* sd) {
  cDDLock lock(sd, g_nBpp);
  if (!lock.m_lpBits) {
    if (lpDTCon) ErrLog("DDSetPalette_UnPal Lock Err");
    return true;
  }
  cPixelSurface* pixels = lock.m_lpSD->Pixels();
  const DDPIXELLAYOUT& l = g_PixelLayout;
  // A palette bitmap smaller than the block gives only the entries it holds.
  for (int k = 0; k < 16 && 8 + k < pixels->Height(); ++k) {
    for (int col = 0; col < 16 && col < pixels->Width(); ++col) {
      const std::uint32_t p = pixels->Get(col, 8 + k);
      PALETTEENTRY& e = palette[k * 16 + col];
      if (g_nBpp == 16) {
        const int r = (p >> l.nShiftR) & l.nMaxR, g = (p >> l.nShiftG) & l.nMaxG,
                  b = (p >> l.nShiftB) & l.nMaxB;
        if (lpDTCon) {
          if (((p >> l.nShiftA) & l.nMaxA) == 0) continue;
          e.peRed = static_cast<std::uint8_t>(r * 255 / l.nMaxR);
          e.peGreen = static_cast<std::uint8_t>(g * 255 / l.nMaxG);
          e.peBlue = static_cast<std::uint8_t>(b * 255 / l.nMaxB);
        } else {
          e.peRed = static_cast<std::uint8_t>(r);
          e.peGreen = static_cast<std::uint8_t>(g);
          e.peBlue = static_cast<std::uint8_t>(b);
        }
      } else if (g_nBpp == 32) {
        if (lpDTCon && (p >> 24) == 0) continue;
        e.peRed = static_cast<std::uint8_t>(p >> 16);
        e.peGreen = static_cast<std::uint8_t>(p >> 8);
        e.peBlue = static_cast<std::uint8_t>(p);
        e.peFlags = static_cast<std::uint8_t>(p >> 24);
      }
    }
  }
  return true;
}

void DDSetTransmit(std::uint8_t cbRed, std::uint8_t cbGreen, std::uint8_t cbBlue) {
  if (lpDTCon) {
    lpDTCon->rgbTransmit = RGBTRIPLE{cbBlue, cbGreen, cbRed};
    ErrLogF(
        "SetTrans lpDTCon->rgbTransmit.rgbtRed = %d,lpDTCon->rgbTransmit.rgbtGreen = %d,"
        "lpDTCon->rgbTransmit.rgbtBlue = %d",
        cbRed, cbGreen, cbBlue);
    if (g_nBpp == 32) {
      lpDTCon->dwTransmitTex = 0;
      lpDTCon->dwTransmitBack = 0xFF000000u | (cbRed << 16) | (cbGreen << 8) | cbBlue;
      lpDTCon->wTransmit_16 = 0;
      lpDTCon->wTransmitBack_16 = 0;
      g_dwTransmit = lpDTCon->dwTransmitTex;
    } else if (g_nBpp == 16) {
      const DDPIXELLAYOUT& l = g_PixelLayout;
      const int r = cbRed & l.nMaxR, g = cbGreen & l.nMaxG, b = cbBlue & l.nMaxB;
      lpDTCon->dwTransmitTex = 0;
      // At 16 bits the arguments are channel values; the 32-bit form that clears render
      // targets is widened to 8 bits so that it names the same colour.
      lpDTCon->dwTransmitBack = 0xFF000000u | ((r * 255 / l.nMaxR) << 16) |
                                ((g * 255 / l.nMaxG) << 8) | (b * 255 / l.nMaxB);
      lpDTCon->wTransmit_16 = 0;
      lpDTCon->wTransmitBack_16 = static_cast<std::uint16_t>(
          (r << l.nShiftR) | (g << l.nShiftG) | (b << l.nShiftB) | ((l.nMaxA & 1) << l.nShiftA));
    }
    return;
  }
  if (g_nBpp == 16) {
    const DDPIXELLAYOUT& l = g_PixelLayout;
    g_dwTransmit = Rgb8ToLayout((cbRed << 16) | (cbGreen << 8) | cbBlue, l);
    ErrLog("※16bit色で　DDSetTransmit(BYTE cbRed,BYTE cbGreen,BYTE cbBlue)　は未対応！");
    ErrBoxDebugF("Tr %d RGB32(%d,%d,%d) -> RGB16(%d,%d,%d)", g_dwTransmit, cbRed, cbGreen, cbBlue,
                 static_cast<int>(((g_dwTransmit >> l.nShiftR) & l.nMaxR) * 255 / l.nMaxR),
                 static_cast<int>(((g_dwTransmit >> l.nShiftG) & l.nMaxG) * 255 / l.nMaxG),
                 static_cast<int>(((g_dwTransmit >> l.nShiftB) & l.nMaxB) * 255 / l.nMaxB));
  } else if (g_nBpp == 32) {
    g_dwTransmit = (cbRed << 16) | (cbGreen << 8) | cbBlue;
  }
}

bool DDSetTransmitFromFile(const char* file) {
  DDSURFACEDATA temp;
  if (!DDLogCreateError(
          DDCreateSurfaceFromFile(&temp, file, 0, g_nBpp, 1, DTMEMORYTYPE_SYSTEM, 0, 0, 0, 0, 0))) {
    ErrLogF("%s 作成失敗！", file ? file : "");
    DDDestroySurface(&temp);
    return false;
  }
  // The colour is taken from the file itself: a texture loaded with the previous key would
  // have that key's pixels turned transparent already.
  platform::sBitmapImage image;
  if (platform::LoadBitmapFile(file, image) != platform::eBitmapError::None) {
    DDDestroySurface(&temp);
    return false;
  }
  const std::uint32_t rgb = image.Rgb(0, 0);
  const std::uint8_t red = static_cast<std::uint8_t>(rgb >> 16),
                     green = static_cast<std::uint8_t>(rgb >> 8),
                     blue = static_cast<std::uint8_t>(rgb);
  {
    cDDLock lock(&temp, g_nBpp);
    if (!lock.m_lpBits) {
      ErrLog("Lock 失敗！");
      DDDestroySurface(&temp);
      return false;
    }
    const DDPIXELLAYOUT& l = g_PixelLayout;
    if (lpDTCon && g_nBpp == 16) {
      if (image.Indexed()) {
        const std::uint32_t c0 = image.palette[0];
        lpDTCon->rgbTransmit_16 =
            RGBTRIPLE{static_cast<std::uint8_t>(c0), static_cast<std::uint8_t>(c0 >> 8),
                      static_cast<std::uint8_t>(c0 >> 16)};
      }
      const std::uint32_t p = 0x8000u | ((red >> 3) << 10) | ((green >> 3) << 5) | (blue >> 3);
      g_dwTransmit = p;
      DDSetTransmit(static_cast<std::uint8_t>((p >> l.nShiftR) & l.nMaxR),
                    static_cast<std::uint8_t>((p >> l.nShiftG) & l.nMaxG),
                    static_cast<std::uint8_t>((p >> l.nShiftB) & l.nMaxB));
      ErrLogF("SetTrans(filename) lpDTCon->wTransmit_16 = (%x)", lpDTCon->wTransmit_16);
    } else if (lpDTCon) {
      DDSetTransmit(red, green, blue);
    } else {
      // Until the system record names a colour, 24- and 32-bit bitmaps on a 16-bit screen
      // are keyed with this one.
      if (lpDDCon) lpDDCon->rgbTransmit_16 = RGBTRIPLE{blue, green, red};
      if (g_nBpp == 16 && !image.Indexed())
        g_dwTransmit = Rgb8ToLayout(rgb, l);
      else
        g_dwTransmit = lock.m_lpSD->Pixels()->Get(0, 0);
    }
  }
  DDDestroySurface(&temp);
  return true;
}

std::uint32_t PalNumToRGB(std::uint32_t dwPalNum) {
  if (dwPalNum > 255) {
    ErrLogF("PalNumToRGB(DWORD dwPalNum) Err dwPalNum = %u", dwPalNum);
    return 0;
  }
  const PALETTEENTRY& e = g_Palette[dwPalNum];
  if (g_nBpp == 8) return dwPalNum;
  if (lpDTCon) {
    if (dwPalNum == 0) return lpDTCon->dwTransmitTex;
    return 0xFF000000u | (e.peRed << 16) | (e.peGreen << 8) | e.peBlue;
  }
  if (g_nBpp == 16) return DDPalToRGB16(e);
  return (e.peRed << 16) | (e.peGreen << 8) | e.peBlue;
}

std::uint16_t DDPalToRGB16(const PALETTEENTRY& entry) {
  if (lpDTCon) {
    ErrLog("DDPalToRGB16はDirect3Dでは未対応");
    return 0;
  }
  const DDPIXELLAYOUT& l = g_PixelLayout;
  return static_cast<std::uint16_t>(((entry.peBlue & l.nMaxB) << l.nShiftB) |
                                    ((entry.peGreen & l.nMaxG) << l.nShiftG) |
                                    ((entry.peRed & l.nMaxR) << l.nShiftR));
}

void DDAnalysePixelFormat(DDPIXELLAYOUT* layout) {
  if (lpDTCon || !layout || !lpDD || !lpDD->lpPrimary) return;
  // Red, green and blue masks and the bit count of the primary surface's format.
  const D3DFORMAT format = lpDD->lpPrimary->Format();
  const bool is565 = format == D3DFMT_R5G6B5, is555 = format == D3DFMT_X1R5G5B5;
  const std::uint32_t masks[3] = {is565   ? 0xF800u
                                  : is555 ? 0x7C00u
                                          : 0xFF0000u,
                                  is565   ? 0x07E0u
                                  : is555 ? 0x03E0u
                                          : 0xFF00u,
                                  is565 || is555 ? 0x001Fu : 0xFFu};
  const int bits = is565 || is555 ? 16 : 32;
  int shifts[3], maxima[3];
  for (int c = 0; c < 3; ++c) {
    int s = 0;
    while (s < bits && !((masks[c] >> s) & 1)) ++s;
    shifts[c] = s;
    maxima[c] = static_cast<int>(masks[c] >> s);
  }
  layout->nShiftR = shifts[0];
  layout->nShiftG = shifts[1];
  layout->nShiftB = shifts[2];
  layout->nMaxR = maxima[0];
  layout->nMaxG = maxima[1];
  layout->nMaxB = maxima[2];
}

int DDMakePalIndexMap(std::vector<std::uint8_t>& map, DDSURFACEDATA* surface) {
  cDDLock lock(surface, g_nBpp);
  if (!lock.m_lpBits) {
    OutOfMemory();
    return 0;
  }
  cPixelSurface* pixels = lock.m_lpSD->Pixels();
  const int width = std::min(surface->nWidth, pixels->Width());
  const int height = std::min(surface->nHeight, pixels->Height());
  map.assign(static_cast<std::size_t>(surface->nHeight) * lock.m_nPitch, 0);
  const DDPIXELLAYOUT& l = g_PixelLayout;
  const bool keyed = lpDTCon && surface->lpDT && surface->lpDT->bColorKey;
  // The 8-bit colour each pixel stands for.
  auto colourOf = [&](std::uint32_t p) -> std::uint32_t {
    if (g_nBpp == 16 && lpDTCon)
      return ((((p >> l.nShiftR) & l.nMaxR) * 255 / l.nMaxR) << 16) |
             ((((p >> l.nShiftG) & l.nMaxG) * 255 / l.nMaxG) << 8) |
             (((p >> l.nShiftB) & l.nMaxB) * 255 / l.nMaxB);
    return p & 0xFFFFFF;
  };
  std::unordered_map<std::uint32_t, std::uint8_t> cache;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = pixels->Get(x, y);
      std::uint8_t index = 0;
      if (!(keyed && g_nBpp == 16 && p == 0)) {
        auto found = cache.find(p);
        if (found != cache.end()) {
          index = found->second;
        } else {
          // The first entry of that colour; a colour that is in no entry takes the nearest.
          int best = 0;
          long bestDistance = -1;
          const std::uint32_t c = colourOf(p);
          for (int i = 0; i < 256; ++i) {
            const PALETTEENTRY& e = g_Palette[i];
            long distance;
            if (g_nBpp == 16 && !lpDTCon) {
              distance = DDPalToRGB16(e) == p ? 0 : -1;
              if (distance < 0) {
                const long dr = static_cast<long>((p >> l.nShiftR) & l.nMaxR) - e.peRed;
                const long dg = static_cast<long>((p >> l.nShiftG) & l.nMaxG) - e.peGreen;
                const long db = static_cast<long>((p >> l.nShiftB) & l.nMaxB) - e.peBlue;
                distance = dr * dr + dg * dg + db * db + 1;
              }
            } else {
              const long dr = static_cast<long>((c >> 16) & 0xFF) - e.peRed;
              const long dg = static_cast<long>((c >> 8) & 0xFF) - e.peGreen;
              const long db = static_cast<long>(c & 0xFF) - e.peBlue;
              distance = dr * dr + dg * dg + db * db;
            }
            if (bestDistance < 0 || distance < bestDistance) {
              best = i;
              bestDistance = distance;
              if (distance == 0) break;
            }
          }
          index = static_cast<std::uint8_t>(best);
          cache.emplace(p, index);
        }
      }
      map[static_cast<std::size_t>(y) * lock.m_nPitch + x] = index;
    }
  }
  return 1;
}

bool DDLock(DDSURFACEDATA* surface, std::uint8_t** bits, int bpp) {
  if (lpDTCon) {
    ErrLog("D3DではDDLockは未対応");
    if (bits) *bits = nullptr;
    return true;
  }
  cPixelSurface* pixels = surface ? surface->Pixels() : nullptr;
  if (!pixels || pixels->m_bLocked || (bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32))
    return false;
  pixels->m_bLocked = true;
  if (bits) *bits = pixels->Bits();
  return true;
}

void DDUnlock(DDSURFACEDATA* surface) {
  if (cPixelSurface* pixels = surface ? surface->Pixels() : nullptr) pixels->m_bLocked = false;
}

cDDLock::cDDLock(DDSURFACEDATA* surface, int bpp) : m_nBpp(bpp), m_nBytes(bpp / 8) {
  DDSURFACEDATA* target = DDResolveMirror(surface);
  DDRedirectBackBuffer(&target);
  m_lpSD = target;
  cPixelSurface* pixels = target ? target->Pixels() : nullptr;
  if (!pixels || m_nBytes <= 0) {
    ErrLog("cDDLock : the surface has no pixels");
    return;
  }
  if (pixels->m_bLocked) {
    ErrLogF("cDDLock : %s is locked already", target->szName.c_str());
    return;
  }
  if (pixels->Bytes() != m_nBytes) {
    ErrLogF("cDDLock : %s holds %d-byte pixels, not %d", target->szName.c_str(), pixels->Bytes(),
            m_nBytes);
    return;
  }
  pixels->m_bLocked = true;
  m_pPixels = pixels;
  m_lpBits = pixels->Bits();
  m_nPitch = pixels->PitchBytes() / m_nBytes;
}

cDDLock::~cDDLock() {
  if (m_pPixels) m_pPixels->m_bLocked = false;
  m_pPixels = nullptr;
  m_lpSD = nullptr;
  m_lpBits = nullptr;
}
