#include "media/surface_create.h"

#include <algorithm>

#include "foundation/message_box.h"
#include "foundation/report.h"
#include "foundation/shell_services.h"
#include "foundation/strings.h"
#include "media/palette.h"
#include "platform/bitmap_file.h"

namespace {

// Ends the program when a texture that must exist cannot be made.
void TextureFailureExit() {
  if (lpDTCon && !lpDTCon->strTexErrMsg.empty()) ErrBox(lpDTCon->strTexErrMsg.c_str());
  PostCloseToMainWindow();
}

// Makes the texture of a record for its memory type: video memory, falling back to system
// memory when it runs out, or system memory. A re-created system texture keeps its pixels.
// False after the texture failure exit.
bool MakeTexture(DTDATA& dt, int texW, int texH, int renderTarget, int recreate,
                 const std::string& label, const std::string& systemFailure) {
  if (dt.MemoryType == DTMEMORYTYPE_VIDEO_RT) {
    dt.bRenderTarget = renderTarget;
    auto tex = std::make_unique<cPixelSurface>();
    if (tex->Create(texW, texH, lpDTCon->fmtTexture)) {
      dt.lpTexture = std::move(tex);
    } else {
      Report("VRAM不足のためシステムメモリにテクスチャを作成します。(%s)", label.c_str());
      dt.MemoryType = DTMEMORYTYPE_SYSTEM;
    }
  }
  if (dt.MemoryType == DTMEMORYTYPE_SYSTEM && !(recreate && dt.lpTexture)) {
    dt.bRenderTarget = 0;
    auto tex = std::make_unique<cPixelSurface>();
    if (!tex->Create(texW, texH, lpDTCon->fmtTexture)) {
      Report("%s", systemFailure.c_str());
      TextureFailureExit();
      return false;
    }
    dt.lpTexture = std::move(tex);
  }
  dt.lpSurface = dt.lpTexture.get();
  dt.Desc = D3DSURFACE_DESC{dt.lpSurface->Format(), dt.lpSurface->Width(), dt.lpSurface->Height()};
  return true;
}

platform::eBitmapError LoadImage(const char* file, platform::sBitmapImage& image, bool sizeOnly) {
  const platform::eBitmapError error = platform::LoadBitmapFile(file ? file : "", image, sizeOnly);
  if (error != platform::eBitmapError::None)
    ErrLogF("%s : %s", file ? file : "", platform::BitmapErrorText(error));
  return error;
}

// The texture of an image: the transparent colour becomes fully transparent black, every
// other pixel opaque; the image sits in the top-left corner, the rest stays transparent.
void FillTexture(cPixelSurface& tex, const platform::sBitmapImage& image, std::uint32_t keyRgb) {
  const int w = std::min(image.nWidth, tex.Width()), h = std::min(image.nHeight, tex.Height());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::uint32_t rgb = image.Rgb(x, y);
      tex.Put(x, y, rgb == keyRgb ? 0 : ArgbToFormat(0xFF000000u | rgb, tex.Format()));
    }
}

// The palette entry an 8-bit screen shows for a colour: the first exact match, else the
// nearest.
std::uint8_t NearestPaletteIndex(std::uint32_t rgb) {
  int best = 0;
  long bestDistance = -1;
  for (int i = 0; i < 256; ++i) {
    const long dr = static_cast<long>((rgb >> 16) & 0xFF) - g_Palette[i].peRed;
    const long dg = static_cast<long>((rgb >> 8) & 0xFF) - g_Palette[i].peGreen;
    const long db = static_cast<long>(rgb & 0xFF) - g_Palette[i].peBlue;
    const long d = dr * dr + dg * dg + db * db;
    if (bestDistance < 0 || d < bestDistance) {
      best = i;
      bestDistance = d;
      if (d == 0) break;
    }
  }
  return static_cast<std::uint8_t>(best);
}

// Copies an image into an off-screen surface, with mirrored cells and the conversions of
// each colour depth.
bool CopyImage(DDSURFACEDATA* surface, const platform::sBitmapImage& image, const char* file,
               int bpp, int mirrorW, int mirrorH) {
  std::uint8_t* bits = nullptr;
  if (!DDLock(surface, &bits, bpp)) return false;
  cPixelSurface& px = *surface->Pixels();
  if (bpp == 8 && (px.Width() != image.nWidth || px.Height() != image.nHeight)) {
    ErrLogF("CopyBitmap Err %s Surface(%d,%d) Bmp(%d,%d)", file, px.Width(), px.Height(),
            image.nWidth, image.nHeight);
    DDUnlock(surface);
    return true;
  }
  const DDPIXELLAYOUT& l = g_PixelLayout;
  const RGBTRIPLE key = lpDDCon ? lpDDCon->rgbTransmit_16 : RGBTRIPLE{};
  const std::uint32_t keyRgb = (key.rgbtRed << 16) | (key.rgbtGreen << 8) | key.rgbtBlue;
  const bool keyed16 = bpp == 16 && (image.nBitCount == 24 || image.nBitCount == 32);
  const int w = std::min(image.nWidth, px.Width()), h = std::min(image.nHeight, px.Height());
  std::vector<std::uint8_t> nearest;  // 8-bit screen: colour table index -> palette entry
  for (int y = 0; y < h; ++y) {
    const int sy = mirrorH ? MirrorIndex(y, mirrorH) : y;
    if (sy >= image.nHeight) break;  // a partial last cell is not drawn
    for (int x = 0; x < w; ++x) {
      const int sx = mirrorW ? MirrorIndex(x, mirrorW) : x;
      if (sx >= image.nWidth) break;
      std::uint32_t value;
      if (bpp == 8) {
        if (image.Indexed()) {
          value = image.indices[static_cast<std::size_t>(sy) * image.nWidth + sx];
        } else {
          value = NearestPaletteIndex(image.Rgb(sx, sy));
        }
      } else if (keyed16) {
        const std::uint32_t rgb = image.Rgb(sx, sy);
        if (rgb == keyRgb) {
          value = g_dwTransmit;
        } else {
          value = (((rgb & 0xFF) * l.nMaxB / 255) << l.nShiftB) |
                  ((((rgb >> 8) & 0xFF) * l.nMaxG / 255) << l.nShiftG) |
                  ((((rgb >> 16) & 0xFF) * l.nMaxR / 255) << l.nShiftR);
          // Only key-coloured pixels may end up transparent.
          if (value == g_dwTransmit)
            value = ((value >> l.nShiftB) & l.nMaxB) == static_cast<std::uint32_t>(l.nMaxB)
                        ? value - 1
                        : value + 1;
        }
      } else {
        value = ArgbToFormat(image.Rgb(sx, sy), px.Format());
      }
      px.Put(x, y, value);
    }
  }
  DDUnlock(surface);
  return true;
}

bool MakeIndexMap(DDSURFACEDATA* surface, int indexMap) {
  std::vector<std::uint8_t>& map =
      surface->lpDT ? surface->lpDT->lpIndexMap : surface->lpDDData->lpIndexMap;
  map.clear();
  if (!indexMap || g_nBpp == 8) return true;
  return DDMakePalIndexMap(map, surface) == 1;
}

// The off-screen copy of an image with what the surface records of it.
bool CopyAndRecord(DDSURFACEDATA* surface, const platform::sBitmapImage& image, const char* file,
                   int bpp, int indexMap, int mirrorW, int mirrorH) {
  if (!CopyImage(surface, image, file, bpp, mirrorW, mirrorH)) return false;
  surface->nWidth = surface->nTexWidth = image.nWidth;
  surface->nHeight = surface->nTexHeight = image.nHeight;
  surface->nMirrorW = mirrorW;
  surface->nMirrorH = mirrorH;
  surface->szFile = file;
  return MakeIndexMap(surface, indexMap);
}

}  // namespace

std::uint32_t ArgbToFormat(std::uint32_t argb, D3DFORMAT format) {
  const std::uint32_t r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
  switch (format) {
    case D3DFMT_R5G6B5:
      return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
    case D3DFMT_X1R5G5B5:
      return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
    case D3DFMT_A1R5G5B5:
      return ((argb >> 31) << 15) | ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
    case D3DFMT_P8:
      return argb & 0xFF;
    case D3DFMT_X8R8G8B8:
      return argb & 0xFFFFFF;
    default:
      return argb;
  }
}

D3DFORMAT DDSurfaceFormat() {
  if (lpDD && lpDD->lpPrimary) return lpDD->lpPrimary->Format();
  if (g_nBpp == 8) return D3DFMT_P8;
  if (g_nBpp == 16) return g_PixelLayout.nShiftR == 10 ? D3DFMT_X1R5G5B5 : D3DFMT_R5G6B5;
  return D3DFMT_X8R8G8B8;
}

void DDAdjustTextureSize(int* width, int* height) {
  if (!lpDTCon) return;
  auto pow2 = [](int v) {
    if (v <= 1) return 1;
    if ((v & (v - 1)) == 0) return v;
    int high = 1;
    while (high <= v / 2) high <<= 1;
    return high * 2;
  };
  if (lpDTCon->bPow2) {
    *width = pow2(*width);
    *height = pow2(*height);
  }
  if (lpDTCon->bSquareOnly) *width = *height = std::max(*width, *height);
}

bool DDCheckTextureSize(int width, int height) {
  if (!lpDTCon) return true;
  bool ok = true;
  if (width > lpDTCon->d3dcaps.MaxTextureWidth) {
    Report("このビデオカードでは横幅%dを超える画像はサポートされていません！",
           lpDTCon->d3dcaps.MaxTextureWidth);
    ok = false;
  }
  if (height > lpDTCon->d3dcaps.MaxTextureHeight) {
    Report("このビデオカードでは縦幅%dを超える画像はサポートされていません！",
           lpDTCon->d3dcaps.MaxTextureHeight);
    ok = false;
  }
  return ok;
}

bool DDCreateSurface(DDSURFACEDATA* surface, int width, int height, int colourKey, int ddMemory,
                     int memoryType, std::intptr_t mirrorSource, int recreate) {
  if (!surface) return false;
  DDAllocSurfaceData(surface);
  if (lpDTCon && surface->lpDT) {
    DTDATA& dt = *surface->lpDT;
    if (!recreate) {
      surface->szName = "OffScreen";
      surface->szFile = "E";
      dt.MemoryType = static_cast<DTMEMORYTYPE>(memoryType);
      dt.lpSurface = nullptr;
      dt.bColorKey = colourKey == 1;
      if (!mirrorSource) dt.nId = lpDTCon->dwSurfaceId++;
    }
    if (mirrorSource) {
      surface->nWidth = surface->nTexWidth = width;
      surface->nHeight = surface->nTexHeight = height;
      surface->nDDMemory = ddMemory;
      return true;
    }
    int texW = width, texH = height;
    DDAdjustTextureSize(&texW, &texH);
    if (!DDCheckTextureSize(texW, texH))
      Report("上記の理由でテクスチャの描画が失敗する可能性があります。(空)");
    if (dt.MemoryType == DTMEMORYTYPE_VIDEO_NORT) dt.MemoryType = DTMEMORYTYPE_VIDEO_RT;
    if (!MakeTexture(dt, texW, texH, 1, recreate, "空",
                     FormatText("D3DXCreateTexture Err hr = %x", 0x8007000Eu)))
      return false;
    surface->nWidth = width;
    surface->nHeight = height;
    surface->nTexWidth = dt.Desc.Width;
    surface->nTexHeight = dt.Desc.Height;
    // A render target starts as the transparent colour shows on the screen.
    if (dt.bRenderTarget) dt.lpSurface->Fill(ArgbToFormat(lpDTCon->dwTransmitBack, dt.Desc.Format));
    if (!recreate) g_SurfaceRestoreList.push_back(surface);
    return true;
  }
  if (!surface->lpDDData) return false;
  DDDATA& dd = *surface->lpDDData;
  auto pixels = std::make_unique<cPixelSurface>();
  if (!pixels->Create(width, height, DDSurfaceFormat())) {
    Report(ddMemory == 1 ? "CreateSurface System Err" : "CreateSurface Video -> System Err");
    return false;
  }
  dd.lpSurface7 = std::move(pixels);
  // The colour key of an off-screen surface is an exact pixel value (see the blits).
  dd.lpSurface7->Fill(PalNumToRGB(0));
  surface->nWidth = surface->nTexWidth = width;
  surface->nHeight = surface->nTexHeight = height;
  surface->nDDMemory = ddMemory;
  (void)colourKey;
  return true;
}

int DDCreateSurfaceFromFile(DDSURFACEDATA* surface, const char* file, int colourKey, int bpp,
                            int ddMemory, int memoryType, std::intptr_t mirrorSource, int indexMap,
                            int mirrorW, int mirrorH, int recreate) {
  if (!surface) return CREATESURFACE_ERR;
  const char* name = file ? file : "";
  if (!lpDTCon) {
    platform::sBitmapImage image;
    if (LoadImage(name, image, false) != platform::eBitmapError::None) {
      ErrLog(name);
      return LOADIMAGE_ERR;
    }
    if (!DDCreateSurface(surface, image.nWidth, image.nHeight, colourKey, ddMemory, memoryType, 0,
                         0))
      return CREATESURFACE_ERR;
    if (!CopyAndRecord(surface, image, name, bpp, indexMap, mirrorW, mirrorH)) return LOADIMAGE_ERR;
    surface->nDDMemory = ddMemory;
    return 0;
  }
  DDAllocSurfaceData(surface);
  DTDATA& dt = *surface->lpDT;
  if (!recreate) {
    surface->szName = "OffScreenFromFile";
    surface->szFile = name;
    dt.MemoryType = static_cast<DTMEMORYTYPE>(memoryType);
    dt.lpSurface = nullptr;
    dt.bColorKey = colourKey == 1;
    if (!mirrorSource) dt.nId = lpDTCon->dwSurfaceId++;
  }
  platform::sBitmapImage image;
  if (LoadImage(name, image, mirrorSource != 0) != platform::eBitmapError::None) {
    if (*name) Report("LoadImage Err %s", name);
    return LOADIMAGE_ERR;
  }
  if (mirrorSource) {
    surface->nWidth = surface->nTexWidth = image.nWidth;
    surface->nHeight = surface->nTexHeight = image.nHeight;
  } else {
    int texW = image.nWidth, texH = image.nHeight;
    DDAdjustTextureSize(&texW, &texH);
    if (!DDCheckTextureSize(texW, texH))
      Report("上記の理由でテクスチャの描画が失敗する可能性があります。(%s)", name);
    const RGBTRIPLE key = g_nBpp == 16 ? lpDTCon->rgbTransmit_16 : lpDTCon->rgbTransmit;
    const std::uint32_t keyRgb = (key.rgbtRed << 16) | (key.rgbtGreen << 8) | key.rgbtBlue;
    if (dt.MemoryType == DTMEMORYTYPE_VIDEO_NORT) {
      ErrLog(
          "DDCreateSurfaceFromFile Err DTMEMORYTYPE_VIDEO_NORTの指定は未対応です。"
          "DTMEMORYTYPE_VIDEO_RTでテクスチャを作成します。");
      dt.MemoryType = DTMEMORYTYPE_VIDEO_RT;
    }
    // A system-memory texture survives a device reset with its pixels: a re-creation keeps it
    // as it is rather than loading the file again.
    const bool survived = recreate && dt.MemoryType == DTMEMORYTYPE_SYSTEM && dt.lpTexture;
    if (!MakeTexture(dt, texW, texH, 0, recreate, name,
                     FormatText("D3DXCreateTextureFromFileEx Err %x %s", 0x8007000Eu, name)))
      return CREATESURFACE_ERR;
    if (!survived) FillTexture(*dt.lpSurface, image, keyRgb);
    dt.Desc =
        D3DSURFACE_DESC{dt.lpSurface->Format(), dt.lpSurface->Width(), dt.lpSurface->Height()};
    surface->nWidth = image.nWidth;
    surface->nHeight = image.nHeight;
    surface->nTexWidth = dt.Desc.Width;
    surface->nTexHeight = dt.Desc.Height;
    if (mirrorW || mirrorH) {
      DDSURFACEDATA temp;
      const int code =
          DDCreateSurfaceFromFile(&temp, name, colourKey, bpp, ddMemory, memoryType, 0, 0, 0, 0, 0);
      const bool mirrored = code == 0 && CreateMirror(surface, &temp, mirrorW, mirrorH);
      DDDestroySurface(&temp);
      if (!mirrored) {
        ErrLog("CreateMirror Err");
        return CREATESURFACE_ERR;
      }
    }
    if (!recreate) g_SurfaceRestoreList.push_back(surface);
  }
  surface->nMirrorW = mirrorW;
  surface->nMirrorH = mirrorH;
  surface->nDDMemory = ddMemory;
  if (!mirrorSource && !MakeIndexMap(surface, indexMap)) return LOADIMAGE_ERR;
  return 0;
}

bool CopyBitmap(DDSURFACEDATA* surface, const char* file, int bpp, int indexMap, int mirrorW,
                int mirrorH) {
  if (lpDTCon || !file || !*file) return true;
  platform::sBitmapImage image;
  if (LoadImage(file, image, false) != platform::eBitmapError::None) return false;
  if (!surface || !surface->lpDDData) return false;
  return CopyAndRecord(surface, image, file, bpp, indexMap, mirrorW, mirrorH);
}

bool CreateMirror(DDSURFACEDATA* destination, DDSURFACEDATA* source, int cellW, int cellH) {
  if (!lpDTCon || cellW <= 0 || cellH != 0) return true;
  cPixelSurface* dst = destination ? destination->Pixels() : nullptr;
  cPixelSurface* src = source ? source->Pixels() : nullptr;
  if (!dst || !src) return false;
  if (destination->lpDT->bRenderTarget) dst->Fill(0);
  // Each whole cell of the source drawn flipped into the same cell of the destination.
  const int cells = source->nWidth / cellW;
  const int h = std::min({source->nHeight, src->Height(), dst->Height()});
  for (int i = 0; i < cells; ++i)
    for (int y = 0; y < h; ++y)
      for (int k = 0; k < cellW; ++k) {
        const int sx = (i + 1) * cellW - 1 - k, dx = i * cellW + k;
        if (sx < src->Width() && dx < dst->Width()) dst->Put(dx, y, src->Get(sx, y));
      }
  return true;
}

void DDMirrorRect(const DDSURFACEDATA* surface, int* sx, int* sy, int* sw, int* sh) {
  if (!surface) return;
  const int w = surface->nMirrorW, h = surface->nMirrorH;
  // A rectangle inside one cell is taken from the mirrored place and drawn flipped.
  if (w > 0) {
    if (*sw == w) {
      *sx += w;
      *sw = -w;
    } else if (*sw < w) {
      *sx = *sx + w - 2 * (*sx % w);
      *sw = -*sw;
    }
  }
  if (h > 0) {
    if (*sh == h) {
      *sy += h;
      *sh = -h;
    } else if (*sh < h) {
      *sy = *sy + h - 2 * (*sy % h);
      *sh = -*sh;
    }
  }
}

void DDDestroySurface(DDSURFACEDATA* surface) {
  if (!surface) return;
  if (surface->lpDT) {
    DTDATA& dt = *surface->lpDT;
    if (dt.lpTexture) {
      const std::uint32_t id = dt.nId;
      g_SurfaceRestoreList.remove_if([&](DDSURFACEDATA* s) {
        return s == surface || (s->lpDT && s->lpDT->nId == id && id != 0);
      });
    }
    surface->lpDT.reset();
  }
  surface->lpDDData.reset();
}

void DDReleaseSurface(DDSURFACEDATA* surface) { DDDestroySurface(surface); }

bool DDLogCreateError(int code) {
  if (code == CREATESURFACE_ERR || code == LOADIMAGE_ERR || code == SETCOLORKEY_ERR) {
    ErrLog(DDErrName(code));
    return false;
  }
  return true;
}

int DDCheckBitmapSize(int* tooBig, const char* file, int maxWidth, int maxHeight) {
  if (lpDTCon) return 1;
  platform::sBitmapImage image;
  if (LoadImage(file, image, true) != platform::eBitmapError::None) {
    if (tooBig) *tooBig = 0;
    return 0;
  }
  if (tooBig) *tooBig = image.nWidth > maxWidth || image.nHeight > maxHeight;
  return 1;
}
