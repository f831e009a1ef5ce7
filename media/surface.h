#pragma once
// Surface records of the media library, the two control records and the device state.
//
// Both drawing modes draw into CPU memory. A surface's pixels live in a cPixelSurface: rows
// of a fixed pitch (a multiple of 16 bytes, so row loops can run on whole vectors), in one of
// the formats below. "Direct3D" mode keeps the texture behaviour (alpha in the texel, the
// transparent colour turned into alpha 0 at load); "DirectDraw" mode keeps raw pixel values
// with an exact colour key.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/containers.h"

// Pixel formats, numbered as the display interfaces number them.
enum D3DFORMAT : int {
  D3DFMT_UNKNOWN = 0,
  D3DFMT_A8R8G8B8 = 21,
  D3DFMT_X8R8G8B8 = 22,
  D3DFMT_R5G6B5 = 23,
  D3DFMT_X1R5G5B5 = 24,
  D3DFMT_A1R5G5B5 = 25,
  D3DFMT_P8 = 41,
};
int FormatBytes(D3DFORMAT format);
const char* FormatName(D3DFORMAT format);

// Pixel memory of one surface.
class cPixelSurface {
 public:
  // False when the size is not positive, beyond the engine's limits, or memory runs out.
  bool Create(int width, int height, D3DFORMAT format);
  int Width() const { return m_nWidth; }
  int Height() const { return m_nHeight; }
  int PitchBytes() const { return m_nPitchBytes; }
  int Bytes() const { return m_nBytes; }
  D3DFORMAT Format() const { return m_eFormat; }
  std::uint8_t* Bits() { return m_pBits.get(); }
  const std::uint8_t* Bits() const { return m_pBits.get(); }
  std::uint8_t* Row(int y) { return m_pBits.get() + static_cast<std::size_t>(y) * m_nPitchBytes; }
  // Every pixel set to value (the low bytes of it at 8 and 16 bits).
  void Fill(std::uint32_t value);
  // Pixels x to x + n - 1 of row y set to value; the caller keeps them on the surface.
  void FillRow(int x, int y, int n, std::uint32_t value);
  std::uint32_t Get(int x, int y) const;
  void Put(int x, int y, std::uint32_t value);

  bool m_bLocked = false;  // a pixel operation holds it
  bool m_bLost = false;    // simulated loss: content gone until restored

 private:
  std::unique_ptr<std::uint8_t[]> m_pBits;
  int m_nWidth = 0, m_nHeight = 0, m_nPitchBytes = 0, m_nBytes = 0;
  D3DFORMAT m_eFormat = D3DFMT_UNKNOWN;
};

enum DTMEMORYTYPE : int {
  DTMEMORYTYPE_VIDEO_RT = 0,
  DTMEMORYTYPE_SYSTEM = 1,
  DTMEMORYTYPE_VIDEO_NORT = 2,
};

enum DDERRCODE : int {
  CREATEEX_ERR = 1,
  SETCOOPLEVEL_ERR,
  SETDISPLAYMODE_ERR,
  CREATESURFACE_ERR,
  GETATTACHEDSURFACE_ERR,
  CREATEPALETTE_ERR,
  SETPALETTE_ERR,
  LOADIMAGE_ERR,
  SETCOLORKEY_ERR,
  CLIPPER_ERR,
  SETHWND_ERR,
  SETCLIPPER_ERR,
};
const char* DDErrName(int code);

struct D3DSURFACE_DESC {
  D3DFORMAT Format = D3DFMT_UNKNOWN;
  int Width = 0;
  int Height = 0;
};

// Texture part. The texture is plain memory and can be addressed directly, so no separate
// system-memory copy is kept for render targets.
struct DTDATA {
  std::uint32_t nId = 0;
  cPixelSurface* lpSurface = nullptr;  // level 0: the texture's pixels, or the back buffer
  std::unique_ptr<cPixelSurface> lpTexture;
  D3DSURFACE_DESC Desc;
  DTMEMORYTYPE MemoryType = DTMEMORYTYPE_VIDEO_RT;
  int bColorKey = 0;
  int bRenderTarget = 0;
  std::vector<std::uint8_t> lpIndexMap;  // empty: none
};

// Off-screen surface part.
struct DDDATA {
  std::unique_ptr<cPixelSurface> lpSurface7;
  std::vector<std::uint8_t> lpIndexMap;
};

// One surface. Holders own the records; the library fills and releases their contents.
// A record can be moved (a growing vector moves its elements); the restore list follows it.
struct DDSURFACEDATA {
  std::unique_ptr<DTDATA> lpDT;
  std::unique_ptr<DDDATA> lpDDData;
  std::string szName;
  int nWidth = 0, nHeight = 0;
  int nTexWidth = 0, nTexHeight = 0;
  std::string szFile;
  int nDDMemory = 0;
  int nMirrorW = 0, nMirrorH = 0;
  DDSURFACEDATA* lpMirror = nullptr;
  std::int32_t bLost = 0;

  DDSURFACEDATA() = default;
  DDSURFACEDATA(DDSURFACEDATA&& other) noexcept;
  DDSURFACEDATA& operator=(DDSURFACEDATA&& other) noexcept;
  DDSURFACEDATA(const DDSURFACEDATA&) = delete;
  DDSURFACEDATA& operator=(const DDSURFACEDATA&) = delete;
  ~DDSURFACEDATA();

  // The pixel memory of this record itself (no mirror resolution), or null.
  cPixelSurface* Pixels() const;
};

struct RGBTRIPLE {
  std::uint8_t rgbtBlue = 0, rgbtGreen = 0, rgbtRed = 0;
};
struct PALETTEENTRY {
  std::uint8_t peRed = 0, peGreen = 0, peBlue = 0, peFlags = 0;
};
constexpr std::uint8_t PC_RESERVED = 1;
constexpr std::uint8_t PC_EXPLICIT = 2;

// Shift and maximum of each channel of a 16- or 32-bit pixel.
struct DDPIXELLAYOUT {
  int nShiftR = 0, nShiftG = 0, nShiftB = 0, nShiftA = 0;
  int nMaxR = 0, nMaxG = 0, nMaxB = 0, nMaxA = 0;
};

// What the engine can do with textures, in the terms the set-up reads.
struct D3DCAPS9 {
  int MaxTextureWidth = 8192;
  int MaxTextureHeight = 8192;
  std::uint32_t TextureCaps = 0;
  std::uint32_t Caps2 = 0;
  std::uint32_t Caps3 = 0;
};
constexpr std::uint32_t D3DPTEXTURECAPS_POW2 = 0x2;
constexpr std::uint32_t D3DPTEXTURECAPS_SQUAREONLY = 0x20;
constexpr std::uint32_t D3DCAPS2_DYNAMICTEXTURES = 0x20000000;
constexpr std::uint32_t D3DCAPS3_ALPHA_FULLSCREEN_FLIP_OR_DISCARD = 0x20;

struct D3DPRESENT_PARAMETERS {
  int BackBufferWidth = 0, BackBufferHeight = 0;
  D3DFORMAT BackBufferFormat = D3DFMT_UNKNOWN;
  int BackBufferCount = 1;
  int Windowed = 1;
  int FullScreen_RefreshRateInHz = 0;
  int bVSync = 0;
};

struct DTCONTROL {
  D3DFORMAT fmtBackBuffer = D3DFMT_UNKNOWN;
  D3DFORMAT fmtTexture = D3DFMT_UNKNOWN;
  D3DPRESENT_PARAMETERS d3dpp;
  int nAdapter = 0;
  int DeviceType = 1;  // HAL
  D3DFORMAT fmtAdapter = D3DFMT_UNKNOWN;
  D3DCAPS9 d3dcaps;
  int bPow2 = 0, bSquareOnly = 0, bDynamicTexture = 0;
  int bVirBackBuffer = 0;
  DDSURFACEDATA* lpDefaultTarget = nullptr;
  int bVirCopy = 0;
  RGBTRIPLE rgbTransmit;
  RGBTRIPLE rgbTransmit_16;
  std::uint32_t dwTransmitTex = 0, dwTransmitBack = 0;
  std::uint16_t wTransmit_16 = 0, wTransmitBack_16 = 0;
  int bInScene = 0;
  std::uint32_t dwColor = 0xFFFFFFFF;
  std::uint32_t dwColorOp = 4, dwAlphaOp = 4;
  std::uint32_t dwSurfaceId = 1;
  std::uint32_t dwFontId = 0;
  std::string strTexErrMsg;
};

struct DDCONTROL {
  RGBTRIPLE rgbTransmit_16;
  std::uint32_t dwFontId = 0;
};

// The device objects. They hold only what the library asks of them here.
struct cD3D9 {};
struct cD3DDevice9 {
  bool bLost = false;  // simulated device loss, until reset
};
struct cDirectDraw7 {
  cPixelSurface* lpPrimary = nullptr;
};
struct cDDPalette {
  PALETTEENTRY entries[256];
  void SetEntries(int first, int count, const PALETTEENTRY* source);
};
struct cDDClipper {};

class cBmpInfo;  // the description of one surface (media/bmp_info.h)

extern DTCONTROL* lpDTCon;
extern DDCONTROL* lpDDCon;
extern cD3D9* lpD3D;
extern cD3DDevice9* lpDevice;
extern cDirectDraw7* lpDD;
extern cDDPalette* g_lpDDPalette;
extern cDDClipper* g_lpDDClipper;

extern int g_bD3D, g_bDeviceReady, g_bDDInitDone;
extern int g_nBpp, g_nBytesPerPixel, g_nWindowMode, g_nBackBufferCount;
extern int g_bVSync, g_nRefreshRate, g_bUseRefreshRate;
extern int g_nScreenWidth, g_nScreenHeight;
extern void* g_hDDWnd;
extern DDSURFACEDATA* g_lpDDSurfaces;
extern cBmpInfo* g_lpDDBmpInfo;
extern int g_nDDSurfaceCount;

extern DDSURFACEDATA BackBuffer, VirBackBuffer, WorkSD, g_Primary, g_FadeCopy;
extern DDPIXELLAYOUT g_PixelLayout, g_BackPixelLayout;

// Direct3D surfaces that own a texture, in creation order; a device reset re-creates them.
extern cList<DDSURFACEDATA*>& g_SurfaceRestoreList;

// Allocates the missing part of a record for the current mode.
void DDAllocSurfaceData(DDSURFACEDATA* surface);
// The surface whose pixels a drawing on surface reaches: a mirrored view gives its source
// (Direct3D only; one level).
DDSURFACEDATA* DDResolveMirror(DDSURFACEDATA* surface);
// While VirBackBuffer mode is on, BackBuffer is replaced by VirBackBuffer; 1 when replaced.
int DDRedirectBackBuffer(DDSURFACEDATA** surface);
