#include "media/surface.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/bitmap_file.h"

DTCONTROL* lpDTCon = nullptr;
DDCONTROL* lpDDCon = nullptr;
cD3D9* lpD3D = nullptr;
cD3DDevice9* lpDevice = nullptr;
cDirectDraw7* lpDD = nullptr;
cDDPalette* g_lpDDPalette = nullptr;
cDDClipper* g_lpDDClipper = nullptr;

int g_bD3D = 0, g_bDeviceReady = 0, g_bDDInitDone = 0;
int g_nBpp = 0, g_nBytesPerPixel = 0, g_nWindowMode = 0, g_nBackBufferCount = 0;
int g_bVSync = 0, g_nRefreshRate = 0, g_bUseRefreshRate = 0;
int g_nScreenWidth = 0, g_nScreenHeight = 0;
void* g_hDDWnd = nullptr;
DDSURFACEDATA* g_lpDDSurfaces = nullptr;
cBmpInfo* g_lpDDBmpInfo = nullptr;
int g_nDDSurfaceCount = 0;

DDPIXELLAYOUT g_PixelLayout, g_BackPixelLayout;

// Never destroyed: surface records held by static objects of other files leave it in their
// destructors at process end, whatever the order of destruction.
static cList<DDSURFACEDATA*>& RestoreListInstance() {
  static auto* list = new cList<DDSURFACEDATA*>;
  return *list;
}
cList<DDSURFACEDATA*>& g_SurfaceRestoreList = RestoreListInstance();

DDSURFACEDATA BackBuffer, VirBackBuffer, WorkSD, g_Primary, g_FadeCopy;

namespace {
// Deletes the control records still present at process end.
struct sControlCleanup {
  ~sControlCleanup() {
    delete lpDTCon;
    lpDTCon = nullptr;
    delete lpDDCon;
    lpDDCon = nullptr;
  }
} g_controlCleanup;
}  // namespace

int FormatBytes(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_P8:
      return 1;
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
      return 2;
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
      return 4;
    default:
      return 0;
  }
}

const char* FormatName(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_A8R8G8B8:
      return "A8R8G8B8";
    case D3DFMT_X8R8G8B8:
      return "X8R8G8B8";
    case D3DFMT_R5G6B5:
      return "R5G6B5";
    case D3DFMT_X1R5G5B5:
      return "X1R5G5B5";
    case D3DFMT_A1R5G5B5:
      return "A1R5G5B5";
    case D3DFMT_P8:
      return "P8";
    default:
      return "UNKNOWN";
  }
}

const char* DDErrName(int code) {
  static const char* const names[] = {
      "CREATEEX_ERR",           "SETCOOPLEVEL_ERR",  "SETDISPLAYMODE_ERR", "CREATESURFACE_ERR",
      "GETATTACHEDSURFACE_ERR", "CREATEPALETTE_ERR", "SETPALETTE_ERR",     "LOADIMAGE_ERR",
      "SETCOLORKEY_ERR",        "CLIPPER_ERR",       "SETHWND_ERR",        "SETCLIPPER_ERR"};
  return code >= 1 && code <= 12 ? names[code - 1] : "";
}

bool cPixelSurface::Create(int width, int height, D3DFORMAT format) {
  const int bytes = FormatBytes(format);
  if (width <= 0 || height <= 0 || bytes == 0 || width > platform::kMaxBitmapSide ||
      height > platform::kMaxBitmapSide ||
      static_cast<std::int64_t>(width) * height > platform::kMaxBitmapPixels)
    return false;
  const int pitch = (width * bytes + 15) & ~15;
  std::unique_ptr<std::uint8_t[]> bits(
      new (std::nothrow) std::uint8_t[static_cast<std::size_t>(pitch) * height]());
  if (!bits) return false;
  m_pBits = std::move(bits);
  m_nWidth = width;
  m_nHeight = height;
  m_nPitchBytes = pitch;
  m_nBytes = bytes;
  m_eFormat = format;
  m_bLocked = false;
  m_bLost = false;
  return true;
}

void cPixelSurface::Fill(std::uint32_t value) {
  for (int y = 0; y < m_nHeight; ++y) {
    std::uint8_t* row = Row(y);
    switch (m_nBytes) {
      case 1:
        std::memset(row, static_cast<int>(value & 0xFF), m_nWidth);
        break;
      case 2:
        std::fill_n(reinterpret_cast<std::uint16_t*>(row), m_nWidth,
                    static_cast<std::uint16_t>(value));
        break;
      case 4:
        std::fill_n(reinterpret_cast<std::uint32_t*>(row), m_nWidth, value);
        break;
    }
  }
}

void cPixelSurface::FillRow(int x, int y, int n, std::uint32_t value) {
  if (n <= 0) return;
  std::uint8_t* p = Row(y) + static_cast<std::size_t>(x) * m_nBytes;
  // A value of one byte repeated (black, the common case) is a plain byte fill.
  const std::uint32_t low = value & 0xFF;
  const std::uint32_t mask = m_nBytes == 1 ? 0xFFu : m_nBytes == 2 ? 0xFFFFu : 0xFFFFFFFFu;
  if ((value & mask) == ((low * 0x01010101u) & mask)) {
    std::memset(p, static_cast<int>(low), static_cast<std::size_t>(n) * m_nBytes);
    return;
  }
  switch (m_nBytes) {
    case 1:
      std::fill_n(p, n, static_cast<std::uint8_t>(value));
      break;
    case 2:
      std::fill_n(reinterpret_cast<std::uint16_t*>(p), n, static_cast<std::uint16_t>(value));
      break;
    default:
      std::fill_n(reinterpret_cast<std::uint32_t*>(p), n, value);
      break;
  }
}

std::uint32_t cPixelSurface::Get(int x, int y) const {
  const std::uint8_t* p =
      m_pBits.get() + static_cast<std::size_t>(y) * m_nPitchBytes + x * m_nBytes;
  switch (m_nBytes) {
    case 1:
      return *p;
    case 2:
      return *reinterpret_cast<const std::uint16_t*>(p);
    default:
      return *reinterpret_cast<const std::uint32_t*>(p);
  }
}

void cPixelSurface::Put(int x, int y, std::uint32_t value) {
  std::uint8_t* p = Row(y) + x * m_nBytes;
  switch (m_nBytes) {
    case 1:
      *p = static_cast<std::uint8_t>(value);
      break;
    case 2:
      *reinterpret_cast<std::uint16_t*>(p) = static_cast<std::uint16_t>(value);
      break;
    default:
      *reinterpret_cast<std::uint32_t*>(p) = value;
      break;
  }
}

void cDDPalette::SetEntries(int first, int count, const PALETTEENTRY* source) {
  for (int i = 0; i < count && first + i < 256; ++i)
    if (first + i >= 0) entries[first + i] = source[i];
}

static void RepointRestoreList(DDSURFACEDATA* from, DDSURFACEDATA* to) {
  for (auto& entry : g_SurfaceRestoreList)
    if (entry == from) entry = to;
}

DDSURFACEDATA::DDSURFACEDATA(DDSURFACEDATA&& other) noexcept { *this = std::move(other); }

DDSURFACEDATA& DDSURFACEDATA::operator=(DDSURFACEDATA&& other) noexcept {
  if (this == &other) return *this;
  g_SurfaceRestoreList.remove(this);
  lpDT = std::move(other.lpDT);
  lpDDData = std::move(other.lpDDData);
  szName = std::move(other.szName);
  nWidth = other.nWidth;
  nHeight = other.nHeight;
  nTexWidth = other.nTexWidth;
  nTexHeight = other.nTexHeight;
  szFile = std::move(other.szFile);
  nDDMemory = other.nDDMemory;
  nMirrorW = other.nMirrorW;
  nMirrorH = other.nMirrorH;
  lpMirror = other.lpMirror;
  bLost = other.bLost;
  RepointRestoreList(&other, this);
  // The source is left empty and off the list.
  other.szName.clear();
  other.szFile.clear();
  other.nWidth = other.nHeight = other.nTexWidth = other.nTexHeight = 0;
  other.nDDMemory = other.nMirrorW = other.nMirrorH = 0;
  other.lpMirror = nullptr;
  other.bLost = 0;
  return *this;
}

DDSURFACEDATA::~DDSURFACEDATA() {
  if (lpDT) g_SurfaceRestoreList.remove(this);
}

cPixelSurface* DDSURFACEDATA::Pixels() const {
  if (lpDT) return lpDT->lpSurface;
  if (lpDDData) return lpDDData->lpSurface7.get();
  return nullptr;
}

void DDAllocSurfaceData(DDSURFACEDATA* surface) {
  if (!surface) return;
  if (g_bD3D) {
    if (!surface->lpDT) surface->lpDT = std::make_unique<DTDATA>();
  } else if (!surface->lpDDData) {
    surface->lpDDData = std::make_unique<DDDATA>();
  }
}

DDSURFACEDATA* DDResolveMirror(DDSURFACEDATA* surface) {
  if (surface && lpDTCon && surface->lpMirror) return surface->lpMirror;
  return surface;
}

int DDRedirectBackBuffer(DDSURFACEDATA** surface) {
  if (lpDTCon && lpDTCon->bVirBackBuffer && !lpDTCon->bVirCopy && surface &&
      *surface == &BackBuffer) {
    *surface = &VirBackBuffer;
    return 1;
  }
  return 0;
}
